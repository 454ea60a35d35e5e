#include "gdi/DibSection.h"

#include "core/PictureMemory.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <ctime>
#include <limits>

namespace tq {

namespace {

// DrawDib handles are numbers that only need to differ from 0.
std::atomic<uintptr_t> nextDrawDib{1};

// The stock bitmap a fresh memory device context holds before a DIB section
// is selected into it.
constexpr uintptr_t kStockBitmap = 1;

} // namespace

DibSection::~DibSection() { ClearUp(); }

void DibSection::setUseDrawDib(bool bState)
{
    if (bState) {
        if (DrawDibHandle_ == 0) DrawDibHandle_ = nextDrawDib.fetch_add(1);
    } else {
        DrawDibHandle_ = 0;
    }
}

int32_t DibSection::BytesPerScanLine() const
{
    const int32_t w = BitmapInfo_.bmiHeader.biWidth;
    if (BitsPerPixel_ == 32) return 4 * w;
    return (3 * w + 3) & ~3;
}

bool DibSection::CreateDIB(const BitmapSurface*, int32_t lWidth, int32_t lHeight, uintptr_t& hDib)
{
    BitsHeader& h = BitmapInfo_.bmiHeader;
    h = BitsHeader{};
    h.biSize = 40;
    h.biWidth = lWidth;
    h.biHeight = lHeight;
    h.biPlanes = 1;
    h.biBitCount = int16_t(BitsPerPixel_);
    h.biCompression = 0;
    const int64_t size = int64_t(lHeight) * int64_t(BytesPerScanLine());
    h.biSizeImage = int32_t(std::clamp<int64_t>(size, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));

    hDib = 0;
    DIBSectionBitsPtr_ = nullptr;
    if (lWidth < 1 || lHeight < 1 || lWidth > kMaxPictureSide || lHeight > kMaxPictureSide) return false;
    if (!pictureFitsMemory(lWidth, lHeight)) return false;
    // Fresh memory from the system is already zero: calloc gives it
    // without touching every page.
    Section s;
    s.bits.reset(static_cast<uint8_t*>(std::calloc(size_t(size), 1)));
    if (!s.bits) return false;
    s.handle = reinterpret_cast<uintptr_t>(s.bits.get());
    DIBSectionBitsPtr_ = s.bits.get();
    hDib = s.handle;
    Sections_.push_back(std::move(s));
    return true;
}

bool DibSection::Create(int32_t lWidth, int32_t lHeight)
{
    const bool drawDib = UseDrawDib();
    ClearUp();
    hdc_ = true;
    if (CreateDIB(&Surface_, lWidth, lHeight, hDib_)) {
        OldBitmap_ = kStockBitmap;
        const int32_t stride = BytesPerScanLine();
        // Bottom-up: the picture's top row is the last row in memory.
        Surface_ = BitmapSurface{DIBSectionBitsPtr_ + std::ptrdiff_t(stride) * (lHeight - 1), -std::ptrdiff_t(stride),
                                lWidth, lHeight, bytesPerPixel(), 0};
        setUseDrawDib(drawDib);
        return true;
    }
    hdc_ = false;
    return false;
}

void DibSection::LoadPictureBlt(const BitmapSurface& lHDC, int32_t lSrcLeft, int32_t lSrcTop, int32_t lSrcWidth,
                                int32_t lSrcHeight, uint32_t eRop)
{
    if (lSrcWidth < 0) lSrcWidth = Width();
    if (lSrcHeight < 0) lSrcHeight = Height();
    if (!hdc_) return;
    bitBlt(Surface_, 0, 0, lSrcWidth, lSrcHeight, lHDC, lSrcLeft, lSrcTop, eRop);
}

bool DibSection::SavePicture(const std::string& sFileName) const
{
    return dibsection::WriteBitmapFile(DIBSectionBitsPtr_, BitmapInfo_, sFileName);
}

void DibSection::AlphaPaintPicture(const BitmapSurface& lHDC, int32_t lDestLeft, int32_t lDestTop,
                                   int32_t lDestWidth, int32_t lDestHeight, int32_t lSrcLeft, int32_t lSrcTop,
                                   uint8_t lConstantAlpha) const
{
    if (lDestWidth < 0) lDestWidth = Width();
    if (lDestHeight < 0) lDestHeight = Height();
    if (!hdc_) return;
    alphaBlend(lHDC, lDestLeft, lDestTop, lDestWidth, lDestHeight, Surface_, lSrcLeft, lSrcTop, lConstantAlpha, true);
}

void DibSection::ClearUp()
{
    // The stock bitmap goes back into the device context, then every
    // section this object made goes: the selected one and any that
    // CreateDIB made on its own.
    Sections_.clear();
    hdc_ = false;
    hDib_ = 0;
    OldBitmap_ = 0;
    DIBSectionBitsPtr_ = nullptr;
    Surface_ = BitmapSurface{};
    DrawDibHandle_ = 0;
}

void DibSection::createFromBitmap(const DibRecord& picture)
{
    const bool bitmap = picture.width > 0 && picture.height > 0 &&
                        picture.bits.size() == 4u * size_t(picture.width) * size_t(picture.height);
    const int32_t w = bitmap ? picture.width : 0;
    const int32_t h = bitmap ? picture.height : 0;
    if (!Create(w, h)) return;
    const BitmapSurface from =
        BitmapSurface::topDown32(const_cast<uint8_t*>(picture.bits.data()), picture.width, picture.height);
    LoadPictureBlt(from, 0, 0, -1, -1, kRopSrcCopy);
}

uint32_t DibSection::secondsSinceMidnight()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return uint32_t(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

void ResampleBilinear(const uint8_t* src, int32_t W, int32_t H, int32_t srcStride, int32_t srcBytesPerPixel,
                      uint8_t* dst, int32_t newW, int32_t newH, int32_t dstStride)
{
    if (!src || !dst || W < 1 || H < 1 || newW < 1 || newH < 1) return;
    // The divisor is the new size, not the new size less one: destination
    // pixel 0 samples source pixel 0 and the last one falls short of the
    // last source pixel.
    const float xs = float(double(W - 1) / double(newW));
    const float ys = float(double(H - 1) / double(newH));

    // The columns are the same for every row.
    struct Column {
        int32_t left, right;   // byte offsets of the two source pixels
        double fx;
    };
    std::vector<Column> cols(static_cast<size_t>(newW));
    for (int32_t x = 0; x < newW; ++x) {
        const float sx = float(double(x) * double(xs));
        const int32_t ix = std::min(int32_t(std::floor(sx)), W - 1);
        const float fx = float(double(sx) - double(ix));
        // A 1-pixel-wide source has no right neighbour; it carries no
        // weight then and is read from inside the bitmap.
        const int32_t ix1 = std::min(ix + 1, W - 1);
        cols[size_t(x)] = Column{ix * srcBytesPerPixel, ix1 * srcBytesPerPixel, double(fx)};
    }

    for (int32_t y = 0; y < newH; ++y) {
        const float sy = float(double(y) * double(ys));
        const int32_t iy = std::min(int32_t(std::floor(sy)), H - 1);
        const double fy = double(float(double(sy) - double(iy)));
        const int32_t iy1 = std::min(iy + 1, H - 1);
        const uint8_t* r0 = src + std::ptrdiff_t(srcStride) * iy;
        const uint8_t* r1 = src + std::ptrdiff_t(srcStride) * iy1;
        uint8_t* d = dst + std::ptrdiff_t(dstStride) * y;
        const double gy = 1.0 - fy;
        for (int32_t x = 0; x < newW; ++x, d += 3) {
            const Column& c = cols[size_t(x)];
            const double gx = 1.0 - c.fx;
            for (int k = 0; k < 3; ++k) {
                const double left = std::rint(gy * r0[c.left + k] + fy * r1[c.left + k]);
                const double right = std::rint(gy * r0[c.right + k] + fy * r1[c.right + k]);
                const double v = std::rint(gx * left + c.fx * right);
                d[k] = uint8_t(std::clamp(v, 0.0, 255.0));
            }
        }
    }
}

} // namespace tq
