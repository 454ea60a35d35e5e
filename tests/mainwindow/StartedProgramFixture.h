// A program started as the user starts it: its program and runtime folders
// are fresh temporary folders, the context and the ports are the test's own,
// and a settings file may be written before the start.
#pragma once

#include "document/SettingsFile.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "mainwindow/Startup.h"
#include "support/TestPorts.h"
#include "platform/TextWidth.h"
#include "document/fImage.h"
#include "mainwindow/fMain.h"
#include "toolwindows/ToolWindowRegistry.h"
#include "toolwindows/ToolWindows.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tq {

struct StartedProgramFixture : ::testing::Test {
    QTemporaryDir programDir;
    QTemporaryDir runtimeDir;
    std::filesystem::path program{programDir.path().toStdString()};
    std::filesystem::path runtime{runtimeDir.path().toStdString()};
    ScopedContext context;
    platform::TestPorts ports;

    StartOptions options() const
    {
        StartOptions o;
        o.programFolder = program;
        o.runtimeFolder = runtime;
        o.measure = characterTextWidth;
        return o;
    }

    // A shell over the two folders, not started yet.
    std::unique_ptr<mStart> makeShell() const { return std::make_unique<mStart>(options()); }

    // Writes a settings file with the defaults changed by edit.
    template <class Edit>
    void writeSettings(Edit edit)
    {
        Settings s = defaultSettings(program);
        edit(s);
        ASSERT_TRUE(Module8::SaveSettings(s, program));
    }

    // A started shell, its first events handled.
    std::unique_ptr<mStart> start()
    {
        auto shell = makeShell();
        EXPECT_TRUE(shell->StartApplication());
        QCoreApplication::processEvents();
        return shell;
    }

    // Started over a settings file with the defaults changed by edit.
    template <class Edit>
    std::unique_ptr<mStart> startWith(Edit edit)
    {
        writeSettings(edit);
        return start();
    }
};

// The keyboard reaches the main window only while it is the active one.
inline void focusMain(fMain* w)
{
    w->activateWindow();
    QApplication::setActiveWindow(w);
}

// A program started for the whole test, its main window active, with a
// folder of pictures to open. At the end its documents count as unchanged,
// so closing the main window asks nothing.
struct RunningProgramFixture : StartedProgramFixture {
    QTemporaryDir pictures;
    std::unique_ptr<mStart> shell;
    fMain* w = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(programDir.isValid() && runtimeDir.isValid() && pictures.isValid());
        shell = makeShell();
        ASSERT_TRUE(shell->StartApplication());
        w = shell->main();
        ASSERT_NE(w, nullptr);
        focusMain(w);
    }
    void TearDown() override
    {
        if (w) {
            for (QMdiSubWindow* sub : w->mdiArea()->subWindowList())
                if (auto* doc = qobject_cast<fImage*>(sub->widget())) doc->Changed = false;
            w->close();
        }
        shell.reset();
    }

    // Writes picture as a PNG into the pictures folder and opens it with
    // Ctrl+O, the open dialog answering with its path. The new document, or
    // nullptr when none opened.
    fImage* openWithCtrlO(const QImage& picture, const QString& name)
    {
        const std::string path = pictures.filePath(name).toStdString();
        if (!picture.save(QString::fromStdString(path), "PNG")) return nullptr;
        ports.pictureDialogs.answers.push_back(platform::FileDialogAnswer{path, 1, pictures.path().toStdString()});
        focusMain(w);
        QTest::keyClick(w, Qt::Key_O, Qt::ControlModifier);
        const auto subs = w->mdiArea()->subWindowList();
        return subs.isEmpty() ? nullptr : qobject_cast<fImage*>(subs.last()->widget());
    }
};

// Plain widgets of w x h registered under the five tool-window names, for
// as long as this lives; rolled holds the names asked to roll up.
struct PlainToolWindows {
    std::vector<std::string> rolled;
    PlainToolWindows(int w, int h)
    {
        for (ToolWindowSlot& s : toolWindowSlots()) {
            const std::string name = s.name;
            registerToolWindow(
                name,
                [name, w, h](QWidget* owner) {
                    auto* window = new QWidget(owner, Qt::Tool);
                    window->setObjectName(QString::fromStdString(name));
                    window->resize(w, h);
                    return window;
                },
                [this, name](QWidget*) { rolled.push_back(name); });
        }
    }
    ~PlainToolWindows()
    {
        for (ToolWindowSlot& s : toolWindowSlots()) registerToolWindow(s.name, {}, {});
    }
};

// The tool windows the program builds, registered for as long as it lives
// (a member of a fixture, after the context).
struct BuiltToolWindows {
    BuiltToolWindows() { registerBuiltToolWindows(); }
    ~BuiltToolWindows() { unregisterBuiltToolWindows(); }
};

} // namespace tq
