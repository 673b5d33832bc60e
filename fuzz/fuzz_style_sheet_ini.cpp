// Feeds arbitrary text as a style-sheet INI file. Loading either succeeds
// or raises one of the library's exceptions; either way every sheet it left
// is whole (the sheets before a damaged one stay, nothing of that one does),
// and whatever loaded saves to a file that loads and saves to the same bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "library/foundation/cxStyles.h"

namespace {

class TFuzzStyles : public TcxStyles {
  ORV_CLASS(TFuzzStyles, TcxStyles)
 public:
  explicit TFuzzStyles(TPersistent* AOwner) : TcxStyles(AOwner) {}
  TcxStyle* GetContent() const { return dynamic_cast<TcxStyle*>(GetValue(0)); }
  void SetContent(TcxStyle* Value) { SetValue(0, Value); }
  TcxStyle* GetHeader() const { return dynamic_cast<TcxStyle*>(GetValue(1)); }
  void SetHeader(TcxStyle* Value) { SetValue(1, Value); }
  TcxStyle* GetBitmapArea() const { return dynamic_cast<TcxStyle*>(GetValue(2)); }
  void SetBitmapArea(TcxStyle* Value) { SetValue(2, Value); }
};

class TFuzzSheet : public TcxCustomStyleSheet {
  ORV_CLASS(TFuzzSheet, TcxCustomStyleSheet)
 public:
  explicit TFuzzSheet(TComponent* AOwner) : TcxCustomStyleSheet(AOwner) {}
  TcxCustomStylesClass GetStylesClass() const override { return TFuzzStyles::StaticClass(); }
};

std::string FileName(const char* ASuffix) {
  return "/tmp/orvanta-fuzz-sheets-" + std::to_string(getpid()) + ASuffix;
}

std::string ReadAll(const std::string& AName) {
  std::ifstream in(AName, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Saves every sheet of the repository and answers the file's bytes.
std::string SaveAll(TcxStyleRepository* ARepository, const std::string& AName) {
  TList sheets;
  for (Integer i = 0; i < ARepository->GetStyleSheetCount(); ++i) sheets.Add(ARepository->GetStyleSheet(i));
  SaveStyleSheetsToIniFile(AName, &sheets);
  return ReadAll(AName);
}

// How many styles the repository's sheets hold: a style that no sheet
// holds is what a sheet given up half made would leave.
Integer StylesOfSheets(TcxStyleRepository* ARepository) {
  Integer n = 0;
  for (Integer i = 0; i < ARepository->GetStyleSheetCount(); ++i) {
    auto* styles = static_cast<TFuzzStyles*>(ARepository->GetStyleSheet(i)->GetStyles());
    n += (styles->GetContent() != nullptr) + (styles->GetHeader() != nullptr) + (styles->GetBitmapArea() != nullptr);
  }
  return n;
}

}  // namespace

ORV_REGISTER(TFuzzStyles, ORV_PROP(Content), ORV_PROP(Header), ORV_PROP(BitmapArea))
ORV_REGISTER(TFuzzSheet)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input = FileName(".in"), once = FileName(".once"), twice = FileName(".twice");
  {
    std::ofstream out(input, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  auto* repository = New<TcxStyleRepository>(nullptr);
  try {
    LoadStyleSheetsFromIniFile(input, repository, TFuzzSheet::StaticClass());
  } catch (const Exception&) {
  }
  if (repository->GetCount() != StylesOfSheets(repository)) std::abort();
  const std::string first = SaveAll(repository, once);
  auto* again = New<TcxStyleRepository>(nullptr);
  LoadStyleSheetsFromIniFile(once, again, TFuzzSheet::StaticClass());
  if (SaveAll(again, twice) != first) std::abort();
  again->Free();
  repository->Free();
  unlink(input.c_str());
  unlink(once.c_str());
  unlink(twice.c_str());
  return 0;
}
