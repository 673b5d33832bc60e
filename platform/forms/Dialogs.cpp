#include "platform/forms/Dialogs.h"

#include <algorithm>
#include <functional>

#include "platform/forms/Application.h"
#include "platform/forms/DialogControls.h"
#include "platform/forms/Graphic.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/FindFiles.h"
#include "platform/rtl/StrUtils.h"

using namespace win;

std::vector<std::pair<AnsiString, AnsiString>> ParseFilter(const AnsiString& Filter) {
  std::vector<std::pair<AnsiString, AnsiString>> out;
  std::vector<AnsiString> parts;
  std::size_t start = 0;
  while (start <= Filter.size()) {
    std::size_t bar = Filter.find('|', start);
    if (bar == AnsiString::npos) bar = Filter.size();
    parts.push_back(Filter.substr(start, bar - start));
    start = bar + 1;
  }
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) out.emplace_back(parts[i], parts[i + 1]);
  return out;
}

namespace {

std::vector<AnsiString> Masks(const AnsiString& Pattern) {
  std::vector<AnsiString> masks;
  std::size_t start = 0;
  while (start <= Pattern.size()) {
    std::size_t semi = Pattern.find(';', start);
    if (semi == AnsiString::npos) semi = Pattern.size();
    AnsiString mask = Trim(Pattern.substr(start, semi - start));
    if (!mask.empty()) masks.push_back(mask);
    start = semi + 1;
  }
  if (masks.empty()) masks.push_back("*");
  return masks;
}

bool IsAbsolute(const AnsiString& Path) { return !Path.empty() && Path[0] == '/'; }

}  // namespace

ORV_REGISTER(TOpenDialog, ORV_PROP(Title), ORV_PROP(Filter), ORV_PROP(FilterIndex).Default(1), ORV_PROP(DefaultExt),
             ORV_PROP(InitialDir), ORV_PROP(FileName),
             ORV_PROP(Options).Default(TOpenOptions{ofHideReadOnly, ofEnableSizing}.ToBits()), ORV_EVENT(OnShow),
             ORV_EVENT(OnClose))
ORV_REGISTER(TSaveDialog)
ORV_REGISTER(TOpenPictureDialog)
ORV_REGISTER(TSavePictureDialog)

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner) {
  SetFilter(TPicture::GraphicFilter(TGraphic::StaticClass()));
}

TSavePictureDialog::TSavePictureDialog(TComponent* AOwner) : TSaveDialog(AOwner) {
  SetFilter(TPicture::GraphicFilter(TGraphic::StaticClass()));
}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) { FFiles = New<TStringList>(); }

TOpenDialog::~TOpenDialog() { FreeAndNil(FFiles); }

void TOpenDialog::SetDefaultExt(const AnsiString& Value) {
  // Kept without a leading dot: it is added when used.
  FDefaultExt = !Value.empty() && Value[0] == '.' ? Value.substr(1) : Value;
}

AnsiString TOpenDialog::StartFolder() const {
  // A file name with its folder opens that folder: the field shows the
  // name alone, and Enter must mean that file, not one of the same name in
  // the initial folder.
  if (!FFileName.empty() && IsAbsolute(FFileName) && DirectoryExists(ExtractFileDir(FFileName)))
    return ExtractFileDir(FFileName);
  if (!FInitialDir.empty()) return ExcludeTrailingPathDelimiter(ExpandFileName(FInitialDir));
  return GetCurrentDir();
}

AnsiString TOpenDialog::Accept(const AnsiString& Typed, const AnsiString& Folder) {
  AnsiString name = Trim(Typed);
  if (name.empty()) return {};
  AnsiString path = IsAbsolute(name) ? name : IncludeTrailingPathDelimiter(Folder) + name;
  if (ExtractFileExt(ExtractFileName(path)).empty() && !FDefaultExt.empty()) path += "." + FDefaultExt;
  AnsiString caption = FTitle.empty() ? AnsiString(IsSaveDialog() ? "Save As" : "Open") : FTitle;
  AnsiString dir = ExtractFileDir(path);
  if ((FOptions.Contains(ofPathMustExist) || FOptions.Contains(ofFileMustExist)) && !DirectoryExists(dir)) {
    MessageBoxA(nullptr, (path + "\nThe folder does not exist.\nCheck the path and try again.").c_str(),
                caption.c_str(), MB_OK | MB_ICONWARNING);
    return {};
  }
  if (FOptions.Contains(ofFileMustExist) && !FileExists(path)) {
    MessageBoxA(nullptr, (path + "\nFile not found.\nCheck the file name and try again.").c_str(), caption.c_str(),
                MB_OK | MB_ICONWARNING);
    return {};
  }
  if (IsSaveDialog() && FOptions.Contains(ofOverwritePrompt) && FileExists(path)) {
    if (MessageBoxA(nullptr, (path + " already exists.\nDo you want to replace it?").c_str(), caption.c_str(),
                    MB_YESNO | MB_ICONWARNING) != IDYES)
      return {};
  }
  return path;
}

bool TOpenDialog::Execute() {
  forms::test::FileDialogCall call;
  call.Save = IsSaveDialog();
  call.Title = FTitle;
  call.Filter = FFilter;
  call.FilterIndex = FFilterIndex;
  call.InitialDir = FInitialDir;
  call.FileName = FFileName;
  call.DefaultExt = FDefaultExt;
  call.Options = static_cast<Int64>(FOptions.ToBits());
  AnsiString answer;
  bool cancelled = false;
  // Scripted: a refused answer leaves the dialog open for the next one.
  while (forms::detail::ScriptedFileDialog(call, answer, cancelled)) {
    if (cancelled) return false;
    AnsiString path = Accept(answer, StartFolder());
    if (!path.empty()) {
      FFileName = path;
      FFiles->Clear();
      FFiles->Add(path);
      return true;
    }
  }
  return RunForm();
}

namespace {

// The dialog's form: folders on the left, files on the right, below them
// the name field and the drop-down list of the filters, each with its
// label.
class TFileForm : public TForm {
  ORV_CLASS(TFileForm, TForm)
 public:
  using TForm::TForm;

  TOpenDialog* Dialog = nullptr;
  AnsiString Folder;
  AnsiString Chosen;
  std::vector<std::pair<AnsiString, AnsiString>> Filters;
  TLabel* FolderLabel = nullptr;
  TDialogList* Folders = nullptr;
  TDialogList* FileList = nullptr;
  TDialogEdit* Name = nullptr;
  TDialogDropDown* FilterBox = nullptr;
  std::function<AnsiString(const AnsiString&, const AnsiString&)> accept;

  void Fill() {
    FolderLabel->SetCaption(Folder);
    auto& dirs = Folders->Items();
    dirs.clear();
    if (Folder != "/") dirs.push_back("..");
    auto& files = FileList->Items();
    files.clear();
    std::vector<AnsiString> masks{"*"};
    Integer index = FilterBox->GetItemIndex();
    if (index >= 0 && index < static_cast<Integer>(Filters.size()))
      masks = Masks(Filters[static_cast<std::size_t>(index)].second);
    TSearchRec rec;
    if (FindFirst(IncludeTrailingPathDelimiter(Folder) + "*", faDirectory, rec) == 0) {
      do {
        if (rec.Attr & faDirectory) {
          dirs.push_back(rec.Name);
        } else if (std::any_of(masks.begin(), masks.end(),
                               [&rec](const AnsiString& m) { return MatchesMask(rec.Name, m); })) {
          files.push_back(rec.Name);
        }
      } while (FindNext(rec) == 0);
      FindClose(rec);
    }
    // Nothing in the new lists has been chosen yet: a row left lit from
    // the lists before would name a folder or file nobody picked.
    Folders->ItemsChanged();
    Folders->SetItemIndex(-1);
    FileList->ItemsChanged();
    FileList->SetItemIndex(-1);
  }

  void Enter(const AnsiString& Sub) {
    if (Sub == "..")
      Folder = ExtractFileDir(ExcludeTrailingPathDelimiter(Folder));
    else
      Folder = IncludeTrailingPathDelimiter(Folder) + Sub;
    if (Folder.empty()) Folder = "/";
    Fill();
  }

  void FolderOpen(TObject*) {
    if (Folders->GetItemIndex() >= 0) Enter(Folders->Selected());
  }
  void FileClick(TObject*) {
    if (FileList->GetItemIndex() >= 0) Name->SetText(FileList->Selected());
  }
  void FilterChange(TObject*) { Fill(); }

  bool CloseQuery() override {
    if (FModalResult != mrOk) return inherited::CloseQuery();
    // Enter on the folders opens the one chosen there, as a double click
    // does, rather than taking the name in the field in the folder shown.
    if (Folders->Focused() && Folders->GetItemIndex() >= 0) {
      Enter(Folders->Selected());
      return false;
    }
    AnsiString typed = Trim(Name->GetText());
    // A folder typed or chosen opens instead of closing.
    if (!typed.empty() && DirectoryExists(IncludeTrailingPathDelimiter(Folder) + typed)) {
      Enter(typed);
      Name->SetText("");
      return false;
    }
    Chosen = accept(typed, Folder);
    return !Chosen.empty() && inherited::CloseQuery();
  }
};

ORV_REGISTER(TFileForm)

}  // namespace

bool TOpenDialog::RunForm() {
  auto* form = TCustomForm::CreateNew<TFileForm>(nullptr);
  bool result = false;
  try {
    form->Dialog = this;
    form->accept = [this](const AnsiString& typed, const AnsiString& folder) { return Accept(typed, folder); };
    form->SetBorderStyle(FOptions.Contains(ofEnableSizing) ? bsSizeable : bsDialog);
    form->SetCaption(FTitle.empty() ? AnsiString(IsSaveDialog() ? "Save As" : "Open") : FTitle);
    form->SetPosition(poScreenCenter);
    form->SetClientWidth(430);
    form->SetClientHeight(274);
    form->Folder = StartFolder();
    form->Filters = ParseFilter(FFilter);

    form->FolderLabel = New<TLabel>(form);
    form->FolderLabel->SetBounds(8, 8, 400, 15);
    form->FolderLabel->SetParent(form);
    // A dialog the user may size grows its lists; the fields and buttons
    // keep to the bottom edge, the buttons to the right one.
    const TAnchors top{akLeft, akTop, akRight}, bottom{akLeft, akBottom}, corner{akRight, akBottom};
    form->FolderLabel->SetAnchors(top);
    form->Folders = New<TDialogList>(form);
    form->Folders->SetBounds(8, 28, 150, 180);
    form->Folders->SetParent(form);
    form->Folders->SetAnchors({akLeft, akTop, akBottom});
    form->Folders->OnDblClick = TNotifyEvent::Bind<&TFileForm::FolderOpen>(form);
    form->FileList = New<TDialogList>(form);
    form->FileList->SetBounds(166, 28, 256, 180);
    form->FileList->SetParent(form);
    form->FileList->SetAnchors({akLeft, akTop, akRight, akBottom});
    form->FileList->OnChange = TNotifyEvent::Bind<&TFileForm::FileClick>(form);
    const auto label = [form, bottom](const char* ACaption, Integer ATop) {
      auto* l = New<TLabel>(form);
      l->SetCaption(ACaption);
      l->SetBounds(8, ATop, 80, 15);
      l->SetParent(form);
      l->SetAnchors(bottom);
    };
    label("File name:", 220);
    form->Name = New<TDialogEdit>(form);
    form->Name->SetBounds(90, 216, 248, 21);
    form->Name->SetParent(form);
    form->Name->SetAnchors(bottom + akRight);
    form->Name->SetText(ExtractFileName(FFileName));
    label(IsSaveDialog() ? "Save as type:" : "Files of type:", 247);
    form->FilterBox = New<TDialogDropDown>(form);
    form->FilterBox->SetBounds(90, 243, 248, 21);
    form->FilterBox->SetParent(form);
    form->FilterBox->SetAnchors(bottom + akRight);
    for (const auto& f : form->Filters) form->FilterBox->Items().push_back(f.first);
    form->FilterBox->ItemsChanged();
    if (!form->Filters.empty())
      form->FilterBox->SetItemIndex(std::clamp(FFilterIndex, 1, static_cast<Integer>(form->Filters.size())) - 1);
    form->FilterBox->OnChange = TNotifyEvent::Bind<&TFileForm::FilterChange>(form);
    auto* ok = New<TDialogButton>(form);
    ok->SetCaption(IsSaveDialog() ? "&Save" : "&Open");
    ok->SetBounds(347, 215, 75, 23);
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    ok->SetParent(form);
    ok->SetAnchors(corner);
    auto* cancel = New<TDialogButton>(form);
    cancel->SetCaption("Cancel");
    cancel->SetBounds(347, 243, 75, 23);
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);
    cancel->SetParent(form);
    cancel->SetAnchors(corner);
    // Never smaller than it opens: below that its fields would overlap.
    form->GetConstraints()->SetMinWidth(form->GetWidth());
    form->GetConstraints()->SetMinHeight(form->GetHeight());
    form->SetActiveControl(form->Name);
    form->Fill();

    if (OnShow) OnShow(this);
    if (form->ShowModal() == mrOk && !form->Chosen.empty()) {
      FFileName = form->Chosen;
      FFiles->Clear();
      FFiles->Add(form->Chosen);
      if (!form->Filters.empty()) FFilterIndex = form->FilterBox->GetItemIndex() + 1;
      result = true;
    }
    if (OnClose) OnClose(this);
  } catch (...) {
    form->Free();
    throw;
  }
  form->Free();
  return result;
}
