// The check-group value forms: the texts of the known examples, random
// states round-tripped through all four forms, and stored texts that do not
// parse, which answer false with every item unchecked.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "library/editors/cxCheckStates.h"

namespace {

class Items : public IcxCheckItems {
 public:
  explicit Items(std::vector<AnsiString> ACaptions) : Captions(std::move(ACaptions)) {}
  AnsiString CheckItemsGetCaption(Integer AIndex) override { return Captions.at(static_cast<std::size_t>(AIndex)); }
  Integer CheckItemsGetCount() override { return static_cast<Integer>(Captions.size()); }
  std::vector<AnsiString> Captions;
};

std::string Form(const TcxCheckStates& AStates) {
  std::string s;
  for (TcxCheckBoxState state : AStates) s += static_cast<char>('0' + state);
  return s;
}

TcxCheckStates States(const std::string& AForm) {
  TcxCheckStates states;
  for (char c : AForm) states.push_back(static_cast<TcxCheckBoxState>(c - '0'));
  return states;
}

TEST(CheckStates, TheKnownExamplesReadAndWriteAsDocumented) {
  Items four({"a", "b", "c", "d"});
  EXPECT_EQ(VarToStr(CalculateCheckStatesValue(States("2011"), &four, cvfIndices)), "0;2,3");
  EXPECT_EQ(VarToStr(CalculateCheckStatesValue(States("1000"), &four, cvfIndices)), ";0");
  EXPECT_EQ(VarToStr(CalculateCheckStatesValue(States("0000"), &four, cvfIndices)), "");
  EXPECT_EQ(CalculateCheckStatesValue(States("1101"), &four, cvfInteger).AsInt64(), 11);
  Items captions({"ab", "c"});
  EXPECT_EQ(VarToStr(CalculateCheckStatesValue(States("12"), &captions, cvfCaptions)), "1:c;2:ab");

  TcxCheckStates states;
  EXPECT_TRUE(CalculateCheckStates(Variant("0;2,3"), &four, cvfIndices, states));
  EXPECT_EQ(Form(states), "2011");
  EXPECT_TRUE(CalculateCheckStates(Null(), &four, cvfStatesString, states));
  EXPECT_EQ(Form(states), "0000");
  EXPECT_TRUE(CalculateCheckStates(Variant("12"), &four, cvfStatesString, states));
  EXPECT_EQ(Form(states), "1200");
  EXPECT_TRUE(CalculateCheckStates(Variant("1:c;2:ab"), &captions, cvfCaptions, states));
  EXPECT_EQ(Form(states), "12");
}

TEST(CheckStates, RandomStatesRoundTripThroughAllFourForms) {
  std::mt19937 random(41);
  for (int round = 0; round < 200; ++round) {
    std::vector<AnsiString> captions;
    const int count = static_cast<int>(random() % 70);
    for (int i = 0; i < count; ++i) {
      AnsiString caption;
      const int length = static_cast<int>(random() % 4);
      for (int j = 0; j < length; ++j) caption += static_cast<char>("ab;:,0"[random() % 6]);
      captions.push_back(caption + std::to_string(i));
    }
    Items items(captions);
    TcxCheckStates states;
    for (int i = 0; i < count; ++i) states.push_back(static_cast<TcxCheckBoxState>(random() % 3));
    for (TcxCheckStatesValueFormat format : {cvfCaptions, cvfIndices, cvfInteger, cvfStatesString}) {
      SCOPED_TRACE(std::to_string(round) + " " + std::to_string(format));
      TcxCheckStates back;
      ASSERT_TRUE(CalculateCheckStates(CalculateCheckStatesValue(states, &items, format), &items, format, back));
      TcxCheckStates expected = states;
      // An integer holds checked or not, for the first 64 items.
      if (format == cvfInteger)
        for (std::size_t i = 0; i < expected.size(); ++i)
          if (expected[i] == cbsGrayed || i >= 64) expected[i] = cbsUnchecked;
      EXPECT_EQ(Form(back), Form(expected));
    }
  }
}

TEST(CheckStates, TextsThatDoNotParseAnswerFalseWithEveryItemUnchecked) {
  Items four({"a", "b", "c", "d"});
  struct Row {
    Variant Value;
    TcxCheckStatesValueFormat Format;
  };
  const Row rows[] = {
      {Variant("0;9"), cvfIndices},          {Variant("0;1;2"), cvfIndices},
      {Variant("1,"), cvfIndices},           {Variant("x"), cvfIndices},
      {Variant("99999999999999999999"), cvfIndices},
      {Variant(3), cvfIndices},              {Variant("1:a5:bcd"), cvfCaptions},
      {Variant("9:a"), cvfCaptions},         {Variant("99999999999:a"), cvfCaptions},
      {Variant("1:z"), cvfCaptions},         {Variant("1a"), cvfCaptions},
      {Variant("1:a;1:b;1:c"), cvfCaptions}, {Variant("0123"), cvfStatesString},
      {Variant("12x"), cvfInteger},          {Variant(1e30), cvfInteger},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(VarToStr(row.Value));
    TcxCheckStates states(4, cbsChecked);
    EXPECT_FALSE(CalculateCheckStates(row.Value, &four, row.Format, states));
    EXPECT_EQ(Form(states), "0000");
  }
}

}  // namespace
