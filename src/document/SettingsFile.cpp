#include "document/SettingsFile.h"
#include "document/ProgramContext.h"

#include "platform/PictureFiles.h"

#include <fstream>

namespace tq::Module8 {

namespace {

// The start of a UTF-8 character: not a continuation byte.
bool startsCharacter(std::string_view s, std::size_t i)
{
    return i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80;
}

// The longest prefix of text (cut on a character boundary, at most maxLen
// bytes) for which fits(prefix) holds; npos when none down to one character.
template <class Fits>
std::size_t longestFittingPrefix(std::string_view text, std::size_t maxLen, Fits fits)
{
    for (std::size_t n = std::min(maxLen, text.size()); n > 0; --n) {
        if (!startsCharacter(text, n)) continue;
        if (fits(text.substr(0, n))) return n;
    }
    return std::string_view::npos;
}

} // namespace

std::filesystem::path SettingsFile(const std::filesystem::path& programFolder)
{
    return programFolder / kSettingsFileName;
}

SettingsLoad LoadSettings(Settings& s, const std::filesystem::path& programFolder)
{
    const std::filesystem::path file = SettingsFile(programFolder);
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(file, ec);
    if (st.type() == std::filesystem::file_type::not_found) {
        s = defaultSettings(programFolder);
        return SettingsLoad::Defaults;
    }

    // Read one byte more than a record, so a file that grew is seen too.
    SettingsBytes bytes{};
    std::size_t got = 0;
    if (!ec && std::filesystem::is_regular_file(st)) {
        std::ifstream in(file, std::ios::binary);
        if (in) {
            in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            got = static_cast<std::size_t>(in.gcount());
            if (got == bytes.size() && in.peek() != std::ifstream::traits_type::eof()) ++got;
            if (in.bad()) got = 0;
        }
    }
    if (got != kSettingsRecordSize) {
        s = defaultSettings(programFolder);
        return SettingsLoad::Reset;
    }
    s = decodeSettings(bytes);
    clampSettings(s);
    return SettingsLoad::Loaded;
}

SettingsLoad LoadSettings(const std::filesystem::path& programFolder)
{
    return LoadSettings(programSettings(), programFolder);
}

bool SaveSettings(const Settings& s, const std::filesystem::path& programFolder)
{
    const SettingsBytes bytes = encodeSettings(s);
    return replaceFileWithBytes(SettingsFile(programFolder).string(), {bytes});
}

bool SaveSettings(const std::filesystem::path& programFolder)
{
    return SaveSettings(programSettings(), programFolder);
}

void AddRecentFile(Settings& s, std::string_view path)
{
    path = path.substr(0, path.find('\0'));
    RecentFileEntry incoming;
    incoming.assign(path);
    if (incoming.isBlank()) return;

    for (const RecentFileEntry& e : s.RecentFiles)
        if (e == incoming) return;
    for (RecentFileEntry& e : s.RecentFiles) {
        if (e.isBlank()) {
            e = incoming;
            return;
        }
    }
    for (std::size_t i = kRecentFileCount - 1; i > 0; --i) s.RecentFiles[i] = s.RecentFiles[i - 1];
    s.RecentFiles[0] = incoming;
}

void AddRecentFile(std::string_view path)
{
    AddRecentFile(programSettings(), path);
}

std::string CompactPath(const TextWidth& measure, std::string_view path, int width)
{
    const TextWidth& widthOf = measure ? measure : TextWidth(characterTextWidth);
    path = path.substr(0, path.find('\0'));
    if (widthOf(path) <= width) return std::string(path);

    static constexpr std::string_view kEllipsis = "...";
    const std::size_t slash = path.rfind('/');
    if (slash != std::string_view::npos && slash > 0) {
        // Keep the file name with its separator; shorten the folder part.
        const std::string_view folder = path.substr(0, slash);
        const std::string_view name = path.substr(slash);
        std::string candidate;
        const std::size_t n = longestFittingPrefix(folder, folder.size() - 1, [&](std::string_view prefix) {
            candidate.assign(prefix).append(kEllipsis).append(name);
            return widthOf(candidate) <= width;
        });
        const std::string_view kept = n == std::string_view::npos ? std::string_view() : folder.substr(0, n);
        return std::string(kept).append(kEllipsis).append(name);
    }

    // A bare name (or one directly under "/"): cut it and mark the cut.
    std::string candidate;
    const std::size_t n = longestFittingPrefix(path, path.size() - 1, [&](std::string_view prefix) {
        candidate.assign(prefix).append(kEllipsis);
        return widthOf(candidate) <= width;
    });
    const std::string_view kept = n == std::string_view::npos ? std::string_view() : path.substr(0, n);
    return std::string(kept).append(kEllipsis);
}

} // namespace tq::Module8
