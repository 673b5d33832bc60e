#include "library/grid/VGridSession.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Streams.h"
#include "support/TempDir.h"

#include <fstream>
#include <sstream>

namespace {

class StoredLayouts : public vgrid_test::Session {
 protected:
  TempDir dir;
  orv::registry::ScopedRoot registry;
  TcxVerticalGrid* grid = nullptr;
  TcxCategoryRow* ok = nullptr;
  TcxCategoryRow* unused = nullptr;
  TcxEditorRow* width = nullptr;
  TcxEditorRow* ratio = nullptr;
  TcxEditorRow* seed = nullptr;

  // The value grid with two named categories and three unnamed rows.
  void SetUp() override {
    Session::SetUp();
    grid = New<TcxVerticalGrid>(form);
    grid->SetName("cxVGTerrainValues");
    grid->SetParent(form);
    grid->GetOptionsView()->SetRowHeaderWidth(190);
    ok = AddCategory(grid, nullptr, "Ok Values");
    ok->SetName("cxOkValuesCategoryRow");
    unused = AddCategory(grid, nullptr, "Unused Values");
    unused->SetName("cxUnusedValuesCategoryRow");
    width = AddValueRow(grid, ok, "Width", TcxIntegerValueType::Class(), Variant(640));
    ratio = AddValueRow(grid, ok, "Ratio", TcxFloatValueType::Class(), Variant(2.5));
    seed = AddValueRow(grid, unused, "Seed", TcxStringValueType::Class(), Variant("x"));
  }

  // Everything a stored layout keeps, one line per row.
  std::string Layout() {
    std::string text = "header " + std::to_string(grid->GetOptionsView()->GetRowHeaderWidth()) + " value " +
                       std::to_string(grid->GetOptionsView()->GetValueWidth()) + " style " +
                       std::to_string(grid->GetOptionsView()->GetPaintStyle()) + "\n";
    std::ostringstream rows;
    for (Integer i = 0; i < grid->GetRows()->GetCount(); ++i) {
      TcxCustomRow* row = grid->GetRows()->GetRow(i);
      rows << std::string(static_cast<size_t>(2 * row->GetLevel()), ' ')
           << static_cast<TcxCaptionRowProperties*>(row->GetRowProperties())->GetCaption() << " h" << row->GetHeight()
           << (row->GetVisible() ? "" : " hidden") << (row->GetExpanded() ? "" : " collapsed") << "\n";
    }
    return text + rows.str();
  }

  // Moves, hides, sizes and collapses everything a layout keeps.
  void Disarrange() {
    seed->SetParent(nullptr);
    width->SetParent(unused);
    ratio->SetIndex(0);
    unused->SetIndex(0);
    ok->SetVisible(false);
    seed->SetHeight(44);
    unused->SetExpanded(false);
    grid->GetOptionsView()->SetRowHeaderWidth(120);
    grid->GetOptionsView()->SetValueWidth(70);
    grid->GetOptionsView()->SetPaintStyle(psDelphi);
  }

  static std::string ReadFile(const std::string& AName) {
    std::ifstream in(AName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The rows are all there, and the grid takes changes again.
  void ExpectIntact(const char* AWhat) {
    EXPECT_EQ(grid->GetLockCount(), 0) << AWhat;
    EXPECT_EQ(grid->GetRows()->GetLockCount(), 0) << AWhat;
    EXPECT_EQ(grid->GetRows()->GetCount(), 5) << AWhat;
    for (TcxCustomRow* row : std::initializer_list<TcxCustomRow*>{ok, unused, width, ratio, seed})
      EXPECT_GE(grid->GetRows()->IndexOf(row), 0) << AWhat;
    EXPECT_TRUE(RecordFocused(grid)) << AWhat;
  }
};

TEST_F(StoredLayouts, TheIniFileHoldsTheGridThenEveryRowOfTheFlatList) {
  const std::string file = dir / "layout.ini";
  grid->StoreToIniFile(file);
  const std::string text = ReadFile(file);
  EXPECT_EQ(text.substr(0, text.find("[cxVGTerrainValues/" + std::to_string(ratio->GetID()))),
            "[cxVGTerrainValues: TcxVerticalGrid]\r\n"
            "=\r\n"
            "PaintStyle=0\r\n"
            "HeaderWidth=190\r\n"
            "ValueWidth=100\r\n"
            "NewLoad=1\r\n"
            "\r\n"
            "[cxVGTerrainValues/cxOkValuesCategoryRow: TcxCategoryRow]\r\n"
            "=\r\n"
            "Caption=\"Ok Values\"\r\n"
            "AParentID=\"-1\"\r\n"
            "Index=0\r\n"
            "Visible=\"True\"\r\n"
            "Height=-1\r\n"
            "Expanded=\"True\"\r\n"
            "\r\n"
            "[cxVGTerrainValues/" +
                std::to_string(width->GetID()) +
                ": TcxEditorRow]\r\n"
                "=\r\n"
                "AParentID=\"cxOkValuesCategoryRow\"\r\n"
                "Index=0\r\n"
                "Visible=\"True\"\r\n"
                "Height=-1\r\n"
                "Expanded=\"True\"\r\n"
                "\r\n");
  EXPECT_FALSE(grid->GetNameMode()) << "the name mode lasts as long as the store";
}

TEST_F(StoredLayouts, ALayoutComesBackThroughIniRegistryAndStream) {
  const std::string stored = Layout();
  TMemoryStream stream;
  grid->StoreToIniFile(dir / "layout.ini");
  grid->StoreToRegistry("Software\\Orvanta\\Layouts\\Values");
  grid->StoreToStream(&stream);

  Disarrange();
  ASSERT_NE(Layout(), stored);
  grid->RestoreFromIniFile(dir / "layout.ini");
  EXPECT_EQ(Layout(), stored) << "INI";

  Disarrange();
  grid->RestoreFromRegistry("Software\\Orvanta\\Layouts\\Values");
  EXPECT_EQ(Layout(), stored) << "registry";

  Disarrange();
  stream.SetPosition(0);
  grid->RestoreFromStream(&stream);
  EXPECT_EQ(Layout(), stored) << "stream";
  EXPECT_EQ(width->GetProperties()->GetValue(), Variant(640)) << "values are no part of a layout";
  ExpectIntact("after the round trips");
}

TEST_F(StoredLayouts, OlderAndForeignLayoutsFallBackWithoutLosingARow) {
  // Without "NewLoad" parents are IDs and places are applied at once.
  const std::string older = dir.Write(
      "older.ini", "[cxVGTerrainValues: TcxVerticalGrid]\r\n=\r\nHeaderWidth=150\r\n"
                   "[cxVGTerrainValues/" + std::to_string(seed->GetID()) + ": TcxEditorRow]\r\n=\r\nAParentID=" +
                       std::to_string(ok->GetID()) + "\r\nIndex=0\r\n");
  grid->RestoreFromIniFile(older);
  EXPECT_EQ(seed->GetParent(), ok);
  EXPECT_EQ(seed->GetIndex(), 0);
  EXPECT_EQ(grid->GetOptionsView()->GetRowHeaderWidth(), 150);

  // A category the grid lacks is made under a generated name; rows of other
  // classes it lacks are skipped; a parent nobody has gives the top level.
  const std::string foreign = dir.Write(
      "foreign.ini",
      "[cxVGTerrainValues: TcxVerticalGrid]\r\n=\r\nNewLoad=1\r\n"
      "[cxVGTerrainValues/cxBonusCategoryRow: TcxCategoryRow]\r\n=\r\nCaption=\"Bonus\"\r\nAParentID=\"-1\"\r\n"
      "Index=0\r\n"
      "[cxVGTerrainValues/cxGoneRow: TcxEditorRow]\r\n=\r\nAParentID=\"cxBonusCategoryRow\"\r\nIndex=0\r\n"
      "[cxVGTerrainValues/cxOkValuesCategoryRow: TcxCategoryRow]\r\n=\r\nAParentID=\"cxNoSuchRow\"\r\nIndex=1\r\n");
  grid->RestoreFromIniFile(foreign);
  ASSERT_EQ(grid->GetRows()->GetCount(), 6);
  TcxCustomRow* bonus = grid->GetRows()->GetRow(0);
  EXPECT_EQ(bonus->ClassType(), TcxCategoryRow::StaticClass());
  EXPECT_EQ(static_cast<TcxCategoryRow*>(bonus)->GetProperties()->GetCaption(), "Bonus");
  EXPECT_EQ(bonus->GetName(), "cxVGTerrainValuesRuntimeCreatedRow1");
  EXPECT_EQ(bonus->GetOwner(), form);
  EXPECT_EQ(ok->GetParent(), nullptr);
  EXPECT_EQ(ok->GetIndex(), 1);
  EXPECT_EQ(grid->RowByName("cxGoneRow"), nullptr);
  bonus->Free();
  ExpectIntact("after the foreign layouts");
}

TEST_F(StoredLayouts, DamagedLayoutsRaiseOrFallBackAndNeverLeaveTheGridLocked) {
  const std::string head = "[cxVGTerrainValues: TcxVerticalGrid]\r\n=\r\nNewLoad=1\r\n";
  auto section = [](const std::string& name, const std::string& cls, const std::string& body) {
    return "[cxVGTerrainValues/" + name + ": " + cls + "]\r\n=\r\n" + body;
  };
  const std::string wid = std::to_string(width->GetID());

  // Numbers that are none, and a paint style that does not exist.
  for (const std::string& bad :
       {section("cxOkValuesCategoryRow", "TcxCategoryRow", "Height=tall\r\n"),
        section("cxOkValuesCategoryRow", "TcxCategoryRow", "Visible=\"perhaps\"\r\n"),
        section("cxOkValuesCategoryRow", "TcxCategoryRow", "Index=\"first\"\r\n"),
        std::string("[cxVGTerrainValues: TcxVerticalGrid]\r\n=\r\nPaintStyle=7\r\n")}) {
    grid->GetRows()->GetCount();
    EXPECT_ANY_THROW(grid->RestoreFromIniFile(dir.Write("bad.ini", head + bad))) << bad;
    ExpectIntact(bad.c_str());
  }

  // A parent that is the row itself or lies below it gives the top level;
  // two rows that name each other end one above the other.
  grid->RestoreFromIniFile(dir.Write(
      "loops.ini", head + section("cxOkValuesCategoryRow", "TcxCategoryRow", "AParentID=\"" + wid + "\"\r\nIndex=0\r\n") +
                       section(wid, "TcxEditorRow", "AParentID=\"" + wid + "\"\r\nIndex=1\r\n") +
                       section("cxUnusedValuesCategoryRow", "TcxCategoryRow",
                               "AParentID=\"cxUnusedValuesCategoryRow\"\r\nIndex=2\r\n")));
  EXPECT_EQ(ok->GetParent(), nullptr);
  EXPECT_EQ(width->GetParent(), nullptr);
  EXPECT_EQ(unused->GetParent(), nullptr);
  ExpectIntact("after the loops");
  grid->RestoreFromIniFile(dir.Write(
      "mutual.ini", head + section("cxOkValuesCategoryRow", "TcxCategoryRow",
                                   "AParentID=\"cxUnusedValuesCategoryRow\"\r\nIndex=0\r\n") +
                        section("cxUnusedValuesCategoryRow", "TcxCategoryRow",
                                "AParentID=\"cxOkValuesCategoryRow\"\r\nIndex=0\r\n")));
  EXPECT_TRUE(ok->GetParent() == unused || unused->GetParent() == ok);
  EXPECT_FALSE(ok->GetParent() == unused && unused->GetParent() == ok);
  ExpectIntact("after the mutual parents");

  // A name given twice: the second finds no row and, not being a
  // category, is skipped.
  grid->RestoreFromIniFile(
      dir.Write("twice.ini", head + section(wid, "TcxEditorRow", "Height=20\r\n") +
                                 section(wid, "TcxEditorRow", "Height=30\r\n")));
  ExpectIntact("after a name given twice");

  // Heights and widths past any screen are held to the grid's largest
  // extent, and the grid lays out and moves its focus again.
  grid->RestoreFromIniFile(dir.Write(
      "huge.ini", "[cxVGTerrainValues: TcxVerticalGrid]\r\n=\r\nNewLoad=1\r\nHeaderWidth=2147483647\r\n"
                  "ValueWidth=2147483647\r\n" +
                      section(wid, "TcxEditorRow", "Height=2147483647\r\n") +
                      section("cxOkValuesCategoryRow", "TcxCategoryRow", "Height=2147483647\r\n")));
  EXPECT_EQ(width->GetHeight(), cxvgMaxExtent);
  EXPECT_EQ(ok->GetHeight(), cxvgMaxExtent);
  EXPECT_EQ(grid->GetOptionsView()->GetValueWidth(), cxvgMaxExtent);
  EXPECT_LE(grid->GetOptionsView()->GetRowHeaderWidth(), cxvgMaxExtent);
  form->Show();
  Pump();
  grid->SetFocusedRow(seed);
  Pump();
  EXPECT_NE(grid->GetVGViewInfo()->GetRowViewInfo(seed), nullptr) << "scrolled to past the tall rows";
  ExpectIntact("after the huge extents");
  width->SetHeight(-1);
  ok->SetHeight(-1);

  // Missing sections leave their rows where they are.
  const std::string before = Layout();
  grid->RestoreFromIniFile(dir.Write("empty.ini", head));
  grid->RestoreFromIniFile(dir / "missing.ini");
  EXPECT_EQ(Layout(), before);

  // A stream cut anywhere is refused as a whole.
  TMemoryStream whole;
  grid->StoreToStream(&whole);
  const AnsiString bytes(static_cast<const char*>(whole.GetMemory()), static_cast<size_t>(whole.GetSize()));
  for (size_t cut = 1; cut < bytes.size(); cut += 7) {
    TStringStream part(bytes.substr(0, cut));
    EXPECT_THROW(grid->RestoreFromStream(&part), EcxStorage) << cut;
  }
  EXPECT_EQ(Layout(), before);
  ExpectIntact("after the cut streams");
}

}  // namespace
