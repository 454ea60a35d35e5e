#include "document/fImage.h"

#include "document/DocumentState.h"
#include "document/Module5.h"
#include "document/mAPI.h"
#include "platform/Ports.h"
#include "platform/QtImage.h"

#include <QPainter>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>
#include <cstring>
#include <new>

namespace tq {
namespace {

std::vector<fImage*>& registry()
{
    static std::vector<fImage*> docs;
    return docs;
}

// The progress box is 2025 x 240 twips.
constexpr int kProgressBoxWidth = 2025 / platform::kTwipsPerPixel;
constexpr int kProgressBoxHeight = 240 / platform::kTwipsPerPixel;

} // namespace

fImage::fImage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fImage"));
    MeID = Module5::GetDocumentCount();
    registry().push_back(this);

    hSB = new QScrollBar(Qt::Horizontal, this);
    vSB = new QScrollBar(Qt::Vertical, this);
    hSB->hide();
    vSB->hide();

    picPb = new QWidget(this);
    picPb->setObjectName(QStringLiteral("picPb"));
    picPb->resize(kProgressBoxWidth, kProgressBoxHeight);
    cFilterProgress = new QProgressBar(picPb);
    cFilterProgress->setObjectName(QStringLiteral("cFilterProgress"));
    cFilterProgress->setRange(0, 100);
    cFilterProgress->setValue(0);
    cFilterProgress->setTextVisible(false);
    cFilterProgress->setGeometry(0, 0, kProgressBoxWidth, kProgressBoxHeight);
    picPb->hide();
    placeProgressBox();
}

fImage::~fImage()
{
    auto& docs = registry();
    docs.erase(std::remove(docs.begin(), docs.end(), this), docs.end());
}

const std::vector<fImage*>& fImage::loadedDocuments() { return registry(); }

void fImage::CreateBlank(int32_t dstWidth, int32_t dstHeight)
{
    if (dstWidth < 1 || dstHeight < 1 || dstWidth > kMaxPictureSide || dstHeight > kMaxPictureSide) return;
    BitsBuffer fresh;
    try {
        fresh = BitsBuffer(dstWidth, dstHeight);
    } catch (const std::exception&) {
        return;   // out of memory: the document keeps what it had
    }
    BitsHeader_ = BitsHeader::forBuffer(dstWidth, dstHeight);
    Bits_ = std::move(fresh);
    iSrc.move(0, 0, dstWidth, dstHeight);
    ImageRect_ = RectI{0, 0, dstWidth, dstHeight};
    BMExists = true;
    UserControl_Resize();
}

BitsBuffer fImage::Bits() const
{
    if (!BMExists) return BitsBuffer();
    return Bits_;
}

void fImage::setBits(const BitsBuffer& bits)
{
    if (!BMExists) return;
    try {
        Bits_ = bits;
    } catch (const std::bad_alloc&) {
    }
}

void fImage::PPicture(const QImage& picture)
{
    hSB->hide();
    vSB->hide();
    if (picture.isNull()) {
        Clear();
        return;
    }
    iSrc.setPicture(picture);
    if (!takePicture()) return;
    BMExists = true;
    UserControl_Resize();
}

void fImage::SetPicture(bool& saveundo)
{
    hSB->hide();
    vSB->hide();
    if (!takePicture()) return;
    if (saveundo) {
        LastActionName = "Update from Layers";
        SaveUndoBits();
    }
    BMExists = true;
    UserControl_Resize();
}

bool fImage::takePicture()
{
    const int32_t w = iSrc.Width;
    const int32_t h = iSrc.Height;
    // A holder without a size, or larger than a picture may be, holds no
    // picture the program can keep.
    if (w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide) return false;

    DibRecord rec;
    BitsBuffer fresh;
    try {
        // What the holder shows: its picture, black where nothing is drawn.
        QImage shown;
        if (!iSrc.Picture.isNull() && iSrc.Picture.width() == w && iSrc.Picture.height() == h) {
            shown = iSrc.Picture;
        } else {
            shown = QImage(w, h, QImage::Format_RGB32);
            if (shown.isNull()) return false;
            shown.fill(Qt::black);
            if (!iSrc.Picture.isNull()) {
                QPainter p(&shown);
                p.drawImage(0, 0, iSrc.Picture);
            }
        }
        rec = platform::dibFromImage(shown);
        if (rec.width != w || rec.height != h) return false;
        fresh = BitsBuffer(w, h);
    } catch (const std::exception&) {
        return false;
    }

    // One block move per row; the margin keeps the zeros of the allocation.
    const size_t rowBytes = 4u * static_cast<size_t>(w);
    for (int32_t y = 0; y < h; ++y) std::memcpy(fresh.row(y), rec.row(y), rowBytes);

    Bits_ = std::move(fresh);
    BitsHeader_ = BitsHeader::forBuffer(w, h);
    iSrc.clearPicture();
    ImageRect_ = RectI{0, 0, w, h};
    BitsRegion.Init(0, 0, w, h);
    return true;
}

void fImage::UpdateImage() {}

void fImage::SaveUndoBits() {}

void fImage::UserControl_Resize() {}

void fImage::Clear()
{
    Bits_.clear();
    BMExists = false;
}

void fImage::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    placeProgressBox();
}

void fImage::placeProgressBox()
{
    picPb->move(1, std::max(0, height() - picPb->height() - 3));
}

} // namespace tq
