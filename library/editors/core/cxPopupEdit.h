// The popup editor: shows a control the application names inside the
// editor's popup. While the popup is open the control lives in the popup,
// filling its client area; whatever way the popup closes, the control gets
// back its parent, alignment, bounds, visibility and, for a form, its
// border style.
#pragma once

#include "library/editors/core/cxDropDownEdit.h"

class TcxCustomPopupEditProperties : public TcxCustomDropDownEditProperties {
  ORV_CLASS(TcxCustomPopupEditProperties, TcxCustomDropDownEditProperties)
 public:
  explicit TcxCustomPopupEditProperties(TPersistent* AOwner);
  ~TcxCustomPopupEditProperties() override;
  void AfterConstruction() override;

  TClass GetContainerClass() const override;
  TClassRef<TcxCustomEditPopupWindow> GetPopupWindowClass() const override;
  bool IsLookupDataVisual() const override { return false; }
  bool PopupWindowCapturesFocus() const override { return true; }

  // Not owned; forgotten when it is freed.
  TControl* GetPopupControl() const { return FPopupControl; }
  void SetPopupControl(TControl* Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  void PopupControlFreed(TComponent* Sender);

  TControl* FPopupControl = nullptr;
  TcxFreeNotificator* FFreeNotificator = nullptr;
};

class TcxPopupEditProperties : public TcxCustomPopupEditProperties {
  ORV_CLASS(TcxPopupEditProperties, TcxCustomPopupEditProperties)
 public:
  explicit TcxPopupEditProperties(TPersistent* AOwner) : TcxCustomPopupEditProperties(AOwner) {}
  void AfterConstruction() override;
};

class TcxCustomPopupEdit : public TcxCustomDropDownEdit {
  ORV_CLASS(TcxCustomPopupEdit, TcxCustomDropDownEdit)
 public:
  explicit TcxCustomPopupEdit(TComponent* AOwner) : TcxCustomPopupEdit(AOwner, false) {}
  TcxCustomPopupEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomDropDownEdit(AOwner, AIsInplace) {}
  ~TcxCustomPopupEdit() override;

  TcxCustomPopupEditProperties* GetProperties() const {
    return static_cast<TcxCustomPopupEditProperties*>(TcxCustomDropDownEdit::GetProperties());
  }
  TcxCustomPopupEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomPopupEditProperties*>(TcxCustomDropDownEdit::GetActiveProperties());
  }

  TSize GetPopupWindowClientPreferredSize() override;
  void PositionPopupWindowChilds(const TRect& AClientRect) override;

  // Introduced, in this order. A hosted control closes the popup with a
  // reason of its own; the popup closes once the messages in hand are done.
  virtual void HidePopup(TObject* Sender, TcxEditCloseUpReason AReason);

 protected:
  virtual void RestorePopupControlData();
  virtual void SavePopupControlData();

  bool CanDropDown() override;
  // Refuses a control that would hold the popup itself.
  void DoInitPopup() override;
  TWinControl* GetPopupFocusedControl() override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void PopupWindowClosed(TObject* Sender) override;
  void SetupPopupWindow() override;

 private:
  void WatchedFreed(TComponent* Sender);
  void Unwatch();

  TControl* FHostedControl = nullptr;
  TWinControl* FPrevParent = nullptr;
  bool FPrevParentLost = false;
  TAlign FPrevAlign = alNone;
  TRect FPrevBounds{};
  bool FPrevVisible = false;
  TFormBorderStyle FPrevBorderStyle = bsSizeable;
  // Watches the hosted control and its old parent while hosting.
  TcxFreeNotificator* FWatcher = nullptr;
};

class TcxPopupEdit : public TcxCustomPopupEdit {
  ORV_CLASS(TcxPopupEdit, TcxCustomPopupEdit)
 public:
  explicit TcxPopupEdit(TComponent* AOwner) : TcxPopupEdit(AOwner, false) {}
  TcxPopupEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomPopupEdit(AOwner, AIsInplace) {}

  TcxPopupEditProperties* GetProperties() const {
    return static_cast<TcxPopupEditProperties*>(TcxCustomPopupEdit::GetProperties());
  }
  TcxPopupEditProperties* GetActiveProperties() const {
    return static_cast<TcxPopupEditProperties*>(TcxCustomPopupEdit::GetActiveProperties());
  }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};
