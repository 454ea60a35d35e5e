// The document members the crop, zoom, rotation and new-document commands
// share: taking a whole new picture in, and showing its size.
#include "document/StatusPanels.h"
#include "document/fImage.h"

namespace tq {

bool fImage::TakeNewPicture(const BitsBuffer& bits)
{
    const int32_t w = bits.width();
    const int32_t h = bits.height();
    if (!bits.allocated() || w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide) return false;
    CreateBlank(w, h);
    // CreateBlank keeps the old picture when it cannot make the new one: the
    // pixels must never go into a buffer of another size.
    if (!BMExists || PictureWidth() != w || PictureHeight() != h || Bits_.width() != w || Bits_.height() != h)
        return false;
    setBits(bits);
    BitsRegion.Init(0, 0, w, h);
    ShowSizePanel();
    return true;
}

void fImage::ShowSizePanel()
{
    sbInfo->setPanelText(QStringLiteral("Size"), QStringLiteral("%1x%2").arg(PictureWidth()).arg(PictureHeight()));
}

} // namespace tq
