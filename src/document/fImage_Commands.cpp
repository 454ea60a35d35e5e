// The document members the crop, zoom, rotation and new-document commands
// share: taking a whole new picture in, and showing its size.
#include "document/StatusPanels.h"
#include "document/fImage.h"

namespace tq {

bool fImage::TakeNewPicture(const BitsBuffer& bits)
{
    if (!bits.allocated()) return false;
    BitsBuffer copy;
    try {
        copy = bits;
    } catch (const std::exception&) {
        return false;   // out of memory: the document keeps what it had
    }
    return TakeNewPicture(std::move(copy));
}

bool fImage::TakeNewPicture(BitsBuffer&& bits)
{
    if (!Doc_.TakeNewPicture(std::move(bits))) return false;
    UserControl_Resize();
    ShowSizePanel();
    return true;
}

void fImage::ShowSizePanel()
{
    sbInfo->setPanelText(QStringLiteral("Size"), QStringLiteral("%1x%2").arg(PictureWidth()).arg(PictureHeight()));
}

} // namespace tq
