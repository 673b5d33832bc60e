// The INI store: one section "<full path>: <class name>" per object.
#include "library/foundation/cxStorage.h"
#include "library/foundation/cxStorageValues.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"

ORV_REGISTER(TcxIniFileWriter)
ORV_REGISTER(TcxIniFileReader)

namespace {

AnsiString SectionName(const AnsiString& AObjectFullName, const AnsiString& AClassName) {
  return AObjectFullName + ": " + AClassName;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxIniFileWriter

TcxIniFileWriter::TcxIniFileWriter(AnsiString AStorageName, bool AReCreate)
    : TcxCustomWriter(std::move(AStorageName), AReCreate), FIniFile(New<TMemIniFile>(GetStorageName())) {
  if (AReCreate) FIniFile->Clear();
}

TcxIniFileWriter::~TcxIniFileWriter() { FIniFile->Free(); }

void TcxIniFileWriter::BeginWriteObject(const AnsiString& AObjectFullName, const AnsiString& AClassName) {
  FIniFile->WriteString(SectionName(AObjectFullName, AClassName), "", "");
}

void TcxIniFileWriter::WriteProperty(const AnsiString& AObjectFullName, const AnsiString& AClassName,
                                     const AnsiString& APropertyName, const Variant& AValue) {
  using orv::storage::ValueForm;
  AnsiString text;
  switch (orv::storage::FormOf(AValue)) {
    case ValueForm::Whole: text = IntToStr(AValue.AsInt64()); break;
    case ValueForm::Fraction: text = orv::storage::FloatText(AValue.AsDouble()); break;
    case ValueForm::DateTime: text = orv::storage::DateTimeText(AValue.AsDateTime()); break;
    case ValueForm::Text: text = orv::storage::Quote(VarToStr(AValue)); break;
    case ValueForm::Boolean:
    case ValueForm::None: return;
  }
  FIniFile->WriteString(SectionName(AObjectFullName, AClassName), APropertyName, text);
}

void TcxIniFileWriter::EndWrite() { FIniFile->UpdateFile(); }

// ---------------------------------------------------------------------------
// TcxIniFileReader

TcxIniFileReader::TcxIniFileReader(AnsiString AStorageName)
    : TcxCustomReader(std::move(AStorageName)), FIniFile(New<TMemIniFile>(GetStorageName())) {}

TcxIniFileReader::~TcxIniFileReader() { FIniFile->Free(); }

void TcxIniFileReader::BuildSections() {
  if (FSectionsBuilt) return;
  FSectionsBuilt = true;
  TStringList sections;
  FIniFile->ReadSections(&sections);
  for (Integer i = 0; i < sections.GetCount(); ++i) {
    const AnsiString text = sections[i];
    // The class name follows the last colon: a class name has none, an
    // object's name or a prefix may.
    const std::size_t colon = text.rfind(':');
    const AnsiString path = text.substr(0, colon);
    const std::size_t slash = path.rfind('/');
    Section section;
    section.ParentPath = slash == AnsiString::npos ? AnsiString() : AnsiUpperCase(path.substr(0, slash + 1));
    section.ObjectName = slash == AnsiString::npos ? path : path.substr(slash + 1);
    section.ClassName = colon == AnsiString::npos ? AnsiString() : Trim(text.substr(colon + 1));
    FChildren[section.ParentPath].push_back(FSections.size());
    FSections.push_back(std::move(section));
  }
}

void TcxIniFileReader::ReadChildren(const AnsiString& AObjectFullName, const AnsiString&, TStrings* AChildrenNames,
                                    TStrings* AChildrenClassNames) {
  BuildSections();
  const AnsiString parent = AObjectFullName.empty() ? AnsiString() : AnsiUpperCase(AObjectFullName) + "/";
  auto children = FChildren.find(parent);
  if (children == FChildren.end()) return;
  for (std::size_t k : children->second) {
    AChildrenNames->Add(FSections[k].ObjectName);
    AChildrenClassNames->Add(FSections[k].ClassName);
  }
}

void TcxIniFileReader::ReadProperties(const AnsiString& AObjectFullName, const AnsiString& AClassName,
                                      TStrings* APropertyList) {
  FIniFile->ReadSection(SectionName(AObjectFullName, AClassName), APropertyList);
}

Variant TcxIniFileReader::ReadProperty(const AnsiString& AObjectFullName, const AnsiString& AClassName,
                                       const AnsiString& APropertyName) {
  const AnsiString section = SectionName(AObjectFullName, AClassName);
  if (!FIniFile->ValueExists(section, APropertyName)) return {};
  return orv::storage::TextToValue(FIniFile->ReadString(section, APropertyName, ""));
}
