#include "library/data/cxFilterDisplayTexts.h"

#include "platform/rtl/StrUtils.h"

std::vector<AnsiString> cxFilterDisplayTexts(const AnsiString& ADisplayValue, const Variant& AValue) {
  std::vector<AnsiString> texts;
  for (size_t start = 0;;) {
    const size_t pos = ADisplayValue.find(';', start);
    texts.push_back(Trim(ADisplayValue.substr(start, pos == AnsiString::npos ? AnsiString::npos : pos - start)));
    if (pos == AnsiString::npos) break;
    start = pos + 1;
  }
  if (!VarIsArray(AValue) || VarArrayDimCount(AValue) != 1) return texts;
  const Integer low = VarArrayLowBound(AValue, 1), high = VarArrayHighBound(AValue, 1);
  if (Int64(high) - low + 1 == static_cast<Int64>(texts.size())) return texts;
  texts.clear();
  // Trimmed as the parts are: the texts are saved joined, and must read
  // back the same once they pair.
  for (Integer i = low; i <= high; ++i) texts.push_back(VarIsArray(AValue[i]) ? AnsiString() : Trim(VarToStr(AValue[i])));
  return texts;
}
