#include "tables/dbf_format.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <set>

#include "text/cp1252.h"

namespace tables::dbf {

namespace {

std::uint8_t Byte(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint8_t>(bytes[offset]);
}

std::uint16_t ReadU16(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(Byte(bytes, offset) | Byte(bytes, offset + 1) << 8);
}

std::uint32_t ReadU32(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(Byte(bytes, offset)) |
         static_cast<std::uint32_t>(Byte(bytes, offset + 1)) << 8 |
         static_cast<std::uint32_t>(Byte(bytes, offset + 2)) << 16 |
         static_cast<std::uint32_t>(Byte(bytes, offset + 3)) << 24;
}

void WriteU16(std::string& bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>(value >> 8);
}

void WriteU32(std::string& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint64_t ReadBigEndian(std::string_view bytes) {
  std::uint64_t value = 0;
  for (const char c : bytes) value = value << 8 | static_cast<std::uint8_t>(c);
  return value;
}

void WriteBigEndian(std::uint64_t value, char* out, std::size_t length) {
  for (std::size_t i = length; i-- > 0;) {
    out[i] = static_cast<char>(value & 0xFF);
    value >>= 8;
  }
}

std::string Printf(const char* format, auto... args) {
  const int size = std::snprintf(nullptr, 0, format, args...);
  std::string out(static_cast<std::size_t>(std::max(size, 0)), '\0');
  std::snprintf(out.data(), out.size() + 1, format, args...);
  return out;
}

[[noreturn]] void NotDbase(std::string_view table, std::string_view why) {
  throw UserError("La tabla " + std::string(table) + " no es una tabla dBase: " + std::string(why) +
                  ".");
}

[[noreturn]] void Damaged(std::string_view table, std::string_view why) {
  throw UserError("La tabla " + std::string(table) + " está dañada: " + std::string(why) +
                  ". Vuelva a generarla o recupérela de una copia.");
}

[[noreturn]] void CannotCreate(std::string_view table, std::string_view why) {
  throw UserError("No se puede crear la tabla " + std::string(table) + ": " + std::string(why) + ".");
}

// Field names come from the file, in its code page; messages are UTF-8.
std::string Quoted(std::string_view cp1252Name) {
  return "'" + text::Cp1252ToUtf8(cp1252Name) + "'";
}

// The width a binary type must have, or 0 for text-stored and unknown types.
std::size_t BinaryWidth(char type) {
  switch (type) {
    case kTypeInteger:
    case kTypeAutoIncrement: return 4;
    case kTypeDouble:
    case kTypeTimestamp: return 8;
    default: return 0;
  }
}

}  // namespace

bool IsReadableVersion(std::uint8_t version) {
  return std::find(std::begin(kReadableVersions), std::end(kReadableVersions), version) !=
         std::end(kReadableVersions);
}

bool IsLevel7(std::uint8_t version) { return (version & kVersionLevelMask) == kLevelDbase7; }

std::string EncodeFileHeader(const FileHeader& header) {
  std::string bytes(kFileHeaderSize, '\0');
  bytes[kVersionOffset] = static_cast<char>(header.version);
  bytes[kDateOffset] = static_cast<char>(header.year);
  bytes[kDateOffset + 1] = static_cast<char>(header.month);
  bytes[kDateOffset + 2] = static_cast<char>(header.day);
  WriteU32(bytes, kRecordCountOffset, header.recordCount);
  WriteU16(bytes, kHeaderLengthOffset, header.headerLength);
  WriteU16(bytes, kRecordLengthOffset, header.recordLength);
  bytes[kProductionIndexOffset] = static_cast<char>(header.productionIndex);
  bytes[kLanguageDriverOffset] = static_cast<char>(header.languageDriver);
  return bytes;
}

FileHeader DecodeFileHeader(std::string_view bytes, std::string_view table) {
  if (bytes.empty()) NotDbase(table, "el archivo está vacío");
  FileHeader header;
  header.version = Byte(bytes, kVersionOffset);
  if (!IsReadableVersion(header.version)) {
    NotDbase(table, Printf("su primer byte (0x%02X) no es el de ninguna versión de dBase", header.version));
  }
  if (bytes.size() < kFileHeaderSize) {
    Damaged(table, Printf("el archivo tiene %zu bytes y solo el encabezado de una tabla dBase ocupa %zu",
                          bytes.size(), kFileHeaderSize));
  }
  header.year = Byte(bytes, kDateOffset);
  header.month = Byte(bytes, kDateOffset + 1);
  header.day = Byte(bytes, kDateOffset + 2);
  header.recordCount = ReadU32(bytes, kRecordCountOffset);
  header.headerLength = ReadU16(bytes, kHeaderLengthOffset);
  header.recordLength = ReadU16(bytes, kRecordLengthOffset);
  header.productionIndex = Byte(bytes, kProductionIndexOffset);
  header.languageDriver = Byte(bytes, kLanguageDriverOffset);
  return header;
}

std::string EncodeFieldDescriptor(const FieldDescriptor& field) {
  std::string bytes(kDescriptorSize, '\0');
  const std::size_t nameLength = std::min(field.name.size(), kMaxWrittenNameLength);
  std::memcpy(bytes.data(), field.name.data(), nameLength);
  bytes[kTypeOffset] = field.type;
  bytes[kLengthOffset] = static_cast<char>(field.length);
  bytes[kDecimalsOffset] = static_cast<char>(field.decimals);
  return bytes;
}

FieldDescriptor DecodeFieldDescriptor(std::string_view bytes, bool level7, std::size_t position,
                                      std::string_view table) {
  const std::size_t size = level7 ? kLevel7DescriptorSize : kDescriptorSize;
  if (bytes.size() < size) {
    Damaged(table, Printf("la descripción del campo %zu está cortada (%zu de %zu bytes)", position,
                          bytes.size(), size));
  }
  const std::string_view nameBytes = bytes.substr(0, level7 ? kLevel7NameSize : kNameSize);
  FieldDescriptor field;
  field.name = std::string(nameBytes.substr(0, nameBytes.find('\0')));
  field.name.erase(field.name.find_last_not_of(' ') + 1);
  field.type = bytes[level7 ? kLevel7TypeOffset : kTypeOffset];
  field.length = Byte(bytes, level7 ? kLevel7LengthOffset : kLengthOffset);
  field.decimals = Byte(bytes, level7 ? kLevel7DecimalsOffset : kDecimalsOffset);

  if (field.name.empty()) Damaged(table, Printf("el campo %zu no tiene nombre", position));
  if (field.length == 0) Damaged(table, "el campo " + Quoted(field.name) + " tiene longitud 0");
  const std::size_t binaryWidth = BinaryWidth(field.type);
  if (binaryWidth != 0 && field.length != binaryWidth) {
    Damaged(table, Printf("el campo %s, de tipo %c, ocupa %u bytes en lugar de %zu",
                          Quoted(field.name).c_str(), field.type, field.length, binaryWidth));
  }
  return field;
}

TableImage NewTableImage(std::vector<FieldDescriptor> fields, std::string_view table) {
  if (fields.empty()) CannotCreate(table, "no tiene ningún campo");
  const std::size_t headerLength = kFileHeaderSize + fields.size() * kDescriptorSize + 1;
  if (headerLength > UINT16_MAX) CannotCreate(table, Printf("tiene demasiados campos (%zu)", fields.size()));

  std::set<std::string> seen;
  std::size_t offset = 1;  // after the deletion flag
  for (FieldDescriptor& field : fields) {
    if (field.name.empty() || field.name.size() > kMaxWrittenNameLength ||
        field.name.find('\0') != std::string::npos) {
      CannotCreate(table, "el nombre de campo " + Quoted(field.name) +
                              " no es válido (de 1 a 10 caracteres)");
    }
    if (!seen.insert(text::FoldCase(field.name)).second) {
      CannotCreate(table, "el campo " + Quoted(field.name) + " está repetido");
    }
    if (field.length == 0) CannotCreate(table, "el campo " + Quoted(field.name) + " tiene ancho 0");
    field.offset = offset;
    offset += field.length;
  }
  if (offset > UINT16_MAX) CannotCreate(table, Printf("sus registros ocuparían %zu bytes", offset));

  TableImage image;
  image.fileHeader.headerLength = static_cast<std::uint16_t>(headerLength);
  image.fileHeader.recordLength = static_cast<std::uint16_t>(offset);
  image.header = EncodeFileHeader(image.fileHeader);
  for (const FieldDescriptor& field : fields) image.header += EncodeFieldDescriptor(field);
  image.header += static_cast<char>(kHeaderTerminator);
  image.fields = std::move(fields);
  return image;
}

TableImage DecodeTable(std::string_view bytes, std::string_view table) {
  TableImage image;
  image.fileHeader = DecodeFileHeader(bytes, table);
  const FileHeader& header = image.fileHeader;
  const bool level7 = IsLevel7(header.version);
  const std::size_t descriptorsStart = level7 ? kLevel7HeaderSize : kFileHeaderSize;
  const std::size_t descriptorSize = level7 ? kLevel7DescriptorSize : kDescriptorSize;

  if (header.headerLength < descriptorsStart + 1) {
    Damaged(table, Printf("su encabezado dice ocupar %u bytes, menos de los %zu que necesita",
                          header.headerLength, descriptorsStart + 1));
  }
  if (header.headerLength > bytes.size()) {
    Damaged(table, Printf("su encabezado dice ocupar %u bytes pero el archivo solo tiene %zu",
                          header.headerLength, bytes.size()));
  }
  const std::string_view headerBytes = bytes.substr(0, header.headerLength);

  std::size_t position = descriptorsStart;
  while (true) {
    if (position >= headerBytes.size()) {
      Damaged(table, Printf("falta el final de la lista de campos (0x0D) en los %u bytes del encabezado",
                            header.headerLength));
    }
    if (Byte(headerBytes, position) == kHeaderTerminator) break;
    if (position + descriptorSize > headerBytes.size()) {
      Damaged(table, Printf("la descripción del campo %zu se sale del encabezado (%u bytes)",
                            image.fields.size() + 1, header.headerLength));
    }
    image.fields.push_back(DecodeFieldDescriptor(headerBytes.substr(position, descriptorSize), level7,
                                                 image.fields.size() + 1, table));
    position += descriptorSize;
  }
  if (image.fields.empty()) Damaged(table, "no tiene ningún campo");

  std::size_t offset = 1;  // after the deletion flag
  for (FieldDescriptor& field : image.fields) {
    field.offset = offset;
    offset += field.length;
  }
  if (offset != header.recordLength) {
    Damaged(table, Printf("su encabezado dice que cada registro ocupa %u bytes, pero sus campos ocupan %zu",
                          header.recordLength, offset));
  }

  // A header claiming more records than the file holds means a copy cut
  // short or a writer stopped halfway: reading the records that are there
  // would pass off part of a table as the whole (a timetable missing lessons),
  // so the table is refused. Bytes after the claimed records are passed over.
  const std::size_t available = (bytes.size() - header.headerLength) / header.recordLength;
  if (available < header.recordCount) {
    Damaged(table, Printf("su encabezado dice que tiene %u registros, pero el archivo solo guarda %zu "
                          "completos (está cortado)",
                          header.recordCount, available));
  }
  const std::size_t present = header.recordCount;
  image.header = std::string(headerBytes);
  image.records = std::string(bytes.substr(header.headerLength, present * header.recordLength));
  image.claimedRecords = header.recordCount;
  return image;
}

std::string EncodeTable(const TableImage& image, std::uint8_t year, std::uint8_t month,
                        std::uint8_t day) {
  std::string bytes = image.header;
  bytes.reserve(bytes.size() + image.records.size() + 1);
  bytes[kDateOffset] = static_cast<char>(year);
  bytes[kDateOffset + 1] = static_cast<char>(month);
  bytes[kDateOffset + 2] = static_cast<char>(day);
  WriteU32(bytes, kRecordCountOffset, static_cast<std::uint32_t>(image.recordCount()));
  // An index file other programs made for the table would no longer match its
  // records: readers are told there is none rather than trust a stale one.
  bytes[kProductionIndexOffset] = 0;
  bytes += image.records;
  bytes += static_cast<char>(kEndOfFile);
  return bytes;
}

std::string BlankRecord(const TableImage& image) {
  std::string record(image.recordLength(), ' ');
  for (const FieldDescriptor& field : image.fields) {
    if (!IsTextStored(field.type)) std::fill_n(record.begin() + static_cast<std::ptrdiff_t>(field.offset), field.length, '\0');
  }
  record[0] = kRecordLive;
  return record;
}

std::string_view FieldBytes(std::string_view record, const FieldDescriptor& field) {
  if (field.offset >= record.size()) return {};
  return record.substr(field.offset, field.length);
}

std::string_view TrimStoredText(std::string_view bytes) {
  const std::size_t end = bytes.find_last_not_of(std::string_view(" \0", 2));
  return end == std::string_view::npos ? std::string_view() : bytes.substr(0, end + 1);
}

bool IsTextStored(char type) {
  switch (type) {
    case kTypeCharacter:
    case kTypeNumeric:
    case kTypeFloat:
    case kTypeLogical:
    case kTypeDate:
    case kTypeMemo: return true;
    default: return false;
  }
}

bool IsNumeric(char type) {
  switch (type) {
    case kTypeNumeric:
    case kTypeFloat:
    case kTypeInteger:
    case kTypeAutoIncrement:
    case kTypeDouble: return true;
    default: return false;
  }
}

namespace {
constexpr std::uint32_t kSign32 = 0x80000000u;
constexpr std::uint64_t kSign64 = 0x8000000000000000ull;
}  // namespace

bool DecodeBinaryNumber(std::string_view bytes, char type, bool level7, double& value) {
  const std::size_t width = BinaryWidth(type);
  if (width == 0 || bytes.size() != width) return false;
  if (type == kTypeInteger && !level7) {  // Visual FoxPro: little-endian, no "no value"
    value = static_cast<std::int32_t>(ReadU32(bytes, 0));
    return true;
  }
  // Level 7 keeps all-zero bytes for a field that holds no value.
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\0'; })) return false;
  const std::uint64_t raw = ReadBigEndian(bytes);
  if (width == 4) {
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(raw) ^ kSign32);
    return true;
  }
  // Doubles: positive ones have their sign bit set, negative ones every bit
  // inverted.
  const std::uint64_t bits = (raw & kSign64) != 0 ? raw ^ kSign64 : ~raw;
  value = std::bit_cast<double>(bits);
  return true;
}

void EncodeBinaryNumber(double value, char type, bool level7, char* out, std::size_t length) {
  if (BinaryWidth(type) != length) return;
  if (length == 4) {
    const auto raw = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
    if (type == kTypeInteger && !level7) {
      for (std::size_t i = 0; i < 4; ++i) out[i] = static_cast<char>((raw >> (8 * i)) & 0xFF);
      return;
    }
    WriteBigEndian(raw ^ kSign32, out, 4);
    return;
  }
  const auto bits = std::bit_cast<std::uint64_t>(value);
  WriteBigEndian((bits & kSign64) == 0 ? bits | kSign64 : ~bits, out, 8);
}

void EncodeStoredText(std::string_view text, bool rightAligned, char* out, std::size_t length) {
  const std::size_t used = std::min(text.size(), length);
  const std::size_t pad = length - used;
  std::memset(out, ' ', length);
  std::memcpy(out + (rightAligned ? pad : 0), text.data(), used);
}

}  // namespace tables::dbf
