// Actions: one command (its caption, state and handler) shared by every
// control linked to it. A link copies what the action shows to its client,
// but only a property the client still shows as the action had it: a
// client's own change stays. Clicking a linked control runs the action;
// idle time lets each visible linked control's action update itself.
#pragma once

#include <vector>

#include "platform/forms/Controls.h"

class TBasicAction;

class TBasicActionLink : public TObject {
  ORV_CLASS(TBasicActionLink, TObject)
 public:
  explicit TBasicActionLink(TObject* AClient);
  ~TBasicActionLink() override;

  TBasicAction* GetAction() const { return FAction; }
  virtual void SetAction(TBasicAction* Value);
  virtual bool Execute(TComponent* Target = nullptr);
  virtual bool Update();

  TNotifyEvent OnChange;

 protected:
  friend class TBasicAction;
  virtual void AssignClient(TObject*) {}
  virtual void Change();

  TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
  ORV_CLASS(TBasicAction, TComponent)
 public:
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;

  // OnExecute when set; otherwise the focused control, its parents and the
  // active form are offered the action (ExecuteAction). True when run.
  virtual bool Execute();
  // OnUpdate when set; otherwise offered as Execute is (UpdateAction).
  virtual bool Update();
  virtual bool HandlesTarget(TObject*) { return false; }
  virtual void ExecuteTarget(TObject*) {}
  virtual void UpdateTarget(TObject*) {}

  const TNotifyEvent& GetOnExecute() const { return FOnExecute; }
  void SetOnExecute(const TNotifyEvent& Value);
  TNotifyEvent OnUpdate;

  void RegisterChanges(TBasicActionLink* Value);
  void UnRegisterChanges(TBasicActionLink* Value);
  Integer GetClientCount() const { return static_cast<Integer>(FClients.size()); }

 protected:
  virtual void Change();
  std::vector<TBasicActionLink*> FClients;

 private:
  TNotifyEvent FOnExecute;
};

class TCustomAction : public TBasicAction {
  ORV_CLASS(TCustomAction, TBasicAction)
 public:
  using TBasicAction::TBasicAction;

  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  bool GetChecked() const { return FChecked; }
  void SetChecked(bool Value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  const AnsiString& GetHint() const { return FHint; }
  void SetHint(const AnsiString& Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);

 private:
  // Tells each link first, while its client still shows the old value.
  template <class F>
  void EachLink(F f);
  AnsiString FCaption;
  AnsiString FHint;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
};

class TAction : public TCustomAction {
  ORV_CLASS(TAction, TCustomAction)
 public:
  using TCustomAction::TCustomAction;
};

// A link to a TCustomAction: each Is...Linked says whether the client
// follows that property, each Set... passes a new value on when it does.
class TActionLink : public TBasicActionLink {
  ORV_CLASS(TActionLink, TBasicActionLink)
 public:
  using TBasicActionLink::TBasicActionLink;

  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsHintLinked();
  virtual bool IsVisibleLinked();
  virtual bool IsOnExecuteLinked();
  virtual void SetCaption(const AnsiString&) {}
  virtual void SetChecked(bool) {}
  virtual void SetEnabled(bool) {}
  virtual void SetHint(const AnsiString&) {}
  virtual void SetVisible(bool) {}
  virtual void SetOnExecute(const TNotifyEvent&) {}

 protected:
  TCustomAction* CustomAction() const;
};

class TControlActionLink : public TActionLink {
  ORV_CLASS(TControlActionLink, TActionLink)
 public:
  // The client is taken here: the base's constructor cannot reach this
  // class's AssignClient.
  explicit TControlActionLink(TObject* AClient) : TActionLink(AClient) { TControlActionLink::AssignClient(AClient); }
  TControl* GetClient() const { return FClient; }

  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;
  void SetCaption(const AnsiString& Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const AnsiString& Value) override;
  void SetVisible(bool Value) override;
  void SetOnExecute(const TNotifyEvent& Value) override;

 protected:
  void AssignClient(TObject* AClient) override;
  TControl* FClient = nullptr;
};

// A control with a checked state of its own (a check box, a toggle
// button) lets actions set it through this.
class ICheckedControl {
 public:
  virtual ~ICheckedControl() = default;
  virtual bool GetChecked() = 0;
  virtual void SetChecked(bool Value) = 0;
};

class TWinControlActionLink : public TControlActionLink {
  ORV_CLASS(TWinControlActionLink, TControlActionLink)
 public:
  using TControlActionLink::TControlActionLink;
  bool IsCheckedLinked() override;
  void SetChecked(bool Value) override;
};

// Idle time: each visible control of the showing forms with an action
// lets it update (OnUpdate).
void UpdateVisibleActions();
