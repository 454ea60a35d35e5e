// The settings file and the list of recent files.
//
// The settings file is "tqStart.up" in the program folder and holds exactly
// one settings record (see Settings.h). The program folder is passed in, so
// tests can point it at a temporary folder.
#pragma once

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "platform/TextWidth.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace tq::Module8 {

inline constexpr const char* kSettingsFileName = "tqStart.up";

// The warning the program shows once when LoadSettings answers Reset.
inline constexpr const char* kSettingsResetMessage =
    "Configuration data file is corrupted\nValues will be initilized";

std::filesystem::path SettingsFile(const std::filesystem::path& programFolder);

enum class SettingsLoad {
    Loaded,     // the file was read; out-of-range options were clamped
    Defaults,   // there was no file: first start, defaults given
    Reset,      // the file was damaged (wrong length) or unreadable: defaults given
};

// Fills s from the settings file. A missing file gives the defaults and is
// not created; a file that is not exactly one record long, or cannot be read,
// gives the defaults too and is reported as Reset so the program can say so.
// A file that reads whole has its options clamped into their ranges.
SettingsLoad LoadSettings(Settings& s, const std::filesystem::path& programFolder);
SettingsLoad LoadSettings(const std::filesystem::path& programFolder);   // into programSettings()

// Writes s as the settings file: to a temporary file in the same folder first,
// renamed over the old file only once it is complete, so a failed write leaves
// the old file as it was. False when anything failed.
bool SaveSettings(const Settings& s, const std::filesystem::path& programFolder);
bool SaveSettings(const std::filesystem::path& programFolder);   // programSettings()

// Records a file that was just opened in the eight recent files:
//   - a path already in the list leaves the list unchanged;
//   - otherwise the first entry that is all blanks takes it;
//   - otherwise entries 0..6 move down one place (entry 7 is dropped) and the
//     path becomes entry 0.
// A never-used entry (all zero bytes) is neither a match nor blank, so on a
// list that started from the defaults every new path enters at entry 0.
// Paths are compared as they are stored (cut to 256 bytes, trailing blanks
// not significant). An empty path changes nothing.
void AddRecentFile(Settings& s, std::string_view path);
void AddRecentFile(std::string_view path);   // programSettings()

// The path shortened to fit width pixels as measure measures it: a path that
// fits is returned whole; otherwise the file name is kept and as much of the
// folder part as fits is followed by "..." (for example
// "/home/ann/pictu.../photo.jpg"), down to ".../photo.jpg" when no folder part
// fits; a bare name too long is cut and ends in "...". An empty measure counts
// characters (characterTextWidth). Text after a zero character is ignored.
std::string CompactPath(const TextWidth& measure, std::string_view path, int width);

} // namespace tq::Module8
