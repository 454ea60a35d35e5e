#include "platform/SettingsStore.h"

#include "platform/PictureFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace tq::platform {
namespace {

struct Section {
    std::string key;
    std::vector<std::pair<std::string, std::string>> values;
};

bool sameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

bool hasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

std::string keyOf(std::string keyPath)
{
    while (!keyPath.empty() && keyPath.back() == '\\') keyPath.pop_back();
    return keyPath;
}

// The sections of the file; an empty list for a file that is not there,
// nullopt for one that cannot be read or is too large to trust. Lines that
// are neither a section nor a value are dropped.
std::optional<std::vector<Section>> readStore(const std::string& file)
{
    std::error_code ec;
    const bool present = fs::exists(file, ec);
    if (ec) return std::nullopt;
    if (!present) return std::vector<Section>{};
    const auto size = fs::file_size(file, ec);
    if (ec || size > SettingsStore::kMaxBytes) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || text.size() > SettingsStore::kMaxBytes) return std::nullopt;

    std::vector<Section> sections;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
            continue;
        }
        const std::size_t eq = line.find('=');
        if (sections.empty() || eq == std::string::npos || eq == 0) continue;
        sections.back().values.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return sections;
}

std::string serialise(const std::vector<Section>& sections)
{
    std::string out;
    for (const Section& s : sections) {
        if (!out.empty()) out += '\n';
        out += '[' + s.key + "]\n";
        for (const auto& [name, value] : s.values) out += name + '=' + value + '\n';
    }
    return out;
}

} // namespace

StoreWrite SettingsStore::setString(const std::string& keyPath, const std::string& name,
                                    const std::string& value) const
{
    const std::string key = keyOf(keyPath);
    std::error_code ec;
    if (key.empty() || hasLineBreak(key) || key.find(']') != std::string::npos ||
        !fs::is_directory(fs::path(file_).parent_path(), ec))
        return StoreWrite::KeyMissing;
    if (name.empty() || hasLineBreak(name) || name.find('=') != std::string::npos || hasLineBreak(value))
        return StoreWrite::Failed;

    std::optional<std::vector<Section>> sections = readStore(file_);
    if (!sections) return StoreWrite::Failed;
    auto section = std::find_if(sections->begin(), sections->end(),
                                [&](const Section& s) { return sameText(s.key, key); });
    if (section == sections->end()) {
        sections->push_back({key, {}});
        section = std::prev(sections->end());
    }
    auto entry = std::find_if(section->values.begin(), section->values.end(),
                              [&](const auto& v) { return sameText(v.first, name); });
    if (entry == section->values.end())
        section->values.emplace_back(name, value);
    else
        entry->second = value;

    const std::string text = serialise(*sections);
    if (text.size() > kMaxBytes) return StoreWrite::Failed;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    return replaceFileWithBytes(file_, {std::span<const uint8_t>(bytes, text.size())}) ? StoreWrite::Written
                                                                                      : StoreWrite::Failed;
}

std::optional<std::string> SettingsStore::getString(const std::string& keyPath, const std::string& name) const
{
    const std::string key = keyOf(keyPath);
    const std::optional<std::vector<Section>> sections = readStore(file_);
    if (!sections) return std::nullopt;
    for (const Section& s : *sections) {
        if (!sameText(s.key, key)) continue;
        for (const auto& [n, v] : s.values)
            if (sameText(n, name)) return v;
    }
    return std::nullopt;
}

} // namespace tq::platform
