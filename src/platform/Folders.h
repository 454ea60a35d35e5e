// The folders the program keeps its files in.
//
// - The program folder: the executable's folder, unless a test has set
//   another. It holds the settings file and the program's own subfolders.
// - The private temporary folder: made once per run inside the system's
//   temporary folder (TMPDIR or /tmp) with a unique name and mode 0700, and
//   removed with its contents when the program ends. The fixed temporary
//   names ("t65s8s98", "4546643") are used inside it, never directly in the
//   shared folder, so another user cannot plant or read them.
//
// Paths are UTF-8 text with "/" between parts; folder results carry no
// trailing separator.
#pragma once

#include <string>

namespace tq::platform {

std::string programFolder();
// Sets the program folder (tests point it at a temporary folder); an empty
// path goes back to the executable's folder.
void setProgramFolder(const std::string& path);

// A new folder of the user's own (mode 0700, a name nobody can predict)
// in the system's temporary folder; "" when none can be made.
std::string makePrivateFolder();

// The private temporary folder, made on first use. Empty when it cannot be
// made (the callers' file operations then fail and report as they do).
std::string tempFolder();
// Uses the given folder instead (tests); an empty path goes back to the
// folder made on first use. The program never removes a folder set here.
void setTempFolder(const std::string& path);

// The fixed temporary names: the temporary bitmap and the conversion file.
inline constexpr const char* kTempBitmapName = "t65s8s98";
inline constexpr const char* kTempConversionName = "4546643";

// A name inside the private temporary folder; "" when there is no such
// folder, so a fixed name never lands in the shared one or the working folder.
std::string tempFilePath(const std::string& name);

// The user's data folder of the program: $XDG_DATA_HOME/talvex-quarlend
// (by default ~/.local/share/talvex-quarlend), made when asked for; "" when
// it cannot be made. It holds the desktop wallpaper bitmap and the desktop
// settings store.
std::string userDataFolder();

// Joins a folder and a name with one "/" (none added when the folder is
// empty or already ends in one).
std::string joinPath(const std::string& folder, const std::string& name);

} // namespace tq::platform
