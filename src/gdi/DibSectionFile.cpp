#include "gdi/DibSectionFile.h"

#include "core/ByteOrder.h"
#include "platform/PictureFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tq::dibsection {

namespace {

// The executable's name without its extension, as the error's source.
std::string programName()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("talvex-quarlend") : exe.stem().string();
}

// One write call as the checks see it: its result and the bytes it wrote.
struct WriteCall {
    bool result = false;
    size_t written = 0;
};

WriteCall writeBytes(int fd, const uint8_t* data, size_t size)
{
    WriteCall call;
    if (!data) return call;
    while (call.written < size) {
        const ssize_t n = ::write(fd, data + call.written, size - call.written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return call;
        }
        if (n == 0) break;
        call.written += size_t(n);
    }
    call.result = true;
    return call;
}

} // namespace

std::string ApiErrorText(int code)
{
    char buffer[256] = {};
    // The GNU strerror_r hands back its own text or one it put in buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return text ? std::string(text) : std::string();
}

bool WriteFailed(bool result, size_t asked, size_t written) { return !result || asked != written; }

bool WriteBitmapFile(const uint8_t* pixels, const BitmapInfo& info, const std::string& fileName)
{
    const BitsHeader& h = info.bmiHeader;
    uint8_t fileHeader[kBitmapFileHeaderSize] = {};
    fileHeader[0] = 'B';
    fileHeader[1] = 'M';
    putLE32(fileHeader + 2, uint32_t(h.biSizeImage) + uint32_t(kBitmapPixelOffset));
    putLE32(fileHeader + 10, uint32_t(kBitmapPixelOffset));
    uint8_t infoBytes[BitmapInfo::kSize] = {};
    h.writeTo(infoBytes);
    std::memcpy(infoBytes + BitsHeader::kSize, info.bmiColors, 4);
    const size_t pixelBytes = h.biSizeImage > 0 ? size_t(h.biSizeImage) : 0;

    bool opened = false;
    int openError = 0;
    bool allWritten = false;
    const bool replaced = replaceFileSafely(fileName, [&](const std::string& temp) {
        const int fd = ::open(temp.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            openError = errno;
            return false;
        }
        opened = true;
        // The first failure skips the writes after it.
        WriteCall c = writeBytes(fd, fileHeader, sizeof fileHeader);
        bool failed = WriteFailed(c.result, sizeof fileHeader, c.written);
        if (!failed) {
            c = writeBytes(fd, infoBytes, sizeof infoBytes);
            failed = WriteFailed(c.result, sizeof infoBytes, c.written);
        }
        if (!failed) {
            c = writeBytes(fd, pixels, pixelBytes);
            failed = WriteFailed(c.result, pixelBytes, c.written);
        }
        const bool closed = ::close(fd) == 0;
        allWritten = !failed && closed;
        return allWritten;
    });
    if (!opened) {
        // The file could not be made at all (no folder, no permission...).
        const int code = openError != 0 ? openError : (errno != 0 ? errno : EACCES);
        throw DibFileError(programName() + ".cDIBSection", ApiErrorText(code));
    }
    return replaced && allWritten;
}

} // namespace tq::dibsection
