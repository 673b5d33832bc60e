// The binary component stream: TReader and TWriter move values, objects
// and whole component trees to and from a TStream.
//
// A stream starts with the signature "TPF0" and holds one object record:
//   [prefix] class-name object-name property* vaNull child-record* vaNull
// where the prefix byte 0xF0 | flags appears only when flags are set
// (ffChildPos adds an integer value after it), names are short strings
// (a length byte and the bytes), and a property is its (possibly dotted)
// name as a short string followed by one tagged value.
//
// Reading a root sets csLoading and csReading on every component it makes,
// builds children by class name through the class registry with the root as
// their owner, binds named children to the root's published fields, binds
// event properties to the root's published methods by name, resolves
// component references by name once the whole tree is read, then calls
// Loaded on each component. A failed read frees what it made and lets the
// error go on.
#pragma once

#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Events.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/rtl/Variant.h"

class TCollection;

enum TValueType : Byte {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20,
};
constexpr Byte vaLastValue = vaUTF8String;

enum TFilerFlag { ffInherited, ffChildPos, ffInline };
using TFilerFlags = Set<TFilerFlag>;

using TReaderProc = Event<void(TReader* Reader)>;
using TWriterProc = Event<void(TWriter* Writer)>;
using TStreamProc = Event<void(TStream* Stream)>;

// The four signature bytes of a binary component stream.
inline constexpr char FilerSignature[4] = {'T', 'P', 'F', '0'};

// Limits that keep a damaged or hostile stream from exhausting the stack:
// objects, lists, collections and sub-object paths nest at most this deep.
constexpr int MaxFilerNesting = 128;

class TFiler : public TObject {
  ORV_CLASS(TFiler, TObject)
 public:
  explicit TFiler(TStream* Stream) : FStream(Stream) {}

  TStream* GetStream() const { return FStream; }
  TComponent* GetRoot() const { return FRoot; }
  void SetRoot(TComponent* Value) { FRoot = Value; }
  TComponent* GetLookupRoot() const { return FLookupRoot; }
  TPersistent* GetAncestor() const { return FAncestor; }
  void SetAncestor(TPersistent* Value) { FAncestor = Value; }
  bool GetIgnoreChildren() const { return FIgnoreChildren; }
  void SetIgnoreChildren(bool Value) { FIgnoreChildren = Value; }

  // Values an object streams besides its published properties, declared
  // from its DefineProperties. The reader calls ReadData when the stream
  // holds Name; the writer calls WriteData when HasData is true.
  virtual void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) = 0;
  // The same for a block of bytes, handed over as a stream.
  virtual void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                                    bool HasData) = 0;

 protected:
  TStream* FStream;
  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
  TPersistent* FAncestor = nullptr;
  bool FIgnoreChildren = false;
};

class TReader : public TFiler {
  ORV_CLASS(TReader, TFiler)
 public:
  explicit TReader(TStream* Stream) : TFiler(Stream) {}

  void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

  // Primitives. A value of the wrong kind raises EReadError "Invalid
  // property value"; a stream that ends early or holds an absurd length
  // raises EReadError as well.
  TValueType ReadValue();
  TValueType NextValue();
  void CheckValue(TValueType Value);
  void SkipValue();
  bool EndOfList();
  void ReadListBegin();
  void ReadListEnd();
  Integer ReadInteger();
  Int64 ReadInt64();
  bool ReadBoolean();
  char ReadChar();
  Extended ReadFloat();
  Single ReadSingle();
  Currency ReadCurrency();
  TDateTime ReadDate();
  AnsiString ReadString();
  WideString ReadWideString();
  // A variant value: nil is Empty, null is Null, then by the value's tag.
  Variant ReadVariant();
  // Identifiers; the value tags False, True, nil and Null read as those words.
  AnsiString ReadIdent();
  // A short string: a length byte and the bytes.
  AnsiString ReadStr();
  void ReadSignature();
  void ReadPrefix(TFilerFlags& Flags, Integer& AChildPos);
  // The element names of a vaSet value (the tag already read).
  std::vector<AnsiString> ReadSetNames();
  // The bytes of a vaBinary value (the tag already read).
  std::vector<Byte> ReadBinaryBytes();

  // Objects.
  // Reads the stream's root into Root, or into a new object of the
  // stream's class when Root is null, and answers it.
  TComponent* ReadRootComponent(TComponent* Root);
  // Reads one object record: a child of the component being read.
  TComponent* ReadComponent(TComponent* Component);
  // Reads Instance's properties and children (called by ReadState).
  void ReadData(TComponent* Instance);
  // One property record of Instance (name and value).
  void ReadProperty(TPersistent* Instance);
  // The items of a collection value (the tag already read).
  void ReadCollection(TCollection* Collection);

  // The component whose children are being read; children get it through
  // SetParentComponent.
  TComponent* GetParent() const { return FParent; }
  TComponent* GetOwner() const { return FOwner; }

 private:
  struct Fixup {
    TPersistent* Instance;
    const TPropInfo* Prop;
    AnsiString Name;
  };

  void Need(Int64 count);
  void ReadRaw(void* buffer, Int64 count);
  Byte ReadByte();
  Int64 ReadLength();
  void ReadPropValue(TPersistent* Instance, const TPropInfo* Prop);
  void ResolveFixups();
  TComponent* FindReference(const AnsiString& Name);
  [[noreturn]] void PropertyError(const AnsiString& Name);

  TComponent* FOwner = nullptr;
  TComponent* FParent = nullptr;
  AnsiString FPropName;  // a defined property still looked for
  bool FPropFound = false;
  int FDepth = 0;
  std::vector<TComponent*> FLoaded;          // Loaded goes to each, in order
  std::vector<TComponent*>* FCreated = nullptr;  // freed if the read fails
  std::vector<Fixup> FFixups;
};

class TWriter : public TFiler {
  ORV_CLASS(TWriter, TFiler)
 public:
  explicit TWriter(TStream* Stream) : TFiler(Stream) {}

  void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

  // Primitives. Integers take the smallest tag that holds them; strings of
  // up to 255 bytes are vaString, longer ones vaLString.
  void WriteValue(TValueType Value);
  void WriteListBegin();
  void WriteListEnd();
  void WriteInteger(Int64 Value);
  void WriteBoolean(bool Value);
  void WriteChar(char Value);
  void WriteFloat(Extended Value);
  void WriteSingle(Single Value);
  void WriteCurrency(Currency Value);
  void WriteDate(TDateTime Value);
  void WriteString(const AnsiString& Value);
  void WriteWideString(const WideString& Value);
  void WriteVariant(const Variant& Value);
  void WriteUTF8String(const std::string& Value);
  // The words False, True, nil and Null become their own tags.
  void WriteIdent(const AnsiString& Ident);
  // A short string; longer than 255 bytes raises EWriteError.
  void WriteStr(const AnsiString& Value);
  void WriteSignature();
  void WritePrefix(TFilerFlags Flags, Integer AChildPos);
  void WriteSet(const std::vector<AnsiString>& Names);
  void WriteBinary(const void* Data, Int64 Size);
  void WritePropName(const AnsiString& Name);

  // Objects.
  void WriteRootComponent(TComponent* Root);
  // Writes Root with only what differs from Ancestor (null: everything).
  void WriteDescendent(TComponent* Root, TComponent* Ancestor);
  void WriteComponent(TComponent* Component);
  // Instance's properties and children (called by WriteState).
  void WriteData(TComponent* Instance);
  // Every stored, non-default published property, then defined properties.
  void WriteProperties(TPersistent* Instance);
  void WriteCollection(TCollection* Collection);

 private:
  void WriteRaw(const void* buffer, Int64 count);
  void WriteProperty(TPersistent* Instance, const TPropInfo* Prop);
  AnsiString ReferenceName(TComponent* Component);
  void WriteChildProc(TComponent* Child) { WriteComponent(Child); }

  AnsiString FPropPath;  // the dotted prefix of sub-object properties
  TComponent* FRootAncestor = nullptr;
  int FDepth = 0;
};

// Finds a component by a name that is not the root's own ("Form2" in a
// reference written "Form2.Button1"); the class library registers one that
// knows its forms. Answers null when it knows none of that name.
using TFindGlobalComponent = TComponent* (*)(const AnsiString& Name);
void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc);
void UnregisterFindGlobalComponentProc(TFindGlobalComponent Proc);
TComponent* FindGlobalComponent(const AnsiString& Name);
