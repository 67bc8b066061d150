#include "tables/dbf_format.h"

#include <gtest/gtest.h>

#include <string>

#include "tables/dbf_bytes.h"

namespace tables::dbf {
namespace {

using dbf_bytes::Build;
using dbf_bytes::Layout;

// NOMBRE C(6), DIA N(2,0), ACTIVO L(1); two records, the second deleted.
Layout SmallTable() {
  Layout layout;
  layout.fields = {{"NOMBRE", 'C', 6}, {"DIA", 'N', 2}, {"ACTIVO", 'L', 1}};
  layout.records = {" P\xE9rez  3T", "*Ruiz  12F"};
  return layout;
}

std::string DecodeError(const std::string& bytes) {
  try {
    DecodeTable(bytes, "T (t.dbf)");
  } catch (const UserError& e) {
    return e.what();
  }
  return "";
}

TEST(DbfFileHeader, RoundTrips) {
  FileHeader h;
  h.year = 126;
  h.month = 12;
  h.day = 31;
  h.recordCount = 100000;
  h.headerLength = 289;
  h.recordLength = 4000;
  const std::string bytes = EncodeFileHeader(h);
  ASSERT_EQ(bytes.size(), kFileHeaderSize);
  EXPECT_EQ(bytes[kLanguageDriverOffset], '\x58');
  EXPECT_EQ(bytes[kProductionIndexOffset], '\0');
  const FileHeader back = DecodeFileHeader(bytes, "T");
  EXPECT_EQ(back.version, kVersionDbase3);
  EXPECT_EQ(back.year, 126);
  EXPECT_EQ(back.month, 12);
  EXPECT_EQ(back.day, 31);
  EXPECT_EQ(back.recordCount, 100000u);
  EXPECT_EQ(back.headerLength, 289);
  EXPECT_EQ(back.recordLength, 4000);
}

TEST(DbfFieldDescriptor, RoundTrips) {
  const FieldDescriptor field{"OFERTAMATR", 'N', 19, 4, 0};
  const std::string bytes = EncodeFieldDescriptor(field);
  ASSERT_EQ(bytes.size(), kDescriptorSize);
  const FieldDescriptor back = DecodeFieldDescriptor(bytes, false, 1, "T");
  EXPECT_EQ(back.name, "OFERTAMATR");
  EXPECT_EQ(back.type, 'N');
  EXPECT_EQ(back.length, 19);
  EXPECT_EQ(back.decimals, 4);
}

TEST(DbfTable, NewTableHasExactSize) {
  const TableImage image = NewTableImage({{"ABREV", 'C', 4}, {"DNI", 'N', 11}}, "T");
  const std::string bytes = EncodeTable(image, 126, 1, 2);
  EXPECT_EQ(bytes.size(), 32u + 2 * 32 + 1 + 1);
  EXPECT_EQ(static_cast<unsigned char>(bytes.back()), kEndOfFile);
  EXPECT_EQ(bytes[32 + 2 * 32], '\x0D');
  const TableImage back = DecodeTable(bytes, "T");
  EXPECT_EQ(back.recordLength(), 16u);
  EXPECT_EQ(back.recordCount(), 0u);
  EXPECT_EQ(back.fields[1].offset, 5u);
}

TEST(DbfTable, RecordsRoundTripWithExactCount) {
  TableImage image = NewTableImage({{"ABREV", 'C', 4}}, "T");
  for (int i = 0; i < 3; ++i) image.records += " AB" + std::to_string(i) + " ";
  const std::string bytes = EncodeTable(image, 126, 1, 2);
  EXPECT_EQ(bytes.size(), image.header.size() + 3 * 5 + 1);
  const TableImage back = DecodeTable(bytes, "T");
  EXPECT_EQ(back.claimedRecords, 3u);
  EXPECT_EQ(back.records, image.records);
}

TEST(DbfTable, RejectsFieldsNoTableCanHold) {
  const struct {
    const char* name;
    std::vector<FieldDescriptor> fields;
    const char* message;
  } cases[] = {
      {"no fields", {}, "ningún campo"},
      {"name too long", {{"NOMBRELARGO", 'C', 4}}, "'NOMBRELARGO'"},
      {"empty name", {{"", 'C', 4}}, "no es válido"},
      {"repeated", {{"ABREV", 'C', 4}, {"abrev", 'C', 2}}, "repetido"},
  };
  for (const auto& c : cases) {
    try {
      NewTableImage(c.fields, "T (t.dbf)");
      ADD_FAILURE() << c.name;
    } catch (const UserError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
      EXPECT_NE(std::string(e.what()).find("T (t.dbf)"), std::string::npos) << c.name;
    }
  }
}

TEST(DbfTable, ReadsTheDbaseFamily) {
  for (const std::uint8_t version : {0x03, 0x83, 0x8B, 0x05, 0xF5, 0x30}) {
    Layout layout = SmallTable();
    layout.version = version;
    const TableImage image = DecodeTable(Build(layout), "T");
    EXPECT_EQ(image.fields.size(), 3u) << int{version};
    EXPECT_EQ(image.recordCount(), 2u) << int{version};
  }
}

TEST(DbfTable, ReadsLevel7) {
  Layout layout;
  layout.version = 0x04;
  layout.fields = {{"PROF", 'C', 4}, {"DIA", 'I', 4}};
  layout.records = {" ABCD" + dbf_bytes::Level7Integer(-3)};
  const TableImage image = DecodeTable(Build(layout), "T");
  ASSERT_EQ(image.fields.size(), 2u);
  EXPECT_EQ(image.fields[1].name, "DIA");
  EXPECT_EQ(image.fields[1].offset, 5u);
  double value = 0;
  ASSERT_TRUE(DecodeBinaryNumber(FieldBytes(image.records, image.fields[1]), 'I', true, value));
  EXPECT_EQ(value, -3);
}

TEST(DbfBinaryNumbers, RoundTripLevel7Encoding) {
  for (const double v : {0.0, 1.0, -1.0, 2147483647.0, -2147483647.0}) {
    char out[4];
    EncodeBinaryNumber(v, 'I', true, out, 4);
    double back = 0;
    ASSERT_TRUE(DecodeBinaryNumber(std::string_view(out, 4), 'I', true, back)) << v;
    EXPECT_EQ(back, v);
  }
  for (const double v : {0.5, -0.5, 1e300, -123.25}) {
    char out[8];
    EncodeBinaryNumber(v, 'O', true, out, 8);
    double back = 0;
    ASSERT_TRUE(DecodeBinaryNumber(std::string_view(out, 8), 'O', true, back)) << v;
    EXPECT_EQ(back, v);
  }
  // 1 is stored 0x80000001; zero bytes mean "no value".
  EXPECT_EQ(dbf_bytes::Level7Integer(1), std::string("\x80\x00\x00\x01", 4));
  double none = 0;
  EXPECT_FALSE(DecodeBinaryNumber(std::string(4, '\0'), 'I', true, none));
}

TEST(DbfTable, ExtraBytesAfterTheClaimedRecordsArePassedOver) {
  Layout layout = SmallTable();
  layout.claimed = 1;
  std::string bytes = Build(layout);
  bytes += "  Ga";  // and half a record
  const TableImage image = DecodeTable(bytes, "T");
  EXPECT_EQ(image.claimedRecords, 1u);
  EXPECT_EQ(image.recordCount(), 1u);
}

TEST(DbfTable, DamagedFilesSayWhatIsWrong) {
  const std::string good = Build(SmallTable());
  const auto with = [&](std::size_t at, char c) {
    std::string b = good;
    b[at] = c;
    return b;
  };
  Layout noFields;
  Layout lyingLength = SmallTable();
  Layout wrongInteger;
  wrongInteger.version = 0x04;
  wrongInteger.fields = {{"DIA", 'I', 2}};
  const struct {
    const char* name;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"empty file", "", "no es una tabla dBase: el archivo está vacío"},
      {"text file", "ABREV;NOMBRE\nPRUE;Prueba\n", "no es una tabla dBase: su primer byte (0x41)"},
      {"cut in the header", good.substr(0, 20), "el archivo tiene 20 bytes"},
      {"cut in the descriptors", good.substr(0, 70), "el archivo solo tiene 70"},
      {"header length too small", with(8, 10), "menos de los 33"},
      {"no terminator", with(8, static_cast<char>(32 + 3 * 32)), "falta el final de la lista de campos"},
      {"descriptor past header", with(8, 32 + 3 * 32 - 5), "se sale del encabezado"},
      {"zero fields", Build(noFields), "no tiene ningún campo"},
      {"claims more records", Build([] { Layout s = SmallTable(); s.claimed = 3; return s; }()),
       "dice que tiene 3 registros, pero el archivo solo guarda 2 completos"},
      {"claims four billion records", Build([] { Layout s = SmallTable(); s.claimed = 0xFFFFFFFF; return s; }()),
       "dice que tiene 4294967295 registros"},
      {"cut in a record", good.substr(0, good.size() - 4), "solo guarda 1 completos"},
      {"record length wrong", with(10, 9), "cada registro ocupa 9 bytes, pero sus campos ocupan 10"},
      {"zero-width field", with(32 + 32 + 16, 0), "'DIA' tiene longitud 0"},
      {"nameless field", with(32, 0), "el campo 1 no tiene nombre"},
      {"level 7 integer of 2 bytes", Build(wrongInteger), "'DIA', de tipo I, ocupa 2 bytes en lugar de 4"},
  };
  for (const auto& c : cases) {
    const std::string message = DecodeError(c.bytes);
    EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
    EXPECT_NE(message.find("T (t.dbf)"), std::string::npos) << c.name << ": " << message;
  }
}

// Every single-byte change and every truncation of a valid file either
// decodes or is refused with a message; none reads outside the bytes (the
// sanitizer build checks that).
TEST(DbfTable, SurvivesEveryFlippedByteAndCut) {
  for (const std::uint8_t version : {0x03, 0x04}) {
    Layout layout = SmallTable();
    layout.version = version;
    const std::string good = Build(layout);
    for (std::size_t at = 0; at < good.size(); ++at) {
      for (const char value : {'\0', '\x01', '\x0D', '\x7F', '\xFF', static_cast<char>(good[at] ^ 0x80)}) {
        std::string bytes = good;
        bytes[at] = value;
        try {
          const TableImage image = DecodeTable(bytes, "T");
          ASSERT_EQ(image.records.size(), image.recordCount() * image.recordLength());
          for (std::size_t r = 0; r < image.recordCount(); ++r) {
            const std::string_view record =
                std::string_view(image.records).substr(r * image.recordLength(), image.recordLength());
            for (const FieldDescriptor& f : image.fields) ASSERT_LE(f.offset + f.length, record.size());
          }
        } catch (const UserError&) {
        }
      }
    }
    for (std::size_t size = 0; size < good.size(); ++size) {
      try {
        DecodeTable(std::string_view(good).substr(0, size), "T");
      } catch (const UserError&) {
      }
    }
  }
}

}  // namespace
}  // namespace tables::dbf
