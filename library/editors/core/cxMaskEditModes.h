// Mask modes: the objects through which a masked editor edits its text.
// The editor hands every key, paste, caret move and click to its mode; the
// mode decides what happens, formats texts for display and for the edit
// value, and judges whether a text is a complete value. A True answer of a
// key operation lets the editor pass the pressed key on to the native edit,
// False makes the editor drop it.
//
// A mode made without an editor (by the properties, to prepare display
// values and check masks) works on the properties alone.
//
// The standard mode edits against a classic mask in overwrite style: the
// character under the caret is always selected and typing replaces it.
//
//   mask "!(999) 000-0000;1;_", text "(___) ___-____", caret on position 1:
//   typing "5" makes "(5__) ___-____" and selects position 2.
#pragma once

#include <memory>

#include "library/editors/core/cxMaskEdit.h"
#include "library/editors/core/cxStandardMask.h"

class TcxMaskEditCustomMode : public TObject {
  ORV_CLASS(TcxMaskEditCustomMode, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomMaskEdit*, TcxCustomMaskEditProperties*)>;

  // AEdit may be null; AProperties are kept only then.
  TcxMaskEditCustomMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties);

  // ---- The protocol, in slot order ----
  virtual TcxEditMaskKind GetMaskKind() const { return emkStandard; }
  // After the editor replaced the selection by pasted text.
  virtual void AfterPasteFromClipboard() = 0;
  // Remembers and compiles the mask (a bad pattern raises).
  virtual void Compile(const AnsiString& AMask) = 0;
  // The text shown for an empty value.
  virtual AnsiString GetEmptyString() = 0;
  // The display form of a text.
  virtual AnsiString GetFormattedText(const AnsiString& AText, bool ATextHasLiterals = true) = 0;
  // The caret is about to go to the end (focus, double click).
  virtual void GotoEnd() = 0;
  virtual bool IsCursorBegin() = 0;
  virtual bool IsCursorEnd() = 0;
  virtual bool IsFullValidText(const AnsiString& AText) = 0;
  // The caret was placed by the mouse or by a selection change.
  virtual void LMouseDown() = 0;
  // Before the editor replaces the selection by pasted text.
  virtual void PrePasteFromClipboard() = 0;
  virtual bool PressBackSpace() = 0;
  virtual bool PressDelete() = 0;
  virtual bool PressEnd() = 0;
  virtual bool PressHome() = 0;
  virtual bool PressLeft() = 0;
  virtual bool PressRight() = 0;
  // A typed character; the mode may replace it.
  virtual bool PressSymbol(char& AChar) = 0;
  // The editor's text was set from outside.
  virtual void SetText(const AnsiString& AText) = 0;
  // Re-derives the display value from the edit value.
  virtual void SynchronizeEditValue();
  // Pushes a pending empty value into the editor.
  virtual void UpdateEditValue() = 0;
  // The edit-value form of a text.
  virtual AnsiString GetUpdatedText(const AnsiString& AText, bool ATextHasLiterals = true) = 0;

  // ---- State the editor keeps in its mode ----
  TcxCustomMaskEdit* GetEdit() const { return FEdit; }
  // The mask as last compiled.
  const AnsiString& GetEditMask() const { return FEditMask; }
  // The length of the text about to be pasted or set as the selected text;
  // the regular-expression modes consume it when the text arrives.
  int GetClipboardTextLength() const { return FClipboardTextLength; }
  void SetClipboardTextLength(int Value) { FClipboardTextLength = Value; }
  // The CharCase and EchoMode the editor last applied.
  TEditCharCase GetCharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value) { FCharCase = Value; }
  TcxEditEchoMode GetEchoMode() const { return FEchoMode; }
  void SetEchoMode(TcxEditEchoMode Value) { FEchoMode = Value; }

  // Outside text about to replace the selection (a paste, SetSelText):
  // whether the mask takes at least one of its characters there. A text it
  // takes nothing of is refused as a whole, with a beep under BeepOnError;
  // the editor then leaves text, caret and value as they are.
  virtual bool CheckInsertion(const AnsiString& AText);

  // Clears the editor's inner edit.
  void ClearText();

  // A self-check of the mode's bookkeeping against its editor; the
  // regular-expression modes verify their head/tail split. Raises
  // EcxEditError with what is wrong. With SetSelfChecks(true) every key
  // operation checks on entry (tests switch it on).
  virtual void CheckConsistency() {}
  static void SetSelfChecks(bool AValue) { FSelfChecks = AValue; }
  static bool GetSelfChecks() { return FSelfChecks; }

 protected:
  // A message beep when the properties ask for one on refused input.
  void BeepOnError();
  // An editor is attached and its properties are not being changed.
  bool HasEdit();
  // The editor's active properties, else the ones the mode was made with.
  TcxCustomMaskEditProperties* GetProperties();
  void SetEditMask(const AnsiString& Value) { FEditMask = Value; }
  bool GetNeedUpdateEditValue() const { return FNeedUpdateEditValue; }
  void SetNeedUpdateEditValue(bool Value) { FNeedUpdateEditValue = Value; }

 private:
  static inline bool FSelfChecks = false;

  TcxCustomMaskEdit* FEdit;
  TcxCustomMaskEditProperties* FProperties;
  AnsiString FEditMask;
  int FClipboardTextLength = 0;
  bool FNeedUpdateEditValue = false;
  TEditCharCase FCharCase = ecNormal;
  TcxEditEchoMode FEchoMode = eemNormal;
};

class TcxMaskEditStandardMode : public TcxMaskEditCustomMode {
  ORV_CLASS(TcxMaskEditStandardMode, TcxMaskEditCustomMode)
 public:
  TcxMaskEditStandardMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties);

  void AfterPasteFromClipboard() override;
  void Compile(const AnsiString& AMask) override;
  AnsiString GetEmptyString() override;
  AnsiString GetFormattedText(const AnsiString& AText, bool ATextHasLiterals = true) override;
  void GotoEnd() override {}
  bool IsCursorBegin() override;
  bool IsCursorEnd() override;
  bool IsFullValidText(const AnsiString& AText) override;
  void LMouseDown() override;
  void PrePasteFromClipboard() override;
  bool PressBackSpace() override;
  bool PressDelete() override;
  bool PressEnd() override;
  bool PressHome() override;
  bool PressLeft() override;
  bool PressRight() override;
  bool PressSymbol(char& AChar) override;
  void SetText(const AnsiString& AText) override;
  void SynchronizeEditValue() override;
  void UpdateEditValue() override;
  AnsiString GetUpdatedText(const AnsiString& AText, bool ATextHasLiterals = true) override;
  bool CheckInsertion(const AnsiString& AText) override;

  // The blank character of a position (the same for all here; descendant
  // modes may vary it).
  virtual char GetBlank(int APos);

  TcxStandardMask* GetMask() const { return FMask.get(); }

 private:
  // The edited text, the caret and the selection of the attached editor.
  AnsiString EditText();
  bool IsLiteralAt(int APos) const;
  // Moves the caret to APos and makes the one-character cursor there.
  void PutCaret(int APos);
  // Puts AText into the editor and the caret back at APos.
  void PutText(const AnsiString& AText, int APos);

  TOwned<TcxStandardMask> FMask;
  int FPasteSelStart = 0;
};
