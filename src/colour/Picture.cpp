#include "colour/Picture.h"

#include "document/Numeric.h"

namespace tq {

struct Picture::Data {
    gdi::Object* object = nullptr;
    int32_t type = kNone;
    int32_t himetricWidth = 0;
    int32_t himetricHeight = 0;
    ~Data() { gdi::deleteObject(object); }
};

int32_t pixelsToHimetric(int32_t pixels) { return rnd(pixels * 2540.0 / (1440.0 / kTwipsPerPixel)); }

double himetricToPixels(double himetric) { return himetric * 1440.0 / 2540.0 / kTwipsPerPixel; }

namespace {

const QImage& nullImage()
{
    static const QImage none;
    return none;
}

} // namespace

Picture Picture::owningBitmap(gdi::Bitmap* bitmap)
{
    Picture p;
    if (!gdi::isLiveObject(bitmap)) return p;
    p.d_ = std::make_shared<Data>();
    p.d_->object = bitmap;
    p.d_->type = kBitmap;
    p.d_->himetricWidth = pixelsToHimetric(bitmap->image.width());
    p.d_->himetricHeight = pixelsToHimetric(bitmap->image.height());
    return p;
}

Picture Picture::owningIcon(gdi::Icon* icon)
{
    Picture p;
    if (!gdi::isLiveObject(icon)) return p;
    p.d_ = std::make_shared<Data>();
    p.d_->object = icon;
    p.d_->type = kIcon;
    p.d_->himetricWidth = pixelsToHimetric(icon->image.width());
    p.d_->himetricHeight = pixelsToHimetric(icon->image.height());
    return p;
}

int32_t Picture::type() const { return d_ ? d_->type : kNone; }
int32_t Picture::Width() const { return d_ ? d_->himetricWidth : 0; }
int32_t Picture::Height() const { return d_ ? d_->himetricHeight : 0; }
int32_t Picture::pixelWidth() const { return image().width(); }
int32_t Picture::pixelHeight() const { return image().height(); }

const QImage& Picture::image() const
{
    if (gdi::Bitmap* b = bitmap()) return b->image;
    if (gdi::Icon* i = icon()) return i->image;
    return nullImage();
}

gdi::Bitmap* Picture::bitmap() const
{
    return d_ && d_->type == kBitmap ? static_cast<gdi::Bitmap*>(d_->object) : nullptr;
}

gdi::Icon* Picture::icon() const { return d_ && d_->type == kIcon ? static_cast<gdi::Icon*>(d_->object) : nullptr; }

} // namespace tq
