// Pictures: the graphic class comes from the file's bytes, the clipboard
// format or the class named in streamed data; every change of the picture
// or of its graphic is announced; bad files and unknown extensions are
// refused with the picture left as it was; pictures and bitmaps stream
// through layouts as their "Data".
#include "FormsTestUtil.h"

#include "platform/forms/Bitmap.h"
#include "platform/forms/Icon.h"
#include "platform/forms/JpegImage.h"
#include "platform/win/Icons.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ObjectText.h"
#include "platform/win/Clipboard.h"
#include "support/TempDir.h"

using namespace forms_test;

namespace {

// A graphic of a made-up format: its stream is "TG" and a width byte.
class TTestGraphic : public TGraphic {
  ORV_CLASS(TTestGraphic, TGraphic)
 public:
  TTestGraphic() = default;
  void LoadFromStream(TStream* Stream) override {
    char tag[3] = {};
    if (Stream->Read(tag, 3) != 3 || tag[0] != 'T' || tag[1] != 'G') throw EInvalidGraphic("Not a test graphic");
    FWidth = static_cast<Byte>(tag[2]);
    Changed(this);
  }
  void SaveToStream(TStream* Stream) override {
    char tag[3] = {'T', 'G', static_cast<char>(FWidth)};
    Stream->WriteBuffer(tag, 3);
  }
  void LoadFromClipboardFormat(Word, win::HANDLE, win::HPALETTE) override {}
  void SaveToClipboardFormat(Word&, win::HANDLE&, win::HPALETTE&) override {}
  bool Empty() const override { return FWidth == 0; }
  Integer GetWidth() const override { return FWidth; }
  void SetWidth(Integer Value) override { FWidth = Value; }
  Integer GetHeight() const override { return FWidth ? 1 : 0; }
  void SetHeight(Integer) override {}

 protected:
  void DoAssign(TPersistent* Source) override {
    if (auto* t = dynamic_cast<TTestGraphic*>(Source))
      FWidth = t->FWidth;
    else
      inherited::DoAssign(Source);
  }

  void Draw(TCanvas* Canvas, const TRect& Rect) override {
    Canvas->GetBrush()->SetColor(clRed);
    Canvas->FillRect(Rect);
  }

 private:
  Integer FWidth = 0;
};

// A component with a picture and a bitmap, as controls have them.
class TPictureHolder : public TComponent {
  ORV_CLASS(TPictureHolder, TComponent)
 public:
  explicit TPictureHolder(TComponent* AOwner) : TComponent(AOwner) {}
  ~TPictureHolder() override {
    FPicture->Free();
    FGlyph->Free();
  }
  TPicture* GetPicture() const { return FPicture; }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  TBitmap* GetGlyph() const { return FGlyph; }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }

 private:
  TPicture* FPicture = New<TPicture>();
  TBitmap* FGlyph = New<TBitmap>();
};

TBitmap* Checker() {
  TBitmap* b = New<TBitmap>();
  b->SetSize(3, 2);
  b->GetCanvas()->SetPixels(0, 0, clRed);
  b->GetCanvas()->SetPixels(2, 1, clBlue);
  return b;
}

}  // namespace

ORV_REGISTER(TTestGraphic)
ORV_REGISTER(TPictureHolder, ORV_PROP(Picture), ORV_PROP(Glyph))

TEST(Picture, EveryChangeIsAnnounced) {
  LeakCheck leaks;
  TPicture* p = New<TPicture>();
  std::vector<std::string> log;
  p->OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, p);
    log.push_back("change");
  };
  TBitmap* b = p->GetBitmap();  // made on demand
  EXPECT_EQ(log.size(), 1u);
  EXPECT_EQ(p->GetBitmap(), b) << "made once";
  b->SetSize(4, 4);
  b->GetCanvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(log.size(), 3u) << "the graphic's own changes reach the picture";
  EXPECT_EQ(p->GetWidth(), 4);
  p->SetGraphic(nullptr);
  EXPECT_EQ(log.size(), 4u);
  EXPECT_EQ(p->GetGraphic(), nullptr);
  EXPECT_EQ(p->GetWidth(), 0);
  p->Free();
}

TEST(Picture, GraphicsAreCopiedThroughTheirMetaclass) {
  LeakCheck leaks;
  TPicture* p = New<TPicture>();
  TTestGraphic* t = New<TTestGraphic>();
  t->SetWidth(7);
  p->SetGraphic(t);
  ASSERT_NE(p->GetGraphic(), nullptr);
  EXPECT_NE(p->GetGraphic(), t) << "a copy";
  EXPECT_EQ(p->GetGraphic()->ClassType(), TTestGraphic::StaticClass());
  EXPECT_EQ(p->GetWidth(), 7);
  t->SetWidth(9);
  EXPECT_EQ(p->GetWidth(), 7);

  // Asking for the bitmap replaces a graphic of another class.
  EXPECT_TRUE(p->GetBitmap()->Empty());

  TBitmap* b = Checker();
  TPicture* q = New<TPicture>();
  p->Assign(b);
  q->Assign(p);
  EXPECT_EQ(q->GetBitmap()->GetCanvas()->GetPixels(2, 1), clBlue);
  // From a picture into a bitmap.
  TBitmap* out = New<TBitmap>();
  out->Assign(q);
  EXPECT_EQ(out->GetCanvas()->GetPixels(0, 0), clRed);
  // A bitmap drawn from another kind of graphic.
  out->Assign(t);
  EXPECT_EQ(out->GetWidth(), 9);
  EXPECT_EQ(out->GetCanvas()->GetPixels(8, 0), clRed);
  q->Assign(nullptr);
  EXPECT_EQ(q->GetGraphic(), nullptr);
  out->Free();
  b->Free();
  q->Free();
  t->Free();
  p->Free();
}

TEST(Picture, FilesChooseTheirClassByTheirBytesAndBadOnesChangeNothing) {
  LeakCheck leaks;
  TempDir dir;
  TBitmap* b = Checker();
  TPicture* p = New<TPicture>();
  p->Assign(b);
  p->SaveToFile(dir / "checker.BMP");

  TPicture* q = New<TPicture>();
  q->LoadFromFile(dir / "checker.BMP");
  ASSERT_NE(dynamic_cast<TBitmap*>(q->GetGraphic()), nullptr);
  EXPECT_EQ(q->GetBitmap()->GetCanvas()->GetPixels(2, 1), clBlue);
  // Whatever the name says, the bytes tell the format.
  TMemoryStream saved;
  b->SaveToStream(&saved);
  const std::string bitmap(static_cast<const char*>(saved.GetMemory()), static_cast<std::size_t>(saved.GetSize()));
  for (const char* name : {"checker.jpg", "checker"}) {
    q->LoadFromFile(dir.Write(name, bitmap));
    EXPECT_NE(dynamic_cast<TBitmap*>(q->GetGraphic()), nullptr) << name;
  }

  int changes = 0;
  q->OnChange = [&](TObject*) { ++changes; };
  TGraphic* before = q->GetGraphic();
  std::string bytes = dir.Write("other.png", "\x89PNG....");
  EXPECT_THROW(q->LoadFromFile(bytes), EInvalidGraphic);
  EXPECT_THROW(q->LoadFromFile(dir.Write("noextension", "plain text")), EInvalidGraphic);
  const std::string empty = dir.Write("empty.bmp", "");
  try {
    q->LoadFromFile(empty);
    ADD_FAILURE() << "an empty file loaded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(e.GetMessage().find(empty), AnsiString::npos) << e.GetMessage();
  }
  std::string cut = dir.Write("cut.bmp", std::string("BM\x40\x00\x00\x00", 6) + std::string(20, '\0'));
  EXPECT_THROW(q->LoadFromFile(cut), EInvalidGraphic);
  EXPECT_THROW(q->LoadFromFile(dir / "missing.bmp"), EFOpenError);
  EXPECT_EQ(q->GetGraphic(), before);
  EXPECT_EQ(q->GetWidth(), 3);
  EXPECT_EQ(changes, 0);

  // A registered format is found by its extension.
  TPicture::RegisterFileFormat(".tgr", "Test graphics", TTestGraphic::StaticClass());
  std::string tgr = dir.Write("five.tgr", "TG\x05");
  q->LoadFromFile(tgr);
  EXPECT_EQ(q->GetGraphic()->ClassType(), TTestGraphic::StaticClass());
  EXPECT_EQ(q->GetWidth(), 5);
  EXPECT_EQ(TPicture::GraphicFilter(TGraphic::StaticClass()),
            "All (*.bmp;*.ico;*.emf;*.wmf;*.jpg;*.jpeg;*.tgr)|*.bmp;*.ico;*.emf;*.wmf;*.jpg;*.jpeg;*.tgr"
            "|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf"
            "|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Test graphics (*.tgr)|*.tgr");
  EXPECT_EQ(TPicture::GraphicExtension(TTestGraphic::StaticClass()), "tgr");
  TPicture::UnregisterGraphicClass(TTestGraphic::StaticClass());
  EXPECT_THROW(q->LoadFromFile(tgr), EInvalidGraphic);
  EXPECT_EQ(TPicture::GraphicFilter(TBitmap::StaticClass()), "All (*.bmp)|*.bmp|Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(TPicture::GraphicExtension(TBitmap::StaticClass()), "bmp");
  q->Free();
  p->Free();
  b->Free();
}

TEST(Picture, ClipboardFormats) {
  LeakCheck leaks;
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(win::CF_BITMAP));
  EXPECT_FALSE(TPicture::SupportsClipboardFormat(win::CF_TEXT));
  TBitmap* b = Checker();
  TPicture* p = New<TPicture>();
  Word format = 1;
  win::HANDLE data = nullptr;
  win::HPALETTE palette = nullptr;
  p->SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, 0) << "an empty picture gives nothing";
  EXPECT_EQ(data, nullptr);
  EXPECT_THROW(p->LoadFromClipboardFormat(win::CF_TEXT, nullptr, nullptr), EInvalidGraphic);
  p->LoadFromClipboardFormat(win::CF_BITMAP, reinterpret_cast<win::HANDLE>(b->GetHandle()), nullptr);
  EXPECT_EQ(p->GetBitmap()->GetCanvas()->GetPixels(0, 0), clRed);
  EXPECT_NE(p->GetBitmap()->GetHandle(), b->GetHandle()) << "the clipboard keeps its own";
  p->Free();
  b->Free();
}

TEST(Picture, PicturesAndBitmapsStreamAsTheirData) {
  LeakCheck leaks;
  TPictureHolder* h = New<TPictureHolder>(nullptr);
  TBitmap* b = Checker();
  h->GetPicture()->Assign(b);
  h->GetGlyph()->Assign(b);
  h->GetGlyph()->GetCanvas()->SetPixels(1, 1, clLime);
  TMemoryStream binary;
  binary.WriteComponent(h);

  TMemoryStream text;
  binary.SetPosition(0);
  ObjectBinaryToText(&binary, &text);
  std::string layout(static_cast<const char*>(text.GetMemory()), static_cast<std::size_t>(text.GetSize()));
  EXPECT_NE(layout.find("Picture.Data = {"), std::string::npos) << layout;
  EXPECT_NE(layout.find("Glyph.Data = {"), std::string::npos) << layout;

  TPictureHolder* back = New<TPictureHolder>(nullptr);
  binary.SetPosition(0);
  binary.ReadComponent(back);
  EXPECT_EQ(back->GetPicture()->GetBitmap()->GetCanvas()->GetPixels(2, 1), clBlue);
  EXPECT_EQ(back->GetGlyph()->GetCanvas()->GetPixels(1, 1), clLime);
  EXPECT_EQ(back->GetGlyph()->GetWidth(), 3);

  // Data naming a class nobody registered is refused.
  TPictureHolder* odd = New<TPictureHolder>(nullptr);
  // So is data cut short inside the class name or the bitmap.
  for (const char* data : {"0754426F67757300000000", "07544269", "07544269746D617010000000424D"}) {
    TStringStream badText("object PictureHolder: TPictureHolder\n  Picture.Data = {\n    " + std::string(data) +
                          "}\nend\n");
    TMemoryStream badBinary;
    ObjectTextToBinary(&badText, &badBinary);
    badBinary.SetPosition(0);
    EXPECT_THROW(badBinary.ReadComponent(odd), EInvalidGraphic) << data;
    EXPECT_EQ(odd->GetPicture()->GetGraphic(), nullptr);
  }

  odd->Free();
  back->Free();
  b->Free();
  h->Free();
}

TEST(Picture, IconsAndJpegPicturesStreamAsTheirDataUnchanged) {
  LeakCheck leaks;
  TBitmap* b = Checker();
  TJPEGImage* jpeg = New<TJPEGImage>();
  jpeg->Assign(b);
  win::HBITMAP mask = win::CreateBitmap(3, 2, 1, 1, nullptr);
  win::ICONINFO info{win::TRUE, 0, 0, mask, b->GetHandle()};
  TIcon* icon = New<TIcon>();
  icon->SetHandle(win::CreateIconIndirect(&info));
  win::DeleteObject(mask);
  for (TGraphic* g : std::initializer_list<TGraphic*>{jpeg, icon}) {
    TPictureHolder* h = New<TPictureHolder>(nullptr);
    h->GetPicture()->SetGraphic(g);
    TMemoryStream binary;
    binary.WriteComponent(h);
    TPictureHolder* back = New<TPictureHolder>(nullptr);
    binary.SetPosition(0);
    binary.ReadComponent(back);
    TGraphic* read = back->GetPicture()->GetGraphic();
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->ClassType(), g->ClassType());
    EXPECT_EQ(read->GetWidth(), 3);
    EXPECT_TRUE(read->Equals(g)) << g->ClassName() << ": the same bytes";
    back->Free();
    h->Free();
  }
  icon->Free();
  jpeg->Free();
  b->Free();
}
