// Shared main for every test program: a QApplication on the offscreen
// platform so widget tests can run without a display, and a program folder
// of its own in a temporary folder, so whatever a test's documents write
// there (undo snapshots, settings) never lands beside the executable.
#include "document/ProgramContext.h"
#include "platform/Folders.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // The program context is made before anything reads it.
    tq::programContext();
    QTemporaryDir programFolder;
    if (programFolder.isValid()) tq::platform::setProgramFolder(programFolder.path().toStdString());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
