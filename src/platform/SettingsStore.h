// A small store of named text values under key paths, where the desktop
// settings the program writes are kept (there is no registry here). One text
// file of sections:
//
//     [Control Panel\Desktop]
//     TileWallpaper=1
//     WallpaperStyle=0
//
// Key paths and value names are compared without regard to case (ASCII), and
// a trailing "\" is not part of a key path. Every write replaces the whole
// file through a temporary file beside it, so a failed write leaves the
// store as it was. A file larger than kMaxBytes is not trusted and not
// rewritten.
#pragma once

#include "platform/Ports.h"

#include <cstddef>
#include <optional>
#include <string>

namespace tq::platform {

class SettingsStore {
public:
    explicit SettingsStore(std::string file) : file_(std::move(file)) {}

    // KeyMissing when the store's folder is not there or the key path is
    // empty or cannot be a key (a line break or "]" in it); Failed when the
    // name or value cannot be kept (a line break, "=" in the name, an empty
    // name), the file cannot be read or is too large, or the write fails.
    StoreWrite setString(const std::string& keyPath, const std::string& name, const std::string& value) const;
    // nullopt when the value is not there or the file cannot be read.
    std::optional<std::string> getString(const std::string& keyPath, const std::string& name) const;

    const std::string& file() const { return file_; }

    static constexpr std::size_t kMaxBytes = 64 * 1024;

private:
    std::string file_;
};

} // namespace tq::platform
