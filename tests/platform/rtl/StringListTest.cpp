#include "platform/rtl/StringList.h"

#include <sys/wait.h>
#include <unistd.h>

#include "platform/rtl/Collation.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/ObjectText.h"
#include "platform/rtl/Streams.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace {

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> out;
  for (Integer i = 0; i < list.GetCount(); ++i) out.push_back(list[i]);
  return out;
}

using V = std::vector<std::string>;

std::string ErrorOf(auto&& call) {
  try {
    call();
  } catch (const EStringListError& e) {
    return e.GetMessage();
  }
  return "no error";
}

// Counts change events and what the list held when each came.
struct TWatcher {
  std::vector<std::string> Log;
  void Attach(TStringList& list) {
    list.OnChanging = [this, &list](TObject* sender) {
      EXPECT_EQ(sender, &list);
      Log.push_back("changing " + std::to_string(list.GetCount()));
    };
    list.OnChange = [this, &list](TObject*) { Log.push_back("change " + std::to_string(list.GetCount())); };
  }
};

// A component with a string-list property, as layouts hold them.
class TLinesHolder : public TComponent {
  ORV_CLASS(TLinesHolder, TComponent)
 public:
  explicit TLinesHolder(TComponent* AOwner) : TComponent(AOwner) {}
  ~TLinesHolder() override { FLines->Free(); }
  TStringList* GetLines() const { return FLines; }

 private:
  TStringList* FLines = New<TStringList>();
};

ORV_REGISTER(TLinesHolder, ORV_PROP_RO(Lines))

}  // namespace

TEST(StringList, SortedListPlacesDuplicatesByItsMode) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"pear", "Apple", "fig", "apple", "\xC9" "clair", "eclair"}) list.Add(s);
  // Case-insensitive by default: "apple" is a duplicate of "Apple".
  EXPECT_EQ(Lines(list), (V{"Apple", "eclair", "\xC9" "clair", "fig", "pear"}));
  EXPECT_EQ(list.Add("APPLE"), 0);  // dupIgnore answers the existing index
  EXPECT_EQ(list.GetCount(), 5);

  list.SetDuplicates(dupError);
  EXPECT_EQ(ErrorOf([&] { list.Add("FIG"); }), "Duplicates not allowed");
  EXPECT_EQ(list.GetCount(), 5);

  list.SetDuplicates(dupAccept);
  TObject marker;
  EXPECT_EQ(list.AddObject("Fig", &marker), 4);  // after the equal one
  EXPECT_EQ(list.GetObject(4), &marker);

  Integer index = -1;
  EXPECT_TRUE(list.Find("FIG", index));
  EXPECT_EQ(index, 3);
  EXPECT_FALSE(list.Find("grape", index));
  EXPECT_EQ(index, 5);
  EXPECT_EQ(list.IndexOf("PEAR"), 5);
  EXPECT_EQ(list.IndexOf("grape"), -1);

  // Changing the comparison re-sorts, so Find keeps working.
  list.SetCaseSensitive(true);
  list.Add("apple");
  EXPECT_EQ(list.IndexOf("apple"), 0);
  EXPECT_EQ(list.IndexOf("Apple"), 1);
  EXPECT_EQ(list.IndexOf("APPLE"), -1);
}

namespace {

// A list that counts the comparisons it makes.
class TCountingList : public TStringList {
 public:
  mutable long Comparisons = 0;
  Integer CompareStrings(std::string_view S1, std::string_view S2) const override {
    ++Comparisons;
    return TStringList::CompareStrings(S1, S2);
  }
};

}  // namespace

TEST(StringList, ManyEqualStringsInASortedListKeepTheirOrderAtTheCostOfASearch) {
  // A sorted list fed a column of a few repeated values: each accepted
  // duplicate goes after its equals by halving, not by walking past all of
  // them, so the whole load stays near n log n comparisons.
  TCountingList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  TObject first, last;
  constexpr int n = 4096;
  for (int i = 0; i < n; ++i) list.AddObject(i % 2 ? "odd" : "even", i == 0 ? &first : i == n - 2 ? &last : nullptr);
  EXPECT_LT(list.Comparisons, 2L * n * 14);
  ASSERT_EQ(list.GetCount(), n);
  EXPECT_EQ(list[0], "even");
  EXPECT_EQ(list.GetObject(0), &first);
  EXPECT_EQ(list.GetObject(n / 2 - 1), &last);
  EXPECT_EQ(list[n / 2], "odd");
  EXPECT_EQ(list.IndexOf("ODD"), n / 2);
}

TEST(StringList, SortedListRefusesPositionalChangesWithoutLosingAnything) {
  TStringList list;
  list.SetCommaText("c,a,b");
  list.SetSorted(true);
  EXPECT_EQ(Lines(list), (V{"a", "b", "c"}));
  EXPECT_EQ(ErrorOf([&] { list.Insert(0, "z"); }), "Operation not allowed on sorted list");
  EXPECT_EQ(ErrorOf([&] { list.Move(0, 2); }), "Operation not allowed on sorted list");
  EXPECT_EQ(ErrorOf([&] { list.Put(1, "q"); }), "Operation not allowed on sorted list");
  EXPECT_EQ(Lines(list), (V{"a", "b", "c"}));

  list.SetSorted(false);
  list.Move(0, 2);
  EXPECT_EQ(Lines(list), (V{"b", "c", "a"}));
  EXPECT_EQ(ErrorOf([&] { list.Get(3); }), "List index out of bounds (3)");
  EXPECT_EQ(ErrorOf([&] { list.Delete(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(ErrorOf([&] { list.Insert(4, "x"); }), "List index out of bounds (4)");
  EXPECT_EQ(ErrorOf([&] { list.Move(1, 3); }), "List index out of bounds (3)");
  EXPECT_EQ(ErrorOf([&] { list.SetCapacity(1); }), "List capacity out of bounds (1)");
  EXPECT_EQ(Lines(list), (V{"b", "c", "a"}));
}

TEST(StringList, ACapacityBeyondTheBoundOfEveryListIsRefusedNotAllocated) {
  // A capacity computed from a damaged count must not ask for gigabytes:
  // the string list keeps the same bound as the other lists.
  TStringList list;
  list.SetCommaText("a,b");
  list.SetCapacity(TList::MaxListSize / 1024);
  EXPECT_GE(list.GetCapacity(), TList::MaxListSize / 1024);
  EXPECT_EQ(ErrorOf([&] { list.SetCapacity(TList::MaxListSize + 1); }), "List capacity out of bounds (134217728)");
  EXPECT_EQ(ErrorOf([&] { list.SetCapacity(0x7FFFFFFF); }), "List capacity out of bounds (2147483647)");
  EXPECT_EQ(Lines(list), (V{"a", "b"}));
}

namespace {

// Lines kept the way a window keeps them: an insert at a place the window
// does not have is quietly not made.
class TWindowLines : public TStrings {
 public:
  std::vector<AnsiString> Lines;
  AnsiString Get(Integer Index) const override {
    if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
    return Lines[static_cast<std::size_t>(Index)];
  }
  Integer GetCount() const override { return static_cast<Integer>(Lines.size()); }
  void Clear() override { Lines.clear(); }
  void Delete(Integer Index) override {
    if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
    Lines.erase(Lines.begin() + Index);
  }
  void Insert(Integer Index, const AnsiString& S) override {
    if (Index >= 0 && Index <= GetCount()) Lines.insert(Lines.begin() + Index, S);
  }
};

}  // namespace

TEST(StringList, AMoveOutsideAnyListOfStringsRaisesAndLosesNothing) {
  // The general Move of every string list (a list box's items, a memo's
  // lines) takes the string out and puts it back; a target past the end
  // must be refused before the string has left.
  TWindowLines lines;
  lines.SetCommaText("one,two,three");
  EXPECT_EQ(ErrorOf([&] { lines.Move(0, 3); }), "List index out of bounds (3)");
  EXPECT_EQ(ErrorOf([&] { lines.Move(2, -1); }), "List index out of bounds (-1)");
  EXPECT_EQ(ErrorOf([&] { lines.Move(3, 0); }), "List index out of bounds (3)");
  EXPECT_EQ(Lines(lines), (V{"one", "two", "three"}));
  lines.Move(0, 2);
  EXPECT_EQ(Lines(lines), (V{"two", "three", "one"}));
}

TEST(StringList, TextSplitsAtEveryKindOfLineEnd) {
  TStringList list;
  list.SetText("one\r\ntwo\nthree\rfour\n\rsix\r\n\r\neight");
  EXPECT_EQ(Lines(list), (V{"one", "two", "three", "four", "", "six", "", "eight"}));
  EXPECT_EQ(list.GetText(), "one\r\ntwo\r\nthree\r\nfour\r\n\r\nsix\r\n\r\neight\r\n");

  list.SetText("last line ends\r\n");
  EXPECT_EQ(Lines(list), (V{"last line ends"}));
  list.SetText(std::string("nul\0inside\n", 11));  // bytes are kept as they are
  EXPECT_EQ(list[0], std::string("nul\0inside", 10));
  list.SetText("");
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetText(), "");
}

TEST(StringList, NamesAndValues) {
  TStringList list;
  list.SetText("Width=10\nCaption=a=b\nplain\n=anonymous");
  EXPECT_EQ(list.GetName(0), "Width");
  EXPECT_EQ(list.GetName(2), "");
  EXPECT_EQ(list.GetValue("caption"), "a=b");  // the first '=' splits
  EXPECT_EQ(list.GetValue("plain"), "");
  EXPECT_EQ(list.IndexOfName(""), 3);

  TObject tag;
  list.PutObject(0, &tag);
  list.SetValue("WIDTH", "20");  // replaces in place, keeping the object
  EXPECT_EQ(list[0], "WIDTH=20");
  EXPECT_EQ(list.GetObject(0), &tag);
  EXPECT_EQ(list.IndexOfObject(&tag), 0);
  list.SetValue("Height", "5");
  EXPECT_EQ(list[list.GetCount() - 1], "Height=5");
  list.SetValue("Caption", "");  // an empty value removes the line
  EXPECT_EQ(list.IndexOfName("Caption"), -1);
  EXPECT_EQ(list.GetCount(), 4);
}

TEST(StringList, CommaTextQuotesWhatWouldNotSurviveAndReadsItBack) {
  TStringList list;
  for (const char* s : {"plain", "two words", "say \"hi\"", "a,b", "", "tab\there"}) list.Add(s);
  const AnsiString text = list.GetCommaText();
  EXPECT_EQ(text, "plain,\"two words\",\"say \"\"hi\"\"\",\"a,b\",,\"tab\there\"");
  TStringList back;
  back.SetCommaText(text);
  EXPECT_EQ(Lines(back), Lines(list));

  back.SetCommaText("  x y ,, \"open");  // blanks split too; an open quote runs to the end
  EXPECT_EQ(Lines(back), (V{"x", "y", "", "open"}));
  back.SetCommaText("a,");
  EXPECT_EQ(Lines(back), (V{"a", ""}));
  back.Clear();
  back.Add("");
  EXPECT_EQ(back.GetCommaText(), "\"\"");
}

TEST(StringList, ChangeEventsBracketEachChangeAndUpdatesFoldThem) {
  TStringList list;
  TWatcher w;
  w.Attach(list);
  list.Add("a");
  list.Add("b");
  list.Exchange(0, 1);
  EXPECT_EQ(w.Log, (V{"changing 0", "change 1", "changing 1", "change 2", "changing 2", "change 2"}));

  w.Log.clear();
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("c");
  list.Delete(0);
  list.EndUpdate();
  EXPECT_TRUE(w.Log.size() == 1);
  list.EndUpdate();
  list.EndUpdate();  // unmatched: ignored
  EXPECT_EQ(w.Log, (V{"changing 2", "change 2"}));

  w.Log.clear();
  list.SetText("x\ny\nz");  // one update around the whole replacement
  EXPECT_EQ(w.Log, (V{"changing 2", "change 3"}));
}

TEST(StringList, SortIsStableAndCustomSortReadsTheListByIndex) {
  TStringList list;
  TObject first, second;
  list.AddObject("b", &first);
  list.Add("a");
  list.AddObject("B", &second);
  list.Sort();
  EXPECT_EQ(Lines(list), (V{"a", "b", "B"}));
  EXPECT_EQ(list.GetObject(1), &first);  // objects travel with their strings
  EXPECT_EQ(list.GetObject(2), &second);

  list.CustomSort([](TStringList* l, Integer i, Integer j) -> Integer {
    return CompareStr(l->Get(j), l->Get(i));  // descending, ordinal
  });
  EXPECT_EQ(Lines(list), (V{"b", "a", "B"}));

  // A compare function that raises leaves the order as it was.
  EXPECT_THROW(list.CustomSort([](TStringList*, Integer, Integer) -> Integer { throw EListError("stop"); }),
               EListError);
  EXPECT_EQ(Lines(list), (V{"b", "a", "B"}));
}

TEST(StringList, AssignAndAddStringsCopyStringsWithTheirObjects) {
  TStringList source, target;
  TObject tag;
  source.AddObject("one", &tag);
  source.Add("two");
  target.Add("old");
  target.Assign(&source);
  EXPECT_EQ(Lines(target), (V{"one", "two"}));
  EXPECT_EQ(target.GetObject(0), &tag);
  target.AddStrings(&target);  // from itself: copied once
  EXPECT_EQ(Lines(target), (V{"one", "two", "one", "two"}));
  TPersistent other;
  EXPECT_THROW(target.Assign(&other), EConvertError);
  EXPECT_EQ(target.GetCount(), 4);

  // A sorted list placing the copies among the originals still copies
  // each string once, with its object.
  TStringList sorted;
  sorted.SetSorted(true);
  sorted.SetDuplicates(dupAccept);
  sorted.SetCommaText("c,a");
  sorted.AddObject("b", &tag);
  sorted.AddStrings(&sorted);
  EXPECT_EQ(Lines(sorted), (V{"a", "a", "b", "b", "c", "c"}));
  EXPECT_EQ(sorted.GetObject(2), &tag);
  EXPECT_EQ(sorted.GetObject(3), &tag);
}

TEST(StringList, StreamsAndFilesHoldTheBytesWithCrLf) {
  TStringList list;
  list.SetText("caf\xE9\nna\xEFve");
  TMemoryStream stream;
  list.SaveToStream(&stream);
  EXPECT_EQ(stream.GetSize(), 13);
  stream.SetPosition(0);
  TStringList back;
  back.LoadFromStream(&stream);
  EXPECT_EQ(Lines(back), Lines(list));

  TempDir dir;
  const AnsiString name = dir / "lines.txt";
  list.SaveToFile(name);
  back.Clear();
  back.LoadFromFile(name);
  EXPECT_EQ(back.GetText(), "caf\xE9\r\nna\xEFve\r\n");
  EXPECT_THROW(back.LoadFromFile(dir / "missing.txt"), EFOpenError);
  EXPECT_EQ(back.GetCount(), 2);  // a failed load keeps what was there
}

TEST(StringList, SavingOverAFileReplacesItWholeOrNotAtAll) {
  namespace fs = std::filesystem;
  TempDir dir;
  TStringList list;
  for (int i = 0; i < 1000; ++i) list.Add("line " + std::to_string(i));
  auto failure = [&](const AnsiString& name) {
    try {
      list.SaveToFile(name);
    } catch (const EFCreateError& e) {
      return std::string(e.what());
    }
    return std::string("saved");
  };

  // A full disk: the old file stays as it was, and nothing is left beside it.
  const AnsiString name = dir.Write("lines.txt", "old\r\n");
  {
    FileSizeLimit full(64);
    EXPECT_EQ(failure(name), "Cannot create file \"" + name + "\". File too large");
  }
  EXPECT_EQ(dir.Read("lines.txt"), "old\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);

  // The replacement keeps the file's permissions.
  fs::permissions(name, fs::perms::owner_read | fs::perms::owner_write);
  list.SaveToFile(name);
  EXPECT_EQ(fs::status(name).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(dir.Read("lines.txt").substr(0, 8), "line 0\r\n");

  // A link is written through to the file it points at.
  const AnsiString target = dir.Write("real/target.txt", "old");
  fs::create_symlink("real/target.txt", dir / "link.txt");
  list.SaveToFile(dir / "link.txt");
  EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
  EXPECT_EQ(dir.Read("real/target.txt"), dir.Read("lines.txt"));

  // A file the user may not write is refused even in a writable folder (an
  // administrator checks this as an ordinary user, in a child process).
  const AnsiString locked = dir.Write("locked.txt", "keep");
  fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(dir.Path(), fs::perms::all);
  auto refused = [&] {
    return failure(locked) == "Cannot create file \"" + locked + "\". Permission denied" &&
           dir.Read("locked.txt") == "keep";
  };
  if (geteuid() != 0) {
    EXPECT_TRUE(refused());
  } else {
    const pid_t child = fork();
    if (child == 0) {
      constexpr uid_t kNobody = 65534;
      if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(2);
      _exit(refused() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  }
}

TEST(StringList, ADamagedListInALayoutLeavesTheStringsAlone) {
  const AnsiString layout =
      "object Holder: TLinesHolder\r\n"
      "  Lines.Strings = (\r\n"
      "    'one'\r\n"
      "    'two')\r\n"
      "end\r\n";
  TStringStream text(layout);
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  TLinesHolder holder(nullptr);
  holder.GetLines()->Add("kept");
  // Cut inside the second string.
  const std::string bytes(static_cast<const char*>(binary.GetMemory()), static_cast<std::size_t>(binary.GetSize()));
  TMemoryStream cut;
  cut.WriteBuffer(bytes.data(), static_cast<Int64>(bytes.find("two") + 1));
  cut.SetPosition(0);
  EXPECT_THROW(cut.ReadComponent(&holder), EReadError);
  EXPECT_EQ(Lines(*holder.GetLines()), (V{"kept"}));
}

TEST(StringList, LayoutsCarryTheStringsAsAListProperty) {
  const AnsiString layout =
      "object Holder: TLinesHolder\r\n"
      "  Lines.Strings = (\r\n"
      "    'one'\r\n"
      "    'it''s two')\r\n"
      "end\r\n";
  TStringStream text(layout);
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  TLinesHolder holder(nullptr);
  holder.GetLines()->Add("replaced");
  binary.ReadComponent(&holder);
  EXPECT_EQ(Lines(*holder.GetLines()), (V{"one", "it's two"}));

  TMemoryStream written;
  written.WriteComponent(&holder);
  written.SetPosition(0);
  TStringStream back;
  ObjectBinaryToText(written, back);
  EXPECT_EQ(back.GetDataString(), layout);

  // An empty list writes nothing.
  holder.GetLines()->Clear();
  TMemoryStream empty;
  empty.WriteComponent(&holder);
  empty.SetPosition(0);
  TStringStream emptyText;
  ObjectBinaryToText(empty, emptyText);
  EXPECT_EQ(emptyText.GetDataString(), "object Holder: TLinesHolder\r\nend\r\n");
}
