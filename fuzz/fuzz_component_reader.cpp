// Feeds arbitrary layouts to the component reader: text goes through
// ObjectTextToBinary first, input starting with the binary signature is read
// as it is. Either the read succeeds or it raises one of the library's
// exceptions; nothing may crash, leak or stay half-built, and whatever was
// read must write out and read back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ObjectText.h"

namespace {

ORV_ENUM(TFuzzKind, fkOne, fkTwo, fkThree)

class TFuzzOptions : public TPersistent {
  ORV_CLASS(TFuzzOptions, TPersistent)
 public:
  TFuzzOptions() = default;
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer v) { FWidth = v; }
  Set<TFuzzKind> GetKinds() const { return FKinds; }
  void SetKinds(Set<TFuzzKind> v) { FKinds = v; }

 private:
  Integer FWidth = 10;
  Set<TFuzzKind> FKinds;
};

class TFuzzRow : public TCollectionItem {
  ORV_CLASS(TFuzzRow, TCollectionItem)
 public:
  explicit TFuzzRow(TCollection* c) : TCollectionItem(c) {}
  AnsiString GetText() const { return FText; }
  void SetText(const AnsiString& v) { FText = v; }
  double GetValue() const { return FValue; }
  void SetValue(double v) { FValue = v; }

 private:
  AnsiString FText;
  double FValue = 0;
};

class TFuzzItem : public TComponent {
  ORV_CLASS(TFuzzItem, TComponent)
 public:
  explicit TFuzzItem(TComponent* AOwner) : TComponent(AOwner) {}
  ~TFuzzItem() override;

  AnsiString GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& v) { FCaption = v; }
  WideString GetHint() const { return FHint; }
  void SetHint(const WideString& v) { FHint = v; }
  TFuzzKind GetKind() const { return FKind; }
  void SetKind(TFuzzKind v) { FKind = v; }
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool v) { FVisible = v; }
  Currency GetPrice() const { return FPrice; }
  void SetPrice(Currency v) { FPrice = v; }
  float GetScale() const { return FScale; }
  void SetScale(float v) { FScale = v; }
  TFuzzOptions* GetOptions() const { return FOptions.get(); }
  TCollection* GetRows() const { return FRows.get(); }
  TFuzzItem* GetBuddy() const { return FBuddy; }
  void SetBuddy(TFuzzItem* v) {
    if (FBuddy) FBuddy->RemoveFreeNotification(this);
    FBuddy = v;
    if (v) v->FreeNotification(this);
  }
  TNotifyEvent OnClick;

  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == FBuddy) FBuddy = nullptr;
  }
  void SetParentComponent(TComponent* p) override;
  TComponent* GetParentComponent() override { return FParent; }
  bool HasParent() override { return FParent != nullptr; }
  void GetChildren(TGetChildProc proc, TComponent*) override {
    for (TFuzzItem* c : FChildren) proc(c);
  }
  void DefineProperties(TFiler* filer) override {
    filer->DefineBinaryProperty("Data", TStreamProc::Bind<&TFuzzItem::ReadData>(this),
                                TStreamProc::Bind<&TFuzzItem::WriteData>(this), !FData.empty());
  }

 private:
  void ReadData(TStream* s) {
    FData.resize(static_cast<std::size_t>(s->GetSize()));
    s->ReadBuffer(FData.data(), s->GetSize());
  }
  void WriteData(TStream* s) { s->WriteBuffer(FData.data(), static_cast<Int64>(FData.size())); }

  AnsiString FCaption;
  WideString FHint;
  TFuzzKind FKind = fkOne;
  bool FVisible = true;
  Currency FPrice;
  float FScale = 0;
  TOwned<TFuzzOptions> FOptions{New<TFuzzOptions>()};
  TOwned<TCollection> FRows{New<TCollection>(TFuzzRow::StaticClass())};
  TFuzzItem* FBuddy = nullptr;
  TFuzzItem* FParent = nullptr;
  std::vector<TFuzzItem*> FChildren;
  std::vector<Byte> FData;
};

TFuzzItem::~TFuzzItem() {
  for (TFuzzItem* c : FChildren) c->FParent = nullptr;
  if (FParent) std::erase(FParent->FChildren, this);
}

void TFuzzItem::SetParentComponent(TComponent* p) {
  auto* parent = dynamic_cast<TFuzzItem*>(p);
  if (!parent || parent == FParent) return;
  // A component cannot hold one of its own ancestors.
  for (TFuzzItem* a = parent; a; a = a->FParent)
    if (a == this) return;
  if (FParent) std::erase(FParent->FChildren, this);
  FParent = parent;
  parent->FChildren.push_back(this);
}

class TFuzzForm : public TFuzzItem {
  ORV_CLASS(TFuzzForm, TFuzzItem)
 public:
  explicit TFuzzForm(TComponent* AOwner) : TFuzzItem(AOwner) {}
  void Clicked(TObject*) {}
  TFuzzItem* First = nullptr;
  TFuzzItem* Second = nullptr;
};

}  // namespace

ORV_REGISTER(TFuzzOptions, ORV_PROP(Width).Default(10), ORV_PROP(Kinds).Default(0))
ORV_REGISTER(TFuzzRow, ORV_PROP(Text), ORV_PROP(Value))
ORV_REGISTER(TFuzzItem, ORV_PROP(Caption), ORV_PROP(Hint), ORV_PROP(Kind).Default(fkOne),
             ORV_PROP(Visible).Default(true), ORV_PROP(Price), ORV_PROP(Scale), ORV_PROP_RO(Options),
             ORV_PROP_RO(Rows), ORV_PROP(Buddy), ORV_EVENT(OnClick))
ORV_REGISTER(TFuzzForm, ORV_METHOD(Clicked), ORV_FIELD(First), ORV_FIELD(Second))

namespace {

AnsiString TextOf(TFuzzForm* form) { return ComponentToText(form); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool registered = [] {
    RegisterClasses({TFuzzItem::StaticClass(), TFuzzForm::StaticClass()});
    return true;
  }();
  (void)registered;

  AnsiString input(reinterpret_cast<const char*>(data), size);
  bool binary = size >= 4 && std::memcmp(data, "TPF0", 4) == 0;
  Int64 live = TObject::LiveCount();
  TFuzzForm* form = New<TFuzzForm>(nullptr);
  Int64 withForm = TObject::LiveCount();
  bool read = false;
  try {
    if (binary) {
      TStringStream in(input);
      in.ReadComponent(form);
    } else {
      ReadComponentFromText(input, form);
    }
    read = true;
  } catch (const Exception&) {
  }
  if (!read) {
    // A refused layout leaves no component behind (the form's own rows may
    // hold what was read before the damage).
    form->GetRows()->Clear();
    if (form->GetComponentCount() != 0 || TObject::LiveCount() != withForm) std::abort();
  }
  if (read) {
    AnsiString text;
    try {
      text = TextOf(form);
    } catch (const EReadError&) {
      // Values the text form cannot spell (a NaN) are refused, not mangled.
    }
    if (!text.empty()) {
      TFuzzForm* again = New<TFuzzForm>(nullptr);
      try {
        ReadComponentFromText(text, again);
      } catch (const Exception&) {
        std::abort();  // what was written must read back
      }
      if (TextOf(again) != text) std::abort();
      again->Free();
    }
  }
  form->Free();
  if (TObject::LiveCount() != live) std::abort();
  return 0;
}
