// The location paths by which the runs select elements: XPath 1.0 paths made
// of child steps only, at most one of them with a predicate that compares the
// attribute `seq` with a string literal, e.g.
//   /SERVICIO/BLOQUE_DATOS/grupo_datos[@seq="MATERIAS"]/grupo_datos
// That small grammar is all the runs need, so it is walked directly over the
// tree rather than through a general XPath engine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace exchange {

struct LocationStep {
  std::string name;                // element name, UTF-8
  std::optional<std::string> seq;  // the predicate's literal, UTF-8
};

struct LocationPath {
  bool absolute = false;
  std::vector<LocationStep> steps;  // never empty
};

// Parses a Windows-1252 path. A path outside the grammar throws
// std::invalid_argument: paths are written in the program, not read from input.
LocationPath ParseLocationPath(std::string_view path);

}  // namespace exchange
