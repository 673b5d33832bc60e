// A layout skips a published setting that holds its declared default, so a
// class whose constructor starts a setting at another value must declare
// that value: otherwise a component set to the inherited default loses the
// setting when its layout is read back. LostAtDeclaredDefaults sets each
// named published setting of a component to its declared default, writes
// the component, reads it into a fresh object of its class (no owner, on
// AParent) and answers the settings that came back otherwise, as
// "Name wrote X read Y".
#pragma once

#include <string>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TypeInfo.h"

inline std::vector<std::string> LostAtDeclaredDefaults(TComponent* AComponent, TWinControl* AParent,
                                                       const std::vector<AnsiString>& ANames) {
  std::vector<const TPropInfo*> atDefault;
  for (const AnsiString& name : ANames) {
    const TPropInfo* p = GetPropInfo(AComponent, name);
    if (!p || p->DefaultValue == NoDefault || !p->SetOrd) return {name + " declares no default"};
    p->SetOrd(AComponent, p->DefaultValue);
    atDefault.push_back(p);
  }
  TMemoryStream stream;
  stream.WriteComponent(AComponent);
  stream.SetPosition(0);
  auto* copy = static_cast<TComponent*>(AComponent->ClassType()->Create(static_cast<TComponent*>(nullptr)));
  if (auto* control = dynamic_cast<TControl*>(copy)) control->SetParent(AParent);
  std::vector<std::string> lost;
  try {
    stream.ReadComponent(copy);
    for (const TPropInfo* p : atDefault)
      if (p->GetOrd(copy) != p->DefaultValue)
        lost.push_back(std::string(p->Name) + " wrote " + std::to_string(p->DefaultValue) + " read " +
                       std::to_string(p->GetOrd(copy)));
  } catch (...) {
    copy->Free();
    throw;
  }
  copy->Free();
  return lost;
}
