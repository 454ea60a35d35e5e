#include "mainwindow/fMain.h"

#include <QMdiArea>

namespace tq {

fMain::fMain(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Talvex Quarlend"));
    mdi_ = new QMdiArea(this);
    setCentralWidget(mdi_);
    resize(1024, 768);
}

fMain::~fMain() = default;

} // namespace tq
