// Look-and-feel settings: values inherited down a master chain to the
// root, change notices that stop where a value is set locally, painters
// chosen by kind and theme availability, controllers of the root, and
// system colour changes and theme switches fanned out shared images first.
#include <string>
#include <vector>

#include "ControlsSession.h"
#include "library/foundation/cxButtons.h"
#include "library/foundation/cxLookAndFeels.h"
#include "library/foundation/cxScrollBar.h"
#include "library/foundation/dxOffice11.h"
#include "platform/rtl/Owned.h"
#include "platform/theme/ThemeState.h"
#include "platform/theme/ThemeTestMode.h"
#include "platform/win/Metrics.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"

namespace {

class cxLookAndFeels : public ControlsSession {
 protected:
  std::vector<std::string> log;

  // Logs each change notice of a look-and-feel as "name:values".
  void Watch(TcxLookAndFeel* L, const std::string& name) {
    L->OnChanged = [this, name](TcxLookAndFeel*, TcxLookAndFeelValues V) {
      std::string s = name + ":";
      if (V.Contains(lfvKind)) s += "K";
      if (V.Contains(lfvNativeStyle)) s += "N";
      log.push_back(s);
    };
  }
};

std::string PainterName(TcxCustomLookAndFeelPainterClass P) { return P.Get()->ClassName(); }

}  // namespace

TEST_F(cxLookAndFeels, AFreshObjectIsUltraFlatAndThemesDecideTheNativePainter) {
  TOwned<TcxLookAndFeel> L(New<TcxLookAndFeel>(nullptr));
  EXPECT_EQ(L->GetKind(), lfUltraFlat);
  EXPECT_FALSE(L->GetNativeStyle());
  EXPECT_EQ(PainterName(L->GetPainter()), "TcxUltraFlatLookAndFeelPainter");

  win::SetThemesActive(false);
  win::test::PumpUntilIdle();
  L->SetKind(lfStandard);
  L->SetNativeStyle(true);
  EXPECT_EQ(PainterName(L->GetPainter()), "TcxStandardLookAndFeelPainter");
  EXPECT_EQ(L->GetActiveStyle(), lfsStandard);
  L->SetStyle(lfsNative);  // no themes: the kind stays
  EXPECT_EQ(L->GetKind(), lfStandard);

  win::SetThemesActive(true);
  win::test::PumpUntilIdle();
  EXPECT_EQ(PainterName(L->GetPainter()), "TcxWinXPLookAndFeelPainter");
  EXPECT_EQ(L->GetActiveStyle(), lfsNative);
  L->SetStyle(lfsOffice11);
  EXPECT_EQ(PainterName(L->GetPainter()), "TcxOffice11LookAndFeelPainter");
}

TEST_F(cxLookAndFeels, AFixedPainterHoldsWhateverTheKindBecomes) {
  TOwned<TcxLookAndFeel> L(New<TcxLookAndFeel>(nullptr));
  Watch(L.get(), "L");
  // The painter that draws now, fixed: nothing to tell yet.
  L->SetPainter(TcxUltraFlatLookAndFeelPainter::StaticClass());
  EXPECT_TRUE(log.empty());
  RootLookAndFeel()->SetKind(lfFlat);
  EXPECT_EQ(L->GetKind(), lfFlat);
  EXPECT_EQ(PainterName(L->GetPainter()), "TcxUltraFlatLookAndFeelPainter");
  L->SetKind(lfOffice11);
  EXPECT_EQ(PainterName(L->GetPainter()), "TcxUltraFlatLookAndFeelPainter");
  // Unfixed, the kind decides again.
  log.clear();
  L->SetPainter({});
  EXPECT_EQ(PainterName(L->GetPainter()), "TcxOffice11LookAndFeelPainter");
  EXPECT_EQ(log, (std::vector<std::string>{"L:KN"}));
  RootLookAndFeel()->Reset();
}

TEST_F(cxLookAndFeels, ChangesRippleDownTheChainAndStopWhereAValueIsAssigned) {
  TcxLookAndFeel* root = RootLookAndFeel();
  TOwned<TcxLookAndFeel> A(New<TcxLookAndFeel>(nullptr));
  TOwned<TcxLookAndFeel> B(New<TcxLookAndFeel>(nullptr));
  TOwned<TcxLookAndFeel> C(New<TcxLookAndFeel>(nullptr));
  B->SetMasterLookAndFeel(A.get());
  C->SetMasterLookAndFeel(B.get());
  Watch(A.get(), "A");
  Watch(B.get(), "B");
  Watch(C.get(), "C");

  B->SetKind(lfUltraFlat);  // already in effect: assigned, but no notice
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(B->GetAssignedValues().Contains(lfvKind));

  root->SetKind(lfFlat);
  // B hears the change but passes nothing on for the kind it assigns.
  EXPECT_EQ(A->GetKind(), lfFlat);
  EXPECT_EQ(B->GetKind(), lfUltraFlat);
  EXPECT_EQ(C->GetKind(), lfUltraFlat);
  EXPECT_EQ(log, (std::vector<std::string>{"A:K"}));

  log.clear();
  root->SetNativeStyle(true);
  // Each object tells its listeners before its own handler hears it.
  EXPECT_EQ(log, (std::vector<std::string>{"C:N", "B:N", "A:N"}));
  EXPECT_TRUE(C->GetNativeStyle());
  root->Reset();
  EXPECT_EQ(root->GetKind(), lfUltraFlat);
  EXPECT_FALSE(C->GetNativeStyle());
}

TEST_F(cxLookAndFeels, ADestroyedMasterHandsItsListenersToTheRoot) {
  RootLookAndFeel()->SetKind(lfOffice11);
  auto* master = New<TcxLookAndFeel>(nullptr);
  master->SetKind(lfStandard);
  TOwned<TcxLookAndFeel> A(New<TcxLookAndFeel>(nullptr));
  TOwned<TcxLookAndFeel> B(New<TcxLookAndFeel>(nullptr));
  A->SetMasterLookAndFeel(master);
  B->SetMasterLookAndFeel(master);
  Watch(A.get(), "A");
  Watch(B.get(), "B");
  master->Free();
  EXPECT_EQ(log, (std::vector<std::string>{"A:K", "B:K"}));
  EXPECT_EQ(A->GetMasterLookAndFeel(), RootLookAndFeel());
  EXPECT_EQ(B->GetKind(), lfOffice11);
  RootLookAndFeel()->Reset();
  EXPECT_EQ(B->GetKind(), lfUltraFlat);
}

TEST_F(cxLookAndFeels, AListenerFreedByAnotherWhileTheMasterGoesIsNotToldAgain) {
  RootLookAndFeel()->SetKind(lfOffice11);
  auto* master = New<TcxLookAndFeel>(nullptr);
  master->SetKind(lfStandard);
  TOwned<TcxLookAndFeel> A(New<TcxLookAndFeel>(nullptr));
  TcxLookAndFeel* B = New<TcxLookAndFeel>(nullptr);
  TOwned<TcxLookAndFeel> C(New<TcxLookAndFeel>(nullptr));
  for (TcxLookAndFeel* L : {A.get(), B, C.get()}) L->SetMasterLookAndFeel(master);
  Watch(C.get(), "C");
  // A's control takes B's away as soon as its look changes.
  A->OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues) {
    if (!B) return;
    B->Free();
    B = nullptr;
  };
  master->Free();
  EXPECT_EQ(B, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"C:K"}));
  EXPECT_EQ(A->GetKind(), lfOffice11);
  EXPECT_EQ(C->GetMasterLookAndFeel(), RootLookAndFeel());
  RootLookAndFeel()->Reset();
}

TEST_F(cxLookAndFeels, AListenerThatLeavesWhileNotifiedDoesNotMakeTheWalkSkipAnother) {
  TOwned<TcxLookAndFeel> A(New<TcxLookAndFeel>(nullptr));
  TOwned<TcxLookAndFeel> B(New<TcxLookAndFeel>(nullptr));
  TOwned<TcxLookAndFeel> other(New<TcxLookAndFeel>(nullptr));
  Watch(B.get(), "B");
  // A moves to another master as soon as it hears the root.
  A->OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues) { A->SetMasterLookAndFeel(other.get()); };
  RootLookAndFeel()->SetKind(lfFlat);
  EXPECT_EQ(log, (std::vector<std::string>{"B:K"}));
  EXPECT_EQ(A->GetMasterLookAndFeel(), other.get());
  RootLookAndFeel()->Reset();
}

TEST_F(cxLookAndFeels, TheLastControllerToGoResetsTheRoot) {
  auto* c1 = New<TcxLookAndFeelController>(nullptr);
  auto* c2 = New<TcxLookAndFeelController>(nullptr);
  c1->SetKind(lfOffice11);
  c2->SetNativeStyle(true);
  TOwned<TcxLookAndFeel> L(New<TcxLookAndFeel>(nullptr));
  EXPECT_EQ(L->GetKind(), lfOffice11);
  c1->Free();
  EXPECT_EQ(RootLookAndFeel()->GetKind(), lfOffice11);
  EXPECT_TRUE(c2->GetNativeStyle());
  c2->Free();
  EXPECT_EQ(RootLookAndFeel()->GetKind(), lfUltraFlat);
  EXPECT_FALSE(L->GetNativeStyle());
  // A controller is no listener of anything but the root.
  TOwned<TcxLookAndFeelController> c3(New<TcxLookAndFeelController>(nullptr));
  L->AddChangeListener(c3.get());
  c3->SetKind(lfFlat);
  EXPECT_EQ(L->GetKind(), lfFlat);
}

TEST_F(cxLookAndFeels, ASystemColourChangeReachesSharedImagesFirstThenEveryLookAndFeel) {
  TOwned<TcxLookAndFeel> A(New<TcxLookAndFeel>(nullptr));
  TOwned<TcxLookAndFeel> B(New<TcxLookAndFeel>(nullptr));
  B->SetKind(lfStandard);
  Watch(A.get(), "A");
  Watch(B.get(), "B");
  TOwned<TcxSystemPaletteChangedNotifier> shared(New<TcxSystemPaletteChangedNotifier>(true));
  shared->OnSystemPaletteChanged = [&] { log.push_back("shared images"); };

  const int index[] = {win::COLOR_BTNFACE};
  const COLORREF colour[] = {win::RGB(200, 210, 220)};
  win::SetSysColors(1, index, colour);
  win::test::PumpUntilIdle();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "shared images");
  // The notifiers are walked newest first; the root's own notice reaches
  // both again.
  EXPECT_EQ(log, (std::vector<std::string>{"shared images", "B:N", "A:N", "A:N", "B:N"}));
}

TEST_F(cxLookAndFeels, AThemeSwitchRedrawsWhatIsDrawnInTheSystemsLook) {
  // What the screen shows at a client point of a control.
  auto shown = [&](TControl* c, int x, int y) {
    win::test::PumpUntilIdle();
    const TPoint s = c->ClientToScreen({x, y});
    win::RECT wr;
    win::GetWindowRect(form->GetHandle(), &wr);
    const auto* surface = session.Win().Screen().Find(win::detail::Peek(form->GetHandle())->surface);
    if (!surface) return clNone;
    const std::size_t i = (static_cast<std::size_t>(s.Y - wr.Top) * static_cast<std::size_t>(surface->rect.Width()) +
                           static_cast<std::size_t>(s.X - wr.Left)) * 4;
    return static_cast<TColor>(win::RGB(surface->pixels[i + 2], surface->pixels[i + 1], surface->pixels[i]));
  };
  const win::theme::ThemeNames names = win::theme::CurrentNames();
  win::test::SetThemeNames(u"luna.msstyles", u"NormalColor", u"NormalSize");
  win::SetThemesActive(true);
  win::test::PumpUntilIdle();
  auto* button = Place<TcxButton>({10, 10, 110, 40});
  button->SetText("");
  button->GetLookAndFeel()->SetNativeStyle(true);
  TOwned<TcxLookAndFeel> office(New<TcxLookAndFeel>(nullptr));
  office->SetKind(lfOffice11);
  Watch(office.get(), "O");
  ShowForm();
  const TColor themedFace = shown(button, 50, 15);
  EXPECT_EQ(GetOffice11Scheme(), schNormalColor);

  // Off: the button shows the classic face at once, and the Office-11
  // colours leave the theme's scheme.
  win::SetThemesActive(false);
  win::test::PumpUntilIdle();
  const TColor classicFace = shown(button, 50, 15);
  EXPECT_NE(classicFace, themedFace);
  EXPECT_EQ(GetOffice11Scheme(), schUnknown);
  // An Office-11 control hears it too: its colours are new.
  EXPECT_FALSE(log.empty());

  // On again, with another scheme.
  win::test::SetThemeNames(u"luna.msstyles", u"Metallic", u"NormalSize");
  win::SetThemesActive(true);
  win::test::PumpUntilIdle();
  EXPECT_EQ(shown(button, 50, 15), themedFace);
  EXPECT_EQ(GetOffice11Scheme(), schMetallic);
  win::theme::SetNames(names);
  win::test::PumpUntilIdle();
}

TEST_F(cxLookAndFeels, AssignCopiesTheLocalValuesAndTheMaster) {
  TOwned<TcxLookAndFeel> master(New<TcxLookAndFeel>(nullptr));
  master->SetNativeStyle(true);
  TOwned<TcxLookAndFeel> source(New<TcxLookAndFeel>(nullptr));
  source->SetMasterLookAndFeel(master.get());
  source->SetKind(lfStandard);
  TOwned<TcxLookAndFeel> target(New<TcxLookAndFeel>(nullptr));
  Watch(target.get(), "T");
  target->Assign(source.get());
  EXPECT_EQ(log, (std::vector<std::string>{"T:KN"}));
  EXPECT_EQ(target->GetAssignedValues(), TcxLookAndFeelValues{lfvKind});
  EXPECT_EQ(target->GetMasterLookAndFeel(), master.get());
  EXPECT_TRUE(target->GetNativeStyle());
}

TEST_F(cxLookAndFeels, AMasterWhoseChainLeadsBackIsRefusedAndChangesStillEnd) {
  // A <- B <- C: C follows B, B follows A.
  TOwned<TcxLookAndFeel> A(New<TcxLookAndFeel>(nullptr));
  TOwned<TcxLookAndFeel> B(New<TcxLookAndFeel>(nullptr));
  TOwned<TcxLookAndFeel> C(New<TcxLookAndFeel>(nullptr));
  B->SetMasterLookAndFeel(A.get());
  C->SetMasterLookAndFeel(B.get());
  A->SetMasterLookAndFeel(B.get());
  A->SetMasterLookAndFeel(C.get());
  EXPECT_EQ(A->GetMasterLookAndFeel(), RootLookAndFeel());
  // Assign takes the source's master, but not one that leads back either.
  TOwned<TcxLookAndFeel> source(New<TcxLookAndFeel>(nullptr));
  source->SetMasterLookAndFeel(C.get());
  source->SetKind(lfFlat);
  A->Assign(source.get());
  EXPECT_EQ(A->GetMasterLookAndFeel(), RootLookAndFeel());
  EXPECT_EQ(C->GetKind(), lfFlat);

  // Changes that no one on the chain assigns run down it once and stop.
  Watch(A.get(), "A");
  Watch(C.get(), "C");
  A->SetPainter(TcxStandardLookAndFeelPainter::StaticClass());
  EXPECT_EQ(log, (std::vector<std::string>{"C:KN", "A:KN"}));
  log.clear();
  const int index[] = {win::COLOR_BTNFACE};
  const COLORREF colour[] = {win::RGB(190, 200, 210)};
  win::SetSysColors(1, index, colour);
  win::test::PumpUntilIdle();
  EXPECT_FALSE(log.empty());
}

TEST_F(cxLookAndFeels, ALayoutMarksTheValuesItSetsAsAssigned) {
  TComponent* built = forms::test::BuildFromText(R"(object Host: TForm
  object Bar: TcxScrollBar
    Left = 8
    Top = 8
    Width = 100
    Height = 17
    LookAndFeel.Kind = lfOffice11
  end
end)");
  auto* bar = dynamic_cast<TcxScrollBar*>(built->FindComponent("Bar"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetLookAndFeel()->GetAssignedValues(), TcxLookAndFeelValues{lfvKind});
  EXPECT_EQ(bar->GetLookAndFeel()->GetKind(), lfOffice11);
  // The root's native style still reaches it; its kind no longer does.
  RootLookAndFeel()->SetKind(lfFlat);
  RootLookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(bar->GetLookAndFeel()->GetKind(), lfOffice11);
  EXPECT_TRUE(bar->GetLookAndFeel()->GetNativeStyle());
  RootLookAndFeel()->Reset();
  built->Free();
}

TEST_F(cxLookAndFeels, ATreeOfControlsTakesOneLookAndFeel) {
  TcxScrollBar* outsider = Place<TcxScrollBar>({0, 0, 100, 17});
  TcxLookAndFeel* master = New<TcxLookAndFeel>(nullptr);
  master->SetKind(lfStandard);
  // Scroll bars own a look-and-feel but are no containers: only the
  // button below is reached.
  auto* button = Place<TcxButton>({0, 20, 80, 45});
  SetControlLookAndFeel(form, master);
  EXPECT_EQ(button->GetLookAndFeel()->GetMasterLookAndFeel(), master);
  EXPECT_EQ(button->GetLookAndFeel()->GetKind(), lfStandard);
  EXPECT_EQ(outsider->GetLookAndFeel()->GetMasterLookAndFeel(), RootLookAndFeel());
  SetControlLookAndFeel(form, lfOffice11, true);
  EXPECT_EQ(button->GetLookAndFeel()->GetAssignedValues(), (TcxLookAndFeelValues{lfvKind, lfvNativeStyle}));
  master->Free();
  EXPECT_EQ(button->GetLookAndFeel()->GetMasterLookAndFeel(), RootLookAndFeel());
}
