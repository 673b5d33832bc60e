// Global memory blocks: the handles the clipboard passes data in. A handle
// is checked on every call and never reused, so a stale one fails cleanly.
#pragma once

#include <cstddef>

#include "platform/win/Handles.h"

namespace win {

using HGLOBAL = HANDLE;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// Blocks are always zero-filled; the flags are accepted as given.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
// null for an invalid handle; each lock wants an unlock.
LPVOID GlobalLock(HGLOBAL block);
// TRUE while locks remain, FALSE (last error 0) when the last one went.
BOOL GlobalUnlock(HGLOBAL block);
std::size_t GlobalSize(HGLOBAL block);
// null on success, the handle itself when it was not a block.
HGLOBAL GlobalFree(HGLOBAL block);

// A block holding a copy of the bytes, or null.
HGLOBAL GlobalFromBytes(const void* data, std::size_t size);

}  // namespace win
