// Controls that write the messages they receive, and their events, into
// one shared log, so tests can assert whole sequences across controls.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/forms/Application.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/Keyboard.h"

namespace forms_test {

using namespace win;

inline std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

inline std::vector<std::string> TakeLog() {
  std::vector<std::string> out;
  out.swap(Log());
  return out;
}

// The messages worth a line; everything else stays out of the log.
inline const char* LoggedName(UINT msg) {
  static const std::map<UINT, const char*> names = {
      {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"}, {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_SETFOCUS, "WM_SETFOCUS"}, {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_ENABLE, "WM_ENABLE"}, {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"}, {WM_KEYDOWN, "WM_KEYDOWN"}, {WM_KEYUP, "WM_KEYUP"},
      {WM_CHAR, "WM_CHAR"}, {CN_KEYDOWN, "CN_KEYDOWN"}, {CN_KEYUP, "CN_KEYUP"}, {CN_CHAR, "CN_CHAR"},
      {CN_COMMAND, "CN_COMMAND"}, {CM_ENABLEDCHANGED, "CM_ENABLEDCHANGED"},
      {CM_VISIBLECHANGED, "CM_VISIBLECHANGED"}, {CM_SHOWINGCHANGED, "CM_SHOWINGCHANGED"},
      {CM_COLORCHANGED, "CM_COLORCHANGED"}, {CM_PARENTCOLORCHANGED, "CM_PARENTCOLORCHANGED"},
      {CM_FONTCHANGED, "CM_FONTCHANGED"}, {CM_PARENTFONTCHANGED, "CM_PARENTFONTCHANGED"},
      {CM_TEXTCHANGED, "CM_TEXTCHANGED"}, {CM_CURSORCHANGED, "CM_CURSORCHANGED"},
      {CM_CTL3DCHANGED, "CM_CTL3DCHANGED"}, {CM_PARENTCTL3DCHANGED, "CM_PARENTCTL3DCHANGED"},
      {CM_SHOWHINTCHANGED, "CM_SHOWHINTCHANGED"}, {CM_PARENTSHOWHINTCHANGED, "CM_PARENTSHOWHINTCHANGED"},
      {CM_SYSCOLORCHANGE, "CM_SYSCOLORCHANGE"}, {CM_WININICHANGE, "CM_WININICHANGE"},
      {CM_MOUSEENTER, "CM_MOUSEENTER"}, {CM_MOUSELEAVE, "CM_MOUSELEAVE"}, {CM_ENTER, "CM_ENTER"},
      {CM_EXIT, "CM_EXIT"}, {CM_FOCUSCHANGED, "CM_FOCUSCHANGED"}, {CM_DIALOGKEY, "CM_DIALOGKEY"},
      {CM_DIALOGCHAR, "CM_DIALOGCHAR"}, {CM_WANTSPECIALKEY, "CM_WANTSPECIALKEY"}, {CM_CHILDKEY, "CM_CHILDKEY"},
      {CM_RECREATEWND, "CM_RECREATEWND"}, {CM_RELEASE, "CM_RELEASE"}, {CM_ACTIVATE, "CM_ACTIVATE"},
      {CM_DEACTIVATE, "CM_DEACTIVATE"}, {CM_TABSTOPCHANGED, "CM_TABSTOPCHANGED"}, {CM_HINTSHOW, "CM_HINTSHOW"},
  };
  auto it = names.find(msg);
  return it == names.end() ? nullptr : it->second;
}

// A windowed control that logs; it can keep special keys and take child
// keys when told to.
class TLogControl : public TCustomControl {
  ORV_CLASS(TLogControl, TCustomControl)
 public:
  explicit TLogControl(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(GetControlStyle() + csAcceptsControls);
    SetTabStop(true);
    SetBounds(0, 0, 50, 20);
  }
  bool WantTab = false;
  bool TakeChildKeys = false;

  void WndProc(TMessage& Message) override {
    if (const char* name = LoggedName(Message.Msg)) {
      std::string line = GetName() + " " + name;
      if (Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE || Message.Msg == CM_FOCUSCHANGED) {
        auto* about = reinterpret_cast<TComponent*>(Message.LParam);
        line += about ? " " + about->GetName() : " -";
      }
      Log().push_back(line);
    }
    if (Message.Msg == CM_WANTSPECIALKEY && WantTab && Message.WParam == VK_TAB) {
      Message.Result = 1;
      return;
    }
    if (Message.Msg == CM_CHILDKEY && TakeChildKeys) {
      Log().push_back(GetName() + " takes child key " + std::to_string(Message.WParam));
      Message.Result = 1;
      return;
    }
    inherited::WndProc(Message);
  }
};

inline ORV_REGISTER(TLogControl)

// A graphic control that logs and fills itself with one colour.
class TLogGraphic : public TGraphicControl {
  ORV_CLASS(TLogGraphic, TGraphicControl)
 public:
  explicit TLogGraphic(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 20, 20); }
  TColor Fill = clRed;

  void WndProc(TMessage& Message) override {
    if (const char* name = LoggedName(Message.Msg)) Log().push_back(GetName() + " " + name);
    inherited::WndProc(Message);
  }

 protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(Fill);
    GetCanvas()->FillRect(GetClientRect());
    Log().push_back(GetName() + " Paint");
  }
};

inline ORV_REGISTER(TLogGraphic)

// Events written to the log as "Name Event".
inline void LogEvents(TControl* c) {
  std::string name = c->GetName();
  c->OnClick = [name](TObject*) { Log().push_back(name + " OnClick"); };
  c->OnDblClick = [name](TObject*) { Log().push_back(name + " OnDblClick"); };
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    w->OnEnter = [name](TObject*) { Log().push_back(name + " OnEnter"); };
    w->OnExit = [name](TObject*) { Log().push_back(name + " OnExit"); };
    w->OnKeyDown = [name](TObject*, Word& key, TShiftState) {
      Log().push_back(name + " OnKeyDown " + std::to_string(key));
    };
    w->OnKeyPress = [name](TObject*, char& key) { Log().push_back(name + " OnKeyPress " + std::string(1, key)); };
  }
}

template <class T>
T* Make(TWinControl* parent, const char* name, TRect bounds) {
  T* c = New<T>(parent ? static_cast<TComponent*>(parent) : nullptr);
  c->SetName(name);
  c->SetBoundsRect(bounds);
  c->SetParent(parent);
  return c;
}

inline TForm* MakeForm(const char* name, TRect bounds = Bounds(100, 100, 300, 200)) {
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetName(name);
  form->SetBorderStyle(bsSingle);
  form->SetPosition(poDesigned);
  form->SetBoundsRect(bounds);
  return form;
}

inline std::vector<std::string> Seq(std::initializer_list<const char*> items) {
  return std::vector<std::string>(items.begin(), items.end());
}

}  // namespace forms_test
