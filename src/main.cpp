#include "mainwindow/fSplash.h"
#include "mainwindow/mStart.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) runtime = QDir::tempPath();

    tq::StartOptions options;
    options.programFolder = QCoreApplication::applicationDirPath().toStdString();
    options.runtimeFolder = runtime.toStdString();
    tq::mStart shell(options);

    // The splash comes first; its timer runs the start-up.
    tq::fSplash splash;
    splash.onStart = [&shell, &splash] { shell.StartApplication(&splash); };
    splash.Form_Load();
    return app.exec();
}
