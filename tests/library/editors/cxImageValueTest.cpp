// The picture behind an image editor's value: every graphic class's
// picture survives a save and a load (JPEG and metafile bytes untouched),
// the database header is honoured only when it fits, and no bad bytes get
// further than an empty picture.
#include <gtest/gtest.h>

#include <random>

#include "PictureSamples.h"
#include "library/editors/ConcreteEditorSession.h"

using namespace picture_test;

namespace {

struct ImageValues : ::testing::Test, edit_test::ConcreteSession {};

TEST_F(ImageValues, EveryClassRoundTripsAndTheHeaderIsHonouredOnlyWhenItFits) {
  EXPECT_EQ(GetRegisteredGraphicClasses(),
            (std::vector<TGraphicClass>{TBitmap::StaticClass(), TIcon::StaticClass(), TMetafile::StaticClass(),
                                        TJPEGImage::StaticClass()}));
  EXPECT_EQ(GetGraphicClassByName("tjpegimage"), TJPEGImage::StaticClass());
  // An unknown name leaves the class; an empty one clears it.
  TOwned<TcxImageProperties> properties(New<TcxImageProperties>(nullptr));
  EXPECT_EQ(properties->GetGraphicClassName(), "TBitmap");
  properties->SetGraphicClassName("TGifImage");
  EXPECT_EQ(properties->GetGraphicClassRef(), TBitmap::StaticClass());
  properties->SetGraphicClassName("");
  EXPECT_FALSE(properties->GetGraphicClassRef());
  for (const Sample& s : Samples()) {
    SCOPED_TRACE(s.Name);
    TOwned<TPicture> first(New<TPicture>()), second(New<TPicture>());
    LoadPicture(first.get(), s.Class, Variant(AnsiString(s.Bytes)));
    ASSERT_FALSE(IsPictureEmpty(first.get()));
    const std::string saved = Saved(first.get());
    LoadPicture(second.get(), s.Class, Variant(AnsiString(saved)));
    EXPECT_EQ(Drawn(second.get()), Drawn(first.get()));
    // Compressed and recorded pictures are kept as they came: reading a
    // value never costs quality or rewrites it.
    if (s.Class != TBitmap::StaticClass()) EXPECT_EQ(saved, s.Bytes);
    else EXPECT_EQ(Saved(second.get()), saved);

    LoadPicture(second.get(), s.Class, Variant(AnsiString(WithHeader(s.Bytes, s.Bytes.size()))));
    EXPECT_EQ(Drawn(second.get()), Drawn(first.get())) << "the bytes behind a fitting header";
    LoadPicture(second.get(), s.Class, Variant(AnsiString(WithHeader(s.Bytes, s.Bytes.size() + 1))));
    EXPECT_TRUE(IsPictureEmpty(second.get())) << "a header that does not fit is picture data";
  }
  // Seven bytes, a number and Null are no picture; an editor gives Null
  // back for them.
  TOwned<TPicture> picture(New<TPicture>());
  const Sample bmp = Samples()[1];
  for (const Variant& value : {Variant(AnsiString(bmp.Bytes.substr(0, 7))), Variant(42), Null()}) {
    LoadPicture(picture.get(), TBitmap::StaticClass(), Variant(AnsiString(bmp.Bytes)));
    LoadPicture(picture.get(), TBitmap::StaticClass(), value);
    EXPECT_TRUE(IsPictureEmpty(picture.get()));
    EXPECT_EQ(Saved(picture.get()), "");
  }
  TOwned<TcxImage> editor(New<TcxImage>(nullptr));
  editor->SetEditValue(Null());
  EXPECT_TRUE(VarIsNull(editor->GetEditValue()));
  editor->SetEditValue(Variant(AnsiString(bmp.Bytes)));
  LoadPicture(picture.get(), TBitmap::StaticClass(), Variant(AnsiString(bmp.Bytes)));
  EXPECT_EQ(Drawn(editor->GetPicture()), Drawn(picture.get()));
  EXPECT_EQ(VarToStr(editor->GetEditValue()), Saved(picture.get()));
}

// Truncated and damaged copies of each sample, random bytes and pictures
// whose headers promise more than they hold: each is an empty picture,
// reached without an exception and without allocating what was promised.
TEST_F(ImageValues, BadBytesGiveAnEmptyPictureAndNothingElse) {
  std::vector<std::pair<TGraphicClass, std::string>> bad;
  std::mt19937 random(7);
  for (const Sample& s : Samples()) {
    for (std::size_t cut : {std::size_t(8), s.Bytes.size() / 3, s.Bytes.size() / 2, s.Bytes.size() - 1})
      bad.emplace_back(s.Class, s.Bytes.substr(0, cut));
    for (int i = 0; i < 20; ++i) {
      std::string damaged = s.Bytes;
      for (int k = 0; k < 4; ++k) damaged[random() % damaged.size()] = static_cast<char>(random());
      bad.emplace_back(s.Class, damaged);
    }
    std::string noise(200, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    bad.emplace_back(s.Class, noise);
  }
  // A BMP claiming 100000 x 100000 pixels.
  std::string huge = Samples()[1].Bytes;
  for (int i = 0; i < 4; ++i) huge[18 + i] = huge[22 + i] = static_cast<char>((100000 >> (8 * i)) & 0xFF);
  bad.emplace_back(TBitmap::StaticClass(), huge);
  // An icon whose directory points past the end.
  std::string icon = Samples()[2].Bytes;
  icon[18] = icon[19] = static_cast<char>(0x7F);
  bad.emplace_back(TIcon::StaticClass(), icon);

  Integer loaded = 0;
  for (const auto& [cls, bytes] : bad) {
    TOwned<TPicture> picture(New<TPicture>());
    LoadPicture(picture.get(), TBitmap::StaticClass(), Variant(AnsiString(Samples()[1].Bytes)));
    EXPECT_NO_THROW(LoadPicture(picture.get(), cls, Variant(AnsiString(bytes))));
    // A damaged copy may still be a picture (a changed colour); whatever
    // loads is drawable and saves again.
    if (!IsPictureEmpty(picture.get())) {
      ++loaded;
      EXPECT_NO_THROW(Drawn(picture.get()));
      EXPECT_NO_THROW(Saved(picture.get()));
    }
  }
  EXPECT_LT(loaded, static_cast<Integer>(bad.size()));
  // The cut JPEG and the huge BMP are refused.
  for (const auto& [cls, bytes] : {std::pair{TGraphicClass(TJPEGImage::StaticClass()), Samples()[5].Bytes.substr(0, Samples()[5].Bytes.size() / 2)},
                                   std::pair{TGraphicClass(TBitmap::StaticClass()), huge}}) {
    TOwned<TPicture> picture(New<TPicture>());
    LoadPicture(picture.get(), cls, Variant(AnsiString(bytes)));
    EXPECT_TRUE(IsPictureEmpty(picture.get()));
  }
}

}  // namespace
