// Driving the class library from tests: a session with the units started
// on a headless window system, scripted answers for message boxes and file
// dialogs (an unscripted one fails the test instead of waiting for a
// person), exceptions recorded instead of shown, and queries of what a
// person would see.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/win/TestHooks.h"

class TCustomForm;
class Exception;
class TPopupMenu;
class TMenuItem;

namespace forms::test {

// While alive: a fresh window system (win::test::Session), the units
// started, every message box and file dialog scripted, and exceptions that
// reach the application recorded. The units are shut down after.
class Session {
 public:
  explicit Session(std::vector<win::MonitorInfo> monitors = {});
  // On another back end: a real display.
  explicit Session(std::unique_ptr<win::IBackEnd> display);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  win::test::Session& Win() { return *win_; }

 private:
  void Start();
  std::unique_ptr<win::test::Session> win_;
};

// ---- Message boxes ----
struct MessageBoxCall {
  win::HWND Owner = nullptr;
  AnsiString Text;
  AnsiString Caption;
  win::UINT Flags = 0;
};
// The next box answers this (IDOK, IDYES...). Answers are used in order.
void AnswerMessageBox(int Answer);
std::vector<MessageBoxCall> MessageBoxLog();
int PendingMessageBoxAnswers();

// ---- File dialogs ----
struct FileDialogCall {
  bool Save = false;
  AnsiString Title;
  AnsiString Filter;
  Integer FilterIndex = 0;
  AnsiString InitialDir;
  AnsiString FileName;
  AnsiString DefaultExt;
  Int64 Options = 0;  // the dialog's option set, as bits
};
// The next dialog gets this path typed and confirmed (any overwrite
// question goes through the message-box script), or is cancelled.
void AnswerFileDialog(const AnsiString& Path);
void CancelFileDialog();
std::vector<FileDialogCall> FileDialogLog();
int PendingFileDialogAnswers();

// Real dialogs instead of scripts (for tests of the dialogs themselves,
// driven from inside their modal loops with win::test::OnNextModalLoop).
void UseRealDialogs(bool Real);

// ---- Popup menus ----
// A popup menu with a scripted answer shows no window: it logs the call and
// takes the answer. With none pending it opens its real window, driven by
// injected input from win::test::OnNextModalLoop.
struct PopupMenuCall {
  TPopupMenu* Menu = nullptr;
  TPoint Pos;
  std::vector<AnsiString> Items;  // the visible items' captions, "-" for lines
};
// Picks the item at Index of the menu's items, or the first visible one
// anywhere in it whose caption (with or without its '&') is Caption. The
// item must be one a person could choose, else the popup raises
// EInvalidOperation.
void PickMenuItem(Integer Index);
void PickMenuItem(const AnsiString& Caption);
void DismissMenu();
std::vector<PopupMenuCall> PopupMenuLog();
int PendingMenuAnswers();
// While a real menu is open: the screen rectangle of one of its visible
// items (empty when no open menu window shows it), and the innermost
// menu window.
TRect OpenMenuItemRect(TMenuItem* Item);
win::HWND OpenMenuWindow();

// ---- Exceptions ----
// "ClassName: message" of each exception that reached the application.
std::vector<AnsiString> RecordedExceptions();

// ---- What is on screen ----
AnsiString CurrentHint();   // empty when no hint shows
TRect CurrentHintRect();    // screen coordinates
TCursor ScreenCursor();
TCustomForm* ActiveForm();

// Builds a component tree from layout text; root null makes one of the
// layout's class. The caller frees what it gets.
TComponent* BuildFromText(const AnsiString& Text, TComponent* Root = nullptr);

}  // namespace forms::test

namespace forms::detail {
// Seams the library consults: true when the test hooks took the call.
bool RecordException(TObject* Sender, const Exception& E);
bool ScriptedMessageBox(win::HWND Owner, const AnsiString& Text, const AnsiString& Caption, win::UINT Flags,
                        int& Answer);
// Answer: the path, or empty for cancel. False when not scripted.
bool ScriptedFileDialog(const forms::test::FileDialogCall& Call, AnsiString& Path, bool& Cancelled);
// Chosen: the item picked, or null for a dismissed menu. False when not scripted.
bool ScriptedPopupMenu(TPopupMenu* Menu, TPoint Pos, TMenuItem*& Chosen);
}  // namespace forms::detail
