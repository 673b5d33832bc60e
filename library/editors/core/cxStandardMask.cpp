#include "library/editors/core/cxStandardMask.h"

#include <algorithm>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/TypeInfo.h"

ORV_REGISTER(TcxStandardMaskCustomItem)
ORV_REGISTER(TcxStandardMaskLiteralItem)
ORV_REGISTER(TcxStandardMaskManyItem)
ORV_REGISTER(TcxStandardMaskAlphaItem)
ORV_REGISTER(TcxStandardMaskAlphaNumericItem)
ORV_REGISTER(TcxStandardMaskASCIIItem)
ORV_REGISTER(TcxStandardMaskNumericItem)
ORV_REGISTER(TcxStandardMaskNumericSymbolItem)
ORV_REGISTER(TcxStandardMask)

void TcxStandardMaskManyItem::DoCaseControl(char& c) const {
  // Plain ASCII: masks describe typed keys, not locale letters.
  if (FCaseControl == ccUpperCase && c >= 'a' && c <= 'z')
    c = static_cast<char>(c - 'a' + 'A');
  else if (FCaseControl == ccLowerCase && c >= 'A' && c <= 'Z')
    c = static_cast<char>(c - 'A' + 'a');
}

void TcxStandardMask::Clear() {
  FBlank = '_';
  FItems.clear();
  FRightToLeft = false;
  FSaveLiteralCharacters = true;
  FMask.clear();
}

void TcxStandardMask::Compile(const AnsiString& AMask) {
  Clear();
  FMask = AMask;
  AnsiString mask = AMask;
  DoCompileHead(mask);
  DoCompileBody(mask);
}

void TcxStandardMask::DoCompileHead(AnsiString& AMask) {
  FRightToLeft = !AMask.empty() && AMask[0] == '!';
  if (FRightToLeft) AMask.erase(0, 1);
}

void TcxStandardMask::DoCompileBody(const AnsiString& AMask) {
  const std::size_t len = AMask.size();
  TcxCaseControl caseControl = ccUserCase;
  auto literal = [this](char c) { FItems.push_back(MakeOwned<TcxStandardMaskLiteralItem>(c)); };
  auto add = [this](TOwned<TcxStandardMaskCustomItem> item) { FItems.push_back(std::move(item)); };
  FItems.reserve(len);
  for (std::size_t i = 0; i < len; ++i) {
    char c = AMask[i];
    switch (c) {
      case '0': add(MakeOwned<TcxStandardMaskNumericItem>(caseControl, false)); break;
      case '9': add(MakeOwned<TcxStandardMaskNumericItem>(caseControl, true)); break;
      case '#': add(MakeOwned<TcxStandardMaskNumericSymbolItem>(caseControl)); break;
      case 'L': add(MakeOwned<TcxStandardMaskAlphaItem>(caseControl, false)); break;
      case 'l': add(MakeOwned<TcxStandardMaskAlphaItem>(caseControl, true)); break;
      case 'A': add(MakeOwned<TcxStandardMaskAlphaNumericItem>(caseControl, false)); break;
      case 'a': add(MakeOwned<TcxStandardMaskAlphaNumericItem>(caseControl, true)); break;
      case 'C': add(MakeOwned<TcxStandardMaskASCIIItem>(caseControl, false)); break;
      case 'c': add(MakeOwned<TcxStandardMaskASCIIItem>(caseControl, true)); break;
      case '>': caseControl = ccUpperCase; break;
      case '<':
        if (i + 1 < len && AMask[i + 1] == '>') {
          caseControl = ccUserCase;
          ++i;
        } else {
          caseControl = ccLowerCase;
        }
        break;
      case '\\':
        // A backslash at the very end escapes nothing and is dropped.
        if (i + 1 < len) literal(AMask[++i]);
        break;
      case '/': literal(FormatSettings().DateSeparator); break;
      case ':': literal(FormatSettings().TimeSeparator); break;
      case ';': {
        // The trailer is recognised only as the exact tail of the mask.
        bool digit = i + 1 < len && (AMask[i + 1] == '0' || AMask[i + 1] == '1');
        if (digit && i + 2 == len) {
          FSaveLiteralCharacters = AMask[i + 1] != '0';
          return;
        }
        if (digit && i + 4 == len && AMask[i + 2] == ';') {
          FSaveLiteralCharacters = AMask[i + 1] != '0';
          FBlank = AMask[i + 3];
          return;
        }
        literal(c);
        break;
      }
      default: literal(c); break;
    }
  }
}

AnsiString TcxStandardMask::GetEmptyString() const {
  AnsiString s;
  s.reserve(FItems.size());
  for (const auto& item : FItems) {
    if (auto* lit = dynamic_cast<const TcxStandardMaskLiteralItem*>(item.get())) {
      if (FSaveLiteralCharacters) s += lit->GetLiteral();
    } else {
      s += ' ';
    }
  }
  return s;
}

AnsiString TcxStandardMask::GetFullEmptyString() const {
  AnsiString s;
  s.reserve(FItems.size());
  for (const auto& item : FItems) {
    if (auto* lit = dynamic_cast<const TcxStandardMaskLiteralItem*>(item.get()))
      s += lit->GetLiteral();
    else
      s += FBlank;
  }
  return s;
}

void TcxStandardMask::Format(AnsiString& AText, bool AApplyCase, bool ATextHasLiterals) const {
  AnsiString result = GetFullEmptyString();
  const int count = GetCount();
  const int textLen = static_cast<int>(AText.size());
  const int step = FRightToLeft ? -1 : 1;
  const bool skipLiterals = !FSaveLiteralCharacters && !ATextHasLiterals;
  int pos = FRightToLeft ? count - 1 : 0;
  for (int k = 0; k < textLen; ++k) {
    const char c = AText[FRightToLeft ? textLen - 1 - k : k];
    for (int i = pos; i >= 0 && i < count; i += step) {
      const TcxStandardMaskCustomItem* item = FItems[static_cast<std::size_t>(i)].get();
      const bool isLiteral = item->IsLiteral();
      if (isLiteral && skipLiterals) continue;
      char ch = c;
      if (item->Check(ch)) {
        result[static_cast<std::size_t>(i)] = AApplyCase ? ch : c;
        pos = i + step;
        break;
      }
      if (!IsBlankChar(c) || isLiteral) continue;
      // A blank at a fill position leaves it blank and moves on.
      pos = i + step;
      break;
    }
  }
  AText = std::move(result);
}

void TcxStandardMask::Format2(AnsiString& AText) const {
  const std::size_t n = std::min(AText.size(), FItems.size());
  AnsiString result;
  result.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const bool isLiteral = FItems[i]->IsLiteral();
    if (isLiteral) {
      if (FSaveLiteralCharacters) result += AText[i];
    } else {
      result += AText[i] == FBlank ? ' ' : AText[i];
    }
  }
  AText = std::move(result);
}

bool TcxStandardMask::IsValid(AnsiString& AText) const {
  if (AText.size() > FItems.size()) return false;
  for (std::size_t i = 0; i < AText.size(); ++i) {
    const TcxStandardMaskCustomItem* item = FItems[i].get();
    char ch = AText[i];
    if (item->Check(ch)) {
      AText[i] = ch;
      continue;
    }
    if (item->IsLiteral() || !IsBlankChar(AText[i])) return false;
  }
  return true;
}

bool TcxStandardMask::IsFullValid(AnsiString& AText) const {
  if (AText.size() != FItems.size()) return false;
  for (std::size_t i = 0; i < AText.size(); ++i) {
    const TcxStandardMaskCustomItem* item = FItems[i].get();
    char ch = AText[i];
    if (item->Check(ch)) {
      AText[i] = ch;
      continue;
    }
    if (item->IsLiteral() || !static_cast<const TcxStandardMaskManyItem*>(item)->GetOptional() ||
        !IsBlankChar(AText[i]))
      return false;
  }
  return true;
}

namespace cxStandardMask {

char MaskBlank(const AnsiString& AMask) {
  TcxStandardMask m;
  m.Compile(AMask);
  return m.GetBlank();
}

bool SaveLiteralChars(const AnsiString& AMask) {
  TcxStandardMask m;
  m.Compile(AMask);
  return m.GetSaveLiteralCharacters();
}

AnsiString EmptyString(const AnsiString& AMask, char ABlank) {
  TcxStandardMask m;
  m.Compile(AMask);
  if (ABlank != '\0') m.SetBlank(ABlank);
  return m.GetEmptyString();
}

AnsiString FormatText(const AnsiString& AText, const AnsiString& AMask, char ABlank) {
  TcxStandardMask m;
  m.Compile(AMask);
  if (ABlank != '\0') m.SetBlank(ABlank);
  AnsiString text = AText;
  m.Format(text, true, true);
  return text;
}

bool IsTextValid(const AnsiString& AText, const AnsiString& AMask) {
  TcxStandardMask m;
  m.Compile(AMask);
  AnsiString text = AText;
  return m.IsValid(text);
}

bool IsTextFullValid(const AnsiString& AText, const AnsiString& AMask) {
  TcxStandardMask m;
  m.Compile(AMask);
  AnsiString text = AText;
  return m.IsFullValid(text);
}

}  // namespace cxStandardMask
