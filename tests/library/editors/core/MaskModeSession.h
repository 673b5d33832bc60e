// A focused mask editor on a headless form, driven by injected keys, clicks
// and the clipboard, with a typing story kept as a table: each step names
// what the user does and how the editor looks afterwards, the selection in
// "[...]" and a bare caret as "|".
//
// Every mode the editor makes counts the operations the editor asks of it
// and refuses to be entered while one of its own simulated keys is on the
// way to the native edit; the head/tail self-check of the regular-expression
// modes is on.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/editors/EditorSession.h"
#include "library/editors/core/cxMaskEditModes.h"
#include "library/editors/core/cxMaskEditRegExprModes.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/Clipboard.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/TestHooks.h"

namespace mask_test {

// What the modes were asked during one user action.
struct ModeCalls {
  static inline int Outer = 0;      // operations the editor called
  static inline int Reentered = 0;  // operations called by a simulated key
  static inline int Depth = 0;
  static void Reset() { Outer = Reentered = Depth = 0; }
};

// Wraps one operation of a mode: counts it when the editor calls it and
// notes a call that a simulated key brought back.
template <class F>
auto Counted(TcxCustomMaskEdit* AEdit, F AOperation) {
  if (ModeCalls::Depth == 0) ++ModeCalls::Outer;
  if (AEdit && AEdit->IsKeySimulating()) ++ModeCalls::Reentered;
  ++ModeCalls::Depth;
  struct Leave {
    ~Leave() { --ModeCalls::Depth; }
  } leave;
  return AOperation();
}

#define MASK_TEST_COUNTING_MODE(Name, Base)                                                                      \
  class Name : public Base {                                                                                   \
    ORV_CLASS(Name, Base)                                                                                      \
   public:                                                                                                     \
    Name(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties) : Base(AEdit, AProperties) {}     \
    bool PressBackSpace() override { return Counted(GetEdit(), [&] { return Base::PressBackSpace(); }); }      \
    bool PressDelete() override { return Counted(GetEdit(), [&] { return Base::PressDelete(); }); }            \
    bool PressEnd() override { return Counted(GetEdit(), [&] { return Base::PressEnd(); }); }                  \
    bool PressHome() override { return Counted(GetEdit(), [&] { return Base::PressHome(); }); }                \
    bool PressLeft() override { return Counted(GetEdit(), [&] { return Base::PressLeft(); }); }                \
    bool PressRight() override { return Counted(GetEdit(), [&] { return Base::PressRight(); }); }              \
    bool PressSymbol(char& AChar) override { return Counted(GetEdit(), [&] { return Base::PressSymbol(AChar); }); } \
    void PrePasteFromClipboard() override { Counted(GetEdit(), [&] { Base::PrePasteFromClipboard(); }); }          \
    void AfterPasteFromClipboard() override { Counted(GetEdit(), [&] { Base::AfterPasteFromClipboard(); }); }      \
  };

MASK_TEST_COUNTING_MODE(TCountedStandardMode, TcxMaskEditStandardMode)
MASK_TEST_COUNTING_MODE(TCountedRegExprMode, TcxMaskEditRegExprMode)
MASK_TEST_COUNTING_MODE(TCountedRegExprExMode, TcxMaskEditRegExprExMode)

class TCountedMaskProperties : public TcxMaskEditProperties {
  ORV_CLASS(TCountedMaskProperties, TcxMaskEditProperties)
 public:
  explicit TCountedMaskProperties(TPersistent* AOwner) : TcxMaskEditProperties(AOwner) {}
  TcxMaskEditCustomModeClass GetModeClass(TcxEditMaskKind AMaskKind) const override {
    switch (AMaskKind) {
      case emkStandard: return TCountedStandardMode::StaticClass();
      case emkRegExpr: return TCountedRegExprMode::StaticClass();
      default: return TCountedRegExprExMode::StaticClass();
    }
  }
};

class TCountedMaskEdit : public TcxMaskEdit {
  ORV_CLASS(TCountedMaskEdit, TcxMaskEdit)
 public:
  explicit TCountedMaskEdit(TComponent* AOwner) : TcxMaskEdit(AOwner) {}

  // A character the editor clears at every position, as an editor with
  // rules of its own does with a character it refuses.
  char ClearedChar = '\0';
  bool IsCharValidForPos(char& AChar, Integer APos) override {
    if (ClearedChar != '\0' && AChar == ClearedChar) {
      AChar = '\0';
      return false;
    }
    return TcxMaskEdit::IsCharValidForPos(AChar, APos);
  }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override {
    return TCountedMaskProperties::StaticClass();
  }
};

// One user action and how the editor shows afterwards.
struct Step {
  std::string Action;
  std::string Shown;
};

class MaskModeSession : public ::testing::Test, public edit_test::EditorSession {
 protected:
  TForm* form = nullptr;
  TCountedMaskEdit* edit = nullptr;

  void SetUp() override {
    TcxMaskEditCustomMode::SetSelfChecks(true);
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 700, 400});
    edit = New<TCountedMaskEdit>(form);
    edit->SetBoundsRect({10, 10, 560, 31});
    edit->SetParent(form);
  }
  void TearDown() override {
    TcxMaskEditCustomMode::SetSelfChecks(false);
    if (form) form->Free();
    Pump();
  }

  TcxMaskEditProperties* Props() { return edit->GetProperties(); }

  void Start(TcxEditMaskKind AKind, const AnsiString& AMask) {
    Props()->SetMaskKind(AKind);
    Props()->SetEditMask(AMask);
    form->Show();
    Pump();
    edit->SetFocus();
    Pump();
  }

  static void Pump() { win::test::PumpUntilIdle(); }

  static void SetClipboard(const std::string& AText) {
    ASSERT_TRUE(win::OpenClipboard(nullptr));
    win::EmptyClipboard();
    win::SetClipboardData(win::CF_TEXT, win::GlobalFromBytes(AText.c_str(), AText.size() + 1));
    win::CloseClipboard();
  }

  // The inner edit's text with the selection marked.
  std::string Shown() {
    std::string text = edit->GetEditText();
    const auto start = static_cast<std::size_t>(edit->GetSelStart());
    const auto length = static_cast<std::size_t>(edit->GetSelLength());
    if (start > text.size()) return text + "<caret " + std::to_string(start) + ">";
    if (length == 0) return text.insert(start, "|");
    text.insert(std::min(text.size(), start + length), "]");
    return text.insert(start, "[");
  }

  // Clicks on the character boundary before character AIndex of the text.
  void ClickAt(int AIndex) {
    TWinControl* inner = edit->GetInnerEdit()->GetControl();
    const auto packed = static_cast<std::uint32_t>(
        win::SendMessage(inner->GetHandle(), win::EM_POSFROMCHAR, static_cast<win::WPARAM>(AIndex), 0));
    const win::POINT at{static_cast<int>(static_cast<std::int16_t>(packed & 0xFFFF)) + 1,
                        static_cast<int>(static_cast<std::int16_t>(packed >> 16)) + 2};
    win::test::Click(inner->GetHandle(), at);
    Pump();
  }

  // Performs one action: "type <text>", "paste <text>" (Ctrl+V with the
  // text on the clipboard), "click <index>", or
  // a key with optional modifiers ("Left", "Shift+Left", "Ctrl+Right",
  // "Backspace", "Delete", "Home", "End").
  void Do(const std::string& AAction) {
    if (AAction.rfind("type ", 0) == 0) {
      win::test::TypeText(AAction.substr(5));
    } else if (AAction.rfind("paste ", 0) == 0) {
      SetClipboard(AAction.substr(6));
      Chord(win::VK_CONTROL, 'V');
    } else if (AAction.rfind("click ", 0) == 0) {
      ClickAt(std::stoi(AAction.substr(6)));
    } else {
      std::string key = AAction;
      win::BYTE modifier = 0;
      if (key.rfind("Shift+", 0) == 0) modifier = win::VK_SHIFT, key = key.substr(6);
      if (key.rfind("Ctrl+", 0) == 0) modifier = win::VK_CONTROL, key = key.substr(5);
      const win::BYTE vk = key == "Left" ? win::VK_LEFT : key == "Right" ? win::VK_RIGHT : key == "Home" ? win::VK_HOME
                      : key == "End" ? win::VK_END : key == "Backspace" ? win::VK_BACK : key == "Delete" ? win::VK_DELETE
                                                                                           : 0;
      ASSERT_NE(vk, 0) << "unknown key " << AAction;
      if (modifier) {
        Chord(modifier, vk);
      } else {
        win::test::KeyPress(vk);
      }
    }
    Pump();
  }

  static void Chord(win::BYTE AModifier, win::BYTE AKey) {
    win::test::KeyDown(AModifier);
    win::test::KeyPress(AKey);
    win::test::KeyUp(AModifier);
  }

  // The operations the editor asks of the mode for an action: one per typed
  // character or key.
  static int KeysIn(const std::string& AAction) {
    if (AAction.rfind("type ", 0) == 0) return static_cast<int>(AAction.size()) - 5;
    if (AAction.rfind("paste ", 0) == 0) return -1;  // none when the mask refuses the text
    if (AAction.rfind("click ", 0) == 0) return 0;
    return 1;
  }

  // Runs a story: after every step the editor shows as the table says, no
  // simulated key came back into the mode, and the mode's bookkeeping
  // agrees with the editor.
  void Run(const std::vector<Step>& ASteps) {
    for (const Step& step : ASteps) {
      ModeCalls::Reset();
      ASSERT_NO_THROW(Do(step.Action)) << step.Action;
      EXPECT_EQ(Shown(), step.Shown) << "after " << step.Action;
      EXPECT_EQ(ModeCalls::Reentered, 0) << "a simulated key of " << step.Action << " came back into the mode";
      if (KeysIn(step.Action) >= 0) {
        EXPECT_EQ(ModeCalls::Outer, KeysIn(step.Action)) << "mode operations for " << step.Action;
      }
      ASSERT_NO_THROW(edit->GetMode()->CheckConsistency()) << "after " << step.Action;
    }
  }
};

}  // namespace mask_test
