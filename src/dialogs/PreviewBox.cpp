#include "dialogs/PreviewBox.h"

#include "filters/cBitFilter.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace tq {

PreviewBox::PreviewBox(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("iSrc")); }

void PreviewBox::showPicture(const BitsBuffer& bits, int w, int h)
{
    picture_ = QImage();
    w = std::min(w, bits.width());
    h = std::min(h, bits.height());
    if (bits.allocated() && w > 0 && h > 0) {
        DibRecord dib;
        cBitFilter::BitsToDib(dib, bits, w, h);
        // The record holds the margin too: its picture starts two rows and
        // two columns in, and its rows are w + 4 pixels long.
        QImage img(w, h, QImage::Format_RGB32);
        if (!img.isNull()) {
            const size_t rowBytes = 4u * static_cast<size_t>(dib.width);
            for (int y = 0; y < h; ++y)
                std::memcpy(img.scanLine(y), dib.bits.data() + rowBytes * static_cast<size_t>(y + 2) + 8,
                            4u * static_cast<size_t>(w));
            picture_ = img;
        }
    }
    update();
}

BitsBuffer PreviewBox::reduced(const BitsBuffer& source, int w, int h, bool smooth)
{
    if (!source.allocated()) return BitsBuffer();
    try {
        cBitFilter thumb;
        const bool made = smooth ? thumb.BitsResample(source, w, h) : thumb.BitsResize(source, w, h);
        return made ? thumb.Bits() : BitsBuffer();
    } catch (const std::bad_alloc&) {
        return BitsBuffer();
    } catch (const std::length_error&) {
        return BitsBuffer();
    }
}

void PreviewBox::paintEvent(QPaintEvent*)
{
    if (picture_.isNull()) return;
    QPainter p(this);
    p.drawImage(0, 0, picture_);
}

} // namespace tq
