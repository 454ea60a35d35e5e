#include "mainwindow/fMain.h"
#include "platform/Folders.h"
#include "platform/HeapTuning.h"

#include <QApplication>

int main(int argc, char** argv)
{
    tq::platform::keepLargeBlocksInHeap();
    QApplication app(argc, argv);
    // The private temporary folder is made once, before anything needs it.
    tq::platform::tempFolder();
    tq::fMain w;
    w.show();
    return app.exec();
}
