#include "mainwindow/WindowCommands.h"

#include "document/Settings.h"
#include "document/fImage.h"
#include "platform/Ports.h"
#include "mainwindow/FileCommands.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

#include <system_error>

namespace tq {

namespace fs = std::filesystem;

void RunOpenCommand(Settings& s, const fs::path& programFolder,
                    const std::function<void(const std::string& path, const std::string& ext)>& loadBitmap)
{
    std::string folder = s.OpenFolder.text();
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(fs::u8path(folder), ec)) {
        folder = programFolder.string();
        s.OpenFolder.assign(folder);
    }
    platform::FileDialogRequest request;
    request.title = "Talvex Quarlend";
    request.initialDir = folder;
    request.filter = OpenFileFilter();
    const std::optional<platform::FileDialogAnswer> answer = platform::ports().pictureDialogs->open(request);
    if (!answer) return;
    std::string path = answer->path;
    // A typed name that names no file loses the extension the dialog added.
    if (!fs::exists(fs::u8path(path), ec) && path.size() >= 4) path.erase(path.size() - 4);
    if (loadBitmap) loadBitmap(path, LowerCase(FileExtension(path)));
    s.OpenFolder.assign(answer->folder.empty() ? FolderWithSlash(answer->path) : answer->folder);
}

void ArrangeDocuments(QMdiArea* mdi, int code)
{
    if (!mdi) return;
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : mdi->subWindowList())
        if (w->isVisible() && !w->isMinimized()) windows << w;
    if (windows.isEmpty()) return;
    if (code == 0) {
        // Each window keeps its own size, as tiling keeps the order: only
        // the places change. The toolkit's own cascade would shrink every
        // document to its size hint, a bare title strip.
        QMdiSubWindow* active = mdi->activeSubWindow();
        const QSize area = mdi->viewport()->size();
        for (int i = 0; i < windows.size(); ++i) {
            QMdiSubWindow* w = windows[i];
            if (w->isMaximized()) w->showNormal();
            const int step = w->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, w);
            w->move(cascadePosition(i, w->size(), area, step));
            w->raise();
        }
        if (active) mdi->setActiveSubWindow(active);
        return;
    }
    const QRect area = mdi->viewport()->rect();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* w = windows[i];
        w->showNormal();
        if (code == 1) {
            const int top = area.height() * i / n;
            w->setGeometry(0, top, area.width(), area.height() * (i + 1) / n - top);
        } else {
            const int left = area.width() * i / n;
            w->setGeometry(left, 0, area.width() * (i + 1) / n - left, area.height());
        }
    }
}

} // namespace tq
