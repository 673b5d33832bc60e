// What an inner memo window does for its editor whichever platform window
// it is made of: the memo's (over TMemo) and the rich text editor's (over
// TRichEdit). Clicks, keys, the mouse and drags go on to the editor (in its
// coordinates), actions to its data binding; focus, bounds and the scroll
// bars follow the editor. A window class names this as its parent and
// registers the messages with ORV_INNER_MEMO_MESSAGES in its body; its
// metaclass's parent is the platform window's.
#pragma once

#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/core/cxInnerTextEdit.h"
#include "library/foundation/cxContainer.h"
#include "platform/forms/Dispatch.h"

class TcxCustomMemo;
class TcxInnerMemoHelperBase;

// What an inner memo window keeps for its editor.
struct TcxInnerMemoState {
  bool AutoSelect = false;
  // The editor consumed the key the window is handling.
  bool InternalUpdating = false;
  bool EscapeDown = false;
  // SetBounds is ignored while above 0.
  Integer LockBoundsCount = 0;
};

template <class TWindow>
class TcxInnerMemoWindow : public TWindow, public IcxContainerInnerControl, public IcxInnerEditHelper {
 public:
  explicit TcxInnerMemoWindow(TComponent* AOwner) : TWindow(AOwner) {}

  TcxCustomMemo* GetContainer() const;
  IcxCustomInnerEdit* GetHelper() override;
  TcxContainer* GetControlContainer() override;
  TWinControl* GetControl() override { return this; }

  bool CanFocus() override;
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;

 protected:
  // The editor's context menu and its automatic dragging take a message
  // before the window does.
  bool EditorTakesMessage(TMessage& Message);
  // Without an editor every edit is allowed.
  bool EditorAllowsEditing();
  void RefreshScrollBars();
  // A key the window has handled, not consumed by the editor: whether the
  // editor hears it after (DoAfterKeyDown). State is the text and the
  // selection from before the key.
  virtual bool TellsAfterKeyDown(Word Key, TShiftState Shift, const TcxCustomInnerTextEditPrevState& State) = 0;

  void DefaultHandler(TMessage& Message) override;
  void DoEnter() override;
  void Click() override;
  void DblClick() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;

  void WMKeyDown(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  // The wheel scrolls the lines, unless a handler took it.
  void WMMouseWheel(TMessage& Message);
  void WMImeComposition(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMWindowPosChanged(TMessage& Message);
  void WMLButtonDown(TMessage& Message);

  // Made and freed by the window class, which knows its kind.
  TcxInnerMemoHelperBase* FHelper = nullptr;
  TcxInnerMemoState FState;
  bool FIsCreating = false;
};

// The handlers above, for the class whose body this stands in; a handler of
// the class's own by the same name takes the message instead.
#define ORV_INNER_MEMO_MESSAGES                           \
  ORV_MESSAGE(win::WM_KEYDOWN, WMKeyDown)                 \
  ORV_MESSAGE(win::WM_GETDLGCODE, WMGetDlgCode)           \
  ORV_MESSAGE(win::WM_MOUSEWHEEL, WMMouseWheel)           \
  ORV_MESSAGE(win::WM_IME_COMPOSITION, WMImeComposition)  \
  ORV_MESSAGE(win::WM_SETFOCUS, WMSetFocus)               \
  ORV_MESSAGE(win::WM_KILLFOCUS, WMKillFocus)             \
  ORV_MESSAGE(win::WM_WINDOWPOSCHANGED, WMWindowPosChanged) \
  ORV_MESSAGE(win::WM_LBUTTONDOWN, WMLButtonDown)
