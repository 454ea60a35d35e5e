#include "mainwindow/MainMessages.h"

#include "platform/Ports.h"

namespace tq {

namespace {

// The main window's messages go out through the platform's message-box port.
class PortMessageBox : public MainMessageBox {
public:
    MainMsgResult show(const MainMessage& m) override
    {
        using namespace platform;
        MsgIcon icon = MsgIcon::None;
        switch (m.icon) {
        case MainMsgIcon::Information: icon = MsgIcon::Information; break;
        case MainMsgIcon::Exclamation: icon = MsgIcon::Exclamation; break;
        case MainMsgIcon::Question: icon = MsgIcon::Question; break;
        case MainMsgIcon::None: break;
        }
        const MsgButtons buttons = m.buttons == MainMsgButtons::YesNo ? MsgButtons::YesNo : MsgButtons::OK;
        const MsgResult r = MsgBox(m.text, buttons, icon, m.title);
        if (m.buttons == MainMsgButtons::OK) return MainMsgResult::OK;
        return r == MsgResult::Yes ? MainMsgResult::Yes : MainMsgResult::No;
    }
};

} // namespace

MainMessageBox& qtMessageBox()
{
    static PortMessageBox box;
    return box;
}

} // namespace tq
