// A whole session with nothing stubbed: the program starts as main() starts
// it, and QTest keys and mouse clicks on the real menus open a picture,
// invert it, undo, redo and save it under a new name. The saved file is then
// decoded and compared with the inverted picture.
#include "RecordingSink.h"
#include "document/ProgramContext.h"
#include "document/SettingsFile.h"
#include "document/Settings.h"
#include "document/StatusPanels.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"
#include "mainwindow/StartedProgramFixture.h"
#include "mainwindow/Startup.h"
#include "support/TestPorts.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace tq;

namespace {

QAction* findAction(const QList<QAction*>& actions, const QString& text)
{
    for (QAction* a : actions)
        if (a->text() == text) return a;
    return nullptr;
}

// Opens a menu of the menu bar with a mouse click and clicks one of its
// items, as a person would.
void clickMenuItem(QMenuBar* bar, const QString& menuText, const QString& itemText)
{
    QAction* top = findAction(bar->actions(), menuText);
    ASSERT_NE(top, nullptr) << menuText.toStdString();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
    QMenu* menu = top->menu();
    ASSERT_NE(menu, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), 5000);
    QAction* item = findAction(menu->actions(), itemText);
    ASSERT_NE(item, nullptr) << itemText.toStdString();
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    QTRY_VERIFY_WITH_TIMEOUT(!menu->isVisible(), 5000);
}

} // namespace

// The program as main() starts it, with folders of the test's own, the
// open dialog answered by the test and the other dialogs by the test ports.
struct RealSession : RunningProgramFixture {
    platform::FakeFileDialogs& openDialog = ports.pictureDialogs;
};

TEST_F(RealSession, OpenInvertUndoRedoAndSaveAsByKeysAndMenus)
{
    // A 4 x 3 picture with a different colour in every pixel.
    QImage source(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) source.setPixel(x, y, qRgb(20 * x + 5, 60 * y + 7, 200 - 13 * x - 30 * y));
    const std::string outPath = pictures.filePath("inverted.bmp").toStdString();

    // Ctrl+O: the open dialog answers with the picture.
    fImage* doc = openWithCtrlO(source, QStringLiteral("session.png"));
    ASSERT_EQ(openDialog.openRequests.size(), 1u);
    EXPECT_EQ(openDialog.openRequests[0].title, "Talvex Quarlend");
    ASSERT_EQ(w->mdiArea()->subWindowList().size(), 1);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->PictureWidth(), 4);
    ASSERT_EQ(doc->PictureHeight(), 3);
    EXPECT_EQ(doc->Undopos(), 1);
    EXPECT_EQ(doc->sbInfo->panelText(2).toStdString(), "Total Actions: 1");

    // The expected picture: every colour channel turned over.
    auto expectPixels = [&](bool inverted, const char* when) {
        const BitsBuffer bits = doc->Bits();
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const QRgb c = source.pixel(x, y);
                const int r = inverted ? 255 - qRed(c) : qRed(c);
                const int g = inverted ? 255 - qGreen(c) : qGreen(c);
                const int b = inverted ? 255 - qBlue(c) : qBlue(c);
                EXPECT_EQ(bits.at(2, x, y), r) << when << " " << x << "," << y;
                EXPECT_EQ(bits.at(1, x, y), g) << when << " " << x << "," << y;
                EXPECT_EQ(bits.at(0, x, y), b) << when << " " << x << "," << y;
            }
    };
    expectPixels(false, "opened");

    // Filters 2 > Invert by mouse.
    clickMenuItem(w->menuBar(), QStringLiteral("Filters &2"), QStringLiteral("Invert"));
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    expectPixels(true, "inverted");
    EXPECT_EQ(doc->Undopos(), 2);
    EXPECT_EQ(doc->UndoMax(), 2);
    EXPECT_EQ(doc->sbInfo->panelText(2).toStdString(), "Total Actions: 2");
    EXPECT_EQ(LastActionName(), "Invert");

    // Ctrl+Z back to the opened picture, Ctrl+Y forward again.
    focusMain(w);
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
    expectPixels(false, "undone");
    EXPECT_EQ(doc->Undopos(), 1);
    EXPECT_EQ(doc->UndoMax(), 2);
    EXPECT_EQ(doc->sbInfo->panelText(2).toStdString(), "Total Actions: 1");
    QTest::keyClick(w, Qt::Key_Y, Qt::ControlModifier);
    expectPixels(true, "redone");
    EXPECT_EQ(doc->Undopos(), 2);

    // File > Save As, the save dialog answering with a bitmap file name.
    ports.fileDialogs.answerPath(outPath);
    clickMenuItem(w->menuBar(), QStringLiteral("&File"), QStringLiteral("Save As"));
    ASSERT_EQ(ports.fileDialogs.saveRequests.size(), 1u);
    EXPECT_EQ(ports.fileDialogs.saveRequests[0].title, "Save as");
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    EXPECT_EQ(doc->Tag, outPath);
    EXPECT_EQ(doc->windowTitle().toStdString(), "inverted.bmp");

    // The file on disk holds the inverted picture.
    QImage saved(QString::fromStdString(outPath), "BMP");
    ASSERT_FALSE(saved.isNull());
    ASSERT_EQ(saved.size(), QSize(4, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const QRgb c = source.pixel(x, y);
            EXPECT_EQ(saved.pixel(x, y), qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c))) << x << "," << y;
        }

    // Saved, so the exit asks nothing and writes the settings.
    w->close();
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(std::filesystem::exists(Module8::SettingsFile(programDir.path().toStdString())));
}

TEST_F(RealSession, RevertToOriginalJumpsBackToTheOpenedPicture)
{
    QImage source(5, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) source.setPixel(x, y, qRgb(30 * x, 50 * y + 10, 90 + 7 * x * y));
    fImage* doc = openWithCtrlO(source, QStringLiteral("revert.png"));
    ASSERT_NE(doc, nullptr);
    const BitsBuffer opened = doc->Bits();
    QAction* revert = shell->menus().item("mnuRestore", -1);
    ASSERT_NE(revert, nullptr);
    EXPECT_EQ(revert->text(), "Revert to Original  ");

    // Only the "Original" row: nothing to go back to.
    revert->trigger();
    EXPECT_EQ(doc->Undopos(), 1);
    EXPECT_EQ(doc->UndoMax(), 1);

    // Two edits and a quality zoom, then back to the opened picture.
    w->MenuExec("INVERT");
    w->MenuExec("GRAYSCALE");
    w->MenuExec("2x");
    ASSERT_EQ(doc->PictureWidth(), 10);
    ASSERT_TRUE(doc->image_is_zoomed);
    revert->trigger();
    EXPECT_EQ(doc->PictureWidth(), 5);
    EXPECT_EQ(doc->PictureHeight(), 4);
    EXPECT_EQ(doc->Bits(), opened);
    EXPECT_EQ(w->cFilter.Bits(), opened);
    EXPECT_EQ(doc->Undopos(), 1);
    EXPECT_EQ(doc->UndoMax(), 4) << "the steps stay for redo";
    EXPECT_FALSE(doc->image_is_zoomed);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());

    // Redo walks forward again from the original.
    focusMain(w);
    QTest::keyClick(w, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(doc->Undopos(), 2);
    EXPECT_NE(doc->Bits(), opened);
}
