// The navigator's buttons and their view info: fifteen small glyph buttons
// (first, previous page, previous, next, next page, last, insert, delete,
// edit, post, cancel, refresh, save bookmark, go to bookmark, filter), the
// process-wide default glyphs, and the view info that lays the visible
// buttons out side by side, paints them through the look-and-feel painter,
// tracks the hot and pressed button, repeats Prior and Next while held and
// shows each button's hint. Everything talks to its host through
// IcxNavigatorOwner (the navigator control, cxNavigator.h).
#pragma once

#include <vector>

#include "library/foundation/cxControls.h"
#include "library/foundation/cxGraphics.h"
#include "library/foundation/cxLookAndFeels.h"
#include "platform/forms/ImageList.h"

class THintWindow;
class TcxCustomNavigatorButtons;
class TcxNavigatorButton;

ORV_ENUM(TcxNavigatorChangeType, nctProperties, nctSize, nctLayout)

// The host of a navigator's buttons and view info.
class IcxNavigatorOwner {
 public:
  virtual ~IcxNavigatorOwner() = default;
  virtual void NavigatorChanged(TcxNavigatorChangeType AChangeType) = 0;
  virtual TRect GetNavigatorBounds() = 0;
  virtual TcxCustomNavigatorButtons* GetNavigatorButtons() = 0;
  virtual TCanvas* GetNavigatorCanvas() = 0;
  virtual TcxControl* GetNavigatorControl() = 0;
  virtual bool GetNavigatorFocused() = 0;
  virtual TcxLookAndFeel* GetNavigatorLookAndFeel() = 0;
  virtual TComponent* GetNavigatorOwner() = 0;
  virtual bool GetNavigatorShowHint() = 0;
  virtual bool GetNavigatorTabStop() = 0;
  virtual void NavigatorButtonsStateChanged() = 0;
  virtual void RefreshNavigator() = 0;
};
ORV_INTERFACE(IcxNavigatorOwner, "{504B7F43-8847-46C5-B84A-C24F8E5E61A6}")

// Button indexes: the button's place, its default glyph and the action
// number the bound control receives.
constexpr Integer NBDI_FIRST = 0;
constexpr Integer NBDI_PRIORPAGE = 1;
constexpr Integer NBDI_PRIOR = 2;
constexpr Integer NBDI_NEXT = 3;
constexpr Integer NBDI_NEXTPAGE = 4;
constexpr Integer NBDI_LAST = 5;
constexpr Integer NBDI_INSERT = 6;
constexpr Integer NBDI_DELETE = 7;
constexpr Integer NBDI_EDIT = 8;
constexpr Integer NBDI_POST = 9;
constexpr Integer NBDI_CANCEL = 10;
constexpr Integer NBDI_REFRESH = 11;
constexpr Integer NBDI_SAVEBOOKMARK = 12;
constexpr Integer NBDI_GOTOBOOKMARK = 13;
constexpr Integer NBDI_FILTER = 14;
constexpr Integer NavigatorButtonCount = 15;

// The default glyphs: one list of 12 x 11 images for the whole process,
// made on first use from the "CXNAVIGATORBUTTONS" strip and freed when the
// unit shuts down.
TCustomImageList* NavigatorImages();

using TcxNavigatorButtonClickEvent = Event<void(TObject* Sender, Integer AButtonIndex, bool& ADone)>;

class TcxNavigatorButton : public TPersistent {
  ORV_CLASS(TcxNavigatorButton, TPersistent)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomNavigatorButtons*, Integer)>;
  TcxNavigatorButton(TcxCustomNavigatorButtons* AButtons, Integer ADefaultIndex)
      : FDefaultIndex(ADefaultIndex), FButtons(AButtons) {}

  // Runs DoClick when the button is effectively enabled.
  void Click();
  // The button's own OnClick alone, else the set's OnButtonClick and,
  // unless it says done, the set's default action.
  void DoClick();

  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  AnsiString GetHint() const { return FHint; }
  void SetHint(const AnsiString& Value);
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  bool GetVisible() const { return FVisible; }
  // Marks the visibility as set explicitly.
  void SetVisible(bool Value);
  bool IsVisibleStored() { return FVisibleAssigned; }
  bool GetVisibleAssigned() const { return FVisibleAssigned; }
  void SetVisibleAssigned(bool Value) { FVisibleAssigned = Value; }
  // The host's form: ADefault leaves the explicit mark alone.
  void InternalSetVisible(bool AValue, bool ADefault);
  TNotifyEvent GetOnClick() const { return FOnClick; }
  void SetOnClick(TNotifyEvent Value);

  Integer GetDefaultIndex() const { return FDefaultIndex; }
  TcxCustomNavigatorButtons* GetButtons() const { return FButtons; }
  // Enabled and allowed by the button set.
  bool GetInternalEnabled();
  // Hint, or the set's text for the button when it is empty.
  AnsiString GetInternalHint();
  // The set's Images with ImageIndex when both are there, otherwise the
  // default glyphs with the default index.
  TCustomImageList* GetInternalImages();
  Integer GetInternalImageIndex();
  TSize GetImageSize();

 protected:
  void DoAssign(TPersistent* Source) override;

  TPersistent* GetOwner() override;

 private:
  IcxNavigatorOwner* GetNavigator() const;
  bool FEnabled = true;
  AnsiString FHint;
  Integer FDefaultIndex = 0;
  Integer FImageIndex = -1;
  bool FVisibleAssigned = false;
  bool FVisible = true;
  TNotifyEvent FOnClick;
  TcxCustomNavigatorButtons* FButtons = nullptr;
};

class TcxCustomNavigatorButtons : public TPersistent {
  ORV_CLASS(TcxCustomNavigatorButtons, TPersistent)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(IcxNavigatorOwner*)>;
  explicit TcxCustomNavigatorButtons(IcxNavigatorOwner* ANavigator);
  // Makes the buttons (CreateButtons) once the whole object exists.
  void AfterConstruction() override;
  ~TcxCustomNavigatorButtons() override;

  // Clicks button AIndex (through its own click chain).
  void ClickButton(Integer AIndex);
  Integer GetButtonCount() const { return NavigatorButtonCount; }
  TcxNavigatorButton* GetButton(Integer AIndex) const;
  IcxNavigatorOwner* GetNavigator() const { return FNavigator; }

  virtual void DoButtonClick(Integer) {}
  // The owner's control is enabled.
  virtual bool GetButtonEnabled(Integer AIndex);
  // The button's resource text; empty outside the fifteen.
  virtual AnsiString GetButtonHint(Integer AIndex);
  virtual Integer GetButtonImageOffset() { return 2; }
  virtual void ReleaseBookmark() {}

  bool GetConfirmDelete() const { return FConfirmDelete; }
  void SetConfirmDelete(bool Value);
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TcxNavigatorButtonClickEvent GetOnButtonClick() const { return OnButtonClick; }
  void SetOnButtonClick(TcxNavigatorButtonClickEvent Value);

  // The buttons by name, as they are published.
  TcxNavigatorButton* GetFirst() const { return GetButton(NBDI_FIRST); }
  void SetFirst(TcxNavigatorButton* Value) { GetFirst()->Assign(Value); }
  TcxNavigatorButton* GetPriorPage() const { return GetButton(NBDI_PRIORPAGE); }
  void SetPriorPage(TcxNavigatorButton* Value) { GetPriorPage()->Assign(Value); }
  TcxNavigatorButton* GetPrior() const { return GetButton(NBDI_PRIOR); }
  void SetPrior(TcxNavigatorButton* Value) { GetPrior()->Assign(Value); }
  TcxNavigatorButton* GetNext() const { return GetButton(NBDI_NEXT); }
  void SetNext(TcxNavigatorButton* Value) { GetNext()->Assign(Value); }
  TcxNavigatorButton* GetNextPage() const { return GetButton(NBDI_NEXTPAGE); }
  void SetNextPage(TcxNavigatorButton* Value) { GetNextPage()->Assign(Value); }
  TcxNavigatorButton* GetLast() const { return GetButton(NBDI_LAST); }
  void SetLast(TcxNavigatorButton* Value) { GetLast()->Assign(Value); }
  TcxNavigatorButton* GetInsert() const { return GetButton(NBDI_INSERT); }
  void SetInsert(TcxNavigatorButton* Value) { GetInsert()->Assign(Value); }
  TcxNavigatorButton* GetDelete() const { return GetButton(NBDI_DELETE); }
  void SetDelete(TcxNavigatorButton* Value) { GetDelete()->Assign(Value); }
  TcxNavigatorButton* GetEdit() const { return GetButton(NBDI_EDIT); }
  void SetEdit(TcxNavigatorButton* Value) { GetEdit()->Assign(Value); }
  TcxNavigatorButton* GetPost() const { return GetButton(NBDI_POST); }
  void SetPost(TcxNavigatorButton* Value) { GetPost()->Assign(Value); }
  TcxNavigatorButton* GetCancel() const { return GetButton(NBDI_CANCEL); }
  void SetCancel(TcxNavigatorButton* Value) { GetCancel()->Assign(Value); }
  TcxNavigatorButton* GetRefresh() const { return GetButton(NBDI_REFRESH); }
  void SetRefresh(TcxNavigatorButton* Value) { GetRefresh()->Assign(Value); }
  TcxNavigatorButton* GetSaveBookmark() const { return GetButton(NBDI_SAVEBOOKMARK); }
  void SetSaveBookmark(TcxNavigatorButton* Value) { GetSaveBookmark()->Assign(Value); }
  TcxNavigatorButton* GetGotoBookmark() const { return GetButton(NBDI_GOTOBOOKMARK); }
  void SetGotoBookmark(TcxNavigatorButton* Value) { GetGotoBookmark()->Assign(Value); }
  TcxNavigatorButton* GetFilter() const { return GetButton(NBDI_FILTER); }
  void SetFilter(TcxNavigatorButton* Value) { GetFilter()->Assign(Value); }

  TcxNavigatorButtonClickEvent OnButtonClick;

 protected:
  void DoAssign(TPersistent* Source) override;

  virtual void CreateButtons();
  virtual void DestroyButtons();
  TPersistent* GetOwner() override;

 private:
  void ImageListChange(TObject* Sender);
  IcxNavigatorOwner* FNavigator = nullptr;
  TcxNavigatorButton* FButtons[NavigatorButtonCount] = {};
  TCustomImageList* FImages = nullptr;
  TChangeLink* FImageChangeLink = nullptr;
  bool FConfirmDelete = true;
};

// One visible button where it lies, with the state last drawn.
class TcxNavigatorButtonViewInfo : public TObject {
  ORV_CLASS(TcxNavigatorButtonViewInfo, TObject)
 public:
  TcxNavigatorButton* Button = nullptr;
  TRect Bounds{};
  bool Enabled = false;
  AnsiString Hint;
};

class TcxNavigatorViewInfo : public TObject {
  ORV_CLASS(TcxNavigatorViewInfo, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(IcxNavigatorOwner*, bool)>;
  TcxNavigatorViewInfo(IcxNavigatorOwner* ANavigator, bool AInPlace);
  ~TcxNavigatorViewInfo() override;

  // Lays the visible buttons out in the owner's bounds (see CheckSize)
  // and caches their enabled state and hint.
  virtual void Calculate();
  // Grows AWidth and AHeight to what the visible buttons need; a wider bar
  // gives each button the same whole number of extra pixels and shrinks to
  // what they take. With no visible button the width is 0.
  void CheckSize(Integer& AWidth, Integer& AHeight, bool AWithImageHeight = false);
  virtual void Paint();
  void MouseDown(Integer X, Integer Y);
  void MouseMove(Integer X, Integer Y);
  void MouseUp(Integer X, Integer Y);
  // Moves the keyboard focus to the previous or next visible button.
  void PressArrowKey(bool ALeft);
  void DoEnter();
  void DoExit();
  // Takes the buttons' effective enabled states, repainting those that
  // changed.
  void UpdateButtonsEnabled();
  void MakeIsDirty() { FIsDirty = true; }
  void Clear();
  TcxNavigatorButton* GetButtonAt(const TPoint& P);
  TcxNavigatorButtonViewInfo* GetButtonViewInfoAt(const TPoint& P);
  // The focused button's view info; the first visible one when the focused
  // button went.
  TcxNavigatorButtonViewInfo* GetFocusedButton();
  void SetFocusedButton(TcxNavigatorButtonViewInfo* Value);
  // Hides any hint; shows the hot button's one when asked and allowed.
  void HintActivate(bool AShow);

  Integer GetButtonCount() const { return static_cast<Integer>(FButtons.size()); }
  TcxNavigatorButtonViewInfo* GetButton(Integer AIndex) const { return FButtons[static_cast<size_t>(AIndex)]; }
  TcxNavigatorButtonViewInfo* GetHotButton() const { return FHotButton; }
  TcxNavigatorButtonViewInfo* GetPressedButton() const { return FPressedButton; }
  bool GetHintActive() const { return FHintActive; }
  THintWindow* GetHintWindow() const { return FHintWindow; }
  TcxTimer* GetButtonPressTimer() const { return FButtonPressTimer; }
  TcxCanvas* GetCanvas() const { return FCanvas; }
  IcxNavigatorOwner* GetNavigator() const { return FNavigator; }
  bool GetIsDirty() const { return FIsDirty; }
  bool GetSelected() const { return FSelected; }
  TcxButtonState GetButtonState(TcxNavigatorButtonViewInfo* AButton);

 protected:
  virtual void PaintButton(Integer AIndex);
  void GetMinButtonSize(Integer AIndex, TSize& ASize, bool AWithImageHeight);
  void InvalidateButton(TcxNavigatorButtonViewInfo* AButton);
  void UpdateSelected();
  TcxCustomLookAndFeelPainterClass GetPainter();

 private:
  void DoButtonPressTimer(TObject* Sender);
  void DoHintTimer(TObject* Sender);
  TcxNavigatorButtonViewInfo* ViewInfoOf(TcxNavigatorButton* AButton);
  void SetHotButton(TcxNavigatorButtonViewInfo* Value);

  TcxTimer* FButtonPressTimer = nullptr;
  std::vector<TcxNavigatorButtonViewInfo*> FButtons;
  TcxCanvas* FCanvas = nullptr;
  TcxNavigatorButton* FFocusedButton = nullptr;
  TcxTimer* FHintTimer = nullptr;
  THintWindow* FHintWindow = nullptr;
  bool FHintActive = false;
  TcxNavigatorButtonViewInfo* FHotButton = nullptr;
  bool FIsDirty = true;
  bool FInPlace = false;
  bool FSelected = false;
  IcxNavigatorOwner* FNavigator = nullptr;
  TcxNavigatorButtonViewInfo* FPressedButton = nullptr;
};

using TcxNavigatorViewInfoClass = TClassRef<TcxNavigatorViewInfo>;

// The unit's start-up and shut-down (the default glyphs go at shut-down).
void cxNavigatorInitialize();
void cxNavigatorFinalize();
