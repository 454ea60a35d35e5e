#include "export/fPrintPlacement.h"

#include "document/Numeric.h"

namespace tq {

namespace {
constexpr double kHimetricPerInch = 2540.0;
constexpr double kTwipsPerInch = 1440.0;
constexpr double kScreenPixelsPerInch = 96.0;
} // namespace

int32_t PixelsToHimetric(int32_t pixels) { return rnd(double(pixels) * kHimetricPerInch / kScreenPixelsPerInch); }

float TwipsToHimetric(double twips) { return single(twips * kHimetricPerInch / kTwipsPerInch); }

float HimetricToTwips(double himetric) { return single(himetric * kTwipsPerInch / kHimetricPerInch); }

PagePlacement PlacePictureOnPage(int32_t picWidth, int32_t picHeight, float areaWidth, float areaHeight,
                                 bool center, bool fit)
{
    PagePlacement p;
    if (picHeight == 0) return p;
    const double picRatio = double(picWidth) / double(picHeight);
    const float areaW = TwipsToHimetric(areaWidth);
    const float areaH = TwipsToHimetric(areaHeight);
    if (areaH == 0.0f) return p;
    const double areaRatio = double(areaW) / double(areaH);

    // A picture exactly as wide or as high as the area does not fit.
    if (double(picWidth) < double(areaW) && double(picHeight) < double(areaH) && !fit) {
        p.width = HimetricToTwips(picWidth);
        p.height = HimetricToTwips(picHeight);
    } else if (picRatio >= areaRatio) {
        p.width = HimetricToTwips(areaW);
        p.height = HimetricToTwips(single(double(areaW) / picRatio));
    } else {
        p.height = HimetricToTwips(areaH);
        p.width = HimetricToTwips(single(double(areaH) * picRatio));
    }
    if (center) {
        int32_t marginsX = 0, marginsY = 0;
        if (!toInt32(single(double(areaWidth) - double(p.width)), marginsX)) return p;
        if (!toInt32(single(double(areaHeight) - double(p.height)), marginsY)) return p;
        p.left = idiv(marginsX, 2);
        p.top = idiv(marginsY, 2);
    }
    p.ok = true;
    return p;
}

} // namespace tq
