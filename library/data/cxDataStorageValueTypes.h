// Value types: how one kind of value lives in a record buffer of the value
// storage. A value type is stateless; each is one immutable object, and a
// "value type class" is a pointer to it (TcxValueTypeClass).
//
// A cell is the type's GetDataSize bytes inside a record buffer, not
// necessarily aligned. Variable-size values (strings, variants) keep a
// pointer-sized reference to a separately allocated holder in their cell;
// a cell whose reference is empty holds nothing yet. A text cell is one
// pointer-sized reference to an 8-bit string holder.
#pragma once

#include <vector>

#include "library/data/cxVariants.h"

class TcxValueType;
using TcxValueTypeClass = const TcxValueType*;

// Bytes of a text cell.
constexpr Integer cxTextCellSize = static_cast<Integer>(sizeof(void*));

class TcxValueType : public TObject {
  ORV_CLASS(TcxValueType, TObject)
 public:
  // Order of two cells (holder types take the references out first).
  virtual Integer Compare(const void* P1, const void* P2) const;
  // Releases what the cell owns.
  virtual void FreeBuffer(void*) const {}
  void FreeTextBuffer(void* P) const;
  virtual Integer GetDataSize() const { return 0; }
  virtual void GetDataValue(const void* P, Variant& V) const;
  virtual AnsiString GetDefaultDisplayText(const void* P) const;
  AnsiString GetDisplayText(const void* P) const;
  virtual void ReadDataValue(void* P, TStream* AStream) const;
  void ReadDisplayText(void* P, TStream* AStream) const;
  // Stores a non-null value. A value the type cannot take raises the
  // platform's conversion error and leaves the cell as it was.
  virtual void SetDataValue(void* P, const Variant& V) const;
  void SetDisplayText(void* P, const AnsiString& S) const;
  virtual void WriteDataValue(const void* P, TStream* AStream) const;
  void WriteDisplayText(const void* P, TStream* AStream) const;
  // The class name without "Tcx" and "ValueType": "DateTime".
  AnsiString Caption() const;
  // Order of two prepared values (see PrepareValueBuffer).
  virtual Integer CompareValues(const void* P1, const void* P2) const;
  virtual Variant GetValue(const void* P) const;
  virtual Word GetVarType() const { return varVariant; }
  // True for null or when V converts (in place) to the type's kind.
  bool IsValueValid(Variant& V) const;
  virtual bool IsString() const { return false; }
  // The cell pointer as CompareValues and GetValue take it: holder types
  // answer the holder (null when there is none), the others the cell.
  virtual const void* PrepareValueBuffer(const void* P) const { return P; }
};

#define CX_VALUE_TYPE(Name, Parent)                      \
  class Name : public Parent {                           \
    ORV_CLASS(Name, Parent)                              \
   public:                                               \
    static TcxValueTypeClass Class() {                   \
      static const Name instance;                        \
      return &instance;                                  \
    }

CX_VALUE_TYPE(TcxStringValueType, TcxValueType)
  Integer Compare(const void* P1, const void* P2) const override;
  void FreeBuffer(void* P) const override;
  Integer GetDataSize() const override { return sizeof(void*); }
  void GetDataValue(const void* P, Variant& V) const override;
  void ReadDataValue(void* P, TStream* AStream) const override;
  void SetDataValue(void* P, const Variant& V) const override;
  void WriteDataValue(const void* P, TStream* AStream) const override;
  Integer CompareValues(const void* P1, const void* P2) const override;
  Variant GetValue(const void* P) const override;
  Word GetVarType() const override { return varString; }
  bool IsString() const override { return true; }
  const void* PrepareValueBuffer(const void* P) const override;

 private:
  bool IsWide() const;
};

// The same cells over wide text.
CX_VALUE_TYPE(TcxWideStringValueType, TcxStringValueType)
  Word GetVarType() const override { return varOleStr; }
};

CX_VALUE_TYPE(TcxSmallintValueType, TcxValueType)
  Integer GetDataSize() const override { return 2; }
  void GetDataValue(const void* P, Variant& V) const override;
  void ReadDataValue(void* P, TStream* AStream) const override;
  void SetDataValue(void* P, const Variant& V) const override;
  void WriteDataValue(const void* P, TStream* AStream) const override;
  Integer CompareValues(const void* P1, const void* P2) const override;
  Word GetVarType() const override { return varSmallint; }
};

CX_VALUE_TYPE(TcxIntegerValueType, TcxValueType)
  Integer GetDataSize() const override { return 4; }
  void GetDataValue(const void* P, Variant& V) const override;
  void ReadDataValue(void* P, TStream* AStream) const override;
  void SetDataValue(void* P, const Variant& V) const override;
  void WriteDataValue(const void* P, TStream* AStream) const override;
  Integer CompareValues(const void* P1, const void* P2) const override;
  Word GetVarType() const override { return varInteger; }
};

CX_VALUE_TYPE(TcxWordValueType, TcxValueType)
  Integer GetDataSize() const override { return 2; }
  void GetDataValue(const void* P, Variant& V) const override;
  void ReadDataValue(void* P, TStream* AStream) const override;
  void SetDataValue(void* P, const Variant& V) const override;
  void WriteDataValue(const void* P, TStream* AStream) const override;
  Integer CompareValues(const void* P1, const void* P2) const override;
  Word GetVarType() const override { return varWord; }
};

CX_VALUE_TYPE(TcxBooleanValueType, TcxValueType)
  Integer GetDataSize() const override { return 1; }
  void GetDataValue(const void* P, Variant& V) const override;
  AnsiString GetDefaultDisplayText(const void* P) const override;
  void ReadDataValue(void* P, TStream* AStream) const override;
  void SetDataValue(void* P, const Variant& V) const override;
  void WriteDataValue(const void* P, TStream* AStream) const override;
  Integer CompareValues(const void* P1, const void* P2) const override;
  Word GetVarType() const override { return varBoolean; }
};

CX_VALUE_TYPE(TcxFloatValueType, TcxValueType)
  Integer GetDataSize() const override { return 8; }
  void GetDataValue(const void* P, Variant& V) const override;
  void ReadDataValue(void* P, TStream* AStream) const override;
  void SetDataValue(void* P, const Variant& V) const override;
  void WriteDataValue(const void* P, TStream* AStream) const override;
  Integer CompareValues(const void* P1, const void* P2) const override;
  Word GetVarType() const override { return varDouble; }
};

CX_VALUE_TYPE(TcxCurrencyValueType, TcxValueType)
  Integer GetDataSize() const override { return 8; }
  void GetDataValue(const void* P, Variant& V) const override;
  void ReadDataValue(void* P, TStream* AStream) const override;
  void SetDataValue(void* P, const Variant& V) const override;
  void WriteDataValue(const void* P, TStream* AStream) const override;
  Integer CompareValues(const void* P1, const void* P2) const override;
  Word GetVarType() const override { return varCurrency; }
};

CX_VALUE_TYPE(TcxDateTimeValueType, TcxValueType)
  Integer GetDataSize() const override { return 8; }
  void GetDataValue(const void* P, Variant& V) const override;
  AnsiString GetDefaultDisplayText(const void* P) const override;
  void ReadDataValue(void* P, TStream* AStream) const override;
  void SetDataValue(void* P, const Variant& V) const override;
  void WriteDataValue(const void* P, TStream* AStream) const override;
  Integer CompareValues(const void* P1, const void* P2) const override;
  Word GetVarType() const override { return varDate; }
};

CX_VALUE_TYPE(TcxLargeIntValueType, TcxValueType)
  Integer GetDataSize() const override { return 8; }
  void GetDataValue(const void* P, Variant& V) const override;
  void ReadDataValue(void* P, TStream* AStream) const override;
  void SetDataValue(void* P, const Variant& V) const override;
  void WriteDataValue(const void* P, TStream* AStream) const override;
  Integer CompareValues(const void* P1, const void* P2) const override;
  Word GetVarType() const override { return varInt64; }
};

CX_VALUE_TYPE(TcxFMTBcdValueType, TcxValueType)
  Integer GetDataSize() const override { return sizeof(TBcd); }
  void GetDataValue(const void* P, Variant& V) const override;
  AnsiString GetDefaultDisplayText(const void* P) const override;
  void SetDataValue(void* P, const Variant& V) const override;
  Integer CompareValues(const void* P1, const void* P2) const override;
  Word GetVarType() const override { return varFMTBcd; }
};

CX_VALUE_TYPE(TcxSQLTimeStampValueType, TcxValueType)
  Integer GetDataSize() const override { return sizeof(TSQLTimeStamp); }
  void GetDataValue(const void* P, Variant& V) const override;
  void SetDataValue(void* P, const Variant& V) const override;
  Integer CompareValues(const void* P1, const void* P2) const override;
  Word GetVarType() const override { return varSQLTimeStamp; }
};

CX_VALUE_TYPE(TcxVariantValueType, TcxValueType)
  Integer Compare(const void* P1, const void* P2) const override;
  void FreeBuffer(void* P) const override;
  Integer GetDataSize() const override { return sizeof(void*); }
  void GetDataValue(const void* P, Variant& V) const override;
  void SetDataValue(void* P, const Variant& V) const override;
  Integer CompareValues(const void* P1, const void* P2) const override;
  Variant GetValue(const void* P) const override;
  const void* PrepareValueBuffer(const void* P) const override;
};

// An object owned by the storage. The cell holds the object's address as
// a 64-bit integer, so its values are of the Int64 kind; it is never
// streamed, since an address means nothing to another process.
CX_VALUE_TYPE(TcxObjectValueType, TcxLargeIntValueType)
  void FreeBuffer(void* P) const override;
  void ReadDataValue(void*, TStream*) const override {}
  void WriteDataValue(const void*, TStream*) const override {}
  static TObject* GetObject(const void* P);
};

#undef CX_VALUE_TYPE

// The process-wide list of value types, in registration order.
class TcxValueTypeClassList : public TObject {
  ORV_CLASS(TcxValueTypeClassList, TObject)
 public:
  void RegisterItem(TcxValueTypeClass AClass);
  void UnregisterItem(TcxValueTypeClass AClass);
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxValueTypeClass GetItem(Integer Index) const;
  // Case-sensitive: "string" finds nothing.
  TcxValueTypeClass ItemByCaption(const AnsiString& ACaption) const;

 private:
  std::vector<TcxValueTypeClass> FItems;
};

// Created on first use with the fourteen built-in types registered.
TcxValueTypeClassList* cxValueTypeClassList();
