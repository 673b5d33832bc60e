// The appearance of an editor in each state. An edit style adds the
// editor's button and popup values to the container style; a value the
// style does not hold reads through to a style controller (an edit style
// controller several editors share, else the process-wide default one)
// and finally to a default.
#pragma once

#include "library/foundation/cxContainer.h"
#include "library/foundation/cxGraphics.h"

ORV_ENUM(TcxEditButtonStyle, btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat, btsOffice11)
ORV_ENUM(TcxEditButtonTransparency, ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected)
ORV_ENUM(TcxEditPopupBorderStyle, epbsDefault, epbsSingle, epbsFrame3D, epbsFlat)
// In the order of the container border styles.
ORV_ENUM(TcxEditBorderStyle, ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat, ebsOffice11)

// The editor's own style values, after the container's.
inline constexpr TcxContainerStyleValue svButtonStyle = 10;
inline constexpr TcxContainerStyleValue svButtonTransparency = 11;
inline constexpr TcxContainerStyleValue svPopupBorderStyle = 12;
inline constexpr TcxContainerStyleValue svGradientButtons = 13;

class TcxEditStyleController;

class TcxCustomEditStyle : public TcxContainerStyle {
  ORV_CLASS(TcxCustomEditStyle, TcxContainerStyle)
 public:
  using TcxContainerStyle::TcxContainerStyle;

  // Colour, font and text colour from view parameters, as one change.
  void Init(const TcxViewParams& AParams);

  Integer GetStyleValueCount() override { return 14; }
  bool GetStyleValueName(TcxContainerStyleValue AStyleValue, AnsiString& AName) override;
  bool IsValueAssigned(TcxContainerStyleValue AValue) override;

  // The button style may differ per state; the other three values belong
  // to the normal style, and a state style hands writes to it.
  TcxEditButtonStyle GetButtonStyle();
  void SetButtonStyle(TcxEditButtonStyle Value);
  TcxEditButtonTransparency GetButtonTransparency();
  void SetButtonTransparency(TcxEditButtonTransparency Value);
  bool GetGradientButtons();
  void SetGradientButtons(bool Value);
  TcxEditPopupBorderStyle GetPopupBorderStyle();
  void SetPopupBorderStyle(TcxEditPopupBorderStyle Value);
  // Kept by the normal style only, without an assigned mark.
  bool GetPopupCloseButton();
  void SetPopupCloseButton(bool Value);

  TcxEditBorderStyle GetEditBorderStyle() { return static_cast<TcxEditBorderStyle>(GetBorderStyle()); }
  void SetEditBorderStyle(TcxEditBorderStyle Value) {
    SetBorderStyle(static_cast<TcxContainerBorderStyle>(Value));
  }
  TcxEditStyleController* GetEditStyleController();
  void SetEditStyleController(TcxEditStyleController* Value);

  bool IsButtonStyleStored() { return IsValueStored(svButtonStyle); }
  bool IsButtonTransparencyStored() { return IsValueStored(svButtonTransparency); }
  bool IsGradientButtonsStored() { return IsValueStored(svGradientButtons); }
  bool IsPopupBorderStyleStored() { return IsValueStored(svPopupBorderStyle); }

 protected:
  // Copies the editor values and the container's, as one change.
  void DoAssign(TPersistent* Source) override;

  virtual TcxEditButtonStyle DefaultButtonStyle();
  virtual TcxEditButtonTransparency DefaultButtonTransparency();
  virtual bool DefaultGradientButtons();
  virtual TcxEditPopupBorderStyle DefaultPopupBorderStyle();
  // None for direct values and for a style of an editor in a grid cell;
  // else the default edit style controller.
  TcxStyleController* GetDefaultStyleController() override;
  TcxContainerStyleValues InternalGetNotPublishedExtendedStyleValues() override;

  bool InternalGetButtonStyle(TcxEditButtonStyle& Value);
  bool InternalGetButtonTransparency(TcxEditButtonTransparency& Value);
  bool InternalGetGradientButtons(bool& Value);
  bool InternalGetPopupBorderStyle(TcxEditPopupBorderStyle& Value);

 private:
  TcxCustomEditStyle* GetBaseEditStyle() { return static_cast<TcxCustomEditStyle*>(GetBaseStyle()); }
  // The controller's style of this state, when a controller is in effect.
  TcxCustomEditStyle* ControllerEditStyle();
  template <class T>
  T ReadValue(TcxContainerStyleValue AIndex, bool (TcxCustomEditStyle::*AInternalGet)(T&),
              T (TcxCustomEditStyle::*ADefault)());
  template <class T>
  void WriteValue(TcxContainerStyleValue AIndex, T& AField, const T& Value);

  TcxEditButtonStyle FButtonStyle = btsDefault;
  TcxEditButtonTransparency FButtonTransparency = ebtNone;
  bool FGradientButtons = false;
  TcxEditPopupBorderStyle FPopupBorderStyle = epbsDefault;
  bool FPopupCloseButton = true;
};

// The published edit style.
class TcxEditStyle : public TcxCustomEditStyle {
  ORV_CLASS(TcxEditStyle, TcxCustomEditStyle)
 public:
  using TcxCustomEditStyle::TcxCustomEditStyle;
};

// A style per state that editors share.
class TcxEditStyleController : public TcxStyleController {
  ORV_CLASS(TcxEditStyleController, TcxStyleController)
 public:
  explicit TcxEditStyleController(TComponent* AOwner) : TcxStyleController(AOwner) {}

  TcxContainerStyleClass GetStyleClass() override { return TcxEditStyle::StaticClass(); }

  TcxEditStyle* GetInternalStyle(TcxContainerStateItem AState) const {
    return static_cast<TcxEditStyle*>(TcxStyleController::GetInternalStyle(AState));
  }
  // Setting a style copies it into the controller's own.
  TcxEditStyle* GetStyle() const { return GetInternalStyle(csNormal); }
  void SetStyle(TcxEditStyle* Value) { SetInternalStyle(csNormal, Value); }
  TcxEditStyle* GetStyleDisabled() const { return GetInternalStyle(csDisabled); }
  void SetStyleDisabled(TcxEditStyle* Value) { SetInternalStyle(csDisabled, Value); }
  TcxEditStyle* GetStyleFocused() const { return GetInternalStyle(csActive); }
  void SetStyleFocused(TcxEditStyle* Value) { SetInternalStyle(csActive, Value); }
  TcxEditStyle* GetStyleHot() const { return GetInternalStyle(csHotTrack); }
  void SetStyleHot(TcxEditStyle* Value) { SetInternalStyle(csHotTrack, Value); }
};

// A component with no state of its own that shows the process-wide default
// edit style controller in designers: its properties are the default
// controller's. When the last of them goes, the default styles go back to
// their defaults.
class TcxDefaultEditStyleController : public TComponent {
  ORV_CLASS(TcxDefaultEditStyleController, TComponent)
 public:
  explicit TcxDefaultEditStyleController(TComponent* AOwner);
  ~TcxDefaultEditStyleController() override;

  void RestoreStyles();

  TcxEditStyle* GetStyle() const;
  void SetStyle(TcxEditStyle* Value);
  TcxEditStyle* GetStyleDisabled() const;
  void SetStyleDisabled(TcxEditStyle* Value);
  TcxEditStyle* GetStyleFocused() const;
  void SetStyleFocused(TcxEditStyle* Value);
  TcxEditStyle* GetStyleHot() const;
  void SetStyleHot(TcxEditStyle* Value);
  TcxEditStyle* GetInternalStyle(TcxContainerStateItem AState) const;
  void SetInternalStyle(TcxContainerStateItem AState, TcxEditStyle* Value);
  TNotifyEvent GetOnStyleChanged() const;
  void SetOnStyleChanged(TNotifyEvent Value);

  // Live components of this class.
  static Integer InstanceCount();
};

// The process-wide default edit style controller: made at the editors'
// start-up and freed at their shut-down (null outside that span).
TcxEditStyleController* DefaultEditStyleController();
void cxCreateDefaultEditStyleController();
void cxFreeDefaultEditStyleController();
