// The program on a private Xvfb display, started exactly as main starts it
// (OrvantaMain, the X11 back end, real time, real message boxes and
// dialogs) in a temporary copy of the examples with the sample generator
// as tarvik.exe. A driver thread plays the user through XTest and answers
// every box and dialog with keys; the pictures read back from the server
// go to snapshots/ (x-*.png).
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "XvfbSession.h"
#include "app/Orvanta.h"
#include "app/Tarvikui.h"
#include "library/editors/core/cxDropDownEdit.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/core/cxTextEditLookupData.h"
#include "library/editors/cxSpinEdit.h"
#include "platform/win/Metrics.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/forms/Application.h"
#include "platform/forms/Screen.h"
#include "platform/win/WindowData.h"
#include "platform/x11/X11Connection.h"
#include "support/TempDir.h"

using namespace app_test;
using Lines = std::vector<std::string>;

namespace {

class ProgramOnX : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!win::x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
    CopyExamples(tmp);
    namespace fs = std::filesystem;
    fs::copy_file(ORVANTA_SAMPLE_GENERATOR, tmp / "tarvik.exe");
    ASSERT_TRUE(server.Running()) << "Xvfb did not start";
    setenv("DISPLAY", server.Display().c_str(), 1);
    setenv("TARVIK_SAMPLE_LOG", (tmp / "received.log").c_str(), 1);
    unsetenv("TARVIK_SAMPLE_MODE");
  }
  void TearDown() override {
    if (hanging > 0) kill(hanging, SIGKILL);
    unsetenv("TARVIK_SAMPLE_LOG");
    unsetenv("TARVIK_SAMPLE_MODE");
  }

  // Runs the program on this thread and the user's steps on another; the
  // steps end by closing the window, and the program ends by itself.
  // Answers the program's exit code; `forced` tells whether it had to be
  // ended for the steps.
  int Play(const std::function<void(XUser&, TMainForm*&)>& steps) {
    CurrentDirGuard cd(tmp.Path());
    win::x11::Probe probe(server.Display());
    EXPECT_TRUE(probe.Connected());
    GuiBridge gui;
    TMainForm* form = nullptr;
    std::thread user;
    const int code = OrvantaMain([&] {
      form = dynamic_cast<TMainForm*>(Application->GetMainForm());
      gui.Install();
      user = std::thread([&] {
        XUser x(probe, gui);
        steps(x, form);
        if (Eventually([&] { return gui.Ended(); })) return;
        // Steps that stopped early leave the program running: end it, so
        // a failure never hangs the suite.
        forced = true;
        for (int i = 0; i < 100 && !gui.Ended(); ++i) {
          if (i == 20) gui.Run([] { return Application->Terminate(), true; });
          x.Key("Escape");
          std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
      });
    });
    gui.End();
    gui.Remove();
    if (user.joinable()) user.join();
    return code;
  }

  // Tabs until the control holds the focus (or its editor does).
  static void FocusByTab(XUser& x, TMainForm* form, const std::function<TWinControl*()>& control) {
    x.CatchUp();
    for (int i = 0; i < 14; ++i) {
      if (x.Gui().Run([&] { return Screen->GetActiveControl() == control(); })) return;
      x.Key("Tab");
    }
    ADD_FAILURE() << "the focus never reached the control";
    (void)form;
  }

  // Where rows are on screen, in the grid's client coordinates.
  static TRect RowHeader(TcxVerticalGrid* grid, TcxCustomRow* row) {
    TcxCustomRowViewInfo* placed = grid->GetVGViewInfo()->GetRowViewInfo(row);
    return placed ? placed->GetHeaderInfo()->HeaderRect : TRect();
  }
  static TRect RowValue(TcxVerticalGrid* grid, TcxCustomRow* row) {
    TcxCustomRowViewInfo* placed = grid->GetVGViewInfo()->GetRowViewInfo(row);
    return placed ? placed->ValuesRect : TRect();
  }
  static TcxCustomRow* FileRow(TMainForm* form, const std::string& name) {
    TcxVerticalGridRows* rows = form->cxVGTerrainFiles->GetRows();
    for (Integer i = 0; i < rows->GetCount(); ++i)
      if (auto* row = dynamic_cast<TcxEditorRow*>(rows->GetRow(i)))
        if (row->GetProperties()->GetCaption() == name) return row;
    return nullptr;
  }
  static TcxCustomRow* ValueRowOf(TMainForm* form, const std::string& caption) {
    TcxVerticalGridRows* rows = form->cxVGTerrainValues->GetRows();
    for (Integer i = 0; i < rows->GetCount(); ++i)
      if (auto* row = dynamic_cast<TcxEditorRow*>(rows->GetRow(i)))
        if (row->GetProperties()->GetCaption() == caption) return row;
    return nullptr;
  }

  static Integer TopRow(TcxVerticalGrid* grid) {
    return grid->GetVGController()->GetScroller()->GetTopVisibleRowIndex();
  }
  // Opens the editor of "Map width" with a click on its value and types
  // the width over what stood there; Enter posts it.
  static void TypeMapWidth(XUser& x, TMainForm* form, const std::string& width) {
    x.Click(form->cxVGTerrainValues, [&] { return RowValue(form->cxVGTerrainValues, ValueRowOf(form, "Map width")); });
    EXPECT_TRUE(x.Eventually([&] { return form->cxVGTerrainValues->IsEditing(); }));
    x.Key("End");
    for (int i = 0; i < 4; ++i) x.Key("BackSpace");
    x.Type(width);
    x.Key("Return");
  }
  // The wheel turns the control with the focus: a click on the first row's
  // caption focuses the grid without opening an editor.
  static void FocusByWheel(XUser& x, TMainForm* form, TcxVerticalGrid* grid) {
    x.Click(grid, [&] {
      TcxVerticalGridRows* rows = grid->GetRows();
      for (Integer i = 0; i < rows->GetCount(); ++i)
        if (dynamic_cast<TcxEditorRow*>(rows->GetRow(i)) && grid->GetVGViewInfo()->GetRowViewInfo(rows->GetRow(i)))
          return RowHeader(grid, rows->GetRow(i));
      return TRect();
    });
    EXPECT_TRUE(x.Eventually([&] { return Screen->GetActiveControl() == grid && !grid->IsEditing(); }));
    (void)form;
  }
  // The grid scrolls by the wheel, when it has more rows than it shows.
  static void ScrollsByTheWheel(XUser& x, TcxVerticalGrid* grid, const char* name) {
    const Integer before = x.Gui().Run([&] { return TopRow(grid); });
    const bool more = x.Gui().Run([&] {
      if (before > 0) return true;
      TcxVerticalGridRows* rows = grid->GetRows();
      for (Integer i = 0; i < rows->GetCount(); ++i) {
        TcxCustomRow* row = rows->GetRow(i);
        TcxCustomRowViewInfo* placed = grid->GetVGViewInfo()->GetRowViewInfo(row);
        if (row->GetVisible() && (!placed || placed->RowRect.Bottom > grid->GetVGViewInfo()->Bounds.Bottom))
          return true;
      }
      return false;
    });
    ASSERT_TRUE(more) << name << " shows all its rows: nothing to scroll";
    x.Wheel([&] { return grid; }, before > 0 ? -3 : 3);
    EXPECT_TRUE(x.Eventually([&] { return TopRow(grid) != before; })) << name << " does not scroll";
  }

  // The program's X window for one of its forms or popups (0: none now).
  static unsigned long XWindowOf(TWinControl* AWindow) {
    if (!AWindow->HandleAllocated()) return 0;
    auto& x = static_cast<win::x11::X11BackEnd&>(win::BackEnd());
    const auto* data = win::detail::Peek(AWindow->GetHandle());
    return data ? x.WindowOf(data->surface) : 0;
  }

  TempDir tmp;
  win::x11::Xvfb server;
  pid_t hanging = 0;
  bool forced = false;
};

TEST_F(ProgramOnX, AUserRunsTheGeneratorSavesAndMeetsEveryFailureWithoutTheWindowHanging) {
  const int code = Play([&](XUser& x, TMainForm*& form) {
    const unsigned long main = x.WindowTitled("Orvanta");
    ASSERT_NE(main, 0u) << "the main window never showed";
    auto on = [&](auto f) { return x.Eventually([&] { return f(); }); };

    // Caption, client size and place: centred on the screen.
    EXPECT_TRUE(on([&] { return form->GetClientWidth() == 588 && form->GetClientHeight() == 519; }));
    EXPECT_TRUE(on([&] {
      const TRect r = form->GetBoundsRect();
      const TRect screen = Screen->GetWorkAreaRect();
      return std::abs((r.Left + r.Right) - (screen.Left + screen.Right)) <= 1 &&
             std::abs((r.Top + r.Bottom) - (screen.Top + screen.Bottom)) <= 1;
    }));
    x.Shot(main, "x-main-started");

    // About, answered with Enter.
    x.Click([&] { return form->AboutButton; });
    const unsigned long about = x.WindowTitled("About Orvanta");
    ASSERT_NE(about, 0u);
    x.Shot(about, "x-about");
    x.Key("Return");
    EXPECT_TRUE(x.Gone(about));

    // No counter set: the box says so.
    x.Click([&] { return form->RunBatchButton; });
    const unsigned long none = x.WindowTitled("No batch files");
    ASSERT_NE(none, 0u);
    x.Shot(none, "x-no-batch-files");
    x.Key("Return");
    EXPECT_TRUE(x.Gone(none));

    // A file picked by a click on its row.
    x.Click(form->cxVGTerrainFiles, [&] { return RowHeader(form->cxVGTerrainFiles, FileRow(form, "lowlands.tt")); });
    EXPECT_TRUE(on([&] { return form->GetCurrentFile() == tmp / "lowlands.tt"; }));
    EXPECT_TRUE(on([&] { return form->CurrentFileLabel->GetCaption() == tmp / "lowlands.tt"; }));
    x.Shot(main, "x-main-file-loaded");

    // One value of each kind: the integer typed into its spin editor, the
    // decimal stepped with the spin's button, the check box toggled with
    // Space, the radio group's next button chosen, the text typed; Enter
    // posts each.
    TypeMapWidth(x, form, "300");
    x.Click(form->cxVGTerrainValues, [&] { return RowValue(form->cxVGTerrainValues, ValueRowOf(form, "Roughness")); });
    EXPECT_TRUE(on([&] { return dynamic_cast<TcxCustomSpinEdit*>(form->cxVGTerrainValues->GetInplaceEditor()); }));
    x.Click(form->cxVGTerrainValues, [&] {
      auto* spin = static_cast<TcxCustomSpinEdit*>(form->cxVGTerrainValues->GetInplaceEditor());
      const TRect up = spin->GetViewInfo()->ButtonInfos[sebForward]->Bounds;
      const TPoint c = form->cxVGTerrainValues->ScreenToClient(
          spin->ClientToScreen(TPoint((up.Left + up.Right) / 2, (up.Top + up.Bottom) / 2)));
      return TRect(c.X, c.Y, c.X + 1, c.Y + 1);
    });
    x.Key("Return");
    x.Key("Down");  // Sea level
    x.Key("Down");  // Islands
    x.Key("space");
    x.Key("Return");
    x.Key("Down");  // Climate
    x.Key("space");  // the radio group opens on its chosen button
    x.Key("Down");   // and the next button is chosen
    x.Key("Return");
    // The drop-down list: its button dropped it, a click on an item picks.
    x.Click(form->cxVGTerrainValues, [&] { return RowValue(form->cxVGTerrainValues, ValueRowOf(form, "Season")); });
    EXPECT_TRUE(on([&] { return dynamic_cast<TcxCustomDropDownEdit*>(form->cxVGTerrainValues->GetInplaceEditor()); }));
    auto* const values = form->cxVGTerrainValues;
    const auto combo = [values] { return static_cast<TcxCustomDropDownEdit*>(values->GetInplaceEditor()); };
    x.CatchUp();
    if (!x.Gui().Run([&] { return combo()->GetDroppedDown(); })) {
      x.Click(values, [&] {
        const TRect b = combo()->GetViewInfo()->ButtonInfos[0]->Bounds;
        const TPoint c = values->ScreenToClient(combo()->ClientToScreen(TPoint((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2)));
        return TRect(c.X, c.Y, c.X + 1, c.Y + 1);
      });
    }
    EXPECT_TRUE(on([&] { return combo()->GetDroppedDown(); }));
    const unsigned long popup = x.Eventually([&] { return combo()->GetDroppedDown(); }) ? x.TopWindowAbove(main) : 0;
    if (popup) x.Shot(popup, "x-list-dropped");
    x.Shot(main, "x-main-list-dropped", true);
    const TPoint autumn = on([&] { return combo()->GetDroppedDown(); }) ? x.Gui().Run([&] {
      auto* data = dynamic_cast<TcxCustomTextEditLookupData*>(static_cast<TcxCustomTextEdit*>(combo())->GetILookupData());
      win::RECT r{};
      win::SendMessageA(data->GetList()->GetHandle(), win::LB_GETITEMRECT, 3, reinterpret_cast<win::LPARAM>(&r));
      return data->GetList()->ClientToScreen(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    }) : TPoint();
    x.ClickAt(autumn);
    EXPECT_TRUE(on([&] { return !combo()->GetDroppedDown(); }));
    x.Key("Return");
    EXPECT_TRUE(on([&] { return VarToStr(static_cast<TcxEditorRow*>(ValueRowOf(form, "Season"))->GetProperties()->GetValue()) == "Autumn"; }));
    x.Key("Down");  // Map name
    x.Type("Fens");
    x.Key("Return");
    EXPECT_TRUE(on([&] { return form->GetModified() && form->SaveValuesButton->GetEnabled(); }));
    x.Click([&] { return form->SaveValuesButton; });
    EXPECT_TRUE(on([&] { return !form->GetModified(); }));
    EXPECT_EQ(tmp.Read("lowlands.tt"),
              "width = 300;\r\nheight = 128;\r\nroughness = 0.4;\r\nsealevel = 20;\r\nislands = 1;\r\n"
              "climate = 2;\r\nseason = 4;\r\nname = Fens;\r\n");

    // The details of the focused parameter.
    x.Click([&] { return form->ParameterHelpButton; });
    const unsigned long details = x.WindowTitled("Details for 'Map name'");
    ASSERT_NE(details, 0u);
    x.Shot(details, "x-parameter-details");
    x.Key("Return");
    EXPECT_TRUE(x.Gone(details));

    // A value still in its editor reaches the run: the click on the button
    // takes the focus, and the grid posts on leaving.
    FocusByTab(x, form, [&] { return form->cxVGTerrainValues; });
    x.Type("Marsh");
    EXPECT_TRUE(on([&] { return form->cxVGTerrainValues->IsEditing(); }));
    x.Click([&] { return form->RunCurrentValuesButton; });
    EXPECT_TRUE(on([&] { return LogLines(form->LogWindow->GetHandle()).size() == 4; }));
    Lines log;
    on([&] { return (log = LogLines(form->LogWindow->GetHandle())), true; });
    EXPECT_EQ(log, (Lines{"black: Starting map generator...", "black: Map generator finished",
                          "blue: Created Map File:", "blue bold: Marsh-1.map"}));
    EXPECT_EQ(tmp.Read("generatedname.txt").substr(0, 11), "Marsh-1.map");
    EXPECT_TRUE(std::filesystem::exists(tmp / "Marsh-1.map"));
    std::string received = tmp.Read("received.log");
    EXPECT_NE(received.find("argument terrain_temp_.txt\n"), std::string::npos) << received;
    EXPECT_NE(received.find("directory " + tmp.Path() + "\n"), std::string::npos) << received;
    EXPECT_NE(received.find("name = Marsh;\r\n"), std::string::npos) << received;
    EXPECT_FALSE(std::filesystem::exists(tmp / "terrain_temp_.txt"));
    EXPECT_TRUE(on([&] { return form->RunBatchButton->GetEnabled(); }));
    EXPECT_TRUE(on([&] { return form->GetModified(); }));

    // Two batch counters typed into their cells. Typing into the shown
    // file's counter loads nothing; walking on to another file asks about
    // the unsaved value first (No), then loads it.
    FocusByTab(x, form, [&] { return form->cxVGTerrainFiles; });
    x.Type("2");
    x.Key("Return");
    EXPECT_TRUE(on([&] { return form->GetCurrentFile() == tmp / "lowlands.tt" && form->GetModified(); }));
    x.Key("Down");  // ./maps/
    x.Key("Down");  // alpine.tt
    const unsigned long ask = x.WindowTitled("Save current file?");
    ASSERT_NE(ask, 0u);
    x.Shot(ask, "x-save-before-loading");
    x.Key("n");
    EXPECT_TRUE(x.Gone(ask));
    EXPECT_TRUE(on([&] { return form->GetCurrentFile() == tmp / "maps/alpine.tt"; }));

    // An unknown key's row lies below what the value grid shows: the wheel
    // brings it up, a click opens its editor, the typed value is saved
    // under its own key.
    auto* const valueGrid = form->cxVGTerrainValues;
    const auto seedShown = [&] {
      const TRect r = RowValue(valueGrid, ValueRowOf(form, "seed"));
      return !cxRectIsEmpty(r) && r.Bottom <= valueGrid->GetVGViewInfo()->Bounds.Bottom;
    };
    EXPECT_FALSE(x.Gui().Run(seedShown)) << "the unknown keys start out of sight";
    FocusByWheel(x, form, valueGrid);
    for (int i = 0; i < 10 && !x.Gui().Run(seedShown); ++i) x.Wheel([&] { return valueGrid; }, 1);
    ASSERT_TRUE(x.Gui().Run(seedShown)) << "the wheel never brought the unknown keys up";
    x.Click(valueGrid, [&] { return RowValue(valueGrid, ValueRowOf(form, "seed")); });
    EXPECT_TRUE(on([&] { return valueGrid->IsEditing(); }));
    x.Key("End");
    for (int i = 0; i < 8; ++i) x.Key("BackSpace");
    x.Type("777");
    x.Key("Return");
    EXPECT_TRUE(on([&] { return form->GetModified() && form->SaveValuesButton->GetEnabled(); }));
    x.Click([&] { return form->SaveValuesButton; });
    EXPECT_TRUE(on([&] { return !form->GetModified(); }));
    const std::string alpine = tmp.Read("maps/alpine.tt");
    EXPECT_NE(alpine.find("seed = 777;\r\n"), std::string::npos) << alpine;
    EXPECT_EQ(alpine.find("12345"), std::string::npos) << alpine;
    FocusByTab(x, form, [&] { return form->cxVGTerrainFiles; });
    x.Key("Down");  // island chain.tt
    EXPECT_TRUE(on([&] { return form->GetCurrentFile() == tmp / "maps/island chain.tt"; }));
    x.Type("1");
    x.Key("Return");

    // The batch, slowed so the window shows it running.
    on([&] { return setenv("TARVIK_SAMPLE_MODE", "sleep:400", 1) == 0; });
    on([&] { return form->LogWindow->GetLines()->Clear(), true; });
    const std::size_t before = received.size();
    x.Click([&] { return form->RunBatchButton; });
    EXPECT_TRUE(on([&] { return LogLines(form->LogWindow->GetHandle()).size() >= 6; }));
    x.Shot(main, "x-main-batch");
    EXPECT_TRUE(on([&] { return form->RunBatchButton->GetEnabled(); }));
    on([&] { return (log = LogLines(form->LogWindow->GetHandle())), true; });
    EXPECT_EQ(log, (Lines{"green: BATCH STARTED",
                          "black: Starting map generator (1 of 3 in batch)...", "black: Map generator finished",
                          "blue: Created Map File:", "blue bold: Fens-1.map",
                          "black: Starting map generator (2 of 3 in batch)...", "black: Map generator finished",
                          "blue: Created Map File:", "blue bold: Fens-2.map",
                          "black: Starting map generator (3 of 3 in batch)...", "black: Map generator finished",
                          "blue: Created Map File:", "blue bold: Island_Chain-1.map", "green: BATCH COMPLETED"}));
    received = tmp.Read("received.log").substr(before);
    const std::string lowlands = "argument " + tmp / "lowlands.tt" + "\n";
    const std::string island = "argument " + tmp / "maps/island chain.tt" + "\n";
    EXPECT_NE(received.find(lowlands), std::string::npos) << received;
    EXPECT_NE(received.find(lowlands, received.find(lowlands) + 1), std::string::npos) << received;
    EXPECT_NE(received.find(island), std::string::npos) << "the path with a blank is one argument: " << received;
    on([&] { return unsetenv("TARVIK_SAMPLE_MODE") == 0; });

    // Save as through the dialog, the name typed over the current one: it
    // opens in the current file's folder.
    x.Click([&] { return form->SaveAsButton; });
    const unsigned long dialog = x.WindowTitled("Save Terrain File as");
    ASSERT_NE(dialog, 0u);
    x.Shot(dialog, "x-save-dialog");
    for (int i = 0; i < 70; ++i) x.Key("BackSpace");
    x.Type("saved");
    x.Key("Return");
    EXPECT_TRUE(x.Gone(dialog));
    EXPECT_TRUE(on([&] { return form->GetCurrentFile() == tmp / "maps/saved.tt"; }));
    EXPECT_EQ(tmp.Read("maps/saved.tt"),
              "width = 512;\r\nheight = 512;\r\nsealevel = 62.5;\r\nislands = 1;\r\nname = Island Chain;\r\n"
              "roughness = 0.5;\r\nclimate = 1;\r\nseason = 2;\r\n");

    // Defaults with a file asks; Yes with the key.
    x.Click([&] { return form->DefaultsButton; });
    const unsigned long sure = x.WindowTitled("Are you sure?");
    ASSERT_NE(sure, 0u);
    x.Shot(sure, "x-defaults-question");
    x.Key("y");
    EXPECT_TRUE(x.Gone(sure));
    EXPECT_TRUE(on([&] { return form->GetCurrentFile().empty() && form->CurrentFileLabel->GetCaption() == "<NONE>"; }));

    // Failures: a crash and a silent generator leave the last run's result
    // file behind; neither names a map.
    const auto runOnce = [&](const char* mode) {
      on([&] { return setenv("TARVIK_SAMPLE_MODE", mode, 1) == 0; });
      on([&] { return form->LogWindow->GetLines()->Clear(), true; });
      x.Click([&] { return form->RunCurrentValuesButton; });
      EXPECT_TRUE(on([&] { return form->RunBatchButton->GetEnabled(); })) << mode;
      on([&] { return (log = LogLines(form->LogWindow->GetHandle())), true; });
      return log;
    };
    const Lines noMap = {"black: Starting map generator...", "black: Map generator finished",
                         "red bold: Map creation error. No map was created"};
    EXPECT_EQ(runOnce("crash"), noMap);
    EXPECT_EQ(runOnce("silent"), noMap);
    EXPECT_TRUE(std::filesystem::exists(tmp / "generatedname.txt"));

    // A missing generator: the red bold line and the box.
    std::filesystem::rename(tmp / "tarvik.exe", tmp / "tarvik.away");
    on([&] { return form->LogWindow->GetLines()->Clear(), true; });
    x.Click([&] { return form->RunCurrentValuesButton; });
    const unsigned long cannot = x.WindowTitled("Can't find TARVIK");
    ASSERT_NE(cannot, 0u);
    x.Shot(cannot, "x-cannot-start");
    x.Key("Return");
    EXPECT_TRUE(x.Gone(cannot));
    on([&] { return (log = LogLines(form->LogWindow->GetHandle())), true; });
    EXPECT_EQ(log, (Lines{"red bold: Can't execute tarvik.exe"}));
    std::filesystem::rename(tmp / "tarvik.away", tmp / "tarvik.exe");

    // A generator that never ends: the window goes on answering, and
    // closing it ends the program at once. The file with unknown keys has
    // more rows than the value grid shows.
    x.Click(form->cxVGTerrainFiles, [&] { return RowHeader(form->cxVGTerrainFiles, FileRow(form, "alpine.tt")); });
    if (x.Gui().Run([&] { return form->GetModified(); })) {
      const unsigned long discard = x.WindowTitled("Save current file?");
      ASSERT_NE(discard, 0u);
      x.Key("n");
      EXPECT_TRUE(x.Gone(discard));
    }
    EXPECT_TRUE(on([&] { return form->GetCurrentFile() == tmp / "maps/alpine.tt"; }));
    on([&] { return setenv("TARVIK_SAMPLE_MODE", "hang", 1) == 0; });
    x.Click([&] { return form->RunCurrentValuesButton; });
    EXPECT_TRUE(on([&] { return (hanging = pid_t(form->GetRunner().GetGeneratorPid())) != 0; }));
    EXPECT_TRUE(on([&] { return !form->RunCurrentValuesButton->GetEnabled() && !form->RunBatchButton->GetEnabled(); }));
    x.Shot(main, "x-main-running");
    x.Click([&] { return form->ClearLogButton; });
    EXPECT_TRUE(on([&] { return form->LogWindow->GetTextLen() == 0; }));
    x.Click([&] { return form->AboutButton; });
    const unsigned long aboutWhileRunning = x.WindowTitled("About Orvanta");
    EXPECT_NE(aboutWhileRunning, 0u);
    x.Key("Return");
    EXPECT_TRUE(x.Gone(aboutWhileRunning));
    FocusByWheel(x, form, form->cxVGTerrainValues);
    ScrollsByTheWheel(x, form->cxVGTerrainValues, "the value grid");
    x.Shot(main, "x-main-scrolled-while-running", true);
    EXPECT_TRUE(on([&] { return form->GetRunner().GetGeneratorPid() != 0; })) << "the generator still runs";
    x.Probe().SendDelete(main);
  });
  EXPECT_EQ(code, 0);
  // The generator never ends: a close that waited for it would never end
  // the program.
  EXPECT_FALSE(forced) << "closing ends the program while the generator still runs";
}

// Without a window manager nobody else holds a minimised window: the main
// window minimised from its menu stands as a small caption at the bottom
// left of the screen with the keyboard, and opens again as it was by
// Enter, by its menu's Restore, by a click and by a double click. Closed
// while minimised with an unsaved change, it asks about the change first;
// answered Cancel, it stays there and keeps the keyboard.
TEST_F(ProgramOnX, WithoutAWindowManagerTheMinimisedMainWindowStaysWithinReach) {
  const int code = Play([&](XUser& x, TMainForm*& form) {
    const unsigned long main = x.WindowTitled("Orvanta");
    ASSERT_NE(main, 0u) << "the main window never showed";
    auto on = [&](auto f) { return x.Eventually([&] { return f(); }); };
    win::x11::Probe& probe = x.Probe();

    // A value changed and not saved.
    x.Click(form->cxVGTerrainFiles, [&] { return RowHeader(form->cxVGTerrainFiles, FileRow(form, "lowlands.tt")); });
    EXPECT_TRUE(on([&] { return form->GetCurrentFile() == tmp / "lowlands.tt"; }));
    TypeMapWidth(x, form, "300");
    EXPECT_TRUE(on([&] { return form->GetModified() && !form->cxVGTerrainValues->IsEditing(); }));
    // The pointer out of the way, so no hint stands over the pictures.
    probe.MovePointer(1000, 10);
    x.CatchUp();

    const auto place = [&] {
      bool viewable = false;
      win::RECT r{};
      return probe.Geometry(main, viewable, r) && viewable ? r : win::RECT{};
    };
    const auto picture = [&] {
      std::vector<std::uint32_t> pixels;
      int width = 0, height = 0;
      probe.Capture(main, pixels, width, height);
      return pixels;
    };
    const win::RECT open = place();
    const std::vector<std::uint32_t> before = picture();
    const win::RECT icon{0, 768 - 24, 160, 768};
    const auto iconic = [&] { return win::IsIconic(form->GetHandle()) != 0; };
    const auto minimise = [&] {
      probe.Key("Alt_L", true);
      x.Key("space");
      probe.Key("Alt_L", false);
      x.Key("n");
      EXPECT_TRUE(on(iconic));
      x.CatchUp();
      EXPECT_EQ(place(), icon) << "the caption stands at the bottom left";
      EXPECT_EQ(probe.KeyboardFocus(), main) << "the caption holds the keyboard";
    };
    const auto opened = [&](const char* how) {
      EXPECT_TRUE(on([&] { return !iconic(); })) << how;
      x.CatchUp();
      EXPECT_EQ(place(), open) << how;
      EXPECT_TRUE(picture() == before) << how << ": the window is not as it was";
    };

    minimise();
    x.Shot(probe.Root(), "x-minimised");
    // The caption's band, in the active colours, with the title on it.
    const auto rgb = [&](int index) {
      const win::DWORD c = x.Gui().Run([&] { return win::GetSysColor(index); });
      return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    };
    const std::vector<std::uint32_t> caption = picture();
    ASSERT_EQ(caption.size(), 160u * 24u);
    EXPECT_EQ(caption[12 * 160 + 100], rgb(win::COLOR_ACTIVECAPTION)) << "the band is not in the active colour";
    const std::uint32_t text = rgb(win::COLOR_CAPTIONTEXT);
    int ink = 0;
    for (int y = 3; y < 21; ++y)
      for (int xx = 3; xx < 60; ++xx) ink += caption[std::size_t(y) * 160 + std::size_t(xx)] == text;
    EXPECT_GT(ink, 20) << "no title on the band";
    x.Key("Return");
    opened("Enter");

    minimise();
    probe.Key("Alt_L", true);
    x.Key("space");
    probe.Key("Alt_L", false);
    x.Key("r");
    opened("Restore");

    minimise();
    x.ClickAt(TPoint(icon.Left + 60, icon.Top + 12));
    opened("a click");

    minimise();
    probe.MovePointer(icon.Left + 60, icon.Top + 12);
    for (int i = 0; i < 2; ++i) {
      probe.Button(1, true);
      probe.Button(1, false);
    }
    x.CatchUp();
    opened("a double click");

    // Closed while minimised: the question about the change.
    minimise();
    probe.Key("Alt_L", true);
    x.Key("F4");
    probe.Key("Alt_L", false);
    const unsigned long ask = x.WindowTitled("Save current file?");
    ASSERT_NE(ask, 0u) << "closed without asking about the change";
    x.Shot(probe.Root(), "x-minimised-close-question");
    x.Key("Escape");
    EXPECT_TRUE(x.Gone(ask));
    EXPECT_TRUE(x.Gui().Run(iconic));
    EXPECT_TRUE(Eventually([&] { return probe.KeyboardFocus() == main; })) << "the caption lost the keyboard";
    probe.Key("Alt_L", true);
    x.Key("F4");
    probe.Key("Alt_L", false);
    const unsigned long again = x.WindowTitled("Save current file?");
    ASSERT_NE(again, 0u);
    x.Key("n");
  });
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(forced) << "the program did not end when told not to save";
  EXPECT_EQ(tmp.Read("lowlands.tt").find("300"), std::string::npos) << "saved though told not to";
}

// Under a window manager a modal dialog is transient for the main window
// and modal to it: a click on the waiting main window leaves the dialog
// above it with the focus, where it used to bury the dialog under a main
// window that looked active and answered nothing.
TEST_F(ProgramOnX, UnderAWindowManagerADialogStaysAboveTheMainWindowItKeepsWaiting) {
  if (!win::x11::WindowManager::Installed())
    GTEST_SKIP() << "openbox is not installed: the program under a window manager is not checked (scripts/setup "
                    "installs the openbox package)";
  win::x11::WindowManager openbox(server.Display());
  ASSERT_TRUE(openbox.Running()) << "openbox did not take over the display";
  const int code = Play([&](XUser& x, TMainForm*& form) {
    auto on = [&](auto f) { return x.Eventually([&] { return f(); }); };
    win::x11::Probe& probe = x.Probe();
    // Windows under a manager are inside its frames: found through the
    // program, then waited for on the screen (or off it).
    const auto viewable = [&](unsigned long window) {
      bool shown = false;
      win::RECT r{};
      return probe.Geometry(window, shown, r) && shown;
    };
    const auto shownForm = [&](const std::string& title) {
      unsigned long window = 0;
      on([&] {
        for (Integer i = 0; i < Screen->GetFormCount(); ++i)
          if (TCustomForm* f = Screen->GetForms(i); f->GetVisible() && f->GetCaption() == title)
            return (window = XWindowOf(f)) != 0;
        return false;
      });
      return window && Eventually([&] { return viewable(window); }) ? window : 0;
    };
    const unsigned long main = shownForm("Orvanta");
    ASSERT_NE(main, 0u) << "the main window never showed";

    // A file picked, so that its parameter has details.
    x.Click(form->cxVGTerrainFiles, [&] { return RowHeader(form->cxVGTerrainFiles, FileRow(form, "lowlands.tt")); });
    EXPECT_TRUE(on([&] { return form->GetCurrentFile() == tmp / "lowlands.tt"; }));

    // Each dialog, and a click on the waiting main window: part of the
    // main window no control covers.
    const TPoint bare = x.Gui().Run([&] {
      for (Integer y = form->GetClientHeight() - 2; y > 0; --y)
        for (Integer xx = form->GetClientWidth() - 2; xx > 0; --xx)
          if (!form->ControlAtPos(TPoint(xx, y), true, true, true)) return form->ClientToScreen(TPoint(xx, y));
      return TPoint(-1, -1);
    });
    ASSERT_GE(bare.X, 0) << "every pixel of the main window is a control's";
    const auto above = [&](unsigned long upper, unsigned long lower) {
      const std::vector<unsigned long> stack = probe.Stacking();
      const auto u = std::find(stack.begin(), stack.end(), probe.FrameOf(upper));
      const auto l = std::find(stack.begin(), stack.end(), probe.FrameOf(lower));
      return u != stack.end() && l != stack.end() && u > l;
    };
    const auto modal = [&](unsigned long window) {
      for (long atom : probe.Property32(window, "_NET_WM_STATE"))
        if (probe.AtomName(atom) == "_NET_WM_STATE_MODAL") return true;
      return false;
    };
    x.Click(form->cxVGTerrainValues, [&] { return RowHeader(form->cxVGTerrainValues, ValueRowOf(form, "Map width")); });
    EXPECT_TRUE(on([&] { return form->ParameterHelpButton->GetEnabled(); }));
    struct Opened {
      TcxButton* button;
      const char* title;
      const char* shot;
    };
    for (const Opened& o : {Opened{form->AboutButton, "About Orvanta", "x-wm-about-over-main"},
                            Opened{form->ParameterHelpButton, "Details for 'Map width'", "x-wm-details-over-main"}}) {
      SCOPED_TRACE(o.title);
      x.Click([&] { return o.button; });
      const unsigned long dialog = shownForm(o.title);
      ASSERT_NE(dialog, 0u);
      EXPECT_EQ(probe.Property32(dialog, "WM_TRANSIENT_FOR"), (std::vector<long>{static_cast<long>(main)}));
      EXPECT_TRUE(modal(dialog));
      x.ClickAt(bare);
      ASSERT_TRUE(probe.WindowManagerCaughtUp()) << "openbox did not answer";
      EXPECT_TRUE(above(dialog, main)) << "the click on the main window buried the dialog";
      EXPECT_EQ(probe.KeyboardFocus(), dialog) << "the click on the main window took the focus from the dialog";
      x.Shot(probe.Root(), o.shot);
      x.Key("Return");
      EXPECT_TRUE(Eventually([&] { return !viewable(dialog); }));
      // Off the screen is not yet out of its modal loop: the next click
      // waits for the main window to take input again.
      EXPECT_TRUE(on([&] { return win::IsWindowEnabled(form->GetHandle()) && Screen->GetActiveForm() == form; }));
    }
    x.Probe().SendDelete(main);
  });
  EXPECT_EQ(code, 0);
}

}  // namespace
