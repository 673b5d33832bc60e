#include "library/data/cxDataStorage.h"

#include <gtest/gtest.h>

#include "StreamBytes.h"
#include "library/data/cxVariants.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/NumberText.h"

namespace {

std::vector<Byte> RecordBytes(TcxDataStorage& s, Integer index) {
  TMemoryStream ms;
  s.WriteData(index, &ms);
  return StreamBytes(ms);
}

// A TObject that reports its destruction.
class TTracked : public TObject {
 public:
  explicit TTracked(int* counter) : FCounter(counter) {}
  ~TTracked() override { ++*FCounter; }

 private:
  int* FCounter;
};

}  // namespace

TEST(ValueTypeRegistry, FindsTypesByExactCaption) {
  TcxValueTypeClassList* list = cxValueTypeClassList();
  ASSERT_EQ(list->GetCount(), 14);
  EXPECT_EQ(list->GetItem(0), TcxStringValueType::Class());
  EXPECT_EQ(list->GetItem(13), TcxObjectValueType::Class());
  EXPECT_EQ(list->ItemByCaption("string"), nullptr);
  EXPECT_EQ(list->ItemByCaption("String"), TcxStringValueType::Class());
  EXPECT_EQ(list->ItemByCaption("WideString"), TcxWideStringValueType::Class());
  EXPECT_EQ(list->ItemByCaption("DateTime"), TcxDateTimeValueType::Class());
  EXPECT_EQ(list->ItemByCaption("SQLTimeStamp"), TcxSQLTimeStampValueType::Class());
  list->RegisterItem(TcxIntegerValueType::Class());
  EXPECT_EQ(list->GetCount(), 14);
  EXPECT_EQ(TcxObjectValueType::Class()->GetVarType(), varInt64);
  EXPECT_EQ(TcxObjectValueType::Class()->GetDataSize(), 8);
}

TEST(ValueTypes, CellsCompareWithoutOverflowAndShowTheirText) {
  ScopedLocale en("en-US");
  Byte a[8] = {}, b[8] = {};
  auto* integer = TcxIntegerValueType::Class();
  integer->SetDataValue(a, 2000000000);
  integer->SetDataValue(b, -2000000000);
  EXPECT_GT(integer->Compare(a, b), 0);
  EXPECT_LT(integer->Compare(b, a), 0);
  // A refused conversion leaves the cell as it was.
  EXPECT_THROW(integer->SetDataValue(a, "abc"), EVariantError);
  EXPECT_EQ(integer->GetValue(a).AsInteger(), 2000000000);

  auto* boolean = TcxBooleanValueType::Class();
  boolean->SetDataValue(a, true);
  EXPECT_EQ(boolean->GetDefaultDisplayText(a), "True");

  auto* str = TcxStringValueType::Class();
  Byte s1[8] = {}, s2[8] = {};
  str->SetDataValue(s2, "");
  EXPECT_LT(str->Compare(s1, s2), 0);  // never set sorts before the empty text
  str->FreeBuffer(s2);

  Variant v = "12";
  EXPECT_TRUE(integer->IsValueValid(v));
  EXPECT_EQ(VarType(v), varInteger);
  Variant bad = "x";
  EXPECT_FALSE(integer->IsValueValid(bad));
}

TEST(ValueTypes, StreamFormsPerType) {
  struct Case {
    TcxValueTypeClass type;
    Variant value;
    const char* bytes;
  } cases[] = {
      {TcxStringValueType::Class(), "ab", "02 00 00 00 61 62"},
      {TcxWideStringValueType::Class(), WideString(u"A"), "01 00 00 00 41 00"},
      {TcxSmallintValueType::Class(), -2, "FE FF"},
      {TcxWordValueType::Class(), 65535, "FF FF"},
      {TcxIntegerValueType::Class(), 7, "07 00 00 00"},
      {TcxBooleanValueType::Class(), true, "01"},
      {TcxFloatValueType::Class(), 1.5, "00 00 00 00 00 00 00 C0 FF 3F"},
      {TcxCurrencyValueType::Class(), Currency::FromRaw(10000), "10 27 00 00 00 00 00 00"},
      {TcxDateTimeValueType::Class(), TDateTime(1.5), "00 00 00 00 00 00 F8 3F"},
      {TcxLargeIntValueType::Class(), Int64(-1), "FF FF FF FF FF FF FF FF"},
      {TcxFMTBcdValueType::Class(), "1.5", "06 03 31 2E 35"},
      {TcxVariantValueType::Class(), 5, "02 05"},
  };
  for (const auto& c : cases) {
    std::vector<Byte> cell(64, 0), back(64, 0);
    c.type->SetDataValue(cell.data(), c.value);
    TMemoryStream ms;
    c.type->WriteDataValue(cell.data(), &ms);
    EXPECT_EQ(ToHex(StreamBytes(ms)), ToHex(Hex(c.bytes))) << c.type->Caption();
    ms.SetPosition(0);
    c.type->ReadDataValue(back.data(), &ms);
    EXPECT_EQ(c.type->Compare(cell.data(), back.data()), 0) << c.type->Caption();
    c.type->FreeBuffer(cell.data());
    c.type->FreeBuffer(back.data());
  }
}

TEST(DataStorage, BuffersGrowAndShrinkWithTheDefinitions) {
  TcxDataStorage s;
  Integer r = s.AppendRecord();
  TcxValueDef* text = s.GetValueDefs()->Add(TcxStringValueType::Class(), true, false, nullptr);
  TcxValueDef* number = s.GetValueDefs()->Add(TcxIntegerValueType::Class(), true, false, nullptr);
  EXPECT_EQ(s.GetValueDefs()->GetRecordSize(), 1 + 9 + 5);
  s.SetValue(r, text, "ab");
  s.SetValue(r, number, 7);
  EXPECT_EQ(ToHex(RecordBytes(s, r)), "00 00 02 00 00 00 61 62 00 07 00 00 00");

  // A new first column shifts the others and starts null everywhere.
  TcxValueDef* first = s.GetValueDefs()->Insert(0, TcxFloatValueType::Class(), true, false, nullptr);
  EXPECT_TRUE(VarIsNull(s.GetValue(r, first)));
  EXPECT_EQ(s.GetValue(r, text).AsString(), "ab");
  EXPECT_EQ(s.GetValue(r, number).AsInteger(), 7);
  first->Free();
  text->Free();
  EXPECT_EQ(s.GetValue(r, number).AsInteger(), 7);
  // Removing the only stored column leaves the record without a buffer.
  number->Free();
  EXPECT_FALSE(s.HasBuffer(r));
  EXPECT_EQ(ToHex(RecordBytes(s, r)), "01");
}

// One record grown a column at a time, as a grid with a column per row
// grows it, keeps every value while columns are retyped and taken out on
// the way.
TEST(DataStorage, ALongRecordKeepsItsValuesAsColumnsComeAndGo) {
  TcxDataStorage s;
  const Integer r = s.AppendRecord();
  std::vector<TcxValueDef*> defs;
  auto expected = [](Integer i) { return i % 3 ? Variant(i) : Variant(IntToStr(i)); };
  for (Integer i = 0; i < 3000; ++i) {
    TcxValueDef* def = s.GetValueDefs()->Add(TcxStringValueType::Class(), true, false, nullptr);
    if (i % 3) def->SetValueTypeClass(TcxIntegerValueType::Class());
    s.SetValue(r, def, expected(i));
    defs.push_back(def);
    if (i % 100 == 99) {
      defs[static_cast<size_t>(i - 50)]->Free();
      defs[static_cast<size_t>(i - 50)] = nullptr;
    }
  }
  for (Integer i = 0; i < 3000; ++i) {
    if (TcxValueDef* def = defs[static_cast<size_t>(i)]) {
      ASSERT_TRUE(VarEqualsExact(s.GetValue(r, def), expected(i))) << i;
    }
  }
}

TEST(DataStorage, AFailedConversionLeavesTheFieldAsItWas) {
  TcxDataStorage s;
  TcxValueDef* number = s.GetValueDefs()->Add(TcxIntegerValueType::Class(), true, false, nullptr);
  TcxValueDef* text = s.GetValueDefs()->Add(TcxStringValueType::Class(), true, false, nullptr);
  Integer r = s.AppendRecord();
  EXPECT_THROW(s.SetValue(r, number, "abc"), EVariantError);
  EXPECT_TRUE(VarIsNull(s.GetValue(r, number)));
  EXPECT_FALSE(s.HasBuffer(r));  // no buffer was left behind either
  s.SetValue(r, text, "x");
  EXPECT_THROW(s.SetValue(r, number, "abc"), EVariantError);
  EXPECT_TRUE(VarIsNull(s.GetValue(r, number)));
  s.SetValue(r, number, 4);
  EXPECT_THROW(s.SetValue(r, number, "abc"), EVariantError);
  EXPECT_EQ(s.GetValue(r, number).AsInteger(), 4);
  s.SetValue(r, number, Null());
  EXPECT_TRUE(VarIsNull(s.GetValue(r, number)));
}

TEST(DataStorage, RecordIDsAndInternalRecords) {
  TcxDataStorage s;
  s.SetUseRecordID(true);
  EXPECT_EQ(s.GetValueDefs()->GetRecordSize(), 5);
  for (int i = 0; i < 3; ++i) s.AppendRecord();
  EXPECT_EQ(s.GetRecordID(0), 1);
  EXPECT_EQ(s.GetRecordID(2), 3);
  EXPECT_EQ(ToHex(RecordBytes(s, 1)), "00 02 00 00 00");
  s.SetRecordCount(0);
  s.AppendRecord();
  EXPECT_EQ(s.GetRecordID(0), 1);

  TcxValueDef* def = s.GetValueDefs()->Add(TcxIntegerValueType::Class(), true, false, nullptr);
  EXPECT_EQ(s.AddInternalRecord(), -1);
  EXPECT_EQ(s.AddInternalRecord(), -2);
  s.SetValue(-1, def, 9);  // the main definition maps to its internal twin
  EXPECT_EQ(s.GetValue(-1, def).AsInteger(), 9);
  s.DeleteInternalRecord(-1);
  EXPECT_EQ(s.AddInternalRecord(), -1);
  EXPECT_TRUE(VarIsNull(s.GetValue(-1, def)));

  // Removing the last column keeps record IDs and in-use internal records.
  def->Free();
  EXPECT_EQ(s.GetRecordID(0), 1);
  EXPECT_EQ(s.AddInternalRecord(), -3);
  EXPECT_THROW(s.GetValue(5, nullptr), EListError);
  EXPECT_THROW(s.GetValue(-9, nullptr), EListError);
}

// A run of deletes leaves every record, record ID, column and count as the
// same deletes made one by one would, at each step: reads below the lowest
// deleted place and reads past it, deletes that do not go below the ones
// before, and a run that takes every record.
TEST(DataStorage, ARunOfDeletesReadsLikeDeletesOneByOne) {
  TcxDataStorage run, single;
  TcxValueDef* ints[2];
  TcxValueDef* texts[2];
  TcxDataStorage* both[2] = {&run, &single};
  for (int k = 0; k < 2; ++k) {
    TcxDataStorage& s = *both[k];
    s.SetUseRecordID(true);
    ints[k] = s.GetValueDefs()->Add(TcxIntegerValueType::Class(), true, false, nullptr);
    texts[k] = s.GetValueDefs()->Add(TcxStringValueType::Class(), true, false, nullptr);
    for (int r = 0; r < 12; ++r) {
      s.AppendRecord();
      if (r % 5 != 3) s.SetValue(r, ints[k], r * 10);
      s.SetValue(r, texts[k], AnsiString(std::string(static_cast<size_t>(r % 4 + 1), static_cast<char>('a' + r))));
    }
  }
  auto same = [&](const char* AStep) {
    SCOPED_TRACE(AStep);
    ASSERT_EQ(run.GetRecordCount(), single.GetRecordCount());
    for (Integer r = 0; r < single.GetRecordCount(); ++r) {
      EXPECT_EQ(run.GetRecordID(r), single.GetRecordID(r)) << r;
      EXPECT_EQ(VarToStr(run.GetValue(r, ints[0])), VarToStr(single.GetValue(r, ints[1]))) << r;
      EXPECT_EQ(run.GetDisplayText(r, texts[0]), single.GetDisplayText(r, texts[1])) << r;
    }
    const TcxDataColumn* a = run.GetColumn(ints[0]);
    const TcxDataColumn* b = single.GetColumn(ints[1]);
    EXPECT_EQ(a->NotNull, b->NotNull);
    EXPECT_EQ(a->Cells, b->Cells);
    EXPECT_EQ(run.GetTextColumn(texts[0])->Texts.View(), single.GetTextColumn(texts[1])->Texts.View());
    EXPECT_EQ(run.GetNextRecordID(), single.GetNextRecordID());
  };
  same("columns made before the run");

  run.BeginDeleting();
  for (Integer r : {10, 7, 6}) {
    run.DeleteRecord(r);
    single.DeleteRecord(r);
  }
  EXPECT_EQ(run.GetRecordCount(), 9);
  EXPECT_EQ(run.GetValue(5, ints[0]).AsInteger(), 50) << "below the deleted places";
  run.SetValue(2, ints[0], 21);
  single.SetValue(2, ints[1], 21);
  EXPECT_EQ(run.GetValue(7, ints[0]).AsInteger(), 90) << "past them, as after the deletes";
  for (Integer r : {4, 1, 5, 0}) {  // 5 is not below 1
    run.DeleteRecord(r);
    single.DeleteRecord(r);
  }
  run.EndDeleting();
  same("after the run");

  run.BeginDeleting();
  while (single.GetRecordCount() > 0) {
    run.DeleteRecord(run.GetRecordCount() - 1);
    single.DeleteRecord(single.GetRecordCount() - 1);
  }
  EXPECT_EQ(run.GetRecordCount(), 0);
  run.EndDeleting();
  same("every record deleted");
  run.AppendRecord();
  EXPECT_EQ(run.GetRecordID(0), 1) << "the IDs start again";
}

TEST(DataStorage, PerRecordStreamRoundTrip) {
  TcxDataStorage s;
  TcxValueDef* text = s.GetValueDefs()->Add(TcxStringValueType::Class(), true, true, nullptr);
  TcxValueDef* number = s.GetValueDefs()->Add(TcxIntegerValueType::Class(), true, false, nullptr);
  s.SetRecordCount(3);
  s.SetValue(0, text, "ab");
  s.SetDisplayText(0, text, "AB!");
  s.SetValue(1, number, 5);  // the text cell is written even for a null value
  EXPECT_EQ(ToHex(RecordBytes(s, 0)), "00 00 02 00 00 00 61 62 03 00 00 00 41 42 21 01");
  EXPECT_EQ(ToHex(RecordBytes(s, 1)), "00 01 00 00 00 00 00 05 00 00 00");
  EXPECT_EQ(ToHex(RecordBytes(s, 2)), "01");

  ByteStream in(RecordBytes(s, 0));
  s.ReadData(2, &in);
  EXPECT_EQ(s.GetValue(2, text).AsString(), "ab");
  EXPECT_EQ(s.GetDisplayText(2, text), "AB!");
  ByteStream empty{std::string("01")};
  s.ReadData(2, &empty);
  EXPECT_FALSE(s.HasBuffer(2));
}

TEST(DataStorage, BadRecordStreamsLeaveTheRecordAsItWas) {
  TcxDataStorage s;
  s.SetUseRecordID(true);
  TcxValueDef* text = s.GetValueDefs()->Add(TcxStringValueType::Class(), true, false, nullptr);
  TcxValueDef* number = s.GetValueDefs()->Add(TcxIntegerValueType::Class(), true, false, nullptr);
  s.AppendRecord();
  s.SetValue(0, text, "keep");
  const char* bad[] = {
      "00 07 00 00 00 00 FF FF FF FF",         // negative text length
      "00 07 00 00 00 00 02 00 00 00 61 62",   // the integer is missing
      "00 07 00",                              // the ID is cut short
  };
  for (const char* hex : bad) {
    ByteStream in{std::string(hex)};
    EXPECT_THROW(s.ReadData(0, &in), EReadError) << hex;
    EXPECT_EQ(s.GetValue(0, text).AsString(), "keep");
    EXPECT_TRUE(VarIsNull(s.GetValue(0, number)));
    EXPECT_EQ(s.GetRecordID(0), 1);
  }
  ByteStream good{std::string("00 07 00 00 00 01 00 2A 00 00 00")};
  s.ReadData(0, &good);
  EXPECT_EQ(s.GetRecordID(0), 7);
  EXPECT_EQ(s.GetNextRecordID(), 8);
  EXPECT_TRUE(VarIsNull(s.GetValue(0, text)));
  EXPECT_EQ(s.GetValue(0, number).AsInteger(), 42);
}

TEST(DataStorage, ChangingAColumnTypeDropsOnlyItsValues) {
  TcxDataStorage s;
  TcxValueDef* a = s.GetValueDefs()->Add(TcxIntegerValueType::Class(), true, false, nullptr);
  TcxValueDef* b = s.GetValueDefs()->Add(TcxStringValueType::Class(), true, false, nullptr);
  s.AppendRecord();
  s.AddInternalRecord();
  s.SetValue(0, a, 1);
  s.SetValue(0, b, "x");
  s.SetValue(-1, a, 2);
  a->SetValueTypeClass(TcxStringValueType::Class());
  EXPECT_TRUE(VarIsNull(s.GetValue(0, a)));
  EXPECT_TRUE(VarIsNull(s.GetValue(-1, a)));
  EXPECT_EQ(s.GetValue(0, b).AsString(), "x");
  s.SetValue(0, a, "now text");
  s.SetValue(-1, a, "copy");
  EXPECT_EQ(s.GetValue(0, a).AsString(), "now text");
  a->SetTextStored(true);
  s.SetDisplayText(0, a, "shown");
  EXPECT_EQ(s.GetDisplayText(0, a), "shown");
  EXPECT_EQ(s.GetValue(0, b).AsString(), "x");
}

TEST(DataStorage, ObjectCellsOwnTheirObjectsAndStreamNothing) {
  int destroyed = 0;
  {
    TcxDataStorage s;
    TcxValueDef* obj = s.GetValueDefs()->Add(TcxObjectValueType::Class(), true, false, nullptr);
    s.AppendRecord();
    s.SetValue(0, obj, Int64(reinterpret_cast<NativeInt>(New<TTracked>(&destroyed))));
    EXPECT_EQ(ToHex(RecordBytes(s, 0)), "00 00");
    s.SetValue(0, obj, Null());
    EXPECT_EQ(destroyed, 1);
    s.SetValue(0, obj, Int64(reinterpret_cast<NativeInt>(New<TTracked>(&destroyed))));
  }
  EXPECT_EQ(destroyed, 2);
}

TEST(DataStorage, StreamingOrderAndLookupList) {
  TcxDataStorage s;
  TcxValueDef* a = s.GetValueDefs()->Add(TcxIntegerValueType::Class(), true, false, nullptr);
  TcxValueDef* b = s.GetValueDefs()->Add(TcxSmallintValueType::Class(), true, false, nullptr);
  s.AppendRecord();
  s.SetValue(0, a, 1);
  s.SetValue(0, b, 2);
  s.BeginStreaming([](TcxValueDef* x, TcxValueDef* y) { return y->GetDataSize() - x->GetDataSize(); });
  EXPECT_EQ(s.GetValueDefs()->GetItem(0), a);
  s.EndStreaming();
  s.BeginStreaming([](TcxValueDef* x, TcxValueDef* y) { return x->GetDataSize() - y->GetDataSize(); });
  EXPECT_EQ(ToHex(RecordBytes(s, 0)), "00 00 02 00 00 01 00 00 00");
  s.EndStreaming();
  EXPECT_EQ(s.CompareRecords(0, 0, a), 0);

  TcxLookupList list;
  Integer index;
  for (int key : {5, 1, 3}) {
    EXPECT_FALSE(list.Find(key, index));
    list.Insert(index, key, "k" + std::to_string(key));
  }
  EXPECT_TRUE(list.Find(3, index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(list.GetItem(2).DisplayText, "k5");
  EXPECT_FALSE(list.Find(4, index));
  EXPECT_EQ(index, 2);
}
