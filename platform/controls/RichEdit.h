// The rich edit of the class library: TCustomRichEdit over the rich-edit
// window class, and TRichEdit, which publishes it. The window class comes
// from the first rich-edit module that loads; the module stays loaded
// until the units shut down.
#pragma once

#include "platform/controls/Memo.h"
#include "platform/controls/RichEditControl.h"
#include "platform/forms/Graphics.h"

ORV_ENUM(TAttributeType, atSelected, atDefaultText)

class TCustomRichEdit;

// The character format of the selection (what typing there will take when
// nothing is selected) or the default one, read and set through the
// window's EM_GETCHARFORMAT and EM_SETCHARFORMAT.
class TTextAttributes : public TPersistent {
  ORV_CLASS(TTextAttributes, TPersistent)
 public:
  TTextAttributes(TCustomRichEdit* AOwner, TAttributeType AType) : FRichEdit(AOwner), FType(AType) {}
  void Assign(TPersistent* Source) override;

  // clWindowText stands for the control's own text colour.
  TColor GetColor() const;
  void SetColor(TColor Value);
  TFontStyles GetStyle() const;
  void SetStyle(TFontStyles Value);
  AnsiString GetName() const;
  void SetName(const AnsiString& Value);
  // Points.
  Integer GetSize() const;
  void SetSize(Integer Value);

 private:
  win::CHARFORMATA Read() const;
  void Write(win::CHARFORMATA& Format) const;

  TCustomRichEdit* FRichEdit;
  TAttributeType FType;
};

class TCustomRichEdit : public TCustomMemo {
  ORV_CLASS(TCustomRichEdit, TCustomMemo)
 public:
  explicit TCustomRichEdit(TComponent* AOwner);
  ~TCustomRichEdit() override;

  TTextAttributes* GetSelAttributes() const { return FSelAttributes; }
  void SetSelAttributes(TTextAttributes* Value);
  TTextAttributes* GetDefAttributes() const { return FDefAttributes; }
  void SetDefAttributes(TTextAttributes* Value);
  // Kept for the text modes; the text is plain either way.
  bool GetPlainText() const { return FPlainText; }
  void SetPlainText(bool Value) { FPlainText = Value; }
  Integer GetTextLen();

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  TTextAttributes* FSelAttributes = nullptr;
  TTextAttributes* FDefAttributes = nullptr;
  bool FPlainText = false;
};

class TRichEdit : public TCustomRichEdit {
  ORV_CLASS(TRichEdit, TCustomRichEdit)
 public:
  explicit TRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}
};
