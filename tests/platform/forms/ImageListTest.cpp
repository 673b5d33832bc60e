// Image lists: images added from strips with a mask colour (the
// bottom-left pixel by default) and drawn masked, disabled or in the list's
// style; change links told once per change and safe whichever side goes
// first; holders notified when a list is freed.
#include "FormsTestUtil.h"

#include "platform/forms/ImageList.h"

using namespace forms_test;

namespace {

// A strip of two 4 x 4 images on magenta: image 0 a blue square in the
// middle, image 1 a green top row.
TBitmap* Strip() {
  TBitmap* b = New<TBitmap>();
  b->SetSize(8, 4);
  TCanvas* c = b->GetCanvas();
  c->GetBrush()->SetColor(clFuchsia);
  c->FillRect(Rect(0, 0, 8, 4));
  c->GetBrush()->SetColor(clBlue);
  c->FillRect(Rect(1, 1, 3, 3));
  c->GetBrush()->SetColor(clGreen);
  c->FillRect(Rect(4, 0, 8, 1));
  return b;
}

class THolder : public TComponent {
  ORV_CLASS(THolder, TComponent)
 public:
  explicit THolder(TComponent* AOwner) : TComponent(AOwner) {}
  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == Images) Images = nullptr;
  }
  TCustomImageList* Images = nullptr;
};

}  // namespace

ORV_REGISTER(THolder)

TEST(ImageList, MaskedImagesDrawOverWhatIsThere) {
  LeakCheck leaks;
  TImageList* list = New<TImageList>(nullptr);
  list->SetWidth(4);
  list->SetHeight(4);
  TBitmap* strip = Strip();
  EXPECT_EQ(list->AddMasked(strip, clDefault), 0) << "the bottom-left pixel (magenta) is the mask colour";
  EXPECT_EQ(list->GetCount(), 2);

  MemCanvas c(10, 6);
  c->GetBrush()->SetColor(clRed);
  c->FillRect(Rect(0, 0, 10, 6));
  list->Draw(c.Canvas, 0, 0, 0);
  list->Draw(c.Canvas, 5, 0, 1);
  EXPECT_EQ(c.At(1, 1), clBlue);
  EXPECT_EQ(c.At(0, 0), clRed) << "magenta was transparent";
  EXPECT_EQ(c.At(3, 3), clRed);
  EXPECT_EQ(c.At(5, 0), clGreen);
  EXPECT_EQ(c.At(5, 1), clRed);
  list->Draw(c.Canvas, 0, 0, 2);  // no such image: nothing
  list->Draw(c.Canvas, 0, 0, -1);

  // A background colour fills the transparent pixels.
  list->SetBkColor(clYellow);
  list->Draw(c.Canvas, 5, 0, 0);
  EXPECT_EQ(c.At(5, 0), clYellow);
  EXPECT_EQ(c.At(6, 1), clBlue);

  // Disabled: the shape in the button highlight, one pixel down and right,
  // then in the button shadow.
  list->SetBkColor(clNone);
  c->FillRect(Rect(0, 0, 10, 6));
  list->Draw(c.Canvas, 0, 0, 0, false);
  EXPECT_EQ(c.At(1, 1), TColor(win::RGB(128, 128, 128)));
  EXPECT_EQ(c.At(3, 3), clWhite);
  EXPECT_EQ(c.At(0, 0), clRed);

  // An explicit colour; an unmasked list draws every pixel.
  TImageList* plain = New<TImageList>(nullptr);
  plain->SetWidth(4);
  plain->SetHeight(4);
  plain->SetMasked(false);
  EXPECT_EQ(plain->AddMasked(strip, clFuchsia), 0);
  plain->Draw(c.Canvas, 0, 0, 0);
  EXPECT_EQ(c.At(0, 0), clFuchsia);

  EXPECT_THROW(list->Delete(5), EInvalidOperation);
  list->Delete(0);
  EXPECT_EQ(list->GetCount(), 1);
  list->SetWidth(8);
  EXPECT_EQ(list->GetCount(), 0) << "a new size empties the list";
  EXPECT_THROW(list->SetWidth(0), EInvalidOperation);
  plain->Free();
  strip->Free();
  list->Free();
}

TEST(ImageList, ChangeLinksHearEachChangeOnce) {
  LeakCheck leaks;
  TImageList* list = New<TImageList>(nullptr);
  list->SetWidth(4);
  list->SetHeight(4);
  TBitmap* strip = Strip();
  std::vector<std::string> log;
  TChangeLink* a = New<TChangeLink>();
  TChangeLink* b = New<TChangeLink>();
  a->OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, list);
    log.push_back("a");
  };
  b->OnChange = [&](TObject*) { log.push_back("b"); };
  list->OnChange = [&](TObject*) { log.push_back("list"); };
  list->RegisterChanges(a);
  list->RegisterChanges(b);
  list->RegisterChanges(a);  // once only
  EXPECT_EQ(a->GetSender(), list);

  list->AddMasked(strip, clDefault);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "list"}));
  log.clear();
  list->SetBkColor(clNone);  // unchanged
  EXPECT_TRUE(log.empty());
  list->BeginUpdate();
  list->AddMasked(strip, clDefault);
  list->SetDrawingStyle(dsSelected);
  list->Delete(0);
  EXPECT_TRUE(log.empty());
  list->EndUpdate();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "list"})) << "one announcement for the batch";

  // A link freed first leaves the list; a list freed first leaves its links
  // pointing at nothing.
  b->Free();
  log.clear();
  list->Clear();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "list"}));
  list->Free();
  EXPECT_EQ(a->GetSender(), nullptr);
  a->Free();
  strip->Free();
}

TEST(ImageList, HoldersAreToldWhenTheListGoes) {
  LeakCheck leaks;
  THolder* holder = New<THolder>(nullptr);
  TImageList* list = New<TImageList>(nullptr);
  holder->Images = list;
  list->FreeNotification(holder);
  list->Free();
  EXPECT_EQ(holder->Images, nullptr);
  holder->Free();
}
