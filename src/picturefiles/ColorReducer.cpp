#include "picturefiles/ColorReducer.h"

#include "core/ByteOrder.h"
#include "picturefiles/ColorReducerParts.h"
#include "platform/PictureFiles.h"

#include <gif_lib.h>

#include <algorithm>
#include <new>

#include <fcntl.h>
#include <unistd.h>

namespace tq {

namespace {

bool validSource(const DibRecord& s)
{
    return s.width >= 1 && s.height >= 1 && s.width <= kMaxPictureSide && s.height <= kMaxPictureSide
           && s.bits.size() == 4u * size_t(s.width) * size_t(s.height);
}

bool wholePicture(int32_t left, int32_t top, int32_t width, int32_t height)
{
    return left == -1 && top == -1 && width == -1 && height == -1;
}

bool transformKnown(int32_t flags)
{
    int32_t expected = 0;
    if (flags & 0x10000) expected |= ColorReducer::kFlipVertical;
    if (flags & 0x20000) expected |= ColorReducer::kFlipHorizontal;
    if (flags & 0x100000) expected |= ColorReducer::kInvert;
    return flags == expected;
}

// Writes bytes through a buffer to a descriptor, remembering any failure.
class BufferedFile {
public:
    explicit BufferedFile(int fd) : fd_(fd) { buf_.reserve(kChunk + 65536); }
    void put(const uint8_t* p, size_t n)
    {
        buf_.insert(buf_.end(), p, p + n);
        if (buf_.size() >= kChunk) flush();
    }
    uint8_t* grow(size_t n)
    {
        if (buf_.size() + n > buf_.capacity() && !buf_.empty()) flush();
        buf_.resize(buf_.size() + n);
        return buf_.data() + buf_.size() - n;
    }
    void flush()
    {
        if (ok_ && !buf_.empty()) ok_ = writeAll(fd_, buf_.data(), buf_.size());
        buf_.clear();
    }
    bool finish()
    {
        flush();
        return ok_;
    }

private:
    static constexpr size_t kChunk = size_t(1) << 20;
    int fd_;
    bool ok_ = true;
    std::vector<uint8_t> buf_;
};

} // namespace

int32_t ColorReducer::ReduceToFile(const DibRecord& source, const std::string& path, int32_t outputKind,
                                   int32_t colorMode, int32_t bitsPerPixel, int32_t paletteFlags,
                                   int32_t ditherFlags, int32_t left, int32_t top, int32_t width, int32_t height)
{
    if (!SetConversion(outputKind, colorMode, bitsPerPixel, paletteFlags, ditherFlags)) return 0;
    if (!wholePicture(left, top, width, height) || !validSource(source)) return 0;
    // Reduced straight from the caller's picture: no copy is needed for one call.
    if (!convertFrom(source)) return 0;
    switch (outputKind) {
    case kOutputBmp: return SaveBmp(path);
    case kOutputGif: return SaveGif(path);
    case kOutputGifInterlaced: return SaveGifInterlaced(path);
    default: return 0;
    }
}

int32_t ColorReducer::SetConversion(int32_t outputKind, int32_t colorMode, int32_t bitsPerPixel,
                                    int32_t paletteFlags, int32_t ditherFlags)
{
    conversionSet_ = false;
    converted_ = false;
    if (outputKind < kOutputBmp || outputKind > kOutputGifInterlaced) return 0;
    if (colorMode != kColour && colorMode != kGreyscale) return 0;
    const bool palette = bitsPerPixel >= 1 && bitsPerPixel <= 8;
    if (!palette && bitsPerPixel != 16 && bitsPerPixel != 24) return 0;
    if (!palette && outputKind != kOutputBmp) return 0;   // a GIF holds a palette picture only
    if (!reduce::paletteFits(paletteFlags, bitsPerPixel) || !reduce::ditherModeKnown(ditherFlags)) return 0;
    outputKind_ = outputKind;
    colorMode_ = colorMode;
    requestedBits_ = bitsPerPixel;
    paletteFlags_ = paletteFlags;
    ditherFlags_ = ditherFlags;
    conversionSet_ = true;
    return 1;
}

int32_t ColorReducer::SetSource(const DibRecord& source, int32_t left, int32_t top, int32_t width, int32_t height)
{
    hasSource_ = false;
    converted_ = false;
    if (!wholePicture(left, top, width, height) || !validSource(source)) return 0;
    try {
        source_ = source;
    } catch (const std::bad_alloc&) {
        source_ = DibRecord();
        return 0;
    }
    hasSource_ = true;
    return 1;
}

int32_t ColorReducer::SetTransform(int32_t flags, int32_t reserved1, int32_t reserved2)
{
    if (reserved1 != 0 || reserved2 != 0 || !transformKnown(flags)) return 0;
    transform_ = flags;
    converted_ = false;
    return 1;
}

int32_t ColorReducer::Convert()
{
    converted_ = false;
    if (!conversionSet_ || !hasSource_) return 0;
    return convertFrom(source_);
}

int32_t ColorReducer::convertFrom(const DibRecord& source)
{
    converted_ = false;
    indices_.clear();
    palette_.clear();
    pixels555_.clear();
    pixels32_.clear();
    if (!conversionSet_) return 0;
    const reduce::RowSource rows(source, transform_, colorMode_ == kGreyscale);
    const size_t count = size_t(source.width) * size_t(source.height);
    bool ok = false;
    try {
        if (requestedBits_ <= 8) {
            std::vector<Rgb> pal;
            if (reduce::buildPalette(paletteFlags_, requestedBits_, rows, pal)) {
                indices_.resize(count);
                ok = reduce::ditherToPalette(rows, pal, ditherFlags_, indices_.data());
                pal.resize(size_t(1) << requestedBits_);
                palette_ = std::move(pal);
            }
        } else if (requestedBits_ == 16) {
            pixels555_.resize(count);
            ok = reduce::ditherTo555(rows, ditherFlags_, pixels555_.data());
        } else {
            // Nothing to reduce at 24 bits: the transformed picture as it is.
            pixels32_.resize(4 * count);
            for (int y = 0; y < source.height; ++y) {
                uint8_t* d = pixels32_.data() + 4u * size_t(source.width) * size_t(y);
                const uint8_t* s = rows.row(y, d);
                if (s != d) std::copy(s, s + 4 * size_t(source.width), d);
            }
            ok = true;
        }
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    if (!ok) {
        indices_.clear();
        palette_.clear();
        pixels555_.clear();
        pixels32_.clear();
        return 0;
    }
    width_ = source.width;
    height_ = source.height;
    bits_ = requestedBits_;
    converted_ = true;
    return 1;
}

int32_t ColorReducer::SaveBmp(const std::string& path)
{
    if (!converted_) return 0;
    const int fileBits = bits_ == 1 ? 1 : bits_ <= 4 ? 4 : bits_ <= 8 ? 8 : bits_;
    const size_t rowBytes = ((size_t(width_) * size_t(fileBits) + 31) / 32) * 4;
    const uint32_t paletteEntries = bits_ <= 8 ? 1u << bits_ : 0u;
    const uint32_t offBits = 14 + 40 + 4 * paletteEntries;
    const uint64_t fileSize = uint64_t(offBits) + uint64_t(rowBytes) * uint64_t(height_);
    if (fileSize > 0xFFFFFFFFull) return 0;

    const bool ok = replaceFileSafely(path, [&](const std::string& temp) {
        const int fd = ::open(temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0) return false;
        BufferedFile out(fd);
        uint8_t head[54] = {};
        head[0] = 'B';
        head[1] = 'M';
        putLE32(head + 2, uint32_t(fileSize));
        putLE32(head + 10, offBits);
        putLE32(head + 14, 40);
        putLE32(head + 18, uint32_t(width_));
        putLE32(head + 22, uint32_t(height_));   // rows bottom-up
        putLE16(head + 26, 1);
        putLE16(head + 28, uint16_t(fileBits));
        putLE32(head + 34, uint32_t(rowBytes * size_t(height_)));
        putLE32(head + 38, 2835);   // 72 dots per inch
        putLE32(head + 42, 2835);
        putLE32(head + 46, paletteEntries);
        out.put(head, sizeof head);
        for (const Rgb& c : palette_) {
            const uint8_t q[4] = {c.blue, c.green, c.red, 0};
            out.put(q, 4);
        }
        for (int32_t y = height_ - 1; y >= 0; --y) {
            uint8_t* d = out.grow(rowBytes);
            std::fill(d, d + rowBytes, uint8_t(0));
            const size_t first = size_t(y) * size_t(width_);
            if (fileBits == 1) {
                const uint8_t* s = indices_.data() + first;
                for (int32_t x = 0; x < width_; ++x) d[x >> 3] |= uint8_t((s[x] & 1) << (7 - (x & 7)));
            } else if (fileBits == 4) {
                const uint8_t* s = indices_.data() + first;
                for (int32_t x = 0; x < width_; ++x) d[x >> 1] |= uint8_t((s[x] & 15) << ((x & 1) ? 0 : 4));
            } else if (fileBits == 8) {
                std::copy(indices_.data() + first, indices_.data() + first + size_t(width_), d);
            } else if (fileBits == 16) {
                const uint16_t* s = pixels555_.data() + first;
                for (int32_t x = 0; x < width_; ++x) putLE16(d + 2 * x, s[x]);
            } else {
                const uint8_t* s = pixels32_.data() + 4 * first;
                for (int32_t x = 0; x < width_; ++x, s += 4, d += 3) {
                    d[0] = s[0];
                    d[1] = s[1];
                    d[2] = s[2];
                }
            }
        }
        const bool written = out.finish();
        return (::close(fd) == 0) && written;
    });
    return ok ? 1 : 0;
}

int32_t ColorReducer::SaveGif(const std::string& path) { return saveGif(path, false); }

int32_t ColorReducer::SaveGifInterlaced(const std::string& path) { return saveGif(path, true); }

int32_t ColorReducer::saveGif(const std::string& path, bool interlaced)
{
    if (!converted_ || bits_ > 8) return 0;
    const bool ok = replaceFileSafely(path, [&](const std::string& temp) {
        int err = 0;
        GifFileType* gif = EGifOpenFileName(temp.c_str(), false, &err);
        if (!gif) return false;
        std::vector<GifColorType> colours(palette_.size());
        for (size_t i = 0; i < palette_.size(); ++i)
            colours[i] = GifColorType{palette_[i].red, palette_[i].green, palette_[i].blue};
        ColorMapObject* map = GifMakeMapObject(int(colours.size()), colours.data());
        bool good = map != nullptr;
        good = good && EGifPutScreenDesc(gif, width_, height_, bits_, 0, map) == GIF_OK;
        good = good && EGifPutImageDesc(gif, 0, 0, width_, height_, interlaced, nullptr) == GIF_OK;
        auto putRow = [&](int32_t y) {
            // The encoder masks the line in place; every index already fits.
            return EGifPutLine(gif, indices_.data() + size_t(y) * size_t(width_), width_) == GIF_OK;
        };
        if (interlaced) {
            // The encoder takes the rows in the order of the four passes.
            static const int32_t start[4] = {0, 4, 2, 1};
            static const int32_t step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4 && good; ++pass)
                for (int32_t y = start[pass]; y < height_ && good; y += step[pass]) good = putRow(y);
        } else {
            for (int32_t y = 0; y < height_ && good; ++y) good = putRow(y);
        }
        if (map) GifFreeMapObject(map);
        if (EGifCloseFile(gif, &err) != GIF_OK) good = false;
        return good;
    });
    return ok ? 1 : 0;
}

} // namespace tq
