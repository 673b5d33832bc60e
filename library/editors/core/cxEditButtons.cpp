#include "library/editors/core/cxEditButtons.h"

#include <algorithm>

#include "library/foundation/cxControls.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxEditButton, ORV_PROP(Caption), ORV_PROP(Default).Default(false), ORV_PROP(Enabled).Default(true),
             ORV_PROP(Glyph).StoredBy<&TcxEditButton::IsGlyphStored>(), ORV_PROP(Kind).Default(bkDown),
             ORV_PROP(LeftAlignment).Default(false), ORV_PROP(Stretchable).Default(true),
             ORV_PROP(Visible).Default(true), ORV_PROP(Width).Default(0))
ORV_REGISTER(TcxEditButtons)

TcxEditButton::TcxEditButton(TCollection* Collection) : TCollectionItem(Collection) {}

TcxEditButton::~TcxEditButton() { FreeAndNil(FGlyph); }

TcxEditButtons* TcxEditButton::GetCollection() const {
  return static_cast<TcxEditButtons*>(TCollectionItem::GetCollection());
}

void TcxEditButton::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxEditButton*>(Source);
  if (!source) {
    TCollectionItem::DoAssign(Source);
    return;
  }
  auto update = orv::UpdateScopeIf(TCollectionItem::GetCollection());
  SetCaption(source->FCaption);
  FPlainCaption = source->FPlainCaption;
  SetDefault(source->FDefault);
  SetEnabled(source->FEnabled);
  SetGlyph(source->FGlyph);
  SetKind(source->FKind);
  SetLeftAlignment(source->FLeftAlignment);
  SetStretchable(source->FStretchable);
  SetTextColor(source->FTextColor);
  SetVisible(source->FVisible);
  SetWidth(source->FWidth);
}

void TcxEditButton::SetCaption(const AnsiString& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  FPlainCaption = RemoveAccelChars(Value);
  Changed(false);
}

void TcxEditButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  // The others lose the mark quietly; the one notice below covers them all.
  if (Value)
    if (TCollection* collection = TCollectionItem::GetCollection())
      for (Integer i = 0; i < collection->GetCount(); ++i)
        static_cast<TcxEditButton*>(collection->GetItem(i))->FDefault = false;
  FDefault = Value;
  Changed(true);
}

void TcxEditButton::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Changed(false);
}

TBitmap* TcxEditButton::GetGlyph() {
  if (!FGlyph) {
    FGlyph = New<TBitmap>();
    FGlyph->OnChange = TNotifyEvent::Bind<&TcxEditButton::GlyphChanged>(this);
  }
  return FGlyph;
}

void TcxEditButton::SetGlyph(TBitmap* Value) {
  if (!Value) {
    if (!FGlyph) return;
    FreeAndNil(FGlyph);
    Changed(false);
    return;
  }
  if (Value == FGlyph) return;
  // The bitmap's OnChange reports the change.
  GetGlyph()->Assign(Value);
}

void TcxEditButton::GlyphChanged(TObject*) { Changed(false); }

void TcxEditButton::SetKind(TcxEditButtonKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  Changed(false);
}

void TcxEditButton::SetLeftAlignment(bool Value) {
  if (FLeftAlignment == Value) return;
  FLeftAlignment = Value;
  Changed(false);
}

void TcxEditButton::SetStretchable(bool Value) {
  if (FStretchable == Value) return;
  FStretchable = Value;
  Changed(false);
}

void TcxEditButton::SetTextColor(TColor Value) {
  if (FTextColor == Value) return;
  FTextColor = Value;
  Changed(false);
}

void TcxEditButton::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Changed(false);
}

void TcxEditButton::SetWidth(Integer Value) {
  Value = std::max(Value, 0);
  if (FWidth == Value) return;
  FWidth = Value;
  Changed(false);
}

TcxEditButtons::TcxEditButtons(TPersistent* AOwner) : TcxEditButtons(AOwner, TcxEditButton::StaticClass()) {}

TcxEditButtons::TcxEditButtons(TPersistent* AOwner, TClass AButtonClass)
    : TCollection(AButtonClass), FOwner(AOwner) {}

Integer TcxEditButtons::GetVisibleCount() const {
  Integer count = 0;
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetVisible()) ++count;
  return count;
}

void TcxEditButtons::Update(TCollectionItem*) {
  if (OnChange) OnChange(this);
}
