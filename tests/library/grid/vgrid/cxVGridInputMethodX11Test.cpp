// An X input method composing into the value grid on a real X server
// (uim-xim, with a character composed from Multi_key ' e): the grid hears
// the composition start and opens the focused cell's editor, and the
// composed character lands in it, although the grid searches its values
// as they are typed and plain typing never opens an editor. Skipped,
// saying so, where uim-xim or a locale it can serve is missing.
#include <cstdlib>
#include <functional>

#include "library/grid/VGridSession.h"
#include "library/grid/GridXScene.h"
#include "platform/win/Focus.h"

using namespace win;

namespace {

// The story on a server with an input method running; with a window
// manager when asked.
void ComposeIntoTheGrid(bool underManager) {
  if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  if (!x11::InputMethod::Installed())
    GTEST_SKIP() << "uim-xim is not installed: composing on X is not checked (scripts/setup installs the uim-xim "
                    "package)";
  if (underManager && !x11::WindowManager::Installed())
    GTEST_SKIP() << "openbox is not installed: composing under a window manager is not checked (scripts/setup "
                    "installs the openbox package)";
  // The program lets go of the input method before the method ends.
  std::unique_ptr<x11::InputMethod> method;
  std::unique_ptr<x11::WindowManager> openbox;
  auto onX = std::make_unique<grid_test::GridXScene>();
  ASSERT_TRUE(onX->server.Running()) << "Xvfb did not start";
  if (underManager) {
    openbox = std::make_unique<x11::WindowManager>(onX->server.Display());
    ASSERT_TRUE(openbox->Running()) << "openbox did not take over the display";
  }
  method = std::make_unique<x11::InputMethod>(onX->server.Display());
  if (!method->Running()) GTEST_SKIP() << "no input method to compose with: " << method->Problem();
  // The program's characters come through that method from its first key.
  for (const std::string& assignment : method->ClientEnvironment()) {
    const std::size_t eq = assignment.find('=');
    setenv(assignment.substr(0, eq).c_str(), assignment.substr(eq + 1).c_str(), 1);
  }
  ASSERT_TRUE(onX->Start());
  auto& scene = onX->scene;
  {
    TForm* form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({40, 40, 380, 300});
    auto* grid = New<TTestVerticalGrid>(form);
    grid->SetParent(form);
    grid->SetBoundsRect({8, 8, 8 + 305, 8 + 185});
    grid->GetOptionsView()->SetRowHeaderWidth(200);
    grid->GetOptionsBehavior()->SetIncSearch(true);
    const vgrid_test::ValueRows rows = vgrid_test::AddValueRows(grid);
    form->Show();
    grid->SetFocusedRow(rows.Seed);
    grid->SetFocus();
    // Keys reach the form once the server gives it the keyboard (a
    // window manager does so in its own time).
    const x11::XId window = scene.x->WindowOf(detail::Peek(form->GetHandle())->surface);
    auto until = [&](const std::function<bool()>& done) { return scene.Eventually(done); };
    ASSERT_TRUE(until([&] {
      bool viewable = false;
      RECT r{};
      return scene.probe->Geometry(window, viewable, r) && viewable;
    })) << "the form never showed";
    scene.probe->GiveFocus(window);
    ASSERT_TRUE(until([&] { return scene.probe->KeyboardFocus() == window && win::GetFocus() == grid->GetHandle(); }));
    ASSERT_FALSE(grid->IsEditing());

    scene.Key("1");
    ASSERT_TRUE(until([&] { return grid->GetController()->GetIsIncSearching(); }));
    EXPECT_FALSE(grid->IsEditing()) << "plain typing goes to the search";

    scene.Key("Multi_key");
    scene.Key("apostrophe");
    scene.Key("e");
    ASSERT_TRUE(until([&] { return grid->IsEditing(); })) << "the composition opened the editor";
    scene.Settle();
    const AnsiString typed = VarToStr(grid->GetInplaceEditor()->GetEditingValue());
    EXPECT_NE(typed.find('\xE9'), AnsiString::npos) << "the composed character is in the editor: " << typed;
    EXPECT_EQ(typed.find('\''), AnsiString::npos) << "and not the keys it was composed from";
    scene.Key("Return");
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(VarToStr(rows.Seed->GetProperties()->GetValue()), typed);
  }
}

TEST(VGridInputMethod, ComposingIntoAFocusedCellOpensItsEditorAndTheTextLandsThere) { ComposeIntoTheGrid(false); }

TEST(VGridInputMethod, UnderOpenboxTheComposedTextLandsInTheEditorAsWell) { ComposeIntoTheGrid(true); }

}  // namespace
