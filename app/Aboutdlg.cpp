#include "app/Aboutdlg.h"

#include "platform/forms/Bitmap.h"
#include "platform/forms/Graphic.h"
#include "platform/rtl/Owned.h"

ORV_REGISTER(TAboutDialog, ORV_FIELD(Label2), ORV_FIELD(Label1), ORV_FIELD(VersionLabel), ORV_FIELD(cxButton1),
             ORV_FIELD(LibraryLabel), ORV_FIELD(DescriptionLabel), ORV_FIELD(Picture))

namespace {

TColor Mix(TColor A, TColor B, Integer Num, Integer Den) {
  auto channel = [&](Integer shift) {
    const Integer a = (A >> shift) & 0xFF, b = (B >> shift) & 0xFF;
    return ((a * (Den - Num) + b * Num) / Den) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

// A small landscape of the kind the generator makes: sky, two ridges with
// a snowy peak, and water in front.
void DrawLandscape(TCanvas* C, Integer Size) {
  const TColor skyTop = 0xE0A060, skyBottom = 0xFAE8D8;
  for (Integer y = 0; y < Size; ++y) {
    C->GetPen()->SetColor(Mix(skyTop, skyBottom, y, Size - 1));
    C->MoveTo(0, y);
    C->LineTo(Size, y);
  }
  C->GetPen()->SetStyle(psClear);
  C->GetBrush()->SetColor(0x5A7A8A);
  C->Polygon({TPoint(0, 62), TPoint(22, 30), TPoint(36, 44), TPoint(52, 20), TPoint(81, 58), TPoint(81, 81),
              TPoint(0, 81)});
  C->GetBrush()->SetColor(0xF4F4F4);
  C->Polygon({TPoint(45, 30), TPoint(52, 20), TPoint(60, 31), TPoint(55, 28), TPoint(50, 33)});
  C->GetBrush()->SetColor(0x3C8C4A);
  C->Polygon({TPoint(0, 70), TPoint(18, 56), TPoint(34, 62), TPoint(58, 52), TPoint(81, 64), TPoint(81, 81),
              TPoint(0, 81)});
  C->GetBrush()->SetColor(0xB07030);
  C->FillRect(TRect(0, 72, Size, Size));
  C->GetPen()->SetStyle(psSolid);
  C->GetPen()->SetColor(0xE0C090);
  C->MoveTo(8, 76);
  C->LineTo(30, 76);
  C->MoveTo(44, 78);
  C->LineTo(70, 78);
  C->GetBrush()->SetStyle(bsClear);
  C->GetPen()->SetColor(0x404040);
  C->Rectangle(0, 0, Size, Size);
}

}  // namespace

void TAboutDialog::DoShow() {
  if (Picture && Picture->GetPicture()->GetGraphic() == nullptr) {
    const Integer size = 81;
    TOwned<TBitmap> bitmap(New<TBitmap>());
    bitmap->SetSize(size, size);
    DrawLandscape(bitmap->GetCanvas(), size);
    Picture->GetPicture()->SetBitmap(bitmap.get());
  }
  inherited::DoShow();
}
