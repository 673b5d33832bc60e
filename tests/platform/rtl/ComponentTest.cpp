#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/Component.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/TypeInfo.h"

namespace {

std::vector<std::string> gLog;
void Log(const std::string& s) { gLog.push_back(s); }

// Records its life cycle and the notifications it hears; a test may hang a
// reaction on opRemove.
class TProbe : public TComponent {
  ORV_CLASS(TProbe, TComponent)
 public:
  explicit TProbe(TComponent* AOwner) : TComponent(AOwner) {}
  TProbe(TComponent* AOwner, const char* AName) : TComponent(AOwner) { SetName(AName); }
  ~TProbe() override {
    Log("free " + GetName());
    if (OnFree) OnFree();
  }
  void Destroying() override {
    if (!GetComponentState().Contains(csDestroying)) Log("destroying " + GetName());
    inherited::Destroying();
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    if (Verbose) Log(GetName() + (Operation == opInsert ? " hears +" : " hears -") + AComponent->GetName());
    if (Operation == opRemove && OnRemove) OnRemove(AComponent);
    if (Operation == opInsert && RefuseInserts) throw EComponentError("Refused");
  }
  bool Verbose = false;
  bool RefuseInserts = false;
  std::function<void(TComponent*)> OnRemove;
  std::function<void()> OnFree;
};

ORV_REGISTER(TProbe)

class TSettings : public TPersistent {
  ORV_CLASS(TSettings, TPersistent)
 public:
  TSettings() = default;
  int Value = 0;

 protected:
  void DoAssign(TPersistent* Source) override {
    if (auto* s = dynamic_cast<TSettings*>(Source)) {
      Value = s->Value;
      return;
    }
    inherited::DoAssign(Source);
  }
};

// Knows how to put itself into TSettings, which does not know it.
class TLegacySettings : public TPersistent {
  ORV_CLASS(TLegacySettings, TPersistent)
 public:
  TLegacySettings() = default;
  int Old = 0;
  void AssignTo(TPersistent* Dest) override {
    if (auto* d = dynamic_cast<TSettings*>(Dest)) {
      d->Value = Old * 10;
      return;
    }
    inherited::AssignTo(Dest);
  }
};

// Lets go of its lines before it takes the source's.
class TNotes : public TPersistent {
  ORV_CLASS(TNotes, TPersistent)
 public:
  TNotes() = default;
  std::vector<std::string> Lines;
  int Copies = 0;

 protected:
  void DoAssign(TPersistent* Source) override {
    auto* source = dynamic_cast<TNotes*>(Source);
    if (!source) return inherited::DoAssign(Source);
    ++Copies;
    Lines.clear();
    Lines.insert(Lines.end(), source->Lines.begin(), source->Lines.end());
  }
};

ORV_REGISTER(TSettings)
ORV_REGISTER(TLegacySettings)
ORV_REGISTER(TNotes)

}  // namespace

class IResettable {
 public:
  virtual ~IResettable() = default;
  virtual void Reset() = 0;
};
ORV_INTERFACE(IResettable, "{5E7A0C21-6B1D-4F0E-9A51-3C2D7E8F9011}")

namespace {

class TResettableOptions : public TInterfacedPersistent, public IResettable {
  ORV_CLASS(TResettableOptions, TInterfacedPersistent)
 public:
  TResettableOptions() = default;
  void Reset() override { Value = 0; }
  int Value = 7;
};

ORV_REGISTER(TResettableOptions)

class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gLog.clear();
    Live = TObject::LiveCount();
  }
  void TearDown() override { EXPECT_EQ(TObject::LiveCount(), Live) << "objects leaked or freed twice"; }
  Int64 Live = 0;
};

}  // namespace

TEST_F(ComponentTest, OwnerMarksTheTreeDestroyingThenFreesItLastFirst) {
  auto* form = New<TProbe>(nullptr, "Form");
  auto* panel = New<TProbe>(form, "Panel");
  auto* button = New<TProbe>(panel, "Button");
  New<TProbe>(form, "Label");
  EXPECT_EQ(form->GetComponentCount(), 2);
  EXPECT_EQ(panel->GetOwner(), form);
  bool formWasDestroying = false;
  button->OnFree = [&] { formWasDestroying = form->GetComponentState().Contains(csDestroying); };

  form->Free();
  EXPECT_TRUE(formWasDestroying);
  EXPECT_EQ(gLog, (std::vector<std::string>{"destroying Form", "destroying Label", "destroying Panel",
                                            "destroying Button", "free Form", "free Label", "free Panel",
                                            "free Button"}));
}

TEST_F(ComponentTest, ComponentFreedDirectlyLeavesItsOwnerAndAClassReferenceInsertsIntoTheOwner) {
  auto* form = New<TProbe>(nullptr, "Form");
  auto* a = static_cast<TProbe*>(TProbe::StaticClass()->Create(form));
  a->SetName("A");
  auto* b = New<TProbe>(form, "B");
  EXPECT_EQ(form->GetComponent(0), a);
  a->Free();
  ASSERT_EQ(form->GetComponentCount(), 1);
  EXPECT_EQ(form->GetComponent(0), b);
  EXPECT_EQ(b->GetComponentIndex(), 0);
  EXPECT_THROW(form->GetComponent(1), EListError);
  form->Free();
}

TEST_F(ComponentTest, FreeNotificationWorksInBothDirectionsUntilRemoved) {
  auto* a = New<TProbe>(nullptr, "A");
  auto* b = New<TProbe>(nullptr, "B");
  auto* c = New<TProbe>(nullptr, "C");
  a->Verbose = b->Verbose = c->Verbose = true;
  a->FreeNotification(b);
  a->FreeNotification(c);
  c->RemoveFreeNotification(a);

  b->Free();  // b asked nothing itself, yet hears of a and a hears of it
  EXPECT_EQ(gLog, (std::vector<std::string>{"destroying B", "free B", "A hears -B"}));
  gLog.clear();
  a->Free();  // the link to b is gone and the one to c was removed
  EXPECT_EQ(gLog, (std::vector<std::string>{"destroying A", "free A"}));
  c->Free();
}

TEST_F(ComponentTest, NotifiedComponentMayFreeOthersAndItself) {
  auto* subject = New<TProbe>(nullptr, "Subject");
  auto* watcher = New<TProbe>(nullptr, "Watcher");
  auto* bystander = New<TProbe>(nullptr, "Bystander");
  auto* suicidal = New<TProbe>(nullptr, "Suicidal");
  // Told last first: the watcher, then the one that frees itself, then the
  // bystander, unless the watcher has freed it by then.
  for (TProbe* p : {bystander, suicidal, watcher}) subject->FreeNotification(p);
  watcher->FreeNotification(bystander);
  bool bystanderGone = false;
  bystander->OnFree = [&] { bystanderGone = true; };
  watcher->OnRemove = [&](TComponent* c) {
    if (c == subject && !bystanderGone) bystander->Free();
  };
  suicidal->OnRemove = [&](TComponent* c) {
    if (c == subject) suicidal->Free();
  };

  subject->Free();
  EXPECT_TRUE(bystanderGone);
  // Only the watcher is left, and nothing links it to the dead.
  gLog.clear();
  watcher->Verbose = true;
  watcher->Free();
  EXPECT_EQ(gLog, (std::vector<std::string>{"destroying Watcher", "free Watcher"}));
}

TEST_F(ComponentTest, OwnerTellsItsComponentsOfInsertionsAndRemovals) {
  auto* form = New<TProbe>(nullptr, "Form");
  auto* a = New<TProbe>(form, "A");
  form->Verbose = a->Verbose = true;
  auto* b = New<TProbe>(nullptr, "B");
  form->InsertComponent(b);
  form->RemoveComponent(b);
  EXPECT_EQ(b->GetOwner(), nullptr);
  EXPECT_EQ(gLog, (std::vector<std::string>{"A hears +B", "Form hears +B", "A hears -B", "Form hears -B"}));
  b->Free();
  form->Free();
}

// Notices go down through plain owners to whoever hears them, however the
// family was built: a hearing member below a plain one, a plain member that
// later takes a free notification, and one whose hearing member left.
TEST_F(ComponentTest, NoticesReachHearingMembersBelowPlainOwners) {
  auto* form = New<TProbe>(nullptr, "Form");
  auto* plain = New<TComponent>(form);
  plain->SetName("Plain");
  auto* inner = New<TProbe>(plain, "Inner");
  auto* quiet = New<TComponent>(form);
  auto* quietChild = New<TComponent>(quiet);
  inner->Verbose = true;
  // (A newcomer is announced before its name is set.)
  auto* b = New<TProbe>(form, "B");
  EXPECT_EQ(gLog, (std::vector<std::string>{"Inner hears +"}));

  // A plain member tied by free notification later hears what its owner's
  // owner says, and unties when the partner goes.
  auto* partner = New<TProbe>(nullptr, "Partner");
  partner->Verbose = true;
  quietChild->FreeNotification(partner);
  gLog.clear();
  b->Free();
  EXPECT_EQ(gLog, (std::vector<std::string>{"destroying B", "free B", "Inner hears -B"}));
  gLog.clear();
  quietChild->Free();
  EXPECT_EQ(gLog, (std::vector<std::string>{"Partner hears -"}));

  // The hearing member leaves: its old owner has nothing to pass on, and
  // the member still hears its new family.
  auto* other = New<TProbe>(nullptr, "Other");
  other->InsertComponent(inner);
  gLog.clear();
  New<TProbe>(form, "C");
  auto* d = New<TProbe>(other, "D");
  EXPECT_EQ(gLog, (std::vector<std::string>{"Inner hears +"}));
  (void)d;
  partner->Free();
  other->Free();
  form->Free();
}

TEST_F(ComponentTest, SiblingsFreedDuringTheOwnersBroadcastAreSkippedSafely) {
  auto* form = New<TProbe>(nullptr, "Form");
  std::vector<TProbe*> kids;
  for (const char* n : {"K0", "K1", "K2", "K3", "K4"}) kids.push_back(New<TProbe>(form, n));
  auto* leaving = New<TProbe>(form, "Leaving");
  // K4, told first, frees K1, K3 and itself when it hears that Leaving goes.
  kids[4]->OnRemove = [&](TComponent* c) {
    if (c != leaving) return;
    kids[1]->Free();
    kids[3]->Free();
    kids[4]->Free();
  };
  leaving->Free();
  ASSERT_EQ(form->GetComponentCount(), 2);
  EXPECT_EQ(form->GetComponent(0)->GetName(), "K0");
  EXPECT_EQ(form->GetComponent(1)->GetName(), "K2");
  form->Free();
}

TEST_F(ComponentTest, ComponentFreeingASiblingWhileTheOwnerFreesThemAll) {
  auto* form = New<TProbe>(nullptr, "Form");
  auto* first = New<TProbe>(form, "First");
  auto* keeper = New<TProbe>(form, "Keeper");
  New<TProbe>(form, "Last");
  // The owner frees Last, then Keeper, whose destructor frees First.
  keeper->OnFree = [first] { first->Free(); };
  form->Free();
  EXPECT_EQ(std::count(gLog.begin(), gLog.end(), "free First"), 1);
}

TEST_F(ComponentTest, NamesAreIdentifiersUniqueAmongTheOwnersComponentsIgnoringCase) {
  auto* form = New<TProbe>(nullptr, "Form");
  auto* a = New<TProbe>(form, "Alpha");
  auto* b = New<TProbe>(form, "Beta");

  for (const char* bad : {"1st", "has space", "dot.ted", "é"}) {
    try {
      b->SetName(bad);
      ADD_FAILURE() << bad;
    } catch (const EComponentError& e) {
      EXPECT_EQ(e.GetMessage(), std::string("'") + bad + "' is not a valid component name");
    }
  }
  try {
    b->SetName("ALPHA");
    ADD_FAILURE();
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.GetMessage(), "A component named ALPHA already exists");
  }
  EXPECT_EQ(b->GetName(), "Beta");

  a->SetName("ALPHA");  // its own name in another case
  EXPECT_EQ(form->FindComponent("alpha"), a);
  EXPECT_EQ(form->FindComponent(""), nullptr);
  b->SetName("_beta2");
  b->SetName("");       // any number of components may be unnamed
  New<TProbe>(form)->SetName("");
  EXPECT_EQ(a->GetName(), "ALPHA");

  // Unowned components do not compete; joining an owner does.
  auto* stray = New<TProbe>(nullptr, "alpha");
  EXPECT_THROW(form->InsertComponent(stray), EComponentError);
  EXPECT_EQ(stray->GetOwner(), nullptr);
  EXPECT_EQ(form->GetComponentCount(), 3);
  stray->Free();

  // Published Name goes through the same validation.
  EXPECT_THROW(SetStrProp(a, "Name", "no good"), EComponentError);
  SetStrProp(a, "Name", "Gamma");
  EXPECT_EQ(a->GetName(), "Gamma");
  form->Free();
}

TEST_F(ComponentTest, ComponentRefusedByItsOwnerDuringConstructionLeavesNoTrace) {
  auto* form = New<TProbe>(nullptr, "Form");
  New<TProbe>(form, "Kept");
  form->RefuseInserts = true;
  EXPECT_THROW(New<TProbe>(form), EComponentError);
  EXPECT_THROW(TProbe::StaticClass()->Create(form), EComponentError);
  EXPECT_EQ(form->GetComponentCount(), 1);
  form->Free();
}

TEST_F(ComponentTest, ComponentIndexMovesWithinTheOwnerAndClamps) {
  auto* form = New<TProbe>(nullptr, "Form");
  auto* a = New<TProbe>(form, "A");
  auto* b = New<TProbe>(form, "B");
  auto* c = New<TProbe>(form, "C");
  auto names = [&] {
    std::string s;
    for (Integer i = 0; i < form->GetComponentCount(); ++i) s += form->GetComponent(i)->GetName();
    return s;
  };
  c->SetComponentIndex(0);
  EXPECT_EQ(names(), "CAB");
  c->SetComponentIndex(99);
  EXPECT_EQ(names(), "ABC");
  b->SetComponentIndex(-5);
  EXPECT_EQ(names(), "BAC");
  EXPECT_EQ(a->GetComponentIndex(), 1);
  EXPECT_EQ(form->GetComponentIndex(), -1);
  form->Free();
}

TEST_F(ComponentTest, InsertingTakesOverFromTheOldOwnerAndRefusesCycles) {
  auto* left = New<TProbe>(nullptr, "Left");
  auto* right = New<TProbe>(nullptr, "Right");
  auto* item = New<TProbe>(left, "Item");
  auto* inner = New<TProbe>(item, "Inner");
  right->InsertComponent(item);
  EXPECT_EQ(left->GetComponentCount(), 0);
  EXPECT_EQ(item->GetOwner(), right);

  EXPECT_THROW(inner->InsertComponent(right), EComponentError);
  EXPECT_THROW(item->InsertComponent(item), EComponentError);
  left->Free();
  right->Free();
}

TEST_F(ComponentTest, RootStreamsTheComponentsItOwnsThatHaveNoParent) {
  auto* form = New<TProbe>(nullptr, "Form");
  auto* a = New<TProbe>(form, "A");
  New<TProbe>(a, "Nested");
  New<TProbe>(form, "B");
  std::vector<std::string> seen;
  TGetChildProc proc = [&](TComponent* c) { seen.push_back(c->GetName()); };
  form->GetChildren(proc, form);
  a->GetChildren(proc, form);
  EXPECT_EQ(seen, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(GetPropInfo(form, "Tag")->PropType->Kind, tkInt64);
  form->SetTag(static_cast<NativeInt>(0x123456789));
  EXPECT_EQ(GetInt64Prop(form, "Tag"), 0x123456789);
  EXPECT_FALSE(IsStoredProp(form, GetPropInfo(form, "Name")));
  form->Free();
}

TEST_F(ComponentTest, AssignAsksTheSourceAndNamesBothClassesOnFailure) {
  TSettings s;
  TLegacySettings legacy;
  legacy.Old = 4;
  s.Assign(&legacy);
  EXPECT_EQ(s.Value, 40);

  auto message = [](TPersistent* dest, TPersistent* src) -> std::string {
    try {
      dest->Assign(src);
    } catch (const EConvertError& e) {
      return e.GetMessage();
    }
    return "no error";
  };
  EXPECT_EQ(message(&legacy, &s), "Cannot assign a TSettings to a TLegacySettings");
  EXPECT_EQ(message(&s, nullptr), "Cannot assign a nil to a TSettings");
  EXPECT_EQ(s.GetNamePath(), "TSettings");
}

TEST_F(ComponentTest, AnObjectAssignedToItselfStaysAsItIs) {
  // Copying starts by letting go of what the object held, which would
  // also be all the source has.
  TNotes notes;
  notes.Lines = {"one", "two"};
  notes.Assign(&notes);
  EXPECT_EQ(notes.Lines, (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(notes.Copies, 0);
  TNotes other;
  other.Assign(&notes);
  EXPECT_EQ(other.Lines, notes.Lines);
  EXPECT_EQ(other.Copies, 1);
}

TEST_F(ComponentTest, InterfacedPersistentOffersItsInterfacesWithoutCounting) {
  auto* options = New<TResettableOptions>();
  IResettable* r = Supports<IResettable>(options);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(options->_AddRef(), -1);
  EXPECT_EQ(options->_Release(), -1);
  r->Reset();
  EXPECT_EQ(options->Value, 0);
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(options->QueryInterface(TGUID::Parse("{00000000-0000-0000-0000-0000000000AA}"), &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  options->Free();  // still alive after the releases above
}
