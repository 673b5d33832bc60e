// The filter builder's side of the editors: operators that survive the
// trip to the data layer and back, captions read from the data layer's
// table, the operators offered per value type, a helper registry that
// answers by family and goes away when emptied, condition editors set up
// from a column without its handlers, condition values checked as the
// user typed them, and dialogs that stay in front.
#include <gtest/gtest.h>

#include <set>

#include "library/data/cxFilterConsts.h"
#include "library/editors/EditTestDoubles.h"
#include "library/editors/EditorSession.h"
#include "library/editors/core/CustomEditFixtures.h"
#include "library/editors/core/cxFilterControlUtils.h"
#include "library/editors/core/cxInplaceEditList.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Screen.h"

namespace {

// A kind's family: its custom class, the published class a unit registers
// and a descendant of that.
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
class TcxTestFooChildProperties : public TcxTestFooProperties {
  ORV_CLASS(TcxTestFooChildProperties, TcxTestFooProperties)
 public:
  using TcxTestFooProperties::TcxTestFooProperties;
};

class TcxTestFooHelper : public TcxCustomFilterEditHelper {
  ORV_CLASS(TcxTestFooHelper, TcxCustomFilterEditHelper)
};

// A helper whose condition editors do without the column's data.
class TcxTestProviderlessHelper : public TcxCustomFilterEditHelper {
  ORV_CLASS(TcxTestProviderlessHelper, TcxCustomFilterEditHelper)
 public:
  bool IsIDefaultValuesProviderNeeded(TcxCustomEditProperties*) const override { return false; }
};

// The test kind's helper; it counts the values it is asked about and may
// fail while checking one.
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

ORV_REGISTER(TcxTestKindFilterHelper)
ORV_REGISTER(TcxTestCustomFooProperties)
ORV_REGISTER(TcxTestFooProperties)
ORV_REGISTER(TcxTestFooChildProperties)
ORV_REGISTER(TcxTestFooHelper)
ORV_REGISTER(TcxTestProviderlessHelper)

namespace {

TcxFilterControlOperator Op(int i) { return static_cast<TcxFilterControlOperator>(i); }

TEST(FilterOperators, EveryOperatorComesBackFromTheDataLayerAndBlanksAreNullComparisons) {
  std::set<int> kinds;
  for (int i = fcoEqual; i <= fcoInFuture; ++i) {
    if (i == fcoBlanks || i == fcoNonBlanks) continue;
    TcxFilterOperatorKind kind = GetFilterOperatorKind(Op(i));
    kinds.insert(kind);
    EXPECT_EQ(GetFilterControlOperator(kind, false), Op(i)) << i;
  }
  // Each of the data layer's kinds has exactly one builder operator.
  EXPECT_EQ(kinds.size(), std::size_t(cxFilterOperatorKindCount));

  EXPECT_EQ(GetFilterOperatorKind(fcoNone), foEqual);
  EXPECT_EQ(GetFilterOperatorKind(fcoBlanks), foEqual);
  EXPECT_EQ(GetFilterOperatorKind(fcoNonBlanks), foNotEqual);
  EXPECT_EQ(GetFilterOperatorKind(fcoLess), foLess);
  EXPECT_EQ(GetFilterOperatorKind(fcoInFuture), foInFuture);
  EXPECT_EQ(GetFilterControlOperator(foEqual, true), fcoBlanks);
  EXPECT_EQ(GetFilterControlOperator(foEqual, false), fcoEqual);
  EXPECT_EQ(GetFilterControlOperator(foNotEqual, true), fcoNonBlanks);
  // Only equality turns into a blank test.
  EXPECT_EQ(GetFilterControlOperator(foLess, true), fcoLess);
}

TEST(FilterOperators, CaptionsAreTheDataLayersOwnTextsAndFollowTheirReplacement) {
  EXPECT_EQ(GetFilterControlOperatorText(fcoEqual), "equals");
  EXPECT_EQ(GetFilterControlOperatorText(fcoLessEqual), "is less than or equal to");
  EXPECT_EQ(GetFilterControlOperatorText(fcoBlanks), "is blank");
  EXPECT_EQ(GetFilterControlOperatorText(fcoNonBlanks), "is not blank");
  EXPECT_EQ(GetFilterControlOperatorText(fcoNotInList), "not in");
  EXPECT_EQ(GetFilterControlOperatorText(fcoLastTwoWeeks), "is last two weeks");
  EXPECT_EQ(GetFilterControlOperatorText(fcoInPast), "is past");
  EXPECT_EQ(GetFilterControlOperatorText(fcoNextYear), "is next year");
  EXPECT_EQ(GetFilterControlOperatorText(fcoInFuture), "is future");
  std::set<AnsiString> texts;
  for (int i = fcoEqual; i <= fcoInFuture; ++i) texts.insert(GetFilterControlOperatorText(Op(i)));
  EXPECT_EQ(texts.size(), std::size_t(fcoInFuture)) << "a caption is empty or used twice";

  EXPECT_EQ(GetFilterControlOperatorText(fcoNone), "");
  EXPECT_EQ(GetFilterControlOperatorText(Op(-1)), "");
  EXPECT_EQ(GetFilterControlOperatorText(Op(fcoInFuture + 1)), "");

  // A translation of the data layer's record reaches the builder too.
  cxSetResourceString(cxSFilterOperatorEqual, "ist gleich");
  EXPECT_EQ(GetFilterControlOperatorText(fcoEqual), "ist gleich");
  cxClearResourceStrings();
  EXPECT_EQ(GetFilterControlOperatorText(fcoEqual), "equals");
}

TEST(FilterOperators, LikeIsOfferedOnlyForTextAndTheExtendedSetAddsRangesAndLists) {
  TcxCustomFilterEditHelperClass helper = TcxCustomFilterEditHelper::StaticClass();
  TcxFilterControlOperators booleans = helper->GetSupportedFilterOperators(nullptr, TcxBooleanValueType::Class());
  EXPECT_EQ(booleans, (TcxFilterControlOperators{fcoEqual, fcoNotEqual, fcoLess, fcoLessEqual, fcoGreater,
                                                 fcoGreaterEqual, fcoBlanks, fcoNonBlanks}));

  TcxFilterControlOperators texts = helper->GetSupportedFilterOperators(nullptr, TcxStringValueType::Class(), true);
  EXPECT_EQ(texts.Count(), 14u);
  EXPECT_TRUE(texts.Contains(fcoLike) && texts.Contains(fcoNotInList));
  EXPECT_FALSE(texts.Contains(fcoToday));

  TcxFilterControlOperators unknown = helper->GetSupportedFilterOperators(nullptr, nullptr, true);
  EXPECT_FALSE(unknown.Contains(fcoLike) || unknown.Contains(fcoNotLike));
  EXPECT_TRUE(unknown.Contains(fcoBetween));
}

TEST(FilterEditsController, AHelperServesTheFamilyBelowItsCustomClassAndTheRegistryGoesWhenEmptied) {
  Int64 live = TObject::LiveCount();
  TcxFilterEditsController* controller = FilterEditsController();
  controller->Register(TcxTestFooProperties::StaticClass(), TcxTestFooHelper::StaticClass());

  // Stored under the custom class: the whole family below it finds it.
  EXPECT_EQ(controller->GetItem(0).ItemClass, TcxTestCustomFooProperties::StaticClass());
  EXPECT_EQ(controller->FindHelper(TcxTestFooProperties::StaticClass()), TcxTestFooHelper::StaticClass());
  EXPECT_EQ(controller->FindHelper(TcxTestFooChildProperties::StaticClass()), TcxTestFooHelper::StaticClass());
  // The custom class itself looks one step higher and finds nothing.
  EXPECT_FALSE(controller->FindHelper(TcxTestCustomFooProperties::StaticClass()));
  EXPECT_FALSE(controller->FindHelper(TcxTestEditProperties::StaticClass()));
  EXPECT_FALSE(controller->FindHelper(nullptr));

  // A helper for every kind does not shadow the more specific one.
  controller->Register(TcxTestEditProperties::StaticClass(), TcxCustomFilterEditHelper::StaticClass());
  EXPECT_EQ(controller->FindHelper(TcxTestEditProperties::StaticClass()), TcxCustomFilterEditHelper::StaticClass());
  EXPECT_EQ(controller->FindHelper(TcxTestFooChildProperties::StaticClass()), TcxTestFooHelper::StaticClass());

  controller->Unregister(TcxTestEditProperties::StaticClass(), TcxCustomFilterEditHelper::StaticClass());
  EXPECT_EQ(FilterEditsController(), controller) << "freed while a helper is still registered";
  controller->Unregister(TcxTestFooProperties::StaticClass(), TcxTestFooHelper::StaticClass());
  EXPECT_EQ(TObject::LiveCount(), live);

  TcxFilterEditsController* next = FilterEditsController();
  EXPECT_EQ(next->GetCount(), 0);
  EXPECT_FALSE(next->FindHelper(TcxTestFooProperties::StaticClass()));
  // Unregistering what was never there empties it again.
  next->Unregister(TcxTestFooProperties::StaticClass(), TcxTestFooHelper::StaticClass());
  EXPECT_EQ(TObject::LiveCount(), live);
}

class FilterEditProperties : public ::testing::Test {
 protected:
  void SetUp() override {
    column = New<TcxTestEditProperties>(nullptr);
    condition = New<TcxTestEditProperties>(nullptr);
    column->OnChange = [this](TObject*) { ++columnEvents; };
    column->OnEditValueChanged = [this](TObject*) { ++columnEvents; };
    column->OnButtonClick = [this](TObject*, Integer) { ++columnEvents; };
    column->OnValidate = [this](TObject*, Variant&, AnsiString&, bool&) { ++columnEvents; };
    column->GetButtons()->Add();
    column->GetButtons()->Add();
    column->SetReadOnly(true);
    column->SetBeepOnError(true);
    column->GetAlignment()->SetHorz(taRightJustify);
    column->GetAlignment()->SetVert(taBottomJustify);
    column->SetClearKey(46);
    column->SetIDefaultValuesProvider(&provider);
    condition->OnPropertiesChanged = [this](TObject*) { ++conditionNotices; };
  }
  void TearDown() override {
    Free(condition);
    Free(column);
  }
  TcxTestDefaultValuesProvider provider;
  TcxTestEditProperties* column = nullptr;
  TcxTestEditProperties* condition = nullptr;
  int columnEvents = 0;
  int conditionNotices = 0;
};

TEST_F(FilterEditProperties, AConditionTakesTheColumnsSettingsButNotItsHandlersButtonsOrReadOnly) {
  TcxCustomFilterEditHelperClass helper = TcxCustomFilterEditHelper::StaticClass();
  helper->InitializeProperties(condition, column, false);

  EXPECT_EQ(condition->GetClearKey(), 46) << "the column's settings were not copied";
  EXPECT_FALSE(condition->OnChange || condition->OnEditValueChanged || condition->OnButtonClick ||
               condition->OnValidate);
  EXPECT_EQ(condition->GetButtons()->GetCount(), 0);
  EXPECT_FALSE(condition->GetReadOnly());
  EXPECT_TRUE(condition->IsReadOnlyStored());
  EXPECT_FALSE(condition->GetBeepOnError());
  EXPECT_EQ(condition->GetAlignment()->GetHorz(), taLeftJustify);
  EXPECT_EQ(condition->GetAlignment()->GetVert(), taTopJustify);
  EXPECT_TRUE(condition->GetValidateOnEnter());
  EXPECT_EQ(condition->GetIDefaultValuesProvider(), &provider);
  EXPECT_EQ(conditionNotices, 1) << "the editor should hear of the preparation once";

  // The column keeps everything it had.
  EXPECT_TRUE(column->OnChange && column->OnValidate);
  EXPECT_EQ(column->GetButtons()->GetCount(), 2);
  EXPECT_TRUE(column->GetReadOnly());
  EXPECT_EQ(columnEvents, 0);
}

TEST_F(FilterEditProperties, KindsWithButtonsKeepThemAndKindsWithoutDataDropTheProvider) {
  TcxCustomFilterEditHelperClass(TcxCustomFilterEditHelper::StaticClass())
      ->InitializeProperties(condition, column, true);
  EXPECT_EQ(condition->GetButtons()->GetCount(), 2);

  TcxCustomFilterEditHelperClass(TcxTestProviderlessHelper::StaticClass())
      ->InitializeProperties(condition, column, false);
  EXPECT_EQ(condition->GetIDefaultValuesProvider(), nullptr);
  EXPECT_EQ(column->GetIDefaultValuesProvider(), &provider);
}

// A condition editor on the builder's form, and the builder's OK button
// that has the focus when the value is taken.
class FilterConditionValue : public CustomEditSession {
 protected:
  void SetUp() override {
    CustomEditSession::SetUp();
    TcxTestKindFilterHelper::Checks = 0;
    TcxTestKindFilterHelper::Fails = false;
    edit = MakeEdit(form, {10, 10, 150, 31});
    ok = New<TTestGrid>(form);
    ok->SetBoundsRect({10, 50, 60, 70});
    ok->SetTabStop(true);
    ok->SetParent(form);
    Show();
  }
  // The user types the text, then goes to the OK button.
  void TypeAndLeave(const std::string& text) {
    Focus(edit);
    Type(text);
    ok->SetFocus();
    Pump();
  }
  // The builder takes the editor's text as the condition's value.
  Variant Taken() const { return Variant(edit->Inner()->GetText()); }
  TcxCustomFilterEditHelperClass helper = TcxTestKindFilterHelper::StaticClass();
  TTestKindEdit* edit = nullptr;
  TTestGrid* ok = nullptr;
};

TEST_F(FilterConditionValue, AnEmptyTextIsNullForNumbersAndStaysTextForStrings) {
  Variant value("");
  FilterControlValidateValue(edit, value, fcoEqual, TcxIntegerValueType::Class(), helper);
  EXPECT_TRUE(VarIsNull(value));
  value = Variant("");
  FilterControlValidateValue(edit, value, fcoEqual, TcxStringValueType::Class(), helper);
  EXPECT_TRUE(VarIsStr(value));
  EXPECT_EQ(TcxTestKindFilterHelper::Checks, 1) << "the empty text is a valid string";
  EXPECT_FALSE(edit->GetModified());
}

TEST_F(FilterConditionValue, TextThatIsNoNumberIsRefusedUnlessTheConditionIsALikeCondition) {
  TypeAndLeave("abc");
  ASSERT_EQ(edit->Inner()->GetText(), "abc");
  ASSERT_FALSE(edit->IsFocused());
  Variant value = Taken();
  FilterControlValidateValue(edit, value, fcoLike, TcxIntegerValueType::Class(), helper);
  FilterControlValidateValue(edit, value, fcoNotLike, TcxIntegerValueType::Class(), helper);
  EXPECT_EQ(TcxTestKindFilterHelper::Checks, 0) << "a like condition asked the helper";

  try {
    FilterControlValidateValue(edit, value, fcoEqual, TcxIntegerValueType::Class(), helper);
    ADD_FAILURE() << "abc passed as an integer";
  } catch (const EcxFilterControlError& e) {
    EXPECT_EQ(e.GetMessage(), "Invalid value");
  }
  Pump();
  EXPECT_TRUE(edit->GetModified());
  EXPECT_TRUE(edit->IsFocused()) << "the user is not brought back to the wrong value";
  EXPECT_EQ(edit->Inner()->GetText(), "abc");

  // A number passes and comes back as one.
  edit->SetModified(false);
  value = Variant("42");
  FilterControlValidateValue(edit, value, fcoGreater, TcxIntegerValueType::Class(), helper);
  EXPECT_EQ(VarType(value), varInteger);
  EXPECT_FALSE(edit->GetModified());
}

TEST_F(FilterConditionValue, ACheckThatFailsOrAMissingHelperStillRefusesTheValue) {
  TcxTestKindFilterHelper::Fails = true;
  Variant value("12");
  EXPECT_THROW(FilterControlValidateValue(edit, value, fcoEqual, TcxIntegerValueType::Class(), helper),
               EcxFilterControlError);
  EXPECT_EQ(TcxTestKindFilterHelper::Checks, 1);

  // A kind without a helper: the value type judges.
  value = Variant("abc");
  EXPECT_THROW(FilterControlValidateValue(edit, value, fcoEqual, TcxIntegerValueType::Class(), nullptr),
               EcxFilterControlError);
  value = Variant("7");
  FilterControlValidateValue(nullptr, value, fcoEqual, TcxIntegerValueType::Class(), nullptr);
  EXPECT_EQ(VarType(value), varInteger);
  // Without a value type there is nothing to check against.
  value = Variant("abc");
  FilterControlValidateValue(edit, value, fcoEqual, nullptr, helper);
  EXPECT_EQ(VarToStr(value), "abc");
}

TEST_F(FilterConditionValue, AConditionEditorComesFromThePoolOrNewAndNeverWithTheColumnsHandlers) {
  auto* column = New<TTestKindProperties>(nullptr);
  column->SetClearKey(46);
  column->OnChange = [this](TObject*) { log.push_back("column change"); };
  column->GetButtons()->Add();

  TcxCustomEdit* alone = helper->GetFilterEdit(column);
  ASSERT_NE(alone, nullptr);
  EXPECT_EQ(alone->ClassType(), TTestKindEdit::StaticClass());
  EXPECT_EQ(alone->GetOwner(), nullptr);
  TcxCustomEditProperties* props = alone->GetActiveProperties();
  EXPECT_EQ(props->GetClearKey(), 46);
  EXPECT_FALSE(props->OnChange);
  EXPECT_EQ(props->GetButtons()->GetCount(), 0);
  EXPECT_TRUE(props->GetValidateOnEnter());
  alone->Free();

  auto* pool = New<TcxInplaceEditList>();
  TcxCustomEdit* pooled = helper->GetFilterEdit(column, pool);
  EXPECT_EQ(pool->GetCount(), 1);
  EXPECT_EQ(pool->FindItem(TTestKindProperties::StaticClass()), 0);
  EXPECT_TRUE(pooled->IsInplace());
  EXPECT_FALSE(pooled->GetActiveProperties()->OnChange);
  EXPECT_EQ(helper->GetFilterEdit(column, pool), pooled);
  pool->Free();

  // A helper that names no editor gives none.
  EXPECT_EQ(TcxCustomFilterEditHelperClass(TcxCustomFilterEditHelper::StaticClass())->GetFilterEdit(column), nullptr);
  column->Free();
  EXPECT_TRUE(log.empty());
}

TEST(FilterDialogParams, ADialogBelongsToTheActiveFormUnlessAFormStaysOnTop) {
  edit_test::EditorSession session;
  TCreateParams params;
  CorrectDlgParams(params);
  EXPECT_EQ(params.WndParent, nullptr) << "no active form: nothing to belong to";

  TCustomForm* main = TCustomForm::CreateNew(nullptr);
  main->Show();
  ASSERT_EQ(Screen->GetActiveForm(), main);
  CorrectDlgParams(params);
  EXPECT_EQ(params.WndParent, main->GetHandle());

  TCustomForm* palette = TCustomForm::CreateNew(nullptr);
  palette->SetFormStyle(fsStayOnTop);
  palette->Show();
  main->SetFocus();
  ASSERT_EQ(Screen->GetActiveForm(), main);
  TCreateParams dialog;
  dialog.WndParent = reinterpret_cast<win::HWND>(palette->GetHandle());
  CorrectDlgParams(dialog);
  EXPECT_EQ(dialog.WndParent, palette->GetHandle());

  palette->Free();
  main->Free();
}

}  // namespace
