#include "platform/rtl/Registry.h"

#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/OsEdge.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/StringList.h"

ORV_REGISTER(TRegistry)

namespace orv::registry {

bool NameLess::operator()(const AnsiString& a, const AnsiString& b) const { return AnsiCompareText(a, b) < 0; }

Value* Key::FindValue(std::string_view name) {
  for (; IndexedValues < Values.size(); ++IndexedValues)
    ValueIndex.try_emplace(AnsiUpperCase(Values[IndexedValues].Name), IndexedValues);
  auto it = ValueIndex.find(AnsiUpperCase(name));
  return it == ValueIndex.end() ? nullptr : &Values[it->second];
}

Key* Key::FindSubKey(std::string_view name) const {
  auto it = SubKeys.find(AnsiString(name));
  return it == SubKeys.end() ? nullptr : it->second.get();
}

// ---------------------------------------------------------------------------
// The file form: "ORVREG1\n", then the root key. A key is its name, its
// values and its subkeys; a value is its name, its type byte and its data.
// Names and data are a 32-bit little-endian length and the bytes; counts
// are 32-bit little-endian.

namespace {

constexpr std::string_view kSignature{"ORVREG1\n", 8};
constexpr int kMaxDepth = 256;

void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
}

void PutBytes(std::string& out, std::string_view s) {
  PutU32(out, static_cast<std::uint32_t>(s.size()));
  out += s;
}

void EncodeKey(std::string& out, const Key& key) {
  PutBytes(out, key.Name);
  PutU32(out, static_cast<std::uint32_t>(key.Values.size()));
  for (const Value& v : key.Values) {
    PutBytes(out, v.Name);
    out += static_cast<char>(v.Type);
    PutBytes(out, v.Data);
  }
  PutU32(out, static_cast<std::uint32_t>(key.SubKeys.size()));
  for (const auto& [name, sub] : key.SubKeys) EncodeKey(out, *sub);
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : FBytes(bytes) {}
  bool U32(std::uint32_t& v) {
    if (FBytes.size() < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(FBytes[i])) << (8 * i);
    FBytes.remove_prefix(4);
    return true;
  }
  bool U8(std::uint8_t& v) {
    if (FBytes.empty()) return false;
    v = static_cast<std::uint8_t>(FBytes[0]);
    FBytes.remove_prefix(1);
    return true;
  }
  bool Bytes(std::string& s) {
    std::uint32_t n;
    if (!U32(n) || n > FBytes.size()) return false;
    s.assign(FBytes.substr(0, n));
    FBytes.remove_prefix(n);
    return true;
  }
  // A count is believable only when that many of the smallest items fit
  // into what is left.
  bool Count(std::uint32_t& n, std::size_t minItemSize) { return U32(n) && n <= FBytes.size() / minItemSize; }
  bool AtEnd() const { return FBytes.empty(); }

 private:
  std::string_view FBytes;
};

bool DecodeKey(Reader& in, Key& key, int depth) {
  if (depth > kMaxDepth || !in.Bytes(key.Name)) return false;
  std::uint32_t count;
  if (!in.Count(count, 9)) return false;
  key.Values.reserve(count);
  // Names seen so far, upper-cased: a second value of the same name makes
  // the file unreadable, and checking by hash keeps big keys linear.
  std::unordered_set<AnsiString> names;
  names.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    Value v;
    std::uint8_t type;
    if (!in.Bytes(v.Name) || !in.U8(type) || !in.Bytes(v.Data)) return false;
    v.Type = type;
    if (type < win::REG_SZ || type > win::REG_DWORD) return false;
    if (type == win::REG_DWORD && v.Data.size() != 4) return false;
    if (!names.insert(AnsiUpperCase(v.Name)).second) return false;
    key.Values.push_back(std::move(v));
  }
  if (!in.Count(count, 12)) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    auto sub = std::make_unique<Key>();
    if (!DecodeKey(in, *sub, depth + 1)) return false;
    if (sub->Name.empty() || sub->Name.find('\\') != AnsiString::npos) return false;
    // Strictly ascending: no two names alike, one order for one tree.
    if (!key.SubKeys.empty() && !NameLess()(key.SubKeys.rbegin()->first, sub->Name)) return false;
    AnsiString name = sub->Name;
    key.SubKeys.emplace_hint(key.SubKeys.end(), std::move(name), std::move(sub));
  }
  return true;
}

}  // namespace

std::string Encode(const Key& root) {
  std::string out(kSignature);
  EncodeKey(out, root);
  return out;
}

bool Decode(std::string_view bytes, Key& root) {
  root = Key{};
  if (bytes.substr(0, kSignature.size()) != kSignature) return false;
  Reader in(bytes.substr(kSignature.size()));
  Key decoded;
  if (!DecodeKey(in, decoded, 0) || !in.AtEnd() || !decoded.Name.empty()) return false;
  root = std::move(decoded);
  return true;
}

// ---------------------------------------------------------------------------
// The one tree of the process.

namespace {

struct Store {
  std::recursive_mutex Mutex;
  bool Memory = false;
  bool Loaded = false;
  bool Dirty = false;
  bool Unreadable = false;  // the file is there but would not read: never replace it
  AnsiString UnreadableReason;
  AnsiString File;  // empty: the default file
  Key Root;

  AnsiString FileName() const { return Memory ? AnsiString() : File.empty() ? DefaultFile() : File; }

  static AnsiString DefaultFile() {
    std::string base;
    const char* xdg = getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
      base = xdg;
    } else {
      const char* home = getenv("HOME");
      if (!home || !*home) {
        const passwd* pw = getpwuid(getuid());
        home = pw ? pw->pw_dir : "/tmp";
      }
      base = std::string(home) + "/.config";
    }
    return Utf8ToAnsi(base + "/orvanta/registry");
  }

  void Load() {
    if (Loaded) return;
    Loaded = true;
    Dirty = false;
    Root = Key{};
    if (Memory) return;
    const AnsiString name = FileName();
    std::string bytes;
    bool missing = false;
    Unreadable = false;
    if (!os::ReadWholeFile(name, bytes, missing, &UnreadableReason)) {
      Unreadable = !missing;
      return;
    }
    if (!Decode(bytes, Root)) {
      // Kept for whoever wants to look at it; never overwritten: a later
      // damaged store goes beside the earlier ones under the next number.
      for (int n = 1; n <= 1000; ++n) {
        const AnsiString aside = name + ".corrupt" + (n == 1 ? AnsiString() : "." + std::to_string(n));
        if (RenameFile(name, aside) || win::GetLastError() != win::ERROR_ALREADY_EXISTS) break;
      }
      Root = Key{};
    }
  }

  void Flush() {
    if (!Dirty || Memory) {
      Dirty = false;
      return;
    }
    const AnsiString name = FileName();
    if (Unreadable)
      throw ERegistryException("Failed to write the registry to %s: the file there cannot be read (%s)",
                               {name, UnreadableReason});
    if (!ForceDirectories(ExtractFileDir(name)))
      throw ERegistryException("Failed to write the registry to %s: its folder cannot be created", {name});
    AnsiString reason;
    if (!os::WriteFileAtomically(name, Encode(Root), &reason))
      throw ERegistryException("Failed to write the registry to %s: %s", {name, reason});
    Dirty = false;
  }
};

Store& S() {
  static Store s;
  return s;
}

std::vector<AnsiString> Split(const AnsiString& path) {
  std::vector<AnsiString> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    auto end = path.find('\\', start);
    if (end == AnsiString::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

AnsiString Join(const std::vector<AnsiString>& parts) {
  AnsiString out;
  for (const AnsiString& p : parts) out += (out.empty() ? "" : "\\") + p;
  return out;
}

// The key at a path, created on the way when asked; null when missing.
Key* Walk(Key& root, const std::vector<AnsiString>& parts, bool create, bool& created) {
  Key* k = &root;
  for (const AnsiString& name : parts) {
    Key* next = k->FindSubKey(name);
    if (!next) {
      if (!create) return nullptr;
      auto sub = std::make_unique<Key>();
      sub->Name = name;
      next = sub.get();
      k->SubKeys.emplace(name, std::move(sub));
      created = true;
    }
    k = next;
  }
  return k;
}

}  // namespace

AnsiString StoreFileName() {
  std::lock_guard lock(S().Mutex);
  return S().FileName();
}

struct ScopedRoot::Saved {
  bool Memory, Loaded, Dirty;
  AnsiString File;
  Key Root;
};

ScopedRoot::ScopedRoot() : ScopedRoot(AnsiString()) {
  Store& s = S();
  std::lock_guard lock(s.Mutex);
  s.Memory = true;
}

ScopedRoot::ScopedRoot(const AnsiString& fileName) {
  Store& s = S();
  std::lock_guard lock(s.Mutex);
  FSaved.reset(new Saved{s.Memory, s.Loaded, s.Dirty, s.File, std::move(s.Root)});
  s.Memory = false;
  s.Loaded = false;
  s.Dirty = false;
  s.File = fileName;
  s.Root = Key{};
}

ScopedRoot::~ScopedRoot() {
  Store& s = S();
  std::lock_guard lock(s.Mutex);
  s.Memory = FSaved->Memory;
  s.Loaded = FSaved->Loaded;
  s.Dirty = FSaved->Dirty;
  s.File = FSaved->File;
  s.Root = std::move(FSaved->Root);
}

}  // namespace orv::registry

// ---------------------------------------------------------------------------

using orv::registry::Key;
using orv::registry::Value;

TRegistry::~TRegistry() {
  try {
    CloseKey();
  } catch (...) {
    // A destructor cannot report; CloseKey called by the owner does.
  }
}

void TRegistry::SetRootKey(win::HKEY Value) {
  if (Value == FRootKey) return;
  CloseKey();
  FRootKey = Value;
}

win::HKEY TRegistry::GetCurrentKey() const {
  return FOpen ? reinterpret_cast<win::HKEY>(static_cast<std::uintptr_t>(0x7E000000u)) : nullptr;
}

AnsiString TRegistry::Absolute(const AnsiString& key) const {
  const bool relative = key.empty() || key[0] != '\\';
  if (relative && FOpen && !FCurrentPath.empty()) return FCurrentPath + "\\" + key;
  return key;
}

bool TRegistry::OpenKey(const AnsiString& KeyName, bool CanCreate) {
  if (FRootKey != win::HKEY_CURRENT_USER) return false;
  auto& s = orv::registry::S();
  std::lock_guard lock(s.Mutex);
  s.Load();
  const auto parts = orv::registry::Split(Absolute(KeyName));
  bool created = false;
  if (!orv::registry::Walk(s.Root, parts, CanCreate, created)) return false;
  s.Dirty |= created;
  CloseKey();
  FOpen = true;
  FReadOnly = false;
  FCurrentPath = orv::registry::Join(parts);
  return true;
}

bool TRegistry::OpenKeyReadOnly(const AnsiString& KeyName) {
  if (!OpenKey(KeyName, false)) return false;
  FReadOnly = true;
  return true;
}

bool TRegistry::CreateKey(const AnsiString& KeyName) {
  if (FRootKey != win::HKEY_CURRENT_USER) throw ERegistryException("Failed to create key %s", {KeyName});
  auto& s = orv::registry::S();
  std::lock_guard lock(s.Mutex);
  s.Load();
  bool created = false;
  orv::registry::Walk(s.Root, orv::registry::Split(Absolute(KeyName)), true, created);
  s.Dirty |= created;
  return true;
}

bool TRegistry::DeleteKey(const AnsiString& KeyName) {
  if (FRootKey != win::HKEY_CURRENT_USER) return false;
  auto& s = orv::registry::S();
  std::lock_guard lock(s.Mutex);
  s.Load();
  auto parts = orv::registry::Split(Absolute(KeyName));
  if (parts.empty()) return false;  // the root itself stays
  const AnsiString last = parts.back();
  parts.pop_back();
  bool created = false;
  Key* parent = orv::registry::Walk(s.Root, parts, false, created);
  if (!parent || !parent->SubKeys.erase(last)) return false;
  s.Dirty = true;
  return true;
}

bool TRegistry::KeyExists(const AnsiString& KeyName) {
  if (FRootKey != win::HKEY_CURRENT_USER) return false;
  auto& s = orv::registry::S();
  std::lock_guard lock(s.Mutex);
  s.Load();
  bool created = false;
  return orv::registry::Walk(s.Root, orv::registry::Split(Absolute(KeyName)), false, created) != nullptr;
}

void TRegistry::CloseKey() {
  if (!FOpen) return;
  FOpen = false;
  FReadOnly = false;
  FCurrentPath.clear();
  auto& s = orv::registry::S();
  std::lock_guard lock(s.Mutex);
  s.Flush();
}

namespace {
// The open key, or null when none is open or it was deleted meanwhile.
// Called with the store locked.
Key* OpenNode(bool open, const AnsiString& path) {
  if (!open) return nullptr;
  auto& s = orv::registry::S();
  s.Load();
  bool created = false;
  return orv::registry::Walk(s.Root, orv::registry::Split(path), false, created);
}
}  // namespace

const Value* TRegistry::ReadValue(const AnsiString& name) {
  Key* k = OpenNode(FOpen, FCurrentPath);
  return k ? k->FindValue(name) : nullptr;
}

bool TRegistry::ValueExists(const AnsiString& Name) {
  std::lock_guard lock(orv::registry::S().Mutex);
  return ReadValue(Name) != nullptr;
}

void TRegistry::GetKeyNames(TStrings* Strings) {
  std::lock_guard lock(orv::registry::S().Mutex);
  auto update = orv::UpdateScope(Strings);
  Strings->Clear();
  if (Key* k = OpenNode(FOpen, FCurrentPath))
    for (const auto& [name, sub] : k->SubKeys) Strings->Add(sub->Name);
}

void TRegistry::GetValueNames(TStrings* Strings) {
  std::lock_guard lock(orv::registry::S().Mutex);
  auto update = orv::UpdateScope(Strings);
  Strings->Clear();
  if (Key* k = OpenNode(FOpen, FCurrentPath))
    for (const Value& v : k->Values) Strings->Add(v.Name);
}

TRegDataType TRegistry::GetDataType(const AnsiString& Name) {
  std::lock_guard lock(orv::registry::S().Mutex);
  const Value* v = ReadValue(Name);
  if (!v) return rdUnknown;
  switch (v->Type) {
    case win::REG_SZ: return rdString;
    case win::REG_EXPAND_SZ: return rdExpandString;
    case win::REG_DWORD: return rdInteger;
    case win::REG_BINARY: return rdBinary;
    default: return rdUnknown;
  }
}

Integer TRegistry::GetDataSize(const AnsiString& Name) {
  std::lock_guard lock(orv::registry::S().Mutex);
  const Value* v = ReadValue(Name);
  if (!v) return -1;
  const bool text = v->Type == win::REG_SZ || v->Type == win::REG_EXPAND_SZ;
  return static_cast<Integer>(v->Data.size() + (text ? 1 : 0));
}

AnsiString TRegistry::ReadString(const AnsiString& Name) {
  std::lock_guard lock(orv::registry::S().Mutex);
  const Value* v = ReadValue(Name);
  if (!v) return AnsiString();
  if (v->Type != win::REG_SZ && v->Type != win::REG_EXPAND_SZ)
    throw ERegistryException("Invalid data type for '%s'", {Name});
  return v->Data;
}

Integer TRegistry::ReadInteger(const AnsiString& Name) {
  std::lock_guard lock(orv::registry::S().Mutex);
  const Value* v = ReadValue(Name);
  if (!v) throw ERegistryException("Failed to get data for '%s'", {Name});
  if (v->Type != win::REG_DWORD) throw ERegistryException("Invalid data type for '%s'", {Name});
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(static_cast<unsigned char>(v->Data[i])) << (8 * i);
  return static_cast<Integer>(u);
}

bool TRegistry::ReadBool(const AnsiString& Name) { return ReadInteger(Name) != 0; }

Integer TRegistry::ReadBinaryData(const AnsiString& Name, void* Buffer, Integer BufSize) {
  std::lock_guard lock(orv::registry::S().Mutex);
  const Value* v = ReadValue(Name);
  if (!v || BufSize < 0 || v->Data.size() > static_cast<std::size_t>(BufSize))
    throw ERegistryException("Failed to get data for '%s'", {Name});
  if (v->Type != win::REG_BINARY) throw ERegistryException("Invalid data type for '%s'", {Name});
  if (!v->Data.empty()) std::memcpy(Buffer, v->Data.data(), v->Data.size());
  return static_cast<Integer>(v->Data.size());
}

void TRegistry::Write(const AnsiString& name, win::DWORD type, std::string data) {
  auto& s = orv::registry::S();
  std::lock_guard lock(s.Mutex);
  Key* k = FReadOnly ? nullptr : OpenNode(FOpen, FCurrentPath);
  if (!k) throw ERegistryException("Failed to set data for '%s'", {name});
  if (Value* v = k->FindValue(name)) {
    v->Type = type;
    v->Data = std::move(data);
  } else {
    k->Values.push_back({name, type, std::move(data)});
  }
  s.Dirty = true;
}

void TRegistry::WriteString(const AnsiString& Name, const AnsiString& Value) { Write(Name, win::REG_SZ, Value); }

void TRegistry::WriteExpandString(const AnsiString& Name, const AnsiString& Value) {
  Write(Name, win::REG_EXPAND_SZ, Value);
}

void TRegistry::WriteInteger(const AnsiString& Name, Integer Value) {
  std::string data(4, '\0');
  const auto u = static_cast<std::uint32_t>(Value);
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>(u >> (8 * i) & 0xFF);
  Write(Name, win::REG_DWORD, std::move(data));
}

void TRegistry::WriteBool(const AnsiString& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

void TRegistry::WriteBinaryData(const AnsiString& Name, const void* Buffer, Integer BufSize) {
  if (BufSize < 0 || (BufSize > 0 && !Buffer)) throw ERegistryException("Failed to set data for '%s'", {Name});
  Write(Name, win::REG_BINARY,
        BufSize ? std::string(static_cast<const char*>(Buffer), static_cast<std::size_t>(BufSize)) : std::string());
}
