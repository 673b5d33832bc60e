// The mask modes of regular-expression masks.
//
// TcxMaskEditRegExprMode keeps the editor's text split at the caret into a
// head, already fed to the automaton, and a tail that is not. A typed
// character is fed after the head; when the tail no longer fits behind it,
// the tail goes. The native edit does the typing itself wherever it can.
// Between keys: head + tail = the editor's text, the head's length = the
// caret position, and the automaton stands where feeding the head leaves it.
//
// TcxMaskEditRegExprExMode also inserts the characters the pattern forces
// (the only possible continuation), so fixed separators appear by
// themselves, and edits the text in units: a typed character with the
// forced characters that came after it. A unit that leaves no room for the
// tail types over the tail's first characters when the rest then fits; a
// unit deleted leaves its forced characters behind when the rest needs them.
//
//   pattern \d\d/\d\d, extended: typing "1", "2" shows "12/";
//   Backspace then removes "2/" as one unit.
#pragma once

#include <cstddef>
#include <memory>

#include "library/editors/core/cxMaskEditModes.h"
#include "library/editors/core/cxRegExpr.h"
#include "platform/rtl/Owned.h"

class TcxMaskEditRegExprMode : public TcxMaskEditCustomMode {
  ORV_CLASS(TcxMaskEditRegExprMode, TcxMaskEditCustomMode)
 public:
  TcxMaskEditRegExprMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties);
  ~TcxMaskEditRegExprMode() override;

  TcxEditMaskKind GetMaskKind() const override { return emkRegExpr; }
  void AfterPasteFromClipboard() override { CursorCorrection(); }
  void Compile(const AnsiString& AMask) override;
  AnsiString GetEmptyString() override { return AnsiString(); }
  AnsiString GetFormattedText(const AnsiString& AText, bool ATextHasLiterals = true) override;
  void GotoEnd() override;
  bool IsCursorBegin() override;
  bool IsCursorEnd() override;
  bool IsFullValidText(const AnsiString& AText) override;
  void LMouseDown() override { FResync = true; }
  void PrePasteFromClipboard() override {}
  bool PressBackSpace() override;
  bool PressDelete() override;
  bool PressEnd() override;
  bool PressHome() override;
  bool PressLeft() override;
  bool PressRight() override;
  bool PressSymbol(char& AChar) override;
  void SetText(const AnsiString& AText) override;
  void SynchronizeEditValue() override;
  void UpdateEditValue() override {}
  AnsiString GetUpdatedText(const AnsiString& AText, bool ATextHasLiterals = true) override;
  bool CheckInsertion(const AnsiString& AText) override;

  // Takes the properties' CaseInsensitive into the automaton.
  void SetRegExprCaseInsensitive();

  void CheckConsistency() override;

  const AnsiString& GetHead() const { return FHead; }
  const AnsiString& GetTail() const { return FTail; }
  TcxRegExpr* GetRegExpr() const { return FRegExpr.get(); }

 protected:
  // ---- Introduced, in slot order ----
  // Cuts a selection that touches the head's end out of the split, saving it.
  virtual void DeleteSelection();
  // Puts the saved selection back where it was cut.
  virtual void RestoreSelection();

  // Brings the split to the editor's text and caret.
  virtual void CursorCorrection();
  // Whether head + tail make AText.
  bool SplitMatches(const AnsiString& AText) const;
  // Whether the tail still fits behind the head; the automaton's state is
  // the same afterwards either way.
  bool NextTail();
  // Removes the tail from the editor and the split; the caret goes to the
  // end of what remains.
  void ClearTail();
  // A fresh automaton compiled from the mode's pattern; null without one.
  TOwned<TcxRegExpr> CompileRegExpr();
  // Every key operation starts here.
  void BeginKey();

  // The editor's text and caret.
  AnsiString EditText();
  int CursorPos();
  int SelStart();
  int SelLength();
  bool Selecting();

  TOwned<TcxRegExpr> FRegExpr;
  AnsiString FHead;
  AnsiString FTail;
  AnsiString FSelection;
  bool FSelectionFromTail = false;
  bool FResync = false;
  // The automaton was used for formatting and no longer stands after the
  // head: the next key feeds the head again.
  bool FEngineStale = false;
};

class TcxMaskEditRegExprExMode : public TcxMaskEditRegExprMode {
  ORV_CLASS(TcxMaskEditRegExprExMode, TcxMaskEditRegExprMode)
 public:
  TcxMaskEditRegExprExMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties);

  TcxEditMaskKind GetMaskKind() const override { return emkRegExprEx; }
  void AfterPasteFromClipboard() override;
  void Compile(const AnsiString& AMask) override;
  AnsiString GetEmptyString() override;
  AnsiString GetFormattedText(const AnsiString& AText, bool ATextHasLiterals = true) override;
  void GotoEnd() override;
  bool IsFullValidText(const AnsiString& AText) override;
  void PrePasteFromClipboard() override;
  bool PressBackSpace() override;
  bool PressDelete() override;
  bool PressEnd() override;
  bool PressHome() override;
  bool PressLeft() override;
  bool PressRight() override;
  bool PressSymbol(char& AChar) override;
  void SetText(const AnsiString& AText) override;
  void UpdateEditValue() override;

 protected:
  void DeleteSelection() override;
  void RestoreSelection() override;
  void CursorCorrection() override;

 private:
  void SymbolUpdate(char ASymbol) { FInserted += ASymbol; }
  void SymbolDelete() { ++FDeletedCount; }
  void Clear();
  // The engine's primitives of units: the forced characters after the
  // current state (reported into the inserted buffer), a character with
  // its forced followers, and a unit back (its forced characters counted).
  void EmitForced();
  bool NextUnit(char& AChar);
  void PrevUnit();
  // Whether the pattern forces the next character from here.
  bool HasForcedNext();
  // Every key operation starts here.
  void BeginExKey();
  // The cursor correction; ARoundUp takes a caret inside a unit to the
  // unit's end instead of its start.
  void Correct(bool ARoundUp);
  // One unit forward from the tail into the head, one unit back; each
  // answers the characters moved.
  int StepForward();
  int StepBack();
  // Re-types the forced characters that the tail needs after a change in
  // front of the caret; the caret returns to its place.
  void UpdateTail();
  // The tail after a change: re-fitted when it still fits, else cleared.
  void RefitTail();
  // After a typed unit of AUnitLength characters that replaced AReplaced:
  // the fewest separators ending AReplaced are kept in front of the tail,
  // else the fewest characters of the tail, up to the unit's length, are
  // typed over, so that the tail fits.
  void FitTail(std::size_t AUnitLength, const AnsiString& AReplaced);
  // Whether a unit deleted in front of ARest should leave its forced
  // characters AForced behind: ARest alone does not fit behind the head,
  // AForced + ARest does.
  bool KeepsForcedOfUnit(const AnsiString& AForced, const AnsiString& ARest);
  // At the start of a pattern with a forced prefix: the head takes the
  // prefix (typing it when the text lacks it), a selection is re-made
  // behind it.
  bool EnterForcedPrefix();

  AnsiString FInserted;
  int FDeletedCount = 0;
  AnsiString FEmptyText;
};
