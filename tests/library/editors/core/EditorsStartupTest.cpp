// The editors' start-up and shut-down, the registries they own, the whole
// message table of the editors, and keys sent to a control.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "library/data/cxFilterConsts.h"
#include "library/editors/EditTestDoubles.h"
#include "library/editors/EditorSession.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxButtonEdit.h"
#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxPopupEdit.h"
#include "library/editors/core/cxTextEditProperties.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Screen.h"
#include "platform/forms/UnitStartup.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"

namespace {

// The editors' texts as they must read, byte for byte.
const std::map<Integer, std::string> Table = {
    {64989, "RichEdit|RichEdit control"},
    {65136, "Missing '%s'"},
    {65137, "Unnecessary '%s'"},
    {65138, "The space character is not allowed after '\\'"},
    {65139, "Regular expression is not compiled"},
    {65140, "Incorrect parameter quantifier"},
    {65141, "The parameter quantifier cannot be applied here"},
    {65142, "Regular expression errors:"},
    {65143, "The edit value is invalid"},
    {65144, "None"},
    {65145, "Illegal file format"},
    {65146, "The mask collection file is empty"},
    {65147, "Mask collection files"},
    {65148, "Invalid numeric value"},
    {65152, "Char"},
    {65153, "The source stream is not assigned"},
    {65154, "The source stream is empty"},
    {65155, "The '+' quantifier cannot be applied here"},
    {65156, "The '*' quantifier cannot be applied here"},
    {65157, "The alternative should not be empty"},
    {65158, "The block should not be empty"},
    {65159, "Illegal '%s'"},
    {65160, "Illegal quantifier '%s'"},
    {65161, "The parameter quantifiers are not supported"},
    {65162, "Illegal integer value"},
    {65163, "Too big reference number"},
    {65164, "Can't create empty enumeration"},
    {65165, "The starting character of the subrange must be less than the finishing one"},
    {65166, "Hexadecimal number expected"},
    {65167, "Hexadecimal number expected but '%s' found"},
    {65168, "ComboBox|Represents the combo box editor"},
    {65169, "CurrencyEdit|Represents an editor enabling editing currency data"},
    {65170, "DateEdit|Represents an edit control with a dropdown calendar"},
    {65171, "HyperLink|Represents a text editor with hyperlink functionality"},
    {65172, "ImageComboBox|Represents an editor displaying the list of images and text strings within the dropdown window"},
    {65173, "Image|Represents an image editor"},
    {65174, "LookupComboBox|Represents a lookup combo box control"},
    {65175, "MaskEdit|Represents a generic masked edit control."},
    {65176, "Memo|Represents an edit control that allows editing memo data"},
    {65177, "MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a dropdown window"},
    {65178, "PopupEdit|Represents an edit control with a dropdown list"},
    {65179, "SpinEdit|Represents a spin editor"},
    {65180, "RadioGroup|Represents a group of radio buttons"},
    {65181, "TextEdit|Represents a single line text editor"},
    {65182, "TimeEdit|Represents an editor displaying time values"},
    {65183, "Line"},
    {65184, "Next page"},
    {65185, "Last record"},
    {65186, "Insert record"},
    {65187, "Delete record"},
    {65188, "Edit record"},
    {65189, "Post edit"},
    {65190, "Cancel edit"},
    {65191, "Refresh data"},
    {65192, "Save Bookmark"},
    {65193, "Goto Bookmark"},
    {65194, "Filter data"},
    {65195, "Delete record?"},
    {65196, "BlobEdit|Represents the BLOB editor"},
    {65197, "ButtonEdit|Represents an edit control with embedded buttons"},
    {65198, "CalcEdit|Represents an edit control with a dropdown calculator window"},
    {65199, "CheckBox|Represents a check box control that allows selecting an option"},
    {65200, "second"},
    {65201, "third"},
    {65202, "fourth"},
    {65203, "fifth"},
    {65204, "sixth"},
    {65205, "seventh"},
    {65206, "bom"},
    {65207, "eom"},
    {65208, "now"},
    {65209, "Error"},
    {65210, "http://"},
    {65211, "//"},
    {65212, "First record"},
    {65213, "Prior record"},
    {65214, "Prior page"},
    {65215, "Next record"},
    {65216, "Clear"},
    {65217, "Now"},
    {65218, "OK"},
    {65219, "Today"},
    {65220, "Invalid Date"},
    {65221, "today"},
    {65222, "yesterday"},
    {65223, "tomorrow"},
    {65224, "Sunday"},
    {65225, "Monday"},
    {65226, "Tuesday"},
    {65227, "Wednesday"},
    {65228, "Thursday"},
    {65229, "Friday"},
    {65230, "Saturday"},
    {65231, "first"},
    {65232, ""},
    {65233, "True"},
    {65234, "False"},
    {65235, "&OK"},
    {65236, "&Cancel"},
    {65237, "&Close"},
    {65238, "(MEMO)"},
    {65239, "(memo)"},
    {65240, "(PICTURE)"},
    {65241, "(picture)"},
    {65242, "Cu&t"},
    {65243, "&Copy"},
    {65244, "&Paste"},
    {65245, "&Delete"},
    {65246, "&Load..."},
    {65247, "Save &As..."},
    {65251, "Cancel"},
    {65252, "OK"},
    {65253, "Could not convert to date"},
    {65254, "The repository item is not acceptable"},
    {65255, "Could not convert to numeric value"},
    {65256, "Circular referencing is not allowed"},
    {65257, "An error occured during posting edit value"},
    {65258, "Could not convert to time"},
    {65259, "Invalid input value. Use escape key to abandon changes"},
    {65260, "Value out of bounds"},
    {65261, "True"},
    {65262, ""},
    {65263, "False"},
};

TEST(EditorsMessageTable, EveryTextIsExactAndATranslationHoldsWheneverItCame) {
  // A translation registered before the table is.
  RegisterResString(cxEditResModule, 65257, "Beim Buchen ist ein Fehler aufgetreten");
  cxEditConsts_Initialize();
  // And one registered after it.
  RegisterResString(cxEditResModule, 65251, "Abbrechen");
  cxEditConsts_Initialize();

  std::map<Integer, std::string> expected = Table;
  expected[65257] = "Beim Buchen ist ein Fehler aufgetreten";
  expected[65251] = "Abbrechen";
  std::map<Integer, std::string> actual;
  AnsiString text;
  for (Integer id = 64000; id <= 65535; ++id)
    if (FindResString(cxEditResModule, id, text)) actual[id] = text;
  EXPECT_EQ(actual, expected);

  // A replacement by record reaches the editors' lookups too.
  cxSetResourceString(cxSEditValueOutOfBounds, "Out of range");
  EXPECT_EQ(cxEditResString(cxSEditValueOutOfBounds), "Out of range");
  EXPECT_EQ(cxEditResString(cxSEditPostError), "Beim Buchen ist ein Fehler aufgetreten");
  cxClearResourceStrings();
}

TEST(EditorsStartup, StartsOnceInOrderSetsTheDefaultsAndLeavesNothingBehind) {
  const Int64 live = TObject::LiveCount();
  {
    edit_test::EditorSession session;
    std::vector<AnsiString> units = StartedUnits();
    auto at = [&](const char* name) { return std::find(units.begin(), units.end(), name) - units.begin(); };
    ASSERT_LT(at("cxEditConsts"), static_cast<std::ptrdiff_t>(units.size()));
    EXPECT_LT(at("cxClasses"), at("cxEditConsts"));
    EXPECT_LT(at("cxContainer"), at("cxEdit"));
    EXPECT_LT(at("cxEditConsts"), at("cxEdit"));
    EXPECT_LT(at("cxEdit"), at("cxEditRegisteredRepositoryItems"));
    EXPECT_LT(at("cxEdit"), at("cxTextEdit"));
    EXPECT_EQ(cxEditStartCount(), 1);
    EXPECT_EQ(cxEditConstsStartCount(), 1);

    TcxEditStyleController* fallback = DefaultEditStyleController();
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(cxContainerDefaultStyleController, fallback);
    EXPECT_NE(Screen->GetCursors(crcxEditMouseWheel), nullptr);
    ASSERT_NE(cxFilterGetResourceStringFunc, nullptr);
    cxSetResourceStringNet("Filter", "Filtern");
    EXPECT_EQ(cxFilterGetResourceStringFunc("Filter"), "Filtern");
    cxClearResourceStrings();
    EXPECT_NE(GetClass("TcxEditRepository"), nullptr);

    // A second start-up is only counted.
    cxEditInitialize();
    EXPECT_EQ(DefaultEditStyleController(), fallback);
    cxEditFinalize();
    EXPECT_EQ(DefaultEditStyleController(), fallback);

    // The editor kinds are registered by their units; the registries and
    // the default repository go at shut-down with whatever they hold.
    ASSERT_EQ(GetRegisteredEditProperties()->GetCount(), 5);
    EXPECT_EQ(GetRegisteredEditProperties()->GetHintByClass(TcxTextEditProperties::StaticClass()),
              "Represents a single line text editor");
    EXPECT_EQ(GetRegisteredEditProperties()->GetHintByClass(TcxMaskEditProperties::StaticClass()),
              "Represents a generic masked edit control.");
    EXPECT_EQ(GetRegisteredEditProperties()->GetHintByClass(TcxButtonEditProperties::StaticClass()),
              "Represents an edit control with embedded buttons");
    EXPECT_EQ(GetRegisteredEditProperties()->GetHintByClass(TcxComboBoxProperties::StaticClass()),
              "Represents the combo box editor");
    EXPECT_EQ(GetRegisteredEditProperties()->GetHintByClass(TcxPopupEditProperties::StaticClass()),
              "Represents an edit control with a dropdown list");
    GetRegisteredEditProperties()->Register(TcxTestEditProperties::StaticClass(),
                                            cxEditResString(scxSEditRepositoryTextItem));
    GetRegisteredEditProperties()->Register(TcxTestEditProperties::StaticClass(), "Again|Twice");
    GetRegisteredEditProperties()->Register(TcxCustomEditProperties::StaticClass(),
                                            cxEditResString(scxSEditRepositoryRichItem));
    ASSERT_EQ(GetRegisteredEditProperties()->GetCount(), 7) << "a class is listed once";
    EXPECT_EQ(GetRegisteredEditProperties()->GetDescriptionByClass(TcxTestEditProperties::StaticClass()), "TextEdit");
    EXPECT_EQ(GetRegisteredEditProperties()->GetHintByClass(TcxTestEditProperties::StaticClass()),
              "Represents a single line text editor");
    EXPECT_EQ(GetRegisteredEditProperties()->GetDescription(4), "RichEdit") << "sorted by caption";
    GetDefaultEditRepository()->CreateItem(TcxEditRepositoryTestItem::StaticClass());
    auto* standIn = New<TcxDefaultEditStyleController>(nullptr);
    standIn->GetStyle()->SetButtonStyle(btsFlat);
    standIn->Free();
  }
  EXPECT_EQ(cxEditStartCount(), 0);
  EXPECT_EQ(DefaultEditStyleController(), nullptr);
  EXPECT_EQ(cxContainerDefaultStyleController, nullptr);
  EXPECT_EQ(cxFilterGetResourceStringFunc, nullptr);
  EXPECT_EQ(TObject::LiveCount(), live);

  // The units start again as they did the first time.
  {
    edit_test::EditorSession session;
    EXPECT_NE(DefaultEditStyleController(), nullptr);
    ASSERT_EQ(GetRegisteredEditProperties()->GetCount(), 5);
    EXPECT_EQ(GetRegisteredEditProperties()->GetItem(4), TcxTextEditProperties::StaticClass());
    EXPECT_EQ(GetDefaultEditRepository()->GetCount(), 0);
  }
  EXPECT_EQ(TObject::LiveCount(), live);
}

// Records the key messages a form receives and whether Shift was held.
struct KeyLog : TObject {
  TForm* Form = nullptr;
  std::vector<std::string> Lines;
  void WindowProc(TMessage& Message) {
    const char* name = Message.Msg == win::WM_KEYDOWN ? "down"
                       : Message.Msg == win::WM_CHAR  ? "char"
                       : Message.Msg == win::WM_KEYUP ? "up"
                                                      : nullptr;
    if (name)
      Lines.push_back(std::string(name) + " " + std::to_string(Message.WParam) + " " +
                      std::to_string(Message.LParam) + (win::GetKeyState(win::VK_SHIFT) < 0 ? " shift" : ""));
    Form->WndProc(Message);
  }
};

TEST(EditorsKeys, KeysAreSentWithoutModifierDataAndTheReceiverReadsTheKeyboard) {
  edit_test::EditorSession session;
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  KeyLog log;
  log.Form = form;
  form->SetWindowProc(TWndMethod::Bind<&KeyLog::WindowProc>(&log));

  SendKeyDown(form, win::VK_LEFT, {ssShift});
  win::BYTE state[256] = {};
  state[win::VK_SHIFT] = 0x80;
  win::SetKeyboardState(state);
  SendKeyDown(form, win::VK_LEFT, {});
  SendKeyPress(form, '\xE9');
  state[win::VK_SHIFT] = 0;
  win::SetKeyboardState(state);
  SendKeyUp(form, win::VK_LEFT, {ssShift});
  EXPECT_EQ(log.Lines, (std::vector<std::string>{"down 37 0", "down 37 0 shift", "char 233 0 shift", "up 37 0"}));
  form->Free();

  EXPECT_EQ(ButtonToShift(mbMiddle), TShiftState{ssMiddle});
  EXPECT_EQ(cxButtonToShift(cxmbRight), TShiftState{ssRight});
  EXPECT_EQ(cxButtonToShift(cxmbNone), TShiftState{});
}

}  // namespace
