#include "library/editors/core/cxButtonEdit.h"

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxEditStyles.h"

ORV_REGISTER(TcxCustomButtonEditProperties)
ORV_REGISTER(TcxButtonEditProperties,
             ORV_PROP(Alignment).StoredBy<&TcxCustomEditProperties::IsAlignmentStored>(), ORV_PROP(AssignedValues),
             ORV_PROP(AutoSelect).Default(true), ORV_PROP(BeepOnError).Default(false), ORV_PROP(Buttons),
             ORV_PROP(CaseInsensitive).Default(true), ORV_PROP(CharCase).Default(ecNormal),
             ORV_PROP(ClearKey).Default(0), ORV_PROP(ClickKey).Default(16397), ORV_PROP(EchoMode).Default(eemNormal),
             ORV_PROP(HideCursor).Stored(false), ORV_PROP(HideSelection).Default(true),
             ORV_PROP(IgnoreMaskBlank).Default(false), ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName),
             ORV_PROP(IncrementalSearch).Default(true), ORV_PROP(LookupItems),
             ORV_PROP(LookupItemsSorted).Default(false), ORV_PROP(MaskKind).Default(emkStandard),
             ORV_PROP(EditMask), ORV_PROP(MaxLength).StoredBy<&TcxCustomTextEditProperties::IsMaxLengthStored>(),
             ORV_PROP(OEMConvert).Default(false), ORV_PROP(PasswordChar).Default('\0'),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(UseLeftAlignmentOnEditing)
                 .StoredBy<&TcxCustomEditProperties::IsUseLeftAlignmentOnEditingStored>(),
             ORV_PROP(ValidateOnEnter).Default(true), ORV_PROP(ViewStyle).Default(vsNormal),
             ORV_EVENT(OnButtonClick), ORV_EVENT(OnChange), ORV_EVENT(OnEditValueChanged),
             ORV_EVENT(OnNewLookupDisplayText), ORV_EVENT(OnValidate))
ORV_REGISTER(TcxCustomButtonEdit)
ORV_REGISTER(TcxButtonEdit, ORV_PROP(Anchors), ORV_PROP(AutoSize).Default(true),
             ORV_PROP(BeepOnEnter).Default(true), ORV_PROP(Constraints), ORV_PROP(DragMode), ORV_PROP(Enabled),
             ORV_PROP(ParentColor).Default(false), ORV_PROP(ParentFont).Default(true),
             ORV_PROP(ParentShowHint).Default(true), ORV_PROP(PopupMenu), ORV_PROP(Properties),
             ORV_PROP(Style), ORV_PROP(StyleDisabled), ORV_PROP(StyleFocused), ORV_PROP(StyleHot),
             ORV_PROP(TabOrder), ORV_PROP(TabStop).Default(true), ORV_PROP(Text), ORV_PROP(Visible),
             ORV_PROP(DragCursor), ORV_PROP(DragKind), ORV_PROP(ImeMode), ORV_PROP(ImeName), ORV_EVENT(OnClick),
             ORV_EVENT(OnContextPopup), ORV_EVENT(OnDblClick), ORV_EVENT(OnDragDrop), ORV_EVENT(OnDragOver),
             ORV_EVENT(OnEditing), ORV_EVENT(OnEndDrag), ORV_EVENT(OnEnter), ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown),
             ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp), ORV_EVENT(OnMouseDown), ORV_EVENT(OnMouseEnter),
             ORV_EVENT(OnMouseLeave), ORV_EVENT(OnMouseMove), ORV_EVENT(OnMouseUp), ORV_EVENT(OnStartDrag),
             ORV_EVENT(OnEndDock), ORV_EVENT(OnStartDock))

void TcxCustomButtonEditProperties::AfterConstruction() {
  TcxCustomMaskEditProperties::AfterConstruction();
  TcxEditButton* button = GetButtons()->Add();
  button->SetKind(bkEllipsis);
  button->SetDefault(true);
}

TClass TcxCustomButtonEditProperties::GetContainerClass() const { return TcxButtonEdit::StaticClass(); }

TClassRef<TcxCustomEditProperties> TcxCustomButtonEdit::GetPropertiesClass() const {
  return TcxCustomButtonEditProperties::StaticClass();
}

TcxContainerStyleValues TcxCustomButtonEdit::InternalGetNotPublishedStyleValues() {
  return TcxContainerStyleValues{svPopupBorderStyle};
}

TClassRef<TcxCustomEditProperties> TcxButtonEdit::GetPropertiesClass() const {
  return TcxButtonEditProperties::StaticClass();
}

void TcxButtonEdit::ReadState(TReader* Reader) {
  if (!FFirstRead) {
    FFirstRead = true;
    GetProperties()->GetButtons()->Clear();
    GetActiveProperties()->GetButtons()->Clear();
  }
  TcxCustomButtonEdit::ReadState(Reader);
}

namespace {
Integer ButtonEditStartCount = 0;
}

void cxButtonEditInitialize() {
  if (ButtonEditStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxButtonEditProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryButtonItem));
}

void cxButtonEditFinalize() {
  if (ButtonEditStartCount == 0 || --ButtonEditStartCount > 0) return;
  GetRegisteredEditProperties()->Unregister(TcxButtonEditProperties::StaticClass());
}
