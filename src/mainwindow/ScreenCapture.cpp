#include "mainwindow/ScreenCapture.h"

#include "platform/Ports.h"
#include "platform/QtImage.h"

#include <optional>

namespace tq::mCapture {

namespace {

void internalError()
{
    platform::MsgBox(kInternalErrorText, platform::MsgButtons::OK, platform::MsgIcon::Information,
                     kInternalErrorTitle);
}

} // namespace

uint64_t GetDesktopWindow() { return 0; }

QImage CaptureScreen()
{
    const platform::ScreenSize screen = platform::ports().screenGrab->screenSize();
    return CaptureWindow(GetDesktopWindow(), 0, 0, screen.width, screen.height);
}

QImage CaptureWindow(uint64_t hWndSrc, int32_t LeftSrc, int32_t TopSrc, int32_t WidthSrc, int32_t HeightSrc)
{
    const std::optional<DibRecord> grabbed =
        platform::ports().screenGrab->grabWindow(hWndSrc, LeftSrc, TopSrc, WidthSrc, HeightSrc);
    if (!grabbed) {
        internalError();
        return {};
    }
    return CreateBitmapPicture(*grabbed);
}

QImage CreateBitmapPicture(const DibRecord& bitmap)
{
    QImage picture;
    try {
        picture = platform::imageFromDib(bitmap);
    } catch (const std::bad_alloc&) {
        picture = QImage();
    }
    if (picture.isNull()) internalError();
    return picture;
}

void RegSetString(const std::string& sKeyName, const std::string& sValueName, const std::string& sValueSetting)
{
    using namespace platform;
    switch (ports().wallpaper->setString(sKeyName, sValueName, sValueSetting)) {
    case StoreWrite::Written:
    case StoreWrite::KeyMissing: break;
    case StoreWrite::Failed: MsgBox(kSetValueErrorText, MsgButtons::OK, MsgIcon::None, kProgramName); break;
    }
}

} // namespace tq::mCapture
