#include "export/FWebPictureBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace tq {

namespace {

void flatBorder(QFrame* f)
{
    f->setFrameStyle(QFrame::Box | QFrame::Plain);
    f->setLineWidth(1);
}

bool complete(const DibRecord& r)
{
    return r.width > 0 && r.height > 0 && r.bits.size() >= 4u * size_t(r.width) * size_t(r.height);
}

} // namespace

FWebPictureBox::FWebPictureBox(QWidget* parent) : QFrame(parent)
{
    flatBorder(this);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(2, 2);
}

void FWebPictureBox::setPicture(WebPicture picture)
{
    if (picture && !complete(*picture)) picture.reset();
    image_ = std::move(picture);
    if (image_) setInnerSize(image_->width, image_->height);
    update();
}

void FWebPictureBox::drawOver(DibRecord picture)
{
    if (!complete(picture)) return;
    const int w = innerWidth(), h = innerHeight();
    if (picture.width == w && picture.height == h) {
        // Covers the whole image: it is the new image, without a copy.
        image_ = std::make_shared<const DibRecord>(std::move(picture));
        update();
        return;
    }
    if (w <= 0 || h <= 0) return;
    // The image as it is (black where nothing was drawn yet), the picture
    // copied over its top-left corner.
    DibRecord surface;
    if (image_ && image_->width == w && image_->height == h) {
        surface = *image_;
    } else {
        surface.width = w;
        surface.height = h;
        surface.header = BitsHeader::forDib(w, h);
        surface.bits.assign(4u * size_t(w) * size_t(h), 0);
    }
    const int cw = std::min(w, picture.width), ch = std::min(h, picture.height);
    for (int y = 0; y < ch; ++y) std::memcpy(surface.row(y), picture.row(y), 4u * size_t(cw));
    image_ = std::make_shared<const DibRecord>(std::move(surface));
    update();
}

void FWebPictureBox::setInnerSize(int width, int height)
{
    // The border is what lies between the outer size and the contents.
    const QSize border = size() - contentsRect().size();
    resize(std::max(0, width) + border.width(), std::max(0, height) + border.height());
}

void FWebPictureBox::paintEvent(QPaintEvent* e)
{
    QFrame::paintEvent(e);
    QPainter p(this);
    const QRect inner = contentsRect();
    const QRect dirty = e->rect() & inner;
    if (dirty.isEmpty()) return;
    if (!image_) {
        p.fillRect(dirty, palette().window());
        return;
    }
    // Painted straight from the record: its rows are 32-bit blue, green, red
    // and a byte Qt ignores, the layout of Format_RGB32.
    const QImage view(image_->bits.data(), image_->width, image_->height, 4 * image_->width, QImage::Format_RGB32);
    const QRect source = dirty.translated(-inner.topLeft()) & view.rect();
    if (!source.isEmpty()) p.drawImage(source.translated(inner.topLeft()), view, source);
    // What the image does not cover (a box made larger than its picture).
    const QRegion rest = QRegion(dirty) - QRegion(source.translated(inner.topLeft()));
    for (const QRect& r : rest) p.fillRect(r, palette().window());
}

void FWebPictureBox::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    const QPointF at = e->position() - contentsRect().topLeft();
    emit MouseDown(e->button(), e->modifiers(), at.x(), at.y());
}

void FWebPictureBox::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
    const QPointF at = e->position() - contentsRect().topLeft();
    emit MouseMove(e->buttons(), e->modifiers(), at.x(), at.y());
}

void FWebPictureBox::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    const QPointF at = e->position() - contentsRect().topLeft();
    emit MouseUp(e->button(), e->modifiers(), at.x(), at.y());
}

FWebClipBox::FWebClipBox(QWidget* parent) : QFrame(parent)
{
    flatBorder(this);
    area_ = new QWidget(this);
    area_->setGeometry(contentsRect());
}

void FWebClipBox::setBox(int left, int top, int width, int height)
{
    setGeometry(left, top, std::max(0, width), std::max(0, height));
    area_->setGeometry(contentsRect());
}

void FWebClipBox::resizeEvent(QResizeEvent* e)
{
    QFrame::resizeEvent(e);
    area_->setGeometry(contentsRect());
}

} // namespace tq
