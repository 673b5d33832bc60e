// Lists of strings: the abstract TStrings every string-list property is
// declared as, and TStringList, the in-memory list with optional sorting.
//
// Each string may carry an object pointer (never owned). Strings compare
// with the list's own comparison (CompareStrings): without regard to case
// by default; TStringList follows its CaseSensitive switch. Text is a line
// per string, each followed by CR LF; CommaText is the strings separated by
// commas, quoted with '"' where needed.
#pragma once

#include <string_view>
#include <vector>

#include "platform/rtl/Events.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/TypeInfo.h"

class TStream;
class TReader;
class TWriter;

class TStrings : public TPersistent {
  ORV_CLASS(TStrings, TPersistent)
 public:
  TStrings() = default;

  // --- what a descendant supplies
  virtual AnsiString Get(Integer Index) const = 0;
  virtual Integer GetCount() const = 0;
  virtual void Clear() = 0;
  virtual void Delete(Integer Index) = 0;
  virtual void Insert(Integer Index, const AnsiString& S) = 0;
  // Objects are kept only by lists that store them; the default has none.
  virtual TObject* GetObject(Integer Index) const;
  virtual void PutObject(Integer Index, TObject* AObject);
  // Replaces a string, keeping its object.
  virtual void Put(Integer Index, const AnsiString& S);
  virtual Integer GetCapacity() const { return GetCount(); }
  virtual void SetCapacity(Integer) {}

  // --- built on the above
  virtual Integer Add(const AnsiString& S);
  virtual Integer AddObject(const AnsiString& S, TObject* AObject);
  void InsertObject(Integer Index, const AnsiString& S, TObject* AObject);
  virtual void AddStrings(TStrings* Strings);
  virtual void Exchange(Integer Index1, Integer Index2);
  virtual void Move(Integer CurIndex, Integer NewIndex);
  virtual Integer IndexOf(const AnsiString& S) const;
  Integer IndexOfName(const AnsiString& Name) const;
  Integer IndexOfObject(TObject* AObject) const;
  AnsiString operator[](Integer Index) const { return Get(Index); }

  // "Name=Value" lines: the name is the part before the first '=' (empty
  // without one), the value the part after it.
  AnsiString GetName(Integer Index) const;
  AnsiString GetValue(const AnsiString& Name) const;
  // Replaces the value of Name, appending a line when there is none; an
  // empty value deletes the line.
  void SetValue(const AnsiString& Name, const AnsiString& Value);

  // Every string followed by CR LF. Setting splits at CR, LF or CR LF; a
  // last line without a line end still counts.
  virtual AnsiString GetTextStr() const;
  virtual void SetTextStr(std::string_view Value);
  AnsiString GetText() const { return GetTextStr(); }
  void SetText(std::string_view Value) { SetTextStr(Value); }
  // Strings separated by commas; one that is empty (alone), or holds a
  // blank, a control character, a comma or '"', is written in double quotes
  // with inner quotes doubled. Reading splits at commas and at blanks
  // outside quotes.
  AnsiString GetCommaText() const;
  void SetCommaText(std::string_view Value);

  // Counted: the outermost BeginUpdate calls SetUpdateState(true), the
  // matching EndUpdate SetUpdateState(false). An unmatched EndUpdate is
  // ignored.
  void BeginUpdate();
  void EndUpdate();

  // The strings stream as the list property "Strings" (objects do not);
  // written when there are any, or when they differ from the ancestor's.
  void DefineProperties(TFiler* Filer) override;

  // The whole stream from its position (or file) as text, and back, bytes
  // as they are with CR LF line ends.
  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToStream(TStream* Stream) const;
  virtual void LoadFromFile(const AnsiString& FileName);
  virtual void SaveToFile(const AnsiString& FileName) const;

  // The list's comparison: <0, 0 or >0.
  virtual Integer CompareStrings(std::string_view S1, std::string_view S2) const;

  // Raises EStringListError with Msg formatted with Data.
  [[noreturn]] static void Error(const char* Msg, Integer Data);

 protected:
  // Copies the strings and objects of another string list; anything else
  // goes to the inherited rules.
  void DoAssign(TPersistent* Source) override;

  virtual void SetUpdateState(bool Updating);
  Integer GetUpdateCount() const { return FUpdateCount; }

 private:
  void ReadData(TReader* Reader);
  void WriteData(TWriter* Writer);
  bool SameStrings(TStrings* Other) const;

  Integer FUpdateCount = 0;
};

ORV_ENUM(TDuplicates, dupIgnore, dupAccept, dupError)

class TStringList;
using TStringListSortCompare = Integer (*)(TStringList* List, Integer Index1, Integer Index2);

class TStringList : public TStrings {
  ORV_CLASS(TStringList, TStrings)
 public:
  TStringList() = default;
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;

  AnsiString Get(Integer Index) const override;
  Integer GetCount() const override { return static_cast<Integer>(FList.size()); }
  void Clear() override;
  void Delete(Integer Index) override;
  // Refused on a sorted list ("Operation not allowed on sorted list").
  void Insert(Integer Index, const AnsiString& S) override;
  void Put(Integer Index, const AnsiString& S) override;
  TObject* GetObject(Integer Index) const override;
  void PutObject(Integer Index, TObject* AObject) override;
  Integer GetCapacity() const override { return static_cast<Integer>(FList.capacity()); }
  void SetCapacity(Integer NewCapacity) override;

  // On a sorted list the string goes to its place: a duplicate is dropped
  // (dupIgnore, answering the existing index), kept (dupAccept) or refused
  // with EStringListError "Duplicates not allowed" (dupError).
  Integer AddObject(const AnsiString& S, TObject* AObject) override;
  Integer Add(const AnsiString& S) override { return AddObject(S, nullptr); }
  void Exchange(Integer Index1, Integer Index2) override;
  // Refused on a sorted list before anything changes.
  void Move(Integer CurIndex, Integer NewIndex) override;
  Integer IndexOf(const AnsiString& S) const override;
  // Binary search of a sorted list: true when S is there, with Index at
  // its first occurrence; otherwise Index is where S would go.
  bool Find(const AnsiString& S, Integer& Index) const;

  // Sorts an unsorted list (a sorted one already is). Stable.
  virtual void Sort();
  virtual void CustomSort(TStringListSortCompare Compare);

  bool GetSorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates GetDuplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool GetCaseSensitive() const { return FCaseSensitive; }
  // A sorted list is re-sorted by the new comparison.
  void SetCaseSensitive(bool Value);

  Integer CompareStrings(std::string_view S1, std::string_view S2) const override;

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  // Called around every change; silent while an update is open.
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool Updating) override;

 private:
  struct TStringItem {
    AnsiString FString;
    TObject* FObject = nullptr;
  };
  static Integer CompareItems(TStringList* List, Integer Index1, Integer Index2);
  void CheckIndex(Integer Index) const;
  void InsertItem(Integer Index, const AnsiString& S, TObject* AObject);
  void SortItems(TStringListSortCompare Compare);

  std::vector<TStringItem> FList;
  bool FSorted = false;
  bool FCaseSensitive = false;
  TDuplicates FDuplicates = dupIgnore;
};
