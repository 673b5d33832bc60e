#include "library/editors/cxRichEditStrings.h"

#include <algorithm>
#include <vector>

#include "library/editors/cxExtEditConsts.h"
#include "library/editors/cxRichEdit.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"

using namespace win;

ORV_REGISTER(TcxRichEditStrings)

// ---------------------------------------------------------------------------
// Line breaks and the rich text test.

Integer AdjustRichLineBreaks(char* ADest, const char* ASource, Integer ALength, bool ASingleCR) {
  char* out = ADest;
  for (Integer i = 0; i < ALength; ++i) {
    const char c = ASource[i];
    if (c != '\r' && c != '\n') {
      *out++ = c;
      continue;
    }
    if (c == '\r' && i + 1 < ALength && ASource[i + 1] == '\n') ++i;
    *out++ = '\r';
    if (!ASingleCR) *out++ = '\n';
  }
  *out = '\0';
  return static_cast<Integer>(out - ADest);
}

AnsiString AdjustRichLineBreaks(std::string_view ASource, bool ASingleCR) {
  AnsiString result(ASource.size() * 2 + 1, '\0');
  const Integer length =
      AdjustRichLineBreaks(result.data(), ASource.data(), static_cast<Integer>(ASource.size()), ASingleCR);
  result.resize(static_cast<std::size_t>(length));
  return result;
}

bool IsRichText(std::string_view AText) { return AText.substr(0, 5) == "{\\rtf"; }

// Plain text streams in too: a window text set as such would end at the
// first NUL byte.
void SetRichEditText(TRichEdit* ARichEdit, const Variant& AValue) {
  TStringStream stream(VarToStr(AValue));
  ARichEdit->GetLines()->LoadFromStream(&stream);
}

// ---------------------------------------------------------------------------
// Conversions by extension.

namespace {

struct TcxConversionFormat {
  AnsiString Extension;
  TConversionClass ConversionClass;
};

// Newest first; the built-in entries stay last, "txt" being the default.
std::vector<TcxConversionFormat>& ConversionFormats() {
  static std::vector<TcxConversionFormat> formats;
  if (formats.empty())
    formats = {{"txt", TConversion::StaticClass()}, {"rtf", TConversion::StaticClass()}};
  return formats;
}

AnsiString ExtensionOf(const AnsiString& AName) {
  AnsiString extension = AnsiLowerCase(AName);
  if (!extension.empty() && extension.front() == '.') extension.erase(0, 1);
  return extension;
}

}  // namespace

void RegisterRichConversionFormat(const AnsiString& AExtension, TConversionClass AConversionClass) {
  if (!AConversionClass) return;
  auto& formats = ConversionFormats();
  formats.insert(formats.begin(), {ExtensionOf(AExtension), AConversionClass});
}

TConversionClass RichConversionFor(const AnsiString& AFileName) {
  const AnsiString extension = ExtensionOf(ExtractFileExt(AFileName));
  const auto& formats = ConversionFormats();
  for (const auto& format : formats)
    if (format.Extension == extension) return format.ConversionClass;
  return formats[formats.size() - 2].ConversionClass;
}

void FreeRichConversionFormats() { ConversionFormats().clear(); }

// ---------------------------------------------------------------------------
// The stream callbacks.

namespace {

// What a callback receives as its cookie: the conversion, the stream, and
// on the way in the CR that ended the last piece read, held back until the
// next piece tells whether an LF follows it.
struct TcxRichEditStreamCookie {
  TConversion* Converter;
  TStream* Stream;
  bool CRHeldBack = false;
  AnsiString Work;
};

// Reads at most half the room the window offers (every byte may become
// two), counted in bytes, so that a NUL is text like any other. A CR that
// ends a piece waits for the next one: with an LF there it is one break,
// without it (or at the end of the stream) it is a break of its own.
DWORD RichEditStreamLoad(DWORD_PTR ACookie, BYTE* ABuffer, LONG ASize, LONG* ADone) {
  auto* cookie = reinterpret_cast<TcxRichEditStreamCookie*>(ACookie);
  *ADone = 0;
  const LONG half = ASize / 2;
  if (half < 1) return 1;
  AnsiString& in = cookie->Work;
  in.assign(cookie->CRHeldBack ? "\r" : "");
  cookie->CRHeldBack = false;
  try {
    AnsiString piece(static_cast<std::size_t>(half), '\0');
    for (;;) {
      const auto want = static_cast<Integer>(half - static_cast<LONG>(in.size()));
      const Integer got = want > 0 ? cookie->Converter->ConvertReadStream(cookie->Stream, piece.data(), want) : 0;
      if (got > want) return 1;
      // The end: a CR held back is a break of its own.
      if (got <= 0) break;
      in.append(piece.data(), static_cast<std::size_t>(got));
      if (in.back() != '\r') break;
      in.pop_back();
      cookie->CRHeldBack = true;
      if (!in.empty()) break;
      // Nothing but that CR: the window would take an empty piece for the
      // end, so what follows it is read now.
      in.assign("\r");
      cookie->CRHeldBack = false;
    }
  } catch (const Exception&) {
    return 1;
  }
  const AnsiString out = AdjustRichLineBreaks(in, false);
  std::copy(out.begin(), out.end(), reinterpret_cast<char*>(ABuffer));
  *ADone = static_cast<LONG>(out.size());
  return 0;
}

DWORD RichEditStreamSave(DWORD_PTR ACookie, BYTE* ABuffer, LONG ASize, LONG* ADone) {
  auto* cookie = reinterpret_cast<TcxRichEditStreamCookie*>(ACookie);
  try {
    *ADone = cookie->Converter->ConvertWriteStream(cookie->Stream, reinterpret_cast<char*>(ABuffer), ASize);
    return 0;
  } catch (const Exception&) {
    *ADone = 0;
    return 1;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// The line list.

TcxRichEditStrings::TcxRichEditStrings(TcxRichInnerEdit* ARichEditControl) : FRichEditControl(ARichEditControl) {}

TcxRichEditStrings::~TcxRichEditStrings() { FreeAndNil(FConverter); }

namespace {
bool Windowless(TcxRichInnerEdit* AEdit) { return !AEdit->CanHaveWindow(); }
}  // namespace

Integer TcxRichEditStrings::GetCount() const {
  if (Windowless(FRichEditControl)) return FRichEditControl->GetLines()->GetCount();
  const HWND wnd = FRichEditControl->GetHandle();
  auto count = static_cast<Integer>(SendMessageA(wnd, EM_GETLINECOUNT, 0, 0));
  const LRESULT lastStart = SendMessageA(wnd, EM_LINEINDEX, static_cast<WPARAM>(count - 1), 0);
  if (count > 0 && SendMessageA(wnd, EM_LINELENGTH, static_cast<WPARAM>(lastStart), 0) == 0) --count;
  return count;
}

AnsiString TcxRichEditStrings::Get(Integer Index) const {
  AnsiString line = FRichEditControl->GetLines()->Get(Index);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  return line;
}

void TcxRichEditStrings::Put(Integer Index, const AnsiString& S) { FRichEditControl->GetLines()->Put(Index, S); }
void TcxRichEditStrings::Delete(Integer Index) { FRichEditControl->GetLines()->Delete(Index); }

void TcxRichEditStrings::Clear() {
  if (GetCount() >= 1) FRichEditControl->GetLines()->Clear();
}

void TcxRichEditStrings::SetUpdateState(bool Updating) {
  if (Updating)
    FRichEditControl->GetLines()->BeginUpdate();
  else
    FRichEditControl->GetLines()->EndUpdate();
}

AnsiString TcxRichEditStrings::GetTextStr() const { return FRichEditControl->GetLines()->GetTextStr(); }

void TcxRichEditStrings::SetTextStr(std::string_view Value) {
  if (TcxCustomRichEdit* editor = FRichEditControl->GetContainer())
    editor->SetText(AnsiString(Value));
  else
    FRichEditControl->GetLines()->SetTextStr(Value);
}

void TcxRichEditStrings::AddStrings(TStrings* Strings) {
  TNotifyEvent selChange = FRichEditControl->OnSelectionChange;
  FRichEditControl->OnSelectionChange = nullptr;
  orv::ScopeExit restore([&] { FRichEditControl->OnSelectionChange = selChange; });
  TStrings::AddStrings(Strings);
}

AnsiString TcxRichEditStrings::GetLineBreakString() const {
  return FRichEditControl->GetRichVersion() < 200 ? "\r\n" : "\r";
}

void TcxRichEditStrings::Insert(Integer Index, const AnsiString& S) {
  if (Windowless(FRichEditControl)) return FRichEditControl->GetLines()->Insert(Index, S);
  const Integer count = GetCount();
  if (Index < 0 || Index > count) return;
  const HWND wnd = FRichEditControl->GetHandle();
  LRESULT position = 0;
  AnsiString text;
  if (Index == count && count > 0) {
    const LRESULT start = SendMessageA(wnd, EM_LINEINDEX, static_cast<WPARAM>(Index - 1), 0);
    position = start == -1 ? 0 : start + SendMessageA(wnd, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    text = GetLineBreakString() + S;
  } else {
    position = SendMessageA(wnd, EM_LINEINDEX, static_cast<WPARAM>(Index), 0);
    text = S + GetLineBreakString();
  }
  const AnsiString adjusted = AdjustRichLineBreaks(text, true);
  SendMessageA(wnd, EM_SETSEL, static_cast<WPARAM>(position), position);
  SendMessageA(wnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(adjusted.c_str()));
  // The window keeps each break as CR LF: the caret lands after the text
  // as the window holds it.
  const auto breaks = static_cast<LRESULT>(std::count(adjusted.begin(), adjusted.end(), '\r'));
  DWORD selStart = 0;
  SendMessageA(wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), 0);
  if (static_cast<LRESULT>(selStart) != position + static_cast<LRESULT>(adjusted.size()) + breaks)
    throw EOutOfResources(cxExtEditResString(cxSEditRichEditLineInsertionError));
}

WPARAM TcxRichEditStrings::FormatOfWindow() const {
  return FRichEditControl->GetMemoMode() || FRichEditControl->GetPlainText() ? SF_TEXT : SF_RTF;
}

bool TcxRichEditStrings::Stream(TStream* AStream, TcxRichEditStreamOperation AOperation, WPARAM AFormat) const {
  TConversion* made = FConverter ? nullptr : FRichEditControl->GetDefaultConverter().Create();
  orv::ScopeExit freeMade([&] {
    if (made) made->Free();
  });
  TcxRichEditStreamCookie cookie{FConverter ? FConverter : made, AStream, false, {}};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0,
                AOperation == esoLoadFrom ? &RichEditStreamLoad : &RichEditStreamSave};
  SendMessageA(FRichEditControl->GetHandle(), AOperation == esoLoadFrom ? EM_STREAMIN : EM_STREAMOUT, AFormat,
               reinterpret_cast<LPARAM>(&es));
  return es.dwError == 0;
}

void TcxRichEditStrings::MarkEditorUnmodified() {
  if (TcxCustomRichEdit* editor = FRichEditControl->GetContainer()) editor->SetModified(false);
}

void TcxRichEditStrings::LoadFromStream(TStream* Stream) {
  // Without a window to read into, the bytes are the text.
  if (Windowless(FRichEditControl)) {
    const Int64 size = std::max<Int64>(Stream->GetSize() - Stream->GetPosition(), 0);
    AnsiString bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0) Stream->ReadBuffer(bytes.data(), size);
    FRichEditControl->SetText(bytes);
    FTextType = SF_TEXT;
    MarkEditorUnmodified();
    return;
  }
  const Int64 start = Stream->GetPosition();
  WPARAM format = FormatOfWindow();
  bool ok = this->Stream(Stream, esoLoadFrom, format);
  if (!ok && format == SF_RTF) {
    Stream->SetPosition(start);
    format = SF_TEXT;
    ok = this->Stream(Stream, esoLoadFrom, format);
  }
  if (!ok) throw EOutOfResources(cxExtEditResString(cxSEditRichEditLoadFail));
  FTextType = format;
  MarkEditorUnmodified();
}

void TcxRichEditStrings::SaveToStream(TStream* Stream) const {
  if (Windowless(FRichEditControl)) {
    const AnsiString text = FRichEditControl->GetText();
    Stream->WriteBuffer(text.data(), static_cast<Int64>(text.size()));
    return;
  }
  if (!this->Stream(Stream, esoSaveTo, FormatOfWindow()))
    throw EOutOfResources(cxExtEditResString(cxSEditRichEditSaveFail));
}

void TcxRichEditStrings::InitConverter(const AnsiString& AFileName) const {
  const TConversionClass wanted = RichConversionFor(AFileName);
  if (FConverter && FConverter->ClassType() == wanted.Get()) return;
  FreeAndNil(FConverter);
  FConverter = wanted.Create();
}

void TcxRichEditStrings::LoadFromFile(const AnsiString& FileName) {
  InitConverter(FileName);
  TStrings::LoadFromFile(FileName);
  MarkEditorUnmodified();
}

void TcxRichEditStrings::SaveToFile(const AnsiString& FileName) const {
  InitConverter(FileName);
  TStrings::SaveToFile(FileName);
}
