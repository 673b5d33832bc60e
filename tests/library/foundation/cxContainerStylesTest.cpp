// Container styles: values read through state, base, controller and
// default; one change notice per update; controllers linked without cycles
// and let go when they are freed; fonts lent by a controller; the plain
// value holders of direct access.
#include <vector>

#include "ControlsSession.h"
#include "library/foundation/cxContainer.h"
#include "platform/rtl/Owned.h"

namespace {

// A control that owns a style, answering its questions as a container does.
class TStyleHost : public TWinControl, public IcxContainerStyleOwner {
  ORV_CLASS(TStyleHost, TWinControl)
 public:
  explicit TStyleHost(TComponent* AOwner) : TWinControl(AOwner) {}
  TWinControl* GetStyleOwnerControl() override { return this; }
  bool IsStylePropertyPublished(const AnsiString& APropertyName, bool AExtended) override {
    return !(AExtended && APropertyName == "Color");
  }
  bool DefaultParentColor() override { return defaultParentColor; }
  bool IsInplace() override { return false; }
  bool defaultParentColor = false;
};

class cxContainerStyles : public ControlsSession {
 protected:
  int changes = 0;
  TOwned<TcxContainerStyles> Styles(TPersistent* owner = nullptr) {
    TOwned<TcxContainerStyles> s(New<TcxContainerStyles>(owner, TcxContainerStyleClass(TcxContainerStyle::StaticClass())));
    s->SetOnChanged([this](TObject*) { ++changes; });
    return s;
  }
};

}  // namespace

ORV_REGISTER(TStyleHost)

TEST_F(cxContainerStyles, StateStylesStrengthenTheBaseBorderOnlyWhileHotTracking) {
  auto s = Styles();
  TcxContainerStyle* base = s->GetStyleNormal();
  EXPECT_EQ(base->GetBorderStyle(), cbsUltraFlat);  // from the look-and-feel kind
  base->GetLookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(base->GetBorderStyle(), cbs3D);

  base->SetBorderStyle(cbsNone);
  EXPECT_EQ(s->GetStyleFocused()->GetBorderStyle(), cbsFlat);
  EXPECT_EQ(s->GetStyleHot()->GetBorderStyle(), cbsFlat);
  EXPECT_EQ(s->GetStyleDisabled()->GetBorderStyle(), cbsNone);
  base->SetBorderStyle(cbsSingle);
  EXPECT_EQ(s->GetStyleFocused()->GetBorderStyle(), cbsThick);

  // Hot tracking is the base style's, even when set through a state style.
  s->GetStyleHot()->SetHotTrack(false);
  EXPECT_FALSE(base->GetHotTrack());
  EXPECT_EQ(s->GetStyleFocused()->GetBorderStyle(), cbsSingle);
  EXPECT_EQ(s->GetStyleHot()->GetBorderStyle(), cbsSingle);

  // A state's own border wins; disabled colours have their own defaults.
  s->GetStyleFocused()->SetBorderStyle(cbsOffice11);
  EXPECT_EQ(s->GetStyleFocused()->GetBorderStyle(), cbsOffice11);
  EXPECT_EQ(s->GetStyleDisabled()->GetBorderColor(), clBtnShadow);
  EXPECT_EQ(s->GetStyleDisabled()->GetTextColor(), clBtnShadow);
  base->SetBorderColor(clRed);
  EXPECT_EQ(s->GetStyleHot()->GetBorderColor(), clRed);
}

TEST_F(cxContainerStyles, SettersMarkValuesAndAnUpdateRaisesOneNotice) {
  auto s = Styles();
  TcxContainerStyle* base = s->GetStyleNormal();
  EXPECT_FALSE(base->IsValueAssigned(csvShadow));
  base->SetShadow(false);  // the default, still assigned
  EXPECT_TRUE(base->IsValueAssigned(csvShadow));
  EXPECT_EQ(changes, 1);
  base->SetShadow(false);
  base->SetTextColor(base->GetTextColor());
  base->SetTextColor(base->GetTextColor());
  EXPECT_EQ(changes, 2);

  changes = 0;
  base->BeginUpdate();
  base->SetBorderColor(clRed);
  base->SetBorderStyle(cbsThick);
  base->SetColor(clYellow);
  base->SetEdges({bLeft, bTop});
  base->SetHotTrack(false);
  base->SetShadow(true);
  base->SetTextColor(clBlue);
  base->SetTextStyle({fsBold});
  base->SetTransparentBorder(false);
  base->GetFont()->SetSize(12);
  EXPECT_EQ(changes, 0);
  base->EndUpdate();
  EXPECT_EQ(changes, 1);
  base->EndUpdate();  // unbalanced: nothing happens
  base->SetColor(clLime);
  EXPECT_EQ(changes, 2);

  for (TcxContainerStyleValue i = 0; i < 10; ++i) EXPECT_TRUE(base->IsValueAssigned(i)) << i;
  EXPECT_FALSE(base->IsValueAssigned(10));
  EXPECT_EQ(base->GetVisibleFont()->GetColor(), clBlue);
  EXPECT_EQ(base->GetVisibleFont()->GetStyle(), TFontStyles{fsBold});

  // Defaults come back, and with them the font of a fresh style.
  base->RestoreDefaults();
  EXPECT_TRUE(base->GetAssignedValues().Empty());
  EXPECT_EQ(base->GetFont()->GetSize(), 8);
  EXPECT_TRUE(base->GetShadow() == false && base->GetHotTrack());
}

TEST_F(cxContainerStyles, ControllersLendUnassignedValuesAndRefuseCycles) {
  TOwned<TcxStyleController> a(New<TcxStyleController>(nullptr));
  TOwned<TcxStyleController> b(New<TcxStyleController>(nullptr));
  auto s = Styles();
  TcxContainerStyle* base = s->GetStyleNormal();
  base->SetStyleController(a.get());
  EXPECT_EQ(base->GetStyleController(), a.get());
  changes = 0;

  a->GetStyle()->SetColor(clAqua);
  a->GetInternalStyle(csActive)->SetBorderColor(clPurple);
  EXPECT_EQ(changes, 2);  // each controller change reaches its listeners
  EXPECT_EQ(base->GetColor(), clAqua);
  EXPECT_TRUE(base->IsValueAssigned(csvColor));
  EXPECT_FALSE(base->GetAssignedValues().Contains(csvColor));
  EXPECT_EQ(s->GetStyleFocused()->GetBorderColor(), clPurple);
  EXPECT_EQ(s->GetStyleHot()->GetBorderColor(), clWindowFrame);
  base->SetColor(clMaroon);
  EXPECT_EQ(base->GetColor(), clMaroon);

  // Values reach through a chain of controllers.
  a->GetStyle()->SetStyleController(b.get());
  b->GetStyle()->SetTextColor(clTeal);
  EXPECT_EQ(base->GetTextColor(), clTeal);

  // b -> a would close the loop a -> b: refused.
  b->GetStyle()->SetStyleController(a.get());
  EXPECT_EQ(b->GetStyle()->GetStyleController(), nullptr);
  a->GetStyle()->SetStyleController(a.get());
  EXPECT_EQ(a->GetStyle()->GetStyleController(), b.get());

  // Freeing a controller lets its listeners go back to the default one.
  b.reset();
  EXPECT_EQ(a->GetStyle()->GetStyleController(), nullptr);
  EXPECT_EQ(base->GetTextColor(), clWindowText);
  a.reset();
  EXPECT_EQ(base->GetStyleController(), nullptr);
  EXPECT_EQ(base->GetColor(), clMaroon);
}

TEST_F(cxContainerStyles, TheDefaultControllerStandsInForNilAndMayGo) {
  auto* def = New<TcxStyleController>(nullptr);
  cxContainerDefaultStyleController = def;
  def->GetStyle()->SetColor(clOlive);
  auto s = Styles();
  TcxContainerStyle* base = s->GetStyleNormal();
  EXPECT_EQ(base->GetActiveStyleController(), def);
  EXPECT_EQ(base->GetStyleController(), nullptr);  // the default is not named
  EXPECT_EQ(base->GetColor(), clOlive);

  TOwned<TcxStyleController> other(New<TcxStyleController>(nullptr));
  base->SetStyleController(other.get());
  base->SetStyleController(nullptr);
  EXPECT_EQ(base->GetActiveStyleController(), def);

  // The default going leaves no style and no global pointing at it.
  def->Free();
  EXPECT_EQ(cxContainerDefaultStyleController, nullptr);
  EXPECT_EQ(base->GetActiveStyleController(), nullptr);
  EXPECT_EQ(base->GetColor(), clBtnFace);
}

TEST_F(cxContainerStyles, ControllerFontsKeepFlowingUntilTheStyleSetsItsOwn) {
  TOwned<TcxStyleController> c(New<TcxStyleController>(nullptr));
  auto s = Styles();
  TcxContainerStyle* base = s->GetStyleNormal();
  c->GetStyle()->GetFont()->SetName("Arial");
  base->SetStyleController(c.get());
  EXPECT_EQ(base->GetFont()->GetName(), "Arial");
  EXPECT_FALSE(base->GetAssignedValues().Contains(csvFont));
  c->GetStyle()->GetFont()->SetSize(14);
  EXPECT_EQ(base->GetFont()->GetSize(), 14);

  base->GetFont()->SetSize(10);
  EXPECT_TRUE(base->GetAssignedValues().Contains(csvFont));
  c->GetStyle()->GetFont()->SetSize(20);
  EXPECT_EQ(base->GetFont()->GetSize(), 10);

  // Scaling reaches the controller that owns the font, once.
  c->ChangeFontScale(3, 2);
  c->ChangeFontScale(3, 2);
  EXPECT_EQ(c->GetStyle()->GetFont()->GetSize(), 30);
}

TEST_F(cxContainerStyles, DirectAccessHoldsPlainValuesAndStaysSilent) {
  TOwned<TFont> font(New<TFont>());
  font->SetStyle({fsItalic});
  TOwned<TcxContainerStyle> d(New<TcxContainerStyle>(nullptr, true));
  int notices = 0;
  d->OnChanged = [&](TObject*) { ++notices; };
  d->SetFont(font.get());
  d->SetColor(clRed);
  d->SetBorderColor(clBlue);
  d->SetShadow(true);
  EXPECT_EQ(notices, 0);
  EXPECT_EQ(d->GetFont(), font.get());
  EXPECT_EQ(d->GetBorderColor(), clDefault);
  EXPECT_FALSE(d->GetShadow());
  EXPECT_TRUE(d->GetEdges().Empty());
  EXPECT_TRUE(d->GetTransparentBorder());
  EXPECT_EQ(d->GetTextStyle(), TFontStyles{fsItalic});
  for (TcxContainerStyleValue i = 0; i < 10; ++i) EXPECT_TRUE(d->IsValueAssigned(i)) << i;

  // A container style takes the holder's values, its text colour as the font's.
  auto s = Styles();
  d->SetTextColor(clGreen);
  s->SetStyleNormal(d.get());
  EXPECT_EQ(s->GetStyleNormal()->GetColor(), clRed);
  EXPECT_EQ(s->GetStyleNormal()->GetFont()->GetColor(), clGreen);
  EXPECT_NE(s->GetStyleNormal()->GetFont(), font.get());
}

TEST_F(cxContainerStyles, AContainerOwnerDecidesColoursAndWhatIsStored) {
  auto* host = Place<TStyleHost>({10, 10, 110, 40});
  form->SetColor(clYellow);
  host->SetParentColor(false);
  auto s = Styles(host);
  TcxContainerStyle* base = s->GetStyleNormal();
  EXPECT_EQ(base->GetContainer(), host);
  EXPECT_EQ(base->GetColor(), clWindow);
  EXPECT_EQ(s->GetStyleDisabled()->GetColor(), clBtnFace);
  host->defaultParentColor = true;
  base->RestoreDefaults();
  EXPECT_TRUE(host->GetParentColor());
  EXPECT_EQ(base->GetColor(), clYellow);
  EXPECT_EQ(s->GetStyleDisabled()->GetColor(), clYellow);
  EXPECT_EQ(base->GetStyleColor(), clYellow);

  base->SetColor(clRed);
  s->GetStyleHot()->SetColor(clRed);
  EXPECT_TRUE(base->IsColorStored());
  EXPECT_FALSE(s->GetStyleHot()->IsColorStored());  // not published for states
  EXPECT_TRUE(base->IsStyleControllerStored());
  EXPECT_FALSE(s->GetStyleHot()->IsStyleControllerStored());
  EXPECT_FALSE(base->IsExtendedStylePropertyPublished("font"));
  EXPECT_TRUE(base->IsExtendedStylePropertyPublished("TextColor"));
  EXPECT_FALSE(base->IsExtendedStylePropertyPublished("LookAndFeel"));
}
