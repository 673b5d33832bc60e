#include "library/foundation/cxStyles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/rtl/Filer.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"
#include "support/TempDir.h"

namespace {

std::vector<AnsiString>& ChangeLog() {
  static std::vector<AnsiString> log;
  return log;
}

// Slots 0..3 published under names; "BitmapBackground" holds the word
// "Bitmap" that bitmap keys of the INI form also hold.
class TTestStyles : public TcxStyles {
  ORV_CLASS(TTestStyles, TcxStyles)
 public:
  explicit TTestStyles(TPersistent* AOwner) : TcxStyles(AOwner) { FDefaultFont->SetName("Arial"); }
  ~TTestStyles() override { FDefaultFont->Free(); }

  TcxStyle* GetContent() const { return dynamic_cast<TcxStyle*>(GetValue(0)); }
  void SetContent(TcxStyle* Value) { SetValue(0, Value); }
  TcxStyle* GetHeader() const { return dynamic_cast<TcxStyle*>(GetValue(1)); }
  void SetHeader(TcxStyle* Value) { SetValue(1, Value); }
  TcxStyle* GetSelection() const { return dynamic_cast<TcxStyle*>(GetValue(2)); }
  void SetSelection(TcxStyle* Value) { SetValue(2, Value); }
  TcxStyle* GetBitmapBackground() const { return dynamic_cast<TcxStyle*>(GetValue(3)); }
  void SetBitmapBackground(TcxStyle* Value) { SetValue(3, Value); }

  void UseBitmaps() { FUseBitmapInViewParams = true; }
  TFont* DefaultFont() const { return FDefaultFont; }
  std::vector<Integer> Changes;

 protected:
  void Changed(Integer AIndex) override { Changes.push_back(AIndex); }
  void GetDefaultViewParams(Integer AIndex, TObject* AData, TcxViewParams& AParams) override {
    AParams.Color = clWindow;
    AParams.TextColor = clWindowText;
    AParams.Font = FDefaultFont;
    TcxStyles::GetDefaultViewParams(AIndex, AData, AParams);
  }

 private:
  TFont* FDefaultFont = New<TFont>();
};

class TOtherStyles : public TcxStyles {
  ORV_CLASS(TOtherStyles, TcxStyles)
 public:
  explicit TOtherStyles(TPersistent* AOwner) : TcxStyles(AOwner) {}
};

class TTestStyleSheet : public TcxCustomStyleSheet {
  ORV_CLASS(TTestStyleSheet, TcxCustomStyleSheet)
 public:
  explicit TTestStyleSheet(TComponent* AOwner) : TcxCustomStyleSheet(AOwner) {}
  TcxCustomStylesClass GetStylesClass() const override { return TTestStyles::StaticClass(); }
  TTestStyles* Test() const { return static_cast<TTestStyles*>(GetStyles()); }
  // Published with its own class, so that layouts hold the slots.
  TTestStyles* GetSlots() const { return Test(); }
  void SetSlots(TTestStyles* Value) { SetStyles(Value); }
};

class TStyleHost : public TComponent {
  ORV_CLASS(TStyleHost, TComponent)
 public:
  explicit TStyleHost(TComponent* AOwner) : TComponent(AOwner) {}
};

class TOtherStyleSheet : public TcxCustomStyleSheet {
  ORV_CLASS(TOtherStyleSheet, TcxCustomStyleSheet)
 public:
  explicit TOtherStyleSheet(TComponent* AOwner) : TcxCustomStyleSheet(AOwner) {}
  TcxCustomStylesClass GetStylesClass() const override { return TOtherStyles::StaticClass(); }
};

// A control that keeps styles; Probe reads slot 0 as the writer sees it.
class TStyledControl : public TComponent {
  ORV_CLASS(TStyledControl, TComponent)
 public:
  explicit TStyledControl(TComponent* AOwner) : TComponent(AOwner), FStyles(New<TTestStyles>(this)) {}
  ~TStyledControl() override { FStyles->Free(); }
  TTestStyles* GetStyles() const { return FStyles; }
  Integer GetProbe() const {
    ProbeSeen = FStyles->GetValue(0);
    return 0;
  }
  void SetProbe(Integer) {}
  mutable TcxCustomStyle* ProbeSeen = nullptr;

 private:
  TTestStyles* FStyles;
};

class TLoggingListener : public IcxStyleChangeListener {
 public:
  explicit TLoggingListener(const char* AName) : FName(AName) {}
  void StyleChanged(TcxCustomStyle*) override { ChangeLog().push_back(FName + " changed"); }
  void StyleRemoved(TcxCustomStyle* AStyle) override {
    ChangeLog().push_back(FName + " removed");
    AStyle->RemoveListener(this);
  }

 private:
  AnsiString FName;
};

}  // namespace

ORV_REGISTER(TTestStyles, ORV_PROP(Content), ORV_PROP(Header), ORV_PROP(Selection), ORV_PROP(BitmapBackground))
ORV_REGISTER(TOtherStyles)
ORV_REGISTER(TTestStyleSheet, ORV_PROP(Slots))
ORV_REGISTER(TStyleHost)
ORV_REGISTER(TOtherStyleSheet)
ORV_REGISTER(TStyledControl, ORV_PROP(Probe))

namespace {

struct Styles : ::testing::Test {
  void SetUp() override {
    ChangeLog().clear();
    live = TObject::LiveCount();
    root = New<TComponent>(nullptr);
    repository = New<TcxStyleRepository>(root);
  }
  void TearDown() override {
    root->Free();
    EXPECT_EQ(TObject::LiveCount(), live);
  }
  TcxStyle* NewStyle() { return static_cast<TcxStyle*>(repository->CreateItemEx(TcxStyle::StaticClass(), root)); }
  TTestStyleSheet* NewSheet() {
    return static_cast<TTestStyleSheet*>(repository->CreateStyleSheetEx(TTestStyleSheet::StaticClass(), root));
  }

  Int64 live = 0;
  TComponent* root = nullptr;
  TcxStyleRepository* repository = nullptr;
};

TcxStyleValues Values(std::initializer_list<TcxStyleValue> AValues) { return TcxStyleValues(AValues); }

}  // namespace

TEST_F(Styles, EachValueCarriesItsAssignedBit) {
  TcxStyle* style = NewStyle();
  EXPECT_TRUE(style->GetAssignedValues().Empty());
  style->SetColor(255);
  style->SetTextColor(clBtnFace);
  EXPECT_EQ(style->GetAssignedValues(), Values({svColor, svTextColor}));
  style->SetColor(clDefault);
  EXPECT_EQ(style->GetAssignedValues(), Values({svTextColor}));

  style->GetFont()->SetSize(14);
  EXPECT_TRUE(style->GetAssignedValues().Contains(svFont));
  style->GetBitmap()->SetSize(4, 4);
  EXPECT_TRUE(style->GetAssignedValues().Contains(svBitmap));
  style->GetBitmap()->SetSize(0, 0);
  EXPECT_FALSE(style->GetAssignedValues().Contains(svBitmap));

  TcxStyle* copy = NewStyle();
  copy->Assign(style);
  EXPECT_EQ(copy->GetAssignedValues(), style->GetAssignedValues());
  EXPECT_EQ(copy->GetTextColor(), clBtnFace);
  EXPECT_EQ(copy->GetFont()->GetSize(), 14);

  copy->RestoreDefaults();
  EXPECT_TRUE(copy->GetAssignedValues().Empty());
  EXPECT_EQ(copy->GetTextColor(), clDefault);
  // The font keeps what it was, it just no longer counts.
  EXPECT_EQ(copy->GetFont()->GetSize(), 14);
}

TEST_F(Styles, ListenersHearChangesLastFirstAndRemovalUntilNoneIsLeft) {
  TcxStyle* style = NewStyle();
  TLoggingListener a("a"), b("b");
  style->AddListener(&a);
  style->AddListener(&b);
  style->AddListener(&a);
  style->SetColor(1);
  EXPECT_EQ(ChangeLog(), (std::vector<AnsiString>{"b changed", "a changed"}));
  ChangeLog().clear();
  EXPECT_EQ(style->GetIndex(), 0);
  style->Free();
  EXPECT_EQ(ChangeLog(), (std::vector<AnsiString>{"b removed", "a removed"}));
  EXPECT_EQ(repository->GetCount(), 0);
}

TEST_F(Styles, SlotsStaySortedAndForgetAStyleThatGoes) {
  auto* styles = New<TTestStyles>(nullptr);
  TcxStyle* s1 = NewStyle();
  TcxStyle* s2 = NewStyle();
  styles->SetValue(7, s1);
  styles->SetValue(2, s2);
  styles->SetValue(5, s1);
  ASSERT_EQ(styles->GetCount(), 3);
  EXPECT_EQ(styles->GetItem(0).Index, 2);
  EXPECT_EQ(styles->GetItem(1).Index, 5);
  EXPECT_EQ(styles->GetItem(2).Index, 7);
  Integer position;
  EXPECT_FALSE(styles->Find(6, position));
  EXPECT_EQ(position, 2);
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{7, 2, 5}));

  // Setting the value a slot has changes nothing.
  styles->Changes.clear();
  styles->SetValue(2, s2);
  EXPECT_TRUE(styles->Changes.empty());

  s1->SetColor(3);
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{5, 7}));
  styles->Changes.clear();
  s1->Free();
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{7, 5}));
  EXPECT_EQ(styles->GetCount(), 1);
  styles->Free();
  EXPECT_EQ(s2->GetListenerCount(), 0);
}

// Styles and sheets made in turn, each sheet holding the style made just
// before it: emptying the repository of either kind leaves the other whole
// and in order, and everyone who used what went has let it go.
TEST_F(Styles, ARepositoryOfManyStylesAndSheetsEmptiesEachKindWhole) {
  constexpr int kMany = 20000;
  std::vector<TcxStyle*> styles;
  std::vector<TTestStyleSheet*> sheets;
  for (int i = 0; i < kMany; ++i) {
    styles.push_back(static_cast<TcxStyle*>(repository->CreateItem(TcxStyle::StaticClass())));
    sheets.push_back(static_cast<TTestStyleSheet*>(repository->CreateStyleSheet(TTestStyleSheet::StaticClass())));
    sheets.back()->Test()->SetValue(0, styles.back());
  }
  auto* user = New<TTestStyles>(nullptr);
  user->SetStyleSheet(sheets.back());
  user->SetValue(1, styles.front());
  EXPECT_EQ(repository->GetComponentCount(), 2 * kMany);
  EXPECT_EQ(repository->StyleIndexOf(styles[kMany / 2]), kMany / 2);

  repository->Clear();
  EXPECT_EQ(repository->GetCount(), 0);
  EXPECT_EQ(repository->GetComponentCount(), kMany);
  EXPECT_EQ(repository->GetComponent(kMany / 2), sheets[kMany / 2]);
  EXPECT_EQ(repository->StyleSheetIndexOf(sheets.back()), kMany - 1);
  EXPECT_EQ(sheets[7]->Test()->GetCount(), 0);
  EXPECT_EQ(user->GetValue(1), nullptr);

  repository->ClearStyleSheets();
  EXPECT_EQ(repository->GetStyleSheetCount(), 0);
  EXPECT_EQ(repository->GetComponentCount(), 0);
  EXPECT_EQ(user->GetStyleSheet(), nullptr);
  user->Free();
}

TEST_F(Styles, ViewParamsTakeTheCallStyleThenTheSlotThenTheDefaults) {
  auto* styles = New<TTestStyles>(nullptr);
  TcxViewParams params;
  styles->GetViewParams(0, nullptr, nullptr, params);
  EXPECT_EQ(params.Color, clWindow);
  EXPECT_EQ(params.TextColor, clWindowText);
  EXPECT_EQ(params.Font, styles->DefaultFont());
  EXPECT_EQ(params.Bitmap, nullptr);

  TcxStyle* slot = NewStyle();
  slot->SetColor(10);
  slot->SetTextColor(11);
  slot->GetBitmap()->SetSize(2, 2);
  TcxStyle* call = NewStyle();
  call->SetColor(20);
  styles->SetContent(slot);
  styles->GetViewParams(0, nullptr, call, params);
  EXPECT_EQ(params.Color, 20);
  EXPECT_EQ(params.TextColor, 11);
  EXPECT_EQ(params.Font, styles->DefaultFont());
  EXPECT_EQ(params.Bitmap, nullptr);  // this control draws no bitmaps
  styles->UseBitmaps();
  styles->GetViewParams(0, nullptr, call, params);
  EXPECT_EQ(params.Bitmap, slot->GetBitmap());
  EXPECT_EQ(styles->GetBitmap(0), slot->GetBitmap());
  EXPECT_EQ(styles->GetBitmap(1), nullptr);

  TcxViewParams combined;
  combined.Color = clNone;
  TcxStyleValues done = CombineParamsWithStyle(call, Values({svTextColor}), combined);
  done = CombineParamsWithStyle(slot, done, combined);
  EXPECT_EQ(done, Values({svColor, svTextColor, svBitmap}));
  EXPECT_EQ(combined.Color, 20);
  EXPECT_EQ(combined.Bitmap, slot->GetBitmap());
  EXPECT_EQ(combined.TextColor, clNone);

  // A change of the default font reaches the slots that use it.
  styles->Changes.clear();
  styles->GetViewParams(2, nullptr, nullptr, params);
  styles->DefaultFontChanged(nullptr, styles->DefaultFont());
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{0, 1, 2}));
  styles->Free();
}

TEST_F(Styles, SlotsFallBackOnTheSheetExceptWhileTheOwnerIsWritten) {
  TTestStyleSheet* sheet = NewSheet();
  TcxStyle* header = NewStyle();
  sheet->Test()->SetHeader(header);
  auto* control = New<TStyledControl>(root);
  TTestStyles* styles = control->GetStyles();
  styles->SetStyleSheet(sheet);
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{1}));
  EXPECT_EQ(styles->GetHeader(), header);
  EXPECT_EQ(sheet->GetUserCount(), 1);

  // A change of the sheet's style reaches every user.
  styles->Changes.clear();
  header->SetColor(5);
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{1}));

  styles->SetContent(header);
  control->ProbeSeen = nullptr;
  TMemoryStream stream;
  stream.WriteComponent(control);
  EXPECT_EQ(control->ProbeSeen, header);  // slot 0 is the control's own
  sheet->Test()->SetContent(NewStyle());
  styles->SetContent(nullptr);
  stream.WriteComponent(control);
  EXPECT_EQ(control->ProbeSeen, nullptr);  // the sheet's style is not written
  EXPECT_NE(styles->GetContent(), nullptr);

  sheet->Free();
  EXPECT_EQ(styles->GetStyleSheet(), nullptr);
  EXPECT_EQ(styles->GetHeader(), nullptr);
}

TEST_F(Styles, InvalidSheetsAreIgnored) {
  TTestStyleSheet* a = NewSheet();
  TTestStyleSheet* b = NewSheet();
  auto* other = repository->CreateStyleSheetEx(TOtherStyleSheet::StaticClass(), root);
  auto* styles = New<TTestStyles>(nullptr);
  styles->SetStyleSheet(other);
  EXPECT_EQ(styles->GetStyleSheet(), nullptr);
  a->GetStyles()->SetStyleSheet(a);
  EXPECT_EQ(a->GetStyles()->GetStyleSheet(), nullptr);
  a->GetStyles()->SetStyleSheet(b);
  b->GetStyles()->SetStyleSheet(a);  // would close a cycle
  EXPECT_EQ(a->GetStyles()->GetStyleSheet(), b);
  EXPECT_EQ(b->GetStyles()->GetStyleSheet(), nullptr);

  // A chain of sheets: a falls back on b.
  TcxStyle* style = NewStyle();
  b->Test()->SetSelection(style);
  styles->SetStyleSheet(a);
  EXPECT_EQ(styles->GetSelection(), style);
  styles->Free();
}

TEST_F(Styles, CopyingASheetGivesItStylesOfItsOwn) {
  TTestStyleSheet* source = NewSheet();
  source->SetName("Source");
  TcxStyle* header = NewStyle();
  header->SetColor(42);
  source->Test()->SetHeader(header);
  source->Test()->SetSelection(NewStyle());  // nothing assigned

  TTestStyleSheet* copy = NewSheet();
  copy->CopyFrom(source);
  ASSERT_NE(copy->Test()->GetHeader(), nullptr);
  EXPECT_NE(copy->Test()->GetHeader(), header);
  EXPECT_EQ(copy->Test()->GetHeader()->GetColor(), 42);

  TTestStyleSheet* named = NewSheet();
  std::vector<AnsiString> names;
  CreateStyleSheetStyles(named, source, TcxStyleGetName([&](TcxStyle*, AnsiString& AName) {
                           AName = "Named" + std::to_string(names.size());
                           names.push_back(AName);
                         }));
  EXPECT_EQ(names, (std::vector<AnsiString>{"Named0"}));  // the empty selection is not copied
  EXPECT_EQ(named->Test()->GetHeader()->GetName(), "Named0");
  EXPECT_EQ(named->Test()->GetSelection(), nullptr);

  source->SetCaption("source");
  EXPECT_EQ(source->GetCaption(), "Source");
  source->SetCaption("Fancy");
  EXPECT_EQ(source->GetCaption(), "Fancy");
}

TEST_F(Styles, ARepositoryWithItsStylesAndSheetsTravelsInALayout) {
  RegisterClass(TTestStyleSheet::StaticClass());
  auto* host = New<TStyleHost>(nullptr);
  auto* layoutRepository = New<TcxStyleRepository>(host);
  layoutRepository->SetName("Repository");
  auto* style = static_cast<TcxStyle*>(layoutRepository->CreateItemEx(TcxStyle::StaticClass(), host));
  style->SetName("Red");
  style->SetColor(255);
  style->GetFont()->SetSize(12);
  auto* sheet =
      static_cast<TTestStyleSheet*>(layoutRepository->CreateStyleSheetEx(TTestStyleSheet::StaticClass(), host));
  sheet->SetName("Sheet");
  sheet->SetBuiltIn(true);
  sheet->Test()->SetHeader(style);
  TMemoryStream stream;
  stream.WriteComponent(host);
  host->Free();

  stream.SetPosition(0);
  auto* back = New<TStyleHost>(nullptr);
  stream.ReadComponent(back);
  auto* backRepository = dynamic_cast<TcxStyleRepository*>(back->FindComponent("Repository"));
  auto* backStyle = dynamic_cast<TcxStyle*>(back->FindComponent("Red"));
  auto* backSheet = dynamic_cast<TTestStyleSheet*>(back->FindComponent("Sheet"));
  ASSERT_TRUE(backRepository && backStyle && backSheet);
  EXPECT_EQ(backRepository->GetCount(), 1);
  EXPECT_EQ(backRepository->GetStyleSheetCount(), 1);
  EXPECT_EQ(backStyle->GetStyleRepository(), backRepository);
  EXPECT_EQ(backStyle->GetAssignedValues(), Values({svColor, svFont}));
  EXPECT_EQ(backStyle->GetColor(), 255);
  EXPECT_EQ(backStyle->GetTextColor(), clDefault);
  EXPECT_EQ(backStyle->GetFont()->GetSize(), 12);
  EXPECT_TRUE(backSheet->GetBuiltIn());
  EXPECT_EQ(backSheet->Test()->GetHeader(), backStyle);
  back->Free();
}

// ---------------------------------------------------------------------------
// Style sheets in INI files

namespace {

std::string ReadFile(const std::string& AName) {
  std::ifstream in(AName, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct StyleSheetFiles : Styles {
  TempDir dir;
  TList sheets;
};

}  // namespace

TEST_F(StyleSheetFiles, SheetsAreWrittenAsColourAndFontTexts) {
  TTestStyleSheet* sheet = NewSheet();
  sheet->SetCaption("Sheet1");
  TcxStyle* content = NewStyle();
  content->SetColor(255);
  TcxStyle* header = NewStyle();
  header->GetFont()->SetName("Sans");
  header->GetFont()->SetSize(8);
  header->GetFont()->SetStyle(TFontStyles{fsBold});
  TcxStyle* selection = NewStyle();
  selection->SetColor(clHighlight);
  selection->SetTextColor(clHighlightText);
  sheet->Test()->SetSelection(selection);
  sheet->Test()->SetHeader(header);
  sheet->Test()->SetContent(content);
  sheets.Add(sheet);
  TTestStyleSheet* empty = NewSheet();
  empty->SetCaption("Empty");
  sheets.Add(empty);

  const std::string file = dir / "sheets.ini";
  SaveStyleSheetsToIniFile(file, &sheets);
  EXPECT_EQ(ReadFile(file),
            "[Sheet1]\r\nContent=255,default\r\nHeader=default,default,Sans,8,[B]\r\n"
            "Selection=-16777203,-16777202\r\n\r\n");

  TList loaded;
  LoadStyleSheetsFromIniFile(file, repository, TTestStyleSheet::StaticClass(), nullptr, root, &loaded);
  ASSERT_EQ(loaded.GetCount(), 1);
  auto* back = static_cast<TTestStyleSheet*>(loaded.Get(0));
  EXPECT_EQ(back->GetCaption(), "Sheet1");
  TcxStyle* c = back->Test()->GetContent();
  EXPECT_EQ(c->GetAssignedValues(), Values({svColor}));
  EXPECT_EQ(c->GetColor(), 255);
  TcxStyle* h = back->Test()->GetHeader();
  EXPECT_EQ(h->GetAssignedValues(), Values({svFont}));
  EXPECT_EQ(h->GetFont()->GetName(), "Sans");
  EXPECT_EQ(h->GetFont()->GetStyle(), TFontStyles{fsBold});
  EXPECT_EQ(back->Test()->GetSelection()->GetTextColor(), clHighlightText);

  // Without any assigned style the file is emptied.
  sheets.Clear();
  sheets.Add(empty);
  SaveStyleSheetsToIniFile(file, &sheets);
  EXPECT_EQ(ReadFile(file), "");
}

TEST_F(StyleSheetFiles, BitmapsFaceNamesWithCommasAndBitmapNamedPropertiesComeBack) {
  TTestStyleSheet* sheet = NewSheet();
  sheet->SetCaption("Pictures");
  TcxStyle* style = NewStyle();
  style->GetBitmap()->SetPixelFormat(pf24bit);
  style->GetBitmap()->SetSize(20, 20);
  TcxStyle* named = NewStyle();
  named->GetFont()->SetName("Face, Bold Cut");
  named->GetFont()->SetSize(11);
  named->GetFont()->SetStyle(TFontStyles{fsItalic, fsStrikeOut});
  sheet->Test()->SetContent(style);
  sheet->Test()->SetBitmapBackground(named);
  sheets.Add(sheet);
  const std::string file = dir / "pictures.ini";
  SaveStyleSheetsToIniFile(file, &sheets);

  TMemIniFile ini(file);
  const AnsiString first = ini.ReadString("Pictures", "ContentBitmap0", "");
  const AnsiString second = ini.ReadString("Pictures", "ContentBitmap1", "");
  EXPECT_EQ(first.size(), 2047u);
  EXPECT_EQ(first.size() + second.size(), 2u * (54 + 20 * 60));
  EXPECT_FALSE(ini.ValueExists("Pictures", "ContentBitmap2"));
  EXPECT_EQ(ini.ReadString("Pictures", "BitmapBackground", ""), "default,default,Face, Bold Cut,11,[IS]");

  TList loaded;
  LoadStyleSheetsFromIniFile(file, repository, TTestStyleSheet::StaticClass(), nullptr, nullptr, &loaded);
  ASSERT_EQ(loaded.GetCount(), 1);
  auto* back = static_cast<TTestStyleSheet*>(loaded.Get(0));
  TcxStyle* picture = back->Test()->GetContent();
  EXPECT_TRUE(picture->GetAssignedValues().Contains(svBitmap));
  EXPECT_EQ(picture->GetBitmap()->GetWidth(), 20);
  TcxStyle* face = back->Test()->GetBitmapBackground();
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->GetFont()->GetName(), "Face, Bold Cut");
  EXPECT_EQ(face->GetFont()->GetSize(), 11);
  EXPECT_EQ(face->GetFont()->GetStyle(), (TFontStyles{fsItalic, fsStrikeOut}));
  // Made without an owner, the styles and sheet belong to the repository.
  EXPECT_EQ(picture->GetOwner(), repository);
}

TEST_F(StyleSheetFiles, SheetsWhoseCaptionsAFileWouldTakeForOneKeepTheirOwnValues) {
  // Section names compare without regard to case, so "Blue", "BLUE" and an
  // uncaptioned sheet named "blue" would fall into one section; a sheet
  // already captioned "BLUE (2)" keeps that name to itself.
  auto sheet = [&](const char* ACaption, TColor AColor) {
    TTestStyleSheet* s = NewSheet();
    s->SetCaption(ACaption);
    TcxStyle* style = NewStyle();
    style->SetColor(AColor);
    s->Test()->SetContent(style);
    sheets.Add(s);
    return s;
  };
  sheet("Blue", 1);
  sheet("BLUE", 2)->Test()->SetHeader(NewStyle());
  sheet("BLUE (2)", 3);
  sheet("", 4)->SetName("blue");
  const std::string file = dir / "blue.ini";
  SaveStyleSheetsToIniFile(file, &sheets);

  // Distinct captions keep today's layout; any INI reader sees one section
  // per sheet, holding that sheet's own values.
  EXPECT_EQ(ReadFile(file),
            "[Blue]\r\nContent=1,default\r\n\r\n"
            "[BLUE (3)]\r\n@Caption=BLUE\r\nContent=2,default\r\nHeader=default,default\r\n\r\n"
            "[BLUE (2)]\r\nContent=3,default\r\n\r\n"
            "[blue (4)]\r\n@Caption=blue\r\nContent=4,default\r\n\r\n");

  TList loaded;
  LoadStyleSheetsFromIniFile(file, repository, TTestStyleSheet::StaticClass(), nullptr, root, &loaded);
  ASSERT_EQ(loaded.GetCount(), 4);
  const char* captions[] = {"Blue", "BLUE", "BLUE (2)", "blue"};
  for (Integer i = 0; i < 4; ++i) {
    auto* back = static_cast<TTestStyleSheet*>(loaded.Get(i));
    EXPECT_EQ(back->GetCaption(), captions[i]);
    EXPECT_EQ(back->Test()->GetContent()->GetColor(), i + 1) << captions[i];
    EXPECT_EQ(back->Test()->GetHeader() != nullptr, i == 1) << captions[i];
  }
}

TEST_F(StyleSheetFiles, ADamagedValueKeepsTheSheetsBeforeItAndMakesNothingOfItsOwn) {
  // What a damaged file leaves: the loaded list and the repository hold
  // exactly the sheets (and their styles) read before the damage.
  auto load = [&](const std::string& AText, const char* AExpected) {
    const std::string file = dir.Write("damaged.ini", AText);
    TList loaded;
    try {
      LoadStyleSheetsFromIniFile(file, repository, TTestStyleSheet::StaticClass(), nullptr, root, &loaded);
      ADD_FAILURE() << AText;
    } catch (const EConvertError& e) {
      EXPECT_NE(e.GetMessage().find(AExpected), AnsiString::npos) << e.GetMessage();
    }
    std::vector<std::string> captions;
    for (Integer i = 0; i < loaded.GetCount(); ++i)
      captions.push_back(static_cast<TcxCustomStyleSheet*>(loaded.Get(i))->GetCaption());
    EXPECT_EQ(repository->GetStyleSheetCount(), loaded.GetCount());
    return captions;
  };
  // The good sheets before the bad one come whole, with their styles; the
  // bad sheet's good first style is not made, nor is anything after it.
  EXPECT_EQ(load("[Good]\r\nContent=1,2\r\nHeader=3,default\r\n[Bad]\r\nContent=5,6\r\nHeader=red,default\r\n"
                 "[Later]\r\nContent=7,8\r\n",
                 "\"red\" in section [Bad], key Header"),
            std::vector<std::string>{"Good"});
  ASSERT_EQ(repository->GetStyleSheetCount(), 1);
  auto* good = static_cast<TTestStyleSheet*>(repository->GetStyleSheet(0));
  EXPECT_EQ(good->Test()->GetContent()->GetTextColor(), 2);
  EXPECT_EQ(good->Test()->GetHeader()->GetColor(), 3);
  EXPECT_EQ(repository->GetCount(), 2);
  repository->ClearStyleSheets();
  repository->Clear();

  EXPECT_EQ(load("[A]\r\nContent=1,2,Sans,huge,[B]\r\n", "\"huge\" in section [A], key Content"),
            std::vector<std::string>{});
  EXPECT_EQ(load("[A]\r\nContent=1,2\r\nContentBitmap0=0G\r\n", "key ContentBitmap0"), std::vector<std::string>{});
  EXPECT_EQ(load("[A]\r\nContent=1,2\r\nContentBitmap0=424D00\r\n", "bitmap in section [A]"),
            std::vector<std::string>{});
  EXPECT_EQ(repository->GetCount(), 0);
}

TEST_F(StyleSheetFiles, ChosenSectionsAndNamesForNewStyles) {
  const std::string file = dir.Write("two.ini",
                                     "[One]\r\nContent=1,default\r\nUnknown=5\r\n"
                                     "[Two]\r\nHeader=2,3\r\nSelectionBitmap0=00\r\n[Empty]\r\n");
  TStringList names;
  names.Add("Two");
  names.Add("Empty");
  TList loaded;
  LoadStyleSheetsFromIniFile(file, repository, TTestStyleSheet::StaticClass(), &names, root, &loaded,
                             TcxStyleGetName([](TcxStyle*, AnsiString& AName) { AName = "TwoHeader"; }));
  ASSERT_EQ(loaded.GetCount(), 1);
  auto* two = static_cast<TTestStyleSheet*>(loaded.Get(0));
  EXPECT_EQ(two->GetCaption(), "Two");
  EXPECT_EQ(two->Test()->GetHeader(), root->FindComponent("TwoHeader"));
  EXPECT_EQ(two->Test()->GetHeader()->GetTextColor(), 3);
}
