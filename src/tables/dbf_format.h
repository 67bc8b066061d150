// The bytes of a dBase table file, and nothing else: the file header, the
// field descriptors, the records. Decoding checks every length and offset
// against the bytes it is given and never reads past them, whatever they hold,
// so it serves both the table engine and a fuzzer fed with raw bytes. A
// decoder that refuses its input throws UserError with a Spanish message
// naming the table and saying exactly what is wrong.
//
// Layout of a table file:
//   file header        32 bytes (level 7: 68, a language driver name added)
//   field descriptors  32 bytes each (level 7: 48), then the terminator 0x0D;
//                      the header length may leave room after it
//   records            record length bytes each: a deletion flag, then the
//                      fields in descriptor order, each at its fixed width
//   end-of-file byte   0x1A
// Numbers in the header are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/user_error.h"

namespace tables::dbf {

// --- File header (offsets within the first 32 bytes) ---
constexpr std::size_t kFileHeaderSize = 32;
// Level 7 follows the 32 bytes with a 32-byte language driver name and 4
// reserved bytes before its first descriptor.
constexpr std::size_t kLevel7HeaderSize = 68;
constexpr std::size_t kVersionOffset = 0;
constexpr std::size_t kDateOffset = 1;             // YY (years since 1900), MM, DD
constexpr std::size_t kRecordCountOffset = 4;      // uint32
constexpr std::size_t kHeaderLengthOffset = 8;     // uint16: header, descriptors, terminator
constexpr std::size_t kRecordLengthOffset = 10;    // uint16: deletion flag included
constexpr std::size_t kProductionIndexOffset = 28; // 1 when an .MDX belongs to the table
constexpr std::size_t kLanguageDriverOffset = 29;

// Version byte. Its low three bits give the level: 3 for dBase III, IV and 5
// (the high bits flag memo files and SQL tables), 4 for level 7. The others
// we read keep the level-3 layout: FoxPro 2 and Visual FoxPro, whose backlink
// after the descriptors the header length already counts. What we write:
// dBase III without memo, the level every reader knows.
constexpr std::uint8_t kVersionDbase3 = 0x03;
constexpr std::uint8_t kVersionLevelMask = 0x07;
constexpr std::uint8_t kLevelDbase7 = 4;
// Every version byte we read, and who writes it.
constexpr std::uint8_t kReadableVersions[] = {
    0x03,  // dBase III, IV, 5 without memo
    0x04,  // dBase level 7 without memo
    0x05,  // dBase 5 without memo
    0x30,  // Visual FoxPro
    0x31,  // Visual FoxPro with autoincrement
    0x32,  // Visual FoxPro with varchar fields
    0x43,  // dBase IV SQL table
    0x63,  // dBase IV SQL system table
    0x83,  // dBase III with memo
    0x8B,  // dBase IV and 5 with memo
    0x8C,  // dBase level 7 with memo
    0xCB,  // dBase IV SQL table with memo
    0xE5,  // FoxPro-compatible with memo
    0xF5,  // FoxPro 2 with memo
    0xFB,  // FoxBASE
};

// Language driver byte: the code page of the text. 0x58 is Windows-1252
// (Western European), which readers of our tables decode as such.
constexpr std::uint8_t kLanguageWindows1252 = 0x58;

// --- Field descriptors ---
constexpr std::size_t kDescriptorSize = 32;
constexpr std::size_t kLevel7DescriptorSize = 48;
// Name: NUL-padded, 11 bytes (level 7: 32), at most 10 characters written.
constexpr std::size_t kNameSize = 11;
constexpr std::size_t kLevel7NameSize = 32;
constexpr std::size_t kMaxWrittenNameLength = 10;
// Type, length and decimal count follow the name (level 3 leaves 4 bytes of
// field address between type and length).
constexpr std::size_t kTypeOffset = 11;
constexpr std::size_t kLengthOffset = 16;
constexpr std::size_t kDecimalsOffset = 17;
constexpr std::size_t kLevel7TypeOffset = 32;
constexpr std::size_t kLevel7LengthOffset = 33;
constexpr std::size_t kLevel7DecimalsOffset = 34;

constexpr std::uint8_t kHeaderTerminator = 0x0D;

// Field types. Text-stored: C character, N and F numbers in decimal text, L
// logical, D date YYYYMMDD, M memo block number (the memo itself lives in
// another file and is not read). Binary (level 7): I and + (autoincrement)
// 4-byte integers, O 8-byte double, @ 8-byte timestamp; stored big-endian
// with the sign bit flipped so that bytes sort like values. Visual FoxPro
// stores I little-endian instead.
constexpr char kTypeCharacter = 'C';
constexpr char kTypeNumeric = 'N';
constexpr char kTypeFloat = 'F';
constexpr char kTypeLogical = 'L';
constexpr char kTypeDate = 'D';
constexpr char kTypeMemo = 'M';
constexpr char kTypeInteger = 'I';
constexpr char kTypeAutoIncrement = '+';
constexpr char kTypeDouble = 'O';
constexpr char kTypeTimestamp = '@';

// Widths of what we write: an integer in N(11,0) holds every 32-bit value
// with its sign; a floating-point number in N(19,4).
constexpr int kIntegerWidth = 11;
constexpr int kFloatWidth = 19;
constexpr int kFloatDecimals = 4;
constexpr int kMaxCharacterWidth = 254;

// --- Records ---
constexpr char kRecordLive = ' ';
constexpr char kRecordDeleted = '*';
constexpr std::uint8_t kEndOfFile = 0x1A;
// dBase IV and 5 add this field, hidden from users, to tables converted for
// multi-user locking. Readers pass it over.
constexpr std::string_view kDbaseLockField = "_DBASELOCK";

struct FileHeader {
  std::uint8_t version = kVersionDbase3;
  std::uint8_t year = 0;  // since 1900
  std::uint8_t month = 1;
  std::uint8_t day = 1;
  std::uint32_t recordCount = 0;
  std::uint16_t headerLength = 0;
  std::uint16_t recordLength = 0;
  std::uint8_t productionIndex = 0;
  std::uint8_t languageDriver = kLanguageWindows1252;
};

struct FieldDescriptor {
  std::string name;  // as stored, without padding
  char type = kTypeCharacter;
  std::uint8_t length = 0;
  std::uint8_t decimals = 0;
  std::size_t offset = 0;  // within the record, after the deletion flag
};

// A whole table as bytes. `header` is the file's header block exactly as
// found (file header, descriptors, terminator and whatever the header length
// leaves after it), so that writing a table back keeps what other programs
// put there; only the date and record count are renewed.
struct TableImage {
  FileHeader fileHeader;
  std::vector<FieldDescriptor> fields;
  std::string header;
  std::string records;  // recordCount() records back to back
  std::uint32_t claimedRecords = 0;  // the file header's count when decoded

  std::size_t recordLength() const { return fileHeader.recordLength; }
  std::size_t recordCount() const {
    return recordLength() == 0 ? 0 : records.size() / recordLength();
  }
};

// True iff the version byte is one of the dBase family whose layout we read.
bool IsReadableVersion(std::uint8_t version);
// True iff the version byte announces level 7 (68-byte header, 48-byte
// descriptors, binary numbers).
bool IsLevel7(std::uint8_t version);

// `table` in the messages below is how the caller names the table, e.g.
// "CURSOST (/home/u/.wine/drive_c/HTEMP/CURSOST.DBF)".
std::string EncodeFileHeader(const FileHeader& header);
FileHeader DecodeFileHeader(std::string_view bytes, std::string_view table);

// Level 3 descriptor (32 bytes); we never write level 7.
std::string EncodeFieldDescriptor(const FieldDescriptor& field);
// Decodes the descriptor at the start of `bytes` (32 or 48 bytes as the level
// says). `position` counts fields from 1, for the message.
FieldDescriptor DecodeFieldDescriptor(std::string_view bytes, bool level7, std::size_t position,
                                      std::string_view table);

// A table with these fields and no records, header built for version 0x03
// and Windows-1252; the descriptors' offsets are filled in. Throws UserError
// for fields that no dBase table can hold.
TableImage NewTableImage(std::vector<FieldDescriptor> fields, std::string_view table);

// Decodes a whole file. A header that claims more records than the file
// holds is refused as damaged; bytes after the claimed records (the
// end-of-file byte, or anything else) are passed over.
TableImage DecodeTable(std::string_view bytes, std::string_view table);
// The file: header with the given date and the exact record count, records,
// end-of-file byte.
std::string EncodeTable(const TableImage& image, std::uint8_t year, std::uint8_t month,
                        std::uint8_t day);

// --- Field values within a record ---
// A record being built starts blank: deletion flag live, text fields blank,
// binary fields zero (their "no value").
std::string BlankRecord(const TableImage& image);

// The bytes of one field of a record.
std::string_view FieldBytes(std::string_view record, const FieldDescriptor& field);

// A stored text without its trailing blanks and NULs (leading blanks kept).
std::string_view TrimStoredText(std::string_view bytes);

// True iff the type keeps its value as text (C, N, F, L, D, M).
bool IsTextStored(char type);
// True iff the type is a number (N, F, I, +, O).
bool IsNumeric(char type);

// A binary number field (I, +, O). False when the field holds no value.
// `level7` selects big-endian with the flipped sign bit; otherwise I is
// little-endian as Visual FoxPro writes it.
bool DecodeBinaryNumber(std::string_view bytes, char type, bool level7, double& value);
void EncodeBinaryNumber(double value, char type, bool level7, char* out, std::size_t length);

// Writes `text` into a text-stored field: cut to the width, padded with
// blanks on the right (numbers: on the left).
void EncodeStoredText(std::string_view text, bool rightAligned, char* out, std::size_t length);

}  // namespace tables::dbf
