#include "platform/controls/RichEdit.h"

#include <cstring>

#include "platform/forms/UnitStartup.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/Modules.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowClass.h"

using namespace win;

namespace {

HMODULE gRichModule = nullptr;
const char* gRichClass = nullptr;

void StartRichEdit() {
  RegisterRichEditModules();
  RegisterClasses({TCustomRichEdit::StaticClass(), TRichEdit::StaticClass()});
}

void StopRichEdit() {
  if (gRichModule) FreeLibrary(gRichModule);
  gRichModule = nullptr;
  gRichClass = nullptr;
}

[[maybe_unused]] const bool kRichEditUnitListed = (RegisterUnit("RichEdit", &StartRichEdit, &StopRichEdit), true);

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

ORV_REGISTER(TTextAttributes, ORV_PROP(Color), ORV_PROP(Style), ORV_PROP(Name), ORV_PROP(Size))
ORV_REGISTER(TCustomRichEdit)
ORV_REGISTER(TRichEdit, ORV_PROP(Lines), ORV_PROP(Alignment).Default(taLeftJustify),
             ORV_PROP(HideSelection).Default(true), ORV_PROP(MaxLength).Default(0),
             ORV_PROP(PlainText).Default(false), ORV_PROP(ReadOnly).Default(false),
             ORV_PROP(ScrollBars).Default(ssNone), ORV_PROP(WantReturns).Default(true),
             ORV_PROP(WantTabs).Default(false), ORV_PROP(WordWrap).Default(true), ORV_PROP(TabStop).Default(true),
             ORV_EVENT(OnChange))

// ---- Attributes ----

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

void TTextAttributes::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TTextAttributes*>(Source)) {
    CHARFORMATA format = other->Read();
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR | CFM_FACE | CFM_SIZE;
    Write(format);
    return;
  }
  inherited::Assign(Source);
}

Integer TTextAttributes::GetSize() const { return Read().yHeight / 20; }

void TTextAttributes::SetSize(Integer Value) {
  CHARFORMATA format{};
  format.dwMask = CFM_SIZE;
  format.yHeight = Value * 20;
  Write(format);
}

// ---- The rich edit ----

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TCustomMemo(AOwner) {
  FSelAttributes = New<TTextAttributes>(this, atSelected);
  FDefAttributes = New<TTextAttributes>(this, atDefaultText);
}

TCustomRichEdit::~TCustomRichEdit() {
  FreeAndNil(FSelAttributes);
  FreeAndNil(FDefAttributes);
}

void TCustomRichEdit::SetSelAttributes(TTextAttributes* Value) { FSelAttributes->Assign(Value); }
void TCustomRichEdit::SetDefAttributes(TTextAttributes* Value) { FDefAttributes->Assign(Value); }

Integer TCustomRichEdit::GetTextLen() {
  GETTEXTLENGTHEX how{GTL_USECRLF, 0};
  return static_cast<Integer>(SendMessageA(GetHandle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
}

void TCustomRichEdit::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, RichClassName());
}
