// The most-recently-used editor as typed and picked: texts remembered
// newest first on Enter, on leaving and on a choice from the list, the
// limit trimming the oldest, the top text raising nothing, and the
// ellipsis button heard by the editor's properties and by its repository
// item's.
#include <gtest/gtest.h>

#include "ConcreteEditorSession.h"
#include "library/editors/cxEditRepositoryItems.h"
#include "library/editors/cxMRUEdit.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"

using namespace win;

namespace {

class MRUEdit : public edit_test::ConcreteEditorTest {
 protected:
  TcxMRUEdit* MakeMRU() {
    auto* edit = Make<TcxMRUEdit>({10, 10, 200, 31});
    edit->GetProperties()->OnNewLookupDisplayText = [this](TObject*, const AnsiString& AText) {
      log.push_back("new " + std::string(AText));
    };
    return edit;
  }
  static std::string List(TcxCustomMRUEditProperties* AProperties) {
    std::string result;
    TStrings* items = AProperties->GetLookupItems();
    for (Integer i = 0; i < items->GetCount(); ++i) result += (i ? "," : "") + std::string(items->Get(i));
    return result;
  }
};

TEST_F(MRUEdit, TextsAreRememberedNewestFirstWithinTheLimit) {
  TcxMRUEdit* edit = MakeMRU();
  auto* sink = Make<TcxMRUEdit>({10, 50, 200, 71});
  TcxMRUEditProperties* properties = edit->GetProperties();
  properties->SetMaxItemCount(3);
  Show();
  Focus(edit);
  for (const char* text : {"a", "b", "c"}) {
    SelectAllAndType(edit, text);
    Press(VK_RETURN);
  }
  EXPECT_EQ(List(properties), "c,b,a");
  EXPECT_EQ(log, (edit_test::Log{"new a", "new b", "new c"}));
  log.clear();
  // A known text moves up; the top one raises nothing; an empty one is
  // never remembered.
  SelectAllAndType(edit, "b");
  Press(VK_RETURN);
  EXPECT_EQ(List(properties), "b,c,a");
  Press(VK_RETURN);
  EXPECT_TRUE(log.empty()) << ::testing::PrintToString(log);
  edit->SelectAll();
  Press(VK_DELETE);
  Press(VK_RETURN);
  EXPECT_EQ(List(properties), "b,c,a");
  // A new one pushes the oldest out.
  SelectAllAndType(edit, "d");
  Press(VK_RETURN);
  EXPECT_EQ(List(properties), "d,b,c");
  // Leaving the editor remembers what it holds.
  SelectAllAndType(edit, "e");
  sink->SetFocus();
  Pump();
  EXPECT_EQ(List(properties), "e,d,b");

  // Picked from the list: that text goes to the top.
  Focus(edit);
  Chord(VK_MENU, VK_DOWN);
  ASSERT_TRUE(edit->HasPopupWindow());
  Press(VK_DOWN);
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_FALSE(edit->HasPopupWindow());
  EXPECT_EQ(std::string(edit->GetText()), "b");
  EXPECT_EQ(List(properties), "b,e,d");

  // Lowering the limit trims at once; 0 keeps everything.
  properties->SetMaxItemCount(2);
  EXPECT_EQ(List(properties), "b,e");
  properties->SetMaxItemCount(-1);
  EXPECT_EQ(properties->GetMaxItemCount(), 0);
  for (const char* text : {"f", "g", "h"}) {
    SelectAllAndType(edit, text);
    Press(VK_RETURN);
  }
  EXPECT_EQ(List(properties), "h,g,f,b,e");
}

// The chosen text goes to the top of the list; the list opened again shows
// it as the current row, Enter there keeps it, and the arrows step on from
// it.
TEST_F(MRUEdit, AChoiceFromTheListStaysTheCurrentItemAfterMovingToTheTop) {
  TcxMRUEdit* edit = MakeMRU();
  TcxMRUEditProperties* properties = edit->GetProperties();
  Show();
  Focus(edit);
  for (const char* text : {"a", "b", "c"}) {
    SelectAllAndType(edit, text);
    Press(VK_RETURN);
  }
  ASSERT_EQ(List(properties), "c,b,a");
  Chord(VK_MENU, VK_DOWN);
  Press(VK_DOWN);
  Press(VK_DOWN);
  Press(VK_RETURN);
  ASSERT_EQ(std::string(edit->GetText()), "a");
  ASSERT_EQ(List(properties), "a,c,b");

  Chord(VK_MENU, VK_DOWN);
  ASSERT_TRUE(edit->HasPopupWindow());
  EXPECT_EQ(edit->GetSelectedItem(), 0);
  Press(VK_RETURN);
  EXPECT_EQ(std::string(edit->GetText()), "a");
  EXPECT_EQ(List(properties), "a,c,b");

  Press(VK_DOWN);
  EXPECT_EQ(std::string(edit->GetText()), "c");
}

TEST_F(MRUEdit, TheEllipsisButtonIsHeardByBothPropertiesAndCanBeHidden) {
  TOwned<TcxEditRepository> repository(New<TcxEditRepository>(nullptr));
  auto* item =
      static_cast<TcxEditRepositoryMRUItem*>(repository->CreateItem(TcxEditRepositoryMRUItem::StaticClass()));
  TcxMRUEdit* edit = MakeMRU();
  edit->GetProperties()->OnButtonClick = [this](TObject*, Integer AIndex) {
    log.push_back("own button " + std::to_string(AIndex));
  };
  item->GetProperties()->OnButtonClick = [this](TObject*, Integer AIndex) {
    log.push_back("item button " + std::to_string(AIndex));
  };
  edit->SetRepositoryItem(item);
  Show();
  Pump();
  TcxCustomEditViewInfo* info = edit->GetViewInfo();
  ASSERT_EQ(info->ButtonInfos.size(), 2u);
  const TRect ellipsis = info->ButtonInfos[1]->Bounds;
  test::Click(edit->GetHandle(), {(ellipsis.Left + ellipsis.Right) / 2, (ellipsis.Top + ellipsis.Bottom) / 2});
  Pump();
  EXPECT_EQ(log, (edit_test::Log{"own button 1", "item button 1"}));
  EXPECT_FALSE(edit->HasPopupWindow());

  // Without the ellipsis, only the drop-down button shows.
  item->GetProperties()->SetShowEllipsis(false);
  Pump();
  ASSERT_EQ(edit->GetViewInfo()->ButtonInfos.size(), 1u);
  EXPECT_EQ(edit->GetViewInfo()->ButtonInfos[0]->Kind, bkDown);
}

}  // namespace
