#include "platform/win/GlobalMemory.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <vector>

namespace win {
namespace {

struct Block {
  std::vector<std::uint8_t> bytes;
  int locks = 0;
};

struct State {
  std::mutex lock;
  std::map<std::uintptr_t, Block> blocks;
  std::uintptr_t next = 0x1000;
};

State& S() {
  static State s;
  return s;
}

Block* Find(HGLOBAL h) {
  auto it = S().blocks.find(reinterpret_cast<std::uintptr_t>(h));
  return it == S().blocks.end() ? nullptr : &it->second;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t bytes) {
  State& s = S();
  std::lock_guard guard(s.lock);
  // A size past what any block can hold (a negative count cast to a size,
  // say) is out of memory too, like one the allocator cannot give.
  std::vector<std::uint8_t> block;
  try {
    if (bytes > block.max_size()) throw std::bad_alloc();
    block.assign(bytes, 0);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::uintptr_t id = s.next;
  s.next += 8;
  s.blocks[id].bytes = std::move(block);
  return reinterpret_cast<HGLOBAL>(id);
}

LPVOID GlobalLock(HGLOBAL block) {
  std::lock_guard guard(S().lock);
  Block* b = Find(block);
  if (!b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  ++b->locks;
  // A zero-sized block still has an address to lock.
  return b->bytes.empty() ? static_cast<void*>(&b->locks) : b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL block) {
  std::lock_guard guard(S().lock);
  Block* b = Find(block);
  if (!b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (b->locks > 0) --b->locks;
  SetLastError(ERROR_SUCCESS);
  return b->locks > 0;
}

std::size_t GlobalSize(HGLOBAL block) {
  std::lock_guard guard(S().lock);
  Block* b = Find(block);
  if (!b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return b->bytes.size();
}

HGLOBAL GlobalFree(HGLOBAL block) {
  std::lock_guard guard(S().lock);
  if (!S().blocks.erase(reinterpret_cast<std::uintptr_t>(block))) {
    SetLastError(ERROR_INVALID_HANDLE);
    return block;
  }
  return nullptr;
}

HGLOBAL GlobalFromBytes(const void* data, std::size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!h) return nullptr;
  void* p = GlobalLock(h);
  if (size) std::memcpy(p, data, size);
  GlobalUnlock(h);
  return h;
}

}  // namespace win
