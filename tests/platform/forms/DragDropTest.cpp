// Dragging from one control to another as a person does it: the CM_DRAG
// conversation with each control under the pointer, the cursor telling
// whether a drop would be taken, the drop, and the ways out (a refused
// drop, Esc, the right button).
#include "platform/forms/DragDrop.h"

#include "platform/forms/Screen.h"
#include "ControlLog.h"
#include "FormsTestUtil.h"

using namespace forms_test;

namespace {

const char* DragName(WPARAM dm) {
  static const char* names[] = {"dmDragEnter", "dmDragLeave", "dmDragMove", "dmDragDrop", "dmDragCancel",
                                "dmFindTarget"};
  return dm < 6 ? names[dm] : "?";
}

// A control that logs the drag messages it gets (all but the frequent
// target look-ups) and its drag events.
class TDragLogControl : public TCustomControl {
  ORV_CLASS(TDragLogControl, TCustomControl)
 public:
  explicit TDragLogControl(TComponent* AOwner) : TCustomControl(AOwner) {}
  void WndProc(TMessage& Message) override {
    if (Message.Msg == CM_DRAG && Message.WParam != dmFindTarget) Log().push_back(GetName() + " " + DragName(Message.WParam));
    inherited::WndProc(Message);
  }
};

ORV_REGISTER(TDragLogControl)

class DragDrop : public ::testing::Test {
 protected:
  forms::test::Session session;
  LeakCheck leaks;  // everything the test makes is gone by its end
  TForm* form = nullptr;
  TDragLogControl *source = nullptr, *bin = nullptr, *wall = nullptr;
  void SetUp() override {
    TakeLog();
    form = MakeForm("Form", Bounds(100, 100, 400, 300));
    source = Make<TDragLogControl>(form, "Source", Bounds(10, 10, 80, 40));
    bin = Make<TDragLogControl>(form, "Bin", Bounds(200, 10, 80, 80));
    wall = Make<TDragLogControl>(form, "Wall", Bounds(200, 150, 80, 80));
    source->SetDragMode(dmAutomatic);
    // The bin takes controls, and says what it hears.
    bin->OnDragOver = [](TObject*, TObject* src, Integer x, Integer y, TDragState state, bool& accept) {
      static const char* states[] = {"enter", "leave", "move"};
      Log().push_back(std::string("Bin over ") + states[state] + " from " + static_cast<TComponent*>(src)->GetName() +
                      " at " + std::to_string(x) + "," + std::to_string(y));
      accept = dynamic_cast<TControl*>(src) != nullptr;
    };
    bin->OnDragDrop = [](TObject*, TObject* src, Integer x, Integer y) {
      Log().push_back("Bin drop " + static_cast<TComponent*>(src)->GetName() + " at " + std::to_string(x) + "," +
                      std::to_string(y));
    };
    source->OnStartDrag = [](TObject*, TObject*&) { Log().push_back("Source start"); };
    source->OnEndDrag = [](TObject*, TObject* target, Integer x, Integer y) {
      Log().push_back("Source end on " + (target ? static_cast<TComponent*>(target)->GetName() : std::string("nothing")) +
                      " at " + std::to_string(x) + "," + std::to_string(y));
    };
    form->Show();
    win::test::PumpUntilIdle();
  }
  void TearDown() override {
    form->Free();
    EXPECT_TRUE(forms::test::RecordedExceptions().empty());
  }
  POINT At(TControl* c, int x, int y) { return c->ClientToScreen({x, y}); }
  void Press(TControl* c, int x, int y) {
    win::test::MouseMove(At(c, x, y));
    win::test::MouseDown();
  }
};

TEST_F(DragDrop, ADropOnAControlThatAcceptsIsAConversationInCmDrag) {
  std::vector<TCursor> cursors;
  win::test::OnNextModalLoop([&] {
    // Within the threshold nothing happens yet.
    win::test::MouseMove(At(source, 12, 12));
    win::test::PumpUntilIdle();
    EXPECT_TRUE(source->Dragging());
    EXPECT_EQ(CurrentDragObject()->GetSource(), source);
    win::test::MouseMove(At(source, 30, 12));
    win::test::PumpUntilIdle();
    cursors.push_back(forms::test::ScreenCursor());
    win::test::MouseMove(At(bin, 5, 6));
    win::test::PumpUntilIdle();
    cursors.push_back(forms::test::ScreenCursor());
    win::test::MouseMove(At(bin, 7, 8));
    win::test::MouseUp();
  });
  Press(source, 10, 10);
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), Seq({"Source start", "Source dmDragEnter", "Source dmDragLeave", "Bin dmDragEnter",
                            "Bin over enter from Source at 5,6", "Bin dmDragMove",
                            "Bin over move from Source at 7,8", "Bin dmDragDrop", "Bin drop Source at 7,8",
                            "Source end on Bin at 7,8"}));
  // Over the source itself (no OnDragOver) a drop is refused; over the bin
  // the control's drag cursor shows. Afterwards everything is as before.
  EXPECT_EQ(cursors, (std::vector<TCursor>{crNoDrop, crDrag}));
  EXPECT_EQ(forms::test::ScreenCursor(), crDefault);
  EXPECT_EQ(win::test::Capture(), nullptr);
  EXPECT_EQ(CurrentDragObject(), nullptr);
  EXPECT_FALSE(source->Dragging());
}

TEST_F(DragDrop, ARefusedDropShowsNoDropAndEndsOnNothing) {
  source->SetDragCursor(crMultiDrag);
  TCursor overWall = crDefault, overBin = crDefault;
  win::test::OnNextModalLoop([&] {
    win::test::MouseMove(At(wall, 10, 10));
    win::test::PumpUntilIdle();
    overWall = forms::test::ScreenCursor();
    win::test::MouseMove(At(bin, 10, 10));
    win::test::PumpUntilIdle();
    overBin = forms::test::ScreenCursor();
    win::test::MouseMove(At(wall, 20, 20));
    win::test::MouseUp();
  });
  Press(source, 10, 10);
  win::test::PumpUntilIdle();
  EXPECT_EQ(overWall, crNoDrop);
  EXPECT_EQ(overBin, crMultiDrag);
  EXPECT_EQ(TakeLog(), Seq({"Source start", "Wall dmDragEnter", "Wall dmDragLeave", "Bin dmDragEnter",
                            "Bin over enter from Source at 10,10", "Bin dmDragLeave",
                            "Bin over leave from Source at 20,160", "Wall dmDragEnter", "Wall dmDragLeave", "Source end on nothing at 210,160"}));
}

TEST_F(DragDrop, EscOrTheRightButtonCancelsAndTheTargetHearsIt) {
  for (int way = 0; way < 2; ++way) {
    win::test::OnNextModalLoop([&] {
      win::test::MouseMove(At(bin, 10, 10));
      if (way == 0) win::test::KeyPress(VK_ESCAPE);
      else win::test::MouseDown(VK_RBUTTON);
      // What follows belongs to nobody's drag any more.
      win::test::MouseUp();
    });
    Press(source, 10, 10);
    win::test::PumpUntilIdle();
    if (way == 1) win::test::MouseUp(VK_RBUTTON);
    win::test::PumpUntilIdle();
    EXPECT_EQ(TakeLog(), Seq({"Source start", "Bin dmDragEnter", "Bin over enter from Source at 10,10",
                              "Bin dmDragCancel", "Bin over leave from Source at 10,10",
                              "Source end on nothing at 200,10"}))
        << (way == 0 ? "Esc" : "right button");
    win::test::PumpFor(1000);  // the next press is no double click
  }
}

TEST_F(DragDrop, AManualDragStartsFromCodeAndAReleaseBeforeTheThresholdDropsNothing) {
  source->SetDragMode(dmManual);
  source->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, Integer, Integer) { source->BeginDrag(false, 10); };
  win::test::OnNextModalLoop([&] {
    win::test::MouseMove(At(source, 15, 15));  // under the threshold of 10
    win::test::MouseUp();
  });
  Press(source, 10, 10);
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), Seq({"Source start", "Source end on nothing at 15,15"}));

  // An immediate drag asks the control under the pointer at once; EndDrag
  // from a handler drops it there.
  bin->OnDragOver = [this](TObject*, TObject*, Integer, Integer, TDragState, bool& accept) {
    accept = true;
    source->EndDrag(true);
  };
  source->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, Integer, Integer) { source->BeginDrag(true); };
  win::test::OnNextModalLoop([&] { win::test::MouseMove(At(bin, 3, 4)); });
  Press(source, 10, 10);
  win::test::PumpUntilIdle();
  win::test::MouseUp();
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), Seq({"Source start", "Source dmDragEnter", "Source dmDragLeave", "Bin dmDragEnter",
                            "Bin dmDragDrop", "Bin drop Source at 3,4", "Source end on Bin at 3,4"}));
}

TEST_F(DragDrop, ATargetFreedInTheMiddleOfADragIsForgotten) {
  win::test::OnNextModalLoop([&] {
    win::test::MouseMove(At(bin, 10, 10));
    win::test::PumpUntilIdle();
    EXPECT_EQ(CurrentDragObject()->GetDragTarget(), bin);
    bin->Free();
    bin = nullptr;
    EXPECT_EQ(CurrentDragObject()->GetDragTarget(), nullptr);
    win::test::MouseUp();
  });
  Press(source, 10, 10);
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), Seq({"Source start", "Bin dmDragEnter", "Bin over enter from Source at 10,10",
                            "Source end on nothing at 200,10"}));
  EXPECT_EQ(CurrentDragObject(), nullptr);
}

// The bin throws away what is dropped on it: the source goes inside the
// target's handler, and hears nothing more of its drag. A target that
// throws the source away as it passes over it ends the drag the same way.
TEST_F(DragDrop, ASourceFreedByTheTargetHearsNothingMore) {
  bin->OnDragDrop = [this](TObject*, TObject* src, Integer, Integer) {
    Log().push_back("Bin frees " + static_cast<TComponent*>(src)->GetName());
    static_cast<TObject*>(src)->Free();
    source = nullptr;
  };
  win::test::OnNextModalLoop([&] {
    win::test::MouseMove(At(bin, 10, 10));
    win::test::PumpUntilIdle();
    win::test::MouseUp();
  });
  Press(source, 10, 10);
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), Seq({"Source start", "Bin dmDragEnter", "Bin over enter from Source at 10,10",
                            "Bin dmDragDrop", "Bin frees Source"}));
  EXPECT_EQ(CurrentDragObject(), nullptr);
  EXPECT_EQ(forms::test::ScreenCursor(), crDefault);

  auto* second = Make<TDragLogControl>(form, "Second", Bounds(10, 100, 80, 40));
  second->SetDragMode(dmAutomatic);
  bin->OnDragOver = [&second](TObject*, TObject* src, Integer, Integer, TDragState, bool& accept) {
    accept = true;
    if (src != second) return;
    Log().push_back("Bin frees " + second->GetName() + " as it passes");
    second->Free();
    second = nullptr;
  };
  win::test::OnNextModalLoop([&] {
    win::test::MouseMove(At(bin, 10, 10));
    win::test::PumpUntilIdle();
    win::test::MouseUp();
  });
  win::test::PumpFor(1000);  // the next press is no double click
  Press(second, 10, 10);
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), Seq({"Bin dmDragEnter", "Bin frees Second as it passes", "Bin dmDragCancel"}));
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(CurrentDragObject(), nullptr);
  EXPECT_EQ(forms::test::ScreenCursor(), crDefault);
  EXPECT_EQ(win::test::Capture(), nullptr);

  // A target that goes away as it takes the drop is named to nobody.
  auto* third = Make<TDragLogControl>(form, "Third", Bounds(10, 100, 80, 40));
  third->SetDragMode(dmAutomatic);
  third->OnEndDrag = [](TObject*, TObject* target, Integer, Integer) {
    Log().push_back(std::string("Third end on ") + (target ? static_cast<TComponent*>(target)->GetName() : "nothing"));
  };
  bin->OnDragOver = [](TObject*, TObject*, Integer, Integer, TDragState, bool& accept) { accept = true; };
  bin->OnDragDrop = [this](TObject*, TObject*, Integer, Integer) {
    Log().push_back("Bin frees itself");
    TControl* gone = bin;
    bin = nullptr;
    gone->Free();  // the last thing this handler does: it goes with the bin
  };
  win::test::OnNextModalLoop([&] {
    win::test::MouseMove(At(bin, 10, 10));
    win::test::PumpUntilIdle();
    win::test::MouseUp();
  });
  win::test::PumpFor(1000);
  Press(third, 10, 10);
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), Seq({"Bin dmDragEnter", "Bin dmDragDrop", "Bin frees itself", "Third end on nothing"}));
}

// A drag object of the program's own: targets see it as the source, and
// it hears the end itself.
TEST_F(DragDrop, ADragObjectFromOnStartDragIsWhatTargetsSee) {
  struct TFileDrag : TDragObject {
    std::string ended;
    void Finished(TObject* target, Integer, Integer, bool accepted) override {
      ended = (target ? static_cast<TComponent*>(target)->GetName() : "nothing") + (accepted ? " accepted" : "");
    }
  } files;
  source->OnStartDrag = [&](TObject*, TObject*& obj) { obj = &files; };
  bin->OnDragDrop = nullptr;
  bin->OnDragOver = [&](TObject*, TObject* src, Integer, Integer, TDragState, bool& accept) { accept = src == &files; };
  win::test::OnNextModalLoop([&] {
    win::test::MouseMove(At(bin, 10, 10));
    win::test::MouseUp();
  });
  Press(source, 10, 10);
  win::test::PumpUntilIdle();
  EXPECT_EQ(files.ended, "Bin accepted");
  std::vector<std::string> log = TakeLog();
  EXPECT_EQ(log.back(), "Bin dmDragDrop");  // the control hears no end: the object took it
}

}  // namespace
