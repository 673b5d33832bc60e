// The painters' contact sheets: one picture per painter with a row per
// element family and a cell per state, written into the build folder
// (twice the size, for people to look at). The test checks only that every
// cell painted something; the pictures are for review.
#include <gtest/gtest.h>

#include <string>

#include "library/foundation/cxLookAndFeelPainters.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PngWriter.h"
#include "platform/rtl/Owned.h"

namespace {

constexpr TColor kPage = 0xF0F0F0;
const TcxButtonState kStates[] = {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};
const TcxButtonState kRadioStates[] = {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};

class Sheet {
 public:
  Sheet(Integer W, Integer H) : FBitmap(New<TBitmap>()) {
    FBitmap->SetPixelFormat(pf32bit);
    FBitmap->SetSize(W, H);
    FCanvas = MakeOwned<TcxCanvas>(FBitmap->GetCanvas());
    FCanvas->GetBrush()->SetColor(kPage);
    FCanvas->FillRect({0, 0, W, H});
    FFont.reset(New<TFont>());
    FFont->SetName("Tahoma");
    FFont->SetSize(8);
    FCanvas->GetFont()->Assign(FFont.get());
  }
  TcxCanvas* Canvas() { return FCanvas.get(); }
  TFont* Font() { return FFont.get(); }
  // Resets what a painter may have left on the canvas between cells.
  void Reset() {
    win::SelectClipRgn(FCanvas->GetHandle(), nullptr);
    FCanvas->GetBrush()->SetStyle(bsSolid);
  }
  bool Painted(const TRect& R) {
    Reset();
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x)
        if (FCanvas->GetPixel(x, y) != kPage) return true;
    return false;
  }
  bool Save(const std::string& APath) {
    Reset();
    const Integer W = FBitmap->GetWidth(), H = FBitmap->GetHeight();
    TCanvas* c = FBitmap->GetCanvas();
    return win::SaveRowsPng(2 * W, 2 * H,
                            [&](int y, std::uint32_t* row) {
                              for (Integer x = 0; x < W; ++x) {
                                const TColor p = c->GetPixels(x, y / 2);
                                const std::uint32_t rgb = (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
                                row[2 * x] = row[2 * x + 1] = rgb;
                              }
                            },
                            APath);
  }

 private:
  TOwned<TBitmap> FBitmap;
  TOwned<TcxCanvas> FCanvas;
  TOwned<TFont> FFont;
};

// Draws every family of the painter; answers the cells that must show
// something.
std::vector<TRect> DrawSheet(TcxCustomLookAndFeelPainterClass P, Sheet& S) {
  TcxCanvas* C = S.Canvas();
  std::vector<TRect> cells;
  auto cell = [&](const TRect& R) {
    cells.push_back(R);
    return R;
  };
  Integer y = 8;

  // Push buttons in every state, a control border, a button group.
  for (int i = 0; i < 5; ++i) {
    P->DrawButton(C, cell(cxRectBounds(8 + i * 80, y, 72, 23)), "&Button", kStates[i]);
    S.Reset();
  }
  P->DrawBorder(C, cell(cxRectBounds(416, y, 60, 23)));
  for (int i = 0; i < 4; ++i) {
    P->DrawButtonInGroup(C, cell(cxRectBounds(488 + i * 17, y, 17, 23)), kRadioStates[i], 4, i, clWindow);
    S.Reset();
  }
  P->DrawButtonGroupBorder(C, cxRectBounds(487, y - 1, 70, 25), false, true);
  y += 32;

  // Arrow buttons in every direction and state, combo arrows.
  for (int d = 0; d < 4; ++d)
    for (int i = 0; i < 5; ++i) {
      P->DrawArrow(C, cell(cxRectBounds(8 + (d * 5 + i) * 22, y, 17, 17)), kStates[i],
                   static_cast<TcxArrowDirection>(d));
      S.Reset();
    }
  for (int i = 0; i < 3; ++i) {
    TRect r = cell(cxRectBounds(460 + i * 22, y, 17, 17));
    P->DrawArrowBorder(C, r, kStates[i + 1]);
    P->DrawButtonArrow(C, cxRectInflate(r, -P->ButtonBorderSize(), -P->ButtonBorderSize()), clBtnText);
  }
  y += 26;

  // Scroll-bar parts: line buttons, thumbs, page areas in every state.
  for (int i = 0; i < 5; ++i) {
    const Integer x = 8 + i * 96;
    P->DrawScrollBarPart(C, false, cell(cxRectBounds(x, y, 16, 16)), sbpLineUp, kStates[i]);
    P->DrawScrollBarPart(C, false, cell(cxRectBounds(x, y + 16, 16, 16)), sbpLineDown, kStates[i]);
    P->DrawScrollBarPart(C, true, cell(cxRectBounds(x + 20, y, 16, 16)), sbpLineUp, kStates[i]);
    P->DrawScrollBarPart(C, true, cell(cxRectBounds(x + 36, y, 16, 16)), sbpLineDown, kStates[i]);
    P->DrawScrollBarPart(C, true, cxRectBounds(x + 20, y + 16, 40, 16), sbpThumbnail, kStates[i]);
    P->DrawScrollBarPart(C, false, cell(cxRectBounds(x + 64, y, 16, 32)), sbpPageUp, kStates[i]);
    S.Reset();
  }
  y += 40;

  // Expand buttons: tree boxes, small boxes, group chevrons.
  Integer x = 8;
  for (bool expanded : {false, true}) {
    const Integer size = P->ExpandButtonSize() > 0 ? P->ExpandButtonSize() : 11;
    P->DrawExpandButton(C, cell(cxRectBounds(x, y + 2, size, size)), expanded);
    S.Reset();
    P->DrawExpandButton(C, cell(cxRectBounds(x + 18, y + 2, size, size)), expanded, clWindow);
    S.Reset();
    P->DrawSmallExpandButton(C, cell(cxRectBounds(x + 36, y + 3, 9, 9)), expanded, clBtnShadow, clWindow);
    x += 56;
  }
  for (bool expanded : {false, true})
    for (int i = 1; i < 5; ++i) {
      P->DrawGroupExpandButton(C, cell(cxRectBounds(x, y, 15, 15)), expanded, kStates[i]);
      x += 20;
    }
  y += 24;

  // Check boxes and radio buttons.
  x = 8;
  const TSize check = P->CheckButtonSize();
  for (bool checked : {false, true})
    for (int i = 1; i < 5; ++i) {
      P->DrawCheckButton(C, cell(cxRectBounds(x, y, check.cx, check.cy)), kStates[i], checked);
      x += 20;
    }
  x += 12;
  const TSize radio = P->RadioButtonSize();
  for (bool focused : {false, true})
    for (bool checked : {false, true})
      for (int i = 0; i < 4; ++i) {
        P->DrawRadioButton(C, x, y, kRadioStates[i], checked, focused, clDefault);
        cell(cxRectBounds(x, y, radio.cx, radio.cy));
        x += 18;
      }
  P->DrawRadioButton(C, x, y, cxbsNormal, true, false, clWindow);
  y += 24;

  // Headers: three neighbours, sorting marks, header-control sections.
  x = 8;
  const Integer hh = P->HeaderHeight(13);
  const char* names[] = {"Name", "Amount", "Date"};
  for (int i = 0; i < 3; ++i) {
    TcxNeighbors n;
    if (i > 0) n.Include(nLeft);
    if (i < 2) n.Include(nRight);
    TRect r = cell(cxRectBounds(x, y, 80, hh));
    P->DrawHeader(C, r, cxTextRect(r), n, P->HeaderBorders(n), i == 1 ? cxbsHot : cxbsNormal, taLeftJustify,
                  vaCenter, false, true, names[i], S.Font(), P->DefaultHeaderTextColor(), P->DefaultHeaderColor());
    if (i < 2) {
      const TSize area = P->SortingMarkAreaSize();
      P->DrawSortingMark(C, cxRectBounds(r.Right - area.cx - 2, r.Top, area.cx, cxRectHeight(r)), i == 0);
    }
    x += 80;
  }
  x += 10;
  for (int i = 0; i < 5; ++i) {
    TRect r = cell(cxRectBounds(x, y, 58, hh + 2));
    P->DrawHeaderControlSection(C, r, cxTextRect(r), {}, cxBordersAll, kStates[i], taCenter, vaCenter, "Section",
                                S.Font(), clBtnText, clBtnFace);
    x += 62;
  }
  y += hh + 10;

  // Footer cells and separator, indicator cells of every kind.
  x = 8;
  TRect footer = cxRectBounds(x, y, 200, 22);
  C->GetBrush()->SetColor(P->DefaultFooterColor());
  C->FillRect(footer);
  P->DrawFooterBorder(C, cell(footer));
  P->DrawFooterCell(C, cxRectBounds(x + 4, y + 3, 90, 16), taRightJustify, vaCenter, false, "1,234.50", S.Font(),
                    P->DefaultFooterTextColor(), P->DefaultFooterColor());
  P->DrawFooterSeparator(C, cxRectBounds(x + 97, y + 3, P->FooterSeparatorSize(), 16));
  P->DrawFooterCell(C, cxRectBounds(x + 101, y + 3, 90, 16), taRightJustify, vaCenter, false, "Count: 12", S.Font(),
                    P->DefaultFooterTextColor(), P->DefaultFooterColor());
  x = 220;
  for (int k = ikNone; k <= ikFilter; ++k) {
    P->DrawIndicatorItem(C, cell(cxRectBounds(x, y, 14, 18)), static_cast<TcxIndicatorKind>(k),
                         P->DefaultHeaderColor());
    x += 16;
  }
  // The auto-hide pins.
  C->Draw(x + 8, y + 1, cxAutoHideOnBitmap());
  C->Draw(x + 28, y + 1, cxAutoHideOffBitmap());
  y += 30;

  // Filter buttons.
  x = 8;
  const TSize activate = P->FilterActivateButtonSize(), close = P->FilterCloseButtonSize();
  for (bool checked : {false, true}) {
    P->DrawFilterActivateButton(C, cell(cxRectBounds(x, y, activate.cx, activate.cy)), cxbsNormal, checked);
    x += 20;
  }
  for (int i = 1; i < 5; ++i) {
    P->DrawFilterCloseButton(C, cell(cxRectBounds(x, y, close.cx, close.cy)), kStates[i]);
    x += 22;
  }
  for (bool active : {false, true})
    for (int i = 1; i < 5; ++i) {
      P->DrawFilterDropDownButton(C, cell(cxRectBounds(x, y, P->FilterDropDownButtonSize().cx, 18)), kStates[i],
                                  active);
      x += 20;
    }
  y += 28;

  // Tabs on their root, a month header, navigator buttons, splitters and
  // a scheduler border.
  x = 8;
  if (P->TabBorderSize(false) > 0) {
    // Tabs sit on a dialog's face.
    C->GetBrush()->SetColor(clBtnFace);
    C->FillRect(cxRectBounds(x - 4, y - 4, 244, 70));
    P->DrawTabsRoot(C, cell(cxRectBounds(x, y, 200, 2)), {bTop}, false);
    const TcxBorders sides{bLeft, bRight, bBottom};
    for (int i = 0; i < 3; ++i) {
      TRect tab = cxRectBounds(x + 4 + i * 62, y + 1, 60, 20);
      for (TcxBorder b : {bLeft, bRight, bBottom}) P->DrawTabBorder(C, tab, b, sides, false);
    }
    P->DrawTabsRoot(C, cell(cxRectBounds(x + 210, y, 2, 60)), {bRight}, true);
    const TcxBorders vsides{bTop, bRight, bBottom};
    for (int i = 0; i < 2; ++i) {
      TRect tab = cxRectBounds(x + 211, y + 4 + i * 26, 20, 24);
      for (TcxBorder b : {bTop, bRight, bBottom}) P->DrawTabBorder(C, tab, b, vsides, true);
    }
  }
  x = 250;
  TcxViewParams params;
  params.Color = P->DefaultDateNavigatorHeaderColor();
  params.TextColor = clBtnText;
  params.Font = S.Font();
  P->DrawMonthHeader(C, cell(cxRectBounds(x, y, 140, 20)), "March 2026", {nRight}, params, haLeft, 20);
  P->DrawMonthHeader(C, cell(cxRectBounds(x + 140, y, 140, 20)), "April 2026", {nLeft}, params, haRight, 20);
  y += 24;
  for (int i = 1; i < 5; ++i) {
    P->DrawSchedulerNavigatorButton(C, cell(cxRectBounds(x + (i - 1) * 22, y, 18, 28)), kStates[i]);
    S.Reset();
  }
  TcxViewParams splitter;
  splitter.Color = clBtnFace;
  P->DrawSchedulerSplitterBorder(C, cxRectBounds(x + 96, y, 80, 6), splitter, true);
  P->DrawSchedulerSplitterBorder(C, cxRectBounds(x + 184, y, 6, 28), splitter, false);
  C->GetBrush()->SetColor(clWindow);
  C->FillRect(cxRectBounds(x + 198, y, 60, 28));
  P->DrawSchedulerBorder(C, cxRectBounds(x + 198, y, 60, 28));
  return cells;
}

struct PaintersResources : ::testing::Environment {
  void TearDown() override { cxLookAndFeelPaintersFinalize();
    cxGraphicsFinalize(); }
};
const auto* const gResources = ::testing::AddGlobalTestEnvironment(new PaintersResources);

class PainterSheet : public ::testing::TestWithParam<TClass> {};

TEST_P(PainterSheet, EveryElementPaintsAndTheSheetIsWritten) {
  TcxCustomLookAndFeelPainterClass P(GetParam());
  Sheet S(620, 330);
  const std::vector<TRect> cells = DrawSheet(P, S);
  for (const TRect& r : cells) EXPECT_TRUE(S.Painted(r)) << P.ClassName() << " cell " << r.Left << "," << r.Top;
  EXPECT_TRUE(S.Save("Sheet-" + P.ClassName() + ".png"));
}

INSTANTIATE_TEST_SUITE_P(NonThemed, PainterSheet,
                         ::testing::Values(TcxStandardLookAndFeelPainter::StaticClass(),
                                           TcxFlatLookAndFeelPainter::StaticClass(),
                                           TcxUltraFlatLookAndFeelPainter::StaticClass()),
                         [](const auto& info) { return info.param->ClassName(); });

}  // namespace
