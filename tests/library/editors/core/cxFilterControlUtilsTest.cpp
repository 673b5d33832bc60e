// The filter builder's side of the editors: operators that survive the
// trip to the data layer and back, captions read from the data layer's
// table, the operators offered per value type, a helper registry that
// answers by family and goes away when emptied, condition editors set up
// from a column without its handlers, typed condition values checked, and
// dialogs that stay in front.
#include <gtest/gtest.h>

#include <set>

#include "library/data/cxFilterConsts.h"
#include "library/editors/core/CustomEditFixtures.h"
#include "library/editors/core/cxFilterControlUtils.h"
#include "library/editors/core/cxInplaceEditList.h"
#include "platform/forms/Screen.h"

namespace {

// A kind's family: the custom class and the published class a unit
// registers.
class TcxTestCustomFooProperties : public TcxCustomEditProperties {
  ORV_CLASS(TcxTestCustomFooProperties, TcxCustomEditProperties)
 public:
  explicit TcxTestCustomFooProperties(TPersistent* AOwner) : TcxCustomEditProperties(AOwner) {}
};
class TcxTestFooProperties : public TcxTestCustomFooProperties {
  ORV_CLASS(TcxTestFooProperties, TcxTestCustomFooProperties)
 public:
  using TcxTestCustomFooProperties::TcxTestCustomFooProperties;
};

// The test kind's helper; it counts the values it checks, and may fail.
class TcxTestKindFilterHelper : public TcxCustomFilterEditHelper {
  ORV_CLASS(TcxTestKindFilterHelper, TcxCustomFilterEditHelper)
 public:
  static inline int Checks = 0;
  static inline bool Fails = false;
  TClass GetFilterEditClass() const override { return TTestKindEdit::StaticClass(); }
  bool IsValueValid(TcxValueTypeClass AValueTypeClass, Variant& AValue) const override {
    ++Checks;
    if (Fails) throw EConvertError("no check today");
    return TcxCustomFilterEditHelper::IsValueValid(AValueTypeClass, AValue);
  }
};

}  // namespace

ORV_REGISTER(TcxTestCustomFooProperties)
ORV_REGISTER(TcxTestFooProperties)
ORV_REGISTER(TcxTestKindFilterHelper)

namespace {

using Ops = TcxFilterControlOperators;
const TcxCustomFilterEditHelperClass BaseHelper = TcxCustomFilterEditHelper::StaticClass();
const TcxCustomFilterEditHelperClass KindHelper = TcxTestKindFilterHelper::StaticClass();

TEST(FilterOperators, EveryOperatorComesBackFromTheDataLayerUnderItsOwnCaption) {
  std::set<int> kinds;
  std::set<AnsiString> texts;
  for (int i = fcoEqual; i <= fcoInFuture; ++i) {
    auto op = static_cast<TcxFilterControlOperator>(i);
    texts.insert(GetFilterControlOperatorText(op));
    if (op == fcoBlanks || op == fcoNonBlanks) continue;
    kinds.insert(GetFilterOperatorKind(op));
    EXPECT_EQ(GetFilterControlOperator(GetFilterOperatorKind(op), false), op);
  }
  EXPECT_EQ(kinds.size(), std::size_t(cxFilterOperatorKindCount));
  EXPECT_EQ(texts.size(), std::size_t(fcoInFuture)) << "a caption is empty or used twice";
  // Blank conditions are (not) equal to Null.
  EXPECT_EQ(GetFilterOperatorKind(fcoNonBlanks), foNotEqual);
  EXPECT_EQ(GetFilterControlOperator(foEqual, true), fcoBlanks);
  EXPECT_EQ(GetFilterControlOperator(foEqual, false), fcoEqual);
  EXPECT_EQ(GetFilterControlOperator(foLess, true), fcoLess);

  EXPECT_EQ(GetFilterControlOperatorText(fcoLessEqual), "is less than or equal to");
  EXPECT_EQ(GetFilterControlOperatorText(fcoNonBlanks), "is not blank");
  EXPECT_EQ(GetFilterControlOperatorText(fcoInPast), "is past");
  EXPECT_EQ(GetFilterControlOperatorText(fcoNone), "");
  EXPECT_EQ(GetFilterControlOperatorText(static_cast<TcxFilterControlOperator>(fcoInFuture + 1)), "");
  // A translation of the data layer's record reaches the builder too.
  cxSetResourceString(cxSFilterOperatorEqual, "ist gleich");
  EXPECT_EQ(GetFilterControlOperatorText(fcoEqual), "ist gleich");
  cxClearResourceStrings();
}

TEST(FilterOperators, LikeIsOfferedOnlyForTextAndTheExtendedSetAddsRangesAndLists) {
  EXPECT_EQ(BaseHelper->GetSupportedFilterOperators(nullptr, TcxBooleanValueType::Class()),
            (Ops{fcoEqual, fcoNotEqual, fcoLess, fcoLessEqual, fcoGreater, fcoGreaterEqual, fcoBlanks, fcoNonBlanks}));
  Ops texts = BaseHelper->GetSupportedFilterOperators(nullptr, TcxStringValueType::Class(), true);
  EXPECT_EQ(texts.Count(), 14u);
  EXPECT_TRUE(texts.Contains(fcoLike) && texts.Contains(fcoNotInList));
  EXPECT_FALSE(BaseHelper->GetSupportedFilterOperators(nullptr, nullptr, true).Contains(fcoNotLike));
}

TEST(FilterEditsController, AHelperServesTheFamilyBelowItsCustomClassAndTheRegistryGoesWhenEmptied) {
  Int64 live = TObject::LiveCount();
  TcxFilterEditsController* controller = FilterEditsController();
  controller->Register(TcxTestFooProperties::StaticClass(), KindHelper);
  controller->Register(TTestKindProperties::StaticClass(), BaseHelper);

  EXPECT_EQ(controller->FindHelper(TcxTestFooProperties::StaticClass()), KindHelper);
  // The custom class itself looks one step higher, where every kind is.
  EXPECT_EQ(controller->FindHelper(TcxTestCustomFooProperties::StaticClass()), BaseHelper);
  EXPECT_FALSE(controller->FindHelper(TcxCustomEditProperties::StaticClass()));

  controller->Unregister(TTestKindProperties::StaticClass(), BaseHelper);
  EXPECT_EQ(FilterEditsController(), controller) << "freed while a helper is still registered";
  controller->Unregister(TcxTestFooProperties::StaticClass(), KindHelper);
  EXPECT_EQ(TObject::LiveCount(), live);
  EXPECT_EQ(FilterEditsController()->GetCount(), 0);
  FilterEditsController()->Unregister(TcxTestFooProperties::StaticClass(), KindHelper);
  EXPECT_EQ(TObject::LiveCount(), live);
}

// A condition editor on the builder's form, and a control that has the
// focus when the builder takes the value.
class FilterCondition : public CustomEditSession {
 protected:
  void SetUp() override {
    CustomEditSession::SetUp();
    TcxTestKindFilterHelper::Checks = 0;
    TcxTestKindFilterHelper::Fails = false;
    edit = MakeEdit(form, {10, 10, 150, 31});
    ok = New<TTestGrid>(form);
    ok->SetBoundsRect({10, 50, 60, 70});
    ok->SetParent(form);
    Show();
  }
  void Validate(Variant& value, TcxFilterControlOperator op, TcxValueTypeClass type,
                TcxCustomFilterEditHelperClass helper = KindHelper) {
    FilterControlValidateValue(edit, value, op, type, helper);
  }
  TTestKindEdit* edit = nullptr;
  TTestGrid* ok = nullptr;
};

TEST_F(FilterCondition, TextThatIsNoNumberIsRefusedWithTheEditorFocusedUnlessTheConditionIsLike) {
  Variant value("");
  Validate(value, fcoEqual, TcxIntegerValueType::Class());
  EXPECT_TRUE(VarIsNull(value)) << "an empty number is no number";

  Focus(edit);
  Type("abc");
  ok->SetFocus();
  Pump();
  ASSERT_FALSE(edit->IsFocused());
  value = Variant(edit->Inner()->GetText());
  Validate(value, fcoLike, TcxIntegerValueType::Class());
  EXPECT_EQ(TcxTestKindFilterHelper::Checks, 0) << "a like condition asked the helper";
  try {
    Validate(value, fcoEqual, TcxIntegerValueType::Class());
    ADD_FAILURE() << "abc passed as an integer";
  } catch (const EcxFilterControlError& e) {
    EXPECT_EQ(e.GetMessage(), "Invalid value");
  }
  Pump();
  EXPECT_TRUE(edit->GetModified());
  EXPECT_TRUE(edit->IsFocused());
  EXPECT_EQ(edit->Inner()->GetText(), "abc");
}

TEST_F(FilterCondition, ACheckThatFailsOrAMissingHelperStillRefusesTheValue) {
  TcxTestKindFilterHelper::Fails = true;
  Variant value("12");
  EXPECT_THROW(Validate(value, fcoEqual, TcxIntegerValueType::Class()), EcxFilterControlError);
  // Without a helper the value type judges.
  value = Variant("abc");
  EXPECT_THROW(Validate(value, fcoEqual, TcxIntegerValueType::Class(), nullptr), EcxFilterControlError);
  value = Variant("7");
  Validate(value, fcoEqual, TcxIntegerValueType::Class(), nullptr);
  EXPECT_EQ(VarType(value), varInteger);
}

TEST_F(FilterCondition, AConditionEditorTakesTheColumnsSettingsButNotItsHandlersButtonsOrReadOnly) {
  auto* column = New<TTestKindProperties>(nullptr);
  column->SetClearKey(46);
  column->SetReadOnly(true);
  column->SetBeepOnError(true);
  column->GetAlignment()->SetHorz(taRightJustify);
  column->GetButtons()->Add();
  column->OnChange = [this](TObject*) { log.push_back("column change"); };
  column->OnValidate = [this](TObject*, Variant&, AnsiString&, bool&) { log.push_back("column validate"); };

  TcxCustomEdit* alone = KindHelper->GetFilterEdit(column);
  TcxCustomEditProperties* props = alone->GetActiveProperties();
  EXPECT_EQ(props->GetClearKey(), 46);
  EXPECT_FALSE(props->OnChange || props->OnValidate);
  EXPECT_EQ(props->GetButtons()->GetCount(), 0);
  EXPECT_FALSE(props->GetReadOnly() || props->GetBeepOnError());
  EXPECT_EQ(props->GetAlignment()->GetHorz(), taLeftJustify);
  EXPECT_TRUE(props->GetValidateOnEnter());
  // The column keeps what it had.
  EXPECT_TRUE(column->OnChange && column->GetReadOnly());
  EXPECT_EQ(column->GetButtons()->GetCount(), 1);
  alone->Free();

  auto* pool = New<TcxInplaceEditList>();
  TcxCustomEdit* pooled = KindHelper->GetFilterEdit(column, pool);
  EXPECT_EQ(pool->FindItem(TTestKindProperties::StaticClass()), 0);
  EXPECT_EQ(KindHelper->GetFilterEdit(column, pool), pooled);
  EXPECT_FALSE(pooled->GetActiveProperties()->OnChange);
  pool->Free();
  EXPECT_EQ(BaseHelper->GetFilterEdit(column), nullptr) << "a helper without an editor class";
  column->Free();
  EXPECT_TRUE(log.empty());
}

TEST(FilterDialogParams, ADialogBelongsToTheActiveFormUnlessAFormStaysOnTop) {
  edit_test::EditorSession session;
  TCreateParams params;
  CorrectDlgParams(params);
  EXPECT_EQ(params.WndParent, nullptr);

  TCustomForm* main = TCustomForm::CreateNew(nullptr);
  main->Show();
  CorrectDlgParams(params);
  EXPECT_EQ(params.WndParent, main->GetHandle());

  TCustomForm* palette = TCustomForm::CreateNew(nullptr);
  palette->SetFormStyle(fsStayOnTop);
  palette->Show();
  main->SetFocus();
  ASSERT_EQ(Screen->GetActiveForm(), main);
  TCreateParams dialog;
  CorrectDlgParams(dialog);
  EXPECT_EQ(dialog.WndParent, nullptr);
  palette->Free();
  main->Free();
}

}  // namespace
