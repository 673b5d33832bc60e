#include "platform/rtl/Resources.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

struct Entry {
  std::vector<Byte> Bytes;
  TResourceData View;
};

AnsiString Key(const AnsiString& name, const AnsiString& type) {
  AnsiString k = type + '\n' + name;
  for (char& c : k)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return k;
}

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

std::map<AnsiString, std::unique_ptr<Entry>>& Table() {
  static std::map<AnsiString, std::unique_ptr<Entry>> table;
  return table;
}

}  // namespace

void RegisterResource(const AnsiString& name, const AnsiString& type, const void* data, std::size_t size) {
  auto e = std::make_unique<Entry>();
  const Byte* p = static_cast<const Byte*>(data);
  e->Bytes.assign(p, p + size);
  e->View = {e->Bytes.data(), e->Bytes.size()};
  std::lock_guard guard(Lock());
  Table()[Key(name, type)] = std::move(e);
}

bool UnregisterResource(const AnsiString& name, const AnsiString& type) {
  std::lock_guard guard(Lock());
  return Table().erase(Key(name, type)) > 0;
}

const TResourceData* FindResourceData(const AnsiString& name, const AnsiString& type) {
  std::lock_guard guard(Lock());
  auto it = Table().find(Key(name, type));
  return it == Table().end() ? nullptr : &it->second->View;
}
