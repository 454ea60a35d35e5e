// Opening picture files from File > Open and from the recent-file menu into
// document windows.
#include "RecordingSink.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/StatusPanels.h"
#include "document/UndoStore.h"
#include "document/WriteFailureNotice.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"
#include "mainwindow/StartedProgramFixture.h"
#include "mainwindow/Startup.h"
#include "core/Region.h"
#include "support/TestPorts.h"
#include "platform/Folders.h"
#include "document/HistoryModel.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace tq;

namespace {

struct OpenFixture : StartedProgramFixture {
    QTemporaryDir pictures;
    platform::FakeFileDialogs& dialog = ports.pictureDialogs;
    std::unique_ptr<mStart> shell;

    void SetUp() override
    {
        shell = makeShell();
        ASSERT_TRUE(shell->StartApplication());
    }
    void TearDown() override
    {
        shell->main()->close();
        shell.reset();
    }
    int documents() const { return static_cast<int>(shell->main()->mdiArea()->subWindowList().size()); }
    void choose(const std::string& path)
    {
        dialog.answers.push_back(platform::FileDialogAnswer{path, 1, pictures.path().toStdString()});
        shell->menus().item("FILE", 1)->trigger();
    }
};

} // namespace

TEST_F(OpenFixture, APictureOpensAsADocumentOnceAndJoinsTheRecentFiles)
{
    // A 3 x 2 picture with a colour per pixel.
    QImage img(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) img.setPixel(x, y, qRgb(10 + x, 20 + 10 * y, 30 + x + y));
    const std::string path = pictures.filePath("Small Photo.PNG").toStdString();
    ASSERT_TRUE(img.save(QString::fromStdString(path), "PNG"));

    choose(path);
    ASSERT_EQ(documents(), 1);
    ASSERT_TRUE(ports.messageBoxes.shown.empty());
    auto* doc = qobject_cast<fImage*>(shell->main()->mdiArea()->subWindowList()[0]->widget());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Tag, path);
    EXPECT_EQ(doc->windowTitle(), "Small Photo.PNG");
    ASSERT_EQ(doc->PictureWidth(), 3);
    ASSERT_EQ(doc->PictureHeight(), 2);
    const BitsBuffer bits = doc->Bits();
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(bits.at(2, x, y), 10 + x);       // red
            EXPECT_EQ(bits.at(1, x, y), 20 + 10 * y);  // green
            EXPECT_EQ(bits.at(0, x, y), 30 + x + y);   // blue
            EXPECT_EQ(bits.at(3, x, y), 0);
        }
    EXPECT_EQ(programSettings().RecentFiles[0].text(), path);
    EXPECT_TRUE(shell->menus().RF[0]->isEnabled());
    EXPECT_TRUE(shell->IsImageOpen(path));

    // The same file again, from the menu or the recent list: refused.
    choose(path);
    shell->menus().RF[0]->trigger();
    EXPECT_EQ(documents(), 1);
    ASSERT_EQ(ports.messageBoxes.shown.size(), 2u);
    EXPECT_EQ(ports.messageBoxes.shown[0].text, "File Already Opened!");
    EXPECT_EQ(ports.messageBoxes.shown[0].title, "Opened");

    // Closed, it reopens from the recent list.
    shell->main()->mdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    shell->menus().RF[0]->trigger();
    EXPECT_EQ(documents(), 1);
}

TEST_F(OpenFixture, AFileThatCannotBeDecodedLeavesNoWindow)
{
    const std::string path = pictures.filePath("broken.png").toStdString();
    std::ofstream(path, std::ios::binary) << "not a picture at all";
    choose(path);
    EXPECT_EQ(documents(), 0);
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown[0].text, "Unexpected error loading image");
    EXPECT_EQ(ports.messageBoxes.shown[0].title, "Talvex Quarlend");
    EXPECT_TRUE(programSettings().RecentFiles[0].text().empty());
}

TEST_F(OpenFixture, SaveWritesInPlaceAndSaveAsUnderTheChosenName)
{
    QImage img(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) img.setPixel(x, y, qRgb(50 * x, 100 * y, 7));
    const std::string path = pictures.filePath("Photo.PNG").toStdString();
    ASSERT_TRUE(img.save(QString::fromStdString(path), "PNG"));
    choose(path);
    ASSERT_EQ(documents(), 1);
    auto* doc = qobject_cast<fImage*>(shell->main()->mdiArea()->subWindowList()[0]->widget());
    ASSERT_NE(doc, nullptr);

    // Change one pixel, then File > Save: the same file, the same name.
    BitsBuffer bits = doc->Bits();
    bits.at(0, 1, 1) = 200;
    doc->setBits(bits);
    doc->Changed = true;
    shell->menus().item("FILE", 6)->trigger();
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    EXPECT_TRUE(ports.fileDialogs.saveRequests.empty());
    EXPECT_FALSE(doc->Changed);
    EXPECT_EQ(doc->Tag, path);
    QImage back(QString::fromStdString(path));
    ASSERT_EQ(back.size(), QSize(3, 2));
    EXPECT_EQ(qBlue(back.pixel(1, 1)), 200);
    EXPECT_EQ(qRed(back.pixel(2, 0)), 100);

    // File > Save As: the chosen file, the new name, the folder kept.
    const std::string copy = pictures.filePath("copy.bmp").toStdString();
    ports.fileDialogs.answerPath(copy);
    doc->Changed = true;
    shell->menus().item("FILE", 7)->trigger();
    ASSERT_EQ(ports.fileDialogs.saveRequests.size(), 1u);
    EXPECT_EQ(ports.fileDialogs.saveRequests[0].title, "Save as");
    EXPECT_EQ(doc->Tag, copy);
    EXPECT_EQ(doc->windowTitle(), "copy.bmp");
    EXPECT_FALSE(doc->Changed);
    EXPECT_EQ(QImage(QString::fromStdString(copy)).size(), QSize(3, 2));
    EXPECT_EQ(programSettings().SaveFolder.text(), pictures.path().toStdString() + "/");

    // A write that cannot happen is reported; the document stays unsaved.
    ports.fileDialogs.answerPath(pictures.filePath("no-such-folder/x.png").toStdString());
    doc->Changed = true;
    shell->menus().item("FILE", 7)->trigger();
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown[0].text, "Unexpected error saving image");
    EXPECT_TRUE(doc->Changed);
    EXPECT_EQ(doc->Tag, copy);
}

// What a freshly opened document holds besides its picture: the path in the
// status bar, an empty selection over the whole picture, the first snapshot
// with its history row, consecutive document numbers, and the two settings
// for new documents.
TEST_F(OpenFixture, AnOpenedDocumentHasItsSnapshotSelectionStatusAndNumber)
{
    QImage img(5, 4, QImage::Format_RGB32);
    img.fill(qRgb(1, 2, 3));
    const std::string first = pictures.filePath("first.png").toStdString();
    const std::string second = pictures.filePath("second.png").toStdString();
    ASSERT_TRUE(img.save(QString::fromStdString(first), "PNG"));
    ASSERT_TRUE(img.save(QString::fromStdString(second), "PNG"));
    LastActionName() = "Original";

    choose(first);
    ASSERT_EQ(documents(), 1);
    auto* a = qobject_cast<fImage*>(shell->main()->mdiArea()->subWindowList()[0]->widget());
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a->sbInfo, nullptr);
    EXPECT_EQ(a->sbInfo->panelText(3).toStdString(), first);

    // The selection: nothing selected, the whole picture as its frame.
    EXPECT_TRUE(a->BitsRegion.IsEmptyRegion());
    ASSERT_NE(a->BitsRegion.RegionMain(), nullptr);
    EXPECT_EQ(a->BitsRegion.RegionMain()->boundingBox(), (RectI{0, 0, 5, 4}));

    // The first snapshot: step 0 written, one step recorded, its history row.
    // The program writes it in the background.
    ASSERT_NE(programContext().snapshotWriter, nullptr);
    programContext().snapshotWriter->drain();
    EXPECT_EQ(a->Undopos(), 1);
    EXPECT_EQ(a->UndoMax(), 1);
    EXPECT_FALSE(a->Changed);
    EXPECT_TRUE(std::filesystem::exists(a->undoStore().snapshotPath(0)));
    char name[32];
    std::snprintf(name, sizeof name, "b%04d00.dat", a->MeID);
    EXPECT_EQ(a->undoStore().snapshotPath(0).filename().string(), name);
    EXPECT_EQ(a->undoStore().snapshotPath(0).parent_path().filename().string(), "Temp");
    EXPECT_EQ(a->undoStore().UndoNames(0), "Original");
    ASSERT_GE(programHistory().rows().size(), 1u);
    EXPECT_EQ(programHistory().row(0).Ltext, "Original");

    // Defaults: zoom 1 and a normal window. Then maximised, at zoom 3.
    EXPECT_EQ(a->ZoomFactor(), 1);
    EXPECT_FALSE(a->parentWidget()->isMaximized());
    programSettings().ImageMaximized = true;
    programSettings().InitialZoom = 3;
    choose(second);
    ASSERT_EQ(documents(), 2);
    fImage* b = nullptr;
    for (QMdiSubWindow* w : shell->main()->mdiArea()->subWindowList())
        if (auto* d = qobject_cast<fImage*>(w->widget()); d && d != a) b = d;
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Tag, second);
    EXPECT_EQ(b->MeID, a->MeID + 1);
    EXPECT_EQ(b->ZoomFactor(), 3);
    EXPECT_TRUE(b->parentWidget()->isMaximized());
    EXPECT_EQ(b->sbInfo->panelText(3).toStdString(), second);
    programContext().snapshotWriter->drain();
    EXPECT_TRUE(std::filesystem::exists(b->undoStore().snapshotPath(0)));
    EXPECT_NE(b->undoStore().snapshotPath(0), a->undoStore().snapshotPath(0));
}

// A zoom setting of 1 or below leaves the new window's own zoom.
TEST_F(OpenFixture, AnInitialZoomOfOneOrLessLeavesTheZoomAlone)
{
    QImage img(3, 3, QImage::Format_RGB32);
    img.fill(qRgb(9, 9, 9));
    for (int zoom : {1, 0, -2}) {
        const std::string path = pictures.filePath(QString("z%1.png").arg(zoom + 5)).toStdString();
        ASSERT_TRUE(img.save(QString::fromStdString(path), "PNG"));
        programSettings().InitialZoom = int16_t(zoom);
        choose(path);
    }
    ASSERT_EQ(documents(), 3);
    for (QMdiSubWindow* w : shell->main()->mdiArea()->subWindowList())
        EXPECT_EQ(qobject_cast<fImage*>(w->widget())->ZoomFactor(), 1);
}

// The running program writes its snapshots in the background: a failed one
// is told by the program itself as soon as it is known, and a document
// closed while its snapshots are still being written leaves no file.
TEST_F(OpenFixture, BackgroundSnapshotsAreToldWhenTheyFailAndGoWithTheirDocument)
{
    const std::filesystem::path temp = UndoSnapshotFile::folder(platform::programFolder());
    std::filesystem::remove_all(temp);
    std::ofstream(temp) << "not a folder";
    // Opens a plain picture of w x h.
    const auto openPlain = [&](const QString& name, int w, int h) {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(qRgb(1, 2, 3));
        ASSERT_TRUE(img.save(pictures.filePath(name), "PNG"));
        choose(pictures.filePath(name).toStdString());
    };
    openPlain("small.png", 5, 4);
    ASSERT_EQ(documents(), 1);
    // No one drains the writer here: the notice comes through the event loop.
    for (int i = 0; i < 500 && ports.messageBoxes.shown.empty(); ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(10);
    }
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown[0].text, writeFailureText(temp, ENOTDIR));
    EXPECT_EQ(ports.messageBoxes.shown[0].title, "Talvex Quarlend");
    EXPECT_EQ(ports.messageBoxes.shown[0].icon, platform::MsgIcon::Exclamation);
    auto* first = qobject_cast<fImage*>(shell->main()->mdiArea()->subWindowList()[0]->widget());
    EXPECT_EQ(first->Undopos(), 1) << "the step counts";

    std::filesystem::remove(temp);
    openPlain("large.png", 1500, 1000);
    ASSERT_EQ(documents(), 2);
    fImage* doc = shell->main()->currentDocument();
    ASSERT_NE(doc, first);
    for (int i = 0; i < 3; ++i) {
        LastActionName() = "INVERT";
        shell->main()->MenuExec("INVERT");
    }
    EXPECT_EQ(doc->Undopos(), 4);
    doc->Changed = false;
    qobject_cast<QMdiSubWindow*>(doc->parentWidget())->close();
    QCoreApplication::processEvents();
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(temp)) left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{}) << "closed with its snapshots still being written";
    EXPECT_EQ(ports.messageBoxes.shown.size(), 1u);
}
