#include "mainwindow/fMain.h"
#include "mainwindow/fSplash.h"

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "mainwindow/OpenDocument.h"
#include "platform/SkippedStep.h"
#include "tools/ToolButtonBar.h"
#include "tools/ToolOptionPanel.h"
#include "toolwindows/ToolWindows.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>

namespace tq {

fMain::fMain(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Talvex Quarlend"));
    mdi_ = new QMdiArea(this);
    setCentralWidget(mdi_);
    tbTool = new tools::ToolButtonBar(this);
    addToolBar(Qt::TopToolBarArea, tbTool);
    addToolBarBreak(Qt::TopToolBarArea);
    picStatus = new tools::ToolOptionPanel(this);
    addToolBar(Qt::TopToolBarArea, picStatus);
    connect(tbTool, &tools::ToolButtonBar::ButtonClick, this,
            [this](int16_t Index, const QString& Key, int Value) { tbTool_ButtonClick(Index, Key.toStdString(), Value); });
    resize(1024, 768);
    cFilter.onProgress([this](int32_t& percent) { cFilter_Progress(percent); });
    connect(mdi_, &QMdiArea::subWindowActivated, this, &fMain::documentActivated);
    registerCommands();
    programContext().host = this;
}

fMain::~fMain()
{
    // The children outlive this part of the window: no activation reaches it.
    disconnect(mdi_, nullptr, this, nullptr);
    // Closed between a desktop capture and its grab: the desktop gets the
    // other programs' windows back all the same.
    endShowingDesktop();
    if (programContext().host == this) programContext().host = nullptr;
}

void fMain::mirrorDocument(const BitsBuffer& bits, const Region* region)
{
    cFilter.shareBits(bits);
    cFilter.setBitsRegion(region);
}

bool fMain::applyToDocument(Document& doc, BitsBuffer result)
{
    if (!doc.setBits(std::move(result))) return false;
    // The engine mirrors the document the change is made to.
    cFilter.shareBits(doc.Bits());
    fImage* window = fImage::showing(doc);
    if (window) ActiveImage() = window;
    recordChange(window, doc, false);
    return true;
}

fImage* fMain::currentDocument() const
{
    QMdiSubWindow* sub = mdi_ ? mdi_->currentSubWindow() : nullptr;
    return sub ? qobject_cast<fImage*>(sub->widget()) : nullptr;
}

void fMain::activateDocument(fImage* doc)
{
    if (auto* window = doc ? qobject_cast<QMdiSubWindow*>(doc->parentWidget()) : nullptr)
        mdi_->setActiveSubWindow(window);
}

int32_t fMain::documentAreaWidth() const { return mdi_->viewport()->width(); }
int32_t fMain::documentAreaHeight() const { return mdi_->viewport()->height(); }

QMdiSubWindow* fMain::addDocument(fImage* doc)
{
    QMdiSubWindow* sub = mdi_->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(programIcon());
    doc->Form_Load();
    sub->show();
    mdi_->setActiveSubWindow(sub);
    return sub;
}

fImage* fMain::newDocumentWindow(const std::function<bool(fImage&)>& fill, const std::optional<std::string>& name,
                                 const std::string& caption)
{
    fImage* doc = CreateDocumentWindow(*this, NewDocument{fill, name, caption});
    if (doc && name && !caption.empty()) doc->setWindowTitle(QString::fromStdString(caption));
    return doc;
}

void fMain::Update(bool OnlyPan, bool saveundo)
{
    fImage* doc = ActiveImage().data();
    if (saveundo && doc) recordChange(doc, doc->document(), OnlyPan);
    else showChange(doc, OnlyPan);
}

void fMain::recordChange(fImage* window, Document& picture, bool OnlyPan)
{
    showChange(window, OnlyPan);
    picture.recordStep(LastActionName());
}

void fMain::showChange(fImage* doc, bool OnlyPan)
{
    step([&] {
        if (doc) doc->cFilterProgress->setValue(0);
    });
    // Any recorded change ends a run of quality zooms of the document.
    if (doc) doc->image_is_zoomed = false;
    step([&] {
        if (!OnlyPan && doc) doc->UpdateImage();
    });
    step([&] { fPanView_UpdateImage(); });
}

void fMain::cFilter_Progress(int32_t& percent)
{
    if (percent < 0) return;
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    step([&] {
        doc->picPb->setVisible(true);
        // A value outside 0..100 is refused by the bar, which keeps its value.
        doc->cFilterProgress->setValue(percent);
    });
}

void fMain::fPanView_UpdateImage() { navigatorUpdateImage(this); }

void fMain::fPanView_UpdateClipRct() { navigatorUpdateClipRct(this); }

void fMain::fPanView_Clear() { navigatorClear(this); }

void fMain::colourPicked(int32_t colour) { colourWindowPicked(this, colour); }
int16_t fMain::SelectedColorIndex() const { return colourWindowSelectedIndex(const_cast<fMain*>(this)); }

void fMain::documentActivated(QMdiSubWindow* sub)
{
    // Leaving the main window for another program deactivates the child
    // without activating another: the document stays the active one.
    fImage* doc = sub ? qobject_cast<fImage*>(sub->widget()) : nullptr;
    if (!doc || doc == activeDocument_) return;
    if (fImage* previous = activeDocument_.data()) {
        previous->Form_Deactivate();
        // Switching documents ends a run of quality zooms: the next zoom of
        // either document must never step back over its last edit.
        previous->image_is_zoomed = false;
    }
    doc->image_is_zoomed = false;
    activeDocument_ = doc;
    doc->Form_Activate();
}

} // namespace tq
