#include "DataControllerFixture.h"
#include "StreamBytes.h"
#include "library/data/cxCustomDataRelations.h"

namespace {

const char* const kEmpty = "0F 00 00 00 44 61 74 61 43 6F 6E 74 72 6F 6C 6C 65 72 31 00 00 00 00 00 00 00 00";

std::string Ascii(const char* s) {
  std::vector<Byte> bytes(s, s + std::strlen(s));
  return ToHex(bytes);
}

std::vector<Byte> Save(TcxCustomDataController* AController) {
  TMemoryStream ms;
  AController->SaveToStream(&ms);
  return StreamBytes(ms);
}

// Every record's values as text, with "<null>" for nulls.
std::vector<std::string> Snapshot(TcxCustomDataController* AController) {
  std::vector<std::string> out;
  for (Integer r = 0; r < AController->GetRecordCount(); ++r) {
    std::string row;
    for (Integer i = 0; i < AController->GetItemCount(); ++i) {
      const Variant v = AController->GetValue(r, i);
      row += (VarIsNull(v) ? std::string("<null>") : std::string(VarToStr(v))) + "|";
    }
    out.push_back(row);
  }
  return out;
}

class StreamTest : public ::testing::Test {
 protected:
  std::vector<RecordingController*> Made;
  RecordingController* Make(std::initializer_list<TcxValueTypeClass> ATypes) {
    RecordingController* c = New<RecordingController>(nullptr);
    for (TcxValueTypeClass t : ATypes) c->AddTypedItem(t);
    Made.push_back(c);
    return c;
  }
  void TearDown() override {
    for (RecordingController* c : Made) c->Free();
  }
  // A String and an Integer item with rows, nulls among them.
  RecordingController* Sample() {
    RecordingController* c = Make({TcxStringValueType::Class(), TcxIntegerValueType::Class()});
    const std::vector<std::pair<Variant, Variant>> rows = {
        {"ab", 7}, {Null(), -1}, {"", Null()}, {"x\xE9y", 2147483647}, {Null(), Null()}};
    c->BeginUpdate();
    for (const auto& [s, i] : rows) {
      const Integer r = c->AppendRecord();
      c->SetValue(r, 0, s);
      c->SetValue(r, 1, i);
    }
    c->EndUpdate();
    return c;
  }
};

}  // namespace

TEST_F(StreamTest, EmptyControllerWritesTheSignatureAndTwoZeroCounts) {
  RecordingController* c = Make({});
  EXPECT_EQ(ToHex(Save(c)), kEmpty);
  // And reads it back.
  ByteStream in{std::string(kEmpty)};
  c->LoadFromStream(&in);
  EXPECT_EQ(in.GetPosition(), 27);
  EXPECT_EQ(c->GetRecordCount(), 0);
}

TEST_F(StreamTest, OneRecordOfAStringAndAnIntegerItem) {
  RecordingController* c = Make({TcxStringValueType::Class(), TcxIntegerValueType::Class()});
  c->AppendRecord();
  c->SetValue(0, 0, "ab");
  c->SetValue(0, 1, 7);
  const std::string expected = "0F 00 00 00 " + Ascii("DataController1") + " 02 00 00 00 12 00 00 00 " +
                               Ascii("TcxStringValueType") + " 13 00 00 00 " + Ascii("TcxIntegerValueType") +
                               " 01 00 00 00 00 00 02 00 00 00 61 62 00 07 00 00 00";
  EXPECT_EQ(ToHex(Save(c)), expected);
}

TEST_F(StreamTest, ColumnsFollowTheFieldOrderNotTheCreationOrder) {
  RecordingController* c = Make({TcxStringValueType::Class(), TcxIntegerValueType::Class()});
  c->AppendRecord();
  c->SetValue(0, 0, "ab");
  c->SetValue(0, 1, 7);
  c->GetField(1)->SetIndex(0);  // the Integer item is now the first
  ASSERT_EQ(c->GetItemValueTypeClass(0), TcxIntegerValueType::Class());
  const std::string expected = "0F 00 00 00 " + Ascii("DataController1") + " 02 00 00 00 13 00 00 00 " +
                               Ascii("TcxIntegerValueType") + " 12 00 00 00 " + Ascii("TcxStringValueType") +
                               " 01 00 00 00 00 00 07 00 00 00 00 02 00 00 00 61 62";
  EXPECT_EQ(ToHex(Save(c)), expected);
}

TEST_F(StreamTest, ValuesAndNullsRoundTripIntoTheSameStructure) {
  RecordingController* source = Sample();
  RecordingController* target = Make({TcxStringValueType::Class(), TcxIntegerValueType::Class()});
  TMemoryStream ms;
  source->SaveToStream(&ms);
  ms.WriteBuffer("tail", 4);
  ms.SetPosition(0);
  target->LoadFromStream(&ms);
  EXPECT_EQ(Snapshot(target), Snapshot(source));
  EXPECT_EQ(target->GetValue(2, 0).VType(), varString);  // an empty string is not null
  EXPECT_EQ(ms.GetPosition(), ms.GetSize() - 4);         // left after the last record
  EXPECT_EQ(Save(target), Save(source));

  // Every other value type the records can hold.
  RecordingController* wide = Make({TcxWideStringValueType::Class(), TcxSmallintValueType::Class(),
                                    TcxWordValueType::Class(), TcxBooleanValueType::Class(),
                                    TcxFloatValueType::Class(), TcxCurrencyValueType::Class(),
                                    TcxDateTimeValueType::Class(), TcxLargeIntValueType::Class(),
                                    TcxVariantValueType::Class()});
  const std::vector<Variant> values = {WideString(u"\u20ACz"), -5, 65535, true, 2.5, Currency::FromRaw(12345),
                                       TDateTime(44000.25), Int64(1) << 40, VarArrayOf({1, "two"})};
  wide->AppendRecord();
  wide->AppendRecord();
  for (Integer i = 0; i < static_cast<Integer>(values.size()); ++i) wide->SetValue(1, i, values[static_cast<size_t>(i)]);
  RecordingController* copy = Make({TcxWideStringValueType::Class(), TcxSmallintValueType::Class(),
                                    TcxWordValueType::Class(), TcxBooleanValueType::Class(),
                                    TcxFloatValueType::Class(), TcxCurrencyValueType::Class(),
                                    TcxDateTimeValueType::Class(), TcxLargeIntValueType::Class(),
                                    TcxVariantValueType::Class()});
  ByteStream in(Save(wide));
  copy->LoadFromStream(&in);
  ASSERT_EQ(copy->GetRecordCount(), 2);
  for (Integer i = 0; i < static_cast<Integer>(values.size()) - 1; ++i) {
    EXPECT_TRUE(VarIsNull(copy->GetValue(0, i)));
    EXPECT_TRUE(VarSameValue(copy->GetValue(1, i), values[static_cast<size_t>(i)])) << i;
  }
  EXPECT_EQ(copy->GetValue(1, 8)[1].AsString(), "two");
}

TEST_F(StreamTest, FewerRecordsInTheStreamDeleteTheRest) {
  RecordingController* source = Make({TcxStringValueType::Class(), TcxIntegerValueType::Class()});
  for (int i = 0; i < 3; ++i) source->SetValue(source->AppendRecord(), 1, i * 10);
  RecordingController* target = Sample();
  target->Log.clear();
  ByteStream in(Save(source));
  target->LoadFromStream(&in);
  EXPECT_EQ(target->GetRecordCount(), 3);
  EXPECT_EQ(Snapshot(target), Snapshot(source));
  ASSERT_FALSE(target->Only("data").empty());
  EXPECT_EQ(target->Only("data")[0].rfind("data deleted", 0), 0u) << target->Only("data")[0];
}

TEST_F(StreamTest, AnotherStructureIsRefusedBeforeAnyRecordChanges) {
  const std::vector<Byte> bytes = Save(Sample());
  auto refuse = [&](RecordingController* ATarget) {
    ATarget->AppendRecord();
    ATarget->SetValue(0, 0, "12");
    const std::vector<std::string> before = Snapshot(ATarget);
    ByteStream in(bytes);
    try {
      ATarget->LoadFromStream(&in);
      ADD_FAILURE() << "loaded";
    } catch (const EcxInvalidDataControllerOperation& e) {
      EXPECT_EQ(e.GetMessage(), "Invalid stream format");
    }
    EXPECT_EQ(Snapshot(ATarget), before);
  };
  refuse(Make({TcxStringValueType::Class(), TcxIntegerValueType::Class(), TcxIntegerValueType::Class()}));
  refuse(Make({TcxStringValueType::Class()}));
  refuse(Make({TcxStringValueType::Class(), TcxSmallintValueType::Class()}));
  refuse(Make({TcxIntegerValueType::Class(), TcxStringValueType::Class()}));

  // A wrong signature too.
  std::vector<Byte> other = bytes;
  other[4 + 14] = '2';
  RecordingController* c = Make({TcxStringValueType::Class(), TcxIntegerValueType::Class()});
  ByteStream in(other);
  EXPECT_THROW(c->LoadFromStream(&in), EcxInvalidDataControllerOperation);
}

TEST_F(StreamTest, DamagedStreamsRaiseAReadErrorAndChangeNothing) {
  const std::vector<Byte> good = Save(Sample());
  auto makeTarget = [&]() {
    RecordingController* t = Make({TcxStringValueType::Class(), TcxIntegerValueType::Class()});
    for (int i = 0; i < 4; ++i) t->SetValue(t->AppendRecord(), 0, AnsiString("r") + char('0' + i));
    return t;
  };
  RecordingController* target = makeTarget();
  const std::vector<std::string> before = Snapshot(target);

  auto expectReadError = [&](const std::vector<Byte>& ABytes, const std::string& AWhat) {
    ByteStream in(ABytes);
    EXPECT_THROW(target->LoadFromStream(&in), EReadError) << AWhat;
    EXPECT_EQ(Snapshot(target), before) << AWhat;
  };
  // Cut anywhere: a read error, nothing loaded.
  for (size_t size = 0; size < good.size(); ++size)
    expectReadError(std::vector<Byte>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)),
                    "cut at " + std::to_string(size));
  // Counts and lengths larger than the stream holds.
  const size_t countAt = 4 + 15 + 4 + 4 + 18 + 4 + 19;
  ASSERT_EQ(good[countAt], 5);
  std::vector<Byte> bad = good;
  bad[countAt + 3] = 0x7F;
  expectReadError(bad, "record count");
  bad = good;
  bad[countAt] = bad[countAt + 1] = bad[countAt + 2] = bad[countAt + 3] = 0xFF;
  expectReadError(bad, "negative record count");
  bad = good;
  bad[countAt + 9] = 0x7F;
  expectReadError(bad, "string length");
  bad = good;
  bad[4 + 15 + 3] = 0x40;
  ByteStream columns(bad);
  EXPECT_THROW(target->LoadFromStream(&columns), EcxInvalidDataControllerOperation);
  EXPECT_EQ(Snapshot(target), before);

  // Any single damaged byte either loads five records or changes nothing.
  for (size_t at = 0; at < good.size(); ++at) {
    std::vector<Byte> flipped = good;
    flipped[at] ^= 0xA5;
    RecordingController* t = makeTarget();
    ByteStream in(flipped);
    try {
      t->LoadFromStream(&in);
      EXPECT_EQ(t->GetRecordCount(), 5) << "flip at " << at;
    } catch (const EReadError&) {
      EXPECT_EQ(Snapshot(t), before) << "flip at " << at;
    } catch (const EcxInvalidDataControllerOperation&) {
      EXPECT_EQ(Snapshot(t), before) << "flip at " << at;
    }
  }
}

TEST_F(StreamTest, InternalFieldsStayOutOfHeaderAndRecords) {
  // The relations' object field is internal: neither listed nor written.
  RecordingController* master = Sample();
  RecordingController* detail = Make({});
  TcxCustomDataRelation* relation = master->GetRelations()->Add(master->Items[0]);
  detail->SetMasterMode(relation, true);
  ASSERT_NE(master->GetRelations()->GetDetailObject(0), nullptr);
  RecordingController* plain = Sample();
  EXPECT_EQ(Save(master), Save(plain));
  ByteStream in(Save(plain));
  master->LoadFromStream(&in);
  EXPECT_EQ(Snapshot(master), Snapshot(plain));
}
