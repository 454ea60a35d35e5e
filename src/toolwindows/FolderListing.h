// The file side of the thumbnail browser, without any window: which files a
// folder listing shows, and the text of each column of their rows.
//
// A listing takes the folder's regular files whose lower-case extension is
// one of the 43 picture extensions, in name order (letter case ignored,
// then exact). Names beginning with "." are hidden files and are not
// enumerated, as the desktop's own file lists leave them out.
//
// Attributes: the listing's codes stand for the desktop's attribute bits
// (1 read-only, 2 hidden, 4 system, 32 archive). Here they come from the
// file's mode and name: read-only when its owner may not write it, hidden
// when its name begins with "."; Linux has no system or archive bit. So the
// listing only ever shows "F,N" and "F,R": hidden files are not listed, and
// every code with S or A, and "System", cannot arise.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tq::browser {

// The 43 extensions that are listed (lower case).
std::span<const char* const> listedExtensions();
bool isListedExtension(std::string_view lowerExt);
// The 50 extensions that get a file-type icon, in their order; every listed
// extension is among them.
std::span<const char* const> iconExtensions();

// The desktop's attribute bits.
inline constexpr int32_t kAttrReadOnly = 1;
inline constexpr int32_t kAttrHidden = 2;
inline constexpr int32_t kAttrSystem = 4;
inline constexpr int32_t kAttrArchive = 32;

// The attribute value of a file with this mode and name.
int32_t fileAttributes(uint32_t mode, std::string_view name);
// The column's code for an attribute value: "F,N", "F,R", ... "F,A,R,H,S",
// "System" for any value outside the table.
std::string attributeCode(int32_t value);

// The text after the last "." of the path's last element, as written; ""
// when there is none.
std::string extensionOf(std::string_view path);
std::string lowerCase(std::string_view text);

struct FolderRow {
    std::string name;         // "Name": the file's name with extension
    std::string location;     // "Location": the folder that holds it
    std::string sizeText;     // "Size (KB)": "12.5 KB"
    std::string type;         // "Type": the desktop's description of the file type
    std::string attributes;   // "Attributes": the attribute code
    std::string created;      // "Date Created": numericDate, the day only
    std::string accessed;     // "Last Accessed": numericDate with the time
    std::string path;         // the file's full path (every later use takes the file from it)
    std::string iconKey;      // the lower-case extension: the key of its icons
    bool system = false;      // the System bit is set: the row is ghosted
};

// A moment (local time) as the date columns show it: the day, month and
// year in the order of the user's locale and with its separator, in digits
// ("11/12/2026"), then with withTime the 24-hour time ("11/12/2026
// 00:29:05"); a named month would not fit the columns.
std::string numericDate(int64_t secondsSinceEpoch, bool withTime);

// The column headers, in order.
std::span<const char* const> columnHeaders();

// The rows of folder; empty when it cannot be read. A file that vanishes
// while it is read is left out.
std::vector<FolderRow> listFolder(const std::string& folder);

} // namespace tq::browser
