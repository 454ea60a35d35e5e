// The document members the crop, zoom, rotation and new-document commands
// share: taking a whole new picture in, and showing its size.
#include "document/StatusPanels.h"
#include "document/fImage.h"

namespace tq {

bool fImage::TakeNewPicture(const BitsBuffer& bits)
{
    if (!Doc_.TakeNewPicture(bits)) return false;
    showNewPicture();
    return true;
}

bool fImage::TakeNewPicture(BitsBuffer&& bits)
{
    if (!Doc_.TakeNewPicture(std::move(bits))) return false;
    showNewPicture();
    return true;
}

void fImage::showNewPicture()
{
    UserControl_Resize();
    ShowSizePanel();
}

void fImage::ShowSizePanel()
{
    sbInfo->setPanelText(QStringLiteral("Size"), QStringLiteral("%1x%2").arg(PictureWidth()).arg(PictureHeight()));
}

} // namespace tq
