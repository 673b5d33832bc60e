// The program's one window: the terrain files below the start directory
// with a batch counter each, the picked file's parameters as typed rows,
// the buttons that save, reset and run the generator, and the coloured log.
//
// The window is thin: reading and writing files, the rows as data, the
// scan of the tree and the generator runs live in app/core; here they
// become grid rows, message boxes and log lines, and the rows' values go
// back to them. The layout is the text layout "tmainform.layout".
//
// No edit is ever lost: picking another file with unsaved values asks
// first, a file that cannot be read changes nothing, every write first
// posts the value an open editor holds, and a save without a file offers
// the save dialog.
#pragma once

#include <memory>
#include <vector>

#include "app/core/GeneratorRuns.h"
#include "app/core/ParameterDefinitions.h"
#include "app/core/TerrainFileTree.h"
#include "app/core/TerrainFiles.h"
#include "app/core/ValueRows.h"
#include "library/foundation/cxButtons.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/controls/RichEdit.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Timer.h"

class TMainForm : public TForm, private frontend::IGeneratorRunHost {
  ORV_CLASS(TMainForm, TForm)
 public:
  explicit TMainForm(TComponent* AOwner);
  TMainForm(TComponent* AOwner, bool CreateNewForm) : TForm(AOwner, CreateNewForm) {}
  // The start directory is read and the buttons set once the layout is in.
  void AfterConstruction() override;
  // The run's process handle is closed; a generator still running goes on.
  ~TMainForm() override;

  // ---- Components of the layout ----
  TcxVerticalGrid* cxVGTerrainFiles = nullptr;
  TcxVerticalGrid* cxVGTerrainValues = nullptr;
  TcxCategoryRow* cxOkValuesCategoryRow = nullptr;
  TBevel* MiddleBevel = nullptr;
  TcxCategoryRow* cxUnusedValuesCategoryRow = nullptr;
  TcxCategoryRow* cxUnknownValuesCategoryRow = nullptr;
  TcxButton* RunBatchButton = nullptr;
  TcxButton* SaveValuesButton = nullptr;
  TcxButton* RunCurrentValuesButton = nullptr;
  TcxButton* ParameterHelpButton = nullptr;
  TLabel* Label1 = nullptr;
  TcxButton* SaveAsButton = nullptr;
  TcxButton* DefaultsButton = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* CurrentFileLabel = nullptr;
  TLabel* Label3 = nullptr;
  TcxButton* ClearLogButton = nullptr;
  TRichEdit* LogWindow = nullptr;
  TTimer* TarvikTimer = nullptr;
  TcxButton* AboutButton = nullptr;
  TSaveDialog* SaveDialog = nullptr;

  // ---- Handlers bound by the layout ----
  void FormShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void cxVGTerrainFilesClick(TObject* Sender);
  void cxVGTerrainFilesKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void cxVGTerrainValuesClick(TObject* Sender);
  void cxVGTerrainValuesKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void cxVGTerrainValuesEditValueChanged(TObject* Sender, TcxCustomEditorRowProperties* ARowProperties);
  void ParameterHelpButtonClick(TObject* Sender);
  void RunCurrentValuesButtonClick(TObject* Sender);
  void RunBatchButtonClick(TObject* Sender);
  void TarvikTimerTimer(TObject* Sender);
  void ClearLogButtonClick(TObject* Sender);
  void SaveValuesButtonClick(TObject* Sender);
  void SaveAsButtonClick(TObject* Sender);
  void DefaultsButtonClick(TObject* Sender);
  void AboutButtonClick(TObject* Sender);

  // ---- Operations the handlers share ----
  // The file whose values are shown (empty: none); the label follows and
  // the values count as unmodified. The buttons are not updated.
  void SetCurrentFile(const AnsiString& AName);
  void UpdateButtons() override;

  const AnsiString& GetStartDir() const { return StartDir; }
  const AnsiString& GetCurrentFile() const { return CurrentFile; }
  bool GetModified() const { return Modified; }
  const frontend::TDefinitionTable& GetDefs() const { return Defs; }
  const frontend::TGeneratorRunner& GetRunner() const { return *Runner; }

 private:
  // Definitions (read at show).
  bool LoadDefinitions();
  // The file grid: rebuilt from the tree below the start directory; with
  // AClear the rows and their records go first, and the batch counters
  // are carried over by path. Answers the current file's row, if listed.
  TcxEditorRow* RebuildFileGrid(bool AClear);
  void SelectTerrainFile();
  // The file row holding APath, or none.
  TcxEditorRow* FileRowOf(const AnsiString& APath);
  // Puts the file grid's focus back on the current file's row (none when
  // it is not listed).
  void FocusCurrentFileRow();
  // The value grid.
  bool ReadTerrainFile(const AnsiString& APath);
  void RebuildValueGrid();
  void DeleteChildRows(TcxCategoryRow* ACategory);
  void SetupValueRow(TcxEditorRow* ARow, const frontend::TValueRowSetup& ASetup);
  TcxCategoryRow* CategoryOf(frontend::TValueCategory ACategory) const;
  std::vector<frontend::TValueRowContent> ValueRowContents();
  // Writing. Every write first posts what an open editor of the value grid
  // holds; an editor that refuses its value stops the write with its own
  // message.
  void PostValueEditor();
  bool WriteTerrainFile(const AnsiString& AName);
  void SetAllDefaults();
  AnsiString AskSaveFileName();
  bool SaveWithDialog(bool ARescan);
  // Save to the current file, or through the dialog when there is none.
  bool SaveCurrentValues();

  // IGeneratorRunHost
  void LogLine(const AnsiString& AText, TColor AColor, bool ABold) override;
  void ShowMessage(const frontend::TUserMessage& AMessage) override;
  void SetPollTimer(bool AEnabled) override;

  int Ask(const AnsiString& AText, const AnsiString& ACaption, win::UINT AFlags);
  void Tell(const frontend::TUserMessage& AMessage);

  AnsiString StartDir;
  AnsiString CurrentFile;
  frontend::TDefinitionTable Defs;
  bool Modified = false;
  // The run state: GeneratorPid, BatchRunning, BatchIndex and BatchList.
  std::unique_ptr<frontend::TGeneratorRunner> Runner;
  // Keys and Values of the shown file, in file order; after a write, those
  // written.
  frontend::TTerrainStatements Statements;
  // The records of the file rows (their Tag points at them).
  std::vector<std::unique_ptr<frontend::TERRAIN_FILE_INFO>> FileInfos;
};
