// The picture editors. 100 image cells without editor windows whose values
// are a 256 x 256 BMP and a 256 x 256 JPEG, each laid out, given its value
// (which decodes the picture) and painted, beside as many text cells in
// the same run ("to_text"); the content size of such a cell; LoadPicture
// per format (bytes per second); and the image combo box's list of 1,000
// items opened (every row measured and the rows shown drawn) and closed.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "EditorBenchCells.h"
#include "library/editors/cxImage.h"
#include "library/editors/cxImageComboBox.h"
#include "platform/forms/Forms.h"
#include "platform/forms/JpegImage.h"
#include "platform/rtl/NumberText.h"
#include "platform/win/TestHooks.h"

namespace {

using namespace editor_bench;

// A 256 x 256 picture of colour bands as a value of the class's format.
AnsiString PictureValue(bool AJpeg) {
  TOwned<TBitmap> bitmap(New<TBitmap>());
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(256, 256);
  for (Integer y = 0; y < 256; y += 8)
    for (Integer x = 0; x < 256; x += 8) {
      bitmap->GetCanvas()->GetBrush()->SetColor(static_cast<TColor>(x | y << 8 | ((x + y) & 0xFF) << 16));
      bitmap->GetCanvas()->FillRect(TRect(x, y, x + 8, y + 8));
    }
  TOwned<TPicture> picture(New<TPicture>());
  if (AJpeg) {
    TOwned<TJPEGImage> jpeg(New<TJPEGImage>());
    jpeg->Assign(bitmap.get());
    jpeg->Compress();
    picture->SetGraphic(jpeg.get());
  } else {
    picture->SetGraphic(bitmap.get());
  }
  AnsiString value;
  SavePicture(picture.get(), value);
  return value;
}

TcxImageProperties* ImageProperties(bool AJpeg) {
  auto* properties = New<TcxImageProperties>(nullptr);
  properties->SetGraphicClass(AJpeg ? TGraphicClass(TJPEGImage::StaticClass()) : TGraphicClass(TBitmap::StaticClass()));
  properties->SetStretch(true);
  return properties;
}

// Arg 0: BMP, 1: JPEG.
void BM_ImageCells(benchmark::State& state) {
  const bool jpeg = state.range(0) == 1;
  MeasureAgainstText(state, ImageProperties(jpeg), {Variant(PictureValue(jpeg))}, CellValue::Edit,
                     {Variant("picture")}, 100, 64);
}
BENCHMARK(BM_ImageCells)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ImageContentSize(benchmark::State& state) {
  StartConcreteUnits();
  const bool jpeg = state.range(0) == 1;
  TOwned<TcxImageProperties> properties(ImageProperties(jpeg));
  TOwned<TcxEditStyle> style(New<TcxEditStyle>(nullptr, true));
  TOwned<TcxCustomEditViewData> data(properties->CreateViewData(style.get(), true));
  TOwned<TBitmap> bitmap(cxCreateBitmap(10, 10));
  TcxCanvas canvas(bitmap->GetCanvas());
  const Variant value(PictureValue(jpeg));
  TcxEditSizeProperties size;
  size.Width = 120;
  for (auto _ : state) benchmark::DoNotOptimize(data->GetEditContentSize(&canvas, value, size));
}
BENCHMARK(BM_ImageContentSize)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Arg 0: BMP, 1: JPEG.
void BM_LoadPicture(benchmark::State& state) {
  StartConcreteUnits();
  const bool jpeg = state.range(0) == 1;
  const Variant value(PictureValue(jpeg));
  const TGraphicClass cls = jpeg ? TGraphicClass(TJPEGImage::StaticClass()) : TGraphicClass(TBitmap::StaticClass());
  TOwned<TPicture> picture(New<TPicture>());
  for (auto _ : state) LoadPicture(picture.get(), cls, value);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(value.RawAnsi().size()));
}
BENCHMARK(BM_LoadPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ImageComboListOf1000(benchmark::State& state) {
  StartConcreteUnits();
  auto* combo = New<TcxImageComboBox>(TheScreen().form);
  combo->SetBoundsRect({20, 30, 220, 51});
  combo->SetParent(TheScreen().form);
  auto* images = New<TImageList>(combo);
  images->SetWidth(16);
  images->SetHeight(16);
  TOwned<TBitmap> square(New<TBitmap>());
  square->SetSize(16, 16);
  square->GetCanvas()->GetBrush()->SetColor(clRed);
  square->GetCanvas()->FillRect(TRect(0, 0, 16, 16));
  images->AddMasked(square.get(), clWhite);
  TcxImageComboBoxProperties* properties = combo->GetProperties();
  properties->SetImages(images);
  properties->SetMultiLineText(state.range(0) == 1);
  properties->GetItems()->BeginUpdate();
  for (Integer i = 0; i < 1000; ++i) {
    TcxImageComboBoxItem* item = properties->GetItems()->Add();
    item->SetDescription("Item number " + IntToStr(i) + " with a description long enough to wrap");
    item->SetImageIndex(0);
    item->SetValue(Variant(i));
  }
  properties->GetItems()->EndUpdate();
  combo->SetFocus();
  win::test::PumpUntilIdle();
  for (auto _ : state) {
    combo->SetDroppedDown(true);
    win::test::PumpUntilIdle();
    if (!combo->GetDroppedDown()) state.SkipWithError("the list did not open");
    combo->SetDroppedDown(false);
    win::test::PumpUntilIdle();
  }
  combo->Free();
  win::test::PumpUntilIdle();
}
// Arg 0: one line per row, 1: wrapped descriptions.
BENCHMARK(BM_ImageComboListOf1000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
