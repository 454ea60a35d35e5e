// "User Defined Filters..." and "Apply Palette..." in the started program's
// menus: each opens its dialog for the active document, and nothing at all
// without one.
#include "dialogs/fPaletteApply.h"
#include "dialogs/fUserFilter.h"
#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "mainwindow/MenuTable.h"
#include "mainwindow/fMain.h"
#include "mainwindow/Startup.h"
#include "support/TestPorts.h"

#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tq {
namespace {

struct KernelPaletteMenus : ::testing::Test {
    QTemporaryDir programDir, runtimeDir;
    ScopedContext context;
    platform::TestPorts ports;
    std::unique_ptr<mStart> shell;

    void SetUp() override
    {
        ASSERT_TRUE(programDir.isValid() && runtimeDir.isValid());
        StartOptions o;
        o.programFolder = programDir.path().toStdString();
        o.runtimeFolder = runtimeDir.path().toStdString();
        shell = std::make_unique<mStart>(o);
        ASSERT_TRUE(shell->StartApplication());
    }
    void TearDown() override
    {
        if (fMain* w = shell->main()) {
            for (QMdiSubWindow* sub : w->mdiArea()->subWindowList())
                if (auto* doc = qobject_cast<fImage*>(sub->widget())) doc->Changed = false;
            w->close();
        }
        shell.reset();
    }

    void click(const char* item) { MenuClick(*findMenuItem(item, -1), *shell); }

    template <class Dialog>
    bool shown() const
    {
        auto* d = shell->main()->findChild<Dialog*>();
        return d && d->isVisible();
    }
};

} // namespace

TEST_F(KernelPaletteMenus, EachItemOpensItsDialogOnlyWithADocument)
{
    click("mnuUserFilters");
    click("mnuPalette");
    EXPECT_EQ(shell->main()->findChild<fUserFilter*>(), nullptr);
    EXPECT_EQ(shell->main()->findChild<fPaletteApply*>(), nullptr);

    QImage picture(5, 4, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    const QString path = programDir.filePath(QStringLiteral("in.png"));
    ASSERT_TRUE(picture.save(path, "PNG"));
    shell->loadBitmap(path.toStdString(), "png");
    ASSERT_NE(shell->main()->currentDocument(), nullptr);

    click("mnuUserFilters");
    EXPECT_TRUE(shown<fUserFilter>());
    shell->main()->findChild<fUserFilter*>()->cmdCancel->click();
    click("mnuPalette");
    EXPECT_TRUE(shown<fPaletteApply>());
    EXPECT_FALSE(shown<fUserFilter>());
}

} // namespace tq
