// The multi-line edit of the class library: TCustomMemo over the native
// "EDIT" class with ES_MULTILINE, and TMemo, which publishes it. Lines
// reads and changes the text through the control's line messages.
#pragma once

#include "platform/controls/Edit.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/StringList.h"

class TCustomMemo;

// The lines of a memo as a string list. A line is what EM_GETLINE reads,
// so a wrapped paragraph is several lines; a text ending in a line break
// has no empty line after it. Text reads and sets the window's text as it
// stands, so it comes back exactly as it was set. A memo without a parent
// keeps its lines in its text until it has a window.
class TMemoStrings : public TStrings {
  ORV_CLASS(TMemoStrings, TStrings)
 public:
  explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}
  AnsiString Get(Integer Index) const override;
  Integer GetCount() const override;
  void Clear() override;
  void Delete(Integer Index) override;
  void Insert(Integer Index, const AnsiString& S) override;
  Integer Add(const AnsiString& S) override;
  void Put(Integer Index, const AnsiString& S) override;
  AnsiString GetTextStr() const override;
  void SetTextStr(std::string_view Value) override;

 protected:
  bool Windowless() const;

 private:
  template <class F>
  auto OnText(F&& change) const;
  template <class F>
  void ChangeText(F&& change);
  // The line count (without the empty line after a final line break) and
  // the last character of the window's text (0 when it is empty or not
  // asked for).
  struct Tail {
    Integer Count;
    AnsiChar Last;
  };
  Tail ReadTail(win::LRESULT ATextLength) const;
  void Append(const AnsiString& S, win::LRESULT ATextLength, const Tail& ATail);

  TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
  ORV_CLASS(TCustomMemo, TCustomEdit)
 public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  TStrings* GetLines() const { return FLines; }
  void SetLines(TStrings* Value) { FLines->Assign(Value); }
  // The caret as (character in its line, line).
  TPoint GetCaretPos();
  void SetCaretPos(const TPoint& Value);
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  // Enter inserts a line break; otherwise it goes on to the form.
  bool GetWantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value);
  // Tab inserts a tab; otherwise it moves the focus on.
  bool GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // bsSingle (the default) gives the sunken client edge; bsNone no border.
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);

 protected:
  // Lines becomes Value, which the memo owns from now on.
  void ReplaceLines(TStrings* Value);
  void CreateParams(TCreateParams& Params) override;
  void KeyPress(char& Key) override;
  void WMGetDlgCode(TMessage& Message);
  ORV_MESSAGE(win::WM_GETDLGCODE, WMGetDlgCode)

 private:
  TStrings* FLines = nullptr;
  TScrollStyle FScrollBars = ssNone;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FWordWrap = true;
  TBorderStyle FBorderStyle = bsSingle;
};

class TMemo : public TCustomMemo {
  ORV_CLASS(TMemo, TCustomMemo)
 public:
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};
