// The folder chooser: Select is enabled by the first folder with a path and
// hands that path over while it still exists; a folder that has gone gives
// "Invalid Path" and the dialog stays; Cancel hands over ""; Enter and
// Escape press Select only while it is enabled.
#include "document/ProgramContext.h"
#include "support/TestPorts.h"
#include "toolwindows/fBrowse.h"

#include <QDir>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace tq {
namespace {

class FolderChooserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = std::make_unique<fBrowse>(nullptr);
        dialog->show();
    }
    std::string folder(const char* name) const
    {
        QDir(dir.path()).mkpath(QString::fromLatin1(name));
        return (dir.path() + "/" + QString::fromLatin1(name)).toStdString();
    }

    QTemporaryDir dir;
    ScopedContext context;
    platform::TestPorts ports;
    std::unique_ptr<fBrowse> dialog;
};

TEST_F(FolderChooserTest, OpensEmptyWithSelectDisabled)
{
    EXPECT_EQ(dialog->windowTitle(), "Select Folder");
    EXPECT_TRUE(dialog->FileName->text().isEmpty());
    EXPECT_FALSE(dialog->cmdOK->isEnabled());
    EXPECT_EQ(dialog->cmdOK->text(), "Select");
    EXPECT_EQ(dialog->cmdCancel->text(), "Cancel");
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowCloseButtonHint);
    // The path label lies below what the user sees.
    EXPECT_GE(dialog->FileName->y(), dialog->height());
}

TEST_F(FolderChooserTest, FoldersWithoutAPathLeaveSelectAsItWas)
{
    PickedFolder() = "before";
    dialog->fT_FolderChosen("");
    EXPECT_FALSE(dialog->cmdOK->isEnabled());
    // Enter, Escape and the confirm do nothing while Select is disabled.
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    dialog->fT_Confirm();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(PickedFolder(), "before");

    // A folder with a path, then one without: the first is selected.
    const std::string a = folder("a");
    dialog->fT_FolderChosen(a);
    dialog->fT_FolderChosen("");
    EXPECT_TRUE(dialog->cmdOK->isEnabled());
    dialog->fT_Confirm();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(PickedFolder(), a);
}

TEST_F(FolderChooserTest, AFolderThatHasGoneIsRefusedAndTheDialogStays)
{
    const std::string gone = folder("gone");
    dialog->fT_FolderChosen(gone);
    ASSERT_TRUE(QDir(QString::fromStdString(gone)).removeRecursively());
    PickedFolder() = "kept";
    dialog->cmdOK->click();
    ASSERT_EQ(ports.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(ports.messageBoxes.shown[0].text, "Invalid Path");
    EXPECT_EQ(ports.messageBoxes.shown[0].icon, platform::MsgIcon::Information);
    EXPECT_EQ(ports.messageBoxes.shown[0].buttons, platform::MsgButtons::OK);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(PickedFolder(), "kept");

    // Another folder may still be chosen; Escape now selects it.
    const std::string b = folder("b");
    dialog->fT_FolderChosen(b);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(PickedFolder(), b);
}

TEST_F(FolderChooserTest, CancelHandsOverNothing)
{
    PickedFolder() = "/somewhere";
    dialog->fT_FolderChosen(folder("c"));
    dialog->cmdCancel->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(PickedFolder(), "");
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
}

TEST_F(FolderChooserTest, AFolderChosenInTheTreeIsSelectedWithEnter)
{
    const std::string d = folder("d");
    auto* model = qobject_cast<QFileSystemModel*>(dialog->fT->model());
    ASSERT_NE(model, nullptr);
    const QModelIndex index = model->index(QString::fromStdString(d));
    ASSERT_TRUE(index.isValid());
    dialog->fT->setCurrentIndex(index);
    EXPECT_EQ(dialog->FileName->text().toStdString(), d);
    EXPECT_TRUE(dialog->cmdOK->isEnabled());
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(PickedFolder(), d);
}

// The tree makes its first folder current when it takes the keyboard; that
// chooses nothing, so Enter does not pick "/". A folder reached with the
// arrow keys is chosen.
TEST_F(FolderChooserTest, TheTreeTakingTheKeyboardChoosesNothing)
{
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    PickedFolder() = "before";
    dialog->fT->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(dialog->fT->hasFocus());
    ASSERT_TRUE(dialog->fT->currentIndex().isValid());   // the tree's own doing
    EXPECT_FALSE(dialog->cmdOK->isEnabled());
    EXPECT_TRUE(dialog->FileName->text().isEmpty());
    QTest::keyClick(dialog->fT, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(PickedFolder(), "before");

    const QModelIndex first = dialog->fT->currentIndex();
    dialog->fT->expand(first);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->fT->model()->rowCount(first) > 0; }, 5000));
    QTest::keyClick(dialog->fT, Qt::Key_Down);
    EXPECT_NE(dialog->fT->currentIndex(), first);
    EXPECT_TRUE(dialog->cmdOK->isEnabled());
    EXPECT_FALSE(dialog->FileName->text().isEmpty());
}

// Centred over its owner, and wholly on the screen when the owner is near a
// corner.
TEST_F(FolderChooserTest, OpensCentredOverItsOwnerAndOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget owner(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    owner.setGeometry(QRect(QPoint(0, 0), QSize(200, 180)).translated(screen.center() - QPoint(100, 90)));
    owner.show();
    {
        fBrowse chooser(&owner);
        chooser.show();
        QCoreApplication::processEvents();
        // (Give or take the dialog's own frame, which the platform adds.)
        const QPoint off = chooser.geometry().center() - owner.frameGeometry().center();
        EXPECT_LE(std::abs(off.x()), 10);
        EXPECT_LE(std::abs(off.y()), 10);
    }
    owner.move(screen.topLeft() + QPoint(10, 5));
    {
        fBrowse chooser(&owner);
        chooser.show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(screen.contains(chooser.frameGeometry())) << chooser.x() << "," << chooser.y();
    }
}

} // namespace
} // namespace tq
