#include "platform/QtImage.h"

#include <cstring>

namespace tq::platform {

DibRecord dibFromImage(const QImage& image)
{
    if (image.isNull()) return DibRecord::fromRows(0, 0, [](int) { return nullptr; });
    const QImage src = image.format() == QImage::Format_RGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    return DibRecord::fromRows(src.width(), src.height(), [&](int y) { return src.constScanLine(y); });
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
