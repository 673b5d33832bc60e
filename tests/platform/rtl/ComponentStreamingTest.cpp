#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/rtl/Collation.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ObjectText.h"
#include "platform/rtl/Resources.h"

// A small application of the object model: a form with a panel holding a
// button, a label the button refers to, a collection of rows, option
// sub-objects, an event bound by method name, and values the items define
// for themselves.

namespace {

std::vector<std::string> Log;

ORV_ENUM(TItemKind, ikPlain, ikBold, ikFramed)
ORV_ENUM(TItemStyle, isLeft, isRight, isHidden)
using TItemStyles = Set<TItemStyle>;

bool ColorToIdent(Int64 v, AnsiString& ident) {
  if (v == 0x0000FF) ident = "clRed";
  else if (v == 0xFFFFFF) ident = "clWhite";
  else return false;
  return true;
}
bool IdentToColor(const AnsiString& ident, Int64& v) {
  if (SameText(ident, "clRed")) v = 0x0000FF;
  else if (SameText(ident, "clWhite")) v = 0xFFFFFF;
  else return false;
  return true;
}
const TTypeInfo* ColorInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t = *TypeInfo<Integer>();
    t.Name = "TColor";
    t.IdentToInt = &IdentToColor;
    t.IntToIdent = &ColorToIdent;
    return t;
  }();
  return &info;
}

class TTestOptions : public TPersistent {
  ORV_CLASS(TTestOptions, TPersistent)
 public:
  TTestOptions() = default;
  Integer GetRowHeaderWidth() const { return FRowHeaderWidth; }
  void SetRowHeaderWidth(Integer v) { FRowHeaderWidth = v; }
  bool GetNativeStyle() const { return FNativeStyle; }
  void SetNativeStyle(bool v) { FNativeStyle = v; }

 private:
  Integer FRowHeaderWidth = 100;
  bool FNativeStyle = false;
};

// Properties objects are chosen by class name, as editors choose theirs.
class TTestProps : public TPersistent {
  ORV_CLASS(TTestProps, TPersistent)
 public:
  TTestProps() = default;
  AnsiString GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& v) { FCaption = v; }

 private:
  AnsiString FCaption;
};

class TTestSpinProps : public TTestProps {
  ORV_CLASS(TTestSpinProps, TTestProps)
 public:
  TTestSpinProps() = default;
  Integer GetIncrement() const { return FIncrement; }
  void SetIncrement(Integer v) { FIncrement = v; }

 private:
  Integer FIncrement = 1;
};

class TTestRow : public TCollectionItem {
  ORV_CLASS(TTestRow, TCollectionItem)
 public:
  explicit TTestRow(TCollection* c) : TCollectionItem(c) {}
  AnsiString GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& v) { FCaption = v; }
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer v) { FWidth = v; }

 private:
  AnsiString FCaption;
  Integer FWidth = 50;
};

class TTestContainer;

class TTestItem : public TComponent {
  ORV_CLASS(TTestItem, TComponent)
 public:
  explicit TTestItem(TComponent* AOwner) : TComponent(AOwner) {}
  ~TTestItem() override;

  AnsiString GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& v) {
    FCaption = v;
    StatesSeen.push_back(GetComponentState());
  }
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer v) { FWidth = v; }
  TItemKind GetKind() const { return FKind; }
  void SetKind(TItemKind v) { FKind = v; }
  TItemStyles GetStyle() const { return FStyle; }
  void SetStyle(TItemStyles v) { FStyle = v; }
  double GetRatio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  Currency GetPrice() const { return FPrice; }
  void SetPrice(Currency v) { FPrice = v; }
  Integer GetColor() const { return FColor; }
  void SetColor(Integer v) { FColor = v; }
  WideString GetWideCaption() const { return FWideCaption; }
  void SetWideCaption(const WideString& v) { FWideCaption = v; }
  TTestOptions* GetOptions() const { return FOptions.get(); }
  AnsiString GetPropertiesClassName() const { return FProperties ? FProperties->ClassName() : AnsiString(); }
  void SetPropertiesClassName(const AnsiString& v) {
    if (SameText(v, GetPropertiesClassName())) return;
    FProperties.reset(static_cast<TTestProps*>(FindClass(v)->Create()));
  }
  TTestProps* GetProperties() const { return FProperties.get(); }
  TTestItem* GetFocusControl() const { return FFocusControl; }
  void SetFocusControl(TTestItem* v) {
    if (v == FFocusControl) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = v;
    if (v) v->FreeNotification(this);
    Log.push_back(GetName() + " focus " + (v ? v->GetName() : "nil"));
  }
  TNotifyEvent OnClick;

  std::vector<Byte> Blob;
  std::vector<TComponentState> StatesSeen;
  TTestContainer* ParentBox = nullptr;

  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == FFocusControl) FFocusControl = nullptr;
  }
  void SetParentComponent(TComponent* p) override;
  TComponent* GetParentComponent() override;
  bool HasParent() override { return ParentBox != nullptr; }
  void Loaded() override {
    TComponent::Loaded();
    Log.push_back("loaded " + GetName());
  }

  // Earlier layouts stored the width under another name; it is read, never written.
  void DefineProperties(TFiler* filer) override {
    filer->DefineProperty("LegacyWidth", TReaderProc::Bind<&TTestItem::ReadLegacy>(this), nullptr, false);
    filer->DefineBinaryProperty("Blob", TStreamProc::Bind<&TTestItem::ReadBlob>(this),
                                TStreamProc::Bind<&TTestItem::WriteBlob>(this), !Blob.empty());
  }

 private:
  void ReadLegacy(TReader* r) { FWidth = r->ReadInteger(); }
  void ReadBlob(TStream* s) {
    Blob.resize(static_cast<std::size_t>(s->GetSize()));
    s->ReadBuffer(Blob.data(), s->GetSize());
  }
  void WriteBlob(TStream* s) { s->WriteBuffer(Blob.data(), static_cast<Int64>(Blob.size())); }

  AnsiString FCaption;
  Integer FWidth = 0;
  TItemKind FKind = ikPlain;
  TItemStyles FStyle;
  double FRatio = 0;
  Currency FPrice;
  Integer FColor = 0xFFFFFF;
  WideString FWideCaption;
  TOwned<TTestOptions> FOptions{New<TTestOptions>()};
  TOwned<TTestProps> FProperties;
  TTestItem* FFocusControl = nullptr;
};

// Appends the items streamed inside it, in order.
class TTestContainer : public TTestItem {
  ORV_CLASS(TTestContainer, TTestItem)
 public:
  explicit TTestContainer(TComponent* AOwner) : TTestItem(AOwner) {}
  ~TTestContainer() override {
    for (TTestItem* c : Items) c->ParentBox = nullptr;
  }
  void GetChildren(TGetChildProc proc, TComponent*) override {
    for (TTestItem* c : Items) proc(c);
  }
  std::vector<TTestItem*> Items;
};

TTestItem::~TTestItem() {
  if (ParentBox) std::erase(ParentBox->Items, this);
}

void TTestItem::SetParentComponent(TComponent* p) {
  Log.push_back(GetName() + " in " + p->GetName());
  if (auto* box = dynamic_cast<TTestContainer*>(p)) {
    ParentBox = box;
    box->Items.push_back(this);
  }
}

TComponent* TTestItem::GetParentComponent() { return ParentBox; }

class TTestForm : public TComponent {
  ORV_CLASS(TTestForm, TComponent)
 public:
  explicit TTestForm(TComponent* AOwner) : TComponent(AOwner) {}

  AnsiString GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& v) { FCaption = v; }
  TTestOptions* GetOptions() const { return FOptions.get(); }
  TCollection* GetRows() const { return FRows.get(); }
  void Loaded() override {
    TComponent::Loaded();
    Log.push_back("loaded " + GetName());
  }
  void ButtonClick(TObject*) { ++Clicks; }

  TTestContainer* Panel1 = nullptr;
  TTestItem* Button1 = nullptr;
  TTestItem* Label1 = nullptr;
  int Clicks = 0;

 private:
  AnsiString FCaption;
  TOwned<TTestOptions> FOptions{New<TTestOptions>()};
  TOwned<TCollection> FRows{New<TCollection>(TTestRow::StaticClass())};
};

}  // namespace

ORV_REGISTER(TTestOptions, ORV_PROP(RowHeaderWidth).Default(100), ORV_PROP(NativeStyle).Default(false))
ORV_REGISTER(TTestProps, ORV_PROP(Caption))
ORV_REGISTER(TTestSpinProps, ORV_PROP(Increment).Default(1))
ORV_REGISTER(TTestRow, ORV_PROP(Caption), ORV_PROP(Width).Default(50))
ORV_REGISTER(TTestItem, ORV_PROP(Caption), ORV_PROP(Width), ORV_PROP(Kind).Default(ikPlain), ORV_PROP(Style).Default(0),
             ORV_PROP(Ratio), ORV_PROP(Price), ORV_PROP(Color).As(ColorInfo()).Default(0xFFFFFF),
             ORV_PROP(WideCaption), ORV_PROP_RO(Options), ORV_PROP(PropertiesClassName), ORV_PROP_RO(Properties),
             ORV_PROP(FocusControl), ORV_EVENT(OnClick))
ORV_REGISTER(TTestContainer)
ORV_REGISTER(TTestForm, ORV_PROP(Caption), ORV_PROP_RO(Options), ORV_PROP_RO(Rows), ORV_METHOD(ButtonClick),
             ORV_FIELD(Panel1), ORV_FIELD(Button1), ORV_FIELD(Label1))

namespace {

const char* const kLayout =
    "object MainForm: TTestForm\r\n"
    "  Caption = 'Main'\r\n"
    "  Options.RowHeaderWidth = 120\r\n"
    "  Options.NativeStyle = True\r\n"
    "  Rows = <\r\n"
    "    item\r\n"
    "      Caption = 'first'\r\n"
    "    end\r\n"
    "    item\r\n"
    "      Caption = 'second'\r\n"
    "      Width = 80\r\n"
    "    end>\r\n"
    "  object Panel1: TTestContainer\r\n"
    "    Width = 200\r\n"
    "    object Button1: TTestItem\r\n"
    "      Tag = 7\r\n"
    "      Caption = 'Run'\r\n"
    "      Width = 75\r\n"
    "      Kind = ikBold\r\n"
    "      Style = [isLeft, isHidden]\r\n"
    "      Ratio = 0.5\r\n"
    "      Price = 9.99c\r\n"
    "      Color = clRed\r\n"
    "      WideCaption = 'x'#8364\r\n"
    "      Options.RowHeaderWidth = 10\r\n"
    "      PropertiesClassName = 'TTestSpinProps'\r\n"
    "      Properties.Caption = 'spin'\r\n"
    "      Properties.Increment = 5\r\n"
    "      FocusControl = Label1\r\n"
    "      OnClick = ButtonClick\r\n"
    "      Blob = {\r\n"
    "        0102FF}\r\n"
    "    end\r\n"
    "  end\r\n"
    "  object Label1: TTestItem\r\n"
    "    Caption = 'Label'\r\n"
    "    Width = 0\r\n"
    "    Color = 4660\r\n"
    "  end\r\n"
    "end\r\n";

class ComponentStreaming : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClasses({TTestContainer::StaticClass(), TTestItem::StaticClass(), TTestForm::StaticClass(),
                     TTestSpinProps::StaticClass(), TTestProps::StaticClass()});
    Log.clear();
    Form = New<TTestForm>(nullptr);
  }
  void TearDown() override { Free(Form); }

  // Reading `text` fails with E and leaves nothing behind.
  template <class E>
  std::string Refused(const AnsiString& text) {
    Int64 live = TObject::LiveCount();
    std::string message = "no error";
    try {
      ReadComponentFromText(text, Form);
    } catch (const E& e) {
      message = e.what();
    }
    EXPECT_EQ(TObject::LiveCount(), live) << text;
    EXPECT_EQ(Form->GetComponentCount(), 0);
    EXPECT_EQ(Form->Panel1, nullptr);
    EXPECT_EQ(Form->Button1, nullptr);
    EXPECT_TRUE(Form->GetComponentState().Empty());
    return message;
  }

  TTestForm* Form = nullptr;
};

AnsiString WithButtonLine(const AnsiString& line) {
  return "object MainForm: TTestForm\n object Panel1: TTestContainer\n object Button1: TTestItem\n" + line +
         "\n end\n end\nend\n";
}

}  // namespace

TEST_F(ComponentStreaming, LayoutBuildsTheTreeThroughRegisteredClasses) {
  EXPECT_EQ(ReadComponentFromText(kLayout, Form), Form);

  // Children are bound to the form's fields and placed by SetParentComponent.
  ASSERT_NE(Form->Panel1, nullptr);
  ASSERT_NE(Form->Button1, nullptr);
  ASSERT_NE(Form->Label1, nullptr);
  EXPECT_EQ(Form->Button1->GetOwner(), Form);
  EXPECT_EQ(Form->Panel1->Items, std::vector<TTestItem*>{Form->Button1});
  EXPECT_EQ(Form->Label1->ParentBox, nullptr);

  // Properties of every kind, dotted sub-objects, and the object a setter made.
  TTestItem* b = Form->Button1;
  EXPECT_EQ(Form->GetCaption(), "Main");
  EXPECT_EQ(Form->GetOptions()->GetRowHeaderWidth(), 120);
  EXPECT_TRUE(Form->GetOptions()->GetNativeStyle());
  EXPECT_EQ(b->GetTag(), 7);
  EXPECT_EQ(b->GetCaption(), "Run");
  EXPECT_EQ(b->GetKind(), ikBold);
  EXPECT_EQ(b->GetStyle(), (TItemStyles{isLeft, isHidden}));
  EXPECT_EQ(b->GetRatio(), 0.5);
  EXPECT_EQ(b->GetPrice().Value, 99900);
  EXPECT_EQ(b->GetColor(), 0x0000FF);
  EXPECT_EQ(b->GetWideCaption(), u"x\u20AC");
  EXPECT_EQ(b->GetOptions()->GetRowHeaderWidth(), 10);
  auto* spin = dynamic_cast<TTestSpinProps*>(b->GetProperties());
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->GetCaption(), "spin");
  EXPECT_EQ(spin->GetIncrement(), 5);
  EXPECT_EQ(b->Blob, (std::vector<Byte>{1, 2, 0xFF}));
  EXPECT_EQ(Form->Label1->GetColor(), 4660);

  // The collection, read through its item class.
  ASSERT_EQ(Form->GetRows()->GetCount(), 2);
  auto* row = static_cast<TTestRow*>(Form->GetRows()->GetItem(1));
  EXPECT_EQ(row->GetCaption(), "second");
  EXPECT_EQ(row->GetWidth(), 80);
  EXPECT_EQ(static_cast<TTestRow*>(Form->GetRows()->GetItem(0))->GetWidth(), 50);

  // The event calls the form's method; the reference to a component that
  // came later in the layout was resolved after the whole read, before Loaded.
  b->OnClick(b);
  EXPECT_EQ(Form->Clicks, 1);
  EXPECT_EQ(b->GetFocusControl(), Form->Label1);
  EXPECT_EQ(Log, (std::vector<std::string>{"Panel1 in MainForm", "Button1 in Panel1", "Label1 in MainForm",
                                           "Button1 focus Label1", "loaded MainForm", "loaded Panel1",
                                           "loaded Button1", "loaded Label1"}));

  // Loading and reading were on while properties were set, and are off now.
  ASSERT_FALSE(b->StatesSeen.empty());
  EXPECT_EQ(b->StatesSeen[0], (TComponentState{csLoading, csReading}));
  for (TComponent* c : {static_cast<TComponent*>(Form), static_cast<TComponent*>(b)})
    EXPECT_TRUE(c->GetComponentState().Empty());
}

TEST_F(ComponentStreaming, WrittenLayoutMatchesAndReadsBackTheSame) {
  ReadComponentFromText(kLayout, Form);
  EXPECT_EQ(ComponentToText(Form), kLayout);

  TTestForm* copy = New<TTestForm>(nullptr);
  ReadComponentFromText(ComponentToText(Form), copy);
  EXPECT_EQ(ComponentToText(copy), kLayout);
  copy->Free();

  // A fresh form writes only its structure: defaults stay out.
  TTestForm* fresh = New<TTestForm>(nullptr);
  fresh->SetName("Fresh");
  EXPECT_EQ(ComponentToText(fresh), "object Fresh: TTestForm\r\n  Rows = <>\r\nend\r\n");
  fresh->Free();
}

TEST_F(ComponentStreaming, RootMadeByClassNameAndLayoutsFromResources) {
  TComponent* made = ReadComponentFromText(kLayout, nullptr);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->ClassType(), TTestForm::StaticClass());
  EXPECT_EQ(made->GetName(), "MainForm");
  EXPECT_EQ(ComponentToText(made), kLayout);
  made->Free();

  // Embedded as text or as binary.
  AnsiString text = kLayout;
  RegisterResource("TEXTLAYOUT", RT_RCDATA, text.data(), text.size());
  TMemoryStream bin;
  TStringStream in(text);
  ObjectTextToBinary(in, bin);
  RegisterResource("BINLAYOUT", RT_RCDATA, bin.GetMemory(), static_cast<std::size_t>(bin.GetSize()));
  for (const char* name : {"TEXTLAYOUT", "BINLAYOUT"}) {
    TTestForm* f = New<TTestForm>(nullptr);
    ReadComponentResource(name, f);
    EXPECT_EQ(ComponentToText(f), kLayout) << name;
    f->Free();
  }
  EXPECT_THROW(ReadComponentResource("NOLAYOUT", Form), EResNotFound);
}

TEST_F(ComponentStreaming, ReadingReplacesCollectionsAndHonoursDefinedValues) {
  Form->GetRows()->Add();
  Form->GetRows()->Add();
  Form->GetRows()->Add();
  ReadComponentFromText(
      "object MainForm: TTestForm\n"
      "  Rows = <item Caption = 'only' end>\n"
      "  object Label1: TTestItem\n"
      "    LegacyWidth = 33\n"
      "    OnClick = nil\n"
      "  end\n"
      "end",
      Form);
  ASSERT_EQ(Form->GetRows()->GetCount(), 1);
  EXPECT_EQ(static_cast<TTestRow*>(Form->GetRows()->GetItem(0))->GetCaption(), "only");
  EXPECT_EQ(Form->Label1->GetWidth(), 33);
  // The legacy name is read but the width is written under its own name.
  EXPECT_NE(ComponentToText(Form).find("Width = 33"), AnsiString::npos);
  EXPECT_EQ(ComponentToText(Form).find("Legacy"), AnsiString::npos);
}

TEST_F(ComponentStreaming, MalformedLayoutsFailCleanly) {
  EXPECT_EQ(Refused<EClassNotFound>("object MainForm: TTestForm\n object P: TNoSuchClass\n end\nend"),
            "Class TNoSuchClass not found");
  // Built and then refused: a stream class that is not a component.
  EXPECT_EQ(Refused<EClassNotFound>("object MainForm: TTestForm\n object P: TTestProps\n end\nend"),
            "Class TTestProps not found");
  EXPECT_EQ(Refused<EReadError>(WithButtonLine("Bogus = 1")), "Property Bogus does not exist");
  EXPECT_EQ(Refused<EReadError>(WithButtonLine("Options.Bogus = 1")), "Property Options.Bogus does not exist");
  EXPECT_EQ(Refused<EReadError>(WithButtonLine("Caption.Bogus = 1")), "Invalid property path");
  EXPECT_EQ(Refused<EReadError>(WithButtonLine("Properties.Caption = 'no properties yet'")),
            "Invalid property path");
  // A value that does not fit names the component and the property.
  for (const char* bad : {"Kind = ikNone", "Kind = 1", "Width = 'wide'", "Width = 5000000000", "Style = [isUp]",
                          "Color = clNoSuchColour", "Caption = 5", "Ratio = 'x'", "FocusControl = Nobody",
                          "FocusControl = 3", "FocusControl = MainForm"}) {
    const std::string line = bad;
    EXPECT_EQ(Refused<EReadError>(WithButtonLine(bad)),
              "Error reading Button1." + line.substr(0, line.find(' ')) + ": Invalid property value");
  }
  EXPECT_EQ(Refused<EReadError>(WithButtonLine("Options = 1")), "Property Options is read-only");
  EXPECT_EQ(Refused<EMethodNotFound>(WithButtonLine("OnClick = NoSuchHandler")), "Method NoSuchHandler not found");
  EXPECT_EQ(Refused<EReadError>("object MainForm: TTestForm\n object Panel1: TTestItem\n end\nend"),
            "Invalid property value");  // the field is a container
  EXPECT_EQ(Refused<EComponentError>(
                "object MainForm: TTestForm\n object Label1: TTestItem\n end\n object Label1: TTestItem\n end\nend"),
            "A component named Label1 already exists");
  EXPECT_EQ(Form->Clicks, 0);
}

TEST_F(ComponentStreaming, DamagedBinaryStreamsFailCleanly) {
  TStringStream in(kLayout);
  TMemoryStream full;
  ObjectTextToBinary(in, full);
  const char* bytes = static_cast<const char*>(full.GetMemory());
  AnsiString binary(bytes, static_cast<std::size_t>(full.GetSize()));

  // Every truncation, read into the form and into a root made by the reader.
  Int64 live = TObject::LiveCount();
  for (std::size_t n = 0; n < binary.size(); ++n) {
    for (bool intoForm : {true, false}) {
      {
        TStringStream s(binary.substr(0, n));
        EXPECT_THROW(s.ReadComponent(intoForm ? Form : nullptr), EReadError) << n;
      }
      // The form keeps the rows read before the damage; the components go.
      Form->GetRows()->Clear();
      ASSERT_EQ(TObject::LiveCount(), live) << n;
      ASSERT_EQ(Form->GetComponentCount(), 0) << n;
    }
  }

  // An absurd string length, and object records nested past any sane depth.
  AnsiString hugeString = AnsiString("TPF0\tTTestForm\x08MainForm\x07" "Caption\x0C", 29) + "\xF0\xFF\xFF\x7F" + "abc";
  {
    TStringStream s1(hugeString);
    EXPECT_THROW(s1.ReadComponent(Form), EReadError);
  }
  AnsiString deep = AnsiString("TPF0\tTTestForm\x08MainForm\0", 24);
  for (int i = 0; i < 1000; ++i) deep += AnsiString("\x09TTestItem\0\0", 12);
  try {
    TStringStream s2(deep);
    s2.ReadComponent(Form);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream nesting too deep");
  }
  EXPECT_EQ(TObject::LiveCount(), live);
  EXPECT_EQ(Form->GetComponentCount(), 0);
}

// Inputs that once broke the reader, or were made to try: each reads or is
// refused with a library exception, and nothing is left behind.
TEST_F(ComponentStreaming, StoredHostileInputsReadOrFailCleanly) {
  const char* root = std::getenv("ORVANTA_SOURCE_DIR");
  std::filesystem::path dir = std::filesystem::path(root ? root : ".") / "tests/platform/rtl/data/component_reader";
  ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    ++files;
    std::ifstream f(entry.path(), std::ios::binary);
    AnsiString input((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    Int64 live = TObject::LiveCount();
    TTestForm* form = New<TTestForm>(nullptr);
    try {
      if (input.rfind("TPF0", 0) == 0) {
        TStringStream in(input);
        in.ReadComponent(form);
      } else {
        ReadComponentFromText(input, form);
      }
    } catch (const Exception&) {
      EXPECT_EQ(form->GetComponentCount(), 0) << entry.path();
    }
    form->Free();
    EXPECT_EQ(TObject::LiveCount(), live) << entry.path();
  }
  EXPECT_GT(files, 0);
}

namespace {
TTestForm* OtherForm = nullptr;
TComponent* FindOtherForm(const AnsiString& name) {
  return OtherForm && SameText(name, OtherForm->GetName()) ? OtherForm : nullptr;
}
}  // namespace

// A reference into another root is written "Root.Name" and found through
// the registered global lookup.
TEST_F(ComponentStreaming, ReferencesIntoOtherRootsGoThroughTheGlobalLookup) {
  OtherForm = New<TTestForm>(nullptr);
  ReadComponentFromText("object Other: TTestForm\n object Label1: TTestItem\n end\nend", OtherForm);
  const char* layout = "object MainForm: TTestForm\n object Button1: TTestItem\n FocusControl = Other.Label1\n end\nend";
  EXPECT_THROW(ReadComponentFromText(layout, Form), EReadError);  // nobody knows "Other" yet
  RegisterFindGlobalComponentProc(&FindOtherForm);
  ReadComponentFromText(layout, Form);
  EXPECT_EQ(Form->Button1->GetFocusControl(), OtherForm->Label1);
  EXPECT_NE(ComponentToText(Form).find("FocusControl = Other.Label1"), AnsiString::npos);
  UnregisterFindGlobalComponentProc(&FindOtherForm);
  FreeAndNil(OtherForm);
  EXPECT_EQ(Form->Button1->GetFocusControl(), nullptr);  // told by free notification
}

// Written against an ancestor, only what differs goes out; inherited
// children are marked and found again by name when read.
TEST_F(ComponentStreaming, DescendentWritesOnlyDifferences) {
  const char* base =
      "object MainForm: TTestForm\n Caption = 'Base'\n"
      " object Label1: TTestItem\n Caption = 'Same'\n Width = 5\n end\nend";
  TTestForm* ancestor = New<TTestForm>(nullptr);
  ReadComponentFromText(base, ancestor);
  ReadComponentFromText(base, Form);
  Form->Label1->SetWidth(9);
  TMemoryStream bin;
  bin.WriteDescendent(Form, ancestor);
  bin.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(bin, text);
  EXPECT_EQ(text.GetDataString(),
            "object MainForm: TTestForm\r\n"
            "  Rows = <>\r\n"
            "  inherited Label1: TTestItem\r\n"
            "    Width = 9\r\n"
            "  end\r\n"
            "end\r\n");
  // Read over a copy of the ancestor: the inherited child is reused.
  TTestForm* copy = New<TTestForm>(nullptr);
  ReadComponentFromText(base, copy);
  TComponent* label = copy->Label1;
  bin.SetPosition(0);
  bin.ReadComponent(copy);
  EXPECT_EQ(copy->Label1, label);
  EXPECT_EQ(copy->Label1->GetWidth(), 9);
  EXPECT_EQ(copy->GetComponentCount(), 1);
  copy->Free();
  ancestor->Free();
}

namespace {
class TTestValueHolder : public TComponent {
  ORV_CLASS(TTestValueHolder, TComponent)
 public:
  using TComponent::TComponent;
  Variant GetValue() const { return FValue; }
  void SetValue(const Variant& v) { FValue = v; }

 private:
  Variant FValue;
};
ORV_REGISTER(TTestValueHolder, ORV_PROP(Value))
}  // namespace

// A variant property keeps its value through a layout, and its kind except
// that integers come back in the smallest integer kind that holds them; an
// empty value is not written at all.
TEST(VariantProperties, RoundTripThroughTheTextLayout) {
  RegisterClass(TTestValueHolder::StaticClass());
  const std::vector<Variant> values = {Null(),          Variant(42),         Variant(Int64(1) << 40),
                                       Variant(2.5),     Variant(true),       Variant(AnsiString("caf\xE9")),
                                       Variant(Currency::FromRaw(12345)), Variant(TDateTime(45000.25))};
  for (const Variant& v : values) {
    auto* holder = New<TTestValueHolder>(nullptr);
    holder->SetName("Holder");
    holder->SetValue(v);
    AnsiString text = ComponentToText(holder);
    auto* copy = New<TTestValueHolder>(nullptr);
    ReadComponentFromText(text, copy);
    if (!VarIsOrdinal(v) || VarType(v) == varBoolean) {
      EXPECT_EQ(VarType(copy->GetValue()), VarType(v)) << text;
    }
    EXPECT_TRUE(VarSameValue(copy->GetValue(), v)) << text;
    holder->Free();
    copy->Free();
  }
  auto* empty = New<TTestValueHolder>(nullptr);
  empty->SetName("Empty");
  EXPECT_EQ(ComponentToText(empty), "object Empty: TTestValueHolder\r\nend\r\n");
  empty->Free();
}

namespace {
// A step that starts at 1 and says itself when it is stored, and a plain
// ratio whose default is the implicit zero.
class TTestStepHolder : public TComponent {
  ORV_CLASS(TTestStepHolder, TComponent)
 public:
  using TComponent::TComponent;
  double GetStep() const { return FStep; }
  void SetStep(double v) { FStep = v; }
  double GetRatio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  bool IsStepStored() { return FStep != 1.0; }

 private:
  double FStep = 1.0;
  double FRatio = 0;
};
ORV_REGISTER(TTestStepHolder, ORV_PROP(Step).StoredBy<&TTestStepHolder::IsStepStored>(), ORV_PROP(Ratio))
}  // namespace

// A float whose class tells when it is stored is written whenever it says
// so, zero included: a step of 0 used to be skipped as "default" and read
// back as the class's own 1.
TEST(FloatProperties, AZeroIsWrittenWhenTheClassSaysTheFloatIsStored) {
  RegisterClass(TTestStepHolder::StaticClass());
  TOwned<TTestStepHolder> holder(New<TTestStepHolder>(nullptr));
  holder->SetName("Holder");
  EXPECT_EQ(ComponentToText(holder.get()), "object Holder: TTestStepHolder\r\nend\r\n");
  holder->SetStep(0);
  const AnsiString written = ComponentToText(holder.get());
  EXPECT_EQ(written, "object Holder: TTestStepHolder\r\n  Step = 0.0\r\nend\r\n");
  TOwned<TTestStepHolder> copy(New<TTestStepHolder>(nullptr));
  ReadComponentFromText(written, copy.get());
  EXPECT_EQ(copy->GetStep(), 0.0);
  // The plain float keeps zero as its default.
  holder->SetStep(2.5);
  holder->SetRatio(0);
  EXPECT_EQ(ComponentToText(holder.get()), "object Holder: TTestStepHolder\r\n  Step = 2.5\r\nend\r\n");
}
