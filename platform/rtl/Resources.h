// Embedded resources: named blocks of bytes of a given type (layouts,
// bitmaps, string tables) registered at start-up by the code the build
// generates from the files under resources/, and read through
// TResourceStream. Names and types compare without regard to ASCII case.
#pragma once

#include <cstddef>

#include "platform/rtl/Types.h"

// The type of raw data blocks (form layouts among them).
inline constexpr const char* RT_RCDATA = "RCDATA";

struct TResourceData {
  const Byte* Data = nullptr;
  std::size_t Size = 0;
};

// Adds a resource or replaces the one of the same name and type. The bytes
// are copied, so the caller's buffer may go away afterwards.
void RegisterResource(const AnsiString& name, const AnsiString& type, const void* data, std::size_t size);
// Removes a resource; false when there was none.
bool UnregisterResource(const AnsiString& name, const AnsiString& type);
// The registered bytes, or null when there is no such resource. The block
// stays valid until the resource is replaced or removed.
const TResourceData* FindResourceData(const AnsiString& name, const AnsiString& type);
