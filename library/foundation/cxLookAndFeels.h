// The look-and-feel settings every drawing control owns: which kind to draw
// with and whether to use the visual themes, inherited value by value from
// a master and in the end from one process-wide root, and the painter class
// that draws the control now. Also the controller component that edits the
// root, the fan-out of system colour changes, and helpers that push a
// look-and-feel onto a tree of controls.
#pragma once

#include <vector>

#include "library/foundation/cxClasses.h"
#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/dxThemeManager.h"
#include "platform/forms/Controls.h"

ORV_ENUM(TcxLookAndFeelKind, lfFlat, lfStandard, lfUltraFlat, lfOffice11)
ORV_ENUM(TcxLookAndFeelValue, lfvKind, lfvNativeStyle)
using TcxLookAndFeelValues = Set<TcxLookAndFeelValue>;

class TcxLookAndFeel;

class IcxLookAndFeelNotificationListener {
 public:
  virtual ~IcxLookAndFeelNotificationListener() = default;
  virtual TObject* GetObject() = 0;
  virtual void MasterLookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) = 0;
  virtual void MasterLookAndFeelDestroying(TcxLookAndFeel* Sender) = 0;
};
ORV_INTERFACE(IcxLookAndFeelNotificationListener, "{09F77B2E-57F0-4E81-97B8-E5AABE3643CF}")

// Controls that own a look-and-feel.
class IcxLookAndFeelContainer {
 public:
  virtual ~IcxLookAndFeelContainer() = default;
  virtual TcxLookAndFeel* GetLookAndFeel() = 0;
};
ORV_INTERFACE(IcxLookAndFeelContainer, "{E2978167-5D8A-4C48-BE86-B4834747AA93}")

using TcxLookAndFeelChangedEvent = Event<void(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues)>;
using TcxSystemPaletteChangedEvent = Event<void()>;

// Hears WM_SYSCOLORCHANGE through one shared hidden window. Primary
// notifiers (shared images) hear it before the others (controls).
class TcxSystemPaletteChangedNotifier : public TObject {
  ORV_CLASS(TcxSystemPaletteChangedNotifier, TObject)
 public:
  explicit TcxSystemPaletteChangedNotifier(bool AIsPrimary = false);
  ~TcxSystemPaletteChangedNotifier() override;
  bool GetIsPrimary() const { return FIsPrimary; }
  TcxSystemPaletteChangedEvent OnSystemPaletteChanged;

 protected:
  friend class TcxSystemPaletteChangedListener;
  virtual void DoChanged();

 private:
  bool FIsPrimary;
};

class TcxLookAndFeel : public TcxInterfacedPersistent, public IcxLookAndFeelNotificationListener {
  ORV_CLASS(TcxLookAndFeel, TcxInterfacedPersistent)
 public:
  explicit TcxLookAndFeel(TPersistent* AOwner);
  ~TcxLookAndFeel() override;

  // Drops every local value: both are inherited again.
  void Reset();
  void SetStyle(TcxLookAndFeelStyle AStyle);

  TcxLookAndFeelValues GetAssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxLookAndFeelValues Value);
  TcxLookAndFeelKind GetKind() const { return FKind; }
  void SetKind(TcxLookAndFeelKind Value);
  bool GetNativeStyle() const { return FNativeStyle; }
  void SetNativeStyle(bool Value);
  bool IsKindStored() const { return FAssignedValues.Contains(lfvKind); }
  bool IsNativeStyleStored() const { return FAssignedValues.Contains(lfvNativeStyle); }

  // Null for the root; the explicit master, else the root.
  TcxLookAndFeel* GetMasterLookAndFeel() const;
  void SetMasterLookAndFeel(TcxLookAndFeel* Value);
  // The fixed painter when one is set, else the painter for any object.
  TcxCustomLookAndFeelPainterClass GetPainter() const;
  void SetPainter(TcxCustomLookAndFeelPainterClass Value);
  TcxLookAndFeelStyle GetActiveStyle() const;
  TcxCustomLookAndFeelPainterClass GetAvailablePainter(TdxThemedObjectType AThemedObjectType) const;
  TcxCustomLookAndFeelPainterClass GetAvailablePainter(TdxThemedObjectTypes AThemedObjectTypes = {}) const;

  void AddChangeListener(IcxLookAndFeelNotificationListener* AListener);
  void RemoveChangeListener(IcxLookAndFeelNotificationListener* AListener);

  // The listener side.
  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override;
  void MasterLookAndFeelDestroying(TcxLookAndFeel* Sender) override;

  TcxLookAndFeelChangedEvent OnChanged;

 protected:
  void DoAssign(TPersistent* Source) override;

  virtual TcxLookAndFeelKind InternalGetKind() const;
  virtual bool InternalGetNativeStyle() const;
  virtual void SystemPaletteChanged();
  void Changed(TcxLookAndFeelValues AChangedValues);

 private:
  friend void cxLookAndFeelsInitialize();
  TcxLookAndFeelKind GetDefaultKind() const;
  bool GetDefaultNativeStyle() const;
  void SaveState();
  void CheckStateChanges();
  void MoveToMaster(TcxLookAndFeel* Value);

  std::vector<IcxLookAndFeelNotificationListener*> FListeners;
  TcxLookAndFeelValues FAssignedValues;
  TcxLookAndFeelKind FKind = lfUltraFlat;
  bool FNativeStyle = false;
  TcxLookAndFeelKind FAssignedKind = lfUltraFlat;
  bool FAssignedNativeStyle = false;
  bool FDestroying = false;
  bool FIsRoot = false;
  TcxLookAndFeel* FMaster = nullptr;
  TcxCustomLookAndFeelPainterClass FPainter;
  TcxLookAndFeelKind FSavedKind = lfUltraFlat;
  bool FSavedNativeStyle = false;
  TcxSystemPaletteChangedNotifier* FSystemPaletteChangedNotifier = nullptr;
};

// Edits the root look-and-feel; the last controller to go resets it.
class TcxLookAndFeelController : public TComponent, public IcxLookAndFeelNotificationListener {
  ORV_CLASS(TcxLookAndFeelController, TComponent)
 public:
  explicit TcxLookAndFeelController(TComponent* AOwner);
  ~TcxLookAndFeelController() override;

  TcxLookAndFeelKind GetKind() const;
  void SetKind(TcxLookAndFeelKind Value);
  bool GetNativeStyle() const;
  void SetNativeStyle(bool Value);

  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override;
  void MasterLookAndFeelDestroying(TcxLookAndFeel* Sender) override;

 protected:
  virtual void Modified() {}
};

// The root (null before start-up and after shut-down).
TcxLookAndFeel* RootLookAndFeel();
// Sets the master (or kind and native style) of the look-and-feel of
// AControl and of every windowed control below it that owns one.
void SetControlLookAndFeel(TWinControl* AControl, TcxLookAndFeel* AMasterLookAndFeel);
void SetControlLookAndFeel(TWinControl* AControl, TcxLookAndFeelKind AKind, bool ANativeStyle);

// The unit's start-up and shut-down steps: the root look-and-feel and the
// painters' primary palette notifier.
void cxLookAndFeelsInitialize();
void cxLookAndFeelsFinalize();
