#include "platform/Folders.h"

#include "platform/PlatformContext.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tq::platform {
namespace {

std::string& programOverride() { return platformContext().programFolder; }

std::string executableFolder()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) {
        const fs::path cwd = fs::current_path(ec);
        return ec ? std::string(".") : cwd.string();
    }
    return exe.parent_path().string();
}

// The folder made for this run; removed when the program ends.
class PrivateTemp {
public:
    const std::string& path()
    {
        if (!tried_) {
            tried_ = true;
            make();
        }
        return path_;
    }
    ~PrivateTemp()
    {
        if (!path_.empty()) {
            std::error_code ec;
            fs::remove_all(path_, ec);
        }
    }

private:
    void make() { path_ = makePrivateFolder(); }

    bool tried_ = false;
    std::string path_;
};

PrivateTemp& privateTemp()
{
    static PrivateTemp t;
    return t;
}

std::string& tempOverride() { return platformContext().tempFolder; }

} // namespace

std::string makePrivateFolder()
{
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec || base.empty()) base = "/tmp";
    std::string templ = (base / ("talvex-quarlend-" + std::to_string(::getuid()) + "-XXXXXX")).string();
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    // mkdtemp makes the folder with mode 0700 under a name nobody can
    // predict; make sure of the mode whatever the umask did.
    if (::mkdtemp(buf.data()) == nullptr) return {};
    ::chmod(buf.data(), 0700);
    return buf.data();
}

std::string programFolder()
{
    if (!programOverride().empty()) return programOverride();
    static const std::string exeFolder = executableFolder();
    return exeFolder;
}

void setProgramFolder(const std::string& path) { programOverride() = path; }

std::string tempFolder()
{
    if (!tempOverride().empty()) return tempOverride();
    return privateTemp().path();
}

void setTempFolder(const std::string& path) { tempOverride() = path; }

std::string tempFilePath(const std::string& name)
{
    const std::string t = tempFolder();
    return t.empty() ? std::string() : joinPath(t, name);
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string userDataFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base = data ? data : "";
    // A relative XDG_DATA_HOME is ignored, as XDG says.
    if (base.empty() || base.front() != '/') {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return {};
        base = joinPath(home, ".local/share");
    }
    const std::string dir = joinPath(base, "talvex-quarlend");
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) return {};
    return dir;
}

} // namespace tq::platform
