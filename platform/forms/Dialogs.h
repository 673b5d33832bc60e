// File dialogs: one of our own forms with the folder, the files the filter
// lets through, a name field and the filter box. Execute answers whether a
// file was chosen; FileName then holds its full path. The dialogs never
// change the process's current directory.
#pragma once

#include "platform/rtl/Component.h"
#include "platform/rtl/StringList.h"

ORV_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
         ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware,
         ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog,
         ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden)
using TOpenOptions = Set<TOpenOption>;

class TOpenDialog : public TComponent {
  ORV_CLASS(TOpenDialog, TComponent)
 public:
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;

  const AnsiString& GetTitle() const { return FTitle; }
  void SetTitle(const AnsiString& Value) { FTitle = Value; }
  // "description|pattern|description|pattern..."; a pattern may list
  // several masks separated by ';'.
  const AnsiString& GetFilter() const { return FFilter; }
  void SetFilter(const AnsiString& Value) { FFilter = Value; }
  // 1-based.
  Integer GetFilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(Integer Value) { FFilterIndex = Value; }
  // Added, with a dot, to a typed name without an extension.
  const AnsiString& GetDefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const AnsiString& Value);
  const AnsiString& GetInitialDir() const { return FInitialDir; }
  void SetInitialDir(const AnsiString& Value) { FInitialDir = Value; }
  const AnsiString& GetFileName() const { return FFileName; }
  void SetFileName(const AnsiString& Value) { FFileName = Value; }
  TStrings* GetFiles() const { return FFiles; }
  TOpenOptions GetOptions() const { return FOptions; }
  void SetOptions(TOpenOptions Value) { FOptions = Value; }

  virtual bool Execute();

  TNotifyEvent OnShow, OnClose;

 protected:
  virtual bool IsSaveDialog() const { return false; }
  // Checks a typed name against the options (asking about an overwrite
  // when told to) and answers the full path, or empty when refused.
  AnsiString Accept(const AnsiString& Typed, const AnsiString& Folder);
  // The folder a relative name is taken from.
  AnsiString StartFolder() const;
  bool RunForm();

 private:
  AnsiString FTitle;
  AnsiString FFilter;
  Integer FFilterIndex = 1;
  AnsiString FDefaultExt;
  AnsiString FInitialDir;
  AnsiString FFileName;
  TStringList* FFiles;
  TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
  ORV_CLASS(TSaveDialog, TOpenDialog)
 public:
  using TOpenDialog::TOpenDialog;

 protected:
  bool IsSaveDialog() const override { return true; }
};

// The dialogs for pictures start with the filter of every registered
// picture format.
class TOpenPictureDialog : public TOpenDialog {
  ORV_CLASS(TOpenPictureDialog, TOpenDialog)
 public:
  explicit TOpenPictureDialog(TComponent* AOwner);
};

class TSavePictureDialog : public TSaveDialog {
  ORV_CLASS(TSavePictureDialog, TSaveDialog)
 public:
  explicit TSavePictureDialog(TComponent* AOwner);
};

// The (description, pattern) pairs of a filter text.
std::vector<std::pair<AnsiString, AnsiString>> ParseFilter(const AnsiString& Filter);
