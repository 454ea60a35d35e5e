#include "mainwindow/MainMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace tq {

namespace {

class QtMessageBox : public MainMessageBox {
public:
    MainMsgResult show(const MainMessage& m) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setText(QString::fromStdString(m.text));
        box.setWindowTitle(QString::fromStdString(m.title.empty() ? std::string("Talvex Quarlend") : m.title));
        switch (m.icon) {
        case MainMsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MainMsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MainMsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MainMsgIcon::None: break;
        }
        if (m.buttons == MainMsgButtons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            return box.exec() == QMessageBox::Yes ? MainMsgResult::Yes : MainMsgResult::No;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return MainMsgResult::OK;
    }
};

} // namespace

MainMessageBox& qtMessageBox()
{
    static QtMessageBox box;
    return box;
}

} // namespace tq
