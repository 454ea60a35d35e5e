// Shared main for every test program: a QApplication on the offscreen
// platform so widget tests can run without a display, and a program folder
// of its own in a temporary folder, so whatever a test's documents write
// there (undo snapshots, settings) never lands beside the executable; the
// same for the user's data, configuration and runtime folders.
#include "TempFolder.h"
#include "document/ProgramContext.h"
#include "platform/Folders.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <cstdlib>

int main(int argc, char** argv)
{
    // Unset or empty: offscreen (ctest lists the cases by running the
    // program with the caller's environment).
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform || !*platform) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The run's folders go when the program ends, however it ends: the
    // child of a death test leaves through exit() without unwinding main().
    // Qt keeps its own settings (a file dialog's history and places) in the
    // user's configuration folder, read once before it is first needed; and
    // it looks into the runtime folder as it starts, making one in TMPDIR
    // that stays when the environment names none.
    static const tq::testing::TempFolder configFolder{"tq-config"};
    setenv("XDG_CONFIG_HOME", configFolder.path().c_str(), 1);
    static const tq::testing::TempFolder runtimeFolder{"tq-runtime"};
    setenv("XDG_RUNTIME_DIR", runtimeFolder.path().c_str(), 1);
    QApplication app(argc, argv);
    // The program context is made before anything reads it.
    tq::programContext();
    static const tq::testing::TempFolder programFolder{"tq-program"};
    tq::platform::setProgramFolder(programFolder.path().string());
    // The user's data folder (the wallpaper bitmap, the desktop settings)
    // is the test run's own as well, and no test reaches the desktop's own
    // wallpaper setter.
    static const tq::testing::TempFolder dataFolder{"tq-data"};
    setenv("XDG_DATA_HOME", dataFolder.path().c_str(), 1);
    unsetenv("XDG_CURRENT_DESKTOP");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
