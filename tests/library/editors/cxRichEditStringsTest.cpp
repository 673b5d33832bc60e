// The rich text editor's text side as data from outside meets it: its
// texts, the line list over the window, streams cut into small pieces at
// awkward places, files chosen by extension, the errors the list raises,
// and values that are not what they claim to be.
#include <gtest/gtest.h>

#include <random>

#include "ConcreteEditorSession.h"
#include "library/editors/core/cxEditErrors.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/cxExtEditConsts.h"
#include "library/editors/cxRichEdit.h"
#include "library/foundation/cxClasses.h"
#include "platform/controls/RichEditTestHooks.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/win/Modules.h"
#include "platform/win/Queue.h"
#include "support/TempDir.h"

using namespace win;

namespace {

// The sample of the front end's log: a font table, a colour table, bold
// and coloured runs, an accented character and one outside code page 1252.
const char* const kLogRtf =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}"
    "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}"
    "\\f0\\fs20 plain {\\b bold} \\cf2 red\\cf0  caf\\'e9 \\u8364? \\cf4 green\\cf0\\par next line}";

class RichEditText : public edit_test::ConcreteEditorTest {
 protected:
  void TearDown() override {
    controls::test::SetRichStreamChunk(0);
    ConcreteEditorTest::TearDown();
  }
  TcxRichEdit* MakeRich(TRect ABounds = {10, 10, 290, 160}) { return Make<TcxRichEdit>(ABounds); }
  static std::string TextOf(TcxRichEdit* edit) { return edit->GetInnerRichEdit()->GetRichText(); }
  static void Load(TcxRichEdit* edit, const std::string& data) {
    TStringStream stream(data);
    edit->GetLines()->LoadFromStream(&stream);
  }
};

// A stream that cannot be read or written, as a broken file or pipe.
class TBrokenStream : public TStringStream {
 public:
  Int64 Read(void*, Int64) override { throw EReadError("broken"); }
  Int64 Write(const void*, Int64) override { throw EWriteError("broken"); }
};

TEST_F(RichEditText, TextsAreTheTablesOwnAndATranslationReplacesThem) {
  const std::pair<const TResStringRec*, const char*> texts[] = {
      {&cxSEditRichEditLibraryError, "Cannot load a RichEdit library"},
      {&cxSEditRichEditLineInsertionError, "RichEdit line insertion error"},
      {&cxSEditRichEditLoadFail, "Failed to Load Stream"},
      {&cxSEditRichEditSaveFail, "Failed to Save Stream"},
      {&scxSEditRepositoryRichEditItem, "RichEdit|RichEdit control"},
      {&cxSEditRichEditUndoCaption, "&Undo"},
      {&cxSEditRichEditRedoCaption, "&Redo"},
      {&cxSEditRichEditCutCaption, "Cu&t"},
      {&cxSEditRichEditCopyCaption, "&Copy"},
      {&cxSEditRichEditPasteCaption, "&Paste"},
      {&cxSEditRichEditDeleteCaption, "&Delete"},
      {&cxSEditRichEditSelectAllCaption, "Select &All"},
      {&scxSEditRepositoryColorComboBoxItem, "ColorComboBox |Represents a editor with color functionality"},
      {&scxSEditRepositoryFontNameComboBoxItem, "FontNameComboBox |Represents a editor with font functionality"},
      {&scxUDAssociated, " is already associated with "},
      {&cxSEditCheckGroupCaptionStateDelimiter, ": "},
  };
  for (const auto& [rec, text] : texts) EXPECT_EQ(cxExtEditResString(*rec), text) << rec->Identifier;
  // The kind's description is one text under one number.
  EXPECT_EQ(&scxSEditRepositoryRichEditItem, &scxSEditRepositoryRichItem);
  EXPECT_EQ(GetRegisteredEditProperties()->GetDescriptionByClass(TcxRichEditProperties::StaticClass()), "RichEdit");
  EXPECT_EQ(GetRegisteredEditProperties()->GetHintByClass(TcxRichEditProperties::StaticClass()), "RichEdit control");

  cxSetResourceString(cxSEditRichEditLoadFail, "Unreadable");
  TcxRichEdit* edit = MakeRich();
  Show();
  TBrokenStream broken;
  try {
    edit->GetLines()->LoadFromStream(&broken);
    ADD_FAILURE() << "a broken stream loaded";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(std::string(e.GetMessage()), "Unreadable");
  }
  cxClearResourceStrings();
}

TEST_F(RichEditText, TheLineListCountsGetsAndInsertsAsTheWindowHoldsIt) {
  TcxRichEdit* edit = MakeRich();
  Show();
  TcxRichEditStrings* lines = edit->GetLines();
  edit->SetEditValue(Variant(AnsiString("one\r\ntwo\r\n")));
  // A last empty line does not count; lines come without their breaks.
  EXPECT_EQ(lines->GetCount(), 2);
  EXPECT_EQ(std::string(lines->Get(1)), "two");
  edit->SetEditValue(Variant(AnsiString("one\r\ntwo")));
  lines->Insert(2, "end");
  EXPECT_EQ(TextOf(edit), "one\r\ntwo\r\nend");
  lines->Insert(1, "mid");
  EXPECT_EQ(TextOf(edit), "one\r\nmid\r\ntwo\r\nend");
  // An insertion's own breaks are breaks of the window; indexes outside
  // the list do nothing.
  lines->Insert(0, "a\nb");
  lines->Insert(9, "never");
  lines->Insert(-1, "never");
  EXPECT_EQ(TextOf(edit), "a\r\nb\r\none\r\nmid\r\ntwo\r\nend");
  EXPECT_EQ(lines->GetCount(), 6);

  // A window that cannot take the whole line leaves the caret short of it.
  edit->GetProperties()->SetMaxLength(20);
  SendMessageA(edit->GetInnerRichEdit()->GetHandle(), EM_EXLIMITTEXT, 0, 20);
  try {
    lines->Insert(1, "far too long a line to fit");
    ADD_FAILURE() << "the cut insertion passed";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(std::string(e.GetMessage()), "RichEdit line insertion error");
  }
}

TEST_F(RichEditText, StreamsKeepEveryBreakAndByteWhereverThePiecesEnd) {
  char buffer[32];
  EXPECT_EQ(AdjustRichLineBreaks(buffer, "a\rb\nc\r\nd", 8, false), 10);
  EXPECT_EQ(std::string(buffer), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(AdjustRichLineBreaks(buffer, "a\rb\nc\r\nd", 8, true), 7);
  EXPECT_EQ(std::string(buffer), "a\rb\rc\rd");
  EXPECT_TRUE(IsRichText("{\\rtf1 x}"));
  EXPECT_FALSE(IsRichText("{\\RTF1 x}"));

  TcxRichEdit* edit = MakeRich();
  edit->GetProperties()->SetPlainText(true);
  Show();
  // The window offers 8 bytes a call, so each call reads 4.
  controls::test::SetRichStreamChunk(8);
  const std::pair<std::string, std::string> cases[] = {
      {"abc\rdef", "abc\r\ndef"},           // a lone CR ends the first piece
      {"abc\r\ndef", "abc\r\ndef"},         // CR and LF in two pieces: one break
      {"abc\r\r\nd", "abc\r\n\r\nd"},       // a lone CR, then a pair
      {"abcdefg\r", "abcdefg\r\n"},         // a CR that ends the stream
      {"\r\r\r\r\r", "\r\n\r\n\r\n\r\n\r\n"},
      {std::string("a\0b\r\nc", 6), std::string("a\0b\r\nc", 6)},  // a NUL is text
  };
  for (const auto& [in, out] : cases) {
    SCOPED_TRACE(testing::PrintToString(in));
    Load(edit, in);
    TStringStream saved;
    edit->GetLines()->SaveToStream(&saved);
    EXPECT_EQ(saved.GetDataString(), out);
  }
  controls::test::SetRichStreamChunk(0);
  // Memo mode and plain text take the value whole too, NUL and all.
  for (bool memo : {false, true}) {
    edit->GetProperties()->SetMemoMode(memo);
    edit->SetEditValue(Variant(AnsiString("x\0y\rz", 5)));
    EXPECT_EQ(TextOf(edit), std::string("x\0y\r\nz", 6));
  }
  edit->GetProperties()->SetMemoMode(false);

  // Text that is not rich text comes in as plain text in a rich window;
  // "{\RTF" is not rich text.
  edit->GetProperties()->SetPlainText(false);
  Load(edit, "{\\RTF1 shout}");
  EXPECT_EQ(TextOf(edit), "{\\RTF1 shout}");
  EXPECT_EQ(edit->GetLines()->GetStreamFormat(), SF_TEXT);
  Load(edit, kLogRtf);
  EXPECT_EQ(edit->GetLines()->GetStreamFormat(), SF_RTF);
  EXPECT_EQ(edit->GetLines()->GetCount(), 2);

  // Broken streams raise the list's errors; the window keeps its text.
  TBrokenStream broken;
  EXPECT_THROW(edit->GetLines()->LoadFromStream(&broken), EOutOfResources);
  EXPECT_EQ(std::string(edit->GetLines()->Get(1)), "next line");
  try {
    edit->GetLines()->SaveToStream(&broken);
    ADD_FAILURE() << "a broken stream took the text";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(std::string(e.GetMessage()), "Failed to Save Stream");
  }
}

// Counts what passes, to tell which conversion a file went through.
class TCountingConversion : public TConversion {
  ORV_CLASS(TCountingConversion, TConversion)
 public:
  static inline Integer Reads = 0;
  Integer ConvertReadStream(TStream* Stream, char* Buffer, Integer BufSize) override {
    ++Reads;
    return TConversion::ConvertReadStream(Stream, Buffer, BufSize);
  }
};
ORV_REGISTER(TCountingConversion)

TEST_F(RichEditText, FilesGoThroughTheConversionOfTheirExtension) {
  EXPECT_EQ(RichConversionFor("x.txt"), TConversion::StaticClass());
  TcxCustomRichEdit::RegisterConversionFormat("LOG", TCountingConversion::StaticClass());
  // The newest entry comes first; capitals are the same extension; an
  // unknown one is plain text's.
  EXPECT_EQ(RichConversionFor("day.log"), TCountingConversion::StaticClass());
  EXPECT_EQ(RichConversionFor("DAY.LOG"), TCountingConversion::StaticClass());
  EXPECT_EQ(RichConversionFor("x.RTF"), TConversion::StaticClass());
  EXPECT_EQ(RichConversionFor("x.unknown"), TConversion::StaticClass());

  TcxRichEdit* edit = MakeRich();
  Show();
  edit->SetEditValue(Variant(AnsiString(kLogRtf)));
  TempDir dir;
  const AnsiString rtfName = dir / "RichEditStory.RTF";
  edit->GetLines()->SaveToFile(rtfName);
  edit->SetEditValue(Variant(AnsiString("gone")));
  TCountingConversion::Reads = 0;
  edit->GetLines()->LoadFromFile(rtfName);
  EXPECT_EQ(TCountingConversion::Reads, 0);
  EXPECT_EQ(edit->GetLines()->GetStreamFormat(), SF_RTF);
  EXPECT_EQ(std::string(edit->GetLines()->Get(1)), "next line");
  EXPECT_FALSE(edit->GetModified());

  const AnsiString logName = dir / "RichEditStory.log";
  edit->GetLines()->SaveToFile(logName);
  edit->GetLines()->LoadFromFile(logName);
  EXPECT_GT(TCountingConversion::Reads, 0);
  EXPECT_EQ(std::string(edit->GetLines()->Get(0)).substr(0, 10), "plain bold");
}

TEST_F(RichEditText, BadDataLoadsAsPlainTextAndNothingOfItIsLost) {
  TcxRichEdit* edit = MakeRich();
  Show();
  std::mt19937 random(51);
  std::string noise(4096, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  const std::string samples[] = {
      "{\\rtf1 {\\b bold",                                 // truncated
      "{\\rtf1 }}}} x {{",                                 // unbalanced
      "{\\rtf1" + std::string(100000, '{') + "deep",       // nested without end
      "{\\rtf1\\fs99999999999999999999 huge\\cf999999999 x}",  // huge parameters
      "{\\rtf1\\" + std::string(5000, 'w') + " long word}",
      "{\\rtf1" + noise,
      noise,
      std::string(1 << 20, 'x'),                           // 1 MB on one line
  };
  for (const std::string& sample : samples) {
    SCOPED_TRACE(sample.substr(0, 24));
    edit->SetEditValue(Variant(AnsiString(sample)));
    const std::string text = TextOf(edit);
    // Rich text that reads is rich text; the rest comes in whole, its
    // breaks made the window's.
    if (edit->GetLines()->GetStreamFormat() == SF_TEXT) {
      EXPECT_EQ(text, std::string(AdjustRichLineBreaks(sample, false)));
    }
  }
  EXPECT_EQ(TextOf(edit).size(), std::size_t(1) << 20);
}

TEST_F(RichEditText, WithoutALibraryTheWindowCannotBeMade) {
  for (const char* module : {"Msftedit", "Riched20", "Riched32"}) test::SetModuleAbsent(module, true);
  TcxRichEdit* edit = MakeRich();
  try {
    edit->GetInnerRichEdit()->HandleNeeded();
    ADD_FAILURE() << "a window without a library";
  } catch (const EcxEditError& e) {
    EXPECT_EQ(std::string(e.GetMessage()), "Cannot load a RichEdit library");
  }
  for (const char* module : {"Msftedit", "Riched20", "Riched32"}) test::SetModuleAbsent(module, false);
}

}  // namespace
