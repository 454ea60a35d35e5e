#include "document/fImage.h"

#include "document/ProgramContext.h"
#include "document/ImageCanvas.h"
#include "document/Settings.h"
#include "document/StatusPanels.h"
#include "document/SettingsFile.h"
#include "document/SharedRoutines.h"
#include "document/PictureRouting.h"
#include "platform/Folders.h"
#include "platform/Ports.h"
#include "platform/QtImage.h"
#include "platform/TextWidth.h"
#include "document/MainHost.h"
#include "document/HistoryModel.h"
#include "document/WriteFailureNotice.h"

#include <QCloseEvent>
#include <QCursor>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QResizeEvent>
#include <QStyle>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

namespace tq {
namespace {

std::vector<fImage*>& registry() { return programContext().documents; }

// The hand pointers: closed while the left button is held, open otherwise.
// (Made when used: a cursor kept past the application's end would outlive
// the shared data it refers to.)
QCursor cGrab() { return QCursor(Qt::ClosedHandCursor); }
QCursor cRelease() { return QCursor(Qt::OpenHandCursor); }

// The progress box is 2025 x 240 twips.
constexpr int kProgressBoxWidth = 2025 / platform::kTwipsPerPixel;
constexpr int kProgressBoxHeight = 240 / platform::kTwipsPerPixel;

} // namespace

fImage::fImage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fImage"));
    MeID = DocumentCount();
    Doc_.setView(this);
    registry().push_back(this);

    hSB = &View_.hSB;
    vSB = &View_.vSB;
    hSB->hide();
    vSB->hide();

    // The container shows the workspace colour around a smaller canvas.
    PImage = new QWidget(this);
    PImage->setObjectName(QStringLiteral("PImage"));
    PImage->setBackgroundRole(QPalette::Dark);
    PImage->setAutoFillBackground(true);
    iDst = new ImageCanvas(PImage);
    iDst->hide();
    iDst->setSource(&Doc_.BitsRef(), &View_, &BitsRegion);
    sbInfo = new StatusPanels(this);

    View_.repaint = [this] { iDst->UpdateImage(); };
    View_.zoomChanged = [this](int32_t z) {
        BitsRegion.setZoomFactor(static_cast<float>(z));
        // Whatever changed the zoom (a key, a menu, the tool bar), the panel
        // says what is shown.
        sbInfo->setPanelText(QStringLiteral("Zoom"), QStringLiteral("%1 : 1").arg(z));
    };
    View_.requestLayout = [this] { UserControl_Resize(); };
    iDst->painted = [] {
        if (MainHost* m = mainHost()) m->fPanView_UpdateClipRct();
    };
    iDst->onMouseDown = [this](int16_t b, int16_t s, float x, float y) { iDst_MouseDown(b, s, x, y); };
    iDst->onMouseMove = [this](int16_t b, int16_t s, float x, float y) { idst_MouseMove(b, s, x, y); };
    iDst->onMouseUp = [this](int16_t b, int16_t s, float x, float y) { iDst_MouseUp(b, s, x, y); };
    iDst->onKeyDown = [this](int16_t k, int16_t s) { iDst_KeyDown(k, s); };
    iDst->onKeyUp = [this](int16_t k, int16_t s) { idst_KeyUp(k, s); };

    picPb = new QWidget(this);
    picPb->setObjectName(QStringLiteral("picPb"));
    picPb->resize(kProgressBoxWidth, kProgressBoxHeight);
    cFilterProgress = new QProgressBar(picPb);
    cFilterProgress->setObjectName(QStringLiteral("cFilterProgress"));
    cFilterProgress->setRange(0, 100);
    cFilterProgress->setValue(0);
    cFilterProgress->setTextVisible(false);
    cFilterProgress->setGeometry(0, 0, kProgressBoxWidth, kProgressBoxHeight);
    picPb->hide();
    cFilterProgress->installEventFilter(this);
    PolygonPoints_.assign(2, 0);
    placeStatusBar();
    placeProgressBox();
}

fImage::~fImage()
{
    // The tools go first: nothing of theirs outlives the pixels they paint.
    Tools_.reset();
    // A window destroyed without being closed still takes its snapshots and
    // its history rows with it.
    if (!Unloaded_ && Doc_.hasUndoStore()) {
        Doc_.DeleteUndoFiles();
        programHistory().documentClosed(MeID);
    }
    // The canvas outlives the members it was lent.
    iDst->StopTimer();
    iDst->setSource(nullptr, nullptr, nullptr);
    Doc_.setView(nullptr);
    iDst->painted = nullptr;
    iDst->onMouseDown = iDst->onMouseMove = iDst->onMouseUp = nullptr;
    iDst->onKeyDown = iDst->onKeyUp = nullptr;
    auto& docs = registry();
    docs.erase(std::remove(docs.begin(), docs.end(), this), docs.end());
}

const std::vector<fImage*>& fImage::loadedDocuments() { return registry(); }

fImage* fImage::showing(const Document& doc)
{
    for (fImage* window : registry())
        if (window && &window->Doc_ == &doc) return window;
    return nullptr;
}

void fImage::CreateBlank(int32_t dstWidth, int32_t dstHeight)
{
    if (Doc_.CreateBlank(dstWidth, dstHeight)) UserControl_Resize();
}

void fImage::pictureSized(int32_t w, int32_t h) { iSrc.move(0, 0, w, h); }

bool fImage::setBits(const BitsBuffer& bits) { return Doc_.setBits(bits); }

bool fImage::setBits(BitsBuffer&& bits) { return Doc_.setBits(std::move(bits)); }

void fImage::PPicture(const QImage& picture)
{
    hSB->hide();
    vSB->hide();
    if (picture.isNull()) {
        Clear();
        return;
    }
    iSrc.setPicture(picture);
    if (!takePicture()) return;
    BMExists = true;
    UserControl_Resize();
}

bool fImage::PPicture(BitsBuffer&& pixels)
{
    hSB->hide();
    vSB->hide();
    const int32_t w = pixels.width();
    const int32_t h = pixels.height();
    if (!pixels.allocated() || w < 1 || h < 1) {
        Clear();
        return false;
    }
    Doc_.TakeNewPicture(std::move(pixels));
    iSrc.clearPicture();
    UserControl_Resize();
    return true;
}

void fImage::SetPicture(bool& saveundo)
{
    hSB->hide();
    vSB->hide();
    if (!takePicture()) return;
    if (saveundo) {
        LastActionName() = "Update from Layers";
        SaveUndoBits();
    }
    BMExists = true;
    UserControl_Resize();
}

bool fImage::takePicture()
{
    const int32_t w = iSrc.Width;
    const int32_t h = iSrc.Height;
    // A holder without a size, or larger than a picture may be, holds no
    // picture the program can keep.
    if (w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide) return false;

    QImage shown;
    try {
        // What the holder shows: its picture, black where nothing is drawn.
        if (!iSrc.Picture.isNull() && iSrc.Picture.width() == w && iSrc.Picture.height() == h) {
            shown = iSrc.Picture;
        } else {
            shown = QImage(w, h, QImage::Format_RGB32);
            if (shown.isNull()) return false;
            shown.fill(Qt::black);
            if (!iSrc.Picture.isNull()) {
                QPainter p(&shown);
                p.drawImage(0, 0, iSrc.Picture);
            }
        }
        if (shown.format() != QImage::Format_RGB32) shown = shown.convertToFormat(QImage::Format_RGB32);
        if (shown.isNull() || shown.width() != w || shown.height() != h) return false;
    } catch (const std::exception&) {
        return false;
    }
    // Straight from the picture's rows, without a copy in between.
    if (!Doc_.TakeRows(w, h, [&shown](int32_t y) { return shown.constScanLine(y); })) return false;
    iSrc.clearPicture();
    return true;
}

// ---- Undo ---------------------------------------------------------------------

void fImage::SaveUndoBits() { Doc_.SaveUndoBits(LastActionName()); }

bool fImage::UndoBits() { return Doc_.UndoBits(); }

bool fImage::RedoBits() { return Doc_.RedoBits(); }

bool fImage::LoadUndoBits(const std::string& bName) { return undoStore().LoadUndoBits(bName); }

bool fImage::JumpToHistoryStep(int index)
{
    image_is_zoomed = false;
    return undoStore().JumpToStep(index);
}

void fImage::SwapHistoy() { undoStore().SwapHistoy(); }

void fImage::pictureRestored(bool sizeChanged)
{
    // Another size: the window is not repainted half-way through taking it.
    if (sizeChanged) {
        setUpdatesEnabled(false);
        UserControl_Resize();
        // The "Size" panel shows the size the last size change gave; a step
        // back over one gives the size back too.
        ShowSizePanel();
    }
    MainHost* m = mainHost();
    if (m) m->mirrorDocument(Doc_.BitsRef(), BitsRegion.walkRegion());
    UpdateImage();
    if (sizeChanged) setUpdatesEnabled(true);
    if (m) m->fPanView_UpdateImage();
    SaveUndoOnNudge() = true;
}

void fImage::snapshotNotWritten(const std::filesystem::path& folder, int error) { reportWriteFailure(folder, error); }

void fImage::snapshotMissing(int /*step*/)
{
    platform::MsgBox(kStepMissing, platform::MsgButtons::OK, platform::MsgIcon::Exclamation, platform::kProgramName);
}

void fImage::setActionsPanel(const std::string& text) { sbInfo->setPanelText(2, QString::fromStdString(text)); }

void fImage::setPixelPanel(const std::string& text)
{
    sbInfo->setPanelText(QStringLiteral("Pixel"), QString::fromStdString(text));
}

// ---- Clipboard and saving -------------------------------------------------------

void fImage::BitsCopyToClipboard()
{
    if (!BMExists) return;
    platform::Clipboard* clipboard = platform::ports().clipboard;
    if (!clipboard) return;
    DibRecord dib;
    try {
        dib = Doc_.PictureRecord();
    } catch (const std::bad_alloc&) {
        return;
    }
    if (dib.width < 1 || dib.height < 1) return;
    clipboard->setBitmap(dib);
}

void fImage::PasteFromClipboard()
{
    platform::Clipboard* clipboard = platform::ports().clipboard;
    if (!clipboard || !clipboard->hasBitmap()) return;
    QImage picture;
    try {
        const std::optional<DibRecord> dib = clipboard->bitmap();
        if (!dib || dib->width < 1 || dib->height < 1) return;
        picture = platform::imageFromDib(*dib);
    } catch (const std::bad_alloc&) {
        return;
    }
    if (picture.isNull()) return;
    PPicture(picture);
}

mBitmap::SaveResult fImage::save(const std::string& FileName, const std::string& FileExtension)
{
    if (!BMExists) return {};
    iSrc.clearPicture();
    iSrc.AutoRedraw = true;
    const int32_t w = PictureWidth();
    const int32_t h = PictureHeight();
    const BitsBuffer& bits = Doc_.BitsRef();
    if (w < 1 || h < 1 || bits.width() != w || bits.height() != h) return {};
    // The writer reads the rows in place (the margin stays behind). It puts
    // the file beside its final name and renames it over the old one only
    // when complete, so a failure leaves the old file whole.
    try {
        return mBitmap::SaveImageFile(FileName, FileExtension, bits);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

// ---- Closing ----------------------------------------------------------------------

void fImage::Form_QueryUnload(int16_t& Cancel, int32_t /*UnloadMode*/)
{
    using namespace platform;
    // No question when nothing recorded is in the state shown: after undoing
    // back to the opening state there is nothing to lose.
    if (!programSettings().AskSave || !Changed || Undopos() <= 1) return;
    const std::string text = Module8::CompactPath(screenTextWidth(), Tag, 400) +
                             "\r\n\r\nThis image has changed.\r\nDo you want to save it ?";
    const MsgResult answer = MsgBox(text, MsgButtons::YesNoCancel, MsgIcon::Information, kProgramName);
    if (answer == MsgResult::Cancel) {
        Cancel = 1;
        return;
    }
    if (answer != MsgResult::Yes) return;

    // The save commands act on the active document: make it the one that asked.
    if (MainHost* m = mainHost()) {
        m->activateDocument(this);
        ActiveImage() = this;
        m->MenuStatic("SAVEAS");
    }
    // A save that was cancelled or failed leaves the document changed: it
    // stays open rather than lose the work the user asked to keep.
    if (Changed) Cancel = 1;
}

void fImage::Form_Unload(int16_t& /*Cancel*/)
{
    if (Unloaded_) return;
    // The tools' state goes with the window: the lifted selection content
    // and the stroke in progress are released here, not at destruction.
    Tools_.reset();
    Doc_.DeleteUndoFiles();
    // The rows go only when they are this document's; the shown document's
    // rows stay (ImageID keeps its value either way).
    programHistory().documentClosed(MeID);
    int open = 0;
    for (const fImage* doc : loadedDocuments())
        if (doc && !doc->Unloaded_) ++open;
    Unloaded_ = true;
    if (open == 1) {
        if (MainHost* m = mainHost()) m->fPanView_Clear();
        for (int i = 1; i <= 5; ++i) sbInfo->setPanelText(i, QString());
    }
}

void fImage::closeEvent(QCloseEvent* e)
{
    if (Unloaded_) {
        e->accept();
        return;
    }
    int16_t cancel = 0;
    Form_QueryUnload(cancel, 0);
    if (cancel != 0) {
        e->ignore();
        return;
    }
    Form_Unload(cancel);
    e->accept();
}

// ---- View ---------------------------------------------------------------------

void fImage::UserControl_Resize()
{
    View_.setPicture(iSrc.Width, iSrc.Height, BMExists);
    if (!BMExists) return;
    placeStatusBar();
    PImage->setGeometry(0, 0, width(), std::max(0, height() - sbInfo->height()));
    View_.setContainer(PImage->width(), PImage->height());
    applyLayout(View_.UserControl_Resize());
}

void fImage::applyLayout(LayoutOutcome outcome)
{
    switch (outcome) {
    case LayoutOutcome::Skipped:
    case LayoutOutcome::Refused:
        return;
    case LayoutOutcome::ContainerTooSmall: {
        // The window grows to the smallest container; its resize lays it out.
        iDst->hide();
        QWidget* window = parentWidget() ? parentWidget() : this;
        const int px = View_.MinimumTwips() / ViewLayout::kTwipsPerPixel;
        if (View_.MinimumIsWidth())
            window->resize(px, window->height());
        else
            window->resize(window->width(), px);
        return;
    }
    case LayoutOutcome::Done:
        break;
    }
    const CanvasRect& r = View_.Canvas();
    iDst->setGeometry(r.left, r.top, r.width, r.height);
    const QCursor open = cRelease();
    setCanvasPointer(View_.HandPointer() ? kPointerCustom : kPointerDefault, &open);
    iDst->show();
    iDst->UpdateImage();
    if (QWidget* window = parentWidget()) window->show();
    sbInfo->setPanelText(QStringLiteral("Pixel"),
                         QStringLiteral("%1 x %2").arg(PictureWidth()).arg(PictureHeight()));
}

void fImage::Form_Resize()
{
    if (isMinimized() || (parentWidget() && parentWidget()->isMinimized())) return;
    if (const MainHost* m = mainHost(); m && m->mainMinimized()) return;
    placeProgressBox();
    SetAutoRedraw(false);
    UserControl_Resize();
}

void fImage::setMouseScroll(bool v)
{
    View_.setMouseScroll(v);
    const QCursor open = cRelease();
    setCanvasPointer(View_.HandPointer() ? kPointerCustom : kPointerDefault, &open);
}

void fImage::Scroll(int32_t hV, int32_t& VV) { View_.Scroll(hV, VV); }

// ---- Canvas -------------------------------------------------------------------

void fImage::UpdateImage() { iDst->UpdateImage(); }

void fImage::UpdateRegion() { iDst->UpdateRegion(); }

void fImage::StartTimer() { iDst->StartTimer(); }

void fImage::StopTimer() { iDst->StopTimer(); }

void fImage::ShowShape(int32_t shpType, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, bool NewLine)
{
    iDst->ShowShape(shpType, X1, Y1, X2, Y2, NewLine);
}

void fImage::HideShape(int32_t shpType) { iDst->HideShape(shpType); }

void fImage::SetAutoRedraw(bool Auto) { iDst->SetAutoRedraw(Auto); }

void fImage::UpdatePictureRect(const RectI& r) { iDst->UpdatePictureRect(r); }

void fImage::setCanvasPointer(int16_t MousePointer, const QCursor* MouseIcon)
{
    if (MouseIcon) iDst->setMouseIcon(*MouseIcon);
    iDst->setMousePointer(MousePointer);
}

// ---- Canvas input -------------------------------------------------------------

CanvasInput* fImage::canvasInput()
{
    if (!Tools_ && !Unloaded_)
        if (MainHost* m = mainHost()) Tools_ = m->makeCanvasInput(*this);
    return Tools_.get();
}

CanvasInput* fImage::paintingInput()
{
    // The tools may paint into the pixels in place: they become the
    // document's own before any tool takes a pointer into them.
    Doc_.paintBits();
    return canvasInput();
}

PointI fImage::PicturePoint(float X, float Y) const
{
    const int64_t z = std::max(1, View_.Magnification());
    const auto axis = [z](int32_t scroll, float c) {
        const double v = std::nearbyint(static_cast<double>(scroll) + static_cast<double>(c));
        const double clamped = std::clamp(v, double(INT32_MIN), double(INT32_MAX));
        return static_cast<int32_t>(static_cast<int64_t>(clamped) / z);
    };
    return PointI{axis(hSB->Value(), X), axis(vSB->Value(), Y)};
}

void fImage::iDst_MouseDown(int16_t Button, int16_t Shift, float X, float Y)
{
    if (!BMExists) return;
    const PointI p = PicturePoint(X, Y);
    if (Button == 1) {
        iDst->setMouseIcon(cGrab());
        HandGrab_ = true;
        CursorNow_ = iDst->pointerScreenPos();
        CursorPrev_ = CursorNow_;
        if (CanvasInput* tools = canvasInput()) tools->setLastPoint(p.x, p.y);
    }
    idstMouseDown(Button, Shift, p.x, p.y);
}

void fImage::idst_MouseMove(int16_t Button, int16_t Shift, float X, float Y)
{
    if (!BMExists) return;
    PointI p = PicturePoint(X, Y);
    const bool moved = p.x != MovePointX_ || p.y != MovePointY_;
    if (moved) {
        MovePointX_ = p.x;
        MovePointY_ = p.y;
    }
    if (Button == 1 && MouseScroll() && HandGrab_) {
        // The view follows the pointer one screen pixel for one, whatever
        // the zoom; both values change with repainting held, then one repaint.
        View_.HoldPaint = true;
        CursorNow_ = iDst->pointerScreenPos();
        const int32_t dx = CursorNow_.x() - CursorPrev_.x();
        const int32_t dy = CursorNow_.y() - CursorPrev_.y();
        const auto follow = [](ScrollBarModel& bar, int32_t d) {
            if (bar.Max() == 0) return;
            const int64_t v = int64_t(bar.Value()) - d;
            if (d > 0)
                bar.setValue(static_cast<int32_t>(v > 0 ? v : 0));
            else
                bar.setValue(static_cast<int32_t>(v < bar.Max() ? v : bar.Max()));
        };
        follow(*hSB, dx);
        follow(*vSB, dy);
        CursorPrev_ = CursorNow_;
        View_.HoldPaint = false;
        if (hSB->Max() != 0 || vSB->Max() != 0) UpdateImage();
        if (moved) {
            p = PicturePoint(X, Y);
            idstMouseMove(Button, Shift, p.x, p.y);
        }
        return;
    }
    if (moved) idstMouseMove(Button, Shift, p.x, p.y);
}

void fImage::iDst_MouseUp(int16_t Button, int16_t Shift, float X, float Y)
{
    if (!BMExists) return;
    iDst->setMouseIcon(cRelease());
    HandGrab_ = false;
    const PointI p = PicturePoint(X, Y);
    idstMouseUp(Button, Shift, p.x, p.y);
}

void fImage::iDst_KeyDown(int16_t KeyCode, int16_t Shift)
{
    if (!BMExists) return;
    if (CanvasInput* tools = paintingInput()) tools->iDst_KeyDown(KeyCode, Shift);
}

void fImage::idst_KeyUp(int16_t KeyCode, int16_t Shift)
{
    if (!BMExists) return;
    if (CanvasInput* tools = paintingInput()) tools->idst_KeyUp(KeyCode, Shift);
}

void fImage::idstMouseDown(int16_t Button, int16_t Shift, int32_t X, int32_t Y)
{
    if (!BMExists) return;
    if (CanvasInput* tools = paintingInput()) tools->idstMouseDown(Button, Shift, X, Y);
}

void fImage::idstMouseMove(int16_t Button, int16_t Shift, int32_t X, int32_t Y)
{
    if (!BMExists) return;
    if (CanvasInput* tools = paintingInput()) tools->idstMouseMove(Button, Shift, X, Y);
}

void fImage::idstMouseUp(int16_t Button, int16_t Shift, int32_t X, int32_t Y)
{
    if (!BMExists) return;
    if (CanvasInput* tools = paintingInput()) tools->idstMouseUp(Button, Shift, X, Y);
}

void fImage::KeyboardStep(int16_t Button, int32_t X, int32_t Y)
{
    if (X == MovePointX_ && Y == MovePointY_) return;
    MovePointX_ = X;
    MovePointY_ = Y;
    idstMouseMove(Button, 0, X, Y);
}

void fImage::Clear()
{
    iDst->hide();
    setCanvasPointer(kPointerDefault);
    View_.Clear();
    iSrc.clearPicture();
    Doc_.ClearPicture();
}

// ---- Window life --------------------------------------------------------------

DocumentWindowSize documentWindowSize(int32_t freeWidthTwips, int32_t freeHeightTwips, int32_t imageWidth,
                                      int32_t imageHeight, int32_t statusBarHeight, int32_t containerTop)
{
    const int32_t t = platform::kTwipsPerPixel;
    DocumentWindowSize size;
    // As large as the picture plus the status bar and the frame, never larger
    // than the free area.
    if (freeHeightTwips > imageHeight * t)
        size.heightTwips = (statusBarHeight + imageHeight + containerTop + 35) * t;
    else
        size.heightTwips = freeHeightTwips - 70;
    if (freeWidthTwips > imageWidth * t)
        size.widthTwips = imageWidth * t + 200;
    else
        size.widthTwips = freeWidthTwips;
    return size;
}

QPoint cascadePosition(int index, QSize window, QSize area, int step)
{
    step = std::max(step, 1);
    // How many steps fit before the window would leave the area.
    const int room = std::min(area.width() - window.width(), area.height() - window.height());
    const int steps = room > 0 ? room / step + 1 : 1;
    const int k = index % steps;
    return {k * step, k * step};
}

void fImage::Form_Load()
{
    auto* window = qobject_cast<QMdiSubWindow*>(parentWidget());
    const bool maximised = programSettings().ImageMaximized;
    if (window && maximised) window->setWindowState(window->windowState() | Qt::WindowMaximized);

    // The new selection and the document number were taken when the window
    // was made (its first touch): the maker may already have put the picture
    // and its selection in, and named the document, which advances the count.

    // The main window's free area: the MDI area's inside.
    MainHost* m = mainHost();
    const int32_t mainWidthTwips = m ? m->mainWidget()->width() * platform::kTwipsPerPixel : 0;
    if (!m || mainWidthTwips <= 100 || ImageHeight() <= 100) {
        ImageWidth() = 500;
        ImageHeight() = 500;
    }

    // A maximised window cannot be sized or moved.
    if (window && !maximised && m) {
        const DocumentWindowSize size =
            documentWindowSize(m->documentAreaWidth() * platform::kTwipsPerPixel,
                               m->documentAreaHeight() * platform::kTwipsPerPixel,
                               ImageWidth(), ImageHeight(), sbInfo->sizeHint().height(), PImage->y());
        window->resize(size.widthTwips / platform::kTwipsPerPixel, size.heightTwips / platform::kTwipsPerPixel);
        // Below and right of the windows already open, so none hides
        // another's title bar.
        int others = 0;
        if (QMdiArea* area = window->mdiArea())
            for (QMdiSubWindow* sub : area->subWindowList())
                if (sub != window && sub->isVisible() && !sub->isMinimized()) ++others;
        const QSize areaSize(m->documentAreaWidth(), m->documentAreaHeight());
        window->move(cascadePosition(others, window->size(), areaSize,
                                     window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window)));
    }

}

void fImage::Form_Activate()
{
    SwapHistoy();
    MainHost* m = mainHost();
    if (!Activated_) {
        Activated_ = true;
        if (m) m->EnableMouseScrolling();
    }
    if (MeID == LastMeID()) return;
    LastMeID() = MeID;
    PasteFloating() = false;
    if (m) m->mirrorDocument(Doc_.BitsRef(), BitsRegion.walkRegion());
    sbInfo->setPanelText(QStringLiteral("Pixel"), QStringLiteral("%1 x %2").arg(PictureWidth()).arg(PictureHeight()));
    sbInfo->setPanelText(QStringLiteral("Zoom"), QStringLiteral("%1 : 1").arg(ZoomFactor()));
    if (m) m->fPanView_UpdateImage();
    SaveUndoOnNudge() = true;
    setMouseScroll(m && m->HandScrollButtonPressed());
    StartTimer();
}

void fImage::Form_Deactivate()
{
    StopTimer();
    UpdateImage();
}

void fImage::cFilterProgress_MouseDown()
{
    ProgressBorderStyle_ = 1;
    cFilterProgress->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid palette(shadow); }"));
}

void fImage::cFilterProgress_MouseUp()
{
    ProgressBorderStyle_ = 0;
    cFilterProgress->setStyleSheet(QString());
}

void fImage::cFilterProgress_Click()
{
    // The bar's two-valued display setting: its percentage text shown or not.
    cFilterProgress->setTextVisible(!cFilterProgress->isTextVisible());
}

bool fImage::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == cFilterProgress) {
        if (e->type() == QEvent::MouseButtonPress) {
            cFilterProgress_MouseDown();
        } else if (e->type() == QEvent::MouseButtonRelease) {
            cFilterProgress_MouseUp();
            const auto* me = static_cast<QMouseEvent*>(e);
            if (cFilterProgress->rect().contains(me->position().toPoint())) cFilterProgress_Click();
        }
    }
    return QWidget::eventFilter(watched, e);
}

void fImage::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    placeStatusBar();
    Form_Resize();
}

void fImage::placeStatusBar()
{
    const int h = sbInfo->sizeHint().height();
    sbInfo->setGeometry(0, std::max(0, height() - h), width(), h);
}

void fImage::placeProgressBox()
{
    picPb->move(1, std::max(0, height() - picPb->height() - 3));
    picPb->raise();
}

} // namespace tq
