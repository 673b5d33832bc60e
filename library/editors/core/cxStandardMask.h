// Classic edit masks: a body of position characters, optionally followed
// by ";" save-literals digit ";" blank character. A compiled mask is a list
// of position items that formats, validates and empties texts.
//
//   TcxStandardMask m;  m.Compile("!(999) 000-0000;1;_");
//   AnsiString t = "5551234";  m.Format(t, true, false);  // "(___) 555-1234"
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/Object.h"
#include "platform/rtl/Owned.h"

enum TcxCaseControl { ccUpperCase, ccLowerCase, ccUserCase };

// One character position of the edited text.
class TcxStandardMaskCustomItem : public TObject {
  ORV_CLASS(TcxStandardMaskCustomItem, TObject)
 public:
  // Whether the character may stand at this position; mask positions may
  // change its case.
  virtual bool Check(char& AChar) const = 0;
  // Literal positions hold a fixed character (asked per character while
  // formatting, so it is a plain field).
  bool IsLiteral() const { return FIsLiteral; }

 protected:
  explicit TcxStandardMaskCustomItem(bool AIsLiteral = false) : FIsLiteral(AIsLiteral) {}

 private:
  bool FIsLiteral;
};

class TcxStandardMaskLiteralItem : public TcxStandardMaskCustomItem {
  ORV_CLASS(TcxStandardMaskLiteralItem, TcxStandardMaskCustomItem)
 public:
  explicit TcxStandardMaskLiteralItem(char ALiteral = ' ') : TcxStandardMaskCustomItem(true), FLiteral(ALiteral) {}
  bool Check(char& AChar) const override { return AChar == FLiteral; }
  char GetLiteral() const { return FLiteral; }

 private:
  char FLiteral;
};

// A position the user fills.
class TcxStandardMaskManyItem : public TcxStandardMaskCustomItem {
  ORV_CLASS(TcxStandardMaskManyItem, TcxStandardMaskCustomItem)
 public:
  TcxStandardMaskManyItem(TcxCaseControl ACaseControl, bool AOptional)
      : FCaseControl(ACaseControl), FOptional(AOptional) {}
  bool Check(char& AChar) const override {
    bool ok = Accepts(AChar);
    DoCaseControl(AChar);
    return ok;
  }
  TcxCaseControl GetCaseControl() const { return FCaseControl; }
  bool GetOptional() const { return FOptional; }

 protected:
  virtual bool Accepts(char c) const = 0;
  void DoCaseControl(char& c) const;

 private:
  TcxCaseControl FCaseControl;
  bool FOptional;
};

class TcxStandardMaskAlphaItem : public TcxStandardMaskManyItem {
  ORV_CLASS(TcxStandardMaskAlphaItem, TcxStandardMaskManyItem)
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  TcxStandardMaskAlphaItem() : TcxStandardMaskManyItem(ccUserCase, false) {}

 protected:
  bool Accepts(char c) const override { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
};

class TcxStandardMaskAlphaNumericItem : public TcxStandardMaskManyItem {
  ORV_CLASS(TcxStandardMaskAlphaNumericItem, TcxStandardMaskManyItem)
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  TcxStandardMaskAlphaNumericItem() : TcxStandardMaskManyItem(ccUserCase, false) {}

 protected:
  bool Accepts(char c) const override {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  }
};

class TcxStandardMaskASCIIItem : public TcxStandardMaskManyItem {
  ORV_CLASS(TcxStandardMaskASCIIItem, TcxStandardMaskManyItem)
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  TcxStandardMaskASCIIItem() : TcxStandardMaskManyItem(ccUserCase, false) {}

 protected:
  bool Accepts(char) const override { return true; }
};

class TcxStandardMaskNumericItem : public TcxStandardMaskManyItem {
  ORV_CLASS(TcxStandardMaskNumericItem, TcxStandardMaskManyItem)
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  TcxStandardMaskNumericItem() : TcxStandardMaskManyItem(ccUserCase, false) {}

 protected:
  bool Accepts(char c) const override { return c >= '0' && c <= '9'; }
};

// A digit or a sign; always optional.
class TcxStandardMaskNumericSymbolItem : public TcxStandardMaskManyItem {
  ORV_CLASS(TcxStandardMaskNumericSymbolItem, TcxStandardMaskManyItem)
 public:
  explicit TcxStandardMaskNumericSymbolItem(TcxCaseControl ACaseControl = ccUserCase)
      : TcxStandardMaskManyItem(ACaseControl, true) {}

 protected:
  bool Accepts(char c) const override { return (c >= '0' && c <= '9') || c == '+' || c == '-'; }
};

class TcxStandardMask : public TObject {
  ORV_CLASS(TcxStandardMask, TObject)
 public:
  TcxStandardMask() = default;
  TcxStandardMask(const TcxStandardMask&) = delete;
  TcxStandardMask& operator=(const TcxStandardMask&) = delete;

  void Compile(const AnsiString& AMask);
  void Clear();

  // Display form: the full mask with AText's characters placed into it.
  void Format(AnsiString& AText, bool AApplyCase = true, bool ATextHasLiterals = true) const;
  // Edit-value form of a display text.
  void Format2(AnsiString& AText) const;
  bool IsValid(AnsiString& AText) const;
  bool IsFullValid(AnsiString& AText) const;

  AnsiString GetEmptyString() const;
  AnsiString GetFullEmptyString() const;

  int GetCount() const { return static_cast<int>(FItems.size()); }
  TcxStandardMaskCustomItem* GetItems(int AIndex) const { return FItems.at(static_cast<std::size_t>(AIndex)).get(); }
  char GetBlank() const { return FBlank; }
  void SetBlank(char ABlank) { FBlank = ABlank; }
  bool GetLeftToRight() const { return !FRightToLeft; }
  bool GetRightToLeft() const { return FRightToLeft; }
  bool GetSaveLiteralCharacters() const { return FSaveLiteralCharacters; }
  const AnsiString& GetMask() const { return FMask; }

 protected:
  void DoCompileHead(AnsiString& AMask);
  void DoCompileBody(const AnsiString& AMask);

 private:
  bool IsBlankChar(char c) const { return c == FBlank || c == ' '; }

  char FBlank = '_';
  std::vector<TOwned<TcxStandardMaskCustomItem>> FItems;
  bool FRightToLeft = false;
  bool FSaveLiteralCharacters = true;
  AnsiString FMask;
};

// Stand-alone routines, each compiling AMask for the one call. A blank of
// '\0' keeps the mask's own blank character.
namespace cxStandardMask {
char MaskBlank(const AnsiString& AMask);
bool SaveLiteralChars(const AnsiString& AMask);
AnsiString EmptyString(const AnsiString& AMask, char ABlank = '\0');
AnsiString FormatText(const AnsiString& AText, const AnsiString& AMask, char ABlank = '\0');
bool IsTextValid(const AnsiString& AText, const AnsiString& AMask);
bool IsTextFullValid(const AnsiString& AText, const AnsiString& AMask);
}  // namespace cxStandardMask
