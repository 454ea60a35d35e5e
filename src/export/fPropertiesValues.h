// What the image properties dialog says of a picture file, apart from the
// window: which loader reads the file (by its extension), the picture's size
// and depth as that loader decoded it, the depth and attribute texts, and
// the file's own values (name, size, date, attributes, folder, type).
#pragma once

#include <cstdint>
#include <string>

namespace tq {

// The loaders the dialog reads a file with, by extension; the extension is
// compared in lower case and the first row that has it wins.
enum class PropertiesLoader {
    None,                  // nothing is loaded
    DevIL,                 // DevIL's by-name reader
    FreeImage,             // FreeImage's reader of one format
    FreeImageByFileType,   // FreeImage's reader of the type its probe finds
    PictureLoader,         // the platform's picture loader
};
struct PropertiesRoute {
    PropertiesLoader loader = PropertiesLoader::None;
    int format = -1;   // FreeImage format code
    int flags = 0;     // FreeImage load flags
};
PropertiesRoute propertiesRoute(const std::string& ext);

// "16777216 Colors (True Color)" for 24 bits; "" for a depth without text.
std::string ColorDepthText(int bits);

// File attribute bits, as the dialog reads them.
inline constexpr int32_t kAttributeReadOnly = 1;
inline constexpr int32_t kAttributeHidden = 2;
inline constexpr int32_t kAttributeSystem = 4;
inline constexpr int32_t kAttributeArchive = 32;
// "Normal", "Read Only", "Normal, Archive"... for a set of attribute bits.
std::string AttributeText(int32_t attributes);

// The picture as its loader decoded it.
struct PictureValues {
    int32_t width = 0, height = 0;
    int32_t depth = 0;   // bits per pixel of the decoded file
};
enum class PictureRead {
    Loaded,
    NothingLoaded,   // no loader for the extension, or the loader read nothing
    DevilFailed,     // DevIL could not read a file of one of its extensions
};
PictureRead readPictureValues(const std::string& path, PictureValues& values);

// A local date and time as the locale writes a general date: its short date,
// then its time with seconds unless the time is midnight.
std::string GeneralDateText(int year, int month, int day, int hour, int minute, int second);

// The file's own values; a value that cannot be read stays empty.
struct FileValues {
    std::string name;        // without its folder
    std::string sizeText;    // "2 KB"
    std::string date;        // when the file was made, as the locale writes it
    std::string attributes;  // AttributeText
    std::string parent;      // the folder holding it
    std::string type;        // the desktop's description of its kind
};
FileValues readFileValues(const std::string& path);

// The label texts of one file, "" where nothing is shown.
struct PropertiesTexts {
    std::string PName, pType, PSize, PWidth, PHeight, PDepth, PBits, PResolution, PParent, PDate, PAttribute;
};
PropertiesTexts describePictureFile(const std::string& path);

} // namespace tq
