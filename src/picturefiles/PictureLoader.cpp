#include "picturefiles/PictureLoader.h"

#include "core/PictureMemory.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include <algorithm>
#include <cstring>

namespace tq {

namespace {

// The reader's decode in 32 bits (RGB32 or ARGB32), null when refused or
// unreadable; depth receives the bits per pixel as stored.
QImage decodePlatformImage(const std::string& path, int& storedDepth)
{
    QImageReader reader(QString::fromStdString(path));
    // The file's content decides, whatever its name says.
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)) return {};
    if (size.isValid() && !pictureFitsMemory(size.width(), size.height())) return {};
    if (size.isValid()) {
        // Room for the picture in 32 bits and a converted copy of it.
        const qint64 mb = (qint64(size.width()) * size.height() * 8) / (1024 * 1024) + 16;
        reader.setAllocationLimit(int(std::min<qint64>(mb, 1 << 30)));
    }
    QImage img;
    // The bitmap reader leaves the pixels that a run-length file skips (an
    // early end of line, a jump) as the allocation held them; it decodes
    // into an image of the right size and format handed to it, so hand it
    // one cleared to colour 0.
    if (size.isValid() && reader.format() == "bmp") {
        const QImage::Format format = reader.imageFormat();
        if (format != QImage::Format_Invalid) {
            img = QImage(size, format);
            if (!img.isNull()) img.fill(0);
        }
    }
    if (!reader.read(&img)) return {};
    if (img.isNull() || img.width() < 1 || img.height() < 1) return {};
    if (img.width() > kMaxPictureSide || img.height() > kMaxPictureSide) return {};
    storedDepth = img.depth();
    // Straight conversion: colour channels as stored, no blending with a background.
    if (img.format() != QImage::Format_RGB32 && img.format() != QImage::Format_ARGB32)
        img = img.convertToFormat(QImage::Format_ARGB32);
    return img;
}

// Row y of the image into d, 0xAARRGGBB in memory order blue, green, red,
// alpha, with the alpha dropped.
void copyRowWithoutAlpha(const QImage& img, int y, uint8_t* d)
{
    const uint32_t* s = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
    uint32_t* o = reinterpret_cast<uint32_t*>(d);
    for (int x = 0; x < img.width(); ++x) o[x] = s[x] & 0x00FFFFFFu;
}

} // namespace

std::optional<DibRecord> loadPlatformPicture(const std::string& path, int* depth)
{
    int storedDepth = 0;
    const QImage img = decodePlatformImage(path, storedDepth);
    if (img.isNull()) return std::nullopt;

    DibRecord rec;
    try {
        rec.width = img.width();
        rec.height = img.height();
        rec.header = BitsHeader::forDib(rec.width, rec.height);
        reservePictureBytes(rec.bits, 4u * size_t(rec.width) * size_t(rec.height));
        rec.bits.resize(4u * size_t(rec.width) * size_t(rec.height));
    } catch (...) {
        return std::nullopt;
    }
    for (int y = 0; y < rec.height; ++y) copyRowWithoutAlpha(img, y, rec.row(y));
    if (depth) *depth = storedDepth;
    return rec;
}

std::optional<BitsBuffer> loadPlatformPixels(const std::string& path, int* depth)
{
    int storedDepth = 0;
    const QImage img = decodePlatformImage(path, storedDepth);
    if (img.isNull()) return std::nullopt;
    BitsBuffer bits;
    try {
        bits = BitsBuffer::forOverwrite(img.width(), img.height());
    } catch (...) {
        return std::nullopt;
    }
    bits.writeRows([&img](int y, uint8_t* d) { copyRowWithoutAlpha(img, y, d); });
    if (depth) *depth = storedDepth;
    return bits;
}

std::optional<PictureSize> platformPictureSize(const std::string& path)
{
    QImageReader reader(QString::fromStdString(path));
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!size.isValid()) return std::nullopt;
    return PictureSize{size.width(), size.height()};
}

} // namespace tq
