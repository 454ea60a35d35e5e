// The Clips page of the history window: the ten slot rows with thumbnails,
// the toolbar (import from the clipboard, paste, remove one, remove all),
// and the main window's Cut and Copy storing into the slots.
#include "toolwindows/fPaste.h"

#include "document/MainHost.h"
#include "document/PictureBudget.h"
#include "document/ProgramContext.h"
#include "document/PictureRoutines.h"
#include "platform/Ports.h"
#include "toolwindows/SelectionClip.h"
#include "toolwindows/Thumbnail.h"

#include <QAction>
#include <QFrame>
#include <QPainter>
#include <QScrollBar>
#include <QToolBar>

#include <algorithm>
#include <cstring>
#include <new>

namespace tq {

namespace {

// picPaste and its rows (twips).
constexpr int32_t kListWidthTwips = 2385;
constexpr int32_t kListHeightTwips = 4935;
constexpr int32_t kRowWidthTwips = 2415;
constexpr int32_t kRowHeightTwips = 495;
constexpr int32_t kThumbWidthTwips = 735;
constexpr int32_t kThumbHeightTwips = 450;
constexpr int32_t kNumberLeftTwips = 840;
constexpr int32_t kSizeLeftTwips = 1200;
// V: minimum 50, small change 500, large change 1500 twips.
constexpr int kListScrollMin = 50;
constexpr int kListScrollSmall = 500;
constexpr int kListScrollLarge = 1500;

constexpr const char* kClipCaption = "Clip History";

// The toolbar's pictures, 16 x 16.
QIcon toolIcon(int index)
{
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setPen(Qt::black);
    switch (index) {
    case 1:   // a sheet coming in
        g.setBrush(Qt::white);
        g.drawRect(4, 2, 9, 11);
        g.drawLine(1, 8, 6, 8);
        g.drawLine(4, 6, 6, 8);
        g.drawLine(4, 10, 6, 8);
        break;
    case 2:   // a sheet onto a picture
        g.setBrush(QColor(0x80, 0xA0, 0xD0));
        g.drawRect(1, 5, 10, 9);
        g.setBrush(Qt::white);
        g.drawRect(6, 1, 8, 8);
        break;
    case 4:   // a cross
        g.setPen(QPen(QColor(0xC0, 0, 0), 2));
        g.drawLine(4, 4, 12, 12);
        g.drawLine(12, 4, 4, 12);
        break;
    case 5:   // two crosses
        g.setPen(QPen(QColor(0xC0, 0, 0), 2));
        g.drawLine(1, 3, 7, 9);
        g.drawLine(7, 3, 1, 9);
        g.drawLine(8, 7, 14, 13);
        g.drawLine(14, 7, 8, 13);
        break;
    default: break;
    }
    return QIcon(p);
}

} // namespace

void fPaste::buildClipsPage()
{
    cFrame = new QFrame(client());
    cFrame->setObjectName(QStringLiteral("cFrame"));

    tb1 = new QToolBar(cFrame);
    tb1->setObjectName(QStringLiteral("tb1"));
    tb1->setOrientation(Qt::Vertical);
    tb1->setIconSize(QSize(16, 16));
    tb1->setFocusPolicy(Qt::NoFocus);
    const struct {
        int index;
        const char* tip;
    } buttons[] = {
        {1, "Add Clip From the Clipboard"},
        {2, "Paste the Selected Clip to the Current Image"},
        {3, nullptr},
        {4, "Remove Selected Clip"},
        {5, "Remove All Clips"},
    };
    for (const auto& b : buttons) {
        if (!b.tip) {
            tb1->addSeparator();
            continue;
        }
        QAction* a = tb1->addAction(toolIcon(b.index), QString());
        a->setToolTip(QString::fromUtf8(b.tip));
        a->setObjectName(QStringLiteral("tb1_%1").arg(b.index));
        const int index = b.index;
        connect(a, &QAction::triggered, this, [this, index] { tb1_ButtonClick(index); });
    }
    tb1->resize(24, 10);

    FPicPaste = new QFrame(cFrame);
    FPicPaste->setObjectName(QStringLiteral("FPicPaste"));
    FPicPaste->setFrameStyle(QFrame::Box | QFrame::Plain);
    picPaste = new QWidget(FPicPaste);
    picPaste->setObjectName(QStringLiteral("picPaste"));
    picPaste->setGeometry(1, 1, twipsToPx(kListWidthTwips), twipsToPx(kListHeightTwips));
    V = new QScrollBar(Qt::Vertical, FPicPaste);
    V->setObjectName(QStringLiteral("V"));
    V->setMinimum(kListScrollMin);
    V->setSingleStep(kListScrollSmall);
    V->setPageStep(kListScrollLarge);
    V->setFocusPolicy(Qt::NoFocus);
    connect(V, &QScrollBar::valueChanged, this,
            [this](int v) { picPaste->move(picPaste->x(), FPicPaste->contentsRect().top() - twipsToPx(v)); });

    QFont verdana(QStringLiteral("Verdana"));
    verdana.setBold(true);
    verdana.setPixelSize(11);
    for (int i = 0; i < ClipHistory::kSlots; ++i) {
        ClipRow& r = ClipRows_[static_cast<size_t>(i)];
        r.pc = new QFrame(picPaste);
        r.pc->setObjectName(QStringLiteral("pc%1").arg(i));
        r.pc->setFrameStyle(QFrame::Box | QFrame::Plain);
        r.pc->setGeometry(0, twipsToPx(kClipRowStepTwips * i), twipsToPx(kRowWidthTwips), twipsToPx(kRowHeightTwips));
        const int rowH = r.pc->height();
        r.pT = new QLabel(r.pc);
        r.pT->setObjectName(QStringLiteral("pT%1").arg(i));
        r.pT->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const int thumbH = twipsToPx(kThumbHeightTwips);
        r.pT->setGeometry(1, (rowH - thumbH) / 2, twipsToPx(kThumbWidthTwips), thumbH);
        r.BT = new QLabel(r.pc);
        r.BT->setObjectName(QStringLiteral("BT%1").arg(i));
        r.BT->setFont(verdana);
        QPalette red = r.BT->palette();
        red.setColor(QPalette::WindowText, Qt::red);
        r.BT->setPalette(red);
        r.BT->setGeometry(twipsToPx(kNumberLeftTwips), 0, twipsToPx(kSizeLeftTwips - kNumberLeftTwips), rowH);
        r.BR = new QLabel(r.pc);
        r.BR->setObjectName(QStringLiteral("BR%1").arg(i));
        r.BR->setGeometry(twipsToPx(kSizeLeftTwips), 0, r.pc->width() - twipsToPx(kSizeLeftTwips) - 2, rowH);
        for (QWidget* w : {static_cast<QWidget*>(r.pc), static_cast<QWidget*>(r.BT), static_cast<QWidget*>(r.BR)}) {
            w->setProperty("clipRow", i);
            w->installEventFilter(this);
        }
    }

    tb2 = new QWidget(cFrame);
    tb2->setObjectName(QStringLiteral("tb2"));
    tb2->resize(10, twipsToPx(330));
}

void fPaste::Update_V()
{
    const int32_t list = pxToTwips(picPaste->height());
    const int32_t inner = pxToTwips(FPicPaste->contentsRect().height());
    V->setEnabled(list > inner);
    // The list is of fixed height: the difference always fits.
    // A maximum below the value pulls the value down, which moves the list
    // (the bar's change); otherwise the list stays where it is.
    V->setMaximum(std::max<int32_t>(V->minimum(), list - inner));
}

// ---- Cut and copy -------------------------------------------------------------------

bool fPaste::CutBits()
{
    if (!cutSelectionToClip()) return false;
    storeClip();
    return true;
}

bool fPaste::CopyBits()
{
    if (!copySelectionToClip()) return false;
    storeClip();
    return true;
}

// ---- Slots ----------------------------------------------------------------------------

void fPaste::storeClip()
{
    const int c = Clips_.StoreClip(ClipBits());
    DrawClipThumbnail(c);
    ClipRows_[static_cast<size_t>(c)].BT->setText(QString::fromStdString(Clips_.BT(c)));
}

void fPaste::DrawClipThumbnail(int c)
{
    const ClipRecord& r = Clips_.record(c);
    ClipRow& row = ClipRows_[static_cast<size_t>(c)];
    if (!r.holdsClip()) {
        row.thumbnail = QImage();
        row.pT->clear();
        LMessage->setText(QString::fromUtf8(kClipCaption));
        return;
    }
    LMessage->setText(QStringLiteral("Clip History:  %1 x %2").arg(r.W()).arg(r.H()));
    // Fitted into the first box, never enlarged: a small clip stands at its
    // own size in the box's top-left corner.
    const QSize box = ClipRows_[0].pT->contentsRect().size();
    int32_t tw = 0, th = 0;
    mBitmap::FitSize(r.W(), r.H(), box.width(), box.height(), tw, th);
    row.thumbnail = QImage(row.pT->size(), QImage::Format_ARGB32);
    row.thumbnail.fill(Qt::transparent);
    drawThumbnail(row.thumbnail, 0, 0, tw, th, r.bits, r.W(), r.H());
    row.pT->setPixmap(QPixmap::fromImage(row.thumbnail));
    row.BR->setText(QString::fromStdString(Clips_.BR(c)));
}

void fPaste::showClipRow(int i)
{
    ClipRow& row = ClipRows_[static_cast<size_t>(i)];
    row.BT->setText(QString::fromStdString(Clips_.BT(i)));
    row.BR->setText(QString::fromStdString(Clips_.BR(i)));
    if (!Clips_.record(i).holdsClip()) {
        row.thumbnail = QImage();
        row.pT->clear();
    }
}

void fPaste::ClearCLip(bool All)
{
    Clips_.ClearCLip(All);
    for (int i = 0; i < ClipHistory::kSlots; ++i) showClipRow(i);
}

void fPaste::pc_Click(int i)
{
    Clips_.setCurrent(i);
    giveFocusToMain();
}

void fPaste::tb1_ButtonClick(int index)
{
    switch (index) {
    case 1: ImportClipboardClip(); break;
    case 2:
        programSettings().SelectionMoveFromClip = true;
        PasteSelectedClip();
        break;
    case 4: ClearCLip(false); break;
    case 5: ClearCLip(true); break;
    default: break;
    }
}

void fPaste::ImportClipboardClip()
{
    platform::Clipboard* clipboard = platform::ports().clipboard;
    if (!clipboard || !clipboard->hasBitmap()) return;
    BitsBuffer clip;
    try {
        const std::optional<DibRecord> dib = clipboard->bitmap();
        if (!dib || dib->width < 1 || dib->height < 1 || dib->width > kMaxPictureSide ||
            dib->height > kMaxPictureSide)
            return;
        const size_t rowBytes = 4u * static_cast<size_t>(dib->width);
        if (dib->bits.size() < rowBytes * static_cast<size_t>(dib->height)) return;
        if (!mayMakePicture(dib->width, dib->height)) return;
        clip = BitsBuffer(dib->width, dib->height);
        for (int y = 0; y < dib->height; ++y) {
            uint8_t* d = clip.row(y);
            std::memcpy(d, dib->row(y), rowBytes);
            // A picture from outside is all clip: no pixel marked as outside.
            for (size_t k = 3; k < rowBytes; k += 4) d[k] = 0;
        }
    } catch (const std::exception&) {
        return;   // too large to hold: nothing imported
    }
    ClipBits() = std::move(clip);
    storeClip();
}

void fPaste::PasteSelectedClip()
{
    const ClipRecord& r = Clips_.record(Clips_.current());
    if (!r.holdsClip()) return;
    ClipBits() = r.bits;
    giveFocusToMain();
    if (MainHost* m = mainHost()) m->MenuExec("PASTE");
}

} // namespace tq
