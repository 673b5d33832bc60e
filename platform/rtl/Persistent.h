// Persistent objects: the base of everything that can be copied from
// another object of a compatible kind and written to a component stream.
//
// Assign(Source) copies Source into this object. A class that knows how to
// take a value from a given kind of source overrides DoAssign; a class that
// knows how to put itself into a given kind of destination overrides
// AssignTo. When neither side knows the other, EConvertError is raised.
// An object assigned to itself stays as it is: Assign never passes it on,
// so no DoAssign has to reckon with a source it is about to clear.
#pragma once

#include "platform/rtl/Object.h"

class TFiler;

class TPersistent : public TObject {
  ORV_CLASS(TPersistent, TObject)
 public:
  TPersistent() = default;

  // Copies Source into this object (DoAssign); this object itself is
  // already here, and nothing happens.
  void Assign(TPersistent* Source);
  // Puts this object into Dest. The default refuses.
  virtual void AssignTo(TPersistent* Dest);

  // Declares values that are streamed besides the published properties.
  virtual void DefineProperties(TFiler* Filer);

  // The object this one belongs to, for name paths (null by default).
  virtual TPersistent* GetOwner();
  // A dotted path naming this object for messages and designers:
  // "Owner.Path.ClassName" by default.
  virtual AnsiString GetNamePath();

 protected:
  // Copies Source, never this object, into this object. The default asks
  // Source to put itself here (AssignTo); a null Source is refused like any
  // unknown source.
  virtual void DoAssign(TPersistent* Source);
  // Raises EConvertError "Cannot assign a <source class or nil> to a <this class>".
  [[noreturn]] void AssignError(TPersistent* Source);
};

// A persistent object that offers interfaces without reference counting:
// its lifetime belongs to its owner, never to the interfaces handed out.
class TInterfacedPersistent : public TPersistent {
  ORV_CLASS(TInterfacedPersistent, TPersistent)
 public:
  TInterfacedPersistent() = default;

  HRESULT QueryInterface(const TGUID& iid, void** obj) override { return TPersistent::QueryInterface(iid, obj); }
  Integer _AddRef() { return -1; }
  Integer _Release() { return -1; }
};
