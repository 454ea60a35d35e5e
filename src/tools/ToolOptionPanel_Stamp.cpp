// The stamp choices of the Stamp frame and its mask colour swatch.
#include "tools/ToolOptionPanel.h"

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/PictureRoutines.h"
#include "platform/Folders.h"
#include "picturefiles/PictureLoader.h"
#include "platform/Ports.h"
#include "platform/QtImage.h"
#include "widgets/ColourSwatch.h"
#include "tools/StampPictures.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPointer>

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
    // This choice replaces a start-up choice still waiting to be decoded.
    programContext().PendingStamp = nullptr;
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
    programContext().PendingStamp = nullptr;
    chooseStampFile(i);
}

bool ToolOptionPanel::chooseStampFile(int i)
{
    const auto at = static_cast<size_t>(i);
    std::optional<DibRecord> picture;
    {
        BusyPointer busy;
        picture = loadPlatformPicture(platform::joinPath(flStampsPath, flStamps[at]));
    }
    if (!picture) {
        // The listing only looked at the file's first bytes: a file that
        // does not decode is dropped now, and the stamp stays as it was.
        flStamps.erase(flStamps.begin() + i);
        cbStamps->removeItem(i);
        if (lastStampEntry_ == i)
            lastStampEntry_ = -1;
        else if (lastStampEntry_ > i)
            --lastStampEntry_;
        cbStamps->setCurrentIndex(lastStampEntry_);
        return false;
    }
    iStamp = std::move(*picture);
    lastStampEntry_ = i;
    cbStamps->setCurrentIndex(i);
    // The preview is drawn stretched over its few pixels: it is made at
    // that size once rather than scaled from the whole picture at every paint.
    iStampD->setPixmap(QPixmap::fromImage(platform::imageFromDib(iStamp).scaled(
        iStampD->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    BusyPointer busy;
    programContext().StampBits = GetStampBits();
    return true;
}

void ToolOptionPanel::chooseFirstStampFile()
{
    while (!flStamps.empty() && !chooseStampFile(0)) {
    }
}

void ToolOptionPanel::listStampFolder()
{
    const std::string folder = platform::joinPath(platform::programFolder(), kStampsFolder);
    if (!mBitmap::FileExists(folder)) return;
    flStampsPath = folder;
    flStamps = ListStampFiles(folder);
    if (flStamps.empty()) return;
    for (const std::string& name : flStamps) cbStamps->addItem(QString::fromStdString(stampEntryCaption(name)));
    // The first file becomes the current stamp instead of built-in stamp 1,
    // decoded when the stamp is first needed (a file that does not decode
    // then leaves the list and the next one is taken), so that a large stamp
    // picture costs start-up nothing.
    cbStamps->setCurrentIndex(0);
    programContext().PendingStamp = [panel = QPointer<ToolOptionPanel>(this)] {
        if (panel) panel->chooseFirstStampFile();
    };
}

bool ToolOptionPanel::eventFilter(QObject* watched, QEvent* e)
{
    // The Stamp frame shows the current stamp's preview.
    if (watched == Stamp && e->type() == QEvent::Show) takePendingStamp();
    return QToolBar::eventFilter(watched, e);
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
