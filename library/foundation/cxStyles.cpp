#include "library/foundation/cxStyles.h"

#include <algorithm>
#include <iterator>
#include <mutex>

#include "platform/rtl/Collation.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/StrUtils.h"

ORV_REGISTER(TcxCustomStyle)
ORV_REGISTER(TcxStyle, ORV_PROP(AssignedValues), ORV_PROP(Bitmap).StoredBy<&TcxStyle::IsBitmapStored>(),
             ORV_PROP(Color).As(ColorTypeInfo()).StoredBy<&TcxStyle::IsColorStored>(),
             ORV_PROP(Font).StoredBy<&TcxStyle::IsFontStored>(),
             ORV_PROP(TextColor).As(ColorTypeInfo()).StoredBy<&TcxStyle::IsTextColorStored>())
ORV_REGISTER(TcxCustomStyles)
ORV_REGISTER(TcxStyles)
ORV_REGISTER(TcxCustomStyleSheet, ORV_PROP(Caption).StoredBy<&TcxCustomStyleSheet::IsCaptionStored>())
ORV_REGISTER(TcxStyleRepository)

void cxStyles_Initialize() {
  static std::once_flag once;
  std::call_once(once, [] { RegisterClasses({TcxStyle::StaticClass(), TcxStyleRepository::StaticClass()}); });
}

namespace {

// Searches from the end: styles, sheets and listeners mostly leave the
// last first, so emptying a big repository stays linear.
template <class T>
void EraseOne(std::vector<T*>& AList, T* AItem) {
  auto it = std::find(AList.rbegin(), AList.rend(), AItem);
  if (it != AList.rend()) AList.erase(std::next(it).base());
}

template <class T>
Integer IndexIn(const std::vector<T*>& AList, const T* AItem) {
  auto it = std::find(AList.begin(), AList.end(), AItem);
  return it == AList.end() ? -1 : static_cast<Integer>(it - AList.begin());
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxCustomStyle

TcxCustomStyle::TcxCustomStyle(TComponent* AOwner) : TComponent(AOwner) { cxStyles_Initialize(); }

void TcxCustomStyle::BeforeDestruction() {
  inherited::BeforeDestruction();
  // Each listener drops the style from its slots and then from this list.
  while (!FListeners.empty()) {
    IcxStyleChangeListener* listener = FListeners.back();
    listener->StyleRemoved(this);
    if (!FListeners.empty() && FListeners.back() == listener) FListeners.pop_back();
  }
  SetStyleRepository(nullptr);
}

void TcxCustomStyle::Changed() {
  // A listener may leave the list while it is told.
  for (std::size_t i = FListeners.size(); i-- > 0;) {
    if (i >= FListeners.size()) continue;
    FListeners[i]->StyleChanged(this);
  }
}

void TcxCustomStyle::AddListener(IcxStyleChangeListener* AListener) {
  if (AListener && std::find(FListeners.begin(), FListeners.end(), AListener) == FListeners.end())
    FListeners.push_back(AListener);
}

void TcxCustomStyle::RemoveListener(IcxStyleChangeListener* AListener) { EraseOne(FListeners, AListener); }

void TcxCustomStyle::SetStyleRepository(TcxStyleRepository* Value) {
  if (FStyleRepository == Value) return;
  if (FStyleRepository) EraseOne(FStyleRepository->FItems, this);
  FStyleRepository = Value;
  if (FStyleRepository) FStyleRepository->FItems.push_back(this);
}

Integer TcxCustomStyle::GetIndex() const {
  return FStyleRepository ? FStyleRepository->StyleIndexOf(const_cast<TcxCustomStyle*>(this)) : -1;
}

TComponent* TcxCustomStyle::GetParentComponent() { return FStyleRepository; }

void TcxCustomStyle::SetParentComponent(TComponent* Value) {
  if (!GetComponentState().Contains(csLoading)) SetStyleRepository(dynamic_cast<TcxStyleRepository*>(Value));
}

void TcxCustomStyle::ReadState(TReader* Reader) {
  if (auto* repository = dynamic_cast<TcxStyleRepository*>(Reader->GetParent())) SetStyleRepository(repository);
  inherited::ReadState(Reader);
}

// ---------------------------------------------------------------------------
// TcxStyle

TcxStyle::TcxStyle(TComponent* AOwner)
    : TcxCustomStyle(AOwner), FBitmap(New<TBitmap>()), FFont(New<TFont>()) {
  FBitmap->OnChange = TNotifyEvent::Bind<&TcxStyle::BitmapChanged>(this);
  FFont->OnChange = TNotifyEvent::Bind<&TcxStyle::FontChanged>(this);
}

TcxStyle::~TcxStyle() {
  FFont->Free();
  FBitmap->Free();
}

void TcxStyle::BitmapChanged(TObject*) {
  if (FBitmap->Empty())
    FAssignedValues.Exclude(svBitmap);
  else
    FAssignedValues.Include(svBitmap);
  Changed();
}

void TcxStyle::FontChanged(TObject*) {
  FAssignedValues.Include(svFont);
  Changed();
}

void TcxStyle::SetAssignedValues(TcxStyleValues Value) {
  if (FAssignedValues == Value) return;
  FAssignedValues = Value;
  Changed();
}

void TcxStyle::SetBitmap(TBitmap* Value) { FBitmap->Assign(Value); }

void TcxStyle::SetFont(TFont* Value) { FFont->Assign(Value); }

void TcxStyle::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  if (Value == clDefault)
    FAssignedValues.Exclude(svColor);
  else
    FAssignedValues.Include(svColor);
  Changed();
}

void TcxStyle::SetTextColor(TColor Value) {
  if (FTextColor == Value) return;
  FTextColor = Value;
  if (Value == clDefault)
    FAssignedValues.Exclude(svTextColor);
  else
    FAssignedValues.Include(svTextColor);
  Changed();
}

void TcxStyle::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxStyle*>(Source);
  if (!source) return inherited::DoAssign(Source);
  SetBitmap(source->FBitmap);
  SetColor(source->FColor);
  SetFont(source->FFont);
  SetTextColor(source->FTextColor);
  SetAssignedValues(source->FAssignedValues);
}

void TcxStyle::RestoreDefaults() {
  FAssignedValues.Clear();
  FBitmap->OnChange = {};
  FBitmap->Assign(nullptr);
  FBitmap->OnChange = TNotifyEvent::Bind<&TcxStyle::BitmapChanged>(this);
  FColor = clDefault;
  FTextColor = clDefault;
  Changed();
}

bool UseStyle(TcxStyle* AStyle, TcxStyleValue AValue) {
  return AStyle && AStyle->GetAssignedValues().Contains(AValue);
}

TcxStyleValues CombineParamsWithStyle(TcxStyle* AStyle, TcxStyleValues ADone, TcxViewParams& AParams) {
  if (!AStyle || ADone == cxAllStyleValues || AStyle->GetComponentState().Contains(csDestroying)) return ADone;
  auto take = [&](TcxStyleValue AValue) {
    if (ADone.Contains(AValue) || !UseStyle(AStyle, AValue)) return false;
    ADone.Include(AValue);
    return true;
  };
  if (take(svColor)) AParams.Color = AStyle->GetColor();
  if (AStyle->GetFont() && take(svFont)) AParams.Font = AStyle->GetFont();
  if (take(svTextColor)) AParams.TextColor = AStyle->GetTextColor();
  if (take(svBitmap)) AParams.Bitmap = AStyle->GetBitmap();
  return ADone;
}

// ---------------------------------------------------------------------------
// TcxCustomStyles

TcxCustomStyles::TcxCustomStyles(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {}

TcxCustomStyles::~TcxCustomStyles() {
  FDestroying = true;
  Clear();
  SetStyleSheet(nullptr);
}

void TcxCustomStyles::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCustomStyles*>(Source))
    SetStyleSheet(source->FStyleSheet);
  else
    inherited::DoAssign(Source);
}

bool TcxCustomStyles::IsOwnerWriting() const {
  auto* owner = dynamic_cast<TComponent*>(const_cast<TcxCustomStyles*>(this)->GetOwner());
  return owner && owner->GetComponentState().Contains(csWriting);
}

TcxCustomStyle* TcxCustomStyles::GetValue(Integer AIndex) const {
  Integer position;
  if (Find(AIndex, position)) return FItems[position].Item;
  // Styles that come from a sheet are not the slots' own values, so they
  // are not written with the owner.
  if (FStyleSheet && !IsOwnerWriting()) return FStyleSheet->GetStyles()->GetValue(AIndex);
  return nullptr;
}

void TcxCustomStyles::SetValue(Integer AIndex, TcxCustomStyle* AValue) {
  if (AValue && !AValue->GetName().empty()) {
    // A form made from an inherited design holds its own copies of the
    // ancestor's styles: use the copy of the same name.
    TPersistent* outermost = this;
    while (TPersistent* owner = outermost->GetOwner()) outermost = owner;
    auto* root = dynamic_cast<TComponent*>(outermost);
    TComponent* styleOwner = AValue->GetOwner();
    if (root && styleOwner && root != styleOwner && root->InheritsFrom(styleOwner->ClassType()))
      if (auto* copy = dynamic_cast<TcxCustomStyle*>(root->FindComponent(AValue->GetName()))) AValue = copy;
  }
  if (AValue == GetValue(AIndex)) return;
  Integer position;
  if (Find(AIndex, position)) {
    TcxCustomStylesItem& item = FItems[position];
    item.Item->RemoveListener(this);
    if (AValue) {
      item.Item = AValue;
      AValue->AddListener(this);
    } else {
      FItems.erase(FItems.begin() + position);
    }
    DoChanged(AIndex);
  } else if (AValue) {
    FItems.insert(FItems.begin() + position, TcxCustomStylesItem{AIndex, AValue});
    AValue->AddListener(this);
    DoChanged(AIndex);
  }
}

bool TcxCustomStyles::Find(Integer AIndex, Integer& APosition) const {
  auto it = std::lower_bound(FItems.begin(), FItems.end(), AIndex,
                             [](const TcxCustomStylesItem& item, Integer index) { return item.Index < index; });
  APosition = static_cast<Integer>(it - FItems.begin());
  return it != FItems.end() && it->Index == AIndex;
}

void TcxCustomStyles::Delete(Integer AIndex) {
  TcxCustomStylesItem item = FItems.at(AIndex);
  item.Item->RemoveListener(this);
  FItems.erase(FItems.begin() + AIndex);
  DoChanged(item.Index);
}

void TcxCustomStyles::Clear() {
  for (Integer i = GetCount() - 1; i >= 0; --i) Delete(i);
}

void TcxCustomStyles::ResetStyles() {
  const Integer count = GetCount();
  for (Integer i = 0; i < count; ++i) SetValue(i, nullptr);
  // Slots numbered beyond the count would survive the loop above.
  Clear();
}

void TcxCustomStyles::StyleChanged(TcxCustomStyle* AStyle) {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Item == AStyle) DoChanged(FItems[i].Index);
}

void TcxCustomStyles::StyleRemoved(TcxCustomStyle* AStyle) {
  for (Integer i = GetCount() - 1; i >= 0; --i)
    if (i < GetCount() && FItems[i].Item == AStyle) Delete(i);
}

void TcxCustomStyles::DoChanged(Integer AIndex) {
  if (FDestroying) return;
  Changed(AIndex);
  if (FOwnerStyleSheet) FOwnerStyleSheet->DoStyleChanged(AIndex);
}

bool TcxCustomStyles::IsValidStyleSheet(TcxCustomStyleSheet* AStyleSheet) const {
  if (!AStyleSheet) return true;
  if (AStyleSheet == FOwnerStyleSheet || AStyleSheet->GetStylesClass().Get() != ClassType()) return false;
  if (FOwnerStyleSheet) {
    // The chain is finite: every sheet on it passed this test when set.
    for (TcxCustomStyleSheet* sheet = AStyleSheet; sheet; sheet = sheet->GetStyles()->FStyleSheet)
      if (sheet == FOwnerStyleSheet) return false;
  }
  return true;
}

void TcxCustomStyles::CollectSheetIndexes(TcxCustomStyleSheet* AStyleSheet, std::vector<Integer>& AIndexes) const {
  for (TcxCustomStyleSheet* sheet = AStyleSheet; sheet; sheet = sheet->GetStyles()->FStyleSheet)
    for (const TcxCustomStylesItem& item : sheet->GetStyles()->FItems)
      if (std::find(AIndexes.begin(), AIndexes.end(), item.Index) == AIndexes.end()) AIndexes.push_back(item.Index);
}

void TcxCustomStyles::SetStyleSheet(TcxCustomStyleSheet* Value) {
  if (FStyleSheet == Value || !IsValidStyleSheet(Value)) return;
  std::vector<Integer> indexes;
  if (FStyleSheet) {
    EraseOne(FStyleSheet->FUsers, static_cast<TcxCustomStyles*>(this));
    if (!FDestroying) CollectSheetIndexes(FStyleSheet, indexes);
  }
  FStyleSheet = Value;
  if (FStyleSheet) {
    FStyleSheet->FUsers.push_back(this);
    CollectSheetIndexes(FStyleSheet, indexes);
  }
  for (Integer index : indexes) DoChanged(index);
}

// ---------------------------------------------------------------------------
// TcxStyles

TcxStyle* TcxStyles::SlotStyle(Integer AIndex) const { return dynamic_cast<TcxStyle*>(GetValue(AIndex)); }

void TcxStyles::GetViewParams(Integer AIndex, TObject* AData, TcxStyle* AStyle, TcxViewParams& AParams) {
  TcxStyle* slot = SlotStyle(AIndex);
  auto pick = [&](TcxStyleValue AValue) -> TcxStyle* {
    if (UseStyle(AStyle, AValue)) return AStyle;
    if (UseStyle(slot, AValue)) return slot;
    return nullptr;
  };
  AParams.Bitmap = nullptr;
  if (FUseBitmapInViewParams)
    if (TcxStyle* s = pick(svBitmap)) AParams.Bitmap = s->GetBitmap();
  TcxStyle* s = pick(svColor);
  AParams.Color = s ? s->GetColor() : clDefault;
  s = pick(svFont);
  AParams.Font = s ? s->GetFont() : nullptr;
  s = pick(svTextColor);
  AParams.TextColor = s ? s->GetTextColor() : clDefault;

  const bool complete = (AParams.Bitmap || !FUseBitmapInViewParams) && AParams.Color != clDefault &&
                        AParams.TextColor != clDefault && AParams.Font;
  if (complete) return;
  TcxViewParams defaults;
  GetDefaultViewParams(AIndex, AData, defaults);
  if (!AParams.Bitmap) AParams.Bitmap = defaults.Bitmap;
  if (AParams.Color == clDefault) AParams.Color = defaults.Color;
  if (!AParams.Font) AParams.Font = defaults.Font;
  if (AParams.TextColor == clDefault) AParams.TextColor = defaults.TextColor;
}

TBitmap* TcxStyles::GetBitmap(Integer AIndex) const {
  TcxStyle* slot = SlotStyle(AIndex);
  return UseStyle(slot, svBitmap) && !slot->GetBitmap()->Empty() ? slot->GetBitmap() : nullptr;
}

void TcxStyles::GetDefaultViewParams(Integer AIndex, TObject*, TcxViewParams& AParams) {
  AParams.Bitmap = nullptr;
  if (AIndex > FMaxDefaultViewParamsIndex) FMaxDefaultViewParamsIndex = AIndex;
}

bool TcxStyles::IsDefaultFont(Integer AIndex) { return !UseStyle(SlotStyle(AIndex), svFont); }

void TcxStyles::DefaultFontChanged(TObject*, TFont* AFont) {
  for (Integer i = 0; i <= FMaxDefaultViewParamsIndex; ++i) {
    if (!IsDefaultFont(i)) continue;
    TcxViewParams params;
    GetDefaultViewParams(i, nullptr, params);
    if (params.Font == AFont) DoChanged(i);
  }
}

// ---------------------------------------------------------------------------
// TcxCustomStyleSheet

TcxCustomStyleSheet::TcxCustomStyleSheet(TComponent* AOwner) : TcxComponent(AOwner) { cxStyles_Initialize(); }

void TcxCustomStyleSheet::AfterConstruction() {
  inherited::AfterConstruction();
  // The styles class is a class method of the descendant, known only once
  // the whole object exists.
  FStyles = GetStylesClass().Construct<TPersistent*>(this);
  FStyles->FOwnerStyleSheet = this;
}

TcxCustomStyleSheet::~TcxCustomStyleSheet() { ::Free(FStyles); }

void TcxCustomStyleSheet::BeforeDestruction() {
  inherited::BeforeDestruction();
  while (!FUsers.empty()) {
    TcxCustomStyles* user = FUsers.back();
    user->SetStyleSheet(nullptr);
    if (!FUsers.empty() && FUsers.back() == user) FUsers.pop_back();
  }
  SetStyleRepository(nullptr);
}

void TcxCustomStyleSheet::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomStyleSheet*>(Source);
  if (!source) return inherited::DoAssign(Source);
  SetCaption(source->GetCaption());
  FStyles->Assign(source->FStyles);
}

void TcxCustomStyleSheet::CopyFrom(TcxCustomStyleSheet* AStyleSheet) {
  if (!AStyleSheet || AStyleSheet->GetStylesClass().Get() != GetStylesClass().Get()) return;
  TcxCustomStyles* source = AStyleSheet->FStyles;
  for (Integer i = 0; i < source->GetCount(); ++i) {
    const TcxCustomStylesItem item = source->GetItem(i);
    TcxCustomStyleClass styleClass(item.Item->ClassType());
    TcxCustomStyle* style = FStyleRepository ? FStyleRepository->CreateItemEx(styleClass, GetOwner())
                                             : styleClass.Create(GetOwner());
    style->Assign(item.Item);
    FStyles->SetValue(item.Index, style);
  }
}

AnsiString TcxCustomStyleSheet::GetCaption() const { return FCaption.empty() ? GetName() : FCaption; }

void TcxCustomStyleSheet::SetCaption(const AnsiString& Value) {
  FCaption = SameText(Value, GetName()) ? AnsiString() : Value;
}

void TcxCustomStyleSheet::SetStyleRepository(TcxStyleRepository* Value) {
  if (FStyleRepository == Value) return;
  if (FStyleRepository) EraseOne(FStyleRepository->FStyleSheets, this);
  FStyleRepository = Value;
  if (FStyleRepository) FStyleRepository->FStyleSheets.push_back(this);
}

void TcxCustomStyleSheet::DoStyleChanged(Integer AIndex) {
  // A user may drop the sheet while it is told.
  for (std::size_t i = 0; i < FUsers.size(); ++i) FUsers[i]->DoChanged(AIndex);
}

void TcxCustomStyleSheet::GetFakeComponentLinks(TList* AList) {
  TComponent* owner = GetOwner();
  if (!owner) return;
  for (Integer i = 0; i < FStyles->GetCount(); ++i) {
    TComponent* styleOwner = FStyles->GetItem(i).Item->GetOwner();
    if (styleOwner && styleOwner != owner && AList->IndexOf(styleOwner) < 0) AList->Add(styleOwner);
  }
}

TComponent* TcxCustomStyleSheet::GetParentComponent() { return FStyleRepository; }

void TcxCustomStyleSheet::SetParentComponent(TComponent* Value) {
  if (!GetComponentState().Contains(csLoading)) SetStyleRepository(dynamic_cast<TcxStyleRepository*>(Value));
}

void TcxCustomStyleSheet::ReadState(TReader* Reader) {
  if (auto* repository = dynamic_cast<TcxStyleRepository*>(Reader->GetParent())) SetStyleRepository(repository);
  inherited::ReadState(Reader);
}

void TcxCustomStyleSheet::DefineProperties(TFiler* Filer) {
  inherited::DefineProperties(Filer);
  Filer->DefineProperty("BuiltIn", TReaderProc::Bind<&TcxCustomStyleSheet::ReadBuiltIn>(this),
                        TWriterProc::Bind<&TcxCustomStyleSheet::WriteBuiltIn>(this), true);
}

void TcxCustomStyleSheet::ReadBuiltIn(TReader* Reader) { FBuiltIn = Reader->ReadBoolean(); }

void TcxCustomStyleSheet::WriteBuiltIn(TWriter* Writer) { Writer->WriteBoolean(FBuiltIn); }

// ---------------------------------------------------------------------------
// TcxStyleRepository

TcxStyleRepository::TcxStyleRepository(TComponent* AOwner) : TComponent(AOwner) { cxStyles_Initialize(); }

TcxStyleRepository::~TcxStyleRepository() {
  ClearStyleSheets();
  Clear();
}

// A style or sheet leaves its repository's list as Free() runs its clean-up,
// the last one first, so nothing is searched.
void TcxStyleRepository::Clear() {
  while (!FItems.empty()) FItems.back()->Free();
}

void TcxStyleRepository::ClearStyleSheets() {
  while (!FStyleSheets.empty()) FStyleSheets.back()->Free();
}

TcxCustomStyle* TcxStyleRepository::CreateItem(TcxCustomStyleClass AStyleClass) {
  return CreateItemEx(AStyleClass, this);
}

TcxCustomStyle* TcxStyleRepository::CreateItemEx(TcxCustomStyleClass AStyleClass, TComponent* AOwner) {
  TcxCustomStyle* style = AStyleClass.Create(AOwner);
  style->SetStyleRepository(this);
  return style;
}

TcxCustomStyleSheet* TcxStyleRepository::CreateStyleSheet(TcxCustomStyleSheetClass AStyleSheetClass) {
  return CreateStyleSheetEx(AStyleSheetClass, this);
}

TcxCustomStyleSheet* TcxStyleRepository::CreateStyleSheetEx(TcxCustomStyleSheetClass AStyleSheetClass,
                                                            TComponent* AOwner) {
  TcxCustomStyleSheet* sheet = AStyleSheetClass.Create(AOwner);
  sheet->SetStyleRepository(this);
  return sheet;
}

Integer TcxStyleRepository::StyleIndexOf(TcxCustomStyle* AStyle) const { return IndexIn(FItems, AStyle); }

Integer TcxStyleRepository::StyleSheetIndexOf(TcxCustomStyleSheet* AStyleSheet) const {
  return IndexIn(FStyleSheets, AStyleSheet);
}

void TcxStyleRepository::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TcxCustomStyle* style : std::vector<TcxCustomStyle*>(FItems))
    if (style->GetOwner() == Root) Proc(style);
  for (TcxCustomStyleSheet* sheet : std::vector<TcxCustomStyleSheet*>(FStyleSheets))
    if (sheet->GetOwner() == Root) Proc(sheet);
}

// ---------------------------------------------------------------------------
// Registered style-sheet classes

namespace {
std::vector<TClass>& StyleSheetClasses() {
  static std::vector<TClass> classes;
  return classes;
}
}  // namespace

void RegisterStyleSheetClass(TcxCustomStyleSheetClass AStyleSheetClass) {
  auto& classes = StyleSheetClasses();
  if (AStyleSheetClass && std::find(classes.begin(), classes.end(), AStyleSheetClass.Get()) == classes.end())
    classes.push_back(AStyleSheetClass.Get());
}

void UnregisterStyleSheetClass(TcxCustomStyleSheetClass AStyleSheetClass) {
  auto& classes = StyleSheetClasses();
  classes.erase(std::remove(classes.begin(), classes.end(), AStyleSheetClass.Get()), classes.end());
}

void GetRegisteredStyleSheetClasses(TList* AList) {
  for (TClass cls : StyleSheetClasses()) AList->Add(const_cast<TMetaClass*>(cls));
}

// ---------------------------------------------------------------------------
// Copying a sheet's styles

TPropList GetStyleProperties(TClass AStylesClass) {
  TPropList result;
  for (const TPropInfo* prop : GetPropList(AStylesClass))
    if (prop->PropType && prop->PropType->Kind == tkClass && prop->PropType->ClassType == TcxStyle::StaticClass() &&
        prop->GetObj)
      result.push_back(prop);
  std::stable_sort(result.begin(), result.end(),
                   [](const TPropInfo* a, const TPropInfo* b) { return CompareText(a->Name, b->Name) < 0; });
  return result;
}

void CreateStyleSheetStyles(TcxCustomStyleSheet* ADestination, TcxCustomStyleSheet* ASource,
                            TcxStyleGetName AGetStyleName) {
  if (!ADestination || !ASource || ADestination->GetStylesClass().Get() != ASource->GetStylesClass().Get()) return;
  TcxCustomStyles* destination = ADestination->GetStyles();
  TcxCustomStyles* source = ASource->GetStyles();
  TcxStyleRepository* repository = ADestination->GetStyleRepository();
  for (const TPropInfo* prop : GetStyleProperties(destination->ClassType())) {
    if (!prop->SetObj) continue;
    auto* sourceStyle = dynamic_cast<TcxStyle*>(GetObjectProp(source, prop));
    auto* destinationStyle = dynamic_cast<TcxStyle*>(GetObjectProp(destination, prop));
    if (!sourceStyle) {
      SetObjectProp(destination, prop, nullptr);
    } else if (!destinationStyle) {
      if (!repository || sourceStyle->GetAssignedValues().Empty()) continue;
      auto* style = static_cast<TcxStyle*>(repository->CreateItemEx(TcxStyle::StaticClass(), ADestination->GetOwner()));
      if (AGetStyleName.Assigned()) {
        AnsiString name = style->GetName();
        AGetStyleName(style, name);
        style->SetName(name);
      }
      style->Assign(sourceStyle);
      SetObjectProp(destination, prop, style);
    } else {
      destinationStyle->Assign(sourceStyle);
    }
  }
}
