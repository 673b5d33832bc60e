#include "platform/rtl/StringList.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "platform/rtl/BinarySearch.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/ListSort.h"
#include "platform/rtl/OsEdge.h"
#include "platform/rtl/Streams.h"

ORV_REGISTER(TStrings)
ORV_REGISTER(TStringList)

namespace {

constexpr const char* SListIndexError = "List index out of bounds (%d)";
constexpr const char* SDuplicateString = "Duplicates not allowed";
constexpr const char* SSortedListError = "Operation not allowed on sorted list";
constexpr const char* SListCapacityError = "List capacity out of bounds (%d)";

// Keeps an update open for the length of a scope, also when it raises.
class TUpdateScope {
 public:
  explicit TUpdateScope(TStrings* strings) : FStrings(strings) { FStrings->BeginUpdate(); }
  ~TUpdateScope() { FStrings->EndUpdate(); }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

 private:
  TStrings* FStrings;
};

bool NeedsQuotes(std::string_view s) {
  for (char c : s) {
    auto b = static_cast<unsigned char>(c);
    if (b <= ' ' || c == '"' || c == ',') return true;
  }
  return false;
}

AnsiString Quoted(std::string_view s) {
  AnsiString r;
  r.reserve(s.size() + 2);
  r += '"';
  for (char c : s) {
    if (c == '"') r += '"';
    r += c;
  }
  r += '"';
  return r;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

// --- TStrings ---------------------------------------------------------------

void TStrings::Error(const char* Msg, Integer Data) { throw EStringListError(Msg, {Data}); }

TObject* TStrings::GetObject(Integer) const { return nullptr; }

void TStrings::PutObject(Integer, TObject*) {}

void TStrings::Put(Integer Index, const AnsiString& S) {
  TObject* obj = GetObject(Index);
  TUpdateScope update(this);
  Delete(Index);
  InsertObject(Index, S, obj);
}

Integer TStrings::Add(const AnsiString& S) {
  Integer index = GetCount();
  Insert(index, S);
  return index;
}

Integer TStrings::AddObject(const AnsiString& S, TObject* AObject) {
  Integer index = Add(S);
  PutObject(index, AObject);
  return index;
}

void TStrings::InsertObject(Integer Index, const AnsiString& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::AddStrings(TStrings* Strings) {
  if (!Strings) return;
  TUpdateScope update(this);
  Integer count = Strings->GetCount();
  if (Strings == this) {
    // A list added to itself copies what it held before: a sorted list puts
    // each copy among the originals, where reading on by index would meet
    // the copies instead of the strings still to come.
    std::vector<std::pair<AnsiString, TObject*>> items;
    items.reserve(static_cast<std::size_t>(count));
    for (Integer i = 0; i < count; ++i) items.emplace_back(Get(i), GetObject(i));
    for (auto& [s, obj] : items) AddObject(s, obj);
    return;
  }
  for (Integer i = 0; i < count; ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::Exchange(Integer Index1, Integer Index2) {
  TUpdateScope update(this);
  AnsiString s = Get(Index1);
  TObject* obj = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, s);
  PutObject(Index2, obj);
}

void TStrings::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  // Both places are checked before the string leaves its own: a move that
  // cannot finish must not lose the string.
  const Integer count = GetCount();
  if (CurIndex < 0 || CurIndex >= count) Error(SListIndexError, CurIndex);
  if (NewIndex < 0 || NewIndex >= count) Error(SListIndexError, NewIndex);
  TUpdateScope update(this);
  AnsiString s = Get(CurIndex);
  TObject* obj = GetObject(CurIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, s, obj);
}

Integer TStrings::IndexOf(const AnsiString& S) const {
  Integer count = GetCount();
  for (Integer i = 0; i < count; ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

Integer TStrings::IndexOfName(const AnsiString& Name) const {
  Integer count = GetCount();
  for (Integer i = 0; i < count; ++i) {
    AnsiString s = Get(i);
    auto eq = s.find('=');
    if (eq != AnsiString::npos && CompareStrings(std::string_view(s).substr(0, eq), Name) == 0) return i;
  }
  return -1;
}

Integer TStrings::IndexOfObject(TObject* AObject) const {
  Integer count = GetCount();
  for (Integer i = 0; i < count; ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

AnsiString TStrings::GetName(Integer Index) const {
  AnsiString s = Get(Index);
  auto eq = s.find('=');
  return eq == AnsiString::npos ? AnsiString() : s.substr(0, eq);
}

AnsiString TStrings::GetValue(const AnsiString& Name) const {
  Integer i = IndexOfName(Name);
  if (i < 0) return AnsiString();
  AnsiString s = Get(i);
  return s.substr(s.find('=') + 1);
}

void TStrings::SetValue(const AnsiString& Name, const AnsiString& Value) {
  Integer i = IndexOfName(Name);
  if (!Value.empty()) {
    if (i < 0) {
      Add(Name + "=" + Value);
    } else {
      Put(i, Name + "=" + Value);
    }
  } else if (i >= 0) {
    Delete(i);
  }
}

AnsiString TStrings::GetTextStr() const {
  Integer count = GetCount();
  AnsiString r;
  for (Integer i = 0; i < count; ++i) {
    r += Get(i);
    r += "\r\n";
  }
  return r;
}

void TStrings::SetTextStr(std::string_view Value) {
  TUpdateScope update(this);
  Clear();
  std::size_t p = 0, n = Value.size();
  while (p < n) {
    std::size_t start = p;
    while (p < n && Value[p] != '\r' && Value[p] != '\n') ++p;
    Add(AnsiString(Value.substr(start, p - start)));
    // CR LF is one line end; a CR or a LF alone is one too.
    if (p < n && Value[p] == '\r') {
      ++p;
      if (p < n && Value[p] == '\n') ++p;
    } else if (p < n) {
      ++p;
    }
  }
}

AnsiString TStrings::GetCommaText() const {
  Integer count = GetCount();
  if (count == 1 && Get(0).empty()) return "\"\"";
  AnsiString r;
  for (Integer i = 0; i < count; ++i) {
    if (i) r += ',';
    AnsiString s = Get(i);
    r += NeedsQuotes(s) ? Quoted(s) : s;
  }
  return r;
}

void TStrings::SetCommaText(std::string_view Value) {
  TUpdateScope update(this);
  Clear();
  std::size_t p = 0, n = Value.size();
  auto skipBlanks = [&] {
    while (p < n && IsBlank(Value[p])) ++p;
  };
  skipBlanks();
  while (p < n) {
    AnsiString s;
    if (Value[p] == '"') {
      // Up to the closing quote; a doubled quote stands for one. An
      // unterminated quote takes the rest of the text.
      ++p;
      while (p < n) {
        if (Value[p] == '"') {
          if (p + 1 < n && Value[p + 1] == '"') {
            s += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        s += Value[p++];
      }
    } else {
      std::size_t start = p;
      while (p < n && !IsBlank(Value[p]) && Value[p] != ',') ++p;
      s.assign(Value.substr(start, p - start));
    }
    Add(s);
    skipBlanks();
    if (p < n && Value[p] == ',') {
      ++p;
      if (p == n) Add(AnsiString());  // a trailing comma ends with an empty string
      skipBlanks();
    }
  }
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::DoAssign(TPersistent* Source) {
  if (auto* strings = dynamic_cast<TStrings*>(Source)) {
    TUpdateScope update(this);
    Clear();
    AddStrings(strings);
    return;
  }
  inherited::DoAssign(Source);
}

void TStrings::DefineProperties(TFiler* Filer) {
  inherited::DefineProperties(Filer);
  bool hasData;
  if (auto* ancestor = dynamic_cast<TStrings*>(Filer->GetAncestor()))
    hasData = !SameStrings(ancestor);
  else
    hasData = GetCount() > 0;
  Filer->DefineProperty("Strings", TReaderProc::Bind<&TStrings::ReadData>(this),
                        TWriterProc::Bind<&TStrings::WriteData>(this), hasData);
}

void TStrings::ReadData(TReader* Reader) {
  // The whole list is read before the old one goes: a damaged stream leaves
  // the strings as they were.
  Reader->ReadListBegin();
  std::vector<AnsiString> read;
  while (!Reader->EndOfList()) read.push_back(Reader->ReadString());
  Reader->ReadListEnd();
  TUpdateScope update(this);
  Clear();
  for (AnsiString& s : read) Add(s);
}

void TStrings::WriteData(TWriter* Writer) {
  Writer->WriteListBegin();
  Integer count = GetCount();
  for (Integer i = 0; i < count; ++i) Writer->WriteString(Get(i));
  Writer->WriteListEnd();
}

bool TStrings::SameStrings(TStrings* Other) const {
  Integer count = GetCount();
  if (Other->GetCount() != count) return false;
  for (Integer i = 0; i < count; ++i)
    if (Get(i) != Other->Get(i)) return false;
  return true;
}

void TStrings::LoadFromStream(TStream* Stream) {
  TUpdateScope update(this);
  Int64 size = Stream->GetSize() - Stream->GetPosition();
  AnsiString bytes;
  if (size > 0) {
    bytes.resize(static_cast<std::size_t>(size));
    Stream->ReadBuffer(bytes.data(), size);
  }
  SetTextStr(bytes);
}

void TStrings::SaveToStream(TStream* Stream) const {
  AnsiString text = GetTextStr();
  Stream->WriteBuffer(text.data(), static_cast<Int64>(text.size()));
}

void TStrings::LoadFromFile(const AnsiString& FileName) {
  TStringStream stream(LoadFileContent(FileName, orv::os::kTextFileLimit));
  LoadFromStream(&stream);
}

void TStrings::SaveToFile(const AnsiString& FileName) const {
  TStringStream stream;
  SaveToStream(&stream);
  SaveFileContent(FileName, stream.GetDataString());
}

Integer TStrings::CompareStrings(std::string_view S1, std::string_view S2) const { return AnsiCompareText(S1, S2); }

// --- TStringList ------------------------------------------------------------

void TStringList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) Error(SListIndexError, Index);
}

void TStringList::Changed() {
  if (GetUpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (GetUpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

AnsiString TStringList::Get(Integer Index) const {
  CheckIndex(Index);
  return FList[Index].FString;
}

TObject* TStringList::GetObject(Integer Index) const {
  CheckIndex(Index);
  return FList[Index].FObject;
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  FList.clear();
  FList.shrink_to_fit();
  Changed();
}

void TStringList::Delete(Integer Index) {
  CheckIndex(Index);
  Changing();
  FList.erase(FList.begin() + Index);
  Changed();
}

void TStringList::InsertItem(Integer Index, const AnsiString& S, TObject* AObject) {
  Changing();
  FList.insert(FList.begin() + Index, TStringItem{S, AObject});
  Changed();
}

void TStringList::Insert(Integer Index, const AnsiString& S) {
  if (FSorted) Error(SSortedListError, 0);
  if (Index < 0 || Index > GetCount()) Error(SListIndexError, Index);
  InsertItem(Index, S, nullptr);
}

void TStringList::Put(Integer Index, const AnsiString& S) {
  if (FSorted) Error(SSortedListError, 0);
  CheckIndex(Index);
  Changing();
  FList[Index].FString = S;
  Changed();
}

void TStringList::PutObject(Integer Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  FList[Index].FObject = AObject;
  Changed();
}

void TStringList::SetCapacity(Integer NewCapacity) {
  // The bound every list shares: beyond it the request is a wrong number,
  // not a wish for gigabytes of empty slots.
  if (NewCapacity < GetCount() || NewCapacity > TList::MaxListSize) Error(SListCapacityError, NewCapacity);
  if (NewCapacity > static_cast<Integer>(FList.capacity())) FList.reserve(NewCapacity);
}

Integer TStringList::AddObject(const AnsiString& S, TObject* AObject) {
  Integer index = GetCount();
  if (FSorted && Find(S, index)) {
    switch (FDuplicates) {
      case dupIgnore:
        return index;
      case dupError:
        Error(SDuplicateString, 0);
      case dupAccept:
        // After the equal ones, so equal strings keep the order they came in.
        // Found by halving too: a list of many equal strings (a column of a
        // few repeated values) must not pay a walk along all of them per Add.
        index = orv::BinarySearch(index, GetCount(), [&](Integer I) {
                  return CompareStrings(FList[I].FString, S) <= 0 ? -1 : 1;
                }).Index;
        break;
    }
  }
  InsertItem(index, S, AObject);
  return index;
}

void TStringList::Exchange(Integer Index1, Integer Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FList[Index1], FList[Index2]);
  Changed();
}

void TStringList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  // Checked before the string leaves its place: a move that cannot finish
  // must not lose it.
  if (FSorted) Error(SSortedListError, 0);
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  inherited::Move(CurIndex, NewIndex);
}

Integer TStringList::IndexOf(const AnsiString& S) const {
  Integer index;
  if (FSorted) return Find(S, index) ? index : -1;
  for (index = 0; index < GetCount(); ++index)
    if (CompareStrings(FList[index].FString, S) == 0) return index;
  return -1;
}

bool TStringList::Find(const AnsiString& S, Integer& Index) const {
  const auto hit =
      orv::BinarySearch(Integer(0), GetCount(), [&](Integer I) { return CompareStrings(FList[I].FString, S); });
  Index = hit.Index;
  return hit.Found;
}

Integer TStringList::CompareItems(TStringList* List, Integer Index1, Integer Index2) {
  return List->CompareStrings(List->FList[Index1].FString, List->FList[Index2].FString);
}

void TStringList::Sort() { CustomSort(CompareItems); }

void TStringList::CustomSort(TStringListSortCompare Compare) {
  if (!FSorted) SortItems(Compare);
}

void TStringList::SortItems(TStringListSortCompare Compare) {
  if (!Compare || GetCount() < 2) return;
  // The compare function reads the list by index, so the list stays as it
  // is while a permutation of the indices is sorted; a comparison that
  // raises then leaves it untouched.
  std::vector<Integer> order(FList.size());
  std::iota(order.begin(), order.end(), 0);
  orv::StableSort(order.data(), order.size(), [&](Integer a, Integer b) { return Compare(this, a, b) < 0; });
  std::vector<TStringItem> sorted;
  sorted.reserve(FList.size());
  for (Integer i : order) sorted.push_back(std::move(FList[i]));
  Changing();
  FList.swap(sorted);
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (Value == FSorted) return;
  if (Value) SortItems(CompareItems);
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (Value == FCaseSensitive) return;
  FCaseSensitive = Value;
  // Find relies on the order matching the comparison.
  if (FSorted) SortItems(CompareItems);
}

Integer TStringList::CompareStrings(std::string_view S1, std::string_view S2) const {
  return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}
