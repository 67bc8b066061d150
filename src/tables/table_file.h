// The file behind an open table: opened and locked for as long as the table
// is open, and replaced as a whole when the table is written. Locks are
// advisory (flock): they keep out every other copy of this program and any
// program that locks the same way; they cannot stop a program that ignores
// them. POSIX only.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tables {

// The file of a table, open and locked for as long as the table is open.
// `table` in the messages names the table and its file.
class LockedFile {
 public:
  LockedFile() = default;
  ~LockedFile() { Release(); }
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;

  // Opens and locks `path`: exclusively (no other opener at all) or shared
  // (no exclusive opener). False when the file does not exist; throws
  // "... está en uso por otro programa" when another holds a lock in the way.
  bool Acquire(const std::filesystem::path& path, bool exclusive, const std::string& table);
  // The whole file, from where it stands (the start, once acquired).
  std::string ReadAll(const std::string& table) const;
  // Closes the file, which drops the lock.
  void Release();

 private:
  int fd_ = -1;
};

// Replaces `path` with `bytes` so that at every moment, even if the process
// is killed, the file is either the old table or the new one: the bytes go to
// a hidden temporary file in the same folder, reach the disk, and are renamed
// over the table. No temporary file is left behind on failure.
void ReplaceFile(const std::filesystem::path& path, std::string_view bytes, const std::string& table);

}  // namespace tables
