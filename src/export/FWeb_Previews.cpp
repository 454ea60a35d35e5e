// The optimised save dialog's previews: the layout that keeps the tab strip,
// its pages and the options panel filling the window, the tabs, and the
// panning of a picture larger than its clip box (on the "Both" page the two
// pictures pan together).
#include "export/FWeb.h"

#include "document/ProgramContext.h"
#include "document/Settings.h"

#include <QTabWidget>
#include <QGroupBox>

#include <cmath>
#include <limits>

namespace tq {

namespace {

// A real number as a 16-bit whole number, the nearest with halves to the
// even neighbour; false when it does not fit.
bool round16(double v, int16_t& out)
{
    const double r = std::nearbyint(v);
    if (!(r >= std::numeric_limits<int16_t>::min() && r <= std::numeric_limits<int16_t>::max())) return false;
    out = static_cast<int16_t>(r);
    return true;
}

int nearest(double v) { return static_cast<int>(std::nearbyint(v)); }

// The picture's place in its clip box: centred where it is smaller, from
// its top-left corner where it is not.
void centre(FWebPictureBox* picture, const FWebClipBox* clip)
{
    const int cw = clip->innerWidth(), ch = clip->innerHeight();
    const int pw = picture->innerWidth(), ph = picture->innerHeight();
    const int left = pw < cw ? nearest((cw - pw) / 2.0) : 0;
    const int top = ph < ch ? nearest((ch - ph) / 2.0) : 0;
    picture->move(left, top);
}

void rangeUpdate(const FWebPictureBox* picture, const FWebClipBox* clip, FWebOffsetBar& horizontal,
                 FWebOffsetBar& vertical)
{
    horizontal.Enabled = picture->outerWidth() > clip->innerWidth();
    vertical.Enabled = picture->outerHeight() > clip->innerHeight();
    int16_t m = 0;
    if (round16(double(picture->innerHeight()) - clip->innerHeight(), m)) vertical.setMax(m);
    if (round16(double(picture->innerWidth()) - clip->innerWidth(), m)) horizontal.setMax(m);
}

} // namespace

// ---- Offset bars -----------------------------------------------------------------

bool FWebOffsetBar::setValue(int32_t v)
{
    const int32_t lo = std::min<int32_t>(Min(), max_), hi = std::max<int32_t>(Min(), max_);
    if (v < lo || v > hi) return false;
    set(static_cast<int16_t>(v));
    return true;
}

void FWebOffsetBar::setMax(int16_t m)
{
    max_ = m;
    const int16_t lo = std::min<int16_t>(Min(), max_), hi = std::max<int16_t>(Min(), max_);
    if (value_ < lo) set(lo);
    if (value_ > hi) set(hi);
}

void FWebOffsetBar::set(int16_t v)
{
    if (v == value_) return;
    value_ = v;
    if (Change) Change(v);
}

void FWeb::connectBars()
{
    // A bar's value is its picture's offset: the picture's left (top) edge
    // sits at minus the value.
    const auto left = [](FWebPictureBox* p) { return [p](int16_t v) { p->move(-v, p->y()); }; };
    const auto top = [](FWebPictureBox* p) { return [p](int16_t v) { p->move(p->x(), -v); }; };
    H.Change = left(iSrc);
    V.Change = top(iSrc);
    Hop.Change = left(oSrc);
    Vop.Change = top(oSrc);
    HHor.Change = left(OriginalP);
    VVor.Change = top(OriginalP);
    HHop.Change = left(OptimizedP);
    VVop.Change = top(OptimizedP);
}

// ---- Layout ---------------------------------------------------------------------------

void FWeb::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    Form_Resize();
}

void FWeb::Form_Resize()
{
    if (!sSave) return;   // still being built
    // The smallest window: 8000 x 7250 twips, each direction on its own. A
    // width below 500 pixels, or below what the texts need where the
    // desktop's font makes that more, becomes the smallest width.
    if (width() < std::max(500, TextsWidth_)) resize(smallestWidth(), height());
    if (height() < 450) resize(width(), 7250 / kTwipsPerPixel);

    const int sbHeight = sb->height();
    sb->setGeometry(0, height() - sbHeight, width(), sbHeight);
    sT->setGeometry(0, 0, width() - sSave->width(), height() - sbHeight);
    sSave->setGeometry(2 * sT->x() + sT->width(), 0, sSave->width(), sT->height());

    // The pages lie over the tab strip's client area with a margin of their
    // left on the left, right and below.
    p1->setGeometry(p1->x(), p1->y(), sT->width() - 2 * p1->x(), sT->height() - p1->y() - p1->x());
    CiSrc->setBox(0, 0, p1->width(), p1->height() - frmOriginal->height() - 0);
    frmOriginal->setGeometry(frmOriginal->x(), CiSrc->y() + CiSrc->height(), CiSrc->outerWidth(),
                             frmOriginal->height());

    p2->setGeometry(p2->x(), p2->y(), p1->width(), p1->height());
    CoSrc->setBox(0, 0, p2->width(), p2->height() - frmOptimized->height() - 0);
    frmOptimized->setGeometry(frmOptimized->x(), CoSrc->y() + CoSrc->height(), CoSrc->outerWidth(),
                              frmOptimized->height());

    p3->setGeometry(p3->x(), p3->y(), p1->width(), p1->height());
    const int half = nearest(p3->width() / 2.0 - p3->x());
    CoriginalP->setBox(0, 0, half, CiSrc->height());
    frmOriginalP->setGeometry(frmOriginalP->x(), CoriginalP->y() + CoriginalP->height(), CoriginalP->width(),
                              frmOriginalP->height());
    COptimizedP->setBox(CoriginalP->x() + CoriginalP->width() + p3->x() + 3, 0, half, CoSrc->height());
    frmOptimizedP->setGeometry(COptimizedP->x(), COptimizedP->y() + COptimizedP->height(), COptimizedP->width(),
                               frmOptimizedP->height());

    centre(iSrc, CiSrc);
    centre(oSrc, CoSrc);
    centre(OriginalP, CoriginalP);
    centre(OptimizedP, COptimizedP);

    Update_iSrc();
    Update_oSrc();
    Update_OriginalP();
    Update_OptimizedP();
}

int FWeb::smallestWidth() const { return std::max(8000 / kTwipsPerPixel, TextsWidth_); }

void FWeb::sT_Click()
{
    const int tab = sT->currentIndex() + 1;
    if (tab < 1 || tab > 3) return;
    p1->setVisible(tab == 1);
    p2->setVisible(tab == 2);
    p3->setVisible(tab == 3);
    for (QWidget* p : {p1, p2, p3})
        if (p->isVisibleTo(this)) p->raise();
    programSettings().WebSaveTab = int16_t(tab);
}

void FWeb::Update_iSrc() { rangeUpdate(iSrc, CiSrc, H, V); }
void FWeb::Update_oSrc() { rangeUpdate(oSrc, CoSrc, Hop, Vop); }
void FWeb::Update_OriginalP() { rangeUpdate(OriginalP, CoriginalP, HHor, VVor); }
void FWeb::Update_OptimizedP() { rangeUpdate(OptimizedP, COptimizedP, HHop, VVop); }

// ---- Panning ----------------------------------------------------------------------------

void FWeb::startPan(FWebPictureBox* picture, double X, double Y)
{
    picture->setCursor(Qt::ClosedHandCursor);
    Panning = 1;
    PanStartX = static_cast<float>(X);
    PanStartY = static_cast<float>(Y);
}

void FWeb::pan(std::initializer_list<FWebOffsetBar*> horizontal, std::initializer_list<FWebOffsetBar*> vertical,
               double X, double Y)
{
    if (Panning != 1) return;
    // Every bar moves by the same amount, computed from the same pointer
    // position, so the grabbed point stays under the pointer and the two
    // pictures of the "Both" page stay together. A value past the range is
    // refused: the picture stops where it was.
    const float x = static_cast<float>(X), y = static_cast<float>(Y);
    auto it = vertical.begin();
    for (FWebOffsetBar* h : horizontal) {
        int16_t v = 0;
        if (h->Enabled && round16(PanStartX + static_cast<float>(h->Value()) - x, v)) h->setValue(v);
        FWebOffsetBar* bar = *it++;
        if (bar->Enabled && round16(PanStartY + static_cast<float>(bar->Value()) - y, v)) bar->setValue(v);
    }
}

void FWeb::endPan(FWebPictureBox* picture)
{
    picture->setCursor(Qt::OpenHandCursor);
    Panning = 0;
}

void FWeb::iSrc_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, double X, double Y) { startPan(iSrc, X, Y); }
void FWeb::iSrc_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, double X, double Y) { pan({&H}, {&V}, X, Y); }
void FWeb::iSrc_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, double, double) { endPan(iSrc); }

void FWeb::oSrc_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, double X, double Y)
{
    Update_oSrc();
    startPan(oSrc, X, Y);
}
void FWeb::oSrc_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, double X, double Y) { pan({&Hop}, {&Vop}, X, Y); }
void FWeb::oSrc_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, double, double) { endPan(oSrc); }

void FWeb::OriginalP_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, double X, double Y)
{
    Update_OriginalP();
    Update_OptimizedP();
    startPan(OriginalP, X, Y);
}
void FWeb::OriginalP_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, double X, double Y)
{
    pan({&HHor, &HHop}, {&VVor, &VVop}, X, Y);
}
void FWeb::OriginalP_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, double, double) { endPan(OriginalP); }

void FWeb::OptimizedP_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, double X, double Y)
{
    Update_OptimizedP();
    Update_OriginalP();
    startPan(OptimizedP, X, Y);
}
void FWeb::OptimizedP_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, double X, double Y)
{
    pan({&HHop, &HHor}, {&VVop, &VVor}, X, Y);
}
void FWeb::OptimizedP_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, double, double) { endPan(OptimizedP); }

} // namespace tq
