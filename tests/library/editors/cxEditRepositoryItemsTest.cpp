// Repository items of every editor kind that exists, read from a stored
// layout and written back unchanged, and the default editor each value
// type gets when a grid item has no edit properties of its own.
#include <gtest/gtest.h>

#include "ConcreteEditorSession.h"
#include "library/editors/cxEditDataRegisteredRepositoryItems.h"
#include "library/editors/cxClock.h"
#include "library/editors/cxEditRepositoryItems.h"
#include "library/editors/cxGroupBox.h"
#include "library/editors/cxRichEdit.h"
#include "platform/forms/JpegImage.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/ObjectText.h"
#include "platform/rtl/Owned.h"
#include "support/DeclaredDefaults.h"

// A value type of the program's own that derives from the Boolean one.
class TTestFlagValueType : public TcxBooleanValueType {
  ORV_CLASS(TTestFlagValueType, TcxBooleanValueType)
 public:
  static TcxValueTypeClass Class() {
    static const TTestFlagValueType instance;
    return &instance;
  }
};
ORV_REGISTER(TTestFlagValueType)

namespace {

class RepositoryItems : public edit_test::ConcreteEditorTest {};

// One item of each kind, each with a setting of its own kind changed.
const char* const kRepository = R"(  object Repository: TcxEditRepository
    object RepositoryTextItem: TcxEditRepositoryTextItem
      Properties.MaxLength = 12
    end
    object RepositoryButtonItem: TcxEditRepositoryButtonItem
      Properties.Buttons = <
        item
          Default = True
          Kind = bkEllipsis
        end>
      Properties.ClickKey = 0
    end
    object RepositoryImageItem: TcxEditRepositoryImageItem
      Properties.GraphicClassName = 'TJPEGImage'
      Properties.Stretch = True
    end
    object RepositoryComboBoxItem: TcxEditRepositoryComboBoxItem
      Properties.DropDownListStyle = lsFixedList
      Properties.DropDownRows = 12
      Properties.Items.Strings = (
        'north'
        'south')
      Properties.Revertable = True
      Properties.Sorted = False
    end
    object RepositoryMaskItem: TcxEditRepositoryMaskItem
      Properties.EditMask = '000-000'
    end
    object RepositoryPopupItem: TcxEditRepositoryPopupItem
      Properties.PopupHeight = 320
      Properties.PopupSizeable = False
    end
    object RepositoryCalcItem: TcxEditRepositoryCalcItem
      Properties.Precision = 8
      Properties.QuickClose = True
    end
    object RepositoryDateItem: TcxEditRepositoryDateItem
      Properties.Kind = ckDateTime
      Properties.SaveTime = False
    end
    object RepositoryCurrencyItem: TcxEditRepositoryCurrencyItem
      Properties.DecimalPlaces = 4
      Properties.Nullable = False
    end
    object RepositorySpinItem: TcxEditRepositorySpinItem
      Properties.UseCtrlIncrement = True
    end
    object RepositoryImageComboBoxItem: TcxEditRepositoryImageComboBoxItem
      Properties.Items = <>
      Properties.ShowDescriptions = False
    end
    object RepositoryBlobItem: TcxEditRepositoryBlobItem
      Properties.BlobEditKind = bekMemo
      Properties.IsPictureGraphicClassNameEmpty = True
    end
    object RepositoryCheckBoxItem: TcxEditRepositoryCheckBoxItem
      Properties.AllowGrayed = True
    end
    object RepositoryTimeItem: TcxEditRepositoryTimeItem
      Properties.TimeFormat = tfHourMin
      Properties.Use24HourFormat = False
    end
    object RepositoryMemoItem: TcxEditRepositoryMemoItem
      Properties.VisibleLineCount = 4
      Properties.WantTabs = True
    end
    object RepositoryMRUItem: TcxEditRepositoryMRUItem
      Properties.MaxItemCount = 5
    end
    object RepositoryHyperLinkItem: TcxEditRepositoryHyperLinkItem
      Properties.SingleClick = True
      Properties.Prefix = 'https://'
    end
    object RepositoryRadioGroupItem: TcxEditRepositoryRadioGroupItem
      Properties.Columns = 2
      Properties.Items = <>
    end
  end
)";

TEST_F(RepositoryItems, ALayoutWithOneItemOfEachKindLoadsAndStreamsBackUnchanged) {
  // The writer ends its lines with CR LF.
  AnsiString block;
  for (const char* c = kRepository; *c; ++c) block += *c == '\n' ? AnsiString("\r\n") : AnsiString(1, *c);
  const AnsiString layout = "object Host: TForm\r\n" + block + "end\r\n";
  TOwned<TComponent> built(forms::test::BuildFromText(layout));
  auto* repository = dynamic_cast<TcxEditRepository*>(built->FindComponent("Repository"));
  ASSERT_NE(repository, nullptr);
  ASSERT_EQ(repository->GetCount(), 18);
  // Each item made the properties of its kind and took the stored setting.
  auto* date = dynamic_cast<TcxEditRepositoryDateItem*>(repository->ItemByName("RepositoryDateItem"));
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(date->GetProperties()->GetKind(), ckDateTime);
  EXPECT_FALSE(date->GetProperties()->GetSaveTime());
  auto* money = dynamic_cast<TcxEditRepositoryCurrencyItem*>(repository->ItemByName("RepositoryCurrencyItem"));
  ASSERT_NE(money, nullptr);
  EXPECT_EQ(money->GetProperties()->GetDecimalPlaces(), 4);
  auto* time = dynamic_cast<TcxEditRepositoryTimeItem*>(repository->ItemByName("RepositoryTimeItem"));
  ASSERT_NE(time, nullptr);
  EXPECT_EQ(time->GetProperties()->GetTimeFormat(), tfHourMin);
  auto* combo = dynamic_cast<TcxEditRepositoryComboBoxItem*>(repository->ItemByName("RepositoryComboBoxItem"));
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->GetProperties()->GetItems()->GetCount(), 2);
  EXPECT_EQ(combo->GetProperties()->GetDropDownListStyle(), lsFixedList);
  auto* calc = dynamic_cast<TcxEditRepositoryCalcItem*>(repository->ItemByName("RepositoryCalcItem"));
  ASSERT_NE(calc, nullptr);
  EXPECT_EQ(calc->GetProperties()->GetPrecision(), 8);
  auto* link = dynamic_cast<TcxEditRepositoryHyperLinkItem*>(repository->ItemByName("RepositoryHyperLinkItem"));
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(std::string(link->GetProperties()->GetPrefix()), "https://");
  auto* image = dynamic_cast<TcxEditRepositoryImageItem*>(repository->ItemByName("RepositoryImageItem"));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetProperties()->GetGraphicClassRef(), TJPEGImage::StaticClass());
  auto* blob = dynamic_cast<TcxEditRepositoryBlobItem*>(repository->ItemByName("RepositoryBlobItem"));
  ASSERT_NE(blob, nullptr);
  EXPECT_FALSE(blob->GetProperties()->GetPictureGraphicClass()) << "the stored empty class";
  for (Integer i = 0; i < repository->GetCount(); ++i) {
    TcxEditRepositoryItem* item = repository->GetItem(i);
    EXPECT_EQ(item->GetProperties()->ClassType(), item->GetEditPropertiesClass()) << item->GetName();
  }
  // Written back: the repository as it was read, and read again the same.
  const AnsiString written = ComponentToText(built.get());
  EXPECT_NE(written.find(block), AnsiString::npos) << written;
  TOwned<TComponent> again(forms::test::BuildFromText(written));
  EXPECT_EQ(ComponentToText(again.get()), written);

  // Setting Properties copies into the item's own object and tells each
  // listening editor once.
  struct Listener : IcxEditRepositoryItemListener {
    int Changes = 0;
    void RepositoryItemRemoved(TcxEditRepositoryItem*) override {}
    void RepositoryItemPropertiesChanged(TcxEditRepositoryItem*) override { ++Changes; }
  } listener;
  money->AddListener(&listener);
  TcxCurrencyEditProperties* own = money->GetProperties();
  TOwned<TcxCurrencyEditProperties> other(New<TcxCurrencyEditProperties>(nullptr));
  other->SetNullString("n/a");
  money->SetProperties(other.get());
  EXPECT_EQ(money->GetProperties(), own);
  EXPECT_EQ(own->GetNullString(), "n/a");
  EXPECT_EQ(listener.Changes, 1);
  money->RemoveListener(&listener);
}

// Every editor kind, set to the declared default of each setting (the Tab
// order, sizing to the content, focusing on a click), comes back so from
// its written layout.
TEST_F(RepositoryItems, EveryEditorKindKeepsItsSettingsAtTheirDeclaredDefaultsThroughALayout) {
  for (TClass cls : {TcxBlobEdit::StaticClass(), TcxCalcEdit::StaticClass(), TcxCheckBox::StaticClass(),
                     TcxCurrencyEdit::StaticClass(), TcxDateEdit::StaticClass(), TcxGroupBox::StaticClass(),
                     TcxHyperLinkEdit::StaticClass(), TcxImage::StaticClass(), TcxImageComboBox::StaticClass(),
                     TcxMemo::StaticClass(), TcxMRUEdit::StaticClass(), TcxRadioGroup::StaticClass(),
                     TcxRichEdit::StaticClass(), TcxSpinEdit::StaticClass(), TcxTimeEdit::StaticClass(),
                     TcxClock::StaticClass()}) {
    auto* editor = static_cast<TWinControl*>(cls->Create(form));
    editor->SetParent(form);
    EXPECT_EQ(LostAtDeclaredDefaults(editor, form, {"AutoSize", "TabStop", "FocusOnClick"}),
              std::vector<std::string>{})
        << cls->ClassName();
    // What it takes from the form it still takes after its layout is read.
    EXPECT_EQ(LostAtDeclaredDefaults(editor, form, {"ParentShowHint", "ParentCtl3D", "ParentFont"}),
              std::vector<std::string>{})
        << cls->ClassName();
    editor->Free();
  }
}

TEST_F(RepositoryItems, EveryItemClassIsRegisteredInTheOrderOfTheKinds) {
  std::vector<AnsiString> names;
  for (TClass cls : cxEditRepositoryItemClasses()) {
    names.push_back(cls->ClassName());
    EXPECT_EQ(GetClass(cls->ClassName()), cls);
  }
  EXPECT_EQ(names, (std::vector<AnsiString>{
                       "TcxEditRepositoryItem", "TcxEditRepositoryTextItem", "TcxEditRepositoryButtonItem",
                       "TcxEditRepositoryImageItem", "TcxEditRepositoryComboBoxItem", "TcxEditRepositoryMaskItem",
                       "TcxEditRepositoryPopupItem", "TcxEditRepositoryCalcItem", "TcxEditRepositoryDateItem", "TcxEditRepositoryCurrencyItem",
                       "TcxEditRepositorySpinItem", "TcxEditRepositoryMemoItem",
                       "TcxEditRepositoryImageComboBoxItem", "TcxEditRepositoryBlobItem",
                       "TcxEditRepositoryCheckBoxItem", "TcxEditRepositoryTimeItem", "TcxEditRepositoryMRUItem",
                       "TcxEditRepositoryHyperLinkItem", "TcxEditRepositoryRadioGroupItem"}));
}

TEST_F(RepositoryItems, EachValueTypeGetsItsDefaultEditorAndFallsBackToText) {
  TcxEditDataRegisteredRepositoryItems* registry = GetDefaultEditDataRepositoryItems();
  TcxEditRepositoryItem* text = registry->GetItem(nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(dynamic_cast<TcxEditRepositoryTextItem*>(text));
  for (TcxValueTypeClass type :
       {TcxStringValueType::Class(), TcxIntegerValueType::Class(), TcxFloatValueType::Class()})
    EXPECT_EQ(registry->GetItem(type), text);
  EXPECT_TRUE(dynamic_cast<TcxEditRepositoryCheckBoxItem*>(registry->GetItem(TcxBooleanValueType::Class())));
  // The match is by identity: a derived type is not a Boolean here.
  EXPECT_EQ(registry->GetItem(TTestFlagValueType::Class()), text);
  TcxEditRepositoryItem* currency = registry->GetItem(TcxCurrencyValueType::Class());
  TcxEditRepositoryItem* bcd = registry->GetItem(TcxFMTBcdValueType::Class());
  EXPECT_TRUE(dynamic_cast<TcxEditRepositoryCurrencyItem*>(currency));
  EXPECT_TRUE(dynamic_cast<TcxEditRepositoryCurrencyItem*>(bcd));
  EXPECT_NE(currency, bcd);
  TcxEditRepositoryItem* date = registry->GetItem(TcxDateTimeValueType::Class());
  TcxEditRepositoryItem* stamp = registry->GetItem(TcxSQLTimeStampValueType::Class());
  EXPECT_TRUE(dynamic_cast<TcxEditRepositoryDateItem*>(date));
  EXPECT_TRUE(dynamic_cast<TcxEditRepositoryDateItem*>(stamp));
  EXPECT_NE(date, stamp);
  // A destroyed item leaves the registry: its type falls back to text.
  date->Free();
  EXPECT_EQ(registry->GetItem(TcxDateTimeValueType::Class()), text);
  // The items live in the default repository.
  EXPECT_EQ(stamp->GetRepository(), GetDefaultEditRepository());
}

}  // namespace
