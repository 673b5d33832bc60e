// A control stand-in for data controller tests: it owns the items the
// fields bind to and records every message the controller hands it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/data/cxData.h"
#include "platform/rtl/Format.h"

class TestItem : public TObject {};

class RecordingController : public TcxDataController {
 public:
  explicit RecordingController(TComponent* AOwner) : TcxDataController(AOwner) {}
  ~RecordingController() override {
    for (TestItem* item : Items) item->Free();
  }

  TObject* GetItem(Integer AIndex) override { return Items.at(static_cast<size_t>(AIndex)); }
  Integer GetItemID(TObject* AItem) override {
    for (size_t i = 0; i < Items.size(); ++i)
      if (Items[i] == AItem) return static_cast<Integer>(i) + 100;
    return -1;
  }

  void UpdateControl(TcxUpdateControlInfo* AInfo) override {
    if (auto* d = dynamic_cast<TcxDataChangedInfo*>(AInfo)) {
      static const char* kinds[] = {"field", "record", "new", "deleted", "total"};
      Log.push_back(Format("data %s %d %d", {kinds[d->Kind], d->ItemIndex, d->RecordIndex}));
    } else if (dynamic_cast<TcxLayoutChangedInfo*>(AInfo)) {
      Log.push_back("layout");
    } else if (auto* u = dynamic_cast<TcxUpdateRecordInfo*>(AInfo)) {
      Log.push_back(Format("updaterecord %d", {u->RecordIndex}));
    } else if (auto* f = dynamic_cast<TcxFocusedRowChangedInfo*>(AInfo)) {
      Log.push_back(Format("focusrow %d>%d", {f->PrevFocusedRowIndex, f->FocusedRowIndex}));
    } else if (auto* r = dynamic_cast<TcxFocusedRecordChangedInfo*>(AInfo)) {
      Log.push_back(Format("focusrecord %d>%d", {r->PrevFocusedRecordIndex, r->FocusedRecordIndex}));
    } else if (auto* s = dynamic_cast<TcxSelectionChangedInfo*>(AInfo)) {
      std::string rows;
      for (Integer i = 0; i < s->GetCount(); ++i) rows += " " + std::to_string(s->GetRowIndex(i));
      Log.push_back("selection" + rows);
    } else if (dynamic_cast<TcxSearchChangedInfo*>(AInfo)) {
      Log.push_back("search");
    } else if (dynamic_cast<TcxBookmarkChangedInfo*>(AInfo)) {
      Log.push_back("bookmark");
    } else if (dynamic_cast<TcxGroupingChangingInfo*>(AInfo)) {
      Log.push_back("groupingchanging");
    }
  }

  Integer AddTypedItem(TcxValueTypeClass AType) {
    auto* item = New<TestItem>();
    Items.push_back(item);
    AddItem(item);
    const Integer index = GetItemCount() - 1;
    ChangeValueTypeClass(index, AType);
    return index;
  }

  // The log lines of one kind only.
  std::vector<std::string> Only(const std::string& APrefix) const {
    std::vector<std::string> out;
    for (const std::string& s : Log)
      if (s.rfind(APrefix, 0) == 0) out.push_back(s);
    return out;
  }

  std::vector<TestItem*> Items;
  std::vector<std::string> Log;
};

// A controller with an Integer, a String and a Float item and some rows.
class DataControllerTest : public ::testing::Test {
 protected:
  RecordingController* C = nullptr;
  Integer IntItem = -1, StrItem = -1, FloatItem = -1;

  void SetUp() override {
    C = New<RecordingController>(nullptr);
    IntItem = C->AddTypedItem(TcxIntegerValueType::Class());
    StrItem = C->AddTypedItem(TcxStringValueType::Class());
    FloatItem = C->AddTypedItem(TcxFloatValueType::Class());
  }
  void TearDown() override { C->Free(); }

  void Fill(const std::vector<std::pair<int, std::string>>& ARows) {
    C->BeginUpdate();
    for (const auto& [i, s] : ARows) {
      const Integer r = C->AppendRecord();
      C->SetValue(r, IntItem, i);
      C->SetValue(r, StrItem, AnsiString(s));
    }
    C->EndUpdate();
  }

  // The records in row order (group rows show as "g<level>").
  std::vector<std::string> Rows() {
    std::vector<std::string> out;
    for (Integer row = 0; row < C->GetRowCount(); ++row) {
      const TcxRowInfo info = C->GetRowInfo(row);
      const Integer levels = C->GetGroups()->GetGroupingItemCount();
      if (levels > 0 && info.Level < levels)
        out.push_back("g" + std::to_string(info.Level) + ":" + C->GetDisplayText(info.RecordIndex,
                                                                                 C->GetGroups()->GetGroupingItemIndex(info.Level)));
      else
        out.push_back(std::to_string(info.RecordIndex));
    }
    return out;
  }
};
