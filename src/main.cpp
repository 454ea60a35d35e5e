#include "mainwindow/fMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    tq::fMain w;
    w.show();
    return app.exec();
}
