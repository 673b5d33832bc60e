// The drawing objects behind the handles. A handle is a slot index plus a
// generation, so a stale or made-up handle is recognised and answers
// failure instead of reaching freed memory. An object selected into a DC
// (or held by a saved DC state) is only marked when deleted and goes away
// when the last selection lets it go.
//
// The drawing tier is used from the UI thread only; the table is not
// locked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/GdiTypes.h"

namespace win::gdi {

class GdiObject {
 public:
  explicit GdiObject(DWORD type) : Type(type) {}
  virtual ~GdiObject() = default;
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  // Copies the object's description for GetObject; with a null buffer
  // answers the size needed. Answers 0 when the size does not fit.
  virtual int Describe(int size, void* buffer) const;
  // A short text for the recording DC's log ("solid #FF0000"); object kinds
  // of later tiers (fonts) give their own.
  virtual std::string Summary() const;

  DWORD Type;
  HGDIOBJ Handle = nullptr;
  int Selections = 0;       // DC states holding the object
  bool DeletePending = false;
  bool Stock = false;
};

// Enters an object into the handle table (which owns it from now on).
HGDIOBJ Register(GdiObject* obj);

namespace detail {
struct Slot {
  GdiObject* Obj = nullptr;
  std::uint32_t Generation = 1;
};
struct Table {
  std::vector<Slot> Slots;  // slot 0 is never used: handle 0 is null
  std::vector<std::uint32_t> Free;
  int Live = 0;
};
extern Table gTable;
}  // namespace detail

// The live object of a handle, or nullptr when the handle is stale, foreign
// or of another type (type 0 accepts any; a memory DC is a DC, an extended
// pen a pen). Inline: every drawing call starts here.
inline GdiObject* Lookup(const void* handle, DWORD type = 0) {
  auto value = reinterpret_cast<std::uintptr_t>(handle);
  auto index = static_cast<std::uint32_t>(value & 0xFFFFFFFFu);
  auto gen = static_cast<std::uint32_t>(value >> 32);
  const std::vector<detail::Slot>& slots = detail::gTable.Slots;
  if (index == 0 || index >= slots.size()) return nullptr;
  const detail::Slot& s = slots[index];
  if (s.Generation != gen || !s.Obj) return nullptr;
  if (type && s.Obj->Type != type &&
      !((type == OBJ_DC && s.Obj->Type == OBJ_MEMDC) || (type == OBJ_PEN && s.Obj->Type == OBJ_EXTPEN)))
    return nullptr;
  return s.Obj;
}
template <class T>
T* LookupAs(const void* handle) {
  GdiObject* o = Lookup(handle, T::kType);
  return static_cast<T*>(o);
}

// Selection references: an object deleted while referenced is destroyed
// when the last reference goes.
void Retain(GdiObject* obj);
void Release(GdiObject* obj);

// Destroys the object now (no selection may hold it).
void Destroy(GdiObject* obj);

// Stock objects (indices of GetStockObject). A later tier installs the
// stock fonts with SetStockObject.
GdiObject* StockObject(int index);
void SetStockObject(int index, GdiObject* obj);

// The 1 x 1 monochrome bitmap every new memory DC holds.
GdiObject* DefaultBitmap();

}  // namespace win::gdi

namespace win {

HGDIOBJ GetStockObject(int index);
BOOL DeleteObject(HGDIOBJ obj);
DWORD GetObjectType(HGDIOBJ obj);
int GetObjectA(HGDIOBJ obj, int size, LPVOID buffer);
inline int GetObject(HGDIOBJ obj, int size, LPVOID buffer) { return GetObjectA(obj, size, buffer); }
template <class H>
inline BOOL DeleteObject(H h) { return DeleteObject(ToObj(h)); }
template <class H>
inline int GetObjectA(H h, int size, LPVOID buffer) { return GetObjectA(ToObj(h), size, buffer); }
template <class H>
inline int GetObject(H h, int size, LPVOID buffer) { return GetObjectA(ToObj(h), size, buffer); }
template <class H>
inline DWORD GetObjectType(H h) { return GetObjectType(ToObj(h)); }

// Test hook: the number of live, non-stock drawing objects and DCs. A
// painter that leaks shows up as a count that does not come back.
int GdiLiveObjectCount();

}  // namespace win
