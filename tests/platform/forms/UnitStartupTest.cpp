// Unit start-up and shut-down: the platform's units first in a fixed
// order, then the library's in the order they were listed; shut-down in
// exactly the reverse order; a failing start-up undoes what it started.
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Screen.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/TestHooks.h"
#include "platform/forms/UnitStartup.h"
#include "platform/rtl/Exceptions.h"

namespace {

std::vector<std::string> gOrder;
bool gFailGrid = false;

void StartA() { gOrder.push_back("start A"); }
void StopA() { gOrder.push_back("stop A"); }
void StartGrid() {
  if (gFailGrid) throw EInvalidOperation("grid cannot start");
  gOrder.push_back("start Grid");
}
void StopGrid() { gOrder.push_back("stop Grid"); }
void StopMain() { gOrder.push_back("stop Main " + std::string(Application ? "with" : "without") + " application"); }

TEST(UnitStartup, PlatformFirstThenTheLibraryInListOrderAndShutDownInReverse) {
  forms::test::Session session;
  std::vector<AnsiString> started = StartedUnits();
  ASSERT_GE(started.size(), 5u);
  EXPECT_EQ(std::vector<AnsiString>(started.begin(), started.begin() + 6),
            (std::vector<AnsiString>{"Classes", "Resources", "Locale", "Themes", "Screen", "Application"}));
  EXPECT_NE(Application, nullptr);
  EXPECT_NE(Screen, nullptr);
  EXPECT_NE(Mouse, nullptr);
  // The layout classes are known by name.
  EXPECT_EQ(GetClass("TLabel"), TLabel::StaticClass());
  EXPECT_EQ(GetClass("TForm"), TForm::StaticClass());

  FinalizeUnits();
  EXPECT_EQ(Application, nullptr);
  EXPECT_EQ(Screen, nullptr);
  gOrder.clear();
  RegisterUnit("A", &StartA, &StopA);
  RegisterUnit("Grid", &StartGrid, &StopGrid);
  RegisterUnit("Main", nullptr, &StopMain);
  RegisterUnit("A", &StartA, &StopA);  // listed once
  InitializeUnits();
  InitializeUnits();  // each runs once
  EXPECT_EQ(gOrder, (std::vector<std::string>{"start A", "start Grid"}));
  started = StartedUnits();
  EXPECT_EQ(std::vector<AnsiString>(started.end() - 3, started.end()), (std::vector<AnsiString>{"A", "Grid", "Main"}));
  gOrder.clear();
  FinalizeUnits();
  // The library's units go before the application does.
  EXPECT_EQ(gOrder, (std::vector<std::string>{"stop Main with application", "stop Grid", "stop A"}));

  // A start-up that fails shuts down what already started, in reverse.
  gOrder.clear();
  gFailGrid = true;
  EXPECT_THROW(InitializeUnits(), EInvalidOperation);
  EXPECT_EQ(gOrder, (std::vector<std::string>{"start A", "stop A"}));
  EXPECT_TRUE(StartedUnits().empty());
  EXPECT_EQ(Application, nullptr);
  gFailGrid = false;
  InitializeUnits();  // the session shuts down what it finds running
}

}  // namespace
