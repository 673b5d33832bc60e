#include "platform/gdi/GdiObjects.h"

#include <cstdint>

namespace win::gdi {
namespace detail {
// Constant-initialised, so it is usable before any constructor runs.
constinit Table gTable{};
}  // namespace detail

namespace {
detail::Table& table() { return detail::gTable; }
}  // namespace

int GdiObject::Describe(int, void*) const { return 0; }
std::string GdiObject::Summary() const { return "object"; }

HGDIOBJ Register(GdiObject* obj) {
  detail::Table& t = table();
  if (t.Slots.empty()) t.Slots.emplace_back();  // handle 0 stays null
  std::uint32_t index;
  if (!t.Free.empty()) {
    index = t.Free.back();
    t.Free.pop_back();
  } else {
    index = static_cast<std::uint32_t>(t.Slots.size());
    t.Slots.emplace_back();
  }
  detail::Slot& s = t.Slots[index];
  s.Obj = obj;
  std::uintptr_t value = (std::uintptr_t(s.Generation) << 32) | index;
  obj->Handle = reinterpret_cast<HGDIOBJ>(value);
  if (!obj->Stock) ++t.Live;
  return obj->Handle;
}

void Destroy(GdiObject* obj) {
  if (!obj) return;
  detail::Table& t = table();
  std::uintptr_t value = reinterpret_cast<std::uintptr_t>(obj->Handle);
  std::uint32_t index = static_cast<std::uint32_t>(value & 0xFFFFFFFFu);
  if (index && index < t.Slots.size() && t.Slots[index].Obj == obj) {
    t.Slots[index].Obj = nullptr;
    ++t.Slots[index].Generation;
    t.Free.push_back(index);
  }
  if (!obj->Stock) --t.Live;
  delete obj;
}

void Retain(GdiObject* obj) {
  if (obj) ++obj->Selections;
}

void Release(GdiObject* obj) {
  if (!obj) return;
  if (--obj->Selections <= 0 && obj->DeletePending && !obj->Stock) Destroy(obj);
}

namespace {
GdiObject*& stockSlot(int index) {
  static GdiObject* stock[STOCK_LAST + 1] = {};
  static GdiObject* none = nullptr;
  if (index < 0 || index > STOCK_LAST) {
    none = nullptr;
    return none;
  }
  return stock[index];
}
}  // namespace

void SetStockObject(int index, GdiObject* obj) {
  if (index < 0 || index > STOCK_LAST) return;
  obj->Stock = true;
  if (!obj->Handle) Register(obj);
  stockSlot(index) = obj;
}

// Stock pens, brushes and the default bitmap are made on first use by the
// object kinds' own units (see EnsureStockObjects).
void EnsureStockObjects();

GdiObject* StockObject(int index) {
  EnsureStockObjects();
  return stockSlot(index);
}

}  // namespace win::gdi

namespace win {

using namespace gdi;

HGDIOBJ GetStockObject(int index) {
  GdiObject* o = StockObject(index);
  return o ? o->Handle : nullptr;
}

BOOL DeleteObject(HGDIOBJ h) {
  GdiObject* o = Lookup(h);
  if (!o || o->Type == OBJ_DC || o->Type == OBJ_MEMDC) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (o->Stock) return TRUE;  // stock objects are never deleted
  if (o->Selections > 0) {
    o->DeletePending = true;
    return TRUE;
  }
  Destroy(o);
  return TRUE;
}

DWORD GetObjectType(HGDIOBJ h) {
  GdiObject* o = Lookup(h);
  if (!o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return o->Type;
}

int GetObjectA(HGDIOBJ h, int size, LPVOID buffer) {
  GdiObject* o = Lookup(h);
  if (!o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (size < 0) return 0;
  return o->Describe(size, buffer);
}

int GdiLiveObjectCount() { return table().Live; }

}  // namespace win
