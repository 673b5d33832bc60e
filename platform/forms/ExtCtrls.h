// TPanel: a box for other controls, framed by an outer and an inner bevel,
// with a caption in the middle. Aligned children sit inside the bevels.
#pragma once

#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/Alignment.h"

ORV_ENUM(TPanelBevel, bvNone, bvLowered, bvRaised, bvSpace)
using TBevelWidth = Integer;

class TCustomPanel : public TCustomControl {
  ORV_CLASS(TCustomPanel, TCustomControl)
 public:
  explicit TCustomPanel(TComponent* AOwner);

  TPanelBevel GetBevelInner() const { return FBevelInner; }
  void SetBevelInner(TPanelBevel Value);
  TPanelBevel GetBevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel Value);
  // At least 1.
  TBevelWidth GetBevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(TBevelWidth Value);
  // bsSingle gives the window a sunken client edge (a plain line without
  // Ctl3D); every other style none.
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  // The room the bevels take on each side.
  Integer BevelSpace() const;
  void CMTextChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_TEXTCHANGED, CMTextChanged)

  TPanelBevel FBevelInner = bvNone;
  TPanelBevel FBevelOuter = bvRaised;
  TBevelWidth FBevelWidth = 1;
  TBorderStyle FBorderStyle = bsNone;
  TAlignment FAlignment = taCenter;

 private:
  void BevelChanged();
};

class TPanel : public TCustomPanel {
  ORV_CLASS(TPanel, TCustomPanel)
 public:
  using TCustomPanel::TCustomPanel;
};
