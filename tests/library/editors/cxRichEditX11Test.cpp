// The rich text editor on a real X server: a log in four colours shown in
// the editor, a click into it and a line typed through XTest. The
// window's pixels are read back from the server (RichEditOnX.png in the
// build folder is for a person to look at); the story checks that the
// runs show in their colours and that what was typed is in the value.
#include <gtest/gtest.h>

#include "library/editors/ConcreteEditorsOnX.h"
#include "library/editors/cxRichEdit.h"

using namespace win;

namespace {

using RichEditOnX = ConcreteEditorsOnX;

TEST_F(RichEditOnX, TheLogShowsItsColoursAndTakesTypedText) {
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetBoundsRect({40, 40, 360, 220});
  auto* edit = New<TcxRichEdit>(form);
  edit->SetBoundsRect({12, 12, 300, 150});
  edit->SetParent(form);
  edit->SetEditValue(Variant(AnsiString(
      "{\\rtf1{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}"
      "\\cf1 Map {\\b ready}\\par \\cf2 ERROR at tile 7\\par \\cf3 retry\\par \\cf4 done\\cf1}")));
  form->Show();
  Settle();

  // A click after the last line, then a line typed.
  Click(edit, TPoint(200, 120));
  Key("Return");
  for (const char* key : {"o", "k"}) Key(key);
  const AnsiString value = VarToStr(edit->GetEditValue());
  EXPECT_TRUE(IsRichText(value));
  EXPECT_EQ(std::string(edit->GetLines()->Get(edit->GetLines()->GetCount() - 1)), "ok");

  Capture(form);
  // Each colour's pixels inside the editor.
  RECT formRect{};
  GetWindowRect(form->GetHandle(), &formRect);
  const TPoint origin = edit->ClientToScreen(TPoint(0, 0));
  // Text is smoothed on the server: a pixel counts for a colour when that
  // channel stands well above the other two (pixels are 0xRRGGBB).
  auto count = [&](int channel) {
    int n = 0;
    for (int y = origin.Y - formRect.Top; y < origin.Y - formRect.Top + 130 && y < height; ++y)
      for (int i = origin.X - formRect.Left; i < origin.X - formRect.Left + 280 && i < width; ++i) {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + i];
        const int c[3] = {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                          static_cast<int>(p & 0xFF)};
        if (channel < 0 ? c[0] + c[1] + c[2] < 120
                        : c[channel] > 100 && c[channel] > 2 * c[(channel + 1) % 3] + 40 &&
                              c[channel] > 2 * c[(channel + 2) % 3] + 40)
          ++n;
      }
    return n;
  };
  EXPECT_GT(count(0), 20) << "red";
  EXPECT_GT(count(1), 20) << "green";
  EXPECT_GT(count(2), 20) << "blue";
  EXPECT_GT(count(-1), 20) << "black";
  EXPECT_TRUE(Save("RichEditOnX.png"));
}

}  // namespace
