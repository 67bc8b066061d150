// A working folder of its own for each test, a program state over it with a
// scripted front end, and helpers to load an inline document and to read a
// working table back as rows of UTF-8 texts.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "courses/fake_front_end.h"
#include "exchange/xml_document.h"
#include "import/exchange_builder.h"
#include "tables/table.h"
#include "tables/working_folder.h"
#include "tables/working_tables.h"
#include "text/cp1252.h"

#include "common/scratch_folder.h"
#include "common/working_table_rows.h"

using Rows = std::vector<std::vector<std::string>>;

class StepTest : public ::testing::Test {
 protected:
  StepTest() : state(folder.path(), ui) {}

  void Load(const ExchangeBuilder& doc) {
    state.DocXML = std::make_unique<exchange::XmlDocument>(exchange::XmlDocument::Parse(doc.Xml(), "prueba.xml"));
  }

  // The named fields of every row of a working table, in stored order.
  Rows Read(const std::string& table, const std::vector<std::string>& fields) const {
    tables::TTable t;
    t.SetDatabaseName(folder.path().string());
    t.SetTableName(table + ".DBF");
    t.SetActive(true);
    Rows rows;
    for (t.First(); !t.Eof(); t.Next()) {
      std::vector<std::string>& row = rows.emplace_back();
      for (const std::string& field : fields) row.push_back(text::Cp1252ToUtf8(t.FieldByName(field).AsString()));
    }
    t.SetActive(false);
    return rows;
  }

  // A CURSOST as TransformarCursos and the dialog would leave it: CLAVE,
  // ESTUD, NIVEL, CURSO per row (UTF-8).
  void WriteCourses(const Rows& courses) {
    std::vector<TableRow> rows;
    for (const auto& c : courses) {
      rows.push_back({{"CLAVE", text::Utf8ToCp1252(c.at(0))},
                      {"ESTUD", text::Utf8ToCp1252(c.at(1))},
                      {"NIVEL", text::Utf8ToCp1252(c.at(2))},
                      {"CURSO", text::Utf8ToCp1252(c.at(3))}});
    }
    WriteWorkingTable(folder.path(), "CURSOST", rows);
  }

  std::filesystem::path TablePath(const std::string& table) const {
    return tables::TableFile(folder.path(), table + ".DBF");
  }

  ScratchFolder folder;
  FakeFrontEnd ui;
  ProgramState state;
};
