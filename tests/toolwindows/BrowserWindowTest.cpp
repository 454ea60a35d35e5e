// The thumbnail browser window driven as a user drives it: the saved view
// and folder at load, the list, the thumbnail build a file per turn (with
// the stop button, a folder change and the list buttons in between), the
// cells and their double-click, the size rules, roll-up and close.
//
// The build's turns are the platform timers' zero-delay actions; the test
// doubles keep them queued, so a test runs the build one file at a time and
// acts between two files as a user can.
#include "document/PictureFixtures.h"
#include "document/PictureRouting.h"
#include "toolwindows/BrowserFileList.h"
#include "toolwindows/FileTypeIcons.h"
#include "toolwindows/FolderTree.h"
#include "toolwindows/fToolBrowser.h"
#include "mainwindow/CommandFixture.h"
#include "widgets/Splitter.h"
#include "ScopedEnv.h"

#include <QAction>
#include <QApplication>
#include <QFileSystemModel>
#include <QIcon>
#include <QTreeView>
#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace tq;
using tq::testing::CommandFixture;
namespace fs = std::filesystem;

namespace {

class BrowserTest : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        programSettings() = defaultSettings(programDir.path().toStdString());
        root = programDir.path().toStdString() + "/pictures";
        fs::create_directories(root);
    }
    void TearDown() override
    {
        browser.reset();
        CommandFixture::TearDown();
    }

    // count pictures w x h named <stem>NNN.png in a new folder.
    std::string makeFolder(const std::string& name, int count, int w = 16, int h = 12)
    {
        const std::string folder = root + "/" + name;
        fs::create_directories(folder);
        const DibRecord pic = tq::testing::makePicture(w, h);
        for (int i = 0; i < count; ++i) {
            char file[32];
            std::snprintf(file, sizeof file, "/p%03d.png", i);
            EXPECT_TRUE(mBitmap::SaveImageFile(folder + file, "png", pic));
        }
        return folder;
    }

    fToolBrowser& open(const std::string& folder)
    {
        programSettings().BrowserFolder.assign(folder);
        browser = std::make_unique<fToolBrowser>(main.get());
        browser->show();
        return *browser;
    }

    // Runs the build's next file; false when nothing was pending.
    bool step()
    {
        if (ports.timers.pending.empty()) return false;
        auto action = std::move(ports.timers.pending.front().second);
        ports.timers.pending.pop_front();
        action();
        return true;
    }
    void runBuild() { ports.timers.runAll(); }

    int cells() const { return static_cast<int>(browser->optThumb.size()); }

    std::string root;
    std::unique_ptr<fToolBrowser> browser;
};

} // namespace

TEST_F(BrowserTest, LoadRestoresTheSavedFolderAndViewWithoutBuildingThumbnails)
{
    const std::string folder = makeFolder("saved", 3);
    const std::string stored = "   " + folder;
    if (stored.size() > programSettings().BrowserFolder.size) GTEST_SKIP() << "TMPDIR is too long for the saved folder";
    programSettings().BrowserView = 8;
    fToolBrowser& b = open(stored);
    EXPECT_EQ(programSettings().BrowserFolder.text(), folder) << "trimmed and written back";
    EXPECT_EQ(b.lv->ListCount(), 3);
    EXPECT_EQ(b.lv->View(), BrowserFileList::kReport) << "the thumbnail view opens as details";
    EXPECT_TRUE(b.lv->isVisibleTo(&b));
    EXPECT_FALSE(b.picSlide->isVisibleTo(&b));
    EXPECT_FALSE(b.ThumbnailFlag);
    EXPECT_TRUE(b.StopFlag());
    EXPECT_TRUE(ports.timers.pending.empty()) << "no build at start-up";
    for (int i = 1; i <= fToolBrowser::kButtonCount; ++i) {
        if (QAction* a = b.tbButton(i); a && a->isCheckable()) {
            EXPECT_FALSE(a->isChecked()) << i;
        }
    }
    EXPECT_EQ(programSettings().BrowserView, 8);
    EXPECT_EQ(b.fd->SelectedFolder().toStdString(), folder);
    // The splitter as stored: 30 % of the width, kept between 20 and 70.
    EXPECT_EQ(b.bSplitter->SplitterPosition(), 30);
    EXPECT_EQ(b.bSplitter->SplitterMin(), 20);
    EXPECT_EQ(b.bSplitter->SplitterMax(), 70);
    EXPECT_EQ(b.fd->width(), b.bSplitter->width() * 30 / 100);

    // A click on a folder of the tree lists it.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    const QModelIndex parent = b.fd->model()->index(QString::fromStdString(root));
    b.fd->view()->scrollTo(parent);
    // The part of its row in sight: the column may reach past the tree.
    const QRect item = b.fd->view()->visualRect(parent).intersected(b.fd->view()->viewport()->rect());
    ASSERT_FALSE(item.isEmpty());
    QTest::mouseClick(b.fd->view()->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(b.currentFolder(), root);
    EXPECT_EQ(programSettings().BrowserFolder.text(), root);
    EXPECT_EQ(b.lv->ListCount(), 0);

    // Each view button picks its view and is remembered.
    const std::pair<int, int> views[] = {{5, BrowserFileList::kSmallIcon}, {6, BrowserFileList::kIcon},
                                         {7, BrowserFileList::kList}, {4, BrowserFileList::kReport}};
    for (auto [button, view] : views) {
        b.tb_ButtonClick(button);
        EXPECT_EQ(b.lv->View(), view);
        EXPECT_EQ(programSettings().BrowserView, button);
    }
}

// A folder clicked in the tree leaves the keyboard with the tree: the arrow
// keys then move through the folders, listing each.
TEST_F(BrowserTest, AClickInTheFolderTreeGivesItTheKeyboard)
{
    const std::string first = makeFolder("a", 1);
    const std::string second = makeFolder("b", 2);
    fToolBrowser& b = open(root);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    QTreeView* tree = b.fd->view();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == main.get(); }, 2000));
    const QModelIndex a = b.fd->model()->index(QString::fromStdString(first));
    // Both folders known to the tree, which reads and sorts them on its own
    // time.
    tree->expand(a.parent());
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.fd->model()->rowCount(a.parent()) == 2; }, 5000));
    QTest::qWait(50);
    tree->scrollTo(a);
    // Under a deep temporary folder the row is indented past the tree's
    // right edge: scroll across to where its text starts.
    QScrollBar* across = tree->horizontalScrollBar();
    across->setValue(across->value() + tree->visualRect(a).left());
    // The part of its row in sight: the column may reach past the tree.
    const QRect item = tree->visualRect(a).intersected(tree->viewport()->rect());
    ASSERT_FALSE(item.isEmpty());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(b.currentFolder(), first);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &b; }, 2000));
    QTest::qWait(20);
    EXPECT_EQ(QApplication::activeWindow(), &b);
    EXPECT_TRUE(tree->hasFocus());

    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(b.currentFolder(), second);
    EXPECT_EQ(b.lv->ListCount(), 2);
    EXPECT_TRUE(tree->hasFocus());

    // A folder the program selects hands the keyboard to the main window.
    b.fd->setSelectedFolder(QString::fromStdString(first));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == main.get(); }, 2000));
}

TEST_F(BrowserTest, AMissingSavedFolderListsNothing)
{
    programSettings().BrowserView = 6;
    fToolBrowser& b = open(root + "/gone");
    EXPECT_EQ(b.lv->ListCount(), 0);
    EXPECT_EQ(b.lv->View(), BrowserFileList::kIcon);
    EXPECT_EQ(programSettings().BrowserFolder.text(), root + "/gone");
    // While the tree fills in, it lists nothing of its own accord.
    b.fd->show();
    QTest::qWait(150);
    EXPECT_EQ(b.lv->ListCount(), 0);
    EXPECT_EQ(b.currentFolder(), "");
    EXPECT_EQ(b.fd->SelectedFolder(), "");
    // A thumbnail build over no files shows the progress box and hides it
    // again; with no layout call of its own the panel stays hidden.
    b.CreateThumbs();
    EXPECT_EQ(cells(), 1);
    EXPECT_FALSE(b.picPb->isVisibleTo(&b));
    EXPECT_FALSE(b.picSlide->isVisibleTo(&b));
    EXPECT_TRUE(b.StopFlag());
}

TEST_F(BrowserTest, DeepFoldersScrollSidewaysInTheTree)
{
    std::string deep = root;
    // Short names, so the path fits the saved folder's 256 characters.
    for (int level = 1; level <= 14; ++level) deep += "/level " + std::to_string(level);
    fs::create_directories(deep);
    fToolBrowser& b = open(deep);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    QTreeView* tree = b.fd->view();
    const QModelIndex folder = b.fd->model()->index(QString::fromStdString(deep));
    ASSERT_TRUE(folder.isValid());
    QTest::qWait(50);
    // The saved folder is the one shown.
    EXPECT_EQ(tree->currentIndex(), folder);

    // The deepest name, after its indentation and icon, lies within the
    // column, and the tree can be scrolled to its end.
    const QString name = b.fd->model()->fileName(folder);
    const int end = tree->visualRect(folder).left() + tree->horizontalScrollBar()->value() + tree->iconSize().width() +
                    tree->fontMetrics().horizontalAdvance(name);
    EXPECT_GE(tree->columnWidth(0), end);
    EXPECT_GT(end, tree->viewport()->width()) << "the case needs a name past the tree's width";
    EXPECT_GE(tree->horizontalScrollBar()->maximum() + tree->viewport()->width(), end);
    EXPECT_TRUE(tree->horizontalScrollBar()->isVisible());
}

TEST_F(BrowserTest, TheDateColumnsShowTheirDatesWhole)
{
    fToolBrowser& b = open(makeFolder("dated", 2));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    QTreeView* details = b.lv->details();
    ASSERT_TRUE(details->isVisible());
    ASSERT_EQ(b.lv->ListCount(), 2);
    for (int column : {5, 6}) {
        const QModelIndex cell = b.lv->model()->index(0, column);
        const QString text = cell.data().toString();
        EXPECT_EQ(text.size(), column == 5 ? 10 : 19) << text.toStdString();
        // The width the list's own drawing asks for the cell.
        QStyleOptionViewItem option;
        option.initFrom(details);
        option.font = details->font();
        option.features = QStyleOptionViewItem::HasDisplay;
        option.text = text;
        const int needed = details->itemDelegateForIndex(cell)->sizeHint(option, cell).width();
        EXPECT_GE(details->columnWidth(column), needed) << text.toStdString();
    }
}

TEST_F(BrowserTest, FiveHundredPicturesListAtOnceAndFillInOneCellATurn)
{
    const std::string big = makeFolder("big", 500);
    const std::string other = makeFolder("other", 4);
    fToolBrowser& b = open(big);
    EXPECT_EQ(b.lv->ListCount(), 500) << "listed at once";

    b.tb_ButtonClick(8);
    EXPECT_TRUE(b.ThumbnailFlag);
    EXPECT_FALSE(b.StopFlag());
    EXPECT_EQ(cells(), 1) << "nothing decoded before the event loop runs";
    EXPECT_TRUE(b.picSlide->isVisibleTo(&b)) << "cell 0 shows at once";
    EXPECT_TRUE(b.picPb->isVisibleTo(&b));
    EXPECT_EQ(b.cFilterProgress->maximum(), 500);

    for (int j = 1; j <= 3; ++j) {
        ASSERT_TRUE(step());
        EXPECT_EQ(cells(), j + 1);
        EXPECT_EQ(b.cFilterProgress->value(), j);
        EXPECT_TRUE(b.optThumb[size_t(j)]->isVisibleTo(&b));
        EXPECT_EQ(b.optResolution[size_t(j)]->text(), "16x12x24b");
        // Between two files the window answers: the grid follows a resize.
        b.resize(b.width() + 10, b.height());
    }
    EXPECT_EQ(ports.timers.pending.size(), 1u) << "one file per turn";

    // Another folder mid-way: the old build ends, the new folder's builds.
    b.fd->setSelectedFolder(QString::fromStdString(other));
    EXPECT_EQ(b.lv->ListCount(), 4);
    EXPECT_EQ(cells(), 1);
    runBuild();
    EXPECT_EQ(cells(), 5);
    EXPECT_TRUE(b.StopFlag());
    EXPECT_FALSE(b.picPb->isVisibleTo(&b));
    EXPECT_EQ(programSettings().BrowserFolder.text(), other);

    // And the whole folder of 500 to its end.
    b.fd->setSelectedFolder(QString::fromStdString(big));
    runBuild();
    ASSERT_EQ(cells(), 501);
    // Every cell has its place in the grid; the scroll range reaches the last row.
    const int k = std::max(1, (b.picFrame->width() - 75) / 70);
    EXPECT_EQ(b.optThumb[500]->y(), int(std::nearbyint((500 / k) * 1.55 * 60)));
    EXPECT_TRUE(b.V->isEnabled());
    EXPECT_EQ(b.V->maximum(), b.picSlide->height() - b.picFrame->height());
    b.V->setValue(b.V->maximum());
    EXPECT_EQ(b.picSlide->y(), -b.V->maximum());
}

TEST_F(BrowserTest, CellsShowThumbnailNameAndSizeOrAPlaceholder)
{
    const std::string folder = root + "/mixed";
    fs::create_directories(folder);
    ASSERT_TRUE(mBitmap::SaveImageFile(folder + "/a.png", "png", tq::testing::makePicture(120, 40)));
    std::ofstream(folder + "/b-broken.jpg") << "not a picture at all";
    ASSERT_TRUE(mBitmap::SaveImageFile(folder + "/c-a-rather-long-file-name.png", "png", tq::testing::makePicture(8, 8)));
    fToolBrowser& b = open(folder);
    b.tb_ButtonClick(8);
    runBuild();
    ASSERT_EQ(cells(), 4);
    EXPECT_EQ(b.optLabel[0]->text(), "One Level up..");
    EXPECT_EQ(b.optResolution[0]->text(), "");
    EXPECT_EQ(b.optLabel[1]->text(), "a.png");
    EXPECT_EQ(b.optResolution[1]->text(), "120x40x24b");
    // 120 x 40 fitted into 65 x 55.
    EXPECT_EQ(b.optThumb[1]->iconSize(), QSize(65, 22));
    // The undecodable file: a placeholder of the cell less 5, no size.
    EXPECT_EQ(b.optResolution[2]->text(), "");
    EXPECT_EQ(b.optThumb[2]->iconSize(), QSize(65, 55));
    EXPECT_NE(b.optThumb[2]->icon().pixmap(65, 55).toImage(), b.optThumb[1]->icon().pixmap(65, 22).toImage());
    EXPECT_TRUE(b.optLabel[3]->text().endsWith("...")) << b.optLabel[3]->text().toStdString();
    EXPECT_EQ(b.optResolution[3]->text(), "8x8x24b");
    // Labels under the button, one after the other.
    EXPECT_EQ(b.optLabel[1]->y(), b.optThumb[1]->y() + 60);
    EXPECT_EQ(b.optResolution[1]->y(), b.optLabel[1]->y() + 17);

    // Every type has its two icons, and a row shows its type's; a type that
    // has lost them still shows the generic one, and its files stay listed.
    EXPECT_EQ(b.iLargeFormat.size(), 50);
    for (const QPixmap& p : b.iLargeFormat) EXPECT_FALSE(p.isNull());
    for (const QPixmap& p : b.iSmallFormat) EXPECT_FALSE(p.isNull());
    const auto rowIcon = [&](int row, int side) {
        const QVariant icon = b.lv->model()->data(b.lv->model()->index(row, 0), Qt::DecorationRole);
        return icon.value<QIcon>().pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    for (int side : {32, 16}) {
        EXPECT_EQ(rowIcon(0, side), browser::fileTypePicture("png", side)) << b.lv->ListItem(1)->name;
        EXPECT_NE(rowIcon(0, side), browser::fileTypePicture("", side));
    }
    b.iLargeFormat.remove(QStringLiteral("png"));
    b.iSmallFormat.remove(QStringLiteral("png"));
    b.FolderView(folder);
    EXPECT_EQ(b.lv->ListCount(), 3);
    const QVariant icon = b.lv->model()->data(b.lv->model()->index(0, 0), Qt::DecorationRole);
    EXPECT_FALSE(icon.value<QIcon>().isNull());
    runBuild();

    // A pane too narrow for one column still shows one.
    b.bSplitter->setSplitterPosition(70);
    b.resize(333, b.height());
    QCoreApplication::processEvents();
    ASSERT_LT(b.picFrame->width(), 75 + 70);
    for (int i = 1; i < cells(); ++i) EXPECT_EQ(b.optThumb[size_t(i)]->pos(), QPoint(0, i * 93)) << i;

    // Names hidden: the resolution label moves up under the button.
    programSettings().ShowFileName = 0;
    b.thumb_resize();
    EXPECT_FALSE(b.optLabel[1]->isVisibleTo(&b));
    EXPECT_TRUE(b.optLabel[0]->isVisibleTo(&b)) << "cell 0 keeps its caption";
    EXPECT_EQ(b.optResolution[1]->y(), b.optThumb[1]->y() + 60);
    EXPECT_EQ(b.picSlide->palette().color(QPalette::Window), QColor(Qt::white));
}

TEST_F(BrowserTest, TheStopButtonAndTheListButtonsEndABuild)
{
    const std::string folder = makeFolder("stop", 6);
    fToolBrowser& b = open(folder);
    b.tb_ButtonClick(8);
    ASSERT_TRUE(step());
    ASSERT_TRUE(step());
    b.tb_ButtonClick(13);
    EXPECT_TRUE(b.ThumbnailFlag) << "the thumbnail view stays on";
    runBuild();
    EXPECT_EQ(cells(), 3) << "the cells made so far stay";
    EXPECT_TRUE(b.picPb->isVisibleTo(&b)) << "a stopped build leaves its progress box";
    EXPECT_EQ(b.cFilterProgress->value(), b.cFilterProgress->maximum());
    EXPECT_TRUE(b.StopFlag());
    // The grid still follows a resize: at the narrowest two columns fit.
    EXPECT_EQ(b.optThumb[2]->pos(), QPoint(150, 0));
    b.resize(333, b.height());
    QCoreApplication::processEvents();
    EXPECT_EQ(b.optThumb[2]->pos(), QPoint(0, 93));

    // The next build hides the box at its end.
    b.tb_ButtonClick(8);
    runBuild();
    EXPECT_EQ(cells(), 7);
    EXPECT_FALSE(b.picPb->isVisibleTo(&b));

    // A list view chosen during a build ends it and keeps the list in view.
    b.tb_ButtonClick(8);
    ASSERT_TRUE(step());
    b.tb_ButtonClick(5);
    runBuild();
    EXPECT_EQ(cells(), 2);
    EXPECT_FALSE(b.ThumbnailFlag);
    EXPECT_TRUE(b.lv->isVisibleTo(&b));
    EXPECT_FALSE(b.picSlide->isVisibleTo(&b));

    // The quality buttons only change the setting.
    b.tb_ButtonClick(11);
    EXPECT_EQ(programSettings().ThumbQuality, 1);
    b.tb_ButtonClick(10);
    EXPECT_EQ(programSettings().ThumbQuality, 0);
}

TEST_F(BrowserTest, DoubleClicksOpenPicturesAndGoUp)
{
    const std::string folder = makeFolder("open", 2, 30, 20);
    fToolBrowser& b = open(folder);
    // Nothing selected, nothing opened.
    b.tb_ButtonClick(1);
    b.OpenListItem(0);
    b.OpenListItem(3);
    EXPECT_EQ(documentCount(), 0);

    b.tb_ButtonClick(8);
    runBuild();
    ASSERT_EQ(cells(), 3);
    QTest::mouseDClick(b.optThumb[2], Qt::LeftButton);
    ASSERT_EQ(documentCount(), 1);
    fImage* doc = activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Tag, folder + "/p001.png");
    EXPECT_EQ(doc->PictureWidth(), 30);
    EXPECT_EQ(doc->PictureHeight(), 20);
    EXPECT_FALSE(PreloadedBitmap()) << "the document took the decoded picture over";

    // The same file again: the main window refuses it with its message.
    QTest::mouseDClick(b.optThumb[2], Qt::LeftButton);
    EXPECT_EQ(documentCount(), 1);
    ASSERT_FALSE(ports.messageBoxes.shown.empty());
    EXPECT_EQ(ports.messageBoxes.shown.back().text, "File Already Opened!");

    // From the list: the selected row.
    b.tb_ButtonClick(4);
    b.lv->selectRow(1);
    b.tb_ButtonClick(1);
    EXPECT_EQ(documentCount(), 2);

    // Cell 0: a click leaves no cell pressed, a double-click goes up.
    b.tb_ButtonClick(8);
    runBuild();
    QTest::mouseClick(b.optThumb[1], Qt::LeftButton);
    EXPECT_TRUE(b.optThumb[1]->isChecked());
    QTest::mouseClick(b.optThumb[0], Qt::LeftButton);
    for (QToolButton* cell : b.optThumb) EXPECT_FALSE(cell->isChecked());
    QTest::mouseDClick(b.optThumb[0], Qt::LeftButton);
    EXPECT_EQ(b.fd->SelectedFolder().toStdString(), root);
    EXPECT_EQ(programSettings().BrowserFolder.text(), root);
    EXPECT_EQ(b.lv->ListCount(), 0);
    // There is nothing above the root.
    b.fd->setSelectedFolder(QStringLiteral("/"));
    b.FolderUp();
    EXPECT_EQ(b.fd->SelectedFolder(), "/");
}

TEST_F(BrowserTest, TheDesktopIsTheOneVirtualFolderListed)
{
    const std::string desk = makeFolder("Desk", 2);
    const std::string config = programDir.path().toStdString() + "/config";
    fs::create_directories(config);
    std::ofstream(config + "/user-dirs.dirs") << "XDG_DESKTOP_DIR=\"" << desk << "\"\n";
    ScopedEnv env("XDG_CONFIG_HOME", config);
    const std::string folder = makeFolder("here", 1);
    fToolBrowser& b = open(folder);
    b.fd_FolderClick("", "Network");
    EXPECT_EQ(b.lv->ListCount(), 1) << "another virtual folder changes nothing";
    EXPECT_EQ(programSettings().BrowserFolder.text(), folder);
    b.fd_FolderClick("", "Desktop");
    EXPECT_EQ(b.lv->ListCount(), 2);
    EXPECT_EQ(programSettings().BrowserFolder.text(), desk);
}

TEST_F(BrowserTest, SizeFloorsRollUpAndClose)
{
    fToolBrowser& b = open(root);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    EXPECT_EQ(b.size(), QSize(467, 233)) << "7000 x 3500 twips";
    b.resize(100, 50);
    QCoreApplication::processEvents();
    EXPECT_EQ(b.size(), QSize(333, 200)) << "5000 x 3000 twips at the least";
    b.resize(600, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(int32_t(programSettings().BrowserBoxWidth), 600 * 15);
    EXPECT_EQ(int32_t(programSettings().BrowserBoxHeight), 400 * 15);
    // The pane fills the window under the tool bar; the list leaves 10 pixels.
    EXPECT_EQ(b.bSplitter->y(), 17 + fToolBrowser::kToolbarHeight);
    EXPECT_EQ(b.lv->width(), b.picFrame->width() - 10);

    b.pMm_Click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(b.RolledUp());
    EXPECT_TRUE(programSettings().BrowserBoxCollapsed);
    EXPECT_EQ(b.size(), QSize(600, 24));
    b.resize(700, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(b.height(), 24) << "held at the strip";
    EXPECT_EQ(int32_t(programSettings().BrowserBoxHeight), 400 * 15) << "a rolled-up window stores no size";

    b.pExit_Click();
    EXPECT_FALSE(b.isVisible());
    EXPECT_FALSE(programSettings().BrowserBoxVisible);
    EXPECT_TRUE(programSettings().BrowserBoxCollapsed) << "it comes back rolled up";
    b.show();
    b.pMm_Click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(b.RolledUp());
    EXPECT_EQ(b.size(), QSize(600, 400));
}
