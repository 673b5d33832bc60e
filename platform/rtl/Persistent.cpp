#include "platform/rtl/Persistent.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/TypeInfo.h"

ORV_REGISTER(TPersistent)
ORV_REGISTER(TInterfacedPersistent)

void TPersistent::Assign(TPersistent* Source) {
  if (Source != this) DoAssign(Source);
}

void TPersistent::DoAssign(TPersistent* Source) {
  if (!Source) AssignError(nullptr);
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) {
  // Dest is the side that reports the failure, naming this object as the
  // source it could not take.
  if (!Dest) throw EConvertError("Cannot assign a %s to a %s", {ClassName(), "nil"});
  Dest->AssignError(this);
}

void TPersistent::DefineProperties(TFiler*) {}

TPersistent* TPersistent::GetOwner() { return nullptr; }

AnsiString TPersistent::GetNamePath() {
  AnsiString result = ClassName();
  if (TPersistent* owner = GetOwner()) {
    AnsiString path = owner->GetNamePath();
    if (!path.empty()) result = path + "." + result;
  }
  return result;
}

void TPersistent::AssignError(TPersistent* Source) {
  throw EConvertError("Cannot assign a %s to a %s", {Source ? Source->ClassName() : AnsiString("nil"), ClassName()});
}
