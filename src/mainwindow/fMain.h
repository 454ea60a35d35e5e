// The main window: an MDI area holding the document windows, and the one
// shared filter engine that mirrors the active document.
#pragma once

#include "filters/cBitFilter.h"

#include <QMainWindow>

class QMdiArea;

namespace tq {

class fMain : public QMainWindow {
    Q_OBJECT
public:
    explicit fMain(QWidget* parent = nullptr);
    ~fMain() override;

    QMdiArea* mdiArea() const { return mdi_; }

    // The one shared engine, created with the window and kept for the run.
    cBitFilter cFilter;

private:
    QMdiArea* mdi_ = nullptr;
};

} // namespace tq
