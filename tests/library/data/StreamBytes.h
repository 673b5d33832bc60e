// Byte helpers for stream fixtures: "FF 00 1A" text to bytes and back.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/rtl/Streams.h"

inline std::vector<Byte> Hex(const std::string& text) {
  std::vector<Byte> out;
  int nibbles = 0;
  unsigned value = 0;
  for (char c : text) {
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) continue;
    value = value << 4 | static_cast<unsigned>(d);
    if (++nibbles == 2) {
      out.push_back(static_cast<Byte>(value));
      nibbles = 0;
      value = 0;
    }
  }
  return out;
}

inline std::string ToHex(const std::vector<Byte>& bytes) {
  std::string s;
  char buf[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
    s += buf;
  }
  return s;
}

inline std::vector<Byte> StreamBytes(TMemoryStream& ms) {
  auto* p = static_cast<const Byte*>(ms.GetMemory());
  return std::vector<Byte>(p, p + ms.GetSize());
}

// A memory stream holding the given bytes, positioned at 0.
class ByteStream : public TMemoryStream {
 public:
  explicit ByteStream(const std::vector<Byte>& bytes) {
    if (!bytes.empty()) WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
    SetPosition(0);
  }
  explicit ByteStream(const std::string& hex) : ByteStream(Hex(hex)) {}
};
