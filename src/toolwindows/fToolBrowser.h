// The thumbnail browser: a floating tool window ("Thumbnail Browser") with
// a folder tree on the left and, on the right, the picture files of the
// chosen folder as a list (four views) or as a grid of thumbnails; a
// double-click opens a file as a new document of the main window.
//
// Layout, top to bottom: the caption strip of every tool window, the tool
// bar `tb` (13 buttons, 3 of them separators), then the splitter
// `bSplitter` with the tree `fd` left and the pane `picFrame` right. The
// pane holds the list `lv` and, in thumbnail view, the panel of cells
// `picSlide` with its scroll bar `V`.
//
// Thumbnails are built a file at a time, each file in its own turn of the
// event loop (a zero timer of the platform's timers): the list shows at
// once, the cells fill in one by one, and the window, the tree and the
// buttons stay usable meanwhile. StopFlag ends a build at its next file: the
// stop button and a folder change set it, and so does a list view button
// (a list chosen during a build would otherwise be covered by the panel of
// the build's next cells). A new build replaces a running one at once.
#pragma once

#include "toolwindows/ThumbnailRender.h"
#include "toolwindows/FloatingToolWindow.h"

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QAction;
class QButtonGroup;
class QLabel;
class QProgressBar;
class QScrollBar;
class QToolBar;
class QToolButton;

namespace tq {

class BrowserFileList;
class FolderTree;
class Splitter;

class fToolBrowser : public FloatingToolWindow {
    Q_OBJECT
public:
    // Size floors of the full-height window, in twips.
    static constexpr int32_t kMinWidthTwips = 5000;
    static constexpr int32_t kMinHeightTwips = 3000;
    static constexpr int kToolbarHeight = 26;
    static constexpr int kButtonCount = 13;

    explicit fToolBrowser(QWidget* owner);
    ~fToolBrowser() override;

    // ---- State ------------------------------------------------------------------
    // The thumbnail view is on.
    bool ThumbnailFlag = false;
    // No build is running, or a stop was asked for.
    bool StopFlag() const { return StopFlag_; }
    void setStopFlag(bool v) { StopFlag_ = v; }
    bool RolledUp() const { return RolledUp_; }
    // The folder listed last ("" before the first listing); read by tests.
    const std::string& currentFolder() const { return CurrentFolder_; }

    // ---- Controls ----------------------------------------------------------------
    QToolBar* tb = nullptr;
    Splitter* bSplitter = nullptr;
    FolderTree* fd = nullptr;
    QWidget* picFrame = nullptr;
    BrowserFileList* lv = nullptr;
    QWidget* picSlide = nullptr;
    QScrollBar* V = nullptr;
    QWidget* picPb = nullptr;
    QProgressBar* cFilterProgress = nullptr;
    // The cells: element 0 leads one folder up, element j shows list row j.
    std::vector<QToolButton*> optThumb;
    std::vector<QLabel*> optLabel;
    std::vector<QLabel*> optResolution;
    // The file-type icons by extension, 32 x 32 and 16 x 16.
    QHash<QString, QPixmap> iLargeFormat;
    QHash<QString, QPixmap> iSmallFormat;
    // The last decoded picture and the last thumbnail (released at the end
    // of a build), and the bitmap objects of the last reduction.
    DibRecord picLoad;
    QImage picThumb;
    browser::ThumbnailBitmaps Thumbs;

    // Tool bar button by index (1..13; separators at 3, 9 and 12).
    QAction* tbButton(int index) const;

    // ---- Members ------------------------------------------------------------------
    // Lists folP into lv, then rebuilds the thumbnails in thumbnail view.
    void FolderView(const std::string& folP);
    // The file-type icons of the 50 icon extensions, drawn by the program
    // (FileTypeIcons.h); any other key gets the generic file picture.
    void ExtractIcon();
    // Starts a build of the cells from lv.
    void CreateThumbs();
    // Lays the existing cells out and sets the scroll range.
    void thumb_resize();
    // Decodes one file into picLoad and its thumbnail into picThumb (a
    // placeholder when it cannot be decoded). True when it was decoded;
    // ImageWidth, ImageHeight and ImageBPP then hold its size and depth.
    bool getThumb(const std::string& path, const std::string& extension, int16_t mode);
    // Runs the build's pending turns until it ends (for callers that need
    // the whole grid now).
    void finishThumbs();

    // ---- Handlers ---------------------------------------------------------------------
    void tb_ButtonClick(int index);
    // The tree's selection: path "" for a virtual folder, which only the
    // one named "Desktop" turns into a folder (the user's desktop).
    void fd_FolderClick(const std::string& path, const std::string& displayName);
    // Opens list row n (from 1) as a document; nothing for a row that does
    // not exist.
    void OpenListItem(int n);
    // The tree selects the parent of its folder (nothing at the root).
    void FolderUp();
    void optThumb_Click(int index);
    void optThumb_DblClick(int index);
    void lv_DblClick();
    void V_Change();

protected:
    void Form_Resize() override;
    void applySizeLimits() override;
    void setRolledUpFlag(bool rolled) override { RolledUp_ = rolled; }
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Form_Load();
    void buildToolbar();
    void showList(int view);
    void makeCell(int j);
    void destroyCells();
    void scheduleTurn(uint64_t build, int j, int count);
    void thumbTurn(uint64_t build, int j, int count);
    void endBuild(bool stopped);

    // The turn a build runs next; a timer runs it unless finishThumbs or a
    // newer build came first.
    struct Turn {
        bool pending = false;
        uint64_t build = 0;
        int j = 0;
        int count = 0;
    };

    bool StopFlag_ = true;
    bool RolledUp_ = false;
    bool InLayout_ = false;
    uint64_t Build_ = 0;
    Turn Next_;
    std::string CurrentFolder_;
    std::array<QAction*, kButtonCount + 1> Buttons_{};
    QButtonGroup* CellGroup_ = nullptr;
};

} // namespace tq
