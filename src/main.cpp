#include "document/ProgramContext.h"
#include "mainwindow/fSplash.h"
#include "mainwindow/Startup.h"
#include "platform/Folders.h"
#include "platform/ProcessSetup.h"
#include "toolwindows/ToolWindows.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

int main(int argc, char** argv)
{
    tq::platform::setUpProcess();
    QApplication app(argc, argv);
    tq::programContext();
    // The private temporary folder is made once, before anything needs it.
    tq::platform::tempFolder();
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) runtime = QDir::tempPath();

    tq::StartOptions options;
    options.programFolder = tq::platform::programFolder();
    options.runtimeFolder = runtime.toStdString();
    // The tool windows the start-up loads, places and shows.
    tq::registerBuiltToolWindows();
    tq::mStart shell(options);

    // The splash comes first; its timer runs the start-up.
    tq::fSplash splash;
    splash.onStart = [&shell, &splash] { shell.StartApplication(&splash); };
    splash.Form_Load();
    return app.exec();
}
