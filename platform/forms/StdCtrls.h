// Simple graphic controls: TLabel (a caption with a mnemonic), TBevel (a
// sunken or raised box or line) and TImage (a picture).
#pragma once

#include "platform/forms/Controls.h"
#include "platform/forms/Graphic.h"
#include "platform/rtl/Alignment.h"

ORV_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
ORV_ENUM(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)
ORV_ENUM(TBevelStyle, bsLowered, bsRaised)

class TCustomLabel : public TGraphicControl {
  ORV_CLASS(TCustomLabel, TGraphicControl)
 public:
  explicit TCustomLabel(TComponent* AOwner);

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout GetLayout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool GetTransparent() const { return !FControlStyle.Contains(csOpaque); }
  void SetTransparent(bool Value);
  bool GetShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  // The control a mnemonic of the caption focuses.
  TWinControl* GetFocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  bool CanAutoSizeTo(Integer& NewWidth, Integer& NewHeight) override;

 protected:
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Draws (or with DT_CALCRECT measures) the caption in Rect.
  void DoDrawText(TRect& Rect, win::UINT Flags);
  void CMDialogChar(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGCHAR, CMDialogChar)

  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
  ORV_CLASS(TLabel, TCustomLabel)
 public:
  using TCustomLabel::TCustomLabel;
};

class TBevel : public TGraphicControl {
  ORV_CLASS(TBevel, TGraphicControl)
 public:
  explicit TBevel(TComponent* AOwner);
  TBevelShape GetShape() const { return FShape; }
  void SetShape(TBevelShape Value);
  TBevelStyle GetStyle() const { return FStyle; }
  void SetStyle(TBevelStyle Value);

 protected:
  void Paint() override;

 private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

class TImage : public TGraphicControl {
  ORV_CLASS(TImage, TGraphicControl)
 public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* GetPicture() const { return FPicture; }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  bool GetCenter() const { return FCenter; }
  void SetCenter(bool Value);
  bool GetStretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool CanAutoSizeTo(Integer& NewWidth, Integer& NewHeight) override;
  // Where the picture is drawn, in client coordinates.
  TRect DestRect();

 protected:
  void Paint() override;

 private:
  void PictureChanged(TObject* Sender);

  TPicture* FPicture;
  bool FCenter = false;
  bool FStretch = false;
  bool FTransparent = false;
};
