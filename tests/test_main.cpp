// Shared main for every test program: a QApplication on the offscreen
// platform so widget tests can run without a display, and a program folder
// of its own in a temporary folder, so whatever a test's documents write
// there (undo snapshots, settings) never lands beside the executable; the
// same for the user's data folder.
#include "document/ProgramContext.h"
#include "platform/Folders.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cstdlib>

int main(int argc, char** argv)
{
    // Unset or empty: offscreen (ctest lists the cases by running the
    // program with the caller's environment).
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform || !*platform) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // The program context is made before anything reads it.
    tq::programContext();
    QTemporaryDir programFolder;
    if (programFolder.isValid()) tq::platform::setProgramFolder(programFolder.path().toStdString());
    // The user's data folder (the wallpaper bitmap, the desktop settings)
    // is the test run's own as well, and no test reaches the desktop's own
    // wallpaper setter.
    QTemporaryDir dataFolder;
    if (dataFolder.isValid()) setenv("XDG_DATA_HOME", dataFolder.path().toLocal8Bit().constData(), 1);
    unsetenv("XDG_CURRENT_DESKTOP");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
