// dBase files built byte by byte, the way other programs write them, so that
// the reader is tried on layouts our own writer never produces (other
// versions, level 7, deleted records, headers that lie). Also small helpers
// to put such bytes on disk and read a file back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace dbf_bytes {

struct Field {
  std::string name;
  char type;
  std::uint8_t length;
  std::uint8_t decimals = 0;
};

struct Layout {
  std::uint8_t version = 0x03;
  std::uint8_t language = 0x58;
  std::vector<Field> fields;
  std::vector<std::string> records;        // each: deletion flag and field bytes
  std::optional<std::uint32_t> claimed;    // record count in the header, if not the real one
  bool level7() const { return (version & 0x07) == 4; }
};

inline void PutU16(std::string& s, std::size_t at, unsigned v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

inline void PutU32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::string Build(const Layout& layout) {
  const bool l7 = layout.level7();
  const std::size_t top = l7 ? 68 : 32, each = l7 ? 48 : 32;
  std::string bytes(top, '\0');
  bytes[0] = static_cast<char>(layout.version);
  bytes[1] = 124;  // 2024-05-17
  bytes[2] = 5;
  bytes[3] = 17;
  PutU32(bytes, 4, layout.claimed.value_or(static_cast<std::uint32_t>(layout.records.size())));
  unsigned recordLength = 1;
  for (const Field& f : layout.fields) recordLength += f.length;
  PutU16(bytes, 8, static_cast<unsigned>(top + each * layout.fields.size() + 1));
  PutU16(bytes, 10, recordLength);
  bytes[29] = static_cast<char>(layout.language);
  if (l7) bytes.replace(32, 7, "DBWINUS");  // language driver name
  for (const Field& f : layout.fields) {
    std::string d(each, '\0');
    d.replace(0, f.name.size(), f.name);
    d[l7 ? 32 : 11] = f.type;
    d[l7 ? 33 : 16] = static_cast<char>(f.length);
    d[l7 ? 34 : 17] = static_cast<char>(f.decimals);
    bytes += d;
  }
  bytes += '\x0D';
  for (const std::string& r : layout.records) bytes += r;
  bytes += '\x1A';
  return bytes;
}

// A level-7 integer: big-endian with the sign bit flipped.
inline std::string Level7Integer(std::int32_t v) {
  const std::uint32_t u = static_cast<std::uint32_t>(v) ^ 0x80000000u;
  return {static_cast<char>(u >> 24), static_cast<char>((u >> 16) & 0xFF),
          static_cast<char>((u >> 8) & 0xFF), static_cast<char>(u & 0xFF)};
}

// Removes the old file first: truncating and rewriting a file makes some
// file systems flush it to disk, which would slow loops over many files.
inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace dbf_bytes
