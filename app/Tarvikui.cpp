#include "app/Tarvikui.h"

#include <map>
#include <utility>

#include "app/Aboutdlg.h"
#include "app/Paraminfodlg.h"
#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/cxRadioGroup.h"
#include "library/editors/cxSpinEdit.h"
#include "platform/forms/MessageBox.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"

using namespace frontend;

ORV_REGISTER(TMainForm, ORV_FIELD(cxVGTerrainFiles), ORV_FIELD(cxVGTerrainValues), ORV_FIELD(cxOkValuesCategoryRow),
             ORV_FIELD(MiddleBevel), ORV_FIELD(cxUnusedValuesCategoryRow), ORV_FIELD(cxUnknownValuesCategoryRow),
             ORV_FIELD(RunBatchButton), ORV_FIELD(SaveValuesButton), ORV_FIELD(RunCurrentValuesButton),
             ORV_FIELD(ParameterHelpButton), ORV_FIELD(Label1), ORV_FIELD(SaveAsButton), ORV_FIELD(DefaultsButton),
             ORV_FIELD(Label2), ORV_FIELD(CurrentFileLabel), ORV_FIELD(Label3), ORV_FIELD(ClearLogButton),
             ORV_FIELD(LogWindow), ORV_FIELD(TarvikTimer), ORV_FIELD(AboutButton), ORV_FIELD(SaveDialog),
             ORV_METHOD(FormShow), ORV_METHOD(FormCloseQuery), ORV_METHOD(cxVGTerrainFilesClick),
             ORV_METHOD(cxVGTerrainFilesKeyUp), ORV_METHOD(cxVGTerrainValuesClick), ORV_METHOD(cxVGTerrainValuesKeyUp),
             ORV_METHOD(cxVGTerrainValuesEditValueChanged), ORV_METHOD(ParameterHelpButtonClick),
             ORV_METHOD(RunCurrentValuesButtonClick), ORV_METHOD(RunBatchButtonClick), ORV_METHOD(TarvikTimerTimer),
             ORV_METHOD(ClearLogButtonClick), ORV_METHOD(SaveValuesButtonClick), ORV_METHOD(SaveAsButtonClick),
             ORV_METHOD(DefaultsButtonClick), ORV_METHOD(AboutButtonClick))

namespace {

const char* const kNoFile = "<NONE>";
// The version the about box shows, as major and minor number.
constexpr Integer kVersionMajor = 1;
constexpr Integer kVersionMinor = 4;

bool IsEditorRow(TcxCustomRow* ARow) { return ARow && ARow->ClassType() == TcxEditorRow::StaticClass(); }

TcxEditorRowProperties* PropertiesOf(TcxCustomRow* ARow) {
  return static_cast<TcxEditorRow*>(ARow)->GetProperties();
}

TERRAIN_FILE_INFO* FileInfoOf(TcxCustomRow* ARow) {
  return reinterpret_cast<TERRAIN_FILE_INFO*>(ARow->GetTag());
}

TcxValueTypeClass ValueTypeClassOf(TRowValueType AType) {
  switch (AType) {
    case rvtInteger: return TcxIntegerValueType::Class();
    case rvtFloat: return TcxFloatValueType::Class();
    default: return TcxStringValueType::Class();
  }
}

TClass EditPropertiesClassOf(TValueRowKind AKind) {
  switch (AKind) {
    case vrkIntegerSpin:
    case vrkFloatSpin: return TcxSpinEditProperties::StaticClass();
    case vrkCheckBox: return TcxCheckBoxProperties::StaticClass();
    case vrkRadioGroup: return TcxRadioGroupProperties::StaticClass();
    case vrkComboBox: return TcxComboBoxProperties::StaticClass();
    default: return TcxTextEditProperties::StaticClass();
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Life cycle

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner) {}

void TMainForm::AfterConstruction() {
  inherited::AfterConstruction();
  Runner = std::make_unique<TGeneratorRunner>(static_cast<IGeneratorRunHost&>(*this));
  SetCurrentFile({});
  // The whole directory, whatever its length.
  StartDir = GetCurrentDir();
  UpdateButtons();
}

// The rows and the grids go with the components, before the records the
// rows point at; the runner closes the process handle.
TMainForm::~TMainForm() = default;

void TMainForm::FormShow(TObject*) {
  if (!LoadDefinitions()) return;
  RebuildFileGrid(false);
  SetAllDefaults();
}

void TMainForm::SetCurrentFile(const AnsiString& AName) {
  CurrentFile = AName;
  CurrentFileLabel->SetCaption(AName.empty() ? AnsiString(kNoFile) : AName);
  Modified = false;
}

void TMainForm::UpdateButtons() {
  const bool idle = Runner->IsIdle();
  const bool hasValues = cxVGTerrainValues->GetRows()->GetCount() != 3;
  RunBatchButton->SetEnabled(idle);
  RunCurrentValuesButton->SetEnabled(idle && hasValues);
  TcxCustomRow* focused = cxVGTerrainValues->GetFocusedRow();
  ParameterHelpButton->SetEnabled(IsEditorRow(focused) && focused->GetParent() != cxUnknownValuesCategoryRow);
  SaveValuesButton->SetEnabled(!CurrentFile.empty() && Modified);
  SaveAsButton->SetEnabled(hasValues);
}

void TMainForm::FormCloseQuery(TObject*, bool& CanClose) {
  // Closing moves no focus: what an editor holds is posted here, so the
  // question knows of it.
  PostValueEditor();
  if (!Modified) return;
  switch (Ask("Do you want to save the current file before exiting?", "Save current file?",
              win::MB_YESNOCANCEL | win::MB_ICONQUESTION)) {
    case win::IDCANCEL: CanClose = false; break;
    case win::IDYES: CanClose = SaveWithDialog(false); break;
    default: break;
  }
}

// ---------------------------------------------------------------------------
// Messages

int TMainForm::Ask(const AnsiString& AText, const AnsiString& ACaption, win::UINT AFlags) {
  return win::MessageBoxA(GetHandle(), AText.c_str(), ACaption.c_str(), AFlags);
}

void TMainForm::Tell(const TUserMessage& AMessage) {
  Ask(AMessage.Text, AMessage.Caption,
      win::MB_OK | (AMessage.Kind == umkInformation ? win::MB_ICONINFORMATION : win::MB_ICONERROR));
}

void TMainForm::ShowMessage(const TUserMessage& AMessage) { Tell(AMessage); }

// ---------------------------------------------------------------------------
// Definitions

bool TMainForm::LoadDefinitions() {
  std::vector<TUserMessage> messages;
  const bool read = frontend::LoadDefinitions(kDefinitionFileName, Defs, messages);
  for (const TUserMessage& message : messages) Tell(message);
  if (!read) Close();
  return read;
}

void TMainForm::SetAllDefaults() { Statements = DefaultStatements(Defs); }

// ---------------------------------------------------------------------------
// The file grid

TcxEditorRow* TMainForm::RebuildFileGrid(bool AClear) {
  // Keyed by what each row reaches: a row listed with '?' and the file
  // really named so are two rows.
  std::map<std::pair<AnsiString, bool>, Variant> counters;
  if (AClear) {
    cxVGTerrainFiles->SetFocusedRow(nullptr);
    // The batch counters live only in the rows; a rebuild keeps them.
    TcxVerticalGridRows* rows = cxVGTerrainFiles->GetRows();
    for (Integer i = 0; i < rows->GetCount(); ++i) {
      TcxCustomRow* row = rows->GetRow(i);
      if (!IsEditorRow(row) || !FileInfoOf(row)) continue;
      counters[{FileInfoOf(row)->Path, FileInfoOf(row)->Reachable}] = PropertiesOf(row)->GetValue();
      row->SetTag(0);
    }
    cxVGTerrainFiles->ClearRows();
    FileInfos.clear();
  }
  // The generator and the temporary file are found relative to it.
  SetCurrentDir(StartDir);
  TcxEditorRow* current = nullptr;
  cxVGTerrainFiles->BeginUpdate();
  orv::ScopeExit endUpdate([this] { cxVGTerrainFiles->EndUpdate(); });
  std::vector<TcxCustomRow*> made;
  for (const TFileTreeRow& entry : ScanTerrainTree(StartDir)) {
    TcxCustomRow* parent = entry.Parent >= 0 ? made[std::size_t(entry.Parent)] : nullptr;
    if (!entry.IsFile) {
      auto* category = cxVGTerrainFiles->AddChild(parent, TcxCategoryRow::StaticClass());
      static_cast<TcxCategoryRow*>(category)->GetProperties()->SetCaption(entry.Caption);
      made.push_back(category);
      continue;
    }
    auto* row = static_cast<TcxEditorRow*>(cxVGTerrainFiles->AddChild(parent, TcxEditorRow::StaticClass()));
    made.push_back(row);
    FileInfos.push_back(std::make_unique<TERRAIN_FILE_INFO>(TERRAIN_FILE_INFO{entry.Path, entry.Reachable}));
    row->SetTag(reinterpret_cast<NativeInt>(FileInfos.back().get()));
    TcxEditorRowProperties* properties = row->GetProperties();
    properties->SetCaption(entry.Caption);
    properties->Hint = entry.Path;
    properties->GetDataBinding()->SetValueTypeClass(TcxIntegerValueType::Class());
    properties->SetEditPropertiesClass(TcxSpinEditProperties::StaticClass());
    auto* spin = static_cast<TcxSpinEditProperties*>(properties->GetEditProperties());
    spin->SetValueType(vtInt);
    spin->SetMinValue(0);
    spin->SetMaxValue(30);
    const auto kept = counters.find({entry.Path, entry.Reachable});
    properties->SetValue(kept != counters.end() ? kept->second : Variant(0));
    if (entry.Reachable && entry.Path == CurrentFile) current = row;
  }
  cxVGTerrainFiles->FullExpand();
  return current;
}

TcxEditorRow* TMainForm::FileRowOf(const AnsiString& APath) {
  TcxVerticalGridRows* rows = cxVGTerrainFiles->GetRows();
  for (Integer i = 0; i < rows->GetCount(); ++i) {
    TcxCustomRow* row = rows->GetRow(i);
    if (IsEditorRow(row) && FileInfoOf(row) && FileInfoOf(row)->Reachable && FileInfoOf(row)->Path == APath)
      return static_cast<TcxEditorRow*>(row);
  }
  return nullptr;
}

void TMainForm::FocusCurrentFileRow() { cxVGTerrainFiles->SetFocusedRow(FileRowOf(CurrentFile)); }

void TMainForm::cxVGTerrainFilesClick(TObject*) { SelectTerrainFile(); }

void TMainForm::cxVGTerrainFilesKeyUp(TObject*, Word&, TShiftState) { SelectTerrainFile(); }

void TMainForm::SelectTerrainFile() {
  TcxCustomRow* row = cxVGTerrainFiles->GetFocusedRow();
  if (!IsEditorRow(row) || !FileInfoOf(row)) return;
  const TERRAIN_FILE_INFO info = *FileInfoOf(row);
  const AnsiString& path = info.Path;
  // Keys typed into a batch counter come here too: the file shown stays.
  if (info.Reachable && path == CurrentFile) return;
  PostValueEditor();
  if (Modified) {
    const int answer = Ask("Do you want to save the current values before loading another file?",
                           "Save current file?", win::MB_YESNOCANCEL | win::MB_ICONQUESTION);
    if (answer == win::IDCANCEL || (answer == win::IDYES && !SaveCurrentValues())) {
      FocusCurrentFileRow();
      return;
    }
  }
  if (!info.Reachable) {
    // Its name names another file or none: it opens as none does.
    Tell(frontend::MissingFileFailure(path));
    FocusCurrentFileRow();
    UpdateButtons();
    return;
  }
  if (!ReadTerrainFile(path)) {
    FocusCurrentFileRow();
    UpdateButtons();
  }
}

// ---------------------------------------------------------------------------
// The value grid

bool TMainForm::ReadTerrainFile(const AnsiString& APath) {
  TTerrainStatements statements;
  TUserMessage failure;
  if (!frontend::ReadTerrainFile(APath, statements, failure)) {
    Tell(failure);
    return false;
  }
  // Only a file that was read becomes the current one.
  Statements = std::move(statements);
  SetCurrentFile(APath);
  RebuildValueGrid();
  return true;
}

TcxCategoryRow* TMainForm::CategoryOf(TValueCategory ACategory) const {
  switch (ACategory) {
    case vcOk: return cxOkValuesCategoryRow;
    case vcUnused: return cxUnusedValuesCategoryRow;
    default: return cxUnknownValuesCategoryRow;
  }
}

void TMainForm::DeleteChildRows(TcxCategoryRow* ACategory) {
  while (ACategory->GetCount() > 0) ACategory->GetRow(ACategory->GetCount() - 1)->Free();
}

void TMainForm::RebuildValueGrid() {
  TValueRowPlan plan = PlanValueRows(Defs, Statements, CurrentFile);
  {
    cxVGTerrainValues->BeginUpdate();
    // A row that fails to set up must not leave the grid locked.
    orv::ScopeExit endUpdate([this] { cxVGTerrainValues->EndUpdate(); });
    cxVGTerrainValues->SetFocusedRow(nullptr);
    DeleteChildRows(cxOkValuesCategoryRow);
    DeleteChildRows(cxUnknownValuesCategoryRow);
    DeleteChildRows(cxUnusedValuesCategoryRow);
    for (const TValueRowSetup& setup : plan.Rows) {
      auto* row =
          static_cast<TcxEditorRow*>(cxVGTerrainValues->AddChild(CategoryOf(setup.Category), TcxEditorRow::StaticClass()));
      SetupValueRow(row, setup);
    }
    for (TcxCategoryRow* category : {cxOkValuesCategoryRow, cxUnusedValuesCategoryRow, cxUnknownValuesCategoryRow})
      category->SetVisible(category->GetCount() > 0);
  }
  if (plan.InvalidValues) {
    // The defaults shown in their place reach the file only by a Save.
    Modified = true;
    UpdateButtons();
    Tell(*plan.InvalidValues);
  }
  UpdateButtons();
}

void TMainForm::SetupValueRow(TcxEditorRow* ARow, const TValueRowSetup& ASetup) {
  ARow->SetTag(ASetup.Tag);
  TcxEditorRowProperties* properties = ARow->GetProperties();
  properties->SetCaption(ASetup.Caption);
  properties->Hint = ASetup.Hint;
  properties->GetDataBinding()->SetValueTypeClass(ValueTypeClassOf(ASetup.ValueType));
  properties->SetEditPropertiesClass(EditPropertiesClassOf(ASetup.Kind));
  TcxCustomEditProperties* edit = properties->GetEditProperties();
  auto* spin = dynamic_cast<TcxSpinEditProperties*>(edit);
  switch (ASetup.Kind) {
    case vrkIntegerSpin:
    case vrkFloatSpin:
      spin->SetValueType(ASetup.Kind == vrkFloatSpin ? vtFloat : vtInt);
      spin->SetMinValue(ASetup.MinValue);
      spin->SetMaxValue(ASetup.MaxValue);
      break;
    case vrkCheckBox: {
      auto* check = static_cast<TcxCheckBoxProperties*>(edit);
      check->SetAllowGrayed(false);
      check->SetDisplayUnchecked(AnsiToWide(ASetup.DisplayUnchecked));
      check->SetValueUnchecked(ASetup.ValueUnchecked);
      check->SetDisplayChecked(AnsiToWide(ASetup.DisplayChecked));
      check->SetValueChecked(ASetup.ValueChecked);
      break;
    }
    case vrkRadioGroup: {
      auto* radio = static_cast<TcxRadioGroupProperties*>(edit);
      radio->SetDefaultValue(ASetup.DefaultValue);
      for (std::size_t j = 0; j < ASetup.Items.size(); ++j) {
        TcxRadioGroupItem* item = radio->GetItems()->Add();
        item->SetCaption(ASetup.Items[j]);
        item->SetValue(ASetup.FirstItemValue + Integer(j));
      }
      break;
    }
    case vrkComboBox: {
      auto* combo = static_cast<TcxComboBoxProperties*>(edit);
      combo->SetDropDownListStyle(lsFixedList);
      combo->SetHideSelection(false);
      for (const AnsiString& item : ASetup.Items) combo->GetItems()->Add(item);
      break;
    }
    case vrkText: break;
  }
  properties->SetValue(ASetup.Value);
  if (spin) {
    spin->SetIncrement(ASetup.Increment);
    spin->SetLargeIncrement(ASetup.LargeIncrement);
    spin->SetUseCtrlIncrement(true);
  }
  if (ASetup.Kind == vrkComboBox) properties->GetOptions()->SetShowEditButtons(eisbAlways);
}

std::vector<TValueRowContent> TMainForm::ValueRowContents() {
  std::vector<TValueRowContent> rows;
  for (TValueCategory category : {vcOk, vcUnused, vcUnknown}) {
    TcxCategoryRow* parent = CategoryOf(category);
    for (Integer i = 0; i < parent->GetCount(); ++i) {
      TcxCustomRow* row = parent->GetRow(i);
      if (!IsEditorRow(row)) continue;
      TcxEditorRowProperties* properties = PropertiesOf(row);
      rows.push_back({category, Integer(row->GetTag()), properties->GetCaption(), properties->GetValue()});
    }
  }
  return rows;
}

void TMainForm::cxVGTerrainValuesClick(TObject*) { UpdateButtons(); }

void TMainForm::cxVGTerrainValuesKeyUp(TObject*, Word&, TShiftState) { UpdateButtons(); }

void TMainForm::cxVGTerrainValuesEditValueChanged(TObject*, TcxCustomEditorRowProperties*) {
  Modified = true;
  UpdateButtons();
}

// ---------------------------------------------------------------------------
// Writing

void TMainForm::PostValueEditor() {
  // A refused value raises the editor's own error, which stops the caller.
  if (cxVGTerrainValues->IsEditing()) cxVGTerrainValues->HideEdit();
}

bool TMainForm::WriteTerrainFile(const AnsiString& AName) {
  PostValueEditor();
  std::optional<TUserMessage> failure;
  TTerrainStatements written;
  if (frontend::WriteTerrainFile(AName, ValueRowContents(), Defs, Statements, failure, &written)) {
    // The next save goes back from what the rows were written as: a
    // caption picked after this one stands for its item, not for the
    // number the file held before.
    Statements = std::move(written);
    return true;
  }
  if (failure) Tell(*failure);
  return false;
}

AnsiString TMainForm::AskSaveFileName() {
  SaveDialog->SetInitialDir(StartDir);
  SaveDialog->SetFileName(CurrentFile);
  return SaveDialog->Execute() ? SaveDialog->GetFileName() : AnsiString();
}

bool TMainForm::SaveWithDialog(bool ARescan) {
  // The typed value is in the rows before the dialog shows.
  PostValueEditor();
  const AnsiString name = AskSaveFileName();
  if (name.empty() || !WriteTerrainFile(name)) return false;
  SetCurrentFile(name);
  if (ARescan) cxVGTerrainFiles->SetFocusedRow(RebuildFileGrid(true));
  return true;
}

bool TMainForm::SaveCurrentValues() {
  if (CurrentFile.empty()) return SaveWithDialog(false);
  if (!WriteTerrainFile(CurrentFile)) return false;
  Modified = false;
  UpdateButtons();
  return true;
}

void TMainForm::SaveValuesButtonClick(TObject*) { SaveCurrentValues(); }

void TMainForm::SaveAsButtonClick(TObject*) {
  SaveWithDialog(true);
  UpdateButtons();
}

void TMainForm::DefaultsButtonClick(TObject*) {
  PostValueEditor();
  if ((!CurrentFile.empty() || Modified) &&
      Ask("Do you want to set all values to their defaults?", "Are you sure?", win::MB_YESNO | win::MB_ICONQUESTION) !=
          win::IDYES)
    return;
  SetAllDefaults();
  SetCurrentFile({});
  RebuildValueGrid();
  UpdateButtons();
}

// ---------------------------------------------------------------------------
// Dialogs

void TMainForm::ParameterHelpButtonClick(TObject*) {
  TcxCustomRow* row = cxVGTerrainValues->GetFocusedRow();
  if (!IsEditorRow(row) || row->GetParent() == cxUnknownValuesCategoryRow) return;
  const NativeInt i = row->GetTag();
  if (i < 0 || std::size_t(i) >= Defs.size()) return;
  const TParameterDetails details = ParameterDetails(Defs[std::size_t(i)]);
  TOwned<TParameterInfoDlg> dialog(New<TParameterInfoDlg>(this));
  dialog->SetCaption(details.Caption);
  dialog->ParameterTypeLabel->SetCaption(details.TypeName);
  dialog->MinValueLabel->SetCaption(details.Min);
  dialog->MaxValueLabel->SetCaption(details.Max);
  dialog->DefaultValueLabel->SetCaption(details.Default);
  dialog->LongDescriptionMemo->SetText(details.Description);
  dialog->ShowModal();
}

void TMainForm::AboutButtonClick(TObject*) {
  TOwned<TAboutDialog> dialog(New<TAboutDialog>(this));
  dialog->VersionLabel->SetCaption(Format("Version: %d.%02d", {kVersionMajor, kVersionMinor}));
  dialog->ShowModal();
}

// ---------------------------------------------------------------------------
// Generator runs

void TMainForm::RunCurrentValuesButtonClick(TObject*) {
  if (!Runner->IsIdle()) return;
  if (WriteTerrainFile(kTemporaryTerrainFile)) Runner->StartGenerator(kTemporaryTerrainFile, false);
}

void TMainForm::RunBatchButtonClick(TObject*) {
  if (!Runner->IsIdle()) return;
  PostValueEditor();
  if (Modified) {
    const int answer = Ask("Do you want to save the currnt file before proceeding with the batch processing?",
                           "Save currentfile?", win::MB_YESNOCANCEL | win::MB_ICONQUESTION);
    if (answer == win::IDCANCEL) return;
    if (answer == win::IDYES) {
      SaveWithDialog(false);
      UpdateButtons();
    }
  }
  std::vector<TBatchCounter> counters;
  TcxVerticalGridRows* rows = cxVGTerrainFiles->GetRows();
  for (Integer i = 0; i < rows->GetCount(); ++i) {
    TcxCustomRow* row = rows->GetRow(i);
    // A row that reaches no file has nothing for the generator: its name
    // would hand it another file.
    if (IsEditorRow(row) && FileInfoOf(row) && FileInfoOf(row)->Reachable)
      counters.push_back({FileInfoOf(row)->Path, PropertiesOf(row)->GetValue()});
  }
  std::vector<AnsiString> entries = ExpandBatch(counters);
  if (entries.empty()) {
    Tell(NoBatchFilesMessage());
    return;
  }
  Runner->StartBatch(std::move(entries));
}

void TMainForm::TarvikTimerTimer(TObject*) { Runner->Poll(); }

void TMainForm::SetPollTimer(bool AEnabled) { TarvikTimer->SetEnabled(AEnabled); }

void TMainForm::LogLine(const AnsiString& AText, TColor AColor, bool ABold) {
  LogWindow->SetSelStart(LogWindow->GetTextLen());
  LogWindow->GetSelAttributes()->SetColor(AColor);
  LogWindow->GetSelAttributes()->SetStyle(ABold ? TFontStyles{fsBold} : TFontStyles{});
  LogWindow->GetLines()->Add(AText);
  LogWindow->SetSelStart(LogWindow->GetTextLen());
  win::SendMessageA(LogWindow->GetHandle(), win::EM_SCROLLCARET, 0, 0);
}

void TMainForm::ClearLogButtonClick(TObject*) { LogWindow->GetLines()->Clear(); }
