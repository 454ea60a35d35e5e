#include "gdi/cDIBSection.h"

#include <cmath>
#include <random>
#include <stdexcept>

namespace tq {

void cDIBSection::PaintPicture(const BitmapSurface& lHDC, int32_t lDestLeft, int32_t lDestTop, int32_t lDestWidth,
                               int32_t lDestHeight, int32_t lSrcLeft, int32_t lSrcTop, uint32_t eRop,
                               int32_t crTransparent) const
{
    paint(lHDC, lDestLeft, lDestTop, lDestWidth, lDestHeight, lSrcLeft, lSrcTop,
          [&](int32_t left, int32_t top, int32_t width, int32_t height, int32_t srcLeft, int32_t srcTop) {
              if (crTransparent == -1)
                  bitBlt(lHDC, left, top, width, height, surface(), srcLeft, srcTop, eRop);
              else
                  transparentBlt(lHDC, left, top, width, height, surface(), srcLeft, srcTop, crTransparent);
          });
}

void cDIBSection::RandomiseBits(bool bGray)
{
    uint8_t* bits = DIBSectionBitsPtr();
    if (!bits || !hdc()) return;
    std::mt19937 generator(secondsSinceMidnight());
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    auto level = [&] { return uint8_t(std::rint(uniform(generator) * 255.0)); };
    const int32_t stride = BytesPerScanLine();
    for (int32_t y = 0; y < Height(); ++y) {
        uint8_t* p = bits + std::ptrdiff_t(stride) * y;
        for (int32_t x = 0; x < Width(); ++x, p += 3) {
            if (bGray) {
                const uint8_t v = level();
                p[0] = p[1] = p[2] = v;
            } else {
                p[0] = 0;
                p[1] = level();
                p[2] = level();
            }
        }
    }
}

std::unique_ptr<cDIBSection> cDIBSection::Resample(int32_t lNewWidth, int32_t lNewHeight) const
{
    return resampledCopy(*this, 3, lNewWidth, lNewHeight);
}

std::unique_ptr<cDIBSection> resampledCopy(const DibSection& from, int32_t bytesPerPixel, int32_t lNewWidth,
                                           int32_t lNewHeight)
{
    const int32_t W = from.Width();
    const int32_t H = from.Height();
    if (lNewHeight == -1) {
        if (W == 0) throw std::domain_error("Division by zero");
        lNewHeight = int32_t(int64_t(lNewWidth) * H / W);
    }
    auto result = std::make_unique<cDIBSection>();
    if (!result->Create(lNewWidth, lNewHeight)) return nullptr;
    if (lNewWidth == W && lNewHeight == H) {
        if (from.hdc()) result->LoadPictureBlt(*from.hdc(), 0, 0, -1, -1, kRopSrcCopy);
    } else {
        ResampleBilinear(from.DIBSectionBitsPtr(), W, H, from.BytesPerScanLine(), bytesPerPixel,
                         result->DIBSectionBitsPtr(), lNewWidth, lNewHeight, result->BytesPerScanLine());
    }
    return result;
}

} // namespace tq
