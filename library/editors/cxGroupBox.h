// The group box: a captioned frame that holds child controls. Its caption
// sits at one of thirteen places, the side ones turned a quarter; the
// children are kept inside the frame and below (or beside) the caption.
// It paints itself by the border style of its style or, natively, by the
// theme. The button group (cxButtonGroup) builds on it.
#pragma once

#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/cxGroupBoxViewInfo.h"
#include "platform/gdi/Text.h"

class TcxCustomGroupBoxProperties : public TcxCustomEditProperties {
  ORV_CLASS(TcxCustomGroupBoxProperties, TcxCustomEditProperties)
 public:
  explicit TcxCustomGroupBoxProperties(TPersistent* AOwner) : TcxCustomEditProperties(AOwner) {}

  TClass GetContainerClass() const override;
  TClass GetViewDataClass() const override;
  TClass GetViewInfoClass() const override;
};

class TcxCustomGroupBox : public TcxCustomEdit {
  ORV_CLASS(TcxCustomGroupBox, TcxCustomEdit)
 public:
  explicit TcxCustomGroupBox(TComponent* AOwner) : TcxCustomGroupBox(AOwner, false) {}
  TcxCustomGroupBox(TComponent* AOwner, bool AIsInplace) : TcxCustomEdit(AOwner, AIsInplace) {}
  ~TcxCustomGroupBox() override;

  TcxCustomGroupBoxProperties* GetProperties() const {
    return static_cast<TcxCustomGroupBoxProperties*>(TcxCustomEdit::GetProperties());
  }
  TcxCustomGroupBoxProperties* GetActiveProperties() const {
    return static_cast<TcxCustomGroupBoxProperties*>(TcxCustomEdit::GetActiveProperties());
  }

  TcxCaptionAlignment GetAlignment() const { return FAlignment; }
  // Lays the caption and the children out again.
  void SetAlignment(TcxCaptionAlignment Value);

  // The font the caption is drawn in: the active style's, turned for the
  // side positions (a face without outlines gives way to "Arial" there).
  TFont* GetCaptionFont() const { return FCaptionFont; }
  void CalculateCaptionFont();
  // What is drawn: a turned caption shows no accelerator marks.
  const AnsiString& GetVisibleCaption() const { return FVisibleCaption; }
  void CalculateVisibleCaption();

  // The children are laid out by the box itself.
  bool IsContainerClass() override { return true; }
  // The caption side of the shadow reaches the box's edge.
  TRect GetShadowBounds() override;
  bool IsNativeBackground() override;
  bool DefaultParentColor() override { return true; }

 protected:
  void AdjustClientRect(TRect& Rect) override;
  bool CanAutoSize() override { return false; }
  void ContainerStyleChanged(TObject* Sender) override;
  void FontChanged() override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void Initialize() override;
  TcxContainerStyle* InternalGetActiveStyle() override;
  TcxContainerStyleValues InternalGetNotPublishedStyleValues() override;
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override;
  void TextChanged() override;

  // The caption's accelerator selects the first child.
  void CMDialogChar(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGCHAR, CMDialogChar)

  // Set while the caption's accelerator is handled.
  bool FIsAccelCharHandling = false;

 private:
  TcxCaptionAlignment FAlignment = alTopLeft;
  TFont* FCaptionFont = nullptr;
  AnsiString FVisibleCaption;
};

class TcxGroupBox : public TcxCustomGroupBox {
  ORV_CLASS(TcxGroupBox, TcxCustomGroupBox)
 public:
  explicit TcxGroupBox(TComponent* AOwner) : TcxGroupBox(AOwner, false) {}
  TcxGroupBox(TComponent* AOwner, bool AIsInplace) : TcxCustomGroupBox(AOwner, AIsInplace) {}
};

// How the caption font's metrics are read; tests put in a reader that
// reports a face without outlines.
using TcxGroupBoxTextMetricsReader = bool (*)(win::HDC ADC, win::TEXTMETRICA& AMetrics);
void SetGroupBoxTextMetricsReader(TcxGroupBoxTextMetricsReader AReader);
