// The registry: a tree of keys holding named, typed values, reached through
// TRegistry under HKEY_CURRENT_USER (the only root there is).
//
// Key paths use '\' between names; a path starting with '\' starts at the
// root, any other is taken below the open key. Names compare without regard
// to letter case. The tree lives in one file of the user's configuration
// directory ($XDG_CONFIG_HOME or ~/.config, then orvanta/registry), read
// when first needed and written back when a key is closed after a change.
// A file that does not read as a whole is set aside (".corrupt" appended
// to its name) and the tree starts empty. Tests put the tree in memory
// instead (orv::registry::ScopedRoot).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/rtl/WinTypes.h"

class TStrings;

namespace win {
inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u));
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));
inline const HKEY HKEY_USERS = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000003u));

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
}  // namespace win

ORV_ENUM(TRegDataType, rdUnknown, rdString, rdExpandString, rdInteger, rdBinary)

namespace orv::registry {

struct Value {
  AnsiString Name;
  win::DWORD Type = win::REG_NONE;
  std::string Data;  // strings without a terminating zero; integers as 4 little-endian bytes
};

// Key names in the order of the collation, without regard to case.
struct NameLess {
  bool operator()(const AnsiString& a, const AnsiString& b) const;
};

struct Key {
  AnsiString Name;
  std::vector<Value> Values;                                    // in the order written; values are only added
  std::map<AnsiString, std::unique_ptr<Key>, NameLess> SubKeys;  // by name

  // The first value of the name, found through an index of the values by
  // upper-cased name: a key of many values is read and written in linear
  // time. The index catches up with the values added since the last look-up.
  Value* FindValue(std::string_view name);
  Key* FindSubKey(std::string_view name) const;

  std::unordered_map<AnsiString, std::size_t> ValueIndex;
  std::size_t IndexedValues = 0;
};

// The store file's form: a signature, then the root key depth first, the
// subkeys in name order. Decode checks every length, count, type, name and
// the order, and answers false for anything that does not read as a whole
// (it never trusts a count to allocate), so a file that decodes encodes to
// the same bytes.
std::string Encode(const Key& root);
bool Decode(std::string_view bytes, Key& root);

// The store file in use (empty while the tree is in memory).
AnsiString StoreFileName();

// While alive, the current user's tree starts empty in memory and never
// touches a file; or, given a file name, lives in that file. The previous
// tree comes back afterwards.
class ScopedRoot {
 public:
  ScopedRoot();
  explicit ScopedRoot(const AnsiString& fileName);
  ~ScopedRoot();
  ScopedRoot(const ScopedRoot&) = delete;
  ScopedRoot& operator=(const ScopedRoot&) = delete;

 private:
  struct Saved;
  std::unique_ptr<Saved> FSaved;
};

}  // namespace orv::registry

class TRegistry : public TObject {
  ORV_CLASS(TRegistry, TObject)
 public:
  TRegistry() = default;
  ~TRegistry() override;

  win::HKEY GetRootKey() const { return FRootKey; }
  // Closes the open key. Only HKEY_CURRENT_USER has keys; under any other
  // root nothing opens and nothing can be created.
  void SetRootKey(win::HKEY Value);
  // Null while no key is open.
  win::HKEY GetCurrentKey() const;
  // The open key's path from the root, without a leading '\'.
  const AnsiString& GetCurrentPath() const { return FCurrentPath; }

  // Opens a key, creating it (and its parents) when CanCreate is set.
  // False, with the open key unchanged, when it does not open.
  bool OpenKey(const AnsiString& Key, bool CanCreate);
  // Opens an existing key for reading only: writes then raise.
  bool OpenKeyReadOnly(const AnsiString& Key);
  // Creates a key without opening it; raises ERegistryException when it
  // cannot be created.
  bool CreateKey(const AnsiString& Key);
  // Deletes a key with everything below it; false when there was none.
  bool DeleteKey(const AnsiString& Key);
  bool KeyExists(const AnsiString& Key);
  // Writes pending changes to the store file (raising ERegistryException
  // when that fails) and closes the key.
  void CloseKey();

  // The open key's values and subkeys; subkeys come sorted, values in the
  // order they were first written.
  bool ValueExists(const AnsiString& Name);
  void GetKeyNames(TStrings* Strings);
  void GetValueNames(TStrings* Strings);
  // rdUnknown for a value that is not there.
  TRegDataType GetDataType(const AnsiString& Name);
  // Bytes of the value (strings with their terminating zero), or -1.
  Integer GetDataSize(const AnsiString& Name);

  // Reads raise ERegistryException for a value of another type; a missing
  // string reads as "", any other missing value raises.
  AnsiString ReadString(const AnsiString& Name);
  Integer ReadInteger(const AnsiString& Name);
  bool ReadBool(const AnsiString& Name);
  // Copies the value into Buffer and answers its size; raises when the
  // buffer is too small.
  Integer ReadBinaryData(const AnsiString& Name, void* Buffer, Integer BufSize);
  // Writes raise ERegistryException without an open, writable key.
  void WriteString(const AnsiString& Name, const AnsiString& Value);
  void WriteExpandString(const AnsiString& Name, const AnsiString& Value);
  void WriteInteger(const AnsiString& Name, Integer Value);
  void WriteBool(const AnsiString& Name, bool Value);
  void WriteBinaryData(const AnsiString& Name, const void* Buffer, Integer BufSize);

 private:
  AnsiString Absolute(const AnsiString& key) const;
  const orv::registry::Value* ReadValue(const AnsiString& name);
  void Write(const AnsiString& name, win::DWORD type, std::string data);

  win::HKEY FRootKey = win::HKEY_CURRENT_USER;
  bool FOpen = false;
  bool FReadOnly = false;
  AnsiString FCurrentPath;
};
