// Where controls end up: alignment inside a parent that changes size,
// anchors that keep distances to the right and bottom edges, size limits,
// coordinates between controls and the screen, and exact client sizes.
#include "platform/win/Queue.h"
#include "platform/win/WindowPos.h"
#include "ControlLog.h"

using namespace forms_test;

namespace {

class Geometry : public ::testing::Test {
 protected:
  forms::test::Session session;
};

TEST_F(Geometry, AlignedControlsShareTheParentInOrderAndFollowItsSize) {
  TForm* form = MakeForm("Form");
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 300, 200);
  auto* top = Make<TLogControl>(form, "Top", Bounds(0, 0, 10, 30));
  auto* bottom = Make<TLogControl>(form, "Bottom", Bounds(0, 0, 10, 20));
  auto* left = Make<TLogControl>(form, "Left", Bounds(0, 0, 40, 10));
  auto* right = Make<TLogControl>(form, "Right", Bounds(0, 0, 50, 10));
  auto* client = Make<TLogControl>(form, "Client", Bounds(0, 0, 10, 10));
  top->SetAlign(alTop);
  bottom->SetAlign(alBottom);
  left->SetAlign(alLeft);
  right->SetAlign(alRight);
  client->SetAlign(alClient);
  EXPECT_EQ(top->GetBoundsRect(), Rect(0, 0, 300, 30));
  EXPECT_EQ(bottom->GetBoundsRect(), Rect(0, 180, 300, 200));
  EXPECT_EQ(left->GetBoundsRect(), Rect(0, 30, 40, 180));
  EXPECT_EQ(right->GetBoundsRect(), Rect(250, 30, 300, 180));
  EXPECT_EQ(client->GetBoundsRect(), Rect(40, 30, 250, 180));

  form->Show();
  form->SetBounds(0, 0, 400, 300);
  EXPECT_EQ(bottom->GetBoundsRect(), Rect(0, 280, 400, 300));
  EXPECT_EQ(client->GetBoundsRect(), Rect(40, 30, 350, 280));
  EXPECT_EQ(client->GetClientRect(), Rect(0, 0, 310, 250));

  // A second top control placed below the first stays below it.
  auto* top2 = Make<TLogControl>(form, "Top2", Bounds(0, 100, 10, 10));
  top2->SetAlign(alTop);
  EXPECT_EQ(top2->GetBoundsRect(), Rect(0, 30, 400, 40));
  EXPECT_EQ(left->GetTop(), 40);
  // Hidden controls give their room back.
  top->SetVisible(false);
  EXPECT_EQ(top2->GetTop(), 0);
  form->Free();
}

TEST_F(Geometry, AnchorsKeepTheDistancesToTheEdgesTheyName) {
  TForm* form = MakeForm("Form");
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 300, 200);
  auto* ok = Make<TLogControl>(form, "Ok", Bounds(200, 160, 80, 25));
  ok->SetAnchors(TAnchors{akRight, akBottom});
  auto* wide = Make<TLogControl>(form, "Wide", Bounds(10, 10, 280, 20));
  wide->SetAnchors(TAnchors{akLeft, akTop, akRight});
  auto* still = Make<TLogControl>(form, "Still", Bounds(10, 40, 50, 20));
  form->SetBounds(0, 0, 400, 250);
  EXPECT_EQ(ok->GetBoundsRect(), Bounds(300, 210, 80, 25));
  EXPECT_EQ(wide->GetBoundsRect(), Bounds(10, 10, 380, 20));
  EXPECT_EQ(still->GetBoundsRect(), Bounds(10, 40, 50, 20));
  form->Show();  // with a window the same holds
  form->SetBounds(0, 0, 350, 220);
  EXPECT_EQ(ok->GetBoundsRect(), Bounds(250, 180, 80, 25));
  EXPECT_EQ(wide->GetBoundsRect(), Bounds(10, 10, 330, 20));
  form->Free();
}

TEST_F(Geometry, FlippedChildrenMirrorTheirPlacesAlignmentsAndAnchors) {
  TForm* form = MakeForm("Form");
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 300, 200);
  auto* left = Make<TLogControl>(form, "Left", Bounds(0, 0, 40, 10));
  left->SetAlign(alLeft);
  auto* ok = Make<TLogControl>(form, "Ok", Bounds(200, 160, 80, 25));
  ok->SetAnchors(TAnchors{akRight, akBottom});
  auto* panel = Make<TLogControl>(form, "Panel", Bounds(50, 10, 100, 50));
  auto* inner = Make<TLogControl>(panel, "Inner", Bounds(10, 10, 20, 20));
  form->FlipChildren(false);
  EXPECT_EQ(left->GetBoundsRect(), Rect(260, 0, 300, 200));
  EXPECT_EQ(ok->GetBoundsRect(), Bounds(20, 160, 80, 25));
  EXPECT_EQ(ok->GetAnchors(), (TAnchors{akLeft, akBottom}));
  EXPECT_EQ(panel->GetBoundsRect(), Bounds(150, 10, 100, 50));
  EXPECT_EQ(inner->GetLeft(), 10) << "one level only";
  form->FlipChildren(true);
  EXPECT_EQ(inner->GetLeft(), 70);
  form->Free();
}

TEST_F(Geometry, ConstraintsAndCanResizeLimitTheSize) {
  TForm* form = MakeForm("Form");
  auto* c = Make<TLogControl>(form, "C", Bounds(0, 0, 50, 50));
  c->GetConstraints()->SetMinWidth(30);
  c->GetConstraints()->SetMaxHeight(60);
  c->SetBounds(0, 0, 10, 100);
  EXPECT_EQ(c->GetWidth(), 30);
  EXPECT_EQ(c->GetHeight(), 60);
  c->GetConstraints()->SetMaxWidth(20);  // below the minimum: the minimum follows
  EXPECT_EQ(c->GetConstraints()->GetMinWidth(), 20);
  EXPECT_EQ(c->GetWidth(), 20);
  c->OnCanResize = [](TObject*, Integer& w, Integer&, bool& resize) { resize = w != 15; };
  c->SetWidth(15);
  EXPECT_EQ(c->GetWidth(), 20);
  c->GetConstraints()->SetMinWidth(0);
  c->GetConstraints()->SetMaxWidth(0);
  int resized = 0;
  c->OnResize = [&resized](TObject*) { ++resized; };
  c->SetWidth(12);
  c->SetLeft(5);  // a move alone is no resize
  EXPECT_EQ(resized, 1);
  c->OnResize = nullptr;
  form->Free();
}

// A form's constraints are its window's sizing limits, frame included:
// whatever sizes the window through the window system (a window manager's
// frame, SetWindowPos) stops at them, and a limit left at 0 is the
// system's own.
TEST_F(Geometry, AFormsConstraintsAreItsWindowsSizingLimits) {
  TForm* form = MakeForm("Form");
  form->SetBorderStyle(bsSizeable);
  form->SetBounds(10, 10, 400, 300);
  form->GetConstraints()->SetMinWidth(300);
  form->GetConstraints()->SetMinHeight(200);
  form->GetConstraints()->SetMaxWidth(600);
  HWND h = form->GetHandle();
  MINMAXINFO mm{};
  mm.ptMinTrackSize = {1, 1};
  mm.ptMaxTrackSize = {5000, 4000};
  SendMessageA(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
  EXPECT_EQ(mm.ptMinTrackSize, (POINT{300, 200}));
  EXPECT_EQ(mm.ptMaxTrackSize, (POINT{600, 4000}));
  RECT r{};
  for (POINT asked : {POINT{100, 100}, POINT{900, 700}}) {
    SetWindowPos(h, nullptr, 0, 0, asked.X, asked.Y, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(h, &r);
    EXPECT_EQ(r.Width(), asked.X < 300 ? 300 : 600);
    EXPECT_EQ(r.Height(), asked.Y < 200 ? 200 : 700);
    EXPECT_EQ(form->GetWidth(), r.Width());
    EXPECT_EQ(form->GetHeight(), r.Height());
  }
  form->Free();
}

// A size past the screen, from a stored layout or from code, is what the
// form keeps until its window exists; from then on the form reports the
// size its window got, held to what the screen can show, and what is
// aligned inside follows that.
TEST_F(Geometry, AFormSizedPastTheScreenTakesTheSizeItsWindowGot) {
  TForm* form = MakeForm("Form");
  form->SetBorderStyle(bsDialog);
  auto* client = Make<TLogControl>(form, "Client", Bounds(0, 0, 10, 10));
  client->SetAlign(alClient);
  form->SetBounds(10, 10, 32768, 40000);
  EXPECT_EQ(form->GetWidth(), 32768);
  form->HandleNeeded();
  RECT r{};
  GetWindowRect(form->GetHandle(), &r);
  EXPECT_EQ(r, Rect(10, 10, 10 + 1032, 10 + 776));
  EXPECT_EQ(form->GetBoundsRect(), Rect(10, 10, 10 + 1032, 10 + 776));
  EXPECT_EQ(client->GetWidth(), form->GetClientWidth());
  EXPECT_EQ(client->GetHeight(), form->GetClientHeight());

  form->SetBounds(10, 10, 300, 200);
  form->SetWidth(50000);
  form->SetHeight(50000);
  EXPECT_EQ(form->GetBoundsRect(), Rect(10, 10, 10 + 1032, 10 + 776));
  EXPECT_EQ(client->GetHeight(), form->GetClientHeight());
  form->Free();
}

// Sizes and places at the ends of Integer: a control's right and bottom
// edges stay Integers, aligned controls larger than their parent push the
// free room past itself without wrapping round, anchors keep distances as
// large as Integer allows, a point far from a control far away is not in it.
TEST_F(Geometry, BoundsAndAlignmentStayInsideIntegerAtItsEnds) {
  constexpr Integer kMax = std::numeric_limits<Integer>::max();
  constexpr Integer kMin = std::numeric_limits<Integer>::min();
  TForm* form = MakeForm("Form");
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 300, 200);
  auto* far = Make<TLogGraphic>(form, "Far", Bounds(10, 10, 20, 20));
  far->SetBounds(kMax - 5, kMax - 10, 100, 100);
  EXPECT_EQ(far->GetBoundsRect(), Rect(kMax - 5, kMax - 10, kMax, kMax));
  EXPECT_EQ(form->ControlAtPos({kMax - 1, kMax - 1}, true), far);
  EXPECT_EQ(form->ControlAtPos({kMin, kMin}, true), nullptr);

  // Taller and wider than anything: each takes what it asks, the next
  // starts where Integer ends.
  auto* top1 = Make<TLogGraphic>(form, "Top1", Bounds(0, 0, 10, kMax / 2 + 10));
  auto* top2 = Make<TLogGraphic>(form, "Top2", Bounds(0, 1, 10, kMax / 2 + 10));
  top1->SetAlign(alTop);
  top2->SetAlign(alTop);
  EXPECT_EQ(top1->GetBoundsRect(), Rect(0, 0, 300, kMax / 2 + 10));
  EXPECT_EQ(top2->GetBoundsRect(), Rect(0, kMax / 2 + 10, 300, kMax));
  std::vector<TLogGraphic*> bottoms;
  for (const char* name : {"Bottom1", "Bottom2", "Bottom3"}) {
    bottoms.push_back(Make<TLogGraphic>(form, name, Bounds(0, 0, 10, 1000000000)));
    bottoms.back()->SetAlign(alBottom);
  }
  EXPECT_EQ(std::min({bottoms[0]->GetTop(), bottoms[1]->GetTop(), bottoms[2]->GetTop()}), kMin);
  auto* right = Make<TLogGraphic>(form, "Right", Bounds(0, 0, kMax, 10));
  right->SetAlign(alRight);
  auto* client = Make<TLogGraphic>(form, "Client", Bounds(0, 0, 10, 10));
  client->SetAlign(alClient);
  EXPECT_EQ(right->GetLeft(), 300 - kMax);
  EXPECT_EQ(client->GetWidth(), 0);
  for (TControl* c : std::vector<TControl*>{top1, top2, bottoms[0], bottoms[1], bottoms[2], right, client}) c->Free();

  // Anchored far to the left of a parent that grows to the largest width.
  auto* away = Make<TLogGraphic>(form, "Away", Bounds(kMin + 10, 20, 0, 10));
  away->SetAnchors(TAnchors{akRight});
  form->SetClientWidth(kMax);
  EXPECT_EQ(form->GetWidth(), kMax);
  EXPECT_EQ(away->GetLeft(), kMin + 10 + (kMax - 300));
  form->Free();
}

TEST_F(Geometry, CoordinatesAndClientSizeAreExact) {
  TForm* form = MakeForm("Form", Bounds(100, 50, 300, 200));
  form->SetClientWidth(280);
  form->SetClientHeight(150);
  EXPECT_EQ(form->GetClientWidth(), 280);
  EXPECT_EQ(form->GetClientHeight(), 150);
  auto* outer = Make<TLogControl>(form, "Outer", Bounds(10, 20, 100, 80));
  auto* shape = Make<TLogGraphic>(outer, "Shape", Bounds(5, 6, 20, 20));
  TPoint before = shape->ClientToScreen({1, 1});
  form->Show();
  // The same before and after the windows exist.
  EXPECT_EQ(form->GetClientWidth(), 280);
  EXPECT_EQ(form->GetClientHeight(), 150);
  TPoint after = shape->ClientToScreen({1, 1});
  EXPECT_EQ(before, after);
  POINT p{0, 0};
  win::ClientToScreen(form->GetHandle(), &p);
  EXPECT_EQ(after, Point(p.X + 10 + 5 + 1, p.Y + 20 + 6 + 1));
  EXPECT_EQ(shape->ScreenToClient(after), Point(1, 1));
  EXPECT_EQ(outer->ControlAtPos({10, 10}, false), shape);
  EXPECT_EQ(outer->ControlAtPos({50, 50}, false), nullptr);
  EXPECT_EQ(form->ControlAtPos({16, 27}, false, true, true), shape);
  EXPECT_EQ(form->ControlAtPos({12, 22}, false, true, true), outer);
  EXPECT_EQ(WindowFromPoint(after), outer->GetHandle());
  EXPECT_EQ(FindDragTarget(after, false)->GetName(), "Shape");
  form->Free();
}

TEST_F(Geometry, HelpersForKeysAndMnemonics) {
  EXPECT_EQ(ShortCut(VK_RETURN, TShiftState{ssCtrl}), 16397);
  EXPECT_EQ(ShortCut('A', TShiftState{ssShift, ssAlt}), 'A' | scShift | scAlt);
  Word key = 0;
  TShiftState shift;
  ShortCutToKey(16397, key, shift);
  EXPECT_EQ(key, VK_RETURN);
  EXPECT_EQ(shift, TShiftState{ssCtrl});
  EXPECT_TRUE(IsAccel('R', "&Run"));
  EXPECT_TRUE(IsAccel('r', "&Run"));
  EXPECT_FALSE(IsAccel('R', "Run"));
  EXPECT_FALSE(IsAccel('&', "Save && Run"));
  EXPECT_TRUE(IsAccel('x', "Save && E&xit"));
  EXPECT_TRUE(KeyDataToShiftState(0x20000000).Contains(ssAlt));
  EXPECT_EQ(ShortCutToText(16397), "Ctrl+Enter");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F5, TShiftState{ssShift, ssCtrl})), "Shift+Ctrl+F5");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, {})), "Del");
  EXPECT_EQ(ShortCutToText(scNone), "");
}

}  // namespace
