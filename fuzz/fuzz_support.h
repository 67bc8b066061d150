// What the fuzzers share: a scratch folder that lives as long as the fuzzing
// process, and writing an input to a file there. An input may make a run fail
// only with a UserError (the message a user would see); any other exception,
// a crash or a sanitizer report is a finding.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace fuzzing {

// A folder of its own under the temporary directory, made on first use and
// removed when the process exits normally.
inline const std::filesystem::path& Scratch() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "tos-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(Scratch(), ignored);
    });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

inline void WriteFile(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string_view AsBytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace fuzzing
