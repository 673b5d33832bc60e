#include "library/foundation/cxStorage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/rtl/Collection.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"
#include "support/HangGuard.h"
#include "support/TempDir.h"

namespace {

ORV_ENUM(TTestShape, tsCircle, tsSquare, tsTriangle)
using TTestShapes = Set<TTestShape>;

// Every kind of published value the storage moves.
class TStoredPlain : public TComponent {
  ORV_CLASS(TStoredPlain, TComponent)
 public:
  explicit TStoredPlain(TComponent* AOwner) : TComponent(AOwner) {}
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer Value) { FWidth = Value; }
  AnsiString GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& Value) { FCaption = Value; }
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  TTestShape GetShape() const { return FShape; }
  void SetShape(TTestShape Value) { FShape = Value; }
  TTestShapes GetShapes() const { return FShapes; }
  void SetShapes(TTestShapes Value) { FShapes = Value; }
  double GetRatio() const { return FRatio; }
  void SetRatio(double Value) { FRatio = Value; }
  Int64 GetBig() const { return FBig; }
  void SetBig(Int64 Value) { FBig = Value; }
  WideString GetTitle() const { return FTitle; }
  void SetTitle(const WideString& Value) { FTitle = Value; }
  TDateTime GetStamp() const { return FStamp; }
  void SetStamp(TDateTime Value) { FStamp = Value; }
  TNotifyEvent OnClick;

 private:
  Integer FWidth = 0;
  AnsiString FCaption;
  bool FVisible = false;
  TTestShape FShape = tsCircle;
  TTestShapes FShapes;
  double FRatio = 0;
  Int64 FBig = 0;
  WideString FTitle;
  TDateTime FStamp;
};

class TStoredItem : public TCollectionItem {
  ORV_CLASS(TStoredItem, TCollectionItem)
 public:
  explicit TStoredItem(TCollection* ACollection) : TCollectionItem(ACollection) {}
  AnsiString GetText() const { return FText; }
  void SetText(const AnsiString& Value) { FText = Value; }

 private:
  AnsiString FText;
};

// A parent that names its rows and makes and drops them on request.
class TStoredRow : public TComponent {
  ORV_CLASS(TStoredRow, TComponent)
 public:
  explicit TStoredRow(TComponent* AOwner) : TComponent(AOwner) {}
  AnsiString GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& Value) { FCaption = Value; }

 private:
  AnsiString FCaption;
};

class TStoredGrid : public TComponent, public IcxStoredParent {
  ORV_CLASS(TStoredGrid, TComponent)
 public:
  explicit TStoredGrid(TComponent* AOwner) : TComponent(AOwner), FItems(New<TCollection>(TStoredItem::StaticClass())) {}
  ~TStoredGrid() override { FItems->Free(); }
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer Value) { FWidth = Value; }
  TCollection* GetItems() const { return FItems; }
  void SetItems(TCollection* Value) { FItems->Assign(Value); }

  TStoredRow* AddRow(const AnsiString& AName) {
    auto* row = New<TStoredRow>(this);
    row->SetName(AName);
    return row;
  }
  TObject* CreateChild(const AnsiString& AObjectName, const AnsiString& AClassName) override {
    Log.push_back("create " + AObjectName + " " + AClassName);
    return AClassName == "TStoredRow" ? AddRow(AObjectName) : nullptr;
  }
  void DeleteChild(const AnsiString& AObjectName, TObject* AObject) override {
    Log.push_back("delete " + AObjectName);
    AObject->Free();
  }
  void GetStoredChildren(TStringList* AChildren) override {
    for (Integer i = 0; i < GetComponentCount(); ++i)
      if (auto* row = dynamic_cast<TStoredRow*>(GetComponent(i))) AChildren->AddObject(row->GetName(), row);
  }
  std::vector<AnsiString> Log;

 private:
  Integer FWidth = 0;
  TCollection* FItems;
};

// An object that names its own values: as many as it is given.
class TStoredSheet : public TObject, public IcxStoredObject {
  ORV_CLASS(TStoredSheet, TObject)
 public:
  explicit TStoredSheet(Integer ACount) : Values(static_cast<std::size_t>(ACount), 0) {}
  AnsiString GetObjectName() override { return "Sheet"; }
  bool GetProperties(TStrings* AProperties) override {
    for (std::size_t i = 0; i < Values.size(); ++i) AProperties->Add("V" + std::to_string(i));
    return true;
  }
  void GetPropertyValue(const AnsiString& AName, Variant& AValue) override { AValue = Values[Index(AName)]; }
  void SetPropertyValue(const AnsiString& AName, const Variant& AValue) override {
    Values[Index(AName)] = AValue.AsInteger();
  }
  std::vector<Integer> Values;

 private:
  static std::size_t Index(const AnsiString& AName) { return std::stoul(AName.substr(1)); }
};

std::string ReadFile(const std::string& AName) {
  std::ifstream in(AName, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Hex(const AnsiString& ABytes) { return StringToHexString(ABytes); }

}  // namespace

ORV_REGISTER(TStoredPlain, ORV_PROP(Width), ORV_PROP(Caption), ORV_PROP(Visible), ORV_PROP(Shape), ORV_PROP(Shapes),
             ORV_PROP(Ratio), ORV_PROP(Big), ORV_PROP(Title), ORV_PROP(Stamp), ORV_EVENT(OnClick))
ORV_REGISTER(TStoredItem, ORV_PROP(Text))
ORV_REGISTER(TStoredRow, ORV_PROP(Caption))
ORV_REGISTER(TStoredGrid, ORV_PROP(Width), ORV_PROP(Items))
ORV_REGISTER(TStoredSheet)

namespace {

struct Storage : ::testing::Test {
  void SetUp() override { live = TObject::LiveCount(); }
  void TearDown() override { EXPECT_EQ(TObject::LiveCount(), live); }

  static TStoredPlain* FilledPlain() {
    auto* plain = New<TStoredPlain>(nullptr);
    plain->SetName("Plain");
    plain->SetWidth(300);
    plain->SetCaption("12");
    plain->SetVisible(true);
    plain->SetShape(tsSquare);
    plain->SetShapes(TTestShapes{tsCircle, tsTriangle});
    plain->SetRatio(1.5);
    plain->SetBig(Int64(1) << 40);
    plain->SetTitle(u"\u03a9mega");
    plain->SetStamp(TDateTime(EncodeDate(2024, 3, 1).Value + EncodeTime(12, 30, 5, 250).Value));
    return plain;
  }

  static void ExpectPlainBack(TStoredPlain* AObject) {
    EXPECT_EQ(AObject->GetName(), "Plain");
    EXPECT_EQ(AObject->GetWidth(), 300);
    EXPECT_EQ(AObject->GetCaption(), "12");
    EXPECT_TRUE(AObject->GetVisible());
    EXPECT_EQ(AObject->GetShape(), tsSquare);
    EXPECT_EQ(AObject->GetShapes(), (TTestShapes{tsCircle, tsTriangle}));
    EXPECT_EQ(AObject->GetRatio(), 1.5);
    EXPECT_EQ(AObject->GetBig(), Int64(1) << 40);
    EXPECT_NEAR(AObject->GetStamp().Value, EncodeDate(2024, 3, 1).Value + EncodeTime(12, 30, 5, 250).Value, 1e-9);
  }

  Int64 live = 0;
  TempDir dir;
};

}  // namespace

TEST_F(Storage, APlainComponentGoesToAnIniFileUnderItsNameAndComesBack) {
  TStoredPlain* plain = FilledPlain();
  const std::string file = dir / "plain.ini";
  TcxStorage storage(file);
  storage.StoreToIni(plain);
  EXPECT_EQ(ReadFile(file),
            "[Plain: TStoredPlain]\r\n=\r\nName=\"Plain\"\r\nTag=0\r\nWidth=300\r\nCaption=\"12\"\r\n"
            "Visible=\"True\"\r\nShape=\"tsSquare\"\r\nShapes=\"[tsCircle,tsTriangle]\"\r\nRatio=1.5\r\n"
            "Big=1099511627776\r\nTitle=\"?mega\"\r\nStamp=45352.52089409722\r\n\r\n");

  auto* back = New<TStoredPlain>(nullptr);
  back->SetName("Plain");
  TcxStorage(file).RestoreFromIni(back);
  ExpectPlainBack(back);
  back->Free();
  plain->Free();
}

TEST_F(Storage, NumbersWrittenUnderOneLocaleReadBackUnderAnother) {
  const std::string file = dir / "locale.ini";
  TStoredPlain* plain = FilledPlain();
  plain->SetRatio(2.0);
  {
    ScopedLocale german("de-DE");
    TcxStorage(file).StoreToIni(plain);
  }
  TMemIniFile ini(file);
  EXPECT_EQ(ini.ReadString("Plain: TStoredPlain", "Ratio", ""), "2.0");
  ScopedLocale us("en-US");
  TcxIniFileReader reader(file);
  EXPECT_EQ(VarType(reader.ReadProperty("Plain", "TStoredPlain", "Ratio")), varDouble);
  auto* back = New<TStoredPlain>(nullptr);
  back->SetName("Plain");
  TcxStorage(file).RestoreFromIni(back);
  EXPECT_EQ(back->GetRatio(), 2.0);
  EXPECT_EQ(back->GetBig(), Int64(1) << 40);
  back->Free();

  // A file from the locale's own notation still reads.
  ini.WriteString("Plain: TStoredPlain", "Ratio", "2.5");
  ini.UpdateFile();
  ScopedLocale german("de-DE");
  ini.WriteString("Plain: TStoredPlain", "Ratio", "3,25");
  ini.UpdateFile();
  TcxIniFileReader german_reader(file);
  EXPECT_EQ(german_reader.ReadProperty("Plain", "TStoredPlain", "Ratio").AsDouble(), 3.25);
  plain->Free();
}

TEST_F(Storage, TheRegistryKeepsTypedValuesUnderOneKeyPerObject) {
  orv::registry::ScopedRoot memory;
  TStoredPlain* plain = FilledPlain();
  TcxStorage("Software\\Test\\Plain").StoreToRegistry(plain);
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\Test\\Plain\\Plain"));
  EXPECT_EQ(registry.GetDataType("Width"), rdInteger);
  EXPECT_EQ(registry.ReadString("Caption"), "\"12\"");
  EXPECT_EQ(registry.GetDataType("Ratio"), rdBinary);
  EXPECT_EQ(registry.ReadString("Big"), "1099511627776");
  ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\Test\\Plain\\Plain\\[ClassName]"));
  EXPECT_EQ(registry.ReadString("ClassName"), "TStoredPlain");

  auto* back = New<TStoredPlain>(nullptr);
  back->SetName("Plain");
  TcxStorage("Software\\Test\\Plain").RestoreFromRegistry(back);
  ExpectPlainBack(back);

  TcxRegistryWriter writer("Direct", true);
  writer.BeginWriteObject("Root", "TRoot");
  writer.WriteProperty("Root", "TRoot", "Price", Variant(Currency::FromRaw(15000)));
  writer.EndWriteObject("Root", "TRoot");
  writer.EndWrite();
  TcxRegistryReader reader("Direct");
  TStringList names, classes;
  reader.ReadProperties("Root", "TRoot", &names);
  const Variant price = reader.ReadProperty("Root", "TRoot", "Price");
  EXPECT_EQ(VarType(price), varDouble);
  EXPECT_EQ(price.AsDouble(), 1.5);
  // A key that is not there has no children, whatever was open before.
  reader.ReadChildren("Root/Missing", "TRow", &names, &classes);
  EXPECT_EQ(classes.GetCount(), 0);
  back->Free();
  plain->Free();
}

TEST_F(Storage, ChildrenAreCreatedAndDeletedOnlyWhenTheModesSaySo) {
  const std::string file = dir / "grid.ini";
  auto* grid = New<TStoredGrid>(nullptr);
  grid->SetName("Grid");
  grid->SetWidth(7);
  grid->AddRow("A")->SetCaption("first");
  grid->AddRow("B")->SetCaption("second");
  static_cast<TStoredItem*>(grid->GetItems()->Add())->SetText("x");
  TcxStorage storage(file);
  storage.StoreToIni(grid);
  // Collection items are stored only with the published class properties.
  EXPECT_EQ(ReadFile(file).find("Items"), std::string::npos);
  storage.SetStorageModes(TcxStorageModes{smSavePublishedClassProperties});
  storage.StoreToIni(grid);
  TMemIniFile ini(file);
  EXPECT_EQ(ini.ReadString("Grid/Items/0: TStoredItem", "Text", ""), "\"x\"");
  EXPECT_TRUE(ini.SectionExists("Grid/B: TStoredRow"));

  auto* other = New<TStoredGrid>(nullptr);
  other->SetName("Grid");
  other->AddRow("Extra");
  TcxStorage(file).RestoreFromIni(other);
  EXPECT_EQ(other->GetWidth(), 7);
  EXPECT_EQ(other->GetComponentCount(), 1);  // nothing created, nothing deleted
  EXPECT_TRUE(other->Log.empty());

  TcxStorage full(file);
  full.SetStorageModes(TcxStorageModes{smChildrenCreating, smChildrenDeleting, smSavePublishedClassProperties});
  full.RestoreFromIni(other);
  EXPECT_EQ(other->Log, (std::vector<AnsiString>{"create A TStoredRow", "create B TStoredRow", "delete Extra"}));
  ASSERT_EQ(other->GetComponentCount(), 2);
  EXPECT_EQ(static_cast<TStoredRow*>(other->FindComponent("B"))->GetCaption(), "second");
  ASSERT_EQ(other->GetItems()->GetCount(), 1);
  EXPECT_EQ(static_cast<TStoredItem*>(other->GetItems()->GetItem(0))->GetText(), "x");
  other->Free();
  grid->Free();
}

// Many stored rows over a grid holding them in the other order, without
// the last and with one of its own: each row meets its namesake once,
// from an INI file and from a stream alike.
TEST_F(Storage, ManyChildrenMeetTheirNamesakesFromIniAndStream) {
  constexpr int kMany = 20000;
  auto* grid = New<TStoredGrid>(nullptr);
  grid->SetName("Grid");
  for (int i = 0; i < kMany; ++i) grid->AddRow("R" + std::to_string(i))->SetCaption(std::to_string(i));
  const std::string file = dir / "many.ini";
  TcxStorage(file).StoreToIni(grid);
  TMemoryStream stream;
  TcxStorage(&stream).StoreToStream(grid);
  grid->Free();

  for (bool fromIni : {true, false}) {
    auto* other = New<TStoredGrid>(nullptr);
    other->SetName("Grid");
    for (int i = kMany - 2; i >= 0; --i) other->AddRow("R" + std::to_string(i));
    other->AddRow("Extra");
    stream.SetPosition(0);
    TcxStorage fromFile(file), fromStream(&stream);
    for (TcxStorage* storage : {&fromFile, &fromStream})
      storage->SetStorageModes(TcxStorageModes{smChildrenCreating, smChildrenDeleting});
    if (fromIni)
      fromFile.RestoreFromIni(other);
    else
      fromStream.RestoreFromStream(other);
    EXPECT_EQ(other->Log, (std::vector<AnsiString>{"create R" + std::to_string(kMany - 1) + " TStoredRow", "delete Extra"}));
    ASSERT_EQ(other->GetComponentCount(), kMany);
    for (int i : {0, 1, kMany / 2, kMany - 1})
      EXPECT_EQ(static_cast<TStoredRow*>(other->FindComponent("R" + std::to_string(i)))->GetCaption(), std::to_string(i)) << i;
    other->Free();
  }
}

TEST_F(Storage, AnObjectWithManyValuesGetsThemAllBackFromEachStore) {
  // Each value is found by its name without a walk along all the others:
  // the read is as quick as the write, where a walk per value would keep
  // these restores busy for minutes.
  HangGuard guard(120);
  orv::registry::ScopedRoot memory;
  constexpr Integer kMany = 200000;
  TStoredSheet sheet(kMany);
  for (Integer i = 0; i < kMany; ++i) sheet.Values[i] = i * 7;
  TMemoryStream stream;
  TcxStorage toStream(&stream), toFile(dir / "sheet.ini"), toKey("Software\\Test\\Sheet");
  toStream.StoreToStream(&sheet);
  toFile.StoreToIni(&sheet);
  toKey.StoreToRegistry(&sheet);
  stream.SetPosition(0);
  for (int store = 0; store < 3; ++store) {
    TStoredSheet back(kMany);
    if (store == 0) toStream.RestoreFromStream(&back);
    if (store == 1) toFile.RestoreFromIni(&back);
    if (store == 2) toKey.RestoreFromRegistry(&back);
    for (Integer i : {0, 1, kMany / 2, kMany - 1}) EXPECT_EQ(back.Values[i], i * 7) << store << " " << i;
    EXPECT_EQ(std::count(back.Values.begin(), back.Values.end(), 0), 1) << store;
  }
}

TEST_F(Storage, IniChildrenAreFoundByPathWithoutRegardToCase) {
  const std::string file = dir.Write("paths.ini",
                                     "[Grid: TGrid]\r\n=\r\n[Grid/A: TX]\r\n=\r\nValue=12\r\nText=\"12\"\r\n"
                                     "[grid/a/B: TY]\r\n=\r\nWhen=2024-03-01\r\n");
  TcxIniFileReader reader(file);
  TStringList names, classes;
  reader.ReadChildren("Grid/A", "TX", &names, &classes);
  ASSERT_EQ(names.GetCount(), 1);
  EXPECT_EQ(names[0], "B");
  EXPECT_EQ(classes[0], "TY");
  EXPECT_EQ(VarType(reader.ReadProperty("Grid/A", "TX", "Value")), varInteger);
  EXPECT_EQ(VarType(reader.ReadProperty("Grid/A", "TX", "Text")), varString);
  EXPECT_EQ(VarType(reader.ReadProperty("Grid/A/B", "TY", "When")), varDate);
  names.Clear();
  reader.ReadProperties("Grid/Missing", "TX", &names);
  EXPECT_EQ(names.GetCount(), 0);
}

TEST_F(Storage, AColonInAStoredNameKeepsTheChildrenBelowIt) {
  auto* grid = New<TStoredGrid>(nullptr);
  grid->SetName("Grid");
  grid->AddRow("R1")->SetCaption("one");
  const std::string file = dir / "colon.ini";
  TcxStorage storage(file);
  storage.SetNamePrefix("Form1:Layout");
  storage.StoreToIni(grid);
  grid->Free();

  auto* back = New<TStoredGrid>(nullptr);
  back->SetName("Grid");
  TcxStorage restore(file);
  restore.SetNamePrefix("Form1:Layout");
  restore.SetStorageModes(TcxStorageModes{smChildrenCreating});
  restore.RestoreFromIni(back);
  EXPECT_EQ(back->Log, std::vector<AnsiString>{"create R1 TStoredRow"});
  auto* row = static_cast<TStoredRow*>(back->FindComponent("R1"));
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->GetCaption(), "one");
  back->Free();
}

// ---------------------------------------------------------------------------
// The stream store

TEST_F(Storage, TheStreamHoldsItemsDepthFirstWithoutAHeader) {
  TMemoryStream stream;
  TcxStreamWriter writer(&stream);
  writer.BeginWriteObject("Root", "TRoot");
  writer.WriteProperty("Root", "TRoot", "Width", Variant(300));
  writer.WriteProperty("Root", "TRoot", "Nothing", Null());
  writer.EndWriteObject("Root", "TRoot");
  writer.EndWrite();
  const AnsiString bytes(static_cast<const char*>(stream.GetMemory()), static_cast<std::size_t>(stream.GetSize()));
  EXPECT_EQ(Hex(bytes), "0604526F6F74" "06055452" "6F6F74" "0201" "06055769647468" "0206" "032C01" "0200");
}

TEST_F(Storage, EveryValueKindRoundTripsThroughTheStream) {
  TMemoryStream stream;
  stream.WriteBuffer("pre", 3);
  {
    TcxStreamWriter writer(&stream);
    writer.BeginWriteObject("Root", "TRoot");
    writer.WriteProperty("Root", "TRoot", "Bool", Variant(true));
    writer.WriteProperty("Root", "TRoot", "Byte", Variant(Byte(200)));
    writer.WriteProperty("Root", "TRoot", "Money", Variant(Currency::FromRaw(15000)));
    writer.WriteProperty("Root", "TRoot", "Date", Variant(TDateTime(45352.25)));
    writer.WriteProperty("Root", "TRoot", "Float", Variant(0.1));
    writer.WriteProperty("Root", "TRoot", "Big", Variant(Int64(-5000000000)));
    writer.WriteProperty("Root", "TRoot", "Single", Variant(2.5f));
    writer.WriteProperty("Root", "TRoot", "Text", Variant(AnsiString("Caf\xe9")));
    writer.WriteProperty("Root", "TRoot", "Wide", Variant(WideString(u"\u4e2d\u6587")));
    writer.WriteProperty("Root", "TRoot", "Greek", Variant(WideString(u"\u03a9\u03a9ab")));
    writer.BeginWriteObject("Root/Child", "TChild");
    writer.WriteProperty("Root/Child", "TChild", "Width", Variant(1));
    writer.EndWrite();
  }
  stream.SetPosition(3);
  TcxStreamReader reader(&stream);
  reader.BeginRead();
  auto value = [&](const char* AName) { return reader.ReadProperty("Root", "TRoot", AName); };
  EXPECT_EQ(VarType(value("Bool")), varBoolean);
  EXPECT_EQ(VarType(value("Byte")), varByte);
  EXPECT_EQ(value("Byte").AsInteger(), 200);
  EXPECT_EQ(value("Money").AsCurrency().Value, 15000);
  EXPECT_EQ(VarType(value("Date")), varDate);
  EXPECT_EQ(value("Float").AsDouble(), 0.1);
  EXPECT_EQ(value("Big").AsInt64(), -5000000000);
  EXPECT_EQ(VarType(value("Single")), varSingle);
  EXPECT_EQ(value("Text").AsString(), "Caf\xe9");
  EXPECT_EQ(value("Wide").AsWideString(), u"\u4e2d\u6587");
  EXPECT_EQ(value("Greek").AsWideString(), u"\u03a9\u03a9ab");
  EXPECT_TRUE(VarIsEmpty(value("Missing")));
  TStringList names, classes;
  reader.ReadChildren("Root", "TRoot", &names, &classes);
  ASSERT_EQ(names.GetCount(), 1);
  EXPECT_EQ(classes[0], "TChild");
  EXPECT_EQ(reader.ReadProperty("Root/Child", "TChild", "Width").AsInteger(), 1);
  EXPECT_EQ(stream.GetPosition(), stream.GetSize());
}

TEST_F(Storage, ADamagedStreamIsRefusedAndChangesNothing) {
  TStoredPlain* plain = FilledPlain();
  TMemoryStream good;
  TcxStorage(&good).StoreToStream(plain);
  const AnsiString bytes(static_cast<const char*>(good.GetMemory()), static_cast<std::size_t>(good.GetSize()));

  auto* target = New<TStoredPlain>(nullptr);
  target->SetName("Plain");
  for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
    TMemoryStream damaged;
    damaged.WriteBuffer(bytes.data(), static_cast<Int64>(cut));
    damaged.SetPosition(0);
    EXPECT_THROW(TcxStorage(&damaged).RestoreFromStream(target), EcxStorage) << cut;
    EXPECT_EQ(damaged.GetPosition(), 0);
  }
  // A value of the wrong kind for its property.
  AnsiString wrongKind = bytes;
  const std::size_t width = wrongKind.find("Width");
  ASSERT_NE(width, AnsiString::npos);
  wrongKind[width + 6] = 1;  // kind 6 (integer) becomes 1 (boolean)
  TMemoryStream damaged;
  damaged.WriteBuffer(wrongKind.data(), static_cast<Int64>(wrongKind.size()));
  damaged.SetPosition(0);
  try {
    TcxStorage(&damaged).RestoreFromStream(target);
    ADD_FAILURE();
  } catch (const EcxStorage& e) {
    EXPECT_NE(e.GetMessage().find("cannot be read"), AnsiString::npos);
  }
  EXPECT_EQ(target->GetWidth(), 0);
  EXPECT_EQ(target->GetCaption(), "");

  good.SetPosition(0);
  TcxStorage(&good).RestoreFromStream(target);
  ExpectPlainBack(target);
  EXPECT_EQ(target->GetTitle(), u"\u03a9mega");
  target->Free();
  plain->Free();
}

TEST_F(Storage, AStoredNumberThePropertyCannotHoldIsRefused) {
  const std::string file = dir.Write("range.ini", "[Plain: TStoredPlain]\r\n=\r\nWidth=99999999999\r\n");
  auto* plain = New<TStoredPlain>(nullptr);
  plain->SetName("Plain");
  EXPECT_THROW(TcxStorage(file).RestoreFromIni(plain), EPropertyConvertError);
  EXPECT_EQ(plain->GetWidth(), 0);
  plain->Free();
}

// ---------------------------------------------------------------------------
// Text conversions

TEST(StorageText, HexBooleanEnumerationAndSetTexts) {
  EXPECT_EQ(StringToHexString("\x01\xab"), "01AB");
  EXPECT_EQ(HexStringToString("01aBf"), "\x01\xab");
  EXPECT_THROW(HexStringToString("0G"), EcxHexStringConvertError);

  TMemoryStream stream;
  StringToStream("Hex:414243", &stream);
  EXPECT_EQ(StreamToString(&stream), "Hex:414243");
  EXPECT_EQ(StreamToString(nullptr), "");

  EXPECT_TRUE(StringToBoolean("tRuE"));
  EXPECT_FALSE(StringToBoolean("FALSE"));
  EXPECT_THROW(StringToBoolean("yes"), EPropertyConvertError);

  const std::vector<AnsiString> names{"a", "b", "c"};
  EXPECT_EQ(EnumerationToString(2, names), "c");
  EXPECT_THROW(EnumerationToString(3, names), EPropertyConvertError);
  EXPECT_EQ(StringToEnumeration("B", names), 1);
  EXPECT_THROW(StringToEnumeration("z", names), EPropertyConvertError);

  Byte set = 0b101;
  EXPECT_EQ(SetToString(&set, 1, names), "[a,c]");
  set = 0b1000;
  EXPECT_THROW(SetToString(&set, 1, names), EPropertyConvertError);
  EXPECT_THROW(StringToSet("a,b", &set, 1, names), EPropertyConvertError);
  StringToSet("[a,zz, b]", &set, 1, names);
  EXPECT_EQ(set, 0b1);  // " b" is not "b"
  StringToSet("[]", &set, 1, names);
  EXPECT_EQ(set, 0);
}
