#include "platform/PictureFiles.h"

#include "platform/Folders.h"
#include "platform/PlatformContext.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tq {

namespace fs = std::filesystem;

PictureTempFolder::~PictureTempFolder()
{
    if (!path_.empty()) {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
}

std::string PictureTempFolder::path()
{
    std::lock_guard<std::mutex> lock(mutex_);
    // Made again when something (a temp cleaner) removed it meanwhile; the
    // one removed then is no longer ours to remove.
    std::error_code ec;
    if (path_.empty() || !fs::is_directory(path_, ec)) path_ = platform::makePrivateFolder();
    return path_;
}

std::string pictureTempFolder()
{
    const platform::PlatformContext& c = platform::platformContext();
    if (!c.pictureTempFolder.empty()) return c.pictureTempFolder;
    return c.ownPictureTempFolder->path();
}

void setPictureTempFolder(const std::string& folder) { platform::platformContext().pictureTempFolder = folder; }

std::string uniquePictureTempName(const char* fixedName)
{
    const std::string folder = pictureTempFolder();
    if (folder.empty()) return {};
    const unsigned long n = platform::platformContext().ownPictureTempFolder->nextNumber();
    return folder + "/" + fixedName + "-" + std::to_string(n);
}

void removeFileQuietly(const std::string& path)
{
    if (!path.empty()) ::unlink(path.c_str());
}

namespace {

// Nothing there (a dangling link included) or a regular file, after
// following links. Only looked at, never opened: opening a FIFO would wait
// for a reader and opening a device may act on it.
bool regularOrAbsent(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return true;
    return S_ISREG(st.st_mode);
}

} // namespace

std::string writeTargetRefusal(const std::string& path)
{
    if (path.empty() || regularOrAbsent(path)) return {};
    return path + " is not a regular file";
}

std::string saveFailureText(const std::string& message, const std::string& path, bool namePath)
{
    const std::string refusal = writeTargetRefusal(path);
    if (!refusal.empty()) return message + "\r\n\r\n" + refusal;
    return namePath ? message + "\r\n\r\n" + path : message;
}

namespace {

// The file a save onto `path` is meant for: when `path` is a symbolic link,
// the file it points to (through any chain of links), so that the link
// stays and its target takes the new picture. "" for a loop of links.
std::string linkTarget(const std::string& path)
{
    fs::path p(path);
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p.string();
        std::error_code ec;
        const fs::path to = fs::read_symlink(p, ec);
        if (ec) return {};
        p = to.is_absolute() ? to : p.parent_path() / to;
    }
    errno = ELOOP;
    return {};
}

// requireBytes: a library that wrote nothing did not write the file.
// followLink: a link at path is kept and its target written (a save the
// user asked for); otherwise a link there is replaced, never written through.
// On failure errno tells why.
bool replaceFile(const std::string& requested, const std::function<bool(const std::string&)>& write,
                 bool requireBytes, bool followLink)
{
    if (requested.empty()) {
        errno = ENOENT;
        return false;
    }
    // Refused before anything is made: a rename over a device or a FIFO
    // would put a regular file in its place and call that a save.
    if (!regularOrAbsent(requested)) {
        errno = EPERM;
        return false;
    }
    const std::string path = followLink ? linkTarget(requested) : requested;
    if (path.empty()) return false;
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    // Built by appending: GCC 12 takes a literal + a temporary string for an
    // overlapping copy.
    std::string pattern = (folder / std::string(".").append(target.filename().string()).append(".tq-XXXXXX")).string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    // mkstemp creates the name exclusively, so nothing planted there is
    // written through.
    const int fd = mkstemp(buf.data());
    if (fd < 0) return false;
    const std::string temp(buf.data());

    // The new file takes the mode of the one it replaces, else the usual one.
    struct stat st {};
    mode_t mode;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    ::close(fd);

    bool ok = false;
    errno = 0;
    try {
        ok = write(temp);
    } catch (...) {
        ok = false;
    }
    int error = ok ? 0 : (errno != 0 ? errno : EIO);
    if (ok) {
        // Make sure something complete was written before it replaces anything.
        struct stat written {};
        ok = ::lstat(temp.c_str(), &written) == 0 && S_ISREG(written.st_mode) && (!requireBytes || written.st_size > 0);
        if (!ok) error = EIO;
    }
    // Looked at again just before the rename: the write may have taken long
    // enough for something else to be put there meanwhile.
    if (ok && !regularOrAbsent(path)) {
        ok = false;
        error = EPERM;
    }
    if (ok) {
        ok = ::rename(temp.c_str(), path.c_str()) == 0;
        if (!ok) error = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        errno = error;
    }
    return ok;
}

} // namespace

bool replaceFileSafely(const std::string& path, const std::function<bool(const std::string&)>& write)
{
    return replaceFile(path, write, true, true);
}

bool writeAll(int fd, const uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool readRegularFile(const std::string& path, std::vector<uint8_t>& out, size_t maxBytes, bool refuseLonger)
{
    out.clear();
    // Opened without waiting: a FIFO would otherwise hold the open until a
    // writer came.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
              !(refuseLonger && static_cast<unsigned long long>(st.st_size) > maxBytes);
    if (ok) {
        out.resize(std::min(maxBytes, static_cast<size_t>(st.st_size)));
        size_t got = 0;
        while (got < out.size()) {
            const ssize_t k = ::read(fd, out.data() + got, out.size() - got);
            if (k < 0 && errno == EINTR) continue;
            if (k < 0) ok = false;
            if (k <= 0) break;
            got += static_cast<size_t>(k);
        }
        // A file that shrank while it was read gives what it held.
        out.resize(got);
    }
    ::close(fd);
    if (!ok) out.clear();
    return ok;
}

bool replaceFileWithBytes(const std::string& path, std::initializer_list<std::span<const uint8_t>> pieces,
                          bool durable)
{
    return replaceFile(path, [&](const std::string& temp) {
        const int fd = ::open(temp.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) return false;
        bool ok = true;
        for (std::span<const uint8_t> piece : pieces) ok = ok && writeAll(fd, piece.data(), piece.size());
        if (ok && durable) ok = ::fsync(fd) == 0;
        const int error = errno;
        const bool closed = ::close(fd) == 0;
        if (!ok) errno = error;
        return closed && ok;
    }, false, false);
}

} // namespace tq
