// The masked single-line editor. The mask settings live in the properties;
// the editor owns one mask mode object and routes every key, paste, cut,
// click and selection change through it. The mode decides what a key does
// and, where the platform edit should do the inserting or deleting, sends
// keys of its own to the editor; those simulated keys reach the native
// edit without passing through the mask again.
//
// An editor is masked when its effective mask holds at least one character
// that is not a space character; an unmasked one behaves exactly as the
// text editor.
#pragma once

#include "library/editors/core/cxFilterControlUtils.h"
#include "library/editors/core/cxTextEdit.h"
#include "platform/rtl/Owned.h"

// The mask languages: a standard mask, a regular expression, and a regular
// expression that types the characters the pattern forces by itself.
ORV_ENUM(TcxEditMaskKind, emkStandard, emkRegExpr, emkRegExprEx)
using TcxEditMask = AnsiString;

// Declared for the masked editors; nothing here raises it.
ORV_EXCEPTION(EcxMaskEditError, EcxEditError)

class TcxCustomMaskEdit;
class TcxCustomMaskEditProperties;
// The mask modes (the standard mode and the two regular-expression modes)
// live in their own units; a mode is built through its class with
// Construct<TcxCustomMaskEdit*, TcxCustomMaskEditProperties*>, the editor
// being null for a mode that only prepares display values.
class TcxMaskEditCustomMode;
using TcxMaskEditCustomModeClass = TClassRef<TcxMaskEditCustomMode>;

// ---------------------------------------------------------------------------
class TcxCustomMaskEditProperties : public TcxCustomTextEditProperties {
  ORV_CLASS(TcxCustomMaskEditProperties, TcxCustomTextEditProperties)
 public:
  explicit TcxCustomMaskEditProperties(TPersistent* AOwner);
  ~TcxCustomMaskEditProperties() override;

  // Forgets the display-preparation mode before the editors hear of it.
  void Changed() override;

  TClass GetContainerClass() const override;
  // Display formats are not applied to masked values.
  TcxEditDisplayFormatOptions GetDisplayFormatOptions() const override;
  bool IsEditValueValid(Variant& EditValue, bool AEditFocused) override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
  // A masked text that the editor's mode does not accept as complete fails
  // with the "edit value is invalid" text before the text checks run.
  void ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                            IcxEditControl* AEdit) override;
  bool UseLookupData() const override;
  // A masked editor has no length limit of its own: the length goes back
  // to 0.
  void MaxLengthChanged() override;
  // Upper or lower case makes matching case-insensitive.
  void SetCharCase(TEditCharCase Value) override;

  // The mode class of a mask kind; the time and date editors answer their
  // own standard-mask modes.
  virtual TcxMaskEditCustomModeClass GetModeClass(TcxEditMaskKind AMaskKind) const;

  // Whether the effective mask holds a character other than a space.
  bool GetIsMasked() const;
  // The effective mask: the stored one, or for a standard mask left empty
  // the default mask of the bound data.
  TcxEditMask GetEditMask() const;
  // Compiles a changed mask before storing it; a mask that does not compile
  // raises the engine's error and leaves the stored mask, the editors'
  // modes and their texts as they were.
  void SetEditMask(const TcxEditMask& Value);
  TcxEditMaskKind GetMaskKind() const { return FMaskKind; }
  void SetMaskKind(TcxEditMaskKind Value);
  bool GetCaseInsensitive() const { return FCaseInsensitive; }
  // Stays on while the letter case is forced; always notifies.
  void SetCaseInsensitive(bool Value);
  bool GetAlwaysShowBlanksAndLiterals() const { return FAlwaysShowBlanksAndLiterals; }
  void SetAlwaysShowBlanksAndLiterals(bool Value);
  bool GetIgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool Value) { FIgnoreMaskBlank = Value; }
  // The text the attached editor shows for an empty masked value.
  AnsiString GetEmptyString() const { return FEmptyString; }

  // Whether every character of AMask is a space character (the empty mask
  // too).
  static bool EmptyMask(const AnsiString& AMask);

 protected:
  // Another mask properties object's settings as one change: the text
  // settings, then kind, mask, case sensitivity, blank rule and display of
  // blanks, in that order.
  void DoAssign(TPersistent* Source) override;

  // A mode without an editor compiled with the effective mask; null when
  // the mask is empty.
  TOwned<TcxMaskEditCustomMode> CreateMode();
  // Whether the cached mode is of the kind's class and was compiled from
  // the effective mask.
  bool TestTempMaskKind() const;
  bool TestTempEditMask() const;

 private:
  friend class TcxCustomMaskEdit;

  TcxEditMask FEditMask;
  TcxEditMaskKind FMaskKind = emkStandard;
  bool FCaseInsensitive = true;
  bool FAlwaysShowBlanksAndLiterals = false;
  bool FIgnoreMaskBlank = false;
  // Owned; lives from the first display preparation until the next change.
  TOwned<TcxMaskEditCustomMode> FTempMode;
  AnsiString FEmptyString;
  bool FMaxLengthSetting = false;
};

// The published form.
class TcxMaskEditProperties : public TcxCustomMaskEditProperties {
  ORV_CLASS(TcxMaskEditProperties, TcxCustomMaskEditProperties)
 public:
  explicit TcxMaskEditProperties(TPersistent* AOwner) : TcxCustomMaskEditProperties(AOwner) {}
};

// ---------------------------------------------------------------------------
class TcxCustomMaskEdit : public TcxCustomTextEdit {
  ORV_CLASS(TcxCustomMaskEdit, TcxCustomTextEdit)
 public:
  explicit TcxCustomMaskEdit(TComponent* AOwner) : TcxCustomMaskEdit(AOwner, false) {}
  TcxCustomMaskEdit(TComponent* AOwner, bool AIsInplace);
  ~TcxCustomMaskEdit() override;

  TcxCustomMaskEditProperties* GetProperties() const {
    return static_cast<TcxCustomMaskEditProperties*>(TcxCustomTextEdit::GetProperties());
  }
  TcxCustomMaskEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomMaskEditProperties*>(TcxCustomTextEdit::GetActiveProperties());
  }

  // The mode the editor edits through; always present once the editor is
  // built (a mode of the kind's class even while the mask is empty).
  TcxMaskEditCustomMode* GetMode() const { return FMode.get(); }
  // Whether the active properties' effective mask is not empty.
  bool IsMasked() const;

  // ---- What the modes use ----
  // A key sent to the editor's own window, the user's held modifiers
  // staying in effect; it reaches the native edit past the mask.
  void SendMyKeyDown(Word Key, TShiftState Shift);
  void SendMyKeyPress(char Key);
  bool IsKeySimulating() const { return FKeySimulating; }
  // A selection change that the mode makes itself: no LMouseDown follows.
  void DirectSetSelStart(Integer Value);
  void DirectSetSelLength(Integer Value);
  // Shift held during the last key, or the left button dragging.
  bool GetSelecting() const { return FSelecting; }
  void SetSelecting(bool Value) { FSelecting = Value; }
  // The mode's answers.
  bool IsCursorBegin();
  bool IsCursorEnd();
  // The inner edit's current value as text: what the standard mode edits
  // position by position.
  AnsiString GetEditText();
  // The text as the mode presents it for the edit value.
  AnsiString GetMaskedText() const { return FMaskedText; }

  // Introduced, in this order. Whether AChar may stand at the 1-based
  // position APos; it may clear AChar to #0, which refuses it with a beep.
  virtual bool IsCharValidForPos(char& AChar, Integer APos);
  // Formats the current text again through the mode.
  virtual void UpdateTextFormatting();

  // ---- Overrides ----
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void SetSelText(const AnsiString& Value) override;
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) override;
  void SynchronizeDisplayValue() override;
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomTextEdit::PropertiesChanged;
  // The locale's formats changed: the mask is compiled again; text typed
  // and not yet posted stays, re-formatted by the mode.
  // Silent while a simulated key is on its way to the native edit.
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 protected:
  void ChangeHandler(TObject* Sender) override;
  void DblClick() override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void DoEditKeyUp(Word& Key, TShiftState Shift) override;
  void DoEnter() override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void Initialize() override;
  AnsiString InternalGetText() override;
  bool InternalSetText(const AnsiString& Value) override;
  void InternalSetDisplayValue(const Variant& Value) override;
  void Loaded() override;
  void SelChange(TObject* Sender) override;

  // Writes the display form of Value into the inner edit; the edit value
  // becomes the masked text.
  void SetEditText(const AnsiString& Value);
  // Hands a text set from outside to the mode.
  void InternalSetValue(const AnsiString& S);

 private:
  // The display form the editor shows for AText now: the full mask or the
  // updated text when unfocused under a standard mask, else the full mask.
  AnsiString DisplayFormOf(const AnsiString& AText, bool ATextHasLiterals);
  bool IsStandardMode() const;
  // A cut (WM_CUT) or paste (WM_PASTE) asked for by a key.
  void MaskedClipboardKey(win::UINT AMessage);
  AnsiString InternalGetEmptyString();
  void RefreshEmptyString();

  TOwned<TcxMaskEditCustomMode> FMode;
  AnsiString FMaskedText;
  bool FKeySimulating = false;
  bool FSelecting = false;
  bool FDirectSelecting = false;
};

class TcxMaskEdit : public TcxCustomMaskEdit {
  ORV_CLASS(TcxMaskEdit, TcxCustomMaskEdit)
 public:
  explicit TcxMaskEdit(TComponent* AOwner) : TcxCustomMaskEdit(AOwner) {}
  TcxMaskEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomMaskEdit(AOwner, AIsInplace) {}

  TcxMaskEditProperties* GetProperties() const {
    return static_cast<TcxMaskEditProperties*>(TcxCustomMaskEdit::GetProperties());
  }
  TcxMaskEditProperties* GetActiveProperties() const {
    return static_cast<TcxMaskEditProperties*>(TcxCustomMaskEdit::GetActiveProperties());
  }
  void SetProperties(TcxMaskEditProperties* Value) { TcxCustomMaskEdit::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

using TcxCustomMaskEditClass = TClassRef<TcxCustomMaskEdit>;

// ---------------------------------------------------------------------------
// The condition editor of a filter row on masked data: a mask editor that
// extends the pattern as the user types and does not select on entry.
class TcxFilterMaskEditHelper : public TcxFilterTextEditHelper {
  ORV_CLASS(TcxFilterMaskEditHelper, TcxFilterTextEditHelper)
 public:
  TClass GetFilterEditClass() const override;
  TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                        TcxValueTypeClass AValueTypeClass,
                                                        bool AExtendedSet = false) const override;
  void InitializeProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;
};

// Registers the mask editor kind and its filter helper; counted like the
// other units.
void cxMaskEditInitialize();
void cxMaskEditFinalize();
