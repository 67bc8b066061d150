// Where the working tables live. The converter and Horalia agree on fixed
// Windows paths ("C:\HTEMP", "c:\htemp\seneca"); they are resolved, never
// configured. On Windows they stand as they are. Elsewhere they are resolved
// the way Wine resolves them, so that the converter and a Horalia running
// under Wine share one folder: drive X: is $WINEPREFIX/dosdevices/x: when that
// exists, else $WINEPREFIX/drive_x (WINEPREFIX defaults to ~/.wine); each path
// component is then matched against what is on disk without regard to letter
// case. A component that does not exist keeps the spelling given.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace tables {

// The fixed paths the converter names.
inline constexpr std::string_view kWorkingFolder = "C:\\HTEMP";
inline constexpr std::string_view kSenecaFolder = "c:\\htemp\\seneca";

// Resolves a Windows path ("C:\HTEMP\CURSOACAD.DBF") to a path of this
// machine, as described above. Never creates anything.
std::filesystem::path ResolveWindowsPath(std::string_view windowsPath);

// The entry of `folder` whose name equals `name` without regard to letter case
// (an exact match preferred), or folder/name when there is none.
std::filesystem::path FindInFolder(const std::filesystem::path& folder, std::string_view name);

// Every entry of `folder` whose name equals `name` without regard to letter
// case, in sorted order. A file system that tells case apart may hold several
// (SOLUC.DBF and soluc.dbf), which Horalia would take for one table; none when
// the folder has no such entry or cannot be read.
std::vector<std::filesystem::path> AllSpellingsInFolder(const std::filesystem::path& folder,
                                                        std::string_view name);

// The file of table `name` in `folder`: "CursosT" and "CURSOST.DBF" both find
// cursost.dbf; ".DBF" is added to a name without extension. A table that does
// not exist yet keeps the spelling given (with ".DBF" added).
std::filesystem::path TableFile(const std::filesystem::path& folder, std::string_view name);

}  // namespace tables
