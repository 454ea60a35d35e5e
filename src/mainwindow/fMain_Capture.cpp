// Screen capture into a new document and the desktop wallpaper: the capture
// and wallpaper keys of the main window's static dispatcher, the capture
// itself and its one-shot timer.
#include "document/PictureBudget.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "document/SharedRoutines.h"
#include "mainwindow/OpenDocument.h"
#include "mainwindow/fMain.h"
#include "mainwindow/ScreenCapture.h"
#include "mainwindow/Startup.h"
#include "mainwindow/Wallpaper.h"
#include "platform/DesktopWallpaper.h"
#include "platform/Folders.h"
#include "core/PictureMemory.h"
#include "platform/Ports.h"
#include "platform/SkippedStep.h"
#include "toolwindows/ToolWindowRegistry.h"

#include <QMdiSubWindow>
#include <QPointer>

#include <algorithm>

namespace tq {
namespace {

constexpr const char* kNoScreenGrabText = "This desktop session does not let programs capture the screen.";
constexpr const char* kCapturedName = "New.bmp";

// The tool windows in the order the capture hides and shows them.
constexpr const char* kCaptureToolOrder[] = {"fToolColor", "fPaste", "fToolTextures", "fToolBrowser", "fPanView"};

// Calls f with each loaded tool window of this main window whose visible
// flag is set, in the capture's order. The flags themselves never change,
// so the capture shows the same windows again.
template <class F>
void forFlaggedToolWindows(const fMain& main, F f)
{
    mStart* shell = mStart::running();
    if (!shell || shell->main() != &main) return;
    const Settings& s = programSettings();
    const auto all = toolWindowSlots();
    for (const char* name : kCaptureToolOrder) {
        const ToolWindowSlot* slot = toolWindowByName(name);
        if (!slot || !(s.*slot->visible)) continue;
        if (QWidget* w = shell->toolWindow(static_cast<int>(slot - all.data()))) f(w);
    }
}

// Tells the user when the session gives no way to grab the screen.
bool screenCanBeGrabbed()
{
    if (platform::ports().screenGrab->canGrab()) return true;
    platform::MsgBox(kNoScreenGrabText, platform::MsgButtons::OK, platform::MsgIcon::Information,
                     platform::kProgramName);
    return false;
}

struct WallpaperKey {
    const char* key;
    int16_t style;
};
constexpr WallpaperKey kWallpaperKeys[] = {{"WTILE", 1}, {"WCENTER", 0}, {"WSTRETCH", 2}};

int16_t sideForNewWindow(int side) { return static_cast<int16_t>(std::clamp(side, 0, 32767)); }

} // namespace

// ---- The capture keys ----------------------------------------------------------

void fMain::cmdCaptureDesktop(const std::string&)
{
    if (!screenCanBeGrabbed()) return;
    hideForCapture();
    // Ours hidden first, so the desktop clears only the other programs'
    // windows and has none of ours to give back.
    platform::ScreenGrab& grab = *platform::ports().screenGrab;
    if (grab.canShowDesktop() && grab.showDesktop(true)) desktopShown_ = true;
    enableTimerCapture();
}

void fMain::cmdCaptureForeground(const std::string&)
{
    if (!screenCanBeGrabbed()) return;
    capturePicture(1);
}

void fMain::cmdCaptureBackground(const std::string&)
{
    if (!screenCanBeGrabbed()) return;
    hideForCapture();
    enableTimerCapture();
}

void fMain::hideForCapture()
{
    hide();
    forFlaggedToolWindows(*this, [](QWidget* w) { w->hide(); });
    setWindowState(windowState() | Qt::WindowMinimized);
}

void fMain::endShowingDesktop()
{
    if (!desktopShown_) return;
    desktopShown_ = false;
    platform::ports().screenGrab->showDesktop(false);
}

void fMain::cmdCustomCapture(const std::string&) { capturePicture(2); }

void fMain::enableTimerCapture()
{
    if (timerCaptureEnabled_) return;
    timerCaptureEnabled_ = true;
    // The delay lets the desktop repaint what the hidden windows covered.
    platform::ports().timers->singleShot(kTimerCaptureInterval, [self = QPointer<fMain>(this)] {
        if (self && self->timerCaptureEnabled_) self->timerCapture_Timer();
    });
}

void fMain::timerCapture_Timer()
{
    step([&] { capturePicture(0); });
    timerCaptureEnabled_ = false;
}

// ---- The capture -------------------------------------------------------------------

void fMain::capturePicture(int16_t wnd)
{
    // Only the two kinds capture; any other makes no window at all.
    if (wnd != 0 && wnd != 1) return;
    const platform::ScreenSize screen = platform::ports().screenGrab->screenSize();

    QImage picture;
    step([&] {
        picture = wnd == 0 ? mCapture::CaptureScreen()
                           : mCapture::CaptureWindow(0, 0, 0, screen.width, screen.height);
    });
    // The other programs' windows come back before ours.
    step([&] { endShowingDesktop(); });

    // A grab that brought nothing makes no document: the windows only come
    // back.
    // A grab too large for the memory budget makes none either; the user
    // hears why once the windows are back.
    const bool fits = picture.isNull() || pictureFitsMemory(picture.width(), picture.height());
    fImage* doc = nullptr;
    if (!picture.isNull() && fits) {
        step([&] {
            ImageWidth() = sideForNewWindow(picture.width());
            ImageHeight() = sideForNewWindow(picture.height());
            doc = CreateDocumentWindow(*this, NewDocument{[&](fImage& d) {
                                                              d.iSrc.clearPicture();
                                                              d.iSrc.setPicture(picture);
                                                              d.iSrc.AutoRedraw = true;
                                                              bool saveundo = false;
                                                              d.SetPicture(saveundo);
                                                              if (!d.PictureExists()) return false;
                                                              d.BitsRegion.Init(0, 0, d.PictureWidth(),
                                                                                d.PictureHeight());
                                                              return true;
                                                          },
                                                          platform::joinPath(platform::programFolder(),
                                                                             kCapturedName),
                                                          {}});
        });
    }
    if (doc) {
        ActiveImage() = doc;
        step([&] { doc->document().SaveUndoBits(LastActionName()); });
        const Settings& s = programSettings();
        if (s.InitialZoom > 1) step([&] { doc->setZoomFactor(s.InitialZoom); });
    }

    // The main window ends maximised whatever its state before, then the
    // tool windows, the document and the main window are shown.
    step([&] { setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized); });
    step([&] {
        if (mStart* shell = mStart::running(); shell && shell->main() == this) shell->MDIForm_Resize();
    });
    step([&] { forFlaggedToolWindows(*this, [](QWidget* w) { w->show(); }); });
    step([&] {
        if (doc) {
            if (QWidget* frame = doc->parentWidget()) frame->show();
            doc->show();
        }
    });
    step([&] { show(); });
    // Shown again, the main window makes the new document its active one.
    if (doc) step([&] { activateDocument(doc); });
    if (!fits) tellPictureTooLarge(picture.width(), picture.height());
}

// ---- The wallpaper keys --------------------------------------------------------

void fMain::cmdWallpaper(const std::string& key)
{
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    const auto it = std::find_if(std::begin(kWallpaperKeys), std::end(kWallpaperKeys),
                                 [&](const WallpaperKey& k) { return key == k.key; });
    if (it == std::end(kWallpaperKeys)) return;
    // Without a data folder there is nowhere to keep the bitmap (never the
    // working folder).
    const std::string folder = mAPI::GetWindowsDir();
    if (folder.empty()) return;
    const std::string file = platform::joinPath(folder, mWallpaper::kWallpaperFileName);
    // The bitmap is written beside the old one and renamed over it only when
    // complete; a write that fails keeps the old wallpaper, and the desktop
    // is left as it was rather than shown a picture that is not this one.
    if (!doc->save(file, "bmp")) return;
    mWallpaper::ApplyWallpaper(file, platform::kDesktopKey, it->style);
}

} // namespace tq
