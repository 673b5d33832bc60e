// The image editor, the image combo box and the blob editor painted in
// cells of every look: a stretched picture keeps its proportions (at the
// top, or in the middle when centred), a see-through picture shows the
// cell's colour through it (composed only where the canvas shows it),
// a picture without a size draws nothing, the
// caption stands in for a missing picture; the combo cell puts its image
// left or right of the text; the blob cell shows its eight icons and its
// texts. The contact sheets (ImageEditorsSheet.png, ImageEditorWindows.png)
// are written to the build folder for a person to look at.

#include <gtest/gtest.h>

#include "ConcretePaint.h"
#include "library/foundation/cxGeometry.h"
#include "PictureSamples.h"
#include "library/editors/cxBlobEdit.h"
#include "library/editors/cxImageComboBox.h"
#include "platform/forms/Clipbrd.h"
#include "platform/forms/TestHooks.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PngWriter.h"
#include "platform/gdi/Recorder.h"
#include "platform/win/Keyboard.h"
#include "platform/win/WindowPos.h"
#include "support/PeakMemory.h"

using namespace edit_paint;
using namespace picture_test;

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kLime = 0x00FF00;

// A picture value: a bitmap of one colour (with a red middle when asked).
std::string SolidValue(Integer AWidth, Integer AHeight, TColor AColor, bool ARedMiddle = false) {
  TOwned<TBitmap> bitmap(New<TBitmap>());
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(AWidth, AHeight);
  bitmap->GetCanvas()->GetBrush()->SetColor(AColor);
  bitmap->GetCanvas()->FillRect(TRect(0, 0, AWidth, AHeight));
  if (ARedMiddle) {
    bitmap->GetCanvas()->GetBrush()->SetColor(kRed);
    bitmap->GetCanvas()->FillRect(TRect(AWidth / 4, AHeight / 4, AWidth * 3 / 4, AHeight * 3 / 4));
  }
  TOwned<TPicture> picture(New<TPicture>());
  picture->SetGraphic(bitmap.get());
  return Saved(picture.get());
}

// A placeable metafile whose header gives it no width.
std::string WidthlessMetafile() {
  std::string bytes = ReadFile("fuzz/corpus/metafile_reader/shapes.wmf");
  bytes[10] = bytes[6];
  bytes[11] = bytes[7];
  unsigned sum = 0;
  for (int i = 0; i < 20; i += 2) sum ^= static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8;
  bytes[20] = static_cast<char>(sum & 0xFF);
  bytes[21] = static_cast<char>(sum >> 8);
  return bytes;
}

struct Cell {
  TcxCustomEditViewData* Data;
  TcxCustomEditViewInfo* Info;
};

class ImageEditorsPaint : public edit_test::ConcreteEditorTest {
 protected:
  void Paint(TcxCustomEditProperties* AProperties, const Look& ALook, PainterCanvas& ACanvas, const TRect& ABounds,
             const Variant& AValue) {
    PaintValue(AProperties, ALook, ACanvas, ABounds, AValue)->Free();
  }
  // Paints AValue in a cell at ABounds with the look and answers the view
  // info (owned by the caller).
  TcxCustomEditViewInfo* PaintValue(TcxCustomEditProperties* AProperties, const Look& ALook, PainterCanvas& ACanvas,
                                    const TRect& ABounds, const Variant& AValue) {
    TOwned<TcxEditStyle> style = MakeStyle(ALook);
    TOwned<TcxCustomEditViewData> data(AProperties->CreateViewData(style.get(), true));
    auto* info = static_cast<TcxCustomEditViewInfo*>(AProperties->GetViewInfoClass()->Construct<>());
    PaintCell(ACanvas.get(), data.get(), info, ABounds, AValue, {}, Mouse::Away);
    return info;
  }
};

TEST_F(ImageEditorsPaint, PicturesFitCentreShowThroughAndCaptionsInEveryLook) {
  TOwned<TcxImageProperties> properties(New<TcxImageProperties>(nullptr));
  const Variant wide(AnsiString(SolidValue(200, 100, kRed)));
  for (const Look& look : kLooks) {
    SCOPED_TRACE(look.Name);
    PainterCanvas canvas(120, 120);
    properties->SetStretch(true);
    properties->SetCenter(false);
    TOwned<TcxCustomEditViewInfo> info(PaintValue(properties.get(), look, canvas, TRect(0, 0, 100, 100), wide));
    const TRect client = info->ClientRect;
    const TRect top = ColorBox(canvas, TRect(0, 0, 100, 100), kRed);
    EXPECT_EQ(top, TRect(client.Left, client.Top, client.Right, client.Top + client.Width() / 2));
    EXPECT_EQ(canvas.At(client.Left + 2, client.Bottom - 2), ColorToRGB(clWindow)) << "the rest is the cell's colour";
    properties->SetCenter(true);
    canvas.Clear(kPaper);
    info.reset(PaintValue(properties.get(), look, canvas, TRect(0, 0, 100, 100), wide));
    const TRect middle = ColorBox(canvas, TRect(0, 0, 100, 100), kRed);
    EXPECT_EQ(middle.Width(), client.Width());
    EXPECT_EQ(middle.Top - client.Top, (client.Height() - client.Width() / 2) / 2);

    // The recording shows one stretch of the picture into the fit.
    const win::HDC dc = canvas->GetHandle();
    win::GdiStartRecording(dc);
    info.reset(PaintValue(properties.get(), look, canvas, TRect(0, 0, 100, 100), wide));
    const std::string log = win::GdiRecording(dc);
    win::GdiStopRecording(dc);
    EXPECT_NE(log.find("Stretch"), std::string::npos) << log;

    // Lime is see-through (the bottom-left pixel's colour): the cell's
    // colour shows there, the red middle stays.
    properties->SetStretch(false);
    properties->SetGraphicTransparency(gtTransparent);
    canvas.Clear(kPaper);
    info.reset(PaintValue(properties.get(), look, canvas, TRect(0, 0, 100, 100),
                          Variant(AnsiString(SolidValue(40, 40, kLime, true)))));
    const TPoint c((client.Left + client.Right) / 2, (client.Top + client.Bottom) / 2);
    EXPECT_EQ(canvas.At(c.X, c.Y), ColorToRGB(kRed));
    EXPECT_EQ(canvas.At(c.X - 17, c.Y - 17), ColorToRGB(clWindow));
    properties->SetGraphicTransparency(gtDefault);

    // No picture: the caption in the middle; a picture of no width: the
    // cell's colour only, and the size of an empty picture.
    properties->SetCaption("No photo");
    canvas.Clear(kPaper);
    {
      MonochromeText mono;
      info.reset(PaintValue(properties.get(), look, canvas, TRect(0, 0, 100, 100), Null()));
    }
    const TRect text = ColorBox(canvas, client, clWindowText);
    EXPECT_FALSE(cxRectIsEmpty(text));
    EXPECT_LE(std::abs((text.Top + text.Bottom) / 2 - c.Y), 2);
    EXPECT_LE(std::abs((text.Left + text.Right) / 2 - c.X), 3);
    properties->SetCaption("");
    properties->SetGraphicClass(TMetafile::StaticClass());
    canvas.Clear(kPaper);
    info.reset(PaintValue(properties.get(), look, canvas, TRect(0, 0, 100, 100),
                          Variant(AnsiString(WidthlessMetafile()))));
    EXPECT_EQ(ColorBox(canvas, client, clWindow), client);
    properties->SetGraphicClass(TBitmap::StaticClass());
  }
  TOwned<TcxEditStyle> style = MakeStyle(kLooks[0]);
  TOwned<TcxCustomEditViewData> data(properties->CreateViewData(style.get(), true));
  PainterCanvas canvas(10, 10);
  TcxEditSizeProperties size;
  properties->SetGraphicClass(TMetafile::StaticClass());
  EXPECT_EQ(data->GetEditContentSize(canvas.get(), Variant(AnsiString(WidthlessMetafile())), size), TSize(0, 0));
  properties->SetGraphicClass(TBitmap::StaticClass());
  properties->SetStretch(true);
  size.Width = 50;
  EXPECT_EQ(data->GetEditContentSize(canvas.get(), wide, size), TSize(50, 25));
  size.Width = -1;
  size.Height = 33;
  // 200 x 33 / 100 = 66: ties go to the even neighbour.
  EXPECT_EQ(data->GetEditContentSize(canvas.get(), Variant(AnsiString(SolidValue(3, 2, kRed))), size), TSize(50, 33));
}

// A picture with see-through parts, stretched over an editor far larger
// than the canvas, is composed only where the canvas shows it.
TEST_F(ImageEditorsPaint, ASeeThroughPictureFarLargerThanTheCanvasIsComposedWhereItShows) {
  TOwned<TcxImageProperties> properties(New<TcxImageProperties>(nullptr));
  properties->SetStretch(true);
  properties->SetGraphicTransparency(gtTransparent);
  PainterCanvas canvas(120, 120);
  const long before = PeakMegabytes();
  // Stretched to 32767 square from -16000, the picture's red middle
  // covers the canvas; its lime rim is see-through.
  TOwned<TcxCustomEditViewInfo> info(PaintValue(properties.get(), kLooks[0], canvas,
                                                TRect(-16000, -16000, 16767, 16767),
                                                Variant(AnsiString(SolidValue(40, 40, kLime, true)))));
  EXPECT_EQ(ColorBox(canvas, TRect(0, 0, 120, 120), kRed), TRect(0, 0, 120, 120));
  EXPECT_LT(PeakMegabytes() - before, kScreenfulMegabytes) << "megabytes: the canvas's worth is a few";

  // Where the rim shows, the editor's colour does.
  canvas.Clear(kPaper);
  info.reset(PaintValue(properties.get(), kLooks[0], canvas, TRect(-100, -100, 32667, 32667),
                        Variant(AnsiString(SolidValue(40, 40, kLime, true)))));
  EXPECT_EQ(ColorBox(canvas, TRect(0, 0, 120, 120), clWindow), TRect(0, 0, 120, 120));
}

TEST_F(ImageEditorsPaint, AStretchedMetafileScalesItsMappingAndBitmapsIntoTheCell) {
  // A picture recorded 40 x 20 pixels in a window of ten units a pixel: a
  // red square fills its left half, a DIB of a blue and a green column
  // its right half.
  const win::RECT frame{0, 0, 40 * 2540 / 96, 20 * 2540 / 96};
  win::HDC dc = win::CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  win::SetMapMode(dc, win::MM_ANISOTROPIC);
  win::SetWindowExtEx(dc, 10, 10, nullptr);
  win::SetViewportExtEx(dc, 1, 1, nullptr);
  win::HBRUSH red = win::CreateSolidBrush(win::RGB(255, 0, 0));
  const win::RECT square{0, 0, 200, 200};
  win::FillRect(dc, &square, red);
  win::DeleteObject(red);
  struct {
    win::BITMAPINFOHEADER Header{40, 2, 1, 1, 32, win::BI_RGB, 0, 0, 0, 0, 0};
    std::uint32_t Bits[2] = {0x000000FF, 0x0000FF00};
  } dib;
  win::StretchDIBits(dc, 200, 0, 200, 200, 0, 0, 2, 1, dib.Bits, reinterpret_cast<const win::BITMAPINFO*>(&dib.Header),
                     win::DIB_RGB_COLORS, win::SRCCOPY);
  win::HENHMETAFILE emf = win::CloseEnhMetaFile(dc);
  std::string bytes(win::GetEnhMetaFileBits(emf, 0, nullptr), '\0');
  win::GetEnhMetaFileBits(emf, static_cast<win::UINT>(bytes.size()), reinterpret_cast<win::BYTE*>(bytes.data()));
  win::DeleteEnhMetaFile(emf);

  TOwned<TcxImageProperties> properties(New<TcxImageProperties>(nullptr));
  properties->SetGraphicClass(TMetafile::StaticClass());
  properties->SetStretch(true);
  properties->SetCenter(false);
  PainterCanvas canvas(120, 120);
  TOwned<TcxCustomEditViewInfo> info(
      PaintValue(properties.get(), kLooks[0], canvas, TRect(0, 0, 100, 100), Variant(AnsiString(bytes))));
  const TRect client = info->ClientRect;
  const Integer w = client.Width(), half = w / 2, quarter = w / 4;
  auto near = [](const TRect& a, const TRect& b) {
    return std::abs(a.Left - b.Left) <= 1 && std::abs(a.Top - b.Top) <= 1 && std::abs(a.Right - b.Right) <= 1 &&
           std::abs(a.Bottom - b.Bottom) <= 1;
  };
  const TRect redBox = ColorBox(canvas, client, kRed);
  const TRect blueBox = ColorBox(canvas, client, TColor(0xFF0000));
  const TRect greenBox = ColorBox(canvas, client, TColor(0x00FF00));
  auto text = [](const TRect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom);
  };
  SCOPED_TRACE("client " + text(client) + " red " + text(redBox) + " blue " + text(blueBox) + " green " +
               text(greenBox));
  EXPECT_TRUE(near(redBox, TRect(client.Left, client.Top, client.Left + half, client.Top + half)));
  EXPECT_TRUE(near(blueBox, TRect(client.Left + half, client.Top, client.Left + half + quarter, client.Top + half)));
  EXPECT_TRUE(near(greenBox, TRect(client.Left + half + quarter, client.Top, client.Right, client.Top + half)));
}

TEST_F(ImageEditorsPaint, ComboCellsPutTheirImageBesideTheTextAndBlobCellsTheirIcons) {
  TImageList* images = New<TImageList>(form);
  images->SetWidth(16);
  images->SetHeight(16);
  TOwned<TBitmap> square(New<TBitmap>());
  square->SetSize(16, 16);
  square->GetCanvas()->GetBrush()->SetColor(kRed);
  square->GetCanvas()->FillRect(TRect(0, 0, 16, 16));
  images->AddMasked(square.get(), clWhite);
  TOwned<TcxImageComboBoxProperties> combo(New<TcxImageComboBoxProperties>(nullptr));
  combo->SetImages(images);
  TcxImageComboBoxItem* item = combo->GetItems()->Add();
  item->SetDescription("Red");
  item->SetValue(Variant(1));
  TOwned<TcxBlobEditProperties> blob(New<TcxBlobEditProperties>(nullptr));
  for (const Look& look : kLooks) {
    SCOPED_TRACE(look.Name);
    PainterCanvas canvas(200, 24);
    MonochromeText mono;
    for (TcxImageAlign align : {iaLeft, iaRight}) {
      combo->SetImageAlign(align);
      canvas.Clear(kPaper);
      TOwned<TcxCustomEditViewInfo> info(PaintValue(combo.get(), look, canvas, TRect(0, 0, 180, 22), Variant(1)));
      const TRect image = ColorBox(canvas, TRect(0, 0, 180, 22), kRed);
      const TRect text = ColorBox(canvas, info->ClientRect, clWindowText);
      EXPECT_EQ(image.Width(), 16);
      EXPECT_FALSE(cxRectIsEmpty(text));
      if (align == iaLeft)
        EXPECT_LT(image.Right, text.Left);
      else
        EXPECT_GT(image.Left, text.Right);
    }
    // The blob cell: one icon per kind and emptiness, centred; a text in
    // the text styles.
    for (TcxBlobEditKind kind : {bekBlob, bekMemo, bekPict, bekOle}) {
      blob->SetBlobEditKind(kind);
      for (const Variant& value : {Null(), Variant(AnsiString("x"))}) {
        canvas.Clear(kPaper);
        TOwned<TcxCustomEditViewInfo> info(PaintValue(blob.get(), look, canvas, TRect(0, 0, 60, 22), value));
        auto* blobInfo = static_cast<TcxBlobEditViewInfo*>(info.get());
        const Integer base = kind == bekBlob ? 0 : kind == bekMemo ? 2 : kind == bekPict ? 4 : 6;
        EXPECT_EQ(blobInfo->ImageIndex, base + (VarIsNull(value) ? 0 : 1));
        EXPECT_EQ(blobInfo->ImageRect.Width(), 16);
        EXPECT_LE(std::abs((blobInfo->ImageRect.Left + blobInfo->ImageRect.Right) -
                           (blobInfo->ClientRect.Left + blobInfo->ClientRect.Right)), 1);
        // The icon's outline: black, or grey for an empty value.
        EXPECT_FALSE(cxRectIsEmpty(ColorBox(canvas, blobInfo->ImageRect, VarIsNull(value) ? clGray : clBlack)));
      }
    }
    blob->SetBlobEditKind(bekMemo);
    blob->SetBlobPaintStyle(bpsText);
    canvas.Clear(kPaper);
    TOwned<TcxCustomEditViewInfo> info(
        PaintValue(blob.get(), look, canvas, TRect(0, 0, 100, 22), Variant(AnsiString("top line\r\nmore"))));
    EXPECT_EQ(static_cast<TcxBlobEditViewInfo*>(info.get())->Text, "top line");
    EXPECT_FALSE(cxRectIsEmpty(ColorBox(canvas, TRect(0, 0, 100, 22), clWindowText)));
    blob->SetBlobPaintStyle(bpsIcon);
  }
}

// The sheets: cells of each editor in each look, and the editors' windows
// (a focused picture, a scrolled one, the combo's open list, the blob
// popups) as the screen shows them.
TEST_F(ImageEditorsPaint, ContactSheets) {
  const std::vector<Sample> samples = Samples();
  TImageList* images = New<TImageList>(form);
  images->SetWidth(16);
  images->SetHeight(16);
  for (TColor colour : {kRed, static_cast<TColor>(0x00A000), static_cast<TColor>(0xC00000)}) {
    TOwned<TBitmap> square(New<TBitmap>());
    square->SetSize(16, 16);
    square->GetCanvas()->GetBrush()->SetColor(colour);
    square->GetCanvas()->Ellipse(1, 1, 15, 15);
    images->AddMasked(square.get(), clDefault);
  }
  TOwned<TcxImageProperties> image(New<TcxImageProperties>(nullptr));
  image->SetStretch(true);
  image->SetGraphicClass(TJPEGImage::StaticClass());
  TOwned<TcxImageComboBoxProperties> combo(New<TcxImageComboBoxProperties>(nullptr));
  combo->SetImages(images);
  const char* names[] = {"Red circle", "Green circle", "Blue circle with a longer description"};
  for (Integer i = 0; i < 3; ++i) {
    TcxImageComboBoxItem* item = combo->GetItems()->Add();
    item->SetDescription(names[i]);
    item->SetValue(Variant(i));
  }
  TOwned<TcxBlobEditProperties> blob(New<TcxBlobEditProperties>(nullptr));

  constexpr Integer kLabel = 70, kCol = 130, kRow = 70;
  PainterCanvas sheet(kLabel + 6 * kCol + 10 + 10, 24 + 7 * kRow, static_cast<TColor>(0xF0F0F0));
  const char* columns[] = {"picture", "caption", "combo left", "combo right", "blob icons", "blob text"};
  for (Integer c = 0; c < 6; ++c)
    Label(sheet.get(), columns[c], TRect(kLabel + c * kCol, 4, kLabel + (c + 1) * kCol, 20), cxAlignHCenter);
  Integer row = 0;
  for (const Look& look : kLooks) {
    const Integer top = 24 + row++ * kRow;
    Label(sheet.get(), look.Name, TRect(4, top, kLabel, top + 20));
    Paint(image.get(), look, sheet, TRect(kLabel, top, kLabel + 120, top + 64),
                      Variant(AnsiString(samples[5].Bytes)));
    image->SetCaption("No photo");
    Paint(image.get(), look, sheet, TRect(kLabel + kCol, top, kLabel + kCol + 120, top + 64), Null());
    image->SetCaption("");
    combo->SetImageAlign(iaLeft);
    Paint(combo.get(), look, sheet, TRect(kLabel + 2 * kCol, top, kLabel + 2 * kCol + 120, top + 21),
                      Variant(0));
    combo->SetImageAlign(iaRight);
    Paint(combo.get(), look, sheet, TRect(kLabel + 3 * kCol, top, kLabel + 3 * kCol + 120, top + 21),
                      Variant(1));
    Integer x = kLabel + 4 * kCol;
    for (TcxBlobEditKind kind : {bekBlob, bekMemo, bekPict, bekOle}) {
      blob->SetBlobEditKind(kind);
      Paint(blob.get(), look, sheet, TRect(x, top, x + 30, top + 21), Null());
      Paint(blob.get(), look, sheet, TRect(x, top + 24, x + 30, top + 45), Variant(AnsiString("x")));
      x += 32;
    }
    blob->SetBlobEditKind(bekMemo);
    blob->SetBlobPaintStyle(bpsDefault);
    Paint(blob.get(), look, sheet, TRect(kLabel + 5 * kCol + 10, top, kLabel + 5 * kCol + 130, top + 21),
                      Variant(AnsiString("x")));
    blob->SetBlobPaintStyle(bpsText);
    Paint(blob.get(), look, sheet,
                      TRect(kLabel + 5 * kCol + 10, top + 24, kLabel + 5 * kCol + 130, top + 45),
                      Variant(AnsiString("First line\r\nsecond")));
    blob->SetBlobPaintStyle(bpsIcon);
  }
  EXPECT_TRUE(win::SaveBitmapPng(sheet.Bitmap()->GetHandle(), "ImageEditorsSheet.png"));

  // The windows.
  form->SetBounds(0, 0, 760, 420);
  auto* focused = Make<TcxImage>({10, 10, 170, 130});
  focused->GetProperties()->SetGraphicClass(TJPEGImage::StaticClass());
  focused->SetEditValue(Variant(AnsiString(samples[5].Bytes)));
  auto* scrolled = Make<TcxImage>({180, 10, 300, 110});
  scrolled->GetProperties()->SetCenter(false);
  scrolled->SetEditValue(Variant(AnsiString(SolidValue(300, 200, static_cast<TColor>(0xD08040), true))));
  auto* comboEdit = Make<TcxImageComboBox>({310, 10, 480, 31});
  comboEdit->GetProperties()->Assign(combo.get());
  comboEdit->GetProperties()->SetImageAlign(iaLeft);
  comboEdit->SetEditValue(Variant(2));
  auto* memoBlob = Make<TcxBlobEdit>({490, 10, 600, 31});
  memoBlob->GetProperties()->SetBlobEditKind(bekMemo);
  memoBlob->SetEditValue(Variant(AnsiString("A note kept with the record,\r\nover two lines.")));
  memoBlob->GetPopupWindow()->SetModalMode(false);
  auto* pictureBlob = Make<TcxBlobEdit>({610, 10, 720, 31});
  pictureBlob->GetProperties()->SetBlobEditKind(bekPict);
  pictureBlob->GetProperties()->SetPictureGraphicClass(TJPEGImage::StaticClass());
  pictureBlob->SetEditValue(Variant(AnsiString(samples[5].Bytes)));
  pictureBlob->GetPopupWindow()->SetModalMode(false);
  Show();
  focused->SetFocus();
  Pump();
  Integer position = 0;
  scrolled->GetVScrollBar()->OnScroll(scrolled->GetVScrollBar(), scLineDown, position);
  Pump();
  PainterCanvas windows(760, 420, static_cast<TColor>(0xF0F0F0));
  for (TWinControl* control : std::initializer_list<TWinControl*>{focused, scrolled, comboEdit, memoBlob, pictureBlob})
    GrabWindow(control, windows.get(), TPoint(control->GetLeft(), control->GetTop()));
  // The focus rectangle frames the focused picture's client area.
  const TRect focusedClient = cxRectOffset(focused->GetViewInfo()->ClientRect, focused->GetLeft(), focused->GetTop());
  EXPECT_EQ(ColorBox(windows, focusedClient, clBlack), focusedClient);
  // Each popup opened from its focused editor, grabbed and closed.
  const auto grabPopup = [&](TcxCustomDropDownEdit* AEdit, TPoint AAt) {
    AEdit->SetFocus();
    Pump();
    AEdit->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(AEdit->GetDroppedDown());
    GrabWindow(AEdit->GetPopupWindow(), windows.get(), AAt);
    AEdit->SetDroppedDown(false);
    Pump();
  };
  grabPopup(comboEdit, TPoint(310, 40));
  // The list with its images on the right: the first row's red circle sits
  // right of its text.
  comboEdit->GetProperties()->SetImageAlign(iaRight);
  grabPopup(comboEdit, TPoint(520, 40));
  const TRect firstRow(520, 40, 760, 58);
  const TRect circle = ColorBox(windows, firstRow, kRed);
  const TRect words = ColorBox(windows, TRect(firstRow.Left, firstRow.Top, circle.Left - 4, firstRow.Bottom), clWindowText);
  EXPECT_LT(words.Left, firstRow.Left + 8) << "the text starts at the left";
  EXPECT_GT(circle.Left, firstRow.Left + 150) << "the image is at the right end";
  grabPopup(memoBlob, TPoint(10, 150));
  grabPopup(pictureBlob, TPoint(300, 150));
  // The focused picture's context menu, opened from the keyboard, as its
  // own window shows it.
  focused->SetFocus();
  Pump();
  bool menuShown = false;
  win::test::OnNextModalLoop([&] {
    const win::HWND menu = forms::test::OpenMenuWindow();
    menuShown = menu != nullptr;
    if (menu) {
      win::RECT r{};
      win::GetWindowRect(menu, &r);
      win::HDC dc = win::GetWindowDC(menu);
      win::BitBlt(windows->GetHandle(), 560, 150, r.Right - r.Left, r.Bottom - r.Top, dc, 0, 0, win::SRCCOPY);
      win::ReleaseDC(menu, dc);
    }
    win::test::KeyPress(win::VK_ESCAPE);
  });
  Press(win::VK_APPS);
  EXPECT_TRUE(menuShown);
  EXPECT_TRUE(win::SaveBitmapPng(windows.Bitmap()->GetHandle(), "ImageEditorWindows.png"));

  // The menu images and the blob icons at four times their size.
  PainterCanvas icons(14 * 70 + 10, 80, static_cast<TColor>(0xF0F0F0));
  TOwned<TBitmap> cell(New<TBitmap>());
  cell->SetSize(16, 16);
  Integer x = 5;
  for (TCustomImageList* list : {cxImageMenuImages(), cxBlobEditImages()})
    for (Integer i = 0; i < list->GetCount(); ++i) {
      cell->GetCanvas()->GetBrush()->SetColor(static_cast<TColor>(0xF0F0F0));
      cell->GetCanvas()->FillRect(TRect(0, 0, 16, 16));
      list->Draw(cell->GetCanvas(), 0, 0, i);
      icons->GetCanvas()->StretchDraw(TRect(x, 10, x + 64, 74), cell.get());
      x += 70;
    }
  EXPECT_TRUE(win::SaveBitmapPng(icons.Bitmap()->GetHandle(), "ImageEditorIcons.png"));
}

}  // namespace
