// File-system helpers of the picture file routing: the program's private
// temporary folder with unique conversion-file names, and writing a file so
// that a failed write never destroys the file it replaces.
//
// The private folder is made on first use inside the system's temporary
// folder, readable only by its owner (mode 0700), one per run, and
// removed when the run ends (made anew if it vanishes meanwhile). Tests
// point it at their own folder.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace tq {

// The run's own private folder for conversion files, made on first use (and
// again if something removed it meanwhile) and removed with this object,
// and the numbers that keep the names given in it, or in a test's folder,
// unique for the run. The platform context holds it (PlatformContext.h).
class PictureTempFolder {
public:
    PictureTempFolder() = default;
    ~PictureTempFolder();
    PictureTempFolder(const PictureTempFolder&) = delete;
    PictureTempFolder& operator=(const PictureTempFolder&) = delete;
    // The folder; "" when none could be made.
    std::string path();
    unsigned long nextNumber() { return ++sequence_; }

private:
    std::mutex mutex_;
    std::string path_;
    std::atomic<unsigned long> sequence_{0};
};

// The private temporary folder (no trailing separator); "" when none could
// be made.
std::string pictureTempFolder();
// Uses folder instead (tests); "" goes back to the process's own folder.
void setPictureTempFolder(const std::string& folder);

// A name in the private folder that no earlier call of this process gave:
// fixedName followed by "-" and a sequence number. The file is not created.
// "" when there is no private folder.
std::string uniquePictureTempName(const char* fixedName);

// The program writes only regular files. "" when path may be written (nothing
// is there, or a regular file is, after following links); otherwise the
// reason, "<path> is not a regular file": a device, a FIFO, a folder or a
// socket is never replaced by a save, nor written into.
std::string writeTargetRefusal(const std::string& path);

// The message of a failed save: `message`, then the reason on a line of its
// own when the target is not a regular file. With namePath the path follows
// the message when there is no such reason (the reason names it already).
std::string saveFailureText(const std::string& message, const std::string& path, bool namePath = false);

// Writes the file at path through write(tempPath): write receives the name
// of a fresh file in the same folder and returns true when it wrote it
// completely; only then is that file renamed over path. On failure the temp
// file is removed, whatever was at path stays untouched and errno says why.
// A file that is replaced keeps its permission bits; a new one gets 0666
// less the umask. When path is a symbolic link the link stays and the file
// it points to is the one replaced (the temporary file then lives in the
// target's folder). A target refused by writeTargetRefusal is left alone:
// nothing is written and errno is EPERM.
bool replaceFileSafely(const std::string& path, const std::function<bool(const std::string& tempPath)>& write);

// The same for a file made of the given byte runs, written one after the
// other. With durable the bytes reach the disk before the rename; files that
// do not outlive the run skip that wait. Meant for the program's own files:
// a symbolic link at path is replaced by the new file, never written through
// (one to anything but a regular file is refused as above).
bool replaceFileWithBytes(const std::string& path, std::initializer_list<std::span<const uint8_t>> pieces,
                          bool durable = true);

// Reads the first maxBytes bytes of a regular file (all of a shorter one)
// into out; with refuseLonger a longer file is refused instead, before a
// byte is read. False for anything but a regular file, without waiting on
// it: a FIFO, a device or a folder is refused before a byte is read. A link
// is followed.
bool readRegularFile(const std::string& path, std::vector<uint8_t>& out, size_t maxBytes, bool refuseLonger = false);

// Writes all of size bytes to the descriptor, riding out short writes and
// interruptions; false on any other error.
bool writeAll(int fd, const uint8_t* data, std::size_t size);

// Removes a file, ignoring a missing one.
void removeFileQuietly(const std::string& path);

} // namespace tq
