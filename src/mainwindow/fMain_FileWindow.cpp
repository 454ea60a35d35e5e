// The window commands of the main window's static dispatcher.
#include "mainwindow/FileCommands.h"
#include "mainwindow/WindowCommands.h"
#include "mainwindow/fMain.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace tq {

// "CLOSE": the active document window closes; its own closing may ask to
// save it and may refuse.
void fMain::cmdClose(const std::string&)
{
    if (QMdiSubWindow* sub = mdi_->activeSubWindow()) sub->close();
}

// "TILEHORIZONTALLY", "TILEVERTICALLY", "CASCADE".
void fMain::cmdArrangeWindows(const std::string& key)
{
    ArrangeDocuments(mdi_, ArrangeCode(key));
}

} // namespace tq
