// Drags between controls started from a library control, told as logs:
// the CM_DRAG conversation with the control under the pointer, the drag
// object the library control makes and that frees itself, the drag image
// kept out of a target's painting and scrolling, the copy cursor under
// Ctrl, a drag refused while it starts, and the customize list box whose
// items are dragged out.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "ControlsSession.h"
#include "library/foundation/cxControls.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"

namespace {

std::vector<std::string> gLog;

std::string Pt(Integer X, Integer Y) { return std::to_string(X) + "," + std::to_string(Y); }

std::string NameOf(TObject* Object) {
  auto* component = dynamic_cast<TComponent*>(Object);
  return component ? std::string(component->GetName()) : std::string("nothing");
}

std::vector<std::string> TakeLog() { return std::exchange(gLog, {}); }

// The drag object the sources below make: says when its image comes and
// goes and when it is freed.
class TLogDragObject : public TcxDragControlObject {
  ORV_CLASS(TLogDragObject, TcxDragControlObject)
 public:
  using TcxDragControlObject::TcxDragControlObject;
  ~TLogDragObject() override { gLog.push_back("object freed"); }
  void ShowDragImage() override { gLog.push_back("image shown"); }
  void HideDragImage() override { gLog.push_back("image hidden"); }
};

class TLogDragImages : public TcxDragImageList {
  ORV_CLASS(TLogDragImages, TcxDragImageList)
 public:
  using TcxDragImageList::TcxDragImageList;
  ~TLogDragImages() override { gLog.push_back("images freed"); }
};

// A library control that logs the drag messages it gets (but the target
// look-ups) and its painting; as a source it may refuse to start.
class TDragProbe : public TcxControl {
  ORV_CLASS(TDragProbe, TcxControl)
 public:
  explicit TDragProbe(TComponent* AOwner) : TcxControl(AOwner) {}
  bool Refuse = false;
  bool LogPaint = false;

 protected:
  void WndProc(TMessage& Message) override {
    static const char* names[] = {"enter", "leave", "move", "drop", "cancel", "find"};
    if (Message.Msg == win::CM_DRAG && Message.WParam != dmFindTarget)
      gLog.push_back(std::string(GetName()) + " " + names[Message.WParam]);
    TcxControl::WndProc(Message);
  }
  void Paint() override {
    if (LogPaint) gLog.push_back(std::string(GetName()) + " paints");
    TcxControl::Paint();
  }
  TcxDragControlObjectClass GetDragObjectClass() override { return TLogDragObject::StaticClass(); }
  bool StartDrag(TDragObject*) override { return !Refuse; }
  bool HasDragImages() override { return true; }
  TSize GetDragImagesSize() override { return {16, 16}; }
  TcxDragImageListClass GetDragImagesClass() override { return TLogDragImages::StaticClass(); }
};

// A customize list box that drags its item out when asked to.
class TItemList : public TcxCustomizeListBox {
  ORV_CLASS(TItemList, TcxCustomizeListBox)
 public:
  using TcxCustomizeListBox::TcxCustomizeListBox;

 protected:
  void BeginDragAndDrop() override {
    TcxCustomizeListBox::BeginDragAndDrop();
    gLog.push_back("list drags item " + std::to_string(GetItemIndex()) + " carrying " +
                   NameOf(GetDragAndDropItemObject()) + (GetMultiSelect() ? SelectedText() : ""));
    BeginDrag(true);
  }
  std::string SelectedText() {
    std::string out = ", selected";
    for (Integer i = 0; i < GetCount(); ++i)
      if (GetSelected(i)) out += " " + std::to_string(i);
    return out;
  }
};

}  // namespace
ORV_REGISTER(TLogDragObject)
ORV_REGISTER(TLogDragImages)
ORV_REGISTER(TDragProbe)
ORV_REGISTER(TItemList)

namespace {

class cxControlsDragDrop : public ControlsSession {
 protected:
  TDragProbe *source = nullptr, *target = nullptr;
  std::vector<TDragObject*> seenOver;

  void SetUp() override {
    ControlsSession::SetUp();
    ShowForm();
    source = Place<TDragProbe>({10, 10, 110, 60});
    source->SetName("Source");
    source->SetDragMode(dmAutomatic);
    target = Place<TDragProbe>({200, 10, 300, 110});
    target->SetName("Target");
    target->OnDragOver = [this](TObject*, TObject* src, Integer x, Integer y, TDragState state, bool& accept) {
      static const char* states[] = {"enter", "leave", "move"};
      gLog.push_back(std::string("Target over ") + states[state] + " from " + NameOf(src) + " at " + Pt(x, y));
      seenOver.push_back(GetDragObject());
      accept = true;
    };
    target->OnDragDrop = [](TObject*, TObject* src, Integer x, Integer y) {
      gLog.push_back("Target drop " + NameOf(src) + " at " + Pt(x, y) + ", drag object " +
                     (GetDragObject() ? "named" : "none"));
    };
    source->OnStartDrag = [](TObject*, TObject*&) { gLog.push_back("Source start"); };
    source->OnEndDrag = [](TObject*, TObject* tgt, Integer x, Integer y) {
      gLog.push_back("Source end on " + NameOf(tgt) + " at " + Pt(x, y));
    };
    win::test::PumpUntilIdle();
    TakeLog();
  }
  void TearDown() override {
    ControlsSession::TearDown();
    for (const AnsiString& e : forms::test::RecordedExceptions()) ADD_FAILURE() << e;
  }
  win::POINT At(TControl* c, int x, int y) { return c->ClientToScreen({x, y}); }
  // Presses the source; the drag detection sees the mouse leave its square
  // and the drag loop that follows runs Script.
  void DragFromSource(std::function<void()> Script) {
    win::test::OnNextModalLoop([this] { win::test::MouseMove(At(source, 20, 10)); });
    win::test::OnNextModalLoop(std::move(Script));
    win::test::MouseMove(At(source, 10, 10));
    win::test::MouseDown();
    win::test::PumpUntilIdle();
  }
};

TEST_F(cxControlsDragDrop, ADragToAnotherControlTalksCmDragAndTheObjectFreesItselfAfterTheDrop) {
  TDragObject* during = nullptr;
  bool ownObject = false;
  DragFromSource([&] {
    during = CurrentDragObject();
    ownObject = dynamic_cast<TLogDragObject*>(during) != nullptr;
    win::test::MouseMove(At(target, 5, 6));
    win::test::PumpUntilIdle();
    win::test::MouseMove(At(target, 7, 8));
    win::test::MouseUp();
  });
  EXPECT_TRUE(ownObject);
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{
                           "Source start", "image shown", "Source enter", "Source leave", "Target enter",
                           "Target over enter from Source at 5,6", "Target move", "Target over move from Source at 7,8",
                           "image hidden", "Target drop", "Target drop Source at 7,8, drag object none",
                           "Source end on Target at 7,8", "object freed"}));
  // Over the target, the library control names the drag's own object; the
  // drop forgets it.
  EXPECT_EQ(seenOver, (std::vector<TDragObject*>{during, during}));
  EXPECT_EQ(GetDragObject(), nullptr);
  EXPECT_EQ(CurrentDragObject(), nullptr);
  EXPECT_EQ(win::test::Capture(), nullptr);
}

TEST_F(cxControlsDragDrop, LeavingATargetForgetsTheDragObjectAndTheDragImagesGoWithTheEnd) {
  TDragObject* afterLeave = reinterpret_cast<TDragObject*>(1);
  DragFromSource([&] {
    source->GetDragImages();  // made now, freed when the drag ends
    win::test::MouseMove(At(target, 5, 6));
    win::test::PumpUntilIdle();
    win::test::MouseMove(At(form, 150, 200));
    win::test::PumpUntilIdle();
    afterLeave = GetDragObject();
    win::test::KeyDown(win::VK_ESCAPE);
  });
  EXPECT_EQ(afterLeave, nullptr);
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{
                           "Source start", "image shown", "Source enter", "Source leave", "Target enter",
                           "Target over enter from Source at 5,6", "Target leave",
                           "Target over leave from Source at -50,190", "image hidden",
                           "Source end on nothing at 140,190", "images freed", "object freed"}));
}

TEST_F(cxControlsDragDrop, TheDragImageIsHiddenWhileATargetPaintsOrScrolls) {
  target->LogPaint = true;
  DragFromSource([&] {
    win::test::MouseMove(At(target, 5, 6));
    win::test::PumpUntilIdle();
    TakeLog();
    target->Invalidate();
    win::test::PumpUntilIdle();
    target->ScrollWindow(0, 10, target->GetClientRect());
    gLog.push_back("scrolled");
    win::test::PumpUntilIdle();
    win::test::KeyDown(win::VK_ESCAPE);
  });
  const std::vector<std::string> log = TakeLog();
  ASSERT_GE(log.size(), 7u);
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 7),
            (std::vector<std::string>{"image hidden", "Target paints", "image shown", "image hidden", "image shown",
                                      "scrolled", "image hidden"}));
}

TEST_F(cxControlsDragDrop, CtrlOverATargetThatAcceptsShowsTheCopyCursor) {
  std::vector<TCursor> cursors;
  DragFromSource([&] {
    win::test::MouseMove(At(target, 5, 6));
    win::test::PumpUntilIdle();
    cursors.push_back(forms::test::ScreenCursor());
    win::test::KeyDown(win::VK_CONTROL);
    win::test::MouseMove(At(target, 6, 6));
    win::test::PumpUntilIdle();
    cursors.push_back(forms::test::ScreenCursor());
    // Over the source, which takes nothing, Ctrl changes nothing.
    win::test::MouseMove(At(source, 50, 30));
    win::test::PumpUntilIdle();
    cursors.push_back(forms::test::ScreenCursor());
    win::test::KeyUp(win::VK_CONTROL);
    win::test::MouseUp();
  });
  EXPECT_EQ(cursors, (std::vector<TCursor>{crDrag, crcxDragCopy, crNoDrop}));
  EXPECT_EQ(forms::test::ScreenCursor(), crDefault);
}

TEST_F(cxControlsDragDrop, ASourceRefusingToStartEndsTheDragBeforeItTakesTheMouse) {
  source->Refuse = true;
  win::test::OnNextModalLoop([this] { win::test::MouseMove(At(source, 20, 10)); });
  win::test::MouseMove(At(source, 10, 10));
  win::test::MouseDown();
  win::test::PumpUntilIdle();
  win::test::MouseUp();
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Source start", "object freed", "Source end on nothing at 20,10"}));
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(CurrentDragObject(), nullptr);
  EXPECT_EQ(win::test::Capture(), nullptr);
}

TEST_F(cxControlsDragDrop, ASourceFreedInItsDragIsNotNamedAndItsObjectGoesWithTheNextDrag) {
  DragFromSource([&] {
    win::test::MouseMove(At(target, 5, 6));
    win::test::PumpUntilIdle();
    TakeLog();
    source->Free();
    source = nullptr;
    win::test::MouseMove(At(target, 6, 6));  // the loop notices on its next message
  });
  EXPECT_EQ(CurrentDragObject(), nullptr);
  // The target hears the drag end from the drag's object, not from the
  // freed control; the object outlives the loop that still used it.
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Target cancel", "Target over leave from nothing at 6,6"}));
  // The next drag from a library control frees it.
  target->SetDragMode(dmAutomatic);
  win::test::OnNextModalLoop([this] { win::test::MouseMove(At(target, 30, 10)); });
  win::test::OnNextModalLoop([] { win::test::KeyDown(win::VK_ESCAPE); });
  win::test::MouseMove(At(target, 10, 10));
  win::test::MouseDown();
  win::test::PumpUntilIdle();
  const std::vector<std::string> log = TakeLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "object freed");
  EXPECT_EQ(log.back(), "object freed");
}

// ---- The customize list box ----

class cxCustomizeListBox : public cxControlsDragDrop {
 protected:
  TItemList* list = nullptr;
  TComponent *first = nullptr, *second = nullptr;
  void SetUp() override {
    cxControlsDragDrop::SetUp();
    list = Place<TItemList>({10, 120, 150, 250});
    list->SetName("List");
    first = New<TComponent>(form);
    first->SetName("First");
    second = New<TComponent>(form);
    second->SetName("Second");
    list->GetItems()->AddObject("first", first);
    list->GetItems()->AddObject("second", second);
    list->GetItems()->Add("plain");
    win::test::PumpUntilIdle();
  }
  win::POINT Item(int index, int x = 10) {
    const TRect r = list->ItemRect(index);
    return At(list, r.Left + x, r.Top + 2);
  }
};

TEST_F(cxCustomizeListBox, AnItemIsDraggedOutOnceTheMouseLeavesThePressedAreaOrTheItem) {
  win::test::OnNextModalLoop([&] {
    win::test::MouseMove(At(target, 5, 6));
    win::test::PumpUntilIdle();
    win::test::MouseUp();
  });
  win::test::MouseMove(Item(1));
  win::test::MouseDown();
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetDragAndDropItemObject(), second);
  // Inside the pressed area over the same item, nothing starts.
  win::test::MouseMove(Item(1, 12));
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), std::vector<std::string>{});
  // Onto the next item, within the threshold: the drag starts, still with
  // the pressed item selected.
  win::test::MouseMove(Item(2, 12));
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{"list drags item 1 carrying Second", "Target enter",
                                                 "Target over enter from List at 5,6", "Target drop",
                                                 "Target drop List at 5,6, drag object none"}));
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(list->GetDragAndDropItemIndex(), -1);
}

TEST_F(cxCustomizeListBox, ItemsWithoutObjectsAndReleasedPressesDragNothing) {
  win::test::MouseMove(Item(2));
  win::test::MouseDown();
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetDragAndDropItemIndex(), -1);
  win::test::MouseMove(At(target, 5, 6));
  win::test::MouseUp();
  win::test::PumpUntilIdle();
  win::test::MouseMove(Item(0));
  win::test::MouseDown();
  win::test::MouseUp();
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetDragAndDropItemIndex(), -1);
  win::test::MouseMove(At(target, 5, 6));
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), std::vector<std::string>{});
}

TEST_F(cxCustomizeListBox, SettingTheItemObjectSelectsItsItemAndClicksOnce) {
  list->OnClick = [](TObject*) { gLog.push_back("click"); };
  list->SetItemObject(second);
  list->SetItemObject(second);
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(list->GetItemObject(), second);
  list->SetItemIndex(2);
  EXPECT_EQ(list->GetItemObject(), nullptr);
  EXPECT_EQ(TakeLog(), std::vector<std::string>{"click"});
}

TEST_F(cxCustomizeListBox, InAMultipleSelectionTheDraggedItemAloneStaysSelected) {
  list->SetMultiSelect(true);
  list->SetSelected(0, true);
  list->SetSelected(2, true);
  win::test::PumpUntilIdle();
  // Ctrl adds the pressed item to the selection; the drag then carries it
  // alone.
  win::test::OnNextModalLoop([&] {
    win::test::MouseMove(At(target, 5, 6));
    win::test::PumpUntilIdle();
    win::test::MouseUp();
  });
  win::test::KeyDown(win::VK_CONTROL);
  win::test::PumpUntilIdle();
  win::test::MouseMove(Item(1));
  win::test::MouseDown();
  win::test::PumpUntilIdle();
  win::test::KeyUp(win::VK_CONTROL);
  EXPECT_EQ(list->GetSelCount(), 3);
  win::test::MouseMove(Item(1, 40));
  win::test::PumpUntilIdle();
  const std::vector<std::string> log = TakeLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0], "list drags item 1 carrying Second, selected 1");
  EXPECT_EQ(list->GetSelCount(), 1);
}

}  // namespace
