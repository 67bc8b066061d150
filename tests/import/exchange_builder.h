// Small exchange documents written inline in tests: groups of records whose
// `dato` values are given in order (position 0 first), UTF-8 in the source.
//
//   ExchangeBuilder doc;
//   doc.YearGroup({"2026", "15/09/2026", "22/06/2027"})
//      .Group("MATERIAS", {{"100323", "62645", "Lengua Castellana"}});
#pragma once

#include <string>
#include <vector>

class ExchangeBuilder {
 public:
  using Values = std::vector<std::string>;

  // A group carrying `dato` children of its own (the academic year).
  ExchangeBuilder& YearGroup(const Values& datos, const std::string& seq = "ANNO_ACADEMICO") {
    body_ += "<grupo_datos seq=\"" + seq + "\">" + Datos(datos) + "</grupo_datos>\n";
    return *this;
  }

  // A group with one record per entry.
  ExchangeBuilder& Group(const std::string& seq, const std::vector<Values>& records) {
    body_ += "<grupo_datos seq=\"" + seq + "\" registros=\"" + std::to_string(records.size()) + "\">\n";
    int n = 0;
    for (const Values& record : records) {
      body_ += "  <grupo_datos seq=\"" + seq + "_" + std::to_string(++n) + "\">" + Datos(record) + "</grupo_datos>\n";
    }
    body_ += "</grupo_datos>\n";
    return *this;
  }

  // Verbatim XML under BLOQUE_DATOS.
  ExchangeBuilder& Raw(const std::string& xml) {
    body_ += xml;
    return *this;
  }

  std::string Xml() const {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO modulo=\"HORARIOS\" tipo=\"E\">\n"
           "<BLOQUE_DATOS>\n" + body_ + "</BLOQUE_DATOS>\n</SERVICIO>\n";
  }

 private:
  static std::string Escape(const std::string& value) {
    std::string out;
    for (const char c : value) {
      switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
      }
    }
    return out;
  }
  static std::string Datos(const Values& values) {
    std::string out;
    for (const std::string& value : values) out += "<dato nombre_dato=\"D\">" + Escape(value) + "</dato>";
    return out;
  }

  std::string body_;
};
