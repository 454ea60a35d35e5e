// A folder of the test's own inside the system's temporary folder (TMPDIR,
// or /tmp), removed with everything in it when the object goes, so also
// when an assertion ends the test half-way. Links inside it are removed,
// never followed.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace tq::testing {

class TempFolder {
public:
    // The folder's name is stem followed by six random characters.
    explicit TempFolder(const std::string& stem = "tq-test")
    {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::temp_directory_path(ec);
        if (ec) base = "/tmp";
        std::string pattern = (base / (stem + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder in " + base.string());
        path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A name inside the folder.
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

} // namespace tq::testing
