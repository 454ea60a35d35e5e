// The pure parts of the file and window commands: the open and save dialog
// filters, the extension rules of saving in place, and the folder kept after
// a dialog. No Qt type here.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tq {

struct FileFilterEntry {
    const char* caption;
    const char* patterns;
};

// The open dialog's 34 entries and the save dialog's 14, in order.
std::span<const FileFilterEntry> OpenFileFilterEntries();
std::span<const FileFilterEntry> SaveFileFilterEntries();
// "caption|patterns|caption|patterns..." as the dialogs take them.
std::string OpenFileFilter();
std::string SaveFileFilter();

// The part after the last "." of the file name (not of a folder), in the
// case it has; empty when there is none.
std::string FileExtension(std::string_view path);
std::string LowerCase(std::string_view s);

// A document saves in place when its file name ends in one of these
// (compared in lower case): bmp gif jpg tga tif png pcx.
bool SavesInPlace(std::string_view path);

// The folder of a path with its trailing "/", as the save dialog keeps it.
std::string FolderWithSlash(std::string_view path);

// The arrangement a window key asks for: 1 tile horizontally, 2 tile
// vertically, 0 cascade, -1 not an arrangement key.
int ArrangeCode(std::string_view key);

} // namespace tq
