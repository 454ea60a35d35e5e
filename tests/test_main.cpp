// Shared main for every test program: a QApplication on the offscreen
// platform so widget tests can run without a display, and a program folder
// of its own in a temporary folder, so whatever a test's documents write
// there (undo snapshots, settings) never lands beside the executable.
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
    QTemporaryDir programFolder;
    if (programFolder.isValid()) tq::platform::setProgramFolder(programFolder.path().toStdString());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
