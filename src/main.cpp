#include "filters/PixelMemory.h"
#include "mainwindow/fMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    tq::keepPixelMemory();
    QApplication app(argc, argv);
    tq::fMain w;
    w.show();
    return app.exec();
}
