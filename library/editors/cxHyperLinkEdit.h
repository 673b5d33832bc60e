// The hyperlink editor: a text editor whose text is a link, shown
// underlined in the link colour, completed with a prefix, and opened by a
// key, a double click or (SingleClick) a click. Opening hands the link to
// the desktop's opener as one argument, and only a link of a web or mail
// scheme, or of the scheme the properties' own prefix names: the text is
// outside data, and a desktop may run a local program it names.
#pragma once

#include "library/editors/core/cxTextEdit.h"

class TcxCustomHyperLinkEditProperties : public TcxCustomTextEditProperties {
  ORV_CLASS(TcxCustomHyperLinkEditProperties, TcxCustomTextEditProperties)
 public:
  explicit TcxCustomHyperLinkEditProperties(TPersistent* AOwner);
  void AfterConstruction() override;

  TClass GetContainerClass() const override;
  TClass GetStyleClass() const override;
  TClass GetViewDataClass() const override;
  TClass GetViewInfoClass() const override;
  TcxEditSupportedOperations GetSupportedOperations() const override;
  void ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                            IcxEditControl* AEdit) override;

  // The trimmed text behind Prefix when AutoComplete is on and it lacks
  // it (in any case) and names no scheme of its own ("https://",
  // "mailto:"); else the text as it is.
  virtual AnsiString AddPrefixTo(const AnsiString& AText) const;
  // Whether a completed link may go to the opener: a URL of http, https,
  // ftp or mailto or of Prefix's own scheme, without control characters,
  // not starting with '-'.
  bool IsLinkAllowed(const AnsiString& ALink) const;

  bool GetAutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  TColor GetLinkColor() const { return FLinkColor; }
  void SetLinkColor(TColor Value);
  AnsiString GetPrefix() const { return FPrefix; }
  void SetPrefix(const AnsiString& Value) { FPrefix = Value; }
  bool GetSingleClick() const { return FSingleClick; }
  void SetSingleClick(bool Value);
  TShortCut GetStartKey() const { return FStartKey; }
  void SetStartKey(TShortCut Value) { FStartKey = Value; }

  TNotifyEvent OnStartClick;

 protected:
  void DoAssign(TPersistent* Source) override;

  void DefineProperties(TFiler* Filer) override;

 private:
  bool IsCompleteLink(const AnsiString& AText) const;
  void ReadPrefix(TReader* Reader);
  void WritePrefix(TWriter* Writer);

  bool FAutoComplete = true;
  TColor FLinkColor = static_cast<TColor>(0xFF0000);
  AnsiString FPrefix;
  bool FSingleClick = false;
  TShortCut FStartKey = 16397;
};

class TcxHyperLinkEditProperties : public TcxCustomHyperLinkEditProperties {
  ORV_CLASS(TcxHyperLinkEditProperties, TcxCustomHyperLinkEditProperties)
 public:
  explicit TcxHyperLinkEditProperties(TPersistent* AOwner) : TcxCustomHyperLinkEditProperties(AOwner) {}
};

// The editor's style: the link colour unless a text colour is set, and
// always underlined.
class TcxHyperLinkStyle : public TcxEditStyle {
  ORV_CLASS(TcxHyperLinkStyle, TcxEditStyle)
 public:
  using TcxEditStyle::TcxEditStyle;
  TFontStyles GetTextStyle() override;

 protected:
  TColor DefaultTextColor() override;
};

// A cell without an editor window underlines its text itself, in the
// link colour unless its style sets a text colour of its own (as an
// editor's style does); an editor's style already underlines and colours.
class TcxHyperLinkEditViewInfo : public TcxCustomTextEditViewInfo {
  ORV_CLASS(TcxHyperLinkEditViewInfo, TcxCustomTextEditViewInfo)
 public:
  void Assign(TObject* Source) override;
  void PrepareCanvasFont(TcxCanvas* ACanvas) override;

  // The style's text colour is set: TextColor wins over LinkColor.
  bool IsTextColorAssigned = false;
};

// Tells the view info whether its style sets the text colour.
class TcxHyperLinkEditViewData : public TcxCustomTextEditViewData {
  ORV_CLASS(TcxHyperLinkEditViewData, TcxCustomTextEditViewData)
 public:
  using TcxCustomTextEditViewData::TcxCustomTextEditViewData;
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
};

class TcxCustomHyperLinkEdit : public TcxCustomTextEdit {
  ORV_CLASS(TcxCustomHyperLinkEdit, TcxCustomTextEdit)
 public:
  explicit TcxCustomHyperLinkEdit(TComponent* AOwner) : TcxCustomHyperLinkEdit(AOwner, false) {}
  TcxCustomHyperLinkEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomTextEdit(AOwner, AIsInplace) {}

  TcxCustomHyperLinkEditProperties* GetProperties() const {
    return static_cast<TcxCustomHyperLinkEditProperties*>(TcxCustomTextEdit::GetProperties());
  }
  TcxCustomHyperLinkEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomHyperLinkEditProperties*>(TcxCustomTextEdit::GetActiveProperties());
  }
  void SetProperties(TcxCustomHyperLinkEditProperties* Value) { TcxCustomTextEdit::SetProperties(Value); }

  // Raises OnStartClick, or opens the completed link when no handler is
  // set and the link is allowed (beeping when it is not).
  virtual void DoStart();

  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomTextEdit::PropertiesChanged;

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void MouseEnter(TControl* AControl) override;
  void MouseLeave(TControl* AControl) override;

 private:
  bool InTextArea(Integer X, Integer Y);
  void SetLinkCursor(TCursor ACursor);

  bool FCursorSaved = false;
  TCursor FSavedCursor = crDefault;
};

class TcxHyperLinkEdit : public TcxCustomHyperLinkEdit {
  ORV_CLASS(TcxHyperLinkEdit, TcxCustomHyperLinkEdit)
 public:
  explicit TcxHyperLinkEdit(TComponent* AOwner) : TcxHyperLinkEdit(AOwner, false) {}
  TcxHyperLinkEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomHyperLinkEdit(AOwner, AIsInplace) {}

  TcxHyperLinkEditProperties* GetProperties() const {
    return static_cast<TcxHyperLinkEditProperties*>(TcxCustomHyperLinkEdit::GetProperties());
  }
  TcxHyperLinkEditProperties* GetActiveProperties() const {
    return static_cast<TcxHyperLinkEditProperties*>(TcxCustomHyperLinkEdit::GetActiveProperties());
  }
  void SetProperties(TcxHyperLinkEditProperties* Value) { TcxCustomHyperLinkEdit::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

class TcxFilterHyperLinkEditHelper : public TcxFilterTextEditHelper {
  ORV_CLASS(TcxFilterHyperLinkEditHelper, TcxFilterTextEditHelper)
 public:
  TClass GetFilterEditClass() const override;
};

void cxHyperLinkEditInitialize();
void cxHyperLinkEditFinalize();
