#include "platform/forms/TestHooks.h"

#include <deque>

#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Hints.h"
#include "platform/forms/Menus.h"
#include "platform/forms/Screen.h"
#include "platform/forms/UnitStartup.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ObjectText.h"

namespace forms {
namespace {

struct Script {
  bool active = false;
  bool realDialogs = false;
  std::deque<int> boxAnswers;
  std::vector<test::MessageBoxCall> boxLog;
  struct DialogAnswer {
    AnsiString path;
    bool cancel = false;
  };
  std::deque<DialogAnswer> dialogAnswers;
  std::vector<test::FileDialogCall> dialogLog;
  std::vector<AnsiString> exceptions;
  struct MenuAnswer {
    Integer index = -1;
    AnsiString caption;
    bool dismiss = false;
  };
  std::deque<MenuAnswer> menuAnswers;
  std::vector<test::PopupMenuCall> menuLog;
};

Script& S() {
  static auto* s = new Script;
  return *s;
}

}  // namespace

namespace test {

Session::Session(std::vector<win::MonitorInfo> monitors)
    : win_(std::make_unique<win::test::Session>(std::move(monitors))) {
  Start();
}

Session::Session(std::unique_ptr<win::IBackEnd> display)
    : win_(std::make_unique<win::test::Session>(std::move(display))) {
  Start();
}

void Session::Start() {
  S() = Script{};
  S().active = true;
  InitializeUnits();
}

Session::~Session() {
  try {
    FinalizeUnits();
  } catch (...) {
  }
  S() = Script{};
  win_.reset();
}

void AnswerMessageBox(int Answer) { S().boxAnswers.push_back(Answer); }
std::vector<MessageBoxCall> MessageBoxLog() { return S().boxLog; }
int PendingMessageBoxAnswers() { return static_cast<int>(S().boxAnswers.size()); }

void AnswerFileDialog(const AnsiString& Path) { S().dialogAnswers.push_back({Path, false}); }
void CancelFileDialog() { S().dialogAnswers.push_back({AnsiString(), true}); }
std::vector<FileDialogCall> FileDialogLog() { return S().dialogLog; }
int PendingFileDialogAnswers() { return static_cast<int>(S().dialogAnswers.size()); }

void PickMenuItem(Integer Index) { S().menuAnswers.push_back({Index, {}, false}); }
void PickMenuItem(const AnsiString& Caption) { S().menuAnswers.push_back({-1, Caption, false}); }
void DismissMenu() { S().menuAnswers.push_back({-1, {}, true}); }
std::vector<PopupMenuCall> PopupMenuLog() { return S().menuLog; }
int PendingMenuAnswers() { return static_cast<int>(S().menuAnswers.size()); }

std::vector<AnsiString> RecordedExceptions() { return S().exceptions; }

void UseRealDialogs(bool Real) { S().realDialogs = Real; }

AnsiString CurrentHint() {
  if (!Application || !Application->GetHintWindow() || !Application->GetHintWindow()->IsHintShowing()) return {};
  return Application->GetHintWindow()->GetCaption();
}

TRect CurrentHintRect() {
  if (CurrentHint().empty()) return {};
  return Application->GetHintWindow()->GetBoundsRect();
}

TCursor ScreenCursor() { return Screen ? Screen->GetCursor() : crDefault; }

TCustomForm* ActiveForm() { return Screen ? Screen->GetActiveForm() : nullptr; }

// A form named by the text is made without its own layout, so the text is
// the only one read into it.
TComponent* BuildFromText(const AnsiString& Text, TComponent* Root) {
  if (Root) return ReadComponentFromText(Text, Root);
  std::size_t colon = Text.find(':');
  if (colon != AnsiString::npos) {
    std::size_t start = Text.find_first_not_of(" \t", colon + 1);
    std::size_t end = Text.find_first_of(" \t\r\n[", start);
    TClass cls = GetClass(Text.substr(start, end == AnsiString::npos ? AnsiString::npos : end - start));
    if (cls && cls->InheritsFrom(TCustomForm::StaticClass()) && cls->HasConstructor<TComponent*, bool>()) {
      auto* form = static_cast<TComponent*>(cls->Construct<TComponent*, bool>(nullptr, true));
      try {
        return ReadComponentFromText(Text, form);
      } catch (...) {
        form->Free();
        throw;
      }
    }
  }
  return ReadComponentFromText(Text, nullptr);
}

}  // namespace test

namespace detail {

bool RecordException(TObject*, const Exception& E) {
  if (!S().active) return false;
  S().exceptions.push_back(E.ClassName() + ": " + E.GetMessage());
  return true;
}

bool ScriptedMessageBox(win::HWND Owner, const AnsiString& Text, const AnsiString& Caption, win::UINT Flags,
                        int& Answer) {
  if (!S().active || S().realDialogs) return false;
  S().boxLog.push_back({Owner, Text, Caption, Flags});
  if (S().boxAnswers.empty()) throw EInvalidOperation("Unscripted message box: %s", {Text});
  Answer = S().boxAnswers.front();
  S().boxAnswers.pop_front();
  return true;
}

bool ScriptedFileDialog(const test::FileDialogCall& Call, AnsiString& Path, bool& Cancelled) {
  if (!S().active || S().realDialogs) return false;
  S().dialogLog.push_back(Call);
  if (S().dialogAnswers.empty()) throw EInvalidOperation("Unscripted file dialog: %s", {Call.Title});
  Path = S().dialogAnswers.front().path;
  Cancelled = S().dialogAnswers.front().cancel;
  S().dialogAnswers.pop_front();
  return true;
}

namespace {
TMenuItem* FindCaption(TMenuItem* Parent, const AnsiString& Caption) {
  for (Integer i = 0; i < Parent->GetCount(); ++i) {
    TMenuItem* item = Parent->GetItems(i);
    if (!item->GetVisible()) continue;
    if (item->GetCaption() == Caption || StripHotkey(item->GetCaption()) == Caption) return item;
    if (TMenuItem* found = FindCaption(item, Caption)) return found;
  }
  return nullptr;
}
}  // namespace

bool ScriptedPopupMenu(TPopupMenu* Menu, TPoint Pos, TMenuItem*& Chosen) {
  if (!S().active || S().menuAnswers.empty()) return false;
  test::PopupMenuCall call{Menu, Pos, {}};
  TMenuItem* root = Menu->GetItems();
  for (Integer i = 0; i < root->GetCount(); ++i)
    if (root->GetItems(i)->GetVisible()) call.Items.push_back(StripHotkey(root->GetItems(i)->GetCaption()));
  S().menuLog.push_back(call);
  Script::MenuAnswer answer = S().menuAnswers.front();
  S().menuAnswers.pop_front();
  Chosen = nullptr;
  if (answer.dismiss) return true;
  TMenuItem* item = nullptr;
  if (answer.index >= 0) {
    if (answer.index < root->GetCount()) item = root->GetItems(answer.index);
  } else {
    item = FindCaption(root, answer.caption);
  }
  // Everything up the chain must be showing and enabled, as it would be for
  // a person.
  bool reachable = item != nullptr && item->GetCount() == 0;
  for (TMenuItem* p = item; reachable && p != root; p = p->GetParent()) reachable = p->IsSelectable();
  if (!reachable) {
    AnsiString which = answer.index >= 0 ? std::to_string(answer.index) : answer.caption;
    throw EInvalidOperation("Menu item cannot be chosen: %s", {which});
  }
  Chosen = item;
  return true;
}

}  // namespace detail
}  // namespace forms
