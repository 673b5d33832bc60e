// What a person sees on a real display: a form of editors and native
// controls, then in turn a modal message box over it, a popup menu, a hint,
// the combo box's open list and the popup editor's open popup. Every step
// is played once on the headless back end and once on X (a private Xvfb,
// first without a window manager, then under openbox); for each window on
// screen the pixels read back from the X server's root window must equal
// the headless ones, pixel for pixel, wherever no window above covers them.
// Under the window manager the X windows are the client areas and each
// dialog stands above its owner. The X shots go to X11Scene.png.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "library/editors/EditorSession.h"
#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxPopupEdit.h"
#include "library/editors/core/cxTextEdit.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Memo.h"
#include "platform/controls/PageControl.h"
#include "platform/controls/RichEdit.h"
#include "platform/forms/Application.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Hints.h"
#include "platform/forms/Menus.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/Screen.h"
#include "platform/forms/StdCtrls.h"
#include "platform/gdi/PngWriter.h"
#include "platform/win/Keyboard.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowData.h"
#include "platform/x11/X11BackEnd.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"
#include "support/Eventually.h"
#include "support/PlaceControl.h"

using namespace win;

namespace {

// One top-level window as the headless screen holds it.
struct WindowShot {
  std::string name;  // class and text
  RECT rect{};       // window rectangle
  RECT client{};     // client area inside it
  std::vector<RECT> shape;
  std::vector<std::uint32_t> pixels;  // whole window, 0x00RRGGBB
};
using Shot = std::vector<WindowShot>;  // front first

struct Scene {
  TForm* form = nullptr;
  TcxTextEdit* text = nullptr;
  TcxComboBox* combo = nullptr;
  TcxPopupEdit* popupEdit = nullptr;
  TPopupMenu* menu = nullptr;
  THintWindow* hint = nullptr;
};

Scene Build() {
  Scene s;
  s.form = TCustomForm::CreateNew<TForm>(Application);
  s.form->SetCaption("Orvanta scene");
  s.form->SetBoundsRect({60, 60, 620, 440});
  auto* label = Place<TLabel>(s.form, {12, 14, 70, 28});
  label->SetCaption("Name:");
  s.text = Place<TcxTextEdit>(s.form, {80, 10, 240, 31});
  s.text->SetText("Orvanta");
  s.combo = Place<TcxComboBox>(s.form, {80, 40, 240, 61});
  for (int i = 1; i <= 20; ++i) s.combo->GetProperties()->GetItems()->Add("Item " + std::to_string(i));
  s.combo->SetText("Item 3");
  s.popupEdit = Place<TcxPopupEdit>(s.form, {80, 70, 240, 91});
  auto* hosted = Place<TPanel>(s.form, {0, 300, 200, 360});
  hosted->SetCaption("Hosted panel");
  hosted->SetVisible(false);
  s.popupEdit->GetProperties()->SetPopupControl(hosted);
  s.popupEdit->GetPopupWindow()->SetModalMode(false);
  auto* memo = Place<TMemo>(s.form, {260, 10, 400, 90});
  memo->GetLines()->Add("A memo");
  memo->GetLines()->Add("of two lines");
  auto* rich = Place<TRichEdit>(s.form, {260, 100, 400, 180});
  rich->GetLines()->Add("Rich text");
  auto* pages = Place<TPageControl>(s.form, {12, 110, 240, 230});
  for (const char* caption : {"First", "Second"}) {
    auto* sheet = New<TTabSheet>(pages);
    sheet->SetPageControl(pages);
    sheet->SetCaption(caption);
  }
  auto* ok = Place<TButton>(s.form, {420, 300, 495, 325});
  ok->SetCaption("OK");
  s.menu = New<TPopupMenu>(s.form);
  for (const char* caption : {"Open", "-", "Save", "Close"}) {
    auto* item = New<TMenuItem>(s.menu);
    item->SetCaption(caption);
    s.menu->GetItems()->Add(item);
  }
  s.hint = New<THintWindow>(s.form);
  s.form->Show();
  s.text->SetFocus();
  test::PumpUntilIdle();
  return s;
}

// The steps, each leaving its windows on screen while look() runs.
struct Step {
  const char* name;
  std::function<void(Scene&, const std::function<void()>& look)> play;
};

std::vector<Step> Steps() {
  return {
      {"form", [](Scene&, const std::function<void()>& look) { look(); }},
      {"message box",
       [](Scene& s, const std::function<void()>& look) {
         forms::test::UseRealDialogs(true);
         test::OnNextModalLoop([look, &s] {
           // Centred over its owner, as every dialog of the program.
           const TRect box = Screen->GetActiveForm()->GetBoundsRect(), owner = s.form->GetBoundsRect();
           EXPECT_LE(std::abs(box.Left + box.Right - owner.Left - owner.Right), 1);
           EXPECT_LE(std::abs(box.Top + box.Bottom - owner.Top - owner.Bottom), 1);
           look();
           test::KeyPress(VK_RETURN);
         });
         MessageBoxA(s.form->GetHandle(), "The date is incomplete.", "Orvanta", MB_OK | MB_ICONEXCLAMATION);
         forms::test::UseRealDialogs(false);
         test::PumpUntilIdle();
       }},
      {"popup menu",
       [](Scene& s, const std::function<void()>& look) {
         test::OnNextModalLoop([look] {
           look();
           test::KeyPress(VK_ESCAPE);
         });
         TPoint at = s.form->ClientToScreen(TPoint(300, 200));
         s.menu->Popup(at.X, at.Y);
         test::PumpUntilIdle();
       }},
      {"hint",
       [](Scene& s, const std::function<void()>& look) {
         const AnsiString text = "Opens the terrain file";
         TRect r = s.hint->CalcHintRect(300, text, nullptr);
         TPoint at = s.form->ClientToScreen(TPoint(100, 250));
         s.hint->ActivateHint(TRect(at.X, at.Y, at.X + r.Width(), at.Y + r.Height()), text);
         test::PumpUntilIdle();
         look();
         s.hint->ReleaseHandle();
         test::PumpUntilIdle();
       }},
      {"combo list",
       [](Scene& s, const std::function<void()>& look) {
         s.combo->SetFocus();
         test::PumpUntilIdle();
         test::KeyPress(VK_F4);
         test::PumpUntilIdle();
         ASSERT_TRUE(s.combo->GetDroppedDown());
         look();
         test::KeyPress(VK_ESCAPE);
         test::PumpUntilIdle();
       }},
      {"popup editor",
       [](Scene& s, const std::function<void()>& look) {
         s.popupEdit->SetFocus();
         test::PumpUntilIdle();
         s.popupEdit->SetDroppedDown(true);
         test::PumpUntilIdle();
         ASSERT_TRUE(s.popupEdit->GetDroppedDown());
         look();
         s.popupEdit->SetDroppedDown(false);
         test::PumpUntilIdle();
       }},
  };
}

std::string NameOf(detail::Window* w) { return w->cls->name + " \"" + w->text + "\""; }

// The visible top-level windows with their headless pixels.
Shot ShootHeadless(const HeadlessBackEnd& screen) {
  Shot shot;
  for (detail::Window* t : detail::TopLevels()) {
    if (!(t->style & WS_VISIBLE) || !t->surface) continue;
    const auto* s = screen.Find(t->surface);
    if (!s) continue;
    WindowShot w;
    w.name = NameOf(t);
    GetWindowRect(t->handle, &w.rect);
    POINT o{0, 0};
    ClientToScreen(t->handle, &o);
    RECT c;
    GetClientRect(t->handle, &c);
    w.client = {o.X - w.rect.Left, o.Y - w.rect.Top, o.X - w.rect.Left + c.Right, o.Y - w.rect.Top + c.Bottom};
    w.shape = s->shape;
    for (std::size_t i = 0; i + 3 < s->pixels.size(); i += 4)
      w.pixels.push_back(std::uint32_t(s->pixels[i + 2]) << 16 | std::uint32_t(s->pixels[i + 1]) << 8 |
                         s->pixels[i]);
    shot.push_back(std::move(w));
  }
  return shot;
}

bool Inside(const std::vector<RECT>& rects, int x, int y) {
  for (const RECT& r : rects)
    if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return true;
  return false;
}

// Compares what the root window shows with the headless shot; answers ""
// when equal, else what differs. Managed windows show their client area
// only; each window is compared where nothing above it covers it.
class XScreen {
 public:
  // framed: a window manager runs, and places the windows it frames.
  XScreen(x11::X11BackEnd& x, x11::Probe& probe, bool framed) : x_(x), probe_(probe), framed_(framed) {}

  std::string Differences(const Shot& expected) {
    if (!probe_.Capture(probe_.Root(), root_, width_, height_)) return "the root window cannot be read";
    std::vector<detail::Window*> tops;
    for (detail::Window* t : detail::TopLevels())
      if ((t->style & WS_VISIBLE) && t->surface) tops.push_back(t);
    std::ostringstream out;
    if (tops.size() != expected.size()) {
      out << tops.size() << " windows on X, " << expected.size() << " headless";
      return out.str();
    }
    std::vector<RECT> covered;
    for (std::size_t i = 0; i < tops.size(); ++i) {
      detail::Window* t = tops[i];
      const WindowShot& want = expected[i];
      if (NameOf(t) != want.name) {
        out << "window " << i << " is " << NameOf(t) << ", headless " << want.name;
        return out.str();
      }
      x11::XId xw = x_.WindowOf(t->surface);
      const x11::Surface& xs = x_.surfaces.at(t->surface);
      bool viewable = false;
      RECT at{};
      if (!probe_.Geometry(xw, viewable, at) || !viewable) {
        out << want.name << " is not on the X screen";
        return out.str();
      }
      // The X window starts at the frame inset of the window rectangle;
      // nobody but the program places it when no window manager runs.
      const int ox = xs.inset.Left, oy = xs.inset.Top;
      if (!framed_ && (at.Left != want.rect.Left + ox || at.Top != want.rect.Top + oy))
        out << want.name << " stands at (" << at.Left << "," << at.Top << ") on X; ";
      const int ww = want.rect.Width();
      int differing = 0;
      std::string first;
      for (int y = 0; y < at.Height(); ++y)
        for (int x = 0; x < at.Width(); ++x) {
          int rx = at.Left + x, ry = at.Top + y;
          if (rx < 0 || ry < 0 || rx >= width_ || ry >= height_) continue;
          if (Inside(covered, rx, ry)) continue;
          int wx = x + ox, wy = y + oy;
          if (!want.shape.empty() && !Inside(want.shape, wx, wy)) continue;
          std::uint32_t w = want.pixels[static_cast<std::size_t>(wy) * ww + wx];
          std::uint32_t g = root_[static_cast<std::size_t>(ry) * width_ + rx];
          if (w == g) continue;
          if (differing++ == 0) {
            std::ostringstream f;
            f << std::hex << "first at (" << std::dec << wx << "," << wy << ") X 0x" << std::hex << g
              << " headless 0x" << w;
            first = f.str();
          }
        }
      if (differing) out << want.name << ": " << differing << " pixels differ, " << first << "; ";
      // What this window (its frame, under a window manager) hides below it.
      RECT frame{};
      bool frameViewable = false;
      probe_.Geometry(probe_.FrameOf(xw), frameViewable, frame);
      if (want.shape.empty() || xs.managed) {
        covered.push_back(frame);
      } else {
        for (RECT r : want.shape)
          covered.push_back({r.Left + at.Left - ox, r.Top + at.Top - oy, r.Right + at.Left - ox, r.Bottom + at.Top - oy});
      }
    }
    // X stacks the windows (their frames) as the window system does.
    const std::vector<unsigned long> stack = probe_.Stacking();
    int above = static_cast<int>(stack.size());
    for (detail::Window* t : tops) {
      auto it = std::find(stack.begin(), stack.end(), probe_.FrameOf(x_.WindowOf(t->surface)));
      int at = static_cast<int>(it - stack.begin());
      if (it == stack.end() || at >= above) out << NameOf(t) << " stands too high on X; ";
      above = at;
    }
    return out.str();
  }

  // Under a window manager: every captioned window is framed by it, so its
  // X window is the client area only.
  std::string Framing() {
    std::ostringstream out;
    for (detail::Window* t : detail::TopLevels()) {
      if (!(t->style & WS_VISIBLE) || !t->surface || (t->style & WS_CAPTION) != WS_CAPTION) continue;
      const x11::Surface& xs = x_.surfaces.at(t->surface);
      bool viewable = false;
      RECT at{};
      probe_.Geometry(xs.window, viewable, at);
      POINT o{0, 0};
      ClientToScreen(t->handle, &o);
      RECT c;
      GetClientRect(t->handle, &c);
      if (!xs.managed || probe_.FrameOf(xs.window) == xs.window) out << NameOf(t) << " has no frame of the manager; ";
      if (at != RECT{o.X, o.Y, o.X + c.Right, o.Y + c.Bottom}) out << NameOf(t) << " shows more than its client area; ";
    }
    return out.str();
  }

  // The part of the last root capture around the windows, for the sheet.
  void Keep(const Shot& shot, std::vector<std::vector<std::uint32_t>>& images, std::vector<RECT>& boxes) {
    RECT box{width_, height_, 0, 0};
    for (detail::Window* t : detail::TopLevels()) {
      if (!(t->style & WS_VISIBLE) || !t->surface) continue;
      RECT r{};
      bool v = false;
      probe_.Geometry(probe_.FrameOf(x_.WindowOf(t->surface)), v, r);
      box = {std::min(box.Left, r.Left), std::min(box.Top, r.Top), std::max(box.Right, r.Right),
             std::max(box.Bottom, r.Bottom)};
    }
    (void)shot;
    box = {std::max(0, box.Left - 8), std::max(0, box.Top - 8), std::min(width_, box.Right + 8),
           std::min(height_, box.Bottom + 8)};
    std::vector<std::uint32_t> img;
    for (int y = box.Top; y < box.Bottom; ++y)
      for (int x = box.Left; x < box.Right; ++x) img.push_back(root_[static_cast<std::size_t>(y) * width_ + x]);
    images.push_back(std::move(img));
    boxes.push_back(box);
  }

 private:
  x11::X11BackEnd& x_;
  x11::Probe& probe_;
  bool framed_;
  std::vector<std::uint32_t> root_;
  int width_ = 0, height_ = 0;
};

void SaveSheet(const std::vector<std::vector<std::uint32_t>>& images, const std::vector<RECT>& boxes,
               const std::string& path) {
  int w = 0, h = 0;
  for (const RECT& b : boxes) {
    w = std::max(w, b.Width());
    h += b.Height() + 4;
  }
  std::vector<std::uint32_t> sheet(static_cast<std::size_t>(w) * h, 0x808080);
  int top = 0;
  for (std::size_t i = 0; i < images.size(); ++i) {
    const RECT& b = boxes[i];
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        sheet[static_cast<std::size_t>(top + y) * w + x] = images[i][static_cast<std::size_t>(y) * b.Width() + x];
    top += b.Height() + 4;
  }
  SaveRowsPng(w, h, [&](int y, std::uint32_t* row) {
    std::copy_n(&sheet[static_cast<std::size_t>(y) * w], w, row);
  }, path);
}

class X11Scene : public ::testing::Test, public edit_test::EditorUnitsListed {
 protected:
  void SetUp() override {
    if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
    if (expected.empty()) expected = Headless();
    ASSERT_EQ(expected.size(), Steps().size());
  }

  // The reference: every step on the headless back end.
  static std::vector<Shot> Headless() {
    std::vector<Shot> shots;
    forms::test::Session session({{{0, 0, 1024, 768}, {0, 0, 1024, 768}, true}});  // as Xvfb's screen
    Scene s = Build();
    for (const Step& step : Steps())
      step.play(s, [&] { shots.push_back(ShootHeadless(session.Win().Screen())); });
    s.form->Free();
    test::PumpUntilIdle();
    return shots;
  }

  // The same steps on X; each must come to show the headless pixels.
  void OnX(const std::string& display, const std::string& sheet, bool framed) {
    auto be = OpenX11BackEnd(display);
    ASSERT_TRUE(be);
    auto* x = static_cast<x11::X11BackEnd*>(be.get());
    x11::Probe probe(display);
    ASSERT_TRUE(probe.Connected());
    XScreen screen(*x, probe, framed);
    std::vector<std::vector<std::uint32_t>> images;
    std::vector<RECT> boxes;
    forms::test::Session session(std::move(be));
    Scene s = Build();
    std::size_t i = 0;
    for (const Step& step : Steps()) {
      step.play(s, [&] {
        ASSERT_LT(i, expected.size());
        // A window manager on a loaded machine may take many seconds to
        // frame its first window (it loads its fonts then); a good screen
        // ends the wait at once.
        std::string diff;
        Eventually(
            [&] {
              test::PumpUntilIdle();
              diff = screen.Differences(expected[i]) + (framed ? screen.Framing() : std::string());
              return diff.empty();
            },
            [&] { x->WaitForEvent(20); });
        EXPECT_EQ(diff, "") << step.name;
        screen.Keep(expected[i], images, boxes);
        ++i;
      });
    }
    EXPECT_EQ(i, expected.size());
    SaveSheet(images, boxes, sheet);
    s.form->Free();
    test::PumpUntilIdle();
  }

  static std::vector<Shot> expected;
};

std::vector<Shot> X11Scene::expected;

TEST_F(X11Scene, WithoutAWindowManagerXShowsWhatTheHeadlessScreenHolds) {
  x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  OnX(server.Display(), "X11Scene.png", false);
}

TEST_F(X11Scene, UnderOpenboxTheClientAreasShowTheSameAndDialogsStandAboveTheirOwners) {
  if (!x11::WindowManager::Installed())
    GTEST_SKIP() << "openbox is not installed: the scene under a window manager is not checked (scripts/setup "
                    "installs the openbox package)";
  x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  x11::WindowManager openbox(server.Display());
  ASSERT_TRUE(openbox.Running()) << "openbox did not take over the display";
  OnX(server.Display(), "X11SceneOpenbox.png", true);
}

}  // namespace
