#include "platform/win/ResourceLoading.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Resources.h"
#include "platform/win/Cursors.h"

namespace win {
namespace {

// A found resource is remembered by its key, not by its bytes: the handle
// stays valid when the resource is replaced and fails cleanly once it is
// removed.
struct Found {
  std::string name;
  std::string type;
};

struct State {
  std::vector<Found> found;                    // HRSRC = index + 1
  std::map<std::string, std::size_t> byKey;    // type '\n' name -> index
};

State& S() {
  static State s;
  return s;
}

const TResourceData* Resolve(HRSRC resource) {
  auto index = reinterpret_cast<std::uintptr_t>(resource);
  if (index == 0 || index > S().found.size()) return nullptr;
  const Found& f = S().found[index - 1];
  return FindResourceData(f.name, f.type);
}

}  // namespace

std::string ResourceKey(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
  return name;
}

std::string ResourceTypeKey(LPCSTR type) {
  if (!IS_INTRESOURCE(type)) return type;
  switch (reinterpret_cast<std::uintptr_t>(type)) {
    case 1:
    case 12: return "CURSOR";
    case 2: return "BITMAP";
    case 3: return "ICON";
    case 6: return "STRING";
    case 10: return "RCDATA";
    default: return ResourceKey(type);
  }
}

HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
  if (!name || !type) {
    SetLastError(name ? ERROR_RESOURCE_TYPE_NOT_FOUND : ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  Found f{ResourceKey(name), ResourceTypeKey(type)};
  if (!FindResourceData(f.name, f.type)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  std::string key = f.type + '\n' + f.name;
  std::transform(key.begin(), key.end(), key.begin(), [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
  State& s = S();
  auto [it, added] = s.byKey.try_emplace(key, s.found.size());
  if (added) s.found.push_back(std::move(f));
  return reinterpret_cast<HRSRC>(it->second + 1);
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
  const TResourceData* data = Resolve(resource);
  if (!data) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  // An empty resource still loads: its handle points at its (empty) block.
  static const Byte empty = 0;
  return reinterpret_cast<HGLOBAL>(const_cast<Byte*>(data->Size ? data->Data : &empty));
}

LPVOID LockResource(HGLOBAL data) { return data; }

DWORD SizeofResource(HMODULE, HRSRC resource) {
  const TResourceData* data = Resolve(resource);
  if (!data) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  return static_cast<DWORD>(data->Size);
}

BOOL FreeResource(HGLOBAL) { return FALSE; }

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int size) {
  if (!buffer || size < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const TResourceData* data = FindResourceData("#" + std::to_string(id), "STRING");
  if (!data) {
    if (size > 0) buffer[0] = '\0';
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  if (size == 0) {
    static const char empty = 0;
    *reinterpret_cast<const char**>(buffer) = data->Size ? reinterpret_cast<const char*>(data->Data) : &empty;
    return static_cast<int>(data->Size);
  }
  int n = static_cast<int>(std::min<std::size_t>(data->Size, std::size_t(size - 1)));
  if (n) std::memcpy(buffer, data->Data, std::size_t(n));
  buffer[n] = '\0';
  return n;
}

void RegisterStringTable(const void* data, std::size_t size) {
  std::string_view text(static_cast<const char*>(data), size);
  std::string value;
  std::set<unsigned long> seen;
  int lineNo = 0;
  while (!text.empty()) {
    auto nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == ';') continue;
    std::size_t digits = 0;
    unsigned long id = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9' && id <= 0xFFFF)
      id = id * 10 + unsigned(line[digits++] - '0');
    if (digits == 0 || id > 0xFFFF || (digits < line.size() && line[digits] != ' ' && line[digits] != '\t'))
      throw EParserError("String table, line %d: expected an id from 0 to 65535, a blank and the text", {lineNo});
    if (!seen.insert(id).second) throw EParserError("String table, line %d: id %d appears twice", {lineNo, int(id)});
    std::string_view raw = digits < line.size() ? line.substr(digits + 1) : std::string_view{};
    value.clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '\\') {
        value += raw[i];
        continue;
      }
      char e = i + 1 < raw.size() ? raw[++i] : '\0';
      switch (e) {
        case 'n': value += '\n'; break;
        case 'r': value += '\r'; break;
        case 't': value += '\t'; break;
        case '\\': value += '\\'; break;
        default: throw EParserError("String table, line %d: unknown escape after '\\'", {lineNo});
      }
    }
    RegisterResource("#" + std::to_string(id), "STRING", value.data(), value.size());
  }
}

}  // namespace win
