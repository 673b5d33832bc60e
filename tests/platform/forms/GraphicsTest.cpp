// Colours and the drawing tools: system colours resolve through the colour
// table, colour names round-trip, font sizes convert at 96 pixels per inch,
// and every tool announces each real change once and keeps its handle
// exactly as long as the description it was made from.
#include "FormsTestUtil.h"

#include <climits>

#include "platform/rtl/Filer.h"
#include "platform/rtl/ObjectText.h"
#include "platform/win/Metrics.h"

using namespace forms_test;

namespace {

// A component with a font, as controls have one.
class TFontHolder : public TComponent {
  ORV_CLASS(TFontHolder, TComponent)
 public:
  explicit TFontHolder(TComponent* AOwner) : TComponent(AOwner) {}
  ~TFontHolder() override { FFont->Free(); }
  TFont* GetFont() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }

 private:
  TFont* FFont = New<TFont>();
};

std::string LayoutText(TComponent* c) {
  TMemoryStream binary, text;
  binary.WriteComponent(c);
  binary.SetPosition(0);
  ObjectBinaryToText(&binary, &text);
  return std::string(static_cast<const char*>(text.GetMemory()), static_cast<std::size_t>(text.GetSize()));
}

}  // namespace

ORV_REGISTER(TFontHolder, ORV_PROP(Font))

TEST(Colors, SystemColorsResolveThroughTheTableAndSpecialValuesStay) {
  EXPECT_EQ(ColorToRGB(clBtnFace), TColor(win::RGB(212, 208, 200)));
  EXPECT_EQ(ColorToRGB(clHighlight), TColor(win::RGB(10, 36, 106)));
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  EXPECT_EQ(ColorToRGB(clNone), clNone);
  EXPECT_EQ(ColorToRGB(clDefault), clDefault);

  // A changed table is seen at once.
  int index = win::COLOR_BTNFACE;
  COLORREF was = win::GetSysColor(index), now = win::RGB(1, 2, 3);
  win::SetSysColors(1, &index, &now);
  EXPECT_EQ(ColorToRGB(clBtnFace), TColor(now));
  win::SetSysColors(1, &index, &was);
}

TEST(Colors, NamesAndNumbersRoundTrip) {
  EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
  EXPECT_EQ(ColorToString(clSilver), "clSilver") << "the first of two names";
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(StringToColor("clbtnface"), clBtnFace);
  EXPECT_EQ(StringToColor("$00123456"), 0x123456);
  EXPECT_EQ(StringToColor("clNone"), clNone);
  EXPECT_THROW(StringToColor("clPlaid"), EConvertError);

  // Colour properties carry the names for layouts.
  TFont* f = New<TFont>();
  const TPropInfo* p = GetPropInfo(f, "Color");
  ASSERT_NE(p, nullptr);
  Int64 v = 0;
  ASSERT_TRUE(p->PropType->IdentToInt("clWindowText", v));
  EXPECT_EQ(v, clWindowText);
  f->Free();
}

TEST(Font, SizeAndHeightConvertAt96PixelsPerInch) {
  TFont* f = New<TFont>();
  EXPECT_EQ(f->GetName(), "MS Sans Serif");
  EXPECT_EQ(f->GetHeight(), -11);
  EXPECT_EQ(f->GetSize(), 8);
  EXPECT_EQ(f->GetColor(), clWindowText);
  EXPECT_EQ(f->GetCharset(), win::DEFAULT_CHARSET);

  struct Case {
    int Size, Height;
  } cases[] = {{8, -11}, {9, -12}, {10, -13}, {12, -16}, {14, -19}, {24, -32}};
  for (const Case& c : cases) {
    f->SetSize(c.Size);
    EXPECT_EQ(f->GetHeight(), c.Height) << "size " << c.Size;
    f->SetHeight(c.Height);
    EXPECT_EQ(f->GetSize(), c.Size) << "height " << c.Height;
  }
  // A positive height (cell height) gives a negative size, as the
  // description says.
  f->SetHeight(16);
  EXPECT_EQ(f->GetSize(), -12);
  // Sizes whose heights lie past the range get the largest height either
  // way, not a one-pixel font.
  f->SetSize(2000000000);
  EXPECT_EQ(f->GetHeight(), INT_MIN);
  f->SetSize(INT_MIN);
  EXPECT_EQ(f->GetHeight(), INT_MAX);
  f->SetSize(-1610612736);  // exactly INT_MIN pixels
  EXPECT_EQ(f->GetHeight(), INT_MAX);
  f->Free();
}

TEST(Font, OnChangeFiresOncePerRealChangeAndAssignOnce) {
  LeakCheck leaks;
  TFont* f = New<TFont>();
  TFont* g = New<TFont>();
  int changes = 0;
  f->OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, f);
    ++changes;
  };
  f->SetSize(8);  // already 8
  f->SetName("MS Sans Serif");
  f->SetStyle({});
  f->SetColor(clWindowText);
  EXPECT_EQ(changes, 0) << "setting what is there is no change";
  f->SetStyle({fsBold});
  f->SetColor(clRed);
  EXPECT_EQ(changes, 2);

  g->SetName("Arial");
  g->SetSize(12);
  g->SetStyle({fsItalic, fsUnderline});
  g->SetColor(clBlue);
  changes = 0;
  f->Assign(g);
  EXPECT_EQ(changes, 1) << "one notification for the whole copy";
  EXPECT_EQ(f->GetName(), "Arial");
  EXPECT_EQ(f->GetHeight(), -16);
  EXPECT_EQ(f->GetStyle(), (TFontStyles{fsItalic, fsUnderline}));
  EXPECT_EQ(f->GetColor(), clBlue);
  f->Assign(g);
  EXPECT_EQ(changes, 1) << "assigning an equal font changes nothing";

  TPen* pen = New<TPen>();
  EXPECT_THROW(f->Assign(pen), EConvertError);
  EXPECT_EQ(f->GetName(), "Arial") << "a refused source leaves the font alone";
  pen->Free();
  g->Free();
  f->Free();
}

TEST(Font, HandleFollowsTheDescriptionAndAdoptsForeignHandles) {
  LeakCheck leaks;
  TFont* f = New<TFont>();
  f->SetName("Arial");
  f->SetStyle({fsBold, fsStrikeOut});
  win::HFONT h = f->GetHandle();
  EXPECT_EQ(f->GetHandle(), h) << "cached";
  win::LOGFONTA lf{};
  ASSERT_EQ(win::GetObjectA(h, sizeof lf, &lf), int(sizeof lf));
  EXPECT_STREQ(lf.lfFaceName, "Arial");
  EXPECT_EQ(lf.lfHeight, -11);
  EXPECT_EQ(lf.lfWeight, win::FW_BOLD);
  EXPECT_TRUE(lf.lfStrikeOut);

  f->SetColor(clRed);
  EXPECT_EQ(f->GetHandle(), h) << "the colour is not part of the handle";
  f->SetSize(20);
  EXPECT_EQ(win::GetObjectType(h), 0u) << "the old handle is deleted";

  // A rotated font made elsewhere: the font takes it over as it is.
  lf.lfEscapement = 900;
  lf.lfHeight = -24;
  lf.lfItalic = 1;
  lf.lfWeight = win::FW_NORMAL;
  win::HFONT rotated = win::CreateFontIndirectA(&lf);
  int changes = 0;
  f->OnChange = [&](TObject*) { ++changes; };
  f->SetHandle(rotated);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(f->GetHandle(), rotated);
  EXPECT_EQ(f->GetHeight(), -24);
  EXPECT_EQ(f->GetSize(), 18);
  EXPECT_EQ(f->GetStyle(), (TFontStyles{fsItalic, fsStrikeOut}));

  // Copying an equal font drops the rotation: the copy is that font.
  TFont* same = New<TFont>();
  same->Assign(f);
  changes = 0;
  f->Assign(same);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(win::GetObjectType(rotated), 0u);
  ASSERT_EQ(win::GetObjectA(f->GetHandle(), sizeof lf, &lf), int(sizeof lf));
  EXPECT_EQ(lf.lfEscapement, 0);
  same->Free();
  f->Free();
}

TEST(PenAndBrush, HandlesDescribeTheToolAndChangesAnnounceOnce) {
  LeakCheck leaks;
  TPen* pen = New<TPen>();
  int penChanges = 0;
  pen->OnChange = [&](TObject*) { ++penChanges; };
  pen->SetWidth(0);
  EXPECT_EQ(pen->GetWidth(), 1) << "widths below one are one";
  EXPECT_EQ(penChanges, 0);
  pen->SetColor(clBtnShadow);
  pen->SetStyle(psDot);
  pen->SetMode(pmXor);
  EXPECT_EQ(penChanges, 3);
  win::LOGPEN lp{};
  ASSERT_EQ(win::GetObjectA(pen->GetHandle(), sizeof lp, &lp), int(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, win::PS_DOT);
  EXPECT_EQ(lp.lopnColor, win::RGB(128, 128, 128)) << "system colours are resolved";

  TPen* copy = New<TPen>();
  copy->Assign(pen);
  EXPECT_EQ(copy->GetMode(), pmXor);
  EXPECT_EQ(copy->GetStyle(), psDot);

  TBrush* brush = New<TBrush>();
  int brushChanges = 0;
  brush->OnChange = [&](TObject*) { ++brushChanges; };
  brush->SetStyle(bsClear);
  EXPECT_TRUE(brush->IsClear());
  brush->SetColor(clRed);
  EXPECT_EQ(brush->GetStyle(), bsSolid) << "a colour makes a clear brush solid";
  EXPECT_EQ(brushChanges, 2);
  win::LOGBRUSH lb{};
  ASSERT_EQ(win::GetObjectA(brush->GetHandle(), sizeof lb, &lb), int(sizeof lb));
  EXPECT_EQ(lb.lbStyle, win::BS_SOLID);
  EXPECT_EQ(lb.lbColor, win::RGB(255, 0, 0));
  for (TColor none : {clNone, clDefault}) {
    brush->SetColor(none);
    EXPECT_TRUE(brush->IsClear());
    ASSERT_EQ(win::GetObjectA(brush->GetHandle(), sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(lb.lbStyle, win::BS_NULL) << "no colour paints nothing";
  }
  brush->SetStyle(bsDiagCross);
  brush->SetColor(clBlue);
  ASSERT_EQ(win::GetObjectA(brush->GetHandle(), sizeof lb, &lb), int(sizeof lb));
  EXPECT_EQ(lb.lbStyle, win::BS_HATCHED);
  EXPECT_EQ(lb.lbHatch, std::uintptr_t(win::HS_DIAGCROSS));

  copy->Free();
  pen->Free();
  brush->Free();
}

TEST(Font, LayoutsReadAndWriteFontsByName) {
  LeakCheck leaks;
  TFontHolder* h = New<TFontHolder>(nullptr);
  TStringStream text(
      "object FontHolder: TFontHolder\n"
      "  Font.Charset = ANSI_CHARSET\n"
      "  Font.Color = clHighlight\n"
      "  Font.Height = -13\n"
      "  Font.Name = 'Tahoma'\n"
      "  Font.Style = [fsBold, fsItalic]\n"
      "end\n");
  TMemoryStream binary;
  ObjectTextToBinary(&text, &binary);
  binary.SetPosition(0);
  binary.ReadComponent(h);
  TFont* f = h->GetFont();
  EXPECT_EQ(f->GetCharset(), win::ANSI_CHARSET);
  EXPECT_EQ(f->GetColor(), clHighlight);
  EXPECT_EQ(f->GetSize(), 10);
  EXPECT_EQ(f->GetName(), "Tahoma");
  EXPECT_EQ(f->GetStyle(), (TFontStyles{fsBold, fsItalic}));

  std::string written = LayoutText(h);
  EXPECT_NE(written.find("Font.Charset = ANSI_CHARSET"), std::string::npos) << written;
  EXPECT_NE(written.find("Font.Color = clHighlight"), std::string::npos) << written;
  EXPECT_NE(written.find("Font.Height = -13"), std::string::npos) << written;
  EXPECT_EQ(written.find("Font.Size"), std::string::npos) << "the height alone is stored";
  h->Free();
}
