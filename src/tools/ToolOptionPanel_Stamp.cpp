// The stamp choices of the Stamp frame and its mask colour swatch.
#include "tools/ToolOptionPanel.h"

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/mBitmap.h"
#include "platform/Folders.h"
#include "platform/PictureLoader.h"
#include "platform/Ports.h"
#include "platform/QtImage.h"
#include "platform/ColourSwatch.h"
#include "tools/StampPictures.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>

namespace tq::tools {
namespace {

constexpr const char* kStampsFolder = "Stamps";

// The arrow with hourglass while the stamp's pixels are copied.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
};

} // namespace

BitsBuffer ToolOptionPanel::GetStampBits() const { return StampBitsOf(&iStamp, iStamp.width, iStamp.height); }

void ToolOptionPanel::icStamp_Click()
{
    const int n = icStamp->currentIndex() + 1;
    if (n < 1 || n > kBuiltInStampCount) return;
    iStamp = builtInStampPicture(n);
    {
        BusyPointer busy;
        StampBits() = GetStampBits();
    }
    iStampD->setPixmap(QPixmap::fromImage(builtInStampIcon(n)));
}

void ToolOptionPanel::cbStamps_Click()
{
    const int i = cbStamps->currentIndex();
    if (i < 0 || i >= static_cast<int>(flStamps.size())) return;
    // A file that cannot be read leaves the picture (and so the stamp) as it
    // was; the preview and the pixels are taken from it again.
    if (std::optional<DibRecord> picture =
            loadPlatformPicture(platform::joinPath(flStampsPath, flStamps[static_cast<size_t>(i)])))
        iStamp = std::move(*picture);
    iStampD->setPixmap(QPixmap::fromImage(platform::imageFromDib(iStamp)));
    BusyPointer busy;
    StampBits() = GetStampBits();
}

void ToolOptionPanel::listStampFolder()
{
    const std::string folder = platform::joinPath(platform::programFolder(), kStampsFolder);
    if (!mBitmap::FileExists(folder)) return;
    flStampsPath = folder;
    flStamps = ListStampFiles(folder);
    if (flStamps.empty()) return;
    for (const std::string& name : flStamps) cbStamps->addItem(QString::fromStdString(stampEntryCaption(name)));
    // The first file becomes the current stamp instead of built-in stamp 1.
    cbStamps->setCurrentIndex(0);
    cbStamps_Click();
}

void ToolOptionPanel::MaskColor_Click()
{
    const int32_t c = MaskColor->BackColor();
    if (platform::ColourPicker* picker = platform::ports().colourPicker)
        if (std::optional<int32_t> chosen = picker->pick(c)) MaskColor->setBackColor(*chosen);
    programSettings().StampMaskColor = MaskColor->BackColor();
}

void ToolOptionPanel::MaskColor_Change() { programSettings().StampMaskColor = MaskColor->BackColor(); }

} // namespace tq::tools
