// The application: the forms it creates, the message loop, exceptions that
// reach it, the hidden application window, and the hint settings.
//
// `Application`, `Screen` and `Mouse` are the three objects of the class
// library every unit reaches; the unit start-up (UnitStartup.h) makes them
// and the shut-down frees them.
#pragma once

#include <vector>

#include "platform/forms/Controls.h"

class TCustomForm;
class THintWindow;
class Exception;

using TExceptionEvent = Event<void(TObject* Sender, Exception* E)>;
using TIdleEvent = Event<void(TObject* Sender, bool& Done)>;
using TShowHintEvent = Event<void(AnsiString& HintStr, bool& CanShow, THintInfo& HintInfo)>;

class TApplication : public TComponent {
  ORV_CLASS(TApplication, TComponent)
 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;
  void BeforeDestruction() override;

  void Initialize() {}
  const AnsiString& GetTitle() const { return FTitle; }
  void SetTitle(const AnsiString& Value);

  // Creates a form owned by the application; the first becomes the main form.
  template <class T>
  void CreateForm(T*& Reference) {
    Reference = dynamic_cast<T*>(CreateForm(T::StaticClass()));
  }
  TComponent* CreateForm(TClass InstanceClass);
  TCustomForm* GetMainForm() const { return FMainForm; }
  bool GetShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool Value) { FShowMainForm = Value; }

  // Shows the main form and handles messages until Terminate.
  void Run();
  void Terminate();
  bool GetTerminated() const { return FTerminated; }
  // One message, or idle handling (and a wait) when there is none.
  void HandleMessage();
  // Every message waiting, without waiting for more.
  void ProcessMessages();

  // An exception that reached a handler's edge: OnException, else
  // ShowException; EAbort is silent.
  void HandleException(TObject* Sender);
  // A modal message box with the message, the title and the stop icon.
  void ShowException(Exception* E);
  Integer MessageBox(const AnsiString& Text, const AnsiString& Caption, Integer Flags);

  bool GetActive() const { return FActive; }
  win::HWND GetHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void Minimize();
  void Restore();
  bool IsMinimized() const { return FMinimized; }
  // Takes the locale's formats into the run-time library's settings again.
  void UpdateFormatSettings();
  bool GetUpdateFormatSettings() const { return FUpdateFormatSettings; }
  void SetUpdateFormatSettings(bool Value) { FUpdateFormatSettings = Value; }
  TBiDiMode GetBiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value) { FBiDiMode = Value; }

  // ---- Hints (Hints.cpp) ----
  TColor GetHintColor() const { return FHintColor; }
  void SetHintColor(TColor Value);
  Integer GetHintPause() const { return FHintPause; }
  void SetHintPause(Integer Value) { FHintPause = Value; }
  Integer GetHintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(Integer Value) { FHintHidePause = Value; }
  Integer GetHintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(Integer Value) { FHintShortPause = Value; }
  bool GetShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  void CancelHint();
  // Shows the hint of the control under a screen point now.
  void ActivateHint(const TPoint& CursorPos);
  // What the mouse does over a control, for the hint timing.
  void HintMouseMessage(TControl* Control, TMessage& Message);
  const AnsiString& GetHint() const { return FHint; }
  // The hint window on screen, or null.
  THintWindow* GetHintWindow() const { return FHintWindow; }

  // The process gained or lost the input focus (from its forms).
  void ApplicationActivated(bool Active);
  // A control going away: the application forgets it.
  void ControlDestroying(TControl* Control);
  // The control the mouse is over, as last told with CM_MOUSEENTER.
  TControl* GetMouseControl() const { return FMouseControl; }

  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TNotifyEvent OnActivate, OnDeactivate, OnMinimize, OnRestore, OnHint;
  TShowHintEvent OnShowHint;

 private:
  friend class TCustomForm;

  void Report(TObject* Sender, Exception& E);
  bool ProcessMessage(win::MSG& Msg);
  void Idle();
  // Runs as every message leaves the queue: mouse tracking, hints, and keys
  // offered to the control first (CN_ messages). True when taken.
  bool PreProcessMessage(win::MSG& Msg);
  bool IsKeyMsg(win::MSG& Msg);
  void DoMouseIdle();
  void TrackMouseControl(TControl* Control);
  void WndProc(TMessage& Message);
  static win::LRESULT AppWindowProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
  static win::LRESULT GetMessageHook(int code, win::WPARAM wParam, win::LPARAM lParam);
  void HintTimerExpired();
  void HideHintTimerExpired();
  void StartHintTimer(Integer Pause);
  void StopHintTimer();

  AnsiString FTitle;
  TCustomForm* FMainForm = nullptr;
  bool FShowMainForm = true;
  bool FTerminated = false;
  bool FActive = true;
  bool FMinimized = false;
  bool FUpdateFormatSettings = true;
  TBiDiMode FBiDiMode = bdLeftToRight;
  win::HWND FHandle = nullptr;
  win::HHOOK FHook = nullptr;
  TControl* FMouseControl = nullptr;

  TColor FHintColor;
  Integer FHintPause = 500;
  Integer FHintHidePause = 2500;
  Integer FHintShortPause = 50;
  bool FShowHint = true;
  TControl* FHintControl = nullptr;
  THintWindow* FHintWindow = nullptr;
  TRect FHintCursorRect;
  bool FHintActive = false;
  int FHintTimer = 0;  // 0 none, 1 waiting to show, 2 waiting to hide
  AnsiString FHint;
};

extern TApplication* Application;
