// The screen: the forms that exist and which is active, the cursor shapes
// by id and a cursor that overrides every control's, sizes, monitors and
// the standard fonts. The mouse: pointer position, capture and the
// thresholds a control consults.
#pragma once

#include <map>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/win/Monitors.h"

class TCustomForm;

class TMonitor : public TObject {
  ORV_CLASS(TMonitor, TObject)
 public:
  explicit TMonitor(win::HMONITOR Handle) : FHandle(Handle) {}
  win::HMONITOR GetHandle() const { return FHandle; }
  Integer GetMonitorNum() const;
  TRect GetBoundsRect() const;
  TRect GetWorkareaRect() const;
  bool GetPrimary() const;
  Integer GetLeft() const { return GetBoundsRect().Left; }
  Integer GetTop() const { return GetBoundsRect().Top; }
  Integer GetWidth() const { return GetBoundsRect().Width(); }
  Integer GetHeight() const { return GetBoundsRect().Height(); }

 private:
  win::HMONITOR FHandle;
};

class TScreen : public TComponent {
  ORV_CLASS(TScreen, TComponent)
 public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  Integer GetFormCount() const { return static_cast<Integer>(FForms.size()); }
  TCustomForm* GetForms(Integer Index) const { return FForms.at(static_cast<std::size_t>(Index)); }
  Integer GetCustomFormCount() const { return GetFormCount(); }
  TCustomForm* GetCustomForms(Integer Index) const { return GetForms(Index); }
  TCustomForm* GetActiveForm() const { return FActiveForm; }
  TCustomForm* GetActiveCustomForm() const { return FActiveForm; }
  TWinControl* GetActiveControl() const { return FActiveControl; }

  // crDefault lets every control show its own cursor.
  TCursor GetCursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  // The shape of a cursor id: a stock one, one the program registered, or
  // the arrow for an unknown id.
  win::HCURSOR GetCursors(Integer Index);
  void SetCursors(Integer Index, win::HCURSOR Handle);

  Integer GetWidth() const;
  Integer GetHeight() const;
  TRect GetWorkAreaRect() const;
  Integer GetWorkAreaLeft() const { return GetWorkAreaRect().Left; }
  Integer GetWorkAreaTop() const { return GetWorkAreaRect().Top; }
  Integer GetWorkAreaWidth() const { return GetWorkAreaRect().Width(); }
  Integer GetWorkAreaHeight() const { return GetWorkAreaRect().Height(); }
  Integer GetDesktopWidth() const { return GetWidth(); }
  Integer GetDesktopHeight() const { return GetHeight(); }
  Integer GetMonitorCount();
  TMonitor* GetMonitors(Integer Index);
  TMonitor* MonitorFromPoint(const TPoint& Point);
  Integer GetPixelsPerInch() const { return 96; }
  TFont* GetMenuFont() const { return FMenuFont; }
  TFont* GetHintFont() const { return FHintFont; }
  TFont* GetIconFont() const { return FIconFont; }

  // A control going away: the screen forgets it.
  void ControlDestroying(TControl* Control);

  TNotifyEvent OnActiveControlChange, OnActiveFormChange;

 private:
  friend class TCustomForm;
  friend class TApplication;

  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);
  void SetActiveForm(TCustomForm* Form);
  void SetActiveControl(TWinControl* Control);
  void RefreshMonitors();

  std::vector<TCustomForm*> FForms;  // the active one first
  TCustomForm* FActiveForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  TCursor FCursor = crDefault;
  std::map<Integer, win::HCURSOR> FCursors;
  std::vector<TMonitor*> FMonitors;
  TFont* FMenuFont;
  TFont* FHintFont;
  TFont* FIconFont;
};

class TMouse : public TObject {
  ORV_CLASS(TMouse, TObject)
 public:
  TMouse() = default;
  TPoint GetCursorPos() const;
  void SetCursorPos(const TPoint& Value);
  win::HWND GetCapture() const;
  void SetCapture(win::HWND Value);
  Integer GetDragThreshold() const { return FDragThreshold; }
  void SetDragThreshold(Integer Value) { FDragThreshold = Value; }
  Integer GetWheelScrollLines() const;
  bool GetMousePresent() const { return true; }
  bool GetWheelPresent() const { return true; }

 private:
  Integer FDragThreshold = 5;
};

extern TScreen* Screen;
extern TMouse* Mouse;
