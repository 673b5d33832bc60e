// The buttons drawn inside an editor's border (drop-down arrow, ellipsis,
// picture or text). They are settings only: where they go and how they look
// at a moment belongs to the editor's view data and view info. A change of
// any button reaches the properties that own the collection through its
// OnChange, and the properties then tell their editors.
#pragma once

#include "platform/forms/Bitmap.h"
#include "platform/forms/Graphics.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Events.h"
#include "platform/rtl/TypeInfo.h"

ORV_ENUM(TcxEditButtonKind, bkEllipsis, bkDown, bkGlyph, bkText)

class TcxEditButtons;

class TcxEditButton : public TCollectionItem {
  ORV_CLASS(TcxEditButton, TCollectionItem)
 public:
  explicit TcxEditButton(TCollection* Collection);
  ~TcxEditButton() override;

  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  // The caption without its accelerator marks.
  const AnsiString& GetPlainCaption() const { return FPlainCaption; }
  // At most one button of a collection is the default one; setting it
  // clears the others and reports a change of all buttons.
  bool GetDefault() const { return FDefault; }
  void SetDefault(bool Value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Made empty on first read, so a picture can be loaded into it at once.
  TBitmap* GetGlyph();
  // Null frees the picture; anything else is copied, never shared.
  void SetGlyph(TBitmap* Value);
  bool HasGlyph() const { return FGlyph != nullptr; }
  TcxEditButtonKind GetKind() const { return FKind; }
  void SetKind(TcxEditButtonKind Value);
  bool GetLeftAlignment() const { return FLeftAlignment; }
  void SetLeftAlignment(bool Value);
  bool GetStretchable() const { return FStretchable; }
  void SetStretchable(bool Value);
  TColor GetTextColor() const { return FTextColor; }
  void SetTextColor(TColor Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  // 0 is the default width. A negative width, set or read from a stored
  // layout, is taken as 0: a button never ends left of where it starts.
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer Value);

  TcxEditButtons* GetCollection() const;

 protected:
  // Another button is copied through the setters as one change of the
  // collection.
  void DoAssign(TPersistent* Source) override;

 private:
  void GlyphChanged(TObject* Sender);
  bool IsGlyphStored() const { return FGlyph && !FGlyph->Empty(); }

  AnsiString FCaption;
  bool FDefault = false;
  bool FEnabled = true;
  TBitmap* FGlyph = nullptr;
  TcxEditButtonKind FKind = bkDown;
  bool FLeftAlignment = false;
  bool FStretchable = true;
  TColor FTextColor = clBtnText;
  bool FVisible = true;
  AnsiString FPlainCaption;
  Integer FWidth = 0;
};

class TcxEditButtons : public TCollection {
  ORV_CLASS(TcxEditButtons, TCollection)
 public:
  // AOwner (the properties object) names the collection in stream paths.
  explicit TcxEditButtons(TPersistent* AOwner);
  TcxEditButtons(TPersistent* AOwner, TClass AButtonClass);

  TcxEditButton* Add() { return static_cast<TcxEditButton*>(TCollection::Add()); }
  TcxEditButton* GetItem(Integer Index) const { return static_cast<TcxEditButton*>(TCollection::GetItem(Index)); }
  // Assigns Value into the button at Index.
  void SetItem(Integer Index, TcxEditButton* Value) { TCollection::SetItem(Index, Value); }
  Integer GetVisibleCount() const;

  TPersistent* GetOwner() override { return FOwner; }

  TNotifyEvent OnChange;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TPersistent* FOwner;
};
