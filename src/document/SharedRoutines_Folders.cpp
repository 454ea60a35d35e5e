// Folders the program keeps its files in, as the shared module names them.
#include "document/SharedRoutines.h"

#include "platform/Folders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace tq::mAPI {

namespace {

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

} // namespace

std::string GetWindowsDir() { return platform::userDataFolder(); }

std::string GetTempDir()
{
    const std::string t = platform::tempFolder();
    if (t.empty()) return {};
    return t.back() == '/' ? t : t + "/";
}

std::string GetTempBitmapName()
{
    return platform::tempFilePath(platform::kTempBitmapName);
}

std::string GetDesktopFolder()
{
    const std::string home = env("HOME");
    if (home.empty()) return {};
    std::string config = env("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') config = platform::joinPath(home, ".config");
    std::ifstream in(platform::joinPath(config, "user-dirs.dirs"));
    std::string line;
    while (in && std::getline(in, line)) {
        const std::string key = "XDG_DESKTOP_DIR=";
        size_t p = line.find_first_not_of(" \t");
        if (p == std::string::npos || line.compare(p, key.size(), key) != 0) continue;
        std::string v = line.substr(p + key.size());
        while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r')) v.pop_back();
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        if (v.rfind("$HOME", 0) == 0) v = home + v.substr(5);
        // The file may only name a folder inside the home folder ("$HOME/...")
        // or an absolute path; "$HOME/" alone means no desktop folder.
        while (v.size() > 1 && v.back() == '/') v.pop_back();
        if (v.empty() || v.front() != '/' || v == home) break;
        return v;
    }
    return platform::joinPath(home, "Desktop");
}

} // namespace tq::mAPI
