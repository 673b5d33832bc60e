#include "library/foundation/cxLookAndFeels.h"

#include <algorithm>

#include "library/foundation/cxControls.h"
#include "library/foundation/dxOffice11.h"

using namespace win;

ORV_REGISTER(TcxSystemPaletteChangedNotifier)
ORV_REGISTER(TcxLookAndFeel, ORV_PROP(AssignedValues).Stored(false),
             ORV_PROP(Kind).StoredBy<&TcxLookAndFeel::IsKindStored>(),
             ORV_PROP(NativeStyle).StoredBy<&TcxLookAndFeel::IsNativeStyleStored>())
ORV_REGISTER(TcxLookAndFeelController, ORV_PROP(Kind).Default(lfUltraFlat), ORV_PROP(NativeStyle).Default(false))

namespace {

TcxLookAndFeel* gRoot = nullptr;
Integer gControllerCount = 0;
TcxSystemPaletteChangedNotifier* gPaintersNotifier = nullptr;

TcxCustomLookAndFeelPainterClass KindPainter(TcxLookAndFeelKind AKind) {
  switch (AKind) {
    case lfFlat:
      return TcxFlatLookAndFeelPainter::StaticClass();
    case lfStandard:
      return TcxStandardLookAndFeelPainter::StaticClass();
    case lfOffice11:
      return TcxOffice11LookAndFeelPainter::StaticClass();
    case lfUltraFlat:
      break;
  }
  return TcxUltraFlatLookAndFeelPainter::StaticClass();
}

// Whether ALookAndFeel is AMaster or lies down AMaster's chain of masters.
// A master for which it does would pass every change round the ring for
// ever, so SetMasterLookAndFeel and Assign ignore one. The chain is finite:
// every link passed this test when it was set.
bool LeadsTo(const TcxLookAndFeel* AMaster, const TcxLookAndFeel* ALookAndFeel) {
  for (const TcxLookAndFeel* link = AMaster; link; link = link->GetMasterLookAndFeel())
    if (link == ALookAndFeel) return true;
  return false;
}

bool IsController(IcxLookAndFeelNotificationListener* AListener) {
  return dynamic_cast<TcxLookAndFeelController*>(AListener->GetObject()) != nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// The one hidden window that hears system colour changes.
//
// Its notifiers hear a theme switch the same way: the native painter comes
// or goes and the Office-11 colours follow the theme, so everything drawn
// in the system's look has to draw again. The theme manager tells it once
// its own answer to "themes on?" is the new one.
class TcxSystemPaletteChangedListener : public TcxMessageWindow {
  ORV_CLASS(TcxSystemPaletteChangedListener, TcxMessageWindow)
 public:
  TcxSystemPaletteChangedListener() : FThemeNotificator(New<TdxThemeChangedNotificator>()) {
    CreateOffice11Colors();
    FThemeNotificator->SetOnThemeChanged([this] { Changed(); });
  }
  ~TcxSystemPaletteChangedListener() override {
    FThemeNotificator->Free();
    ReleaseOffice11Colors();
  }
  std::vector<TcxSystemPaletteChangedNotifier*> Primary, Others;

 protected:
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_SYSCOLORCHANGE) Changed();
    TcxMessageWindow::WndProc(Message);
  }

 private:
  void Changed() {
    RefreshOffice11Colors();
    // Walked from the last to the first, so a notifier that goes away
    // while notified leaves the rest of the walk intact.
    for (auto* list : {&Primary, &Others})
      for (std::size_t i = list->size(); i-- > 0;)
        if (i < list->size()) (*list)[i]->DoChanged();
  }

  TdxThemeChangedNotificator* FThemeNotificator;
};
ORV_REGISTER(TcxSystemPaletteChangedListener)

namespace {
TcxSystemPaletteChangedListener* gPaletteListener = nullptr;
Integer gPaletteListenerRefCount = 0;
}  // namespace

// ---------------------------------------------------------------------------
// TcxSystemPaletteChangedNotifier

TcxSystemPaletteChangedNotifier::TcxSystemPaletteChangedNotifier(bool AIsPrimary) : FIsPrimary(AIsPrimary) {
  if (gPaletteListenerRefCount++ == 0) gPaletteListener = New<TcxSystemPaletteChangedListener>();
  (FIsPrimary ? gPaletteListener->Primary : gPaletteListener->Others).push_back(this);
}

TcxSystemPaletteChangedNotifier::~TcxSystemPaletteChangedNotifier() {
  auto& list = FIsPrimary ? gPaletteListener->Primary : gPaletteListener->Others;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  if (--gPaletteListenerRefCount == 0) {
    gPaletteListener->Free();
    gPaletteListener = nullptr;
  }
}

void TcxSystemPaletteChangedNotifier::DoChanged() {
  if (OnSystemPaletteChanged) OnSystemPaletteChanged();
}

// ---------------------------------------------------------------------------
// TcxLookAndFeel

TcxLookAndFeel::TcxLookAndFeel(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {
  FSystemPaletteChangedNotifier = New<TcxSystemPaletteChangedNotifier>(false);
  FSystemPaletteChangedNotifier->OnSystemPaletteChanged = [this] { SystemPaletteChanged(); };
  if (gRoot) {
    gRoot->AddChangeListener(this);
    FKind = InternalGetKind();
    FNativeStyle = InternalGetNativeStyle();
  }
}

TcxLookAndFeel::~TcxLookAndFeel() {
  FSystemPaletteChangedNotifier->Free();
  FDestroying = true;
  // A listener that leaves while the others are told (one freed by another's
  // change handler) is blanked out of the list, and none joins.
  for (std::size_t i = 0; i < FListeners.size(); ++i)
    if (FListeners[i]) FListeners[i]->MasterLookAndFeelDestroying(this);
  FDestroying = false;
  FListeners.clear();
  if (TcxLookAndFeel* master = GetMasterLookAndFeel()) master->RemoveChangeListener(this);
  if (FIsRoot) gRoot = nullptr;
}

void TcxLookAndFeel::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxLookAndFeel*>(Source);
  if (!source) return TcxInterfacedPersistent::DoAssign(Source);
  SaveState();
  FAssignedKind = source->FAssignedKind;
  FAssignedNativeStyle = source->FAssignedNativeStyle;
  FAssignedValues = source->FAssignedValues;
  // One notice for the values and the master together.
  TcxLookAndFeel* master = source->GetMasterLookAndFeel();
  if (!FIsRoot && !LeadsTo(master, this) && master != GetMasterLookAndFeel()) MoveToMaster(master);
  CheckStateChanges();
}

void TcxLookAndFeel::Reset() { SetAssignedValues({}); }

void TcxLookAndFeel::SetStyle(TcxLookAndFeelStyle AStyle) {
  SetNativeStyle(AStyle == lfsNative);
  if (GetNativeStyle()) return;
  switch (AStyle) {
    case lfsFlat:
      return SetKind(lfFlat);
    case lfsStandard:
      return SetKind(lfStandard);
    case lfsUltraFlat:
      return SetKind(lfUltraFlat);
    case lfsOffice11:
      return SetKind(lfOffice11);
    case lfsNative:
      break;
  }
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues Value) {
  if (FAssignedValues == Value) return;
  SaveState();
  FAssignedValues = Value;
  CheckStateChanges();
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind Value) {
  const TcxLookAndFeelKind old = GetKind();
  FAssignedValues.Include(lfvKind);
  FAssignedKind = Value;
  if (InternalGetKind() != old) Changed({lfvKind});
}

void TcxLookAndFeel::SetNativeStyle(bool Value) {
  const bool old = GetNativeStyle();
  FAssignedValues.Include(lfvNativeStyle);
  FAssignedNativeStyle = Value;
  if (InternalGetNativeStyle() != old) Changed({lfvNativeStyle});
}

TcxLookAndFeel* TcxLookAndFeel::GetMasterLookAndFeel() const {
  if (FIsRoot) return nullptr;
  return FMaster ? FMaster : gRoot;
}

void TcxLookAndFeel::SetMasterLookAndFeel(TcxLookAndFeel* Value) {
  if (FIsRoot || LeadsTo(Value, this) || Value == GetMasterLookAndFeel()) return;
  SaveState();
  MoveToMaster(Value);
  CheckStateChanges();
}

void TcxLookAndFeel::MoveToMaster(TcxLookAndFeel* Value) {
  if (TcxLookAndFeel* old = GetMasterLookAndFeel()) old->RemoveChangeListener(this);
  FMaster = Value;
  if (TcxLookAndFeel* master = GetMasterLookAndFeel()) master->AddChangeListener(this);
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::GetPainter() const {
  if (FPainter) return FPainter;
  return GetAvailablePainter();
}

void TcxLookAndFeel::SetPainter(TcxCustomLookAndFeelPainterClass Value) {
  // Compared with the fixed painter, not the one in effect: fixing the
  // painter that draws now must still hold when the kind changes later.
  if (Value == FPainter) return;
  const TcxCustomLookAndFeelPainterClass old = GetPainter();
  FPainter = Value;
  if (GetPainter() != old) Changed({lfvKind, lfvNativeStyle});
}

TcxLookAndFeelStyle TcxLookAndFeel::GetActiveStyle() const {
  if (GetNativeStyle() && AreVisualStylesAvailable()) return lfsNative;
  switch (GetKind()) {
    case lfFlat:
      return lfsFlat;
    case lfStandard:
      return lfsStandard;
    case lfOffice11:
      return lfsOffice11;
    case lfUltraFlat:
      break;
  }
  return lfsUltraFlat;
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::GetAvailablePainter(TdxThemedObjectType AThemedObjectType) const {
  return GetAvailablePainter(TdxThemedObjectTypes{AThemedObjectType});
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::GetAvailablePainter(TdxThemedObjectTypes AThemedObjectTypes) const {
  if (GetNativeStyle()) {
    const bool available =
        AThemedObjectTypes.Empty() ? AreVisualStylesAvailable() : AreVisualStylesAvailable(AThemedObjectTypes);
    if (available) return TcxWinXPLookAndFeelPainter::StaticClass();
  }
  return KindPainter(GetKind());
}

void TcxLookAndFeel::AddChangeListener(IcxLookAndFeelNotificationListener* AListener) {
  if (!AListener || FDestroying) return;
  const bool controller = IsController(AListener);
  if (controller && !FIsRoot) return;
  if (std::find(FListeners.begin(), FListeners.end(), AListener) != FListeners.end()) return;
  FListeners.push_back(AListener);
  if (controller) ++gControllerCount;
}

void TcxLookAndFeel::RemoveChangeListener(IcxLookAndFeelNotificationListener* AListener) {
  auto it = std::find(FListeners.begin(), FListeners.end(), AListener);
  if (it == FListeners.end()) return;
  if (FDestroying)
    *it = nullptr;
  else
    FListeners.erase(it);
  if (FIsRoot && IsController(AListener) && --gControllerCount == 0) Reset();
}

void TcxLookAndFeel::MasterLookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues AChangedValues) {
  Changed(AChangedValues - FAssignedValues);
}

void TcxLookAndFeel::MasterLookAndFeelDestroying(TcxLookAndFeel*) { SetMasterLookAndFeel(nullptr); }

TcxLookAndFeelKind TcxLookAndFeel::InternalGetKind() const {
  return FAssignedValues.Contains(lfvKind) ? FAssignedKind : GetDefaultKind();
}

bool TcxLookAndFeel::InternalGetNativeStyle() const {
  return FAssignedValues.Contains(lfvNativeStyle) ? FAssignedNativeStyle : GetDefaultNativeStyle();
}

void TcxLookAndFeel::SystemPaletteChanged() { Changed({lfvNativeStyle}); }

void TcxLookAndFeel::Changed(TcxLookAndFeelValues AChangedValues) {
  if (AChangedValues.Empty() || FDestroying) return;
  FKind = InternalGetKind();
  FNativeStyle = InternalGetNativeStyle();
  // A listener that removes itself must not make the walk skip the next.
  std::size_t i = 0;
  while (i < FListeners.size()) {
    const std::size_t count = FListeners.size();
    FListeners[i]->MasterLookAndFeelChanged(this, AChangedValues);
    if (FListeners.size() == count) ++i;
  }
  if (OnChanged) OnChanged(this, AChangedValues);
}

TcxLookAndFeelKind TcxLookAndFeel::GetDefaultKind() const {
  if (FIsRoot) return lfUltraFlat;
  TcxLookAndFeel* master = GetMasterLookAndFeel();
  return master ? master->GetKind() : lfUltraFlat;
}

bool TcxLookAndFeel::GetDefaultNativeStyle() const {
  if (FIsRoot) return false;
  TcxLookAndFeel* master = GetMasterLookAndFeel();
  return master ? master->GetNativeStyle() : false;
}

void TcxLookAndFeel::SaveState() {
  FSavedKind = GetKind();
  FSavedNativeStyle = GetNativeStyle();
}

void TcxLookAndFeel::CheckStateChanges() {
  TcxLookAndFeelValues changed;
  if (InternalGetKind() != FSavedKind) changed.Include(lfvKind);
  if (InternalGetNativeStyle() != FSavedNativeStyle) changed.Include(lfvNativeStyle);
  Changed(changed);
}

// ---------------------------------------------------------------------------
// TcxLookAndFeelController

TcxLookAndFeelController::TcxLookAndFeelController(TComponent* AOwner) : TComponent(AOwner) {
  if (gRoot) gRoot->AddChangeListener(this);
}

TcxLookAndFeelController::~TcxLookAndFeelController() {
  if (gRoot) gRoot->RemoveChangeListener(this);
}

TcxLookAndFeelKind TcxLookAndFeelController::GetKind() const { return gRoot ? gRoot->GetKind() : lfUltraFlat; }

void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind Value) {
  if (gRoot) gRoot->SetKind(Value);
}

bool TcxLookAndFeelController::GetNativeStyle() const { return gRoot && gRoot->GetNativeStyle(); }

void TcxLookAndFeelController::SetNativeStyle(bool Value) {
  if (gRoot) gRoot->SetNativeStyle(Value);
}

void TcxLookAndFeelController::MasterLookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  if (GetComponentState().Contains(csDesigning)) Modified();
}

// There is no form designer to tell.
void TcxLookAndFeelController::MasterLookAndFeelDestroying(TcxLookAndFeel*) {}

// ---------------------------------------------------------------------------
// Unit routines

TcxLookAndFeel* RootLookAndFeel() { return gRoot; }

void SetControlLookAndFeel(TWinControl* AControl, TcxLookAndFeel* AMasterLookAndFeel) {
  if (auto* container = dynamic_cast<IcxLookAndFeelContainer*>(AControl))
    container->GetLookAndFeel()->SetMasterLookAndFeel(AMasterLookAndFeel);
  for (Integer i = 0; i < AControl->GetControlCount(); ++i)
    if (auto* child = dynamic_cast<TWinControl*>(AControl->GetControl(i)))
      SetControlLookAndFeel(child, AMasterLookAndFeel);
}

void SetControlLookAndFeel(TWinControl* AControl, TcxLookAndFeelKind AKind, bool ANativeStyle) {
  if (auto* container = dynamic_cast<IcxLookAndFeelContainer*>(AControl)) {
    container->GetLookAndFeel()->SetKind(AKind);
    container->GetLookAndFeel()->SetNativeStyle(ANativeStyle);
  }
  for (Integer i = 0; i < AControl->GetControlCount(); ++i)
    if (auto* child = dynamic_cast<TWinControl*>(AControl->GetControl(i)))
      SetControlLookAndFeel(child, AKind, ANativeStyle);
}

void cxLookAndFeelsInitialize() {
  // The painters' shared images take the new colours before any control
  // repaints with them.
  gPaintersNotifier = New<TcxSystemPaletteChangedNotifier>(true);
  gPaintersNotifier->OnSystemPaletteChanged = [] { cxLookAndFeelPaintersSystemPaletteChanged(); };
  gRoot = New<TcxLookAndFeel>(nullptr);
  gRoot->FIsRoot = true;
  gControllerCount = 0;
}

void cxLookAndFeelsFinalize() {
  if (gRoot) gRoot->Free();
  gRoot = nullptr;
  gControllerCount = 0;
  if (gPaintersNotifier) gPaintersNotifier->Free();
  gPaintersNotifier = nullptr;
}
