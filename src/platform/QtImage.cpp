#include "platform/QtImage.h"

#include <cstring>

namespace tq::platform {

DibRecord dibFromImage(const QImage& image)
{
    DibRecord rec;
    if (image.isNull()) {
        rec.header = BitsHeader::forDib(0, 0);
        return rec;
    }
    const QImage src = image.format() == QImage::Format_RGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    const int w = src.width();
    const int h = src.height();
    rec.header = BitsHeader::forDib(w, h);
    rec.width = w;
    rec.height = h;
    rec.bits.resize(4u * static_cast<size_t>(w) * static_cast<size_t>(h));
    const size_t rowBytes = 4u * static_cast<size_t>(w);
    for (int y = 0; y < h; ++y) {
        uint8_t* dst = rec.row(y);
        std::memcpy(dst, src.constScanLine(y), rowBytes);
        for (size_t i = 3; i < rowBytes; i += 4) dst[i] = 0;
    }
    return rec;
}

QImage imageFromDib(const DibRecord& record)
{
    if (record.width <= 0 || record.height <= 0) return QImage();
    QImage img(record.width, record.height, QImage::Format_RGB32);
    if (img.isNull()) return img;
    const size_t rowBytes = 4u * static_cast<size_t>(record.width);
    for (int y = 0; y < record.height; ++y) {
        uint8_t* dst = img.scanLine(y);
        std::memcpy(dst, record.row(y), rowBytes);
        // An RGB32 image must hold 0xFF in its fourth byte.
        for (size_t i = 3; i < rowBytes; i += 4) dst[i] = 0xFF;
    }
    return img;
}

} // namespace tq::platform
