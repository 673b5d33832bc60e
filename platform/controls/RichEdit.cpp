#include "platform/controls/RichEdit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/controls/Rtf.h"
#include "platform/controls/ControlsStartup.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Modules.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowClass.h"

using namespace win;

namespace {

HMODULE gRichModule = nullptr;
const char* gRichClass = nullptr;

// The conversion formats, newest first; the two built in ones last.
struct ConversionFormat {
  AnsiString extension;
  TConversionClass conversion;
};
std::vector<ConversionFormat>& ConversionFormats() {
  static std::vector<ConversionFormat> formats;
  return formats;
}

void BuiltInFormats() {
  ConversionFormats() = {{"txt", TConversion::StaticClass()}, {"rtf", TConversion::StaticClass()}};
}

// The newest rich-edit class a module provides, loading the module the
// first time.
const char* RichClassName() {
  if (gRichClass) return gRichClass;
  for (const char* module : {"Msftedit", "Riched20"}) {
    HMODULE loaded = LoadLibraryA(module);
    if (!loaded) continue;
    for (const char* name : {"RICHEDIT50A", "RICHEDIT50", "RICHEDIT20A", "RICHEDIT20"}) {
      WNDCLASSA wc{};
      if (GetClassInfoA(nullptr, name, &wc)) {
        gRichModule = loaded;
        gRichClass = name;
        return gRichClass;
      }
    }
    FreeLibrary(loaded);
  }
  throw EInvalidOperation("Cannot load a RichEdit library");
}

}  // namespace

void StartRichEditUnit() {
  RegisterRichEditModules();
  RegisterClasses({TCustomRichEdit::StaticClass(), TRichEdit::StaticClass()});
  BuiltInFormats();
}

void StopRichEditUnit() {
  if (gRichModule) FreeLibrary(gRichModule);
  gRichModule = nullptr;
  gRichClass = nullptr;
  ConversionFormats().clear();
}

ORV_REGISTER(TTextAttributes, ORV_PROP(Color), ORV_PROP(Style), ORV_PROP(Name), ORV_PROP(Size))
ORV_REGISTER(TParaAttributes, ORV_PROP(Alignment), ORV_PROP(FirstIndent), ORV_PROP(LeftIndent),
             ORV_PROP(RightIndent), ORV_PROP(Numbering), ORV_PROP(TabCount))
ORV_REGISTER(TConversion)
ORV_REGISTER(TRichEditStrings)
ORV_REGISTER(TCustomRichEdit)
ORV_REGISTER(TRichEdit, ORV_PROP(Lines), ORV_PROP(Alignment).Default(taLeftJustify), ORV_PROP(BorderStyle).Default(bsSingle),
             ORV_PROP(HideScrollBars).Default(true), ORV_PROP(HideSelection).Default(true),
             ORV_PROP(MaxLength).Default(0), ORV_PROP(PlainText).Default(false), ORV_PROP(ReadOnly).Default(false),
             ORV_PROP(ScrollBars).Default(ssNone), ORV_PROP(WantReturns).Default(true),
             ORV_PROP(WantTabs).Default(false), ORV_PROP(WordWrap).Default(true), ORV_PROP(TabStop).Default(true),
             ORV_EVENT(OnChange), ORV_EVENT(OnSelectionChange), ORV_EVENT(OnResizeRequest),
             ORV_EVENT(OnProtectChange), ORV_EVENT(OnSaveClipboard))

// ---- Attributes ----

namespace {

// Points in the twips the control takes, saturated: a size or an indent
// of any Integer asks for what the control then holds to its own bounds,
// instead of overflowing on the way.
LONG PointsToTwips(Integer Value) { return ClampToInteger(static_cast<Int64>(Value) * 20); }

}  // namespace

CHARFORMATA TTextAttributes::Read() const {
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  SendMessageA(FRichEdit->GetHandle(), EM_GETCHARFORMAT, FType == atSelected ? SCF_SELECTION : SCF_DEFAULT,
               reinterpret_cast<LPARAM>(&format));
  return format;
}

void TTextAttributes::Write(CHARFORMATA& Format) const {
  Format.cbSize = sizeof Format;
  SendMessageA(FRichEdit->GetHandle(), EM_SETCHARFORMAT, FType == atSelected ? SCF_SELECTION : SCF_DEFAULT,
               reinterpret_cast<LPARAM>(&Format));
}

TColor TTextAttributes::GetColor() const {
  const CHARFORMATA format = Read();
  return (format.dwEffects & CFE_AUTOCOLOR) ? clWindowText : static_cast<TColor>(format.crTextColor);
}

void TTextAttributes::SetColor(TColor Value) {
  CHARFORMATA format{};
  format.dwMask = CFM_COLOR;
  if (Value == clWindowText || Value == clDefault) format.dwEffects = CFE_AUTOCOLOR;
  else format.crTextColor = static_cast<COLORREF>(ColorToRGB(Value));
  Write(format);
}

TFontStyles TTextAttributes::GetStyle() const {
  const CHARFORMATA format = Read();
  TFontStyles style;
  if (format.dwEffects & CFE_BOLD) style.Include(fsBold);
  if (format.dwEffects & CFE_ITALIC) style.Include(fsItalic);
  if (format.dwEffects & CFE_UNDERLINE) style.Include(fsUnderline);
  if (format.dwEffects & CFE_STRIKEOUT) style.Include(fsStrikeOut);
  return style;
}

void TTextAttributes::SetStyle(TFontStyles Value) {
  CHARFORMATA format{};
  format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
  if (Value.Contains(fsBold)) format.dwEffects |= CFE_BOLD;
  if (Value.Contains(fsItalic)) format.dwEffects |= CFE_ITALIC;
  if (Value.Contains(fsUnderline)) format.dwEffects |= CFE_UNDERLINE;
  if (Value.Contains(fsStrikeOut)) format.dwEffects |= CFE_STRIKEOUT;
  Write(format);
}

AnsiString TTextAttributes::GetName() const {
  const CHARFORMATA format = Read();
  return AnsiString(format.szFaceName, strnlen(format.szFaceName, LF_FACESIZE));
}

void TTextAttributes::SetName(const AnsiString& Value) {
  CHARFORMATA format{};
  format.dwMask = CFM_FACE;
  std::memcpy(format.szFaceName, Value.data(), std::min<std::size_t>(Value.size(), LF_FACESIZE - 1));
  Write(format);
}

void TTextAttributes::DoAssign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TTextAttributes*>(Source)) {
    CHARFORMATA format = other->Read();
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR | CFM_FACE | CFM_SIZE;
    Write(format);
    return;
  }
  inherited::DoAssign(Source);
}

Integer TTextAttributes::GetSize() const { return Read().yHeight / 20; }

void TTextAttributes::SetSize(Integer Value) {
  CHARFORMATA format{};
  format.dwMask = CFM_SIZE;
  format.yHeight = PointsToTwips(Value);
  Write(format);
}

// ---- Paragraph ----

PARAFORMAT TParaAttributes::Read() const {
  PARAFORMAT format{};
  format.cbSize = sizeof format;
  SendMessageA(FRichEdit->GetHandle(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
  return format;
}

void TParaAttributes::Write(PARAFORMAT& Format) const {
  Format.cbSize = sizeof Format;
  SendMessageA(FRichEdit->GetHandle(), EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&Format));
}

TAlignment TParaAttributes::GetAlignment() const {
  const WORD align = Read().wAlignment;
  return align == PFA_RIGHT ? taRightJustify : align == PFA_CENTER ? taCenter : taLeftJustify;
}

void TParaAttributes::SetAlignment(TAlignment Value) {
  PARAFORMAT format{};
  format.dwMask = PFM_ALIGNMENT;
  format.wAlignment = Value == taRightJustify ? PFA_RIGHT : Value == taCenter ? PFA_CENTER : PFA_LEFT;
  Write(format);
}

Integer TParaAttributes::GetFirstIndent() const { return Read().dxStartIndent / 20; }

void TParaAttributes::SetFirstIndent(Integer Value) {
  PARAFORMAT format{};
  format.dwMask = PFM_STARTINDENT;
  format.dxStartIndent = PointsToTwips(Value);
  Write(format);
}

Integer TParaAttributes::GetLeftIndent() const { return Read().dxOffset / 20; }

void TParaAttributes::SetLeftIndent(Integer Value) {
  PARAFORMAT format{};
  format.dwMask = PFM_OFFSET;
  format.dxOffset = PointsToTwips(Value);
  Write(format);
}

Integer TParaAttributes::GetRightIndent() const { return Read().dxRightIndent / 20; }

void TParaAttributes::SetRightIndent(Integer Value) {
  PARAFORMAT format{};
  format.dwMask = PFM_RIGHTINDENT;
  format.dxRightIndent = PointsToTwips(Value);
  Write(format);
}

TNumberingStyle TParaAttributes::GetNumbering() const { return Read().wNumbering == PFN_BULLET ? nsBullet : nsNone; }

void TParaAttributes::SetNumbering(TNumberingStyle Value) {
  PARAFORMAT format{};
  format.dwMask = PFM_NUMBERING;
  format.wNumbering = Value == nsBullet ? PFN_BULLET : 0;
  Write(format);
}

Integer TParaAttributes::GetTab(Integer Index) const {
  if (Index < 0 || Index >= MAX_TAB_STOPS) return 0;
  return Read().rgxTabs[Index] / 20;
}

// A stop past the count extends it; stops keep their order by position.
void TParaAttributes::SetTab(Integer Index, Integer Value) {
  if (Index < 0 || Index >= MAX_TAB_STOPS) return;
  PARAFORMAT format = Read();
  format.dwMask = PFM_TABSTOPS;
  format.rgxTabs[Index] = PointsToTwips(Value);
  format.cTabCount = static_cast<SHORT>(std::max<int>(format.cTabCount, Index + 1));
  Write(format);
}

Integer TParaAttributes::GetTabCount() const { return Read().cTabCount; }

// New stops lie one half inch after the last.
void TParaAttributes::SetTabCount(Integer Value) {
  PARAFORMAT format = Read();
  const int count = std::clamp<int>(Value, 0, MAX_TAB_STOPS);
  for (int k = format.cTabCount; k < count; ++k) format.rgxTabs[k] = (k > 0 ? format.rgxTabs[k - 1] : 0) + 720;
  format.dwMask = PFM_TABSTOPS;
  format.cTabCount = static_cast<SHORT>(count);
  Write(format);
}

void TParaAttributes::DoAssign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TParaAttributes*>(Source)) {
    PARAFORMAT format = other->Read();
    format.dwMask = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT | PFM_TABSTOPS | PFM_NUMBERING;
    Write(format);
    return;
  }
  inherited::DoAssign(Source);
}

// ---- Conversions and lines ----

Integer TConversion::ConvertReadStream(TStream* Stream, char* Buffer, Integer BufSize) {
  return static_cast<Integer>(Stream->Read(Buffer, BufSize));
}

Integer TConversion::ConvertWriteStream(TStream* Stream, char* Buffer, Integer BufSize) {
  return static_cast<Integer>(Stream->Write(Buffer, BufSize));
}

namespace {

struct StreamCookie {
  TConversion* converter;
  TStream* stream;
};

// A conversion that fails (raises) ends the stream with an error.
DWORD ReadThrough(DWORD_PTR cookie, BYTE* buffer, LONG size, LONG* done) {
  auto* c = reinterpret_cast<StreamCookie*>(cookie);
  try {
    *done = c->converter->ConvertReadStream(c->stream, reinterpret_cast<char*>(buffer), size);
    return 0;
  } catch (const Exception&) {
    *done = 0;
    return 1;
  }
}

DWORD WriteThrough(DWORD_PTR cookie, BYTE* buffer, LONG size, LONG* done) {
  auto* c = reinterpret_cast<StreamCookie*>(cookie);
  try {
    *done = c->converter->ConvertWriteStream(c->stream, reinterpret_cast<char*>(buffer), size);
    return 0;
  } catch (const Exception&) {
    *done = 0;
    return 1;
  }
}

}  // namespace

TRichEditStrings::TRichEditStrings(TCustomRichEdit* RichEdit) : TMemoStrings(RichEdit), FRichEdit(RichEdit) {}

TRichEditStrings::~TRichEditStrings() { FreeAndNil(FConverter); }

void TRichEditStrings::ChooseConverter(const AnsiString& FileName) const {
  const TConversionClass wanted = TCustomRichEdit::ConversionFor(FileName);
  if (FConverter && FConverter->ClassType() == wanted.Get()) return;
  FreeAndNil(FConverter);
  FConverter = wanted.Create();
}

// One stream through the window; true when it reported no error.
bool TRichEditStrings::Pass(TStream* Stream, WPARAM Format, bool In) const {
  TConversion* made = FConverter ? nullptr : FRichEdit->GetDefaultConverter().Create();
  orv::ScopeExit freeMade([&] {
    if (made) made->Free();
  });
  StreamCookie cookie{FConverter ? FConverter : made, Stream};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, In ? &ReadThrough : &WriteThrough};
  SendMessageA(FRichEdit->GetHandle(), In ? EM_STREAMIN : EM_STREAMOUT, Format, reinterpret_cast<LPARAM>(&es));
  return es.dwError == 0;
}

// A rich edit without a window keeps plain text: rich text loads as its
// text alone and saves as rich text of that text.
void TRichEditStrings::LoadFromStream(TStream* Stream) {
  if (Windowless()) {
    const Int64 size = Stream->GetSize() - Stream->GetPosition();
    AnsiString bytes(static_cast<std::size_t>(std::max<Int64>(size, 0)), '\0');
    if (size > 0) Stream->ReadBuffer(bytes.data(), size);
    orv::rtf::Document doc;
    if (FRichEdit->GetPlainText() || orv::rtf::Read(bytes, doc) != orv::rtf::ReadStatus::Ok) return SetTextStr(bytes);
    AnsiString text;
    for (std::size_t k = 0; k < doc.Paragraphs.size(); ++k) {
      if (k > 0) text += "\r\n";
      for (const auto& run : doc.Paragraphs[k].Runs)
        for (char c : run.Text) text += c == '\v' ? AnsiString("\r\n") : AnsiString(1, c);
    }
    return SetTextStr(text);
  }
  const Int64 start = Stream->GetPosition();
  bool ok = Pass(Stream, FRichEdit->GetPlainText() ? SF_TEXT : SF_RTF, true);
  if (!ok && !FRichEdit->GetPlainText()) {
    Stream->SetPosition(start);
    ok = Pass(Stream, SF_TEXT, true);
  }
  if (!ok) throw EOutOfResources("Failed to Load Stream");
}

void TRichEditStrings::SaveToStream(TStream* Stream) const {
  if (Windowless()) {
    if (FRichEdit->GetPlainText()) return inherited::SaveToStream(Stream);
    orv::rtf::Document doc;
    const AnsiString text = GetTextStr();
    std::size_t from = 0;
    for (;;) {
      const std::size_t brk = text.find("\r\n", from);
      const AnsiString line = text.substr(from, brk == AnsiString::npos ? AnsiString::npos : brk - from);
      doc.Paragraphs.push_back({});
      if (!line.empty()) doc.Paragraphs.back().Runs.push_back({{}, line});
      if (brk == AnsiString::npos) break;
      from = brk + 2;
    }
    const AnsiString rtf = orv::rtf::Write(doc);
    Stream->WriteBuffer(rtf.data(), static_cast<Int64>(rtf.size()));
    return;
  }
  if (!Pass(Stream, FRichEdit->GetPlainText() ? SF_TEXT : SF_RTF, false))
    throw EOutOfResources("Failed to Save Stream");
}

void TRichEditStrings::LoadFromFile(const AnsiString& FileName) {
  ChooseConverter(FileName);
  inherited::LoadFromFile(FileName);
}

void TRichEditStrings::SaveToFile(const AnsiString& FileName) const {
  ChooseConverter(FileName);
  inherited::SaveToFile(FileName);
}

void TCustomRichEdit::RegisterConversionFormat(const AnsiString& AExtension, TConversionClass AConversionClass) {
  if (!AConversionClass) return;
  AnsiString extension = AnsiLowerCase(AExtension);
  if (!extension.empty() && extension.front() == '.') extension.erase(0, 1);
  auto& formats = ConversionFormats();
  formats.insert(formats.begin(), {extension, AConversionClass});
}

TConversionClass TCustomRichEdit::ConversionFor(const AnsiString& FileName) {
  AnsiString extension = AnsiLowerCase(ExtractFileExt(FileName));
  if (!extension.empty() && extension.front() == '.') extension.erase(0, 1);
  const auto& formats = ConversionFormats();
  for (const auto& format : formats)
    if (format.extension == extension) return format.conversion;
  for (const auto& format : formats)
    if (format.extension == "txt") return format.conversion;
  return TConversion::StaticClass();
}

// ---- The rich edit ----

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TCustomMemo(AOwner), FDefaultConverter(TConversion::StaticClass()) {
  FSelAttributes = New<TTextAttributes>(this, atSelected);
  FDefAttributes = New<TTextAttributes>(this, atDefaultText);
  FParagraph = New<TParaAttributes>(this);
  ReplaceLines(New<TRichEditStrings>(this));
}

TCustomRichEdit::~TCustomRichEdit() {
  FreeAndNil(FSelAttributes);
  FreeAndNil(FDefAttributes);
  FreeAndNil(FParagraph);
}

void TCustomRichEdit::SetSelAttributes(TTextAttributes* Value) { FSelAttributes->Assign(Value); }
void TCustomRichEdit::SetDefAttributes(TTextAttributes* Value) { FDefAttributes->Assign(Value); }
void TCustomRichEdit::SetParagraph(TParaAttributes* Value) { FParagraph->Assign(Value); }

void TCustomRichEdit::SetHideScrollBars(bool Value) {
  if (FHideScrollBars == Value) return;
  FHideScrollBars = Value;
  RecreateWnd();
}

Integer TCustomRichEdit::GetTextLen() {
  GETTEXTLENGTHEX how{GTL_USECRLF | GTL_PRECISE, 0};
  return static_cast<Integer>(SendMessageA(GetHandle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
}

bool TCustomRichEdit::CanRedo() { return SendMessageA(GetHandle(), EM_CANREDO, 0, 0) != 0; }

void TCustomRichEdit::Redo() { SendMessageA(GetHandle(), EM_REDO, 0, 0); }

Integer TCustomRichEdit::FindText(const AnsiString& SearchStr, Integer StartPos, Integer Length,
                                  TSearchTypes Options) {
  FINDTEXTEXA find{};
  find.chrg.cpMin = StartPos;
  find.chrg.cpMax = static_cast<LONG>(std::min<long long>(static_cast<long long>(StartPos) + Length, 0x7FFFFFFF));
  find.lpstrText = SearchStr.c_str();
  WPARAM flags = FR_DOWN;
  if (Options.Contains(stWholeWord)) flags |= FR_WHOLEWORD;
  if (Options.Contains(stMatchCase)) flags |= FR_MATCHCASE;
  return static_cast<Integer>(SendMessageA(GetHandle(), EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&find)));
}

void TCustomRichEdit::Print(const AnsiString& /*Caption*/) {}

void TCustomRichEdit::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, RichClassName());
  if (!FHideScrollBars) Params.Style |= ES_DISABLENOSCROLL;
}

// The content made again comes back formatted, with its selection and
// modified flag; the parent then hears what the wrapper's events need.
void TCustomRichEdit::CreateWnd() {
  inherited::CreateWnd();
  SendMessageA(FHandle, EM_EXLIMITTEXT, 0, GetMaxLength());
  if (FContentSaved) {
    FContentSaved = false;
    DWORD start = 0, end = 0;
    SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const bool modified = SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0;
    TStringStream stream(FSavedContent);
    FSavedContent.clear();
    TConversion conversion;
    StreamCookie cookie{&conversion, &stream};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, &ReadThrough};
    SendMessageA(FHandle, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
    if (FWindowAlignment != GetAlignment()) {
      // Alignment was what made the window again: every paragraph takes it.
      SendMessageA(FHandle, EM_SETSEL, 0, -1);
      PARAFORMAT format{};
      format.cbSize = sizeof format;
      format.dwMask = PFM_ALIGNMENT;
      const TAlignment align = GetAlignment();
      format.wAlignment = align == taRightJustify ? PFA_RIGHT : align == taCenter ? PFA_CENTER : PFA_LEFT;
      SendMessageA(FHandle, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
      SendMessageA(FHandle, EM_EMPTYUNDOBUFFER, 0, 0);
    }
    SendMessageA(FHandle, EM_SETSEL, start, static_cast<LPARAM>(end));
    SendMessageA(FHandle, EM_SETMODIFY, modified, 0);
  }
  FWindowAlignment = GetAlignment();
  SendMessageA(FHandle, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE | ENM_REQUESTRESIZE | ENM_PROTECTED);
}

void TCustomRichEdit::DestroyWnd() {
  if (FHandle && !GetComponentState().Contains(csDestroying)) {
    TStringStream stream;
    TConversion conversion;
    StreamCookie cookie{&conversion, &stream};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, &WriteThrough};
    SendMessageA(FHandle, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
    FSavedContent = stream.GetDataString();
    FContentSaved = es.dwError == 0;
  }
  inherited::DestroyWnd();
}

void TCustomRichEdit::SelectionChange() {
  if (OnSelectionChange) OnSelectionChange(this);
}

void TCustomRichEdit::RequestSize(const TRect& Rect) {
  if (OnResizeRequest) OnResizeRequest(this, Rect);
}

bool TCustomRichEdit::ProtectChange(Integer StartPos, Integer EndPos) {
  bool allow = false;
  if (OnProtectChange) OnProtectChange(this, StartPos, EndPos, allow);
  return allow;
}

bool TCustomRichEdit::SaveClipboard(Integer NumObjects, Integer NumChars) {
  bool save = true;
  if (OnSaveClipboard) OnSaveClipboard(this, NumObjects, NumChars, save);
  return save;
}

void TCustomRichEdit::CNNotify(TMessage& Message) {
  const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
  if (!header) return;
  switch (header->code) {
    case EN_SELCHANGE: SelectionChange(); break;
    case EN_REQUESTRESIZE: RequestSize(reinterpret_cast<const REQRESIZE*>(header)->rc); break;
    case EN_PROTECTED: {
      const auto* note = reinterpret_cast<const ENPROTECTED*>(header);
      if (!ProtectChange(note->chrg.cpMin, note->chrg.cpMax)) Message.Result = 1;
      break;
    }
    case EN_SAVECLIPBOARD: {
      const auto* note = reinterpret_cast<const ENSAVECLIPBOARD*>(header);
      if (!SaveClipboard(note->cObjects, note->cch)) Message.Result = 1;
      break;
    }
    default: break;
  }
}
