// The grid's stored layout: which rows exist, their parents, order,
// visibility, heights and expansion, and the header and value widths and
// the paint style, through the property storage's INI, registry and stream
// stores.
#include <unordered_map>

#include "library/grid/vgrid/cxVGrid.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/StringList.h"

namespace {

const char* const kPaintStyle = "PaintStyle";
const char* const kHeaderWidth = "HeaderWidth";
const char* const kValueWidth = "ValueWidth";
const char* const kNewLoad = "NewLoad";

// Puts the children of AParent in their stored order: position i takes the
// first remaining child stored at i, or else the first remaining child, so
// children without a stored place keep their relative order.
void ReorderChildren(TcxCustomRow* AParent, std::vector<TcxCustomRow*>& AOrder) {
  const Integer count = AParent->GetCount();
  std::vector<TcxCustomRow*> children;
  children.reserve(static_cast<size_t>(count));
  for (Integer i = 0; i < count; ++i) children.push_back(AParent->GetRow(i));
  std::unordered_map<Integer, std::vector<size_t>> byIndex;
  for (size_t i = 0; i < children.size(); ++i)
    if (children[i]->LoadingIndex >= 0 && children[i]->LoadingIndex < count)
      byIndex[children[i]->LoadingIndex].push_back(i);
  std::vector<bool> taken(children.size(), false);
  std::unordered_map<Integer, size_t> nextOfIndex;
  size_t firstRemaining = 0;
  AOrder.clear();
  for (Integer i = 0; i < count; ++i) {
    size_t pick = children.size();
    if (auto it = byIndex.find(i); it != byIndex.end()) {
      size_t& next = nextOfIndex[i];
      while (next < it->second.size() && taken[it->second[next]]) ++next;
      if (next < it->second.size()) pick = it->second[next];
    }
    if (pick == children.size()) {
      while (taken[firstRemaining]) ++firstRemaining;
      pick = firstRemaining;
    }
    taken[pick] = true;
    AOrder.push_back(children[pick]);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// The grid as a stored object

AnsiString TcxCustomVerticalGrid::GetObjectName() { return StoringName.empty() ? GetName() : StoringName; }

bool TcxCustomVerticalGrid::GetProperties(TStrings* AProperties) {
  for (const char* name : {kPaintStyle, kHeaderWidth, kValueWidth, kNewLoad}) AProperties->Add(name);
  return true;
}

void TcxCustomVerticalGrid::GetPropertyValue(const AnsiString& AName, Variant& AValue) {
  if (SameText(AName, kPaintStyle))
    AValue = static_cast<Byte>(GetOptionsView()->GetPaintStyle());
  else if (SameText(AName, kHeaderWidth))
    AValue = GetOptionsView()->GetRowHeaderWidth();
  else if (SameText(AName, kValueWidth))
    AValue = GetOptionsView()->GetValueWidth();
  else if (SameText(AName, kNewLoad))
    AValue = static_cast<Byte>(1);
  else
    AValue = Null();
}

void TcxCustomVerticalGrid::SetPropertyValue(const AnsiString& AName, const Variant& AValue) {
  if (SameText(AName, kNewLoad)) {
    FNameMode = true;
  } else if (SameText(AName, kPaintStyle)) {
    const Integer style = AValue.AsInteger();
    if (style != psdotNet && style != psDelphi)
      throw EcxStorage("Invalid value %d of the stored property %s", {style, AName});
    GetOptionsView()->SetPaintStyle(static_cast<TcxvgPaintStyle>(style));
  } else if (SameText(AName, kHeaderWidth)) {
    GetOptionsView()->SetRowHeaderWidth(AValue.AsInteger());
  } else if (SameText(AName, kValueWidth)) {
    GetOptionsView()->SetValueWidth(AValue.AsInteger());
  }
}

TObject* TcxCustomVerticalGrid::CreateChild(const AnsiString&, const AnsiString& AClassName) {
  if (!SameText(AClassName, TcxCategoryRow::StaticClass()->ClassName())) return nullptr;
  TcxCustomRow* row = Add(TcxCategoryRow::StaticClass());
  row->SetName(GetValidName(row, GetName() + "RuntimeCreatedRow", true));
  return row;
}

void TcxCustomVerticalGrid::GetStoredChildren(TStringList* AChildren) {
  for (Integer i = 0; i < FRows->GetCount(); ++i) {
    TcxCustomRow* row = FRows->GetRow(i);
    AChildren->AddObject(FNameMode ? row->GetObjectName() : AnsiString(), row);
  }
}

// ---------------------------------------------------------------------------
// Storing and restoring

void TcxCustomVerticalGrid::StoreLayout(TcxStorage* AStorage, void (TcxStorage::*AStore)(TObject*)) {
  TOwned<TcxStorage> storage(AStorage);
  auto nameMode = orv::TempValue(FNameMode, true);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  (AStorage->*AStore)(this);
}

void TcxCustomVerticalGrid::RestoreLayout(TcxStorage* AStorage, void (TcxStorage::*ARestore)(TObject*)) {
  TOwned<TcxStorage> storage(AStorage);
  FNameMode = false;
  orv::ScopeExit nameMode([this] { FNameMode = false; });
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  BeforeLoadedRows();
  AStorage->SetStorageModes({smChildrenCreating});
  (AStorage->*ARestore)(this);
  AfterLoadedRows();
}

void TcxCustomVerticalGrid::StoreToIniFile(const AnsiString& AStorageName, bool AReCreate) {
  auto* storage = New<TcxStorage>(AStorageName);
  storage->SetReCreate(AReCreate);
  StoreLayout(storage, &TcxStorage::StoreToIni);
}

void TcxCustomVerticalGrid::StoreToRegistry(const AnsiString& AStorageName, bool AReCreate) {
  auto* storage = New<TcxStorage>(AStorageName);
  storage->SetReCreate(AReCreate);
  StoreLayout(storage, &TcxStorage::StoreToRegistry);
}

void TcxCustomVerticalGrid::StoreToStream(TStream* AStream) {
  StoreLayout(New<TcxStorage>(AStream), &TcxStorage::StoreToStream);
}

void TcxCustomVerticalGrid::RestoreFromIniFile(const AnsiString& AStorageName) {
  RestoreLayout(New<TcxStorage>(AStorageName), &TcxStorage::RestoreFromIni);
}

void TcxCustomVerticalGrid::RestoreFromRegistry(const AnsiString& AStorageName) {
  RestoreLayout(New<TcxStorage>(AStorageName), &TcxStorage::RestoreFromRegistry);
}

void TcxCustomVerticalGrid::RestoreFromStream(TStream* AStream) {
  RestoreLayout(New<TcxStorage>(AStream), &TcxStorage::RestoreFromStream);
}

void TcxCustomVerticalGrid::BeforeLoadedRows() {
  for (Integer i = 0; i < FRows->GetCount(); ++i) {
    FRows->GetRow(i)->LoadingIndex = INT32_MAX;
    FRows->GetRow(i)->LoadingParentName.clear();
  }
}

// In name mode the stored parents and places were only noted: every row
// that was read goes under its stored parent, then the children of every
// row take their stored order. A parent that no row has, the row itself or
// one of its descendants gives the top level, so a damaged layout neither
// loses a row nor closes a loop.
void TcxCustomVerticalGrid::AfterLoadedRows() {
  if (!FNameMode) return;
  std::vector<TcxCustomRow*> rows;
  std::unordered_map<AnsiString, TcxCustomRow*> byName;
  for (Integer i = 0; i < FRows->GetCount(); ++i) {
    TcxCustomRow* row = FRows->GetRow(i);
    rows.push_back(row);
    byName.emplace(row->GetObjectName(), row);
  }
  orv::ScopeExit forget([&rows] {
    for (TcxCustomRow* row : rows) {
      row->LoadingIndex = INT32_MAX;
      row->LoadingParentName.clear();
    }
  });
  for (TcxCustomRow* row : rows) {
    if (row->LoadingIndex == INT32_MAX) continue;
    auto it = byName.find(row->LoadingParentName);
    TcxCustomRow* parent = it == byName.end() ? FRoot : it->second;
    if (parent == row || row->IsParent(parent)) parent = FRoot;
    row->SetParent(parent);
  }
  std::vector<TcxCustomRow*> pending{FRoot};
  std::vector<TcxCustomRow*> order;
  while (!pending.empty()) {
    TcxCustomRow* parent = pending.back();
    pending.pop_back();
    if (!parent->HasChildren()) continue;
    ReorderChildren(parent, order);
    parent->FChildren->SetOrder(order);
    for (TcxCustomRow* child : order) pending.push_back(child);
  }
  FRows->Changed(true);
}
