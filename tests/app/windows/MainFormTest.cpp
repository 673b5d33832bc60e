// The main window's handlers on the headless back end: start-up, the
// buttons' states, the parameter details and the about box, and the
// pictures of the window and its dialogs.
#include "MainFormSession.h"

#include "app/Aboutdlg.h"
#include "app/Paraminfodlg.h"
#include "library/editors/core/cxDropDownEdit.h"
#include "library/editors/core/cxTextEditViewInfo.h"
#include "platform/gdi/Fonts.h"
#include "platform/win/Metrics.h"
#include "platform/gdi/Text.h"
#include "platform/forms/Screen.h"
#include "platform/gdi/Fills.h"
#include "platform/theme/ThemeState.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"

using namespace app_test;

namespace {

class MainForm : public MainFormSession {
 protected:
  // The window's pixels as the headless screen holds them, for a person to
  // look at.
  void Snapshot(TCustomForm* AForm, const std::string& AName) {
    std::filesystem::create_directories(kSnapshotsDir);
    const auto* data = win::detail::Peek(AForm->GetHandle());
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(session.Win().Screen().SavePng(data->surface, kSnapshotsDir + "/" + AName + ".png")) << AName;
  }
};

TEST_F(MainForm, StartsWithTheTreeTheCategoriesAndOnlyTheButtonsThatCanAct) {
  CopyExamples();
  Start();
  EXPECT_EQ(form->GetCaption(), "Orvanta");
  EXPECT_EQ(Application->GetTitle(), "");  // the entry code sets it, not the window
  EXPECT_EQ(form->GetClientWidth(), 588);
  EXPECT_EQ(form->GetClientHeight(), 519);
  EXPECT_EQ(form->GetStartDir(), tmp.Path());
  EXPECT_EQ(form->CurrentFileLabel->GetCaption(), "<NONE>");
  EXPECT_EQ(EnabledButtons(), "Run Batch, Defaults, Clear Log, About...");
  EXPECT_EQ(ValueOutline(), "Ok Values\nUnused Values\nUnknown Values\n") << "only the designed categories";
  Snapshot(form, "main-started");

  // The file grid: the folders depth first, each with its files first.
  std::string files;
  TcxVerticalGridRows* rows = form->cxVGTerrainFiles->GetRows();
  for (Integer i = 0; i < rows->GetCount(); ++i) {
    TcxCustomRow* row = rows->GetRow(i);
    if (auto* file = dynamic_cast<TcxEditorRow*>(row))
      files += std::string(size_t(2 * row->GetLevel()), ' ') + file->GetProperties()->GetCaption() + " [" +
               VarToStr(file->GetProperties()->GetValue()) + "]\n";
    else
      files += std::string(size_t(2 * row->GetLevel()), ' ') +
               static_cast<TcxCategoryRow*>(row)->GetProperties()->GetCaption() + "\n";
  }
  EXPECT_EQ(files,
            "./\n"
            "  lowlands.tt [0]\n"
            "  ./maps/\n"
            "    alpine.tt [0]\n"
            "    island chain.tt [0]\n"
            "    ./maps/deep/\n"
            "      desert.tt [0]\n");

  // A picked file shows its rows; the details follow the focused row.
  PickFile("maps/alpine.tt");
  EXPECT_EQ(form->GetCurrentFile(), tmp / "maps/alpine.tt");
  EXPECT_EQ(form->CurrentFileLabel->GetCaption(), tmp / "maps/alpine.tt");
  EXPECT_EQ(EnabledButtons(), "Run Batch, Run Current Values, Save as..., Defaults, Clear Log, About...");
  form->cxVGTerrainValues->SetFocusedRow(ValueRow("Climate"));
  form->cxVGTerrainValuesClick(form->cxVGTerrainValues);
  EXPECT_TRUE(form->ParameterHelpButton->GetEnabled());
  form->cxVGTerrainValues->SetFocusedRow(form->cxUnusedValuesCategoryRow);
  form->cxVGTerrainValuesClick(form->cxVGTerrainValues);
  EXPECT_FALSE(form->ParameterHelpButton->GetEnabled()) << "a category row has no details";

  form->cxVGTerrainValues->SetFocusedRow(ValueRow("Map width"));
  form->cxVGTerrainValuesClick(form->cxVGTerrainValues);
  ASSERT_TRUE(form->ParameterHelpButton->GetEnabled());
  std::string seen;
  win::test::OnNextModalLoop([&] {
    auto* dialog = dynamic_cast<TParameterInfoDlg*>(Screen->GetActiveForm());
    ASSERT_NE(dialog, nullptr);
    seen = dialog->GetCaption() + "|" + dialog->ParameterTypeLabel->GetCaption() + "|" +
           dialog->MinValueLabel->GetCaption() + "|" + dialog->MaxValueLabel->GetCaption() + "|" +
           dialog->DefaultValueLabel->GetCaption() + "|" + dialog->LongDescriptionMemo->GetLines()->Get(1);
    EXPECT_EQ(dialog->GetClientWidth(), 341);
    Snapshot(dialog, "parameter-details");
    win::test::KeyPress(win::VK_RETURN);  // the OK button is the default one
  });
  form->ParameterHelpButtonClick(form->ParameterHelpButton);
  EXPECT_EQ(seen, "Details for 'Map width'|Number without Decimals|16|512|128|Must be a multiple of 8.");

  win::test::OnNextModalLoop([&] {
    auto* dialog = dynamic_cast<TAboutDialog*>(Screen->GetActiveForm());
    ASSERT_NE(dialog, nullptr);
    seen = dialog->GetCaption() + "|" + dialog->VersionLabel->GetCaption();
    // The landscape is drawn by the time the box shows.
    TGraphic* picture = dialog->Picture->GetPicture()->GetGraphic();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetWidth(), 81);
    Snapshot(dialog, "about");
    win::test::KeyPress(win::VK_RETURN);
  });
  form->AboutButtonClick(form->AboutButton);
  EXPECT_EQ(seen, "About Orvanta|Version: 1.04");
  Pump();
  for (Integer i = 0; i < form->GetComponentCount(); ++i)
    EXPECT_EQ(dynamic_cast<TCustomForm*>(form->GetComponent(i)), nullptr) << "each dialog lives only while it shows";

  // An unknown key's row has no details either.
  form->cxVGTerrainValues->SetFocusedRow(ValueRow("seed"));
  Word key = win::VK_DOWN;
  form->cxVGTerrainValuesKeyUp(form->cxVGTerrainValues, key, {});
  EXPECT_FALSE(form->ParameterHelpButton->GetEnabled());
  Snapshot(form, "main-file-loaded");
}

TEST_F(MainForm, TheListDropsFromItsRowAndTheButtonsFollowTheThemeSwitch) {
  CopyExamples();
  Start();
  PickFile("lowlands.tt");
  // The drop-down list opens from its row's editor with F4 and shows the
  // captions; Escape closes it and changes nothing.
  TcxEditorRow* season = ValueRow("Season");
  form->cxVGTerrainValues->SetFocus();
  form->cxVGTerrainValues->SetFocusedRow(season);
  form->cxVGTerrainValues->ShowEdit();
  auto* combo = dynamic_cast<TcxCustomDropDownEdit*>(form->cxVGTerrainValues->GetInplaceEditor());
  ASSERT_NE(combo, nullptr);
  win::test::KeyPress(win::VK_F4);
  Pump();
  ASSERT_TRUE(combo->GetDroppedDown());
  Snapshot(form, "main-list-owner");
  Snapshot(combo->GetPopupWindow(), "main-list-dropped");
  win::test::KeyPress(win::VK_ESCAPE);
  Pump();
  EXPECT_FALSE(combo->GetDroppedDown());
  form->cxVGTerrainValues->HideEdit();
  EXPECT_EQ(VarToStr(season->GetProperties()->GetValue()), "Summer");

  // The push buttons draw through the theme module while themes are on,
  // and classically when they are switched off.
  const auto buttonFace = [&] {
    win::HDC dc = win::GetDC(form->AboutButton->GetHandle());
    const auto c = win::GetPixel(dc, 20, 3);
    win::ReleaseDC(form->AboutButton->GetHandle(), dc);
    return c;
  };
  form->Repaint();
  Pump();
  const auto themed = buttonFace();
  Snapshot(form, "main-themes-on");
  win::SetThemesActive(false);
  Pump();
  // (A switch reaches the top-level windows; the buttons are drawn
  // again here, as a window passing over them would have them drawn.)
  for (TcxButton* button : {form->AboutButton, form->DefaultsButton, form->RunBatchButton, form->ClearLogButton,
                            form->SaveAsButton, form->SaveValuesButton, form->RunCurrentValuesButton,
                            form->ParameterHelpButton})
    button->Invalidate();
  Pump();
  EXPECT_NE(buttonFace(), themed);
  Snapshot(form, "main-themes-off");
  win::SetThemesActive(true);
  Pump();
}

// A list row's editor keeps its selection in sight (HideSelection off):
// after a pick, with the focus still there, the value shows selected as a
// one-line edit shows its selection, the text on the highlight and the
// rest of the field in the window colour. (The whole field used to turn
// the highlight colour, the text inverted on white.)
TEST_F(MainForm, APickedListValueShowsSelectedAsAnEditShowsItsSelection) {
  CopyExamples();
  Start();
  PickFile("lowlands.tt");
  win::SetTextRenderMode(win::TextRenderMode::Monochrome);
  form->cxVGTerrainValues->SetFocus();
  form->cxVGTerrainValues->SetFocusedRow(ValueRow("Season"));
  form->cxVGTerrainValues->ShowEdit();
  auto* combo = dynamic_cast<TcxCustomDropDownEdit*>(form->cxVGTerrainValues->GetInplaceEditor());
  ASSERT_NE(combo, nullptr);
  for (win::BYTE key : {win::VK_F4, win::VK_DOWN, win::VK_RETURN}) {
    win::test::KeyPress(key);
    Pump();
  }
  ASSERT_FALSE(combo->GetDroppedDown());
  ASSERT_TRUE(form->cxVGTerrainValues->IsEditing()) << "the editor keeps the focus after the pick";
  TcxCustomTextEditViewInfo* info = combo->GetViewInfo();
  ASSERT_EQ(info->Text, "Autumn");
  Snapshot(form, "main-list-picked");

  win::HDC measure = win::CreateCompatibleDC(nullptr);
  win::SelectObject(measure, ToObj(info->Font->GetHandle()));
  win::SIZE text{};
  win::GetTextExtentPoint32A(measure, "Autumn", 6, &text);
  win::DeleteDC(measure);
  const TRect r = info->TextRect;
  const Integer buttonLeft = info->ButtonInfos[0]->Bounds.Left;
  ASSERT_LT(r.Left + text.cx + 2, buttonLeft - 1);
  win::HDC dc = win::GetDC(combo->GetHandle());
  const auto count = [&](TRect area, win::DWORD colour) {
    int n = 0;
    for (Integer y = area.Top; y < area.Bottom; ++y)
      for (Integer x = area.Left; x < area.Right; ++x) n += win::GetPixel(dc, x, y) == colour;
    return n;
  };
  const TRect band(r.Left, r.Top, r.Left + text.cx, r.Bottom);
  const TRect rest(r.Left + text.cx + 2, r.Top, buttonLeft - 1, r.Bottom);
  const int lit = count(band, win::GetSysColor(win::COLOR_HIGHLIGHT));
  const int window = count(rest, win::GetSysColor(win::COLOR_WINDOW));
  win::ReleaseDC(combo->GetHandle(), dc);
  win::SetTextRenderMode(win::TextRenderMode::Grayscale);
  EXPECT_GT(lit, band.Width() * band.Height() / 2) << "the text is on the highlight";
  EXPECT_EQ(window, rest.Width() * rest.Height()) << "the field beyond the text is in the window colour";
  form->cxVGTerrainValues->HideEdit();
}

TEST_F(MainForm, AMissingDefinitionFileClosesTheWindowBeforeItShows) {
  cd = std::make_unique<CurrentDirGuard>(tmp.Path());
  forms::test::AnswerMessageBox(win::IDOK);
  form = New<TMainForm>(Application);
  form->Show();
  Pump();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"File Open Error: Can't open definition file\ntarvikwin.tdf\nThis file "
                                               "is required.\n\nNo such file or directory"}));
  EXPECT_FALSE(form->GetVisible());
  EXPECT_EQ(form->cxVGTerrainFiles->GetRows()->GetCount(), 0) << "the tree is not read";
}

}  // namespace
