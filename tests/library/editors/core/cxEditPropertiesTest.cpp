// Edit properties: how changes reach the editors, what read-only and
// alignment answer with and without bound data, what a copy takes along,
// and how validation treats what the user typed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/editors/EditTestDoubles.h"

// A provider that counts how often it is asked for its instance.
class TcxCountingProvider : public TcxTestDefaultValuesProvider {
  ORV_CLASS(TcxCountingProvider, TcxTestDefaultValuesProvider)
 public:
  using TcxTestDefaultValuesProvider::TcxTestDefaultValuesProvider;
  Integer InstanceAsked = 0;
  TObject* GetInstance() override {
    ++InstanceAsked;
    return inherited::GetInstance();
  }
};

// Properties that write their name to a log when their provider goes.
class TcxNamedProperties : public TcxTestEditProperties {
  ORV_CLASS(TcxNamedProperties, TcxTestEditProperties)
 public:
  using TcxTestEditProperties::TcxTestEditProperties;
  std::string Name;
  std::vector<std::string>* Log = nullptr;
  void DefaultValuesProviderDestroyed() override {
    Log->push_back(Name);
    inherited::DefaultValuesProviderDestroyed();
  }
};

ORV_REGISTER(TcxCountingProvider)
ORV_REGISTER(TcxNamedProperties)

namespace {

// Records every OnPropertiesChanged notice.
struct Recorder : TObject {
  Integer Notices = 0;
  void Changed(TObject*) { ++Notices; }
  TNotifyEvent Handler() { return TNotifyEvent::Bind<&Recorder::Changed>(this); }
};

struct Handlers : TObject {
  void Click(TObject*, Integer) {}
  void Change(TObject*) {}
  void Validate(TObject*, Variant&, AnsiString&, bool&) {}
  void ClosePopup(TObject*, TcxEditCloseUpReason) {}
};

class EditPropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    props = New<TcxTestEditProperties>(nullptr);
    props->OnPropertiesChanged = recorder.Handler();
  }
  void TearDown() override { Free(props); }
  Recorder recorder;
  TcxTestEditProperties* props = nullptr;
};

TEST_F(EditPropertiesTest, ChangesInsideNestedUpdatesArriveOnceAtTheOutermostEnd) {
  props->BeginUpdate();
  props->BeginUpdate();
  props->SetAutoSelect(false);
  props->GetButtons()->Add();
  props->EndUpdate();
  EXPECT_EQ(recorder.Notices, 0) << "the inner end holds the notice";
  props->SetTransparent(true);
  props->EndUpdate();
  EXPECT_EQ(recorder.Notices, 1);

  // A bracket without a change says nothing; an equal value is no change.
  props->BeginUpdate();
  props->SetTransparent(true);
  props->EndUpdate();
  EXPECT_EQ(recorder.Notices, 1);

  // EndUpdate(false) drops what was pending, and the next bracket starts clean.
  props->BeginUpdate();
  props->SetTransparent(false);
  props->EndUpdate(false);
  props->BeginUpdate();
  props->EndUpdate();
  EXPECT_EQ(recorder.Notices, 1);

  // An end without a begin neither notifies nor unbalances the next bracket.
  props->EndUpdate();
  props->BeginUpdate();
  props->SetAutoSelect(true);
  EXPECT_EQ(recorder.Notices, 1);
  props->EndUpdate();
  EXPECT_EQ(recorder.Notices, 2);

  // LockUpdate is the same counted bracket: a lock nested in a lock, or in
  // a bracket, never lets a notice out before the outermost end, and the
  // unlock itself notifies nothing.
  props->LockUpdate(true);
  props->LockUpdate(true);
  props->SetButtonsViewStyle(bvsButtonsOnly);
  props->LockUpdate(false);
  props->SetAutoSelect(false);
  EXPECT_TRUE(props->ChangedLocked());
  EXPECT_EQ(recorder.Notices, 2);
  props->LockUpdate(false);
  EXPECT_EQ(recorder.Notices, 2);
  props->BeginUpdate();
  props->LockUpdate(true);
  props->SetButtonsViewStyle(bvsNormal);
  props->LockUpdate(false);
  EXPECT_EQ(recorder.Notices, 2);
  props->EndUpdate();
  EXPECT_EQ(recorder.Notices, 3);
  EXPECT_FALSE(props->ChangedLocked());
}

TEST_F(EditPropertiesTest, ReadingAlignmentIsNeverAChangeButEditingTheHandedOutCopyIs) {
  auto* provider = New<TcxTestDefaultValuesProvider>();
  provider->Answers.Alignment = taRightJustify;
  props->SetIDefaultValuesProvider(provider);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(props->GetAlignment()->GetHorz(), taRightJustify);
  EXPECT_EQ(recorder.Notices, 0);
  EXPECT_FALSE(props->IsAlignmentStored()) << "a default from the data is not the user's";

  props->GetAlignment()->SetHorz(taCenter);
  EXPECT_EQ(recorder.Notices, 1);
  EXPECT_EQ(props->GetAlignment()->GetHorz(), taCenter) << "the user's value wins over the data";
  EXPECT_TRUE(props->IsAlignmentStored());

  props->GetAlignment()->SetVert(taVCenter);
  EXPECT_EQ(recorder.Notices, 2);
  props->RestoreDefaults();
  EXPECT_EQ(props->GetAlignment()->GetHorz(), taRightJustify);
  EXPECT_EQ(props->GetAlignment()->GetVert(), taVCenter) << "only the horizontal value is forgotten";
  provider->Free();
}

TEST_F(EditPropertiesTest, NothingIsToldWhileTheOwningComponentIsBeingDestroyed) {
  auto* item = New<TcxEditRepositoryTestItem>(nullptr);
  item->SetName("Item1");
  std::vector<std::string> log;
  TcxTestRepositoryItemListener listener("grid", &log);
  item->AddListener(&listener);
  item->GetProperties()->SetTransparent(true);
  EXPECT_EQ(log, (std::vector<std::string>{"grid: changed Item1"}));
  log.clear();
  item->Destroying();
  item->GetProperties()->SetTransparent(false);
  EXPECT_TRUE(log.empty()) << "a change while the owner goes is not told";
  item->Free();
  EXPECT_EQ(log, (std::vector<std::string>{"grid: removed Item1"}));
}

TEST_F(EditPropertiesTest, ReadOnlySetByTheUserOverridesTheDataAndDecidesCanModify) {
  auto* provider = New<TcxTestDefaultValuesProvider>();
  EXPECT_TRUE(props->CanModify()) << "no provider, nothing set";
  props->SetIDefaultValuesProvider(provider);

  provider->Answers.ReadOnly = true;
  EXPECT_TRUE(props->GetReadOnly());
  EXPECT_FALSE(props->CanModify());
  provider->Answers.ReadOnly = false;
  provider->Answers.CanModify = false;
  EXPECT_FALSE(props->CanModify());
  provider->Answers.CanModify = true;
  provider->Answers.CanSetEditMode = false;
  EXPECT_FALSE(props->CanModify());
  provider->Answers.CanSetEditMode = true;
  EXPECT_TRUE(props->CanModify());

  // False set by the user is a value of its own: it beats every answer.
  provider->Answers.ReadOnly = true;
  provider->Answers.CanModify = false;
  props->SetReadOnly(false);
  EXPECT_EQ(recorder.Notices, 1) << "the mark and the value are one change";
  EXPECT_TRUE(props->GetAssignedValues()->GetReadOnly());
  EXPECT_TRUE(props->IsReadOnlyStored());
  EXPECT_FALSE(props->GetReadOnly());
  EXPECT_TRUE(props->CanModify());
  props->SetReadOnly(false);
  EXPECT_EQ(recorder.Notices, 1);

  props->SetReadOnly(true);
  EXPECT_FALSE(props->CanModify());
  props->RestoreDefaults();
  EXPECT_FALSE(props->IsReadOnlyStored());
  EXPECT_TRUE(props->GetReadOnly()) << "back to the data's answer";
  provider->Free();
}

TEST_F(EditPropertiesTest, AssignCopiesSettingsAndHandlersButKeepsTheTargetsOwnNotice) {
  Handlers h;
  auto* source = New<TcxTestEditProperties>(nullptr);
  source->SetAutoSelect(false);
  source->GetButtons()->Add()->SetKind(bkEllipsis);
  source->GetButtons()->Add()->SetCaption("&Go");
  source->SetBeepOnError(true);
  source->SetClickKey(0);
  source->SetClearKey(scCtrl | 46);
  source->SetUseLeftAlignmentOnEditing(false);
  source->GetAlignment()->SetHorz(taCenter);
  source->SetImmediatePost(true);
  source->SetTransparent(true);
  source->SetValidateOnEnter(true);
  source->OnButtonClick = TcxEditButtonClickEvent::Bind<&Handlers::Click>(&h);
  source->OnChange = TNotifyEvent::Bind<&Handlers::Change>(&h);
  source->OnEditValueChanged = TNotifyEvent::Bind<&Handlers::Change>(&h);
  source->OnValidate = TcxEditValidateEvent::Bind<&Handlers::Validate>(&h);
  source->OnClosePopup = TcxEditClosePopupEvent::Bind<&Handlers::ClosePopup>(&h);
  Recorder sourceRecorder;
  source->OnPropertiesChanged = sourceRecorder.Handler();

  props->SetReadOnly(true);  // the source has no mark: the target's goes
  recorder.Notices = 0;
  props->Assign(source);
  EXPECT_EQ(recorder.Notices, 1);
  EXPECT_EQ(props->OnPropertiesChanged, recorder.Handler());
  EXPECT_FALSE(props->OnClosePopup.Assigned());
  EXPECT_EQ(props->OnButtonClick, source->OnButtonClick);
  EXPECT_EQ(props->OnChange, source->OnChange);
  EXPECT_EQ(props->OnEditValueChanged, source->OnEditValueChanged);
  EXPECT_EQ(props->OnValidate, source->OnValidate);
  EXPECT_FALSE(props->GetAutoSelect());
  ASSERT_EQ(props->GetButtons()->GetCount(), 2);
  EXPECT_EQ(props->GetButtons()->GetItem(0)->GetKind(), bkEllipsis);
  EXPECT_EQ(props->GetButtons()->GetItem(1)->GetPlainCaption(), "Go");
  EXPECT_TRUE(props->GetBeepOnError());
  EXPECT_EQ(props->GetClickKey(), 0);
  EXPECT_EQ(props->GetClearKey(), scCtrl | 46);
  EXPECT_FALSE(props->GetUseLeftAlignmentOnEditing());
  EXPECT_EQ(props->GetAlignment()->GetHorz(), taCenter);
  EXPECT_TRUE(props->GetImmediatePost());
  EXPECT_TRUE(props->GetTransparent());
  EXPECT_TRUE(props->GetValidateOnEnter());
  EXPECT_FALSE(props->GetAssignedValues()->GetReadOnly());
  EXPECT_FALSE(props->GetReadOnly());

  source->SetReadOnly(true);
  props->Assign(source);
  EXPECT_TRUE(props->GetAssignedValues()->GetReadOnly());
  EXPECT_TRUE(props->GetReadOnly());
  EXPECT_EQ(sourceRecorder.Notices, 1) << "copying from the source never told the source";
  source->Free();
}

TEST_F(EditPropertiesTest, SupportedOperationsAndValueFormattingFollowButtonsAndTheData) {
  EXPECT_EQ(props->GetSupportedOperations(), TcxEditSupportedOperations{});
  props->GetButtons()->Add();
  EXPECT_EQ(props->GetSupportedOperations(), TcxEditSupportedOperations{esoHotTrack});

  auto* provider = New<TcxTestDefaultValuesProvider>();
  props->FormatOptions = {dfoSupports};
  props->UnfocusedSource = evsText;
  EXPECT_EQ(props->GetValueEditorEditValueSource(false), evsValue) << "no provider";
  EXPECT_FALSE(props->IsValueEditorWithValueFormatting());
  props->SetIDefaultValuesProvider(provider);
  EXPECT_EQ(props->GetValueEditorEditValueSource(false), evsValue) << "no display format";
  provider->Answers.DisplayFormatDefined = true;
  EXPECT_EQ(props->GetValueEditorEditValueSource(false), evsText);
  EXPECT_EQ(provider->Answers.LastCurrencyValueAccepted, 1);
  EXPECT_EQ(props->GetValueEditorEditValueSource(true), evsValue) << "a focused editor edits the value";
  EXPECT_TRUE(props->IsValueEditorWithValueFormatting());
  props->FormatOptions = {dfoSupports, dfoNoCurrencyValue};
  props->IsValueEditorWithValueFormatting();
  EXPECT_EQ(provider->Answers.LastCurrencyValueAccepted, 0);
  props->UnfocusedSource = evsValue;
  EXPECT_FALSE(props->IsValueEditorWithValueFormatting());
  props->FormatOptions = {};
  EXPECT_EQ(props->GetValueEditorEditValueSource(false), evsValue);
  provider->Free();
}

TEST_F(EditPropertiesTest, ValidationKeepsTypedTextUnlessTheHandlerChangedIt) {
  auto* edit = New<TcxTestEditOwner>();
  edit->CurrentText = "12x";
  struct Handler : TObject {
    AnsiString NewText;  // empty: leave the display value alone
    void Validate(TObject*, Variant& DisplayValue, AnsiString& ErrorText, bool& Error) {
      Error = true;
      ErrorText = "bad";
      if (!NewText.empty()) DisplayValue = Variant(NewText);
    }
  } handler;
  edit->Validate = TcxEditValidateEvent::Bind<&Handler::Validate>(&handler);

  Variant value(AnsiString("12"));
  AnsiString errorText;
  bool error = false, userChanged = true;
  props->DoValidate(value, errorText, error, edit, userChanged);
  EXPECT_TRUE(error);
  EXPECT_FALSE(userChanged);
  EXPECT_EQ(VarToStr(value), "12x") << "the editor keeps what the user typed";

  handler.NewText = "120";
  value = Variant(AnsiString("12"));
  props->DoValidate(value, errorText, error, edit, userChanged);
  EXPECT_TRUE(userChanged);
  EXPECT_EQ(VarToStr(value), "120");

  // Only kinds that validate fill in the standard text before the handler.
  errorText.clear();
  error = false;
  props->ValidateDisplayValue(value, errorText, error, edit);
  EXPECT_FALSE(error);
  EXPECT_EQ(errorText, "");
  props->Validates = true;
  edit->Validate = nullptr;
  props->ValidateDisplayValue(value, errorText, error, edit);
  EXPECT_EQ(errorText, "Invalid input value. Use escape key to abandon changes");
  edit->Free();
}

TEST(EditPropertiesProvider, AFreedProviderLeavesEveryUserAndAFreedUserLeavesTheList) {
  const Int64 live = TObject::LiveCount();
  auto* provider = New<TcxTestDefaultValuesProvider>();
  auto* first = New<TcxTestEditProperties>(nullptr);
  auto* second = New<TcxTestEditProperties>(nullptr);
  auto* other = New<TcxTestEditProperties>(nullptr);
  auto* otherProvider = New<TcxTestDefaultValuesProvider>();
  first->SetIDefaultValuesProvider(provider);
  second->SetIDefaultValuesProvider(provider);
  other->SetIDefaultValuesProvider(otherProvider);
  const auto instances = TcxCustomEditProperties::InstanceCount();

  first->Free();
  EXPECT_EQ(TcxCustomEditProperties::InstanceCount(), instances - 1);
  provider->Free();
  EXPECT_EQ(second->GetIDefaultValuesProvider(), nullptr);
  EXPECT_EQ(other->GetIDefaultValuesProvider(), otherProvider) << "another provider's users keep it";
  EXPECT_FALSE(second->GetReadOnly());

  auto* preview = second->CreatePreviewProperties();
  EXPECT_EQ(preview->ClassType(), TcxTestEditProperties::StaticClass());
  EXPECT_EQ(preview->GetOwner(), nullptr);
  EXPECT_EQ(second->GetStyleClass(), TcxEditStyle::StaticClass());
  EXPECT_EQ(second->GetAssignedValues()->ClassType(), second->GetAssignedValuesClass());
  EXPECT_TRUE(second->GetAssignedValues()->IsPropertiesPropertyVisible("ReadOnly"));
  EXPECT_FALSE(second->GetAssignedValues()->IsPropertiesPropertyVisible("Nonexistent"));
  preview->Free();
  second->Free();
  other->Free();
  otherProvider->Free();
  EXPECT_EQ(TObject::LiveCount(), live);
}

// A grid holds a provider per row and frees rows by the thousand: a
// provider that goes tells its own users, in the order they were made
// whatever order they took it in, and asks nothing of anyone else's.
TEST(EditPropertiesProvider, AGoingProviderTellsItsOwnUsersInTheOrderMadeAndNobodyElse) {
  const Int64 live = TObject::LiveCount();
  std::vector<std::string> told;
  auto* going = New<TcxCountingProvider>();
  auto* staying = New<TcxCountingProvider>();
  std::vector<TcxNamedProperties*> users;
  for (const char* name : {"a", "b", "c", "d", "e"}) {
    users.push_back(New<TcxNamedProperties>(nullptr));
    users.back()->Name = name;
    users.back()->Log = &told;
  }
  std::vector<std::string> bystandersTold;
  std::vector<TcxNamedProperties*> bystanders;
  for (int i = 0; i < 50; ++i) {
    bystanders.push_back(New<TcxNamedProperties>(nullptr));
    bystanders.back()->Name = "bystander";
    bystanders.back()->Log = &bystandersTold;
    bystanders.back()->SetIDefaultValuesProvider(staying);
  }
  for (int i : {3, 0, 4, 1, 2}) users[static_cast<size_t>(i)]->SetIDefaultValuesProvider(going);
  users[1]->SetIDefaultValuesProvider(staying);  // b takes another provider
  users[4]->Free();                              // e goes first
  auto* copy = New<TcxNamedProperties>(nullptr);
  copy->Name = "copy of a";
  copy->Log = &told;
  copy->Assign(users[0]);  // the copy uses a's provider too
  EXPECT_EQ(copy->GetIDefaultValuesProvider(), going);

  staying->InstanceAsked = 0;
  going->Free();
  EXPECT_EQ(told, (std::vector<std::string>{"a", "c", "d", "copy of a"}));
  EXPECT_EQ(staying->InstanceAsked, 0) << "the other provider's users are not looked at";
  EXPECT_EQ(bystandersTold.size(), 0u);
  for (size_t i : {size_t(0), size_t(2), size_t(3)}) EXPECT_EQ(users[i]->GetIDefaultValuesProvider(), nullptr);
  EXPECT_EQ(copy->GetIDefaultValuesProvider(), nullptr);
  EXPECT_EQ(users[1]->GetIDefaultValuesProvider(), staying);

  // The provider that stays still reaches every user of its own.
  told.clear();
  staying->Free();
  EXPECT_EQ(told, std::vector<std::string>{"b"});
  EXPECT_EQ(bystandersTold.size(), 50u);
  for (TcxNamedProperties* bystander : bystanders) {
    EXPECT_EQ(bystander->GetIDefaultValuesProvider(), nullptr);
    bystander->Free();
  }
  for (size_t i : {size_t(0), size_t(1), size_t(2), size_t(3)}) users[i]->Free();
  copy->Free();
  EXPECT_EQ(TObject::LiveCount(), live);
}

}  // namespace
