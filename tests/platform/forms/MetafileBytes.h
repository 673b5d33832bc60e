// Metafiles built by hand, byte by byte: little-endian values, the records
// of both formats and the headers that frame them.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

namespace forms_test {

inline void Put16(std::string& o, unsigned v) {
  o += static_cast<char>(v & 0xFF);
  o += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& o, unsigned v) {
  Put16(o, v & 0xFFFF);
  Put16(o, v >> 16);
}
inline std::string Words16(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) Put16(s, unsigned(v) & 0xFFFF);
  return s;
}
inline std::string Words32(std::initializer_list<unsigned> values) {
  std::string s;
  for (unsigned v : values) Put32(s, v);
  return s;
}

// An enhanced record: its type and size, then its parameters.
inline std::string Record(unsigned type, const std::string& params) {
  std::string r;
  Put32(r, type);
  Put32(r, 8 + static_cast<unsigned>(params.size()));
  return r + params;
}
inline std::string Record(unsigned type, std::initializer_list<unsigned> params) {
  return Record(type, Words32(params));
}

// A record of the older format: its size in words and its function, then
// its parameters.
inline std::string WmfRecord(unsigned function, const std::string& params) {
  std::string r;
  Put32(r, 3 + static_cast<unsigned>(params.size()) / 2);
  Put16(r, function);
  return r + params;
}
inline std::string WmfRecord(unsigned function, std::initializer_list<int> words) {
  return WmfRecord(function, Words16(words));
}

// An enhanced metafile: the header (bounds in pixels, both edges inside;
// the frame in hundredths of a millimetre; a reference device of 960 x 960
// pixels on 254 x 254 millimetres), then the records, the end record
// among them.
inline std::string EnhancedMetafile(std::initializer_list<unsigned> bounds, std::initializer_list<unsigned> frame,
                                    unsigned records, unsigned handles, const std::string& body) {
  std::string head;
  Put32(head, 1);
  Put32(head, 88);
  for (unsigned v : bounds) Put32(head, v);
  for (unsigned v : frame) Put32(head, v);
  Put32(head, 0x464D4520);
  Put32(head, 0x10000);
  Put32(head, 88 + static_cast<unsigned>(body.size()));
  Put32(head, records);
  Put32(head, handles);  // and a reserved half
  for (int i = 0; i < 3; ++i) Put32(head, 0);
  for (unsigned v : {960u, 960u, 254u, 254u}) Put32(head, v);
  return head + body;
}

// A placeable metafile with bounds (0, 0)-(w, h) at 96 units per inch and
// the given number of object slots, the end record among its records.
inline std::string PlaceableMetafile(int w, int h, unsigned objects, const std::string& records) {
  std::string p;
  Put32(p, 0x9AC6CDD7);
  Put16(p, 0);
  for (int v : {0, 0, w, h, 96}) Put16(p, unsigned(v));
  Put32(p, 0);
  unsigned sum = 0;
  for (std::size_t i = 0; i < p.size(); i += 2)
    sum ^= static_cast<unsigned char>(p[i]) | static_cast<unsigned char>(p[i + 1]) << 8;
  Put16(p, sum);
  std::string head;
  Put16(head, 1);
  Put16(head, 9);
  Put16(head, 0x300);
  Put32(head, (18 + static_cast<unsigned>(records.size())) / 2);
  Put16(head, objects);
  Put32(head, 7);
  Put16(head, 0);
  return p + head + records;
}

}  // namespace forms_test
