// Forms built from their layouts: the resource named after the form class
// is read into the form with its nested controls, fields and events bound
// by name, Loaded called, then OnCreate; a form class without a layout is
// an error, and a form made with CreateNew needs none.
#include "platform/forms/Screen.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ObjectText.h"
#include "platform/rtl/Resources.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"
#include "ControlLog.h"

using namespace forms_test;

namespace {

// A control that notes when it is loaded.
class TLoadedControl : public TLogControl {
  ORV_CLASS(TLoadedControl, TLogControl)
 public:
  using TLogControl::TLogControl;

 protected:
  void Loaded() override {
    inherited::Loaded();
    Log().push_back(GetName() + " Loaded, parent " + (GetParent() ? GetParent()->GetName() : "-"));
  }
};
ORV_REGISTER(TLoadedControl)

class TLayoutForm : public TForm {
  ORV_CLASS(TLayoutForm, TForm)
 public:
  using TForm::TForm;
  TLoadedControl* Panel = nullptr;
  TLoadedControl* Button = nullptr;
  TLogGraphic* Marker = nullptr;
  int Clicks = 0;

  void ButtonClick(TObject* Sender) {
    ++Clicks;
    Log().push_back("ButtonClick from " + static_cast<TComponent*>(Sender)->GetName());
  }
  void FormCreate(TObject*) {
    Log().push_back(std::string("FormCreate, button ") + (Button ? "bound" : "missing"));
  }

  void AfterConstruction() override {
    inherited::AfterConstruction();
    Log().push_back("own construction");
  }
};
ORV_REGISTER(TLayoutForm, ORV_FIELD(Panel), ORV_FIELD(Button), ORV_FIELD(Marker), ORV_METHOD(ButtonClick),
             ORV_METHOD(FormCreate))

class TMissingLayoutForm : public TForm {
  ORV_CLASS(TMissingLayoutForm, TForm)
 public:
  using TForm::TForm;
};
ORV_REGISTER(TMissingLayoutForm)

const char* kLayout = R"(object LayoutForm: TLayoutForm
  Left = 120
  Top = 80
  ClientHeight = 150
  ClientWidth = 260
  BorderStyle = bsDialog
  Caption = 'Run '#39'Terrain'#39
  Color = clBtnFace
  Font.Height = -11
  Font.Name = 'Tahoma'
  OldCreateOrder = False
  Position = poDesigned
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object Panel: TLoadedControl
    Left = 8
    Top = 8
    Width = 240
    Height = 100
    Color = clWhite
    TabOrder = 1
    object Button: TLoadedControl
      Left = 10
      Top = 60
      Width = 75
      Height = 25
      TabOrder = 0
      OnClick = ButtonClick
    end
    object Marker: TLogGraphic
      Left = 100
      Top = 10
      Width = 20
      Height = 20
    end
  end
  object Second: TLoadedControl
    Left = 8
    Top = 115
    Width = 60
    Height = 20
    TabOrder = 0
  end
end
)";

class FormLayouts : public ::testing::Test {
 protected:
  forms::test::Session session;
  void SetUp() override {
    RegisterClasses({TLoadedControl::StaticClass(), TLogGraphic::StaticClass(), TLayoutForm::StaticClass()});
    RegisterResource("TLayoutForm", RT_RCDATA, kLayout, std::strlen(kLayout));
    TakeLog();
  }
  void TearDown() override {
    UnregisterResource("TLayoutForm", RT_RCDATA);
    EXPECT_TRUE(forms::test::RecordedExceptions().empty());
  }
};

TEST_F(FormLayouts, FormReadsItsLayoutThenRunsItsOwnConstruction) {
  auto* form = New<TLayoutForm>(Application);
  std::vector<std::string> log;
  for (const auto& l : TakeLog())
    if (l.find(" CM_") == std::string::npos && l.find(" WM_") == std::string::npos) log.push_back(l);
  // Loaded goes to every component once all are read, then OnCreate, then
  // the class's own construction code.
  EXPECT_EQ(log, Seq({"Panel Loaded, parent LayoutForm", "Button Loaded, parent Panel",
                      "Second Loaded, parent LayoutForm", "FormCreate, button bound", "own construction"}));
  ASSERT_NE(form->Panel, nullptr);
  ASSERT_NE(form->Button, nullptr);
  ASSERT_NE(form->Marker, nullptr);
  EXPECT_EQ(form->GetName(), "LayoutForm");
  EXPECT_EQ(form->GetCaption(), "Run 'Terrain'");
  EXPECT_EQ(form->GetBorderStyle(), bsDialog);
  EXPECT_EQ(form->Button->GetParent(), form->Panel);
  EXPECT_EQ(form->Marker->GetParent(), form->Panel);
  EXPECT_EQ(form->Panel->GetColor(), clWhite);
  EXPECT_EQ(form->Button->GetColor(), clWhite);  // follows its parent
  EXPECT_EQ(form->Button->GetFont()->GetName(), "Tahoma");
  EXPECT_EQ(form->GetClientWidth(), 260);
  EXPECT_EQ(form->GetClientHeight(), 150);
  std::vector<TWinControl*> order;
  form->GetTabOrderList(order);
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(order[0]->GetName(), "Second");

  // The layout's sizes hold once the window exists.
  form->Show();
  EXPECT_EQ(form->GetClientWidth(), 260);
  EXPECT_EQ(form->GetClientHeight(), 150);
  RECT client{};
  win::GetClientRect(form->GetHandle(), &client);
  EXPECT_EQ(client, Rect(0, 0, 260, 150));

  // The event was bound by name to the form's method.
  win::test::Click(form->Button->GetHandle(), {3, 3});
  win::test::PumpUntilIdle();
  EXPECT_EQ(form->Clicks, 1);
  form->Free();
}

TEST_F(FormLayouts, MissingLayoutIsAnErrorAndCreateNewNeedsNone) {
  Int64 live = TObject::LiveCount();
  try {
    New<TMissingLayoutForm>(Application);
    FAIL() << "a form class without a layout was made";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.GetMessage(), "Resource TMissingLayoutForm not found");
  }
  EXPECT_EQ(TObject::LiveCount(), live);
  auto* bare = TCustomForm::CreateNew<TMissingLayoutForm>(Application);
  EXPECT_EQ(bare->GetControlCount(), 0);
  bare->Free();
  // A plain form needs no layout either.
  auto* plain = New<TForm>(Application);
  plain->Free();
}

TEST_F(FormLayouts, BrokenLayoutLeavesNothingBehind) {
  const char* broken = "object LayoutForm: TLayoutForm\n  object Panel: TLoadedControl\n    Left = 'x'\n  end\nend\n";
  RegisterResource("TLayoutForm", RT_RCDATA, broken, std::strlen(broken));
  Int64 live = TObject::LiveCount();
  int forms = Screen->GetFormCount();
  EXPECT_THROW(New<TLayoutForm>(Application), EReadError);
  EXPECT_EQ(TObject::LiveCount(), live);
  EXPECT_EQ(Screen->GetFormCount(), forms);
}

// Controls that take ShowHint, Color and Ctl3D from their parent still do
// after their layout is written and read; one with its own keeps it.
TEST_F(FormLayouts, ValuesTakenFromTheParentAreStillTakenAfterAWrittenLayout) {
  TComponent* built = forms::test::BuildFromText(kLayout);
  auto* form = dynamic_cast<TLayoutForm*>(built);
  ASSERT_NE(form, nullptr);
  form->SetShowHint(true);
  form->SetCtl3D(false);
  form->Panel->SetParentColor(true);
  auto* second = dynamic_cast<TControl*>(form->FindComponent("Second"));
  ASSERT_NE(second, nullptr);
  second->SetShowHint(false);
  ASSERT_TRUE(form->Panel->GetShowHint());
  ASSERT_TRUE(form->Panel->GetParentShowHint());
  ASSERT_FALSE(form->Panel->GetCtl3D());
  const AnsiString written = ComponentToText(form);
  built->Free();

  built = forms::test::BuildFromText(written);
  form = dynamic_cast<TLayoutForm*>(built);
  ASSERT_NE(form, nullptr);
  for (TControl* follower : {static_cast<TControl*>(form->Panel), static_cast<TControl*>(form->Button)}) {
    EXPECT_TRUE(follower->GetParentShowHint()) << follower->GetName() << "\n" << written;
    EXPECT_TRUE(follower->GetShowHint()) << follower->GetName();
  }
  EXPECT_TRUE(form->Panel->GetParentColor());
  EXPECT_TRUE(form->Panel->GetParentCtl3D());
  EXPECT_FALSE(form->Panel->GetCtl3D());
  second = dynamic_cast<TControl*>(form->FindComponent("Second"));
  EXPECT_FALSE(second->GetParentShowHint());
  EXPECT_FALSE(second->GetShowHint());
  // The parent's changes still reach the followers.
  form->SetShowHint(false);
  form->SetColor(clTeal);
  form->SetCtl3D(true);
  EXPECT_FALSE(form->Panel->GetShowHint());
  EXPECT_FALSE(form->Button->GetShowHint());
  EXPECT_EQ(form->Panel->GetColor(), clTeal);
  EXPECT_TRUE(form->Panel->GetCtl3D());
  built->Free();
}

TEST_F(FormLayouts, LayoutTextFromATestBuildsATree) {
  TComponent* built = forms::test::BuildFromText(kLayout);
  auto* form = dynamic_cast<TLayoutForm*>(built);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->GetControlCount(), 2);
  EXPECT_EQ(form->Panel->GetControlCount(), 2);
  built->Free();
}

}  // namespace
