// The navigator bar: a control hosting the navigator buttons
// (cxNavigatorButtons.h) that drives a data control through IcxNavigator.
// A data control that wants navigators implements IcxNavigator and hands
// out a notifier with which every bound navigator registers, so that the
// control can tell all of them to re-read their buttons' enabled states.
#pragma once

#include <vector>

#include "library/grid/navigator/cxNavigatorButtons.h"

class TcxNavigatorControlNotifier;

// A data control a navigator can drive; the action numbers are the button
// indexes (NBDI_*).
class IcxNavigator {
 public:
  virtual ~IcxNavigator() = default;
  virtual bool NavigatorCanDelete() = 0;
  virtual bool NavigatorCanEdit() = 0;
  virtual bool NavigatorCanInsert() = 0;
  virtual bool NavigatorIsActive() = 0;
  virtual bool NavigatorIsBof() = 0;
  virtual bool NavigatorIsBookmarkAvailable() = 0;
  virtual bool NavigatorIsEditing() = 0;
  virtual bool NavigatorIsEof() = 0;
  virtual void NavigatorClearBookmark() = 0;
  virtual void NavigatorDoAction(Integer AButtonIndex) = 0;
  virtual TcxNavigatorControlNotifier* NavigatorGetNotifier() = 0;
  virtual bool NavigatorIsActionSupported(Integer AButtonIndex) = 0;
};
ORV_INTERFACE(IcxNavigator, "{193131C3-E3E0-428C-8C54-132B2F5167F8}")

// The navigators bound to one data control.
class TcxNavigatorControlNotifier : public TObject {
  ORV_CLASS(TcxNavigatorControlNotifier, TObject)
 public:
  // Once only.
  void AddNavigator(IcxNavigatorOwner* ANavigator);
  void RemoveNavigator(IcxNavigatorOwner* ANavigator);
  // Every registered navigator re-reads its buttons' states, in the order
  // they registered.
  void RefreshNavigatorButtons();
  Integer GetCount() const { return static_cast<Integer>(FList.size()); }

 private:
  std::vector<IcxNavigatorOwner*> FList;
};

class TcxCustomNavigator : public TcxControl, public IcxNavigatorOwner, public IcxMouseTrackingCaller {
  ORV_CLASS(TcxCustomNavigator, TcxControl)
 public:
  explicit TcxCustomNavigator(TComponent* AOwner);
  // Makes the buttons and the view info through the class's factories.
  void AfterConstruction() override;
  ~TcxCustomNavigator() override;
  void BeforeDestruction() override;

  // Every button whose visibility was never set explicitly shows again as
  // the bound control decides.
  void RestoreButtons();
  TcxCustomNavigatorButtons* GetCustomButtons() const { return FButtons; }
  TcxNavigatorViewInfo* GetViewInfo() const { return FViewInfo; }

  // ---- IcxNavigatorOwner ----
  void NavigatorChanged(TcxNavigatorChangeType) override {}
  TRect GetNavigatorBounds() override;
  TcxCustomNavigatorButtons* GetNavigatorButtons() override { return FButtons; }
  TCanvas* GetNavigatorCanvas() override;
  TcxControl* GetNavigatorControl() override { return this; }
  bool GetNavigatorFocused() override { return Focused(); }
  TcxLookAndFeel* GetNavigatorLookAndFeel() override { return GetLookAndFeel(); }
  TComponent* GetNavigatorOwner() override { return this; }
  bool GetNavigatorShowHint() override { return GetShowHint(); }
  bool GetNavigatorTabStop() override { return GetTabStop(); }
  void NavigatorButtonsStateChanged() override;
  // Snaps the control to the size its buttons take (with a window only).
  void RefreshNavigator() override;

  // ---- IcxMouseTrackingCaller ----
  void MouseTrackingMouseLeave() override { NavigatorMouseLeave(); }

  TNotifyEvent ButtonsEvents;

  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;

 protected:
  virtual TcxCustomNavigatorButtons* CreateButtons();
  virtual TcxNavigatorViewInfoClass GetViewInfoClass();
  virtual void InitButtons();

  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  bool NeedsScrollBars() override { return false; }
  using TcxControl::CanFocusOnClick;
  bool CanFocusOnClick() override;
  void DoEnter() override;
  void DoExit() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseEnter(TControl* AControl) override;
  void MouseLeave(TControl* AControl) override;
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void NavigatorMouseLeave();

  void CMEnabledChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_ENABLEDCHANGED, CMEnabledChanged)
  void CMHintShow(TMessage& Message);
  ORV_MESSAGE(win::CM_HINTSHOW, CMHintShow)

 private:
  TcxCustomNavigatorButtons* FButtons = nullptr;
  TcxNavigatorViewInfo* FViewInfo = nullptr;
};

class TcxNavigatorControlButtons;

class TcxCustomNavigatorControl : public TcxCustomNavigator {
  ORV_CLASS(TcxCustomNavigatorControl, TcxCustomNavigator)
 public:
  explicit TcxCustomNavigatorControl(TComponent* AOwner) : TcxCustomNavigator(AOwner) {}
  void BeforeDestruction() override;

  TComponent* GetControl() const { return FControl; }
  // A component that does not offer IcxNavigator is refused silently.
  void SetControl(TComponent* Value);
  // The bound control's IcxNavigator, or null.
  IcxNavigator* GetNavigatorControlInterface();
  TcxNavigatorControlButtons* GetButtons() const;
  void SetButtons(TcxNavigatorControlButtons* Value);

 protected:
  virtual TClassRef<TcxNavigatorControlButtons> GetButtonsClass();
  TcxCustomNavigatorButtons* CreateButtons() override;
  void InitButtons() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TComponent* FControl = nullptr;
};

using TcxNavigatorControlButtonsGetControl = Event<IcxNavigator*()>;

// The buttons of a bound navigator: enabled from the control's state,
// clicked into its actions.
class TcxNavigatorControlButtons : public TcxCustomNavigatorButtons {
  ORV_CLASS(TcxNavigatorControlButtons, TcxCustomNavigatorButtons)
 public:
  explicit TcxNavigatorControlButtons(IcxNavigatorOwner* ANavigator) : TcxCustomNavigatorButtons(ANavigator) {}

  void DoButtonClick(Integer AIndex) override;
  bool GetButtonEnabled(Integer AIndex) override;
  void ReleaseBookmark() override;

  TcxNavigatorControlButtonsGetControl OnGetControl;

 private:
  IcxNavigator* GetControl() { return OnGetControl.Assigned() ? OnGetControl() : nullptr; }
};

class TcxNavigator : public TcxCustomNavigatorControl {
  ORV_CLASS(TcxNavigator, TcxCustomNavigatorControl)
 public:
  explicit TcxNavigator(TComponent* AOwner) : TcxCustomNavigatorControl(AOwner) {}
};
