// Edit styles: each of the button and popup values reads the style's own
// value, then the controller's style of the same state, then the normal
// style, then the default — with an own controller, with the default one,
// never for editors in grid cells or for direct values — and layouts store
// only what is assigned and published for the state.
#include <gtest/gtest.h>

#include "library/editors/EditTestDoubles.h"
#include "library/editors/EditorSession.h"
#include "platform/rtl/ObjectText.h"

namespace {

// An editor with its four styles, publishing them as editors do.
class TTestStyledEdit : public TcxTestEditOwner {
  ORV_CLASS(TTestStyledEdit, TcxTestEditOwner)
 public:
  explicit TTestStyledEdit(TComponent* AOwner) : TcxTestEditOwner(AOwner) {}
  void AfterConstruction() override {
    TcxTestEditOwner::AfterConstruction();
    Styles = New<TcxContainerStyles>(this, TcxContainerStyleClass(TcxEditStyle::StaticClass()));
  }
  ~TTestStyledEdit() override { ::Free(Styles); }
  TcxEditStyle* Get(TcxContainerStateItem AState) const { return static_cast<TcxEditStyle*>(Styles->GetStyle(AState)); }
  TcxEditStyle* GetStyle() const { return Get(csNormal); }
  void SetStyle(TcxEditStyle* Value) { Styles->SetStyle(csNormal, Value); }
  TcxEditStyle* GetStyleFocused() const { return Get(csActive); }
  void SetStyleFocused(TcxEditStyle* Value) { Styles->SetStyle(csActive, Value); }
  TcxContainerStyles* Styles = nullptr;
};

class TTestStyleRoot : public TComponent {
  ORV_CLASS(TTestStyleRoot, TComponent)
 public:
  explicit TTestStyleRoot(TComponent* AOwner) : TComponent(AOwner) {}
};

}  // namespace

ORV_REGISTER(TTestStyledEdit, ORV_PROP(Style), ORV_PROP(StyleFocused))
ORV_REGISTER(TTestStyleRoot)

namespace {

constexpr TcxContainerStateItem AllStates[] = {csNormal, csActive, csDisabled, csHotTrack};

// The four values of one style, read at once.
struct Values {
  TcxEditButtonStyle ButtonStyle;
  TcxEditButtonTransparency Transparency;
  bool Gradient;
  TcxEditPopupBorderStyle PopupBorder;
  bool operator==(const Values&) const = default;
};

Values Read(TcxCustomEditStyle* style) {
  return {style->GetButtonStyle(), style->GetButtonTransparency(), style->GetGradientButtons(),
          style->GetPopupBorderStyle()};
}

void PrintTo(const Values& v, std::ostream* os) {
  *os << "{" << v.ButtonStyle << ", " << v.Transparency << ", " << v.Gradient << ", " << v.PopupBorder << "}";
}

const Values Defaults{btsDefault, ebtNone, false, epbsDefault};

class EditStylesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    controller = New<TcxEditStyleController>(nullptr);
    edit = New<TTestStyledEdit>(nullptr);
  }
  void TearDown() override {
    Free(edit);
    Free(controller);
    if (DefaultEditStyleController()) DefaultEditStyleController()->RestoreStyles();
  }
  edit_test::EditorSession session;
  TcxEditStyleController* controller = nullptr;
  TTestStyledEdit* edit = nullptr;
};

TEST_F(EditStylesTest, EachStateReadsItsOwnValueThenTheControllersSameStateThenItsNormalStyle) {
  edit->GetStyle()->SetStyleController(controller);
  for (TcxContainerStateItem s : AllStates) EXPECT_EQ(Read(edit->Get(s)), Defaults) << s;

  // The controller's normal style reaches every state of the editor.
  TcxEditStyle* controllerNormal = controller->GetStyle();
  controllerNormal->SetButtonStyle(btsFlat);
  controllerNormal->SetButtonTransparency(ebtAlways);
  controllerNormal->SetGradientButtons(true);
  controllerNormal->SetPopupBorderStyle(epbsFlat);
  const Values fromController{btsFlat, ebtAlways, true, epbsFlat};
  for (TcxContainerStateItem s : AllStates) EXPECT_EQ(Read(edit->Get(s)), fromController) << s;
  EXPECT_TRUE(edit->GetStyle()->IsValueAssigned(svButtonStyle)) << "assigned along the controller chain";

  // A button style set on the controller's focused style stays on that
  // state; the other three values set there land on its normal style.
  controller->GetStyleFocused()->SetButtonStyle(bts3D);
  controller->GetStyleFocused()->SetPopupBorderStyle(epbsFrame3D);
  EXPECT_EQ(controllerNormal->GetButtonStyle(), btsFlat);
  EXPECT_EQ(controllerNormal->GetPopupBorderStyle(), epbsFrame3D);

  // The editor's own normal value comes before the controller's; its focused
  // style asks the controller's focused style before its own normal style.
  edit->GetStyle()->SetButtonStyle(btsSimple);
  edit->GetStyle()->SetGradientButtons(false);
  EXPECT_EQ(Read(edit->Get(csNormal)), (Values{btsSimple, ebtAlways, false, epbsFrame3D}));
  EXPECT_EQ(Read(edit->Get(csActive)), (Values{bts3D, ebtAlways, false, epbsFrame3D}));
  EXPECT_EQ(Read(edit->Get(csHotTrack)), (Values{btsSimple, ebtAlways, false, epbsFrame3D}));
  EXPECT_EQ(Read(edit->Get(csDisabled)), (Values{btsSimple, ebtAlways, false, epbsFrame3D}));

  // A state's own button style wins; the others written on a state go to
  // the normal style and so to every state.
  edit->Get(csHotTrack)->SetButtonStyle(btsUltraFlat);
  edit->Get(csActive)->SetButtonStyle(btsOffice11);
  edit->Get(csDisabled)->SetButtonTransparency(ebtHideInactive);
  edit->Get(csActive)->SetPopupBorderStyle(epbsSingle);
  EXPECT_EQ(Read(edit->Get(csNormal)), (Values{btsSimple, ebtHideInactive, false, epbsSingle}));
  EXPECT_EQ(Read(edit->Get(csActive)), (Values{btsOffice11, ebtHideInactive, false, epbsSingle}));
  EXPECT_EQ(Read(edit->Get(csHotTrack)), (Values{btsUltraFlat, ebtHideInactive, false, epbsSingle}));
  EXPECT_EQ(Read(edit->Get(csDisabled)), (Values{btsSimple, ebtHideInactive, false, epbsSingle}));

  // The close button belongs to the normal style, whichever state is asked.
  edit->Get(csHotTrack)->SetPopupCloseButton(false);
  EXPECT_FALSE(edit->GetStyle()->GetPopupCloseButton());
  EXPECT_FALSE(edit->Get(csActive)->GetPopupCloseButton());
}

TEST_F(EditStylesTest, WithoutAControllerTheDefaultOneLendsItsValuesExceptInPlaceAndForDirectValues) {
  TcxEditStyleController* fallback = DefaultEditStyleController();
  ASSERT_NE(fallback, nullptr);
  EXPECT_EQ(cxContainerDefaultStyleController, fallback);
  fallback->GetStyle()->SetButtonStyle(btsHotFlat);
  fallback->GetStyleHot()->SetButtonStyle(bts3D);
  fallback->GetStyle()->SetPopupBorderStyle(epbsSingle);

  EXPECT_EQ(edit->GetStyle()->GetStyleController(), nullptr) << "the default controller is not named";
  for (TcxContainerStateItem s : {csNormal, csActive, csDisabled})
    EXPECT_EQ(Read(edit->Get(s)), (Values{btsHotFlat, ebtNone, false, epbsSingle})) << s;
  EXPECT_EQ(edit->Get(csHotTrack)->GetButtonStyle(), bts3D);

  auto* cell = New<TTestStyledEdit>(nullptr);
  cell->Inplace = true;
  auto* cellStyles = New<TcxContainerStyles>(cell, TcxContainerStyleClass(TcxEditStyle::StaticClass()));
  for (TcxContainerStateItem s : AllStates)
    EXPECT_EQ(Read(static_cast<TcxEditStyle*>(cellStyles->GetStyle(s))), Defaults) << "in place, state " << s;
  cellStyles->Free();
  cell->Free();

  auto* direct = New<TcxEditStyle>(nullptr, true, nullptr, csNormal);
  EXPECT_EQ(Read(direct), Defaults);
  direct->SetButtonStyle(btsFlat);
  EXPECT_EQ(Read(direct), (Values{btsFlat, ebtNone, false, epbsDefault}));
  auto* directFocused = New<TcxEditStyle>(nullptr, true, direct, csActive);
  EXPECT_EQ(directFocused->GetButtonStyle(), btsFlat) << "a direct state style falls back to its normal style";
  directFocused->Free();
  direct->Free();
}

TEST_F(EditStylesTest, ALayoutStoresOnlyAssignedValuesPublishedForTheStateAndTheControllerOnNormal) {
  RegisterClasses({TTestStyleRoot::StaticClass(), TTestStyledEdit::StaticClass()});
  const char* const text =
      "object Root: TTestStyleRoot\r\n"
      "  object Controller1: TcxEditStyleController\r\n"
      "    Style.ButtonStyle = btsFlat\r\n"
      "    StyleFocused.BorderStyle = ebsThick\r\n"
      "  end\r\n"
      "  object Edit1: TTestStyledEdit\r\n"
      "    Style.BorderStyle = ebsSingle\r\n"
      "    Style.StyleController = Controller1\r\n"
      "    Style.ButtonStyle = bts3D\r\n"
      "    Style.PopupBorderStyle = epbsFlat\r\n"
      "    StyleFocused.BorderStyle = ebsUltraFlat\r\n"
      "    StyleFocused.ButtonStyle = btsHotFlat\r\n"
      "  end\r\n"
      "end\r\n";
  TComponent* root = ReadComponentFromText(text, nullptr);
  auto* edit1 = static_cast<TTestStyledEdit*>(root->FindComponent("Edit1"));
  auto* controller1 = static_cast<TcxEditStyleController*>(root->FindComponent("Controller1"));
  ASSERT_NE(edit1, nullptr);
  EXPECT_EQ(edit1->GetStyle()->GetStyleController(), controller1);
  EXPECT_EQ(edit1->GetStyleFocused()->GetButtonStyle(), btsHotFlat);
  EXPECT_EQ(edit1->GetStyleFocused()->GetEditBorderStyle(), ebsUltraFlat);
  EXPECT_EQ(edit1->Get(csDisabled)->GetButtonStyle(), bts3D);
  EXPECT_EQ(ComponentToText(root), text) << "a full round trip";

  // A value the editor does not publish for its other states is not stored
  // there even when assigned.
  edit1->NotPublishedExtended = {"ButtonStyle"};
  AnsiString written = ComponentToText(root);
  EXPECT_EQ(written.find("StyleFocused.ButtonStyle"), AnsiString::npos);
  EXPECT_NE(written.find("StyleFocused.BorderStyle = ebsUltraFlat"), AnsiString::npos);
  EXPECT_NE(written.find("Style.ButtonStyle = bts3D"), AnsiString::npos);
  root->Free();
}

TEST_F(EditStylesTest, TheLastDesignerStandInGoneRestoresTheDefaultStyles) {
  struct Listener : TObject {
    void Changed(TObject*) {}
  } listener;
  TcxEditStyleController* fallback = DefaultEditStyleController();
  auto* first = New<TcxDefaultEditStyleController>(nullptr);
  auto* second = New<TcxDefaultEditStyleController>(nullptr);
  EXPECT_EQ(TcxDefaultEditStyleController::InstanceCount(), 2);
  first->GetStyle()->SetButtonStyle(btsFlat);
  first->SetOnStyleChanged(TNotifyEvent::Bind<&Listener::Changed>(&listener));
  EXPECT_EQ(fallback->GetStyle()->GetButtonStyle(), btsFlat) << "the stand-in edits the default controller";
  EXPECT_EQ(second->GetOnStyleChanged(), fallback->OnStyleChanged);

  first->Free();
  EXPECT_EQ(fallback->GetStyle()->GetButtonStyle(), btsFlat);
  EXPECT_TRUE(fallback->OnStyleChanged.Assigned());
  second->Free();
  EXPECT_EQ(TcxDefaultEditStyleController::InstanceCount(), 0);
  EXPECT_EQ(fallback->GetStyle()->GetButtonStyle(), btsDefault);
  EXPECT_FALSE(fallback->OnStyleChanged.Assigned());
}

}  // namespace
