#include "toolwindows/fOptions.h"

#include "document/MainHost.h"
#include "document/SettingsFile.h"
#include "document/Numeric.h"
#include "document/ProgramContext.h"
#include "document/WriteFailureNotice.h"
#include "document/SharedRoutines.h"
#include "toolwindows/fToolBrowser.h"
#include "widgets/ColourSwatch.h"
#include "platform/Folders.h"
#include "platform/Ports.h"
#include "widgets/QtControls.h"
#include "widgets/UpDownBar.h"
#include "widgets/WidgetHelpers.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>
#include <cerrno>

namespace tq {

namespace {

QWidget* box(QWidget* parent, const char* name, int x, int y, int w, int h, QRgb colour)
{
    auto* b = new QWidget(parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setGeometry(x, y, w, h);
    QPalette p = b->palette();
    p.setColor(QPalette::Window, QColor::fromRgb(colour));
    b->setPalette(p);
    b->setAutoFillBackground(true);
    return b;
}

template <class W>
W* placed(W* w, const char* name, int x, int y, int width, int height)
{
    w->setObjectName(QString::fromUtf8(name));
    w->setGeometry(x, y, width, height);
    return w;
}

// The leading number of a box as a 16-bit whole number; false for a box
// that holds no number at all.
bool boxValue16(const QLineEdit* edit, int16_t& out)
{
    const std::string text = edit->text().toStdString();
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    return toInt16(Val(text), out);
}

} // namespace

fOptions::fOptions(QWidget* owner, fToolBrowser* browser) : QDialog(owner), Browser_(browser)
{
    setObjectName(QStringLiteral("fOptions"));
    setWindowTitle(QStringLiteral("Thumbnails Options"));
    setFixedSize(546, 310);

    Frame1 = placed(new QGroupBox(QStringLiteral("Thumbnails"), this), "Frame1", 8, 8, 537, 257);
    fThumbnail = placed(new QWidget(Frame1), "fThumbnail", 8, 16, 521, 233);
    picThumbBox = box(fThumbnail, "picThumbBox", 8, 0, 240, 224, 0xFF808080);
    picThumb = box(picThumbBox, "picThumb", 0, 0, 100, 100, 0xFFE0E0E0);
    const Qt::CursorShape cursors[3] = {Qt::SizeVerCursor, Qt::SizeFDiagCursor, Qt::SizeHorCursor};
    for (int i = 0; i < 3; ++i) {
        QWidget* handle = box(picThumbBox, "picSize", 0, 0, kHandleSide, kHandleSide, 0xFF000000);
        handle->setProperty("index", i);
        handle->setCursor(cursors[i]);
        handle->installEventFilter(this);
        picSize[size_t(i)] = handle;
    }

    Frame2 = placed(new QGroupBox(QStringLiteral("Thumbnail Quality"), fThumbnail), "Frame2", 256, 0, 257, 49);
    optThumbnailQuality[0] = placed(new QRadioButton(QStringLiteral("Normal"), Frame2), "optThumbnailQuality", 24, 20, 65, 17);
    optThumbnailQuality[1] = placed(new QRadioButton(QStringLiteral("Resample"), Frame2), "optThumbnailQuality", 112, 20, 81, 17);
    optThumbnailQuality[1]->setChecked(true);
    chkThumbnailShowFilename = placed(new QCheckBox(QStringLiteral("Show Filename"), fThumbnail),
                                      "chkThumbnailShowFilename", 264, 56, 150, 17);
    chkThumbnailShowResolution = placed(new QCheckBox(QStringLiteral("Show Resolution"), fThumbnail),
                                        "chkThumbnailShowResolution", 264, 80, 150, 17);

    Frame16 = placed(new QGroupBox(QStringLiteral("Background"), fThumbnail), "Frame16", 256, 112, 257, 49);
    Label1 = placed(new QLabel(QStringLiteral("Workspace"), Frame16), "Label1", 32, 20, 65, 17);
    pThumbnailWorkspaceBackground = new ColourSwatch(Frame16, true);
    pThumbnailWorkspaceBackground->setObjectName(QStringLiteral("pThumbnailWorkspaceBackground"));
    pThumbnailWorkspaceBackground->setFixedSize(41, 17);
    pThumbnailWorkspaceBackground->move(std::max(96, widenToText(Label1) + 2), 20);
    pThumbnailWorkspaceBackground->setBackColor(0xFFFFFF);

    Frame3 = placed(new QGroupBox(QStringLiteral("Thumbnail Size"), fThumbnail), "Frame3", 256, 168, 257, 57);
    Label6 = placed(new QLabel(QStringLiteral("Width"), Frame3), "Label6", 8, 20, 41, 17);
    txtThumbnailWidth = placed(new QLineEdit(QStringLiteral("100"), Frame3), "txtThumbnailWidth", 56, 20, 49, 23);
    WWS = placed(new UpDownBar(Frame3), "WWS", 104, 20, 13, 23);
    Label7 = placed(new QLabel(QStringLiteral("Height"), Frame3), "Label7", 136, 20, 41, 17);
    txtThumbnailHeight = placed(new QLineEdit(QStringLiteral("100"), Frame3), "txtThumbnailHeight", 184, 20, 49, 23);
    HHS = placed(new UpDownBar(Frame3), "HHS", 232, 20, 13, 23);
    for (auto [bar, max] : {std::pair{WWS, kWidthMax}, std::pair{HHS, kHeightMax}}) {
        bar->setRange(kWidthMin, max);
        bar->setValue(100);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        // Dragging the scroll box counts when it is let go.
        bar->setTracking(false);
        bar->setFocusPolicy(Qt::NoFocus);
    }
    for (QLineEdit* edit : {txtThumbnailWidth, txtThumbnailHeight}) edit->installEventFilter(this);

    cmdCancel = placed(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel", 368, 272, 81, 25);
    cmdCancel->setAutoDefault(false);
    cmdOK = placed(new QPushButton(QStringLiteral("OK"), this), "cmdOK", 456, 272, 84, 23);
    cmdOK->setDefault(true);

    connect(txtThumbnailWidth, &QLineEdit::textChanged, this, [this] { sizeBoxChanged(txtThumbnailWidth, WWS); });
    connect(txtThumbnailHeight, &QLineEdit::textChanged, this, [this] { sizeBoxChanged(txtThumbnailHeight, HHS); });
    connect(WWS, &QScrollBar::valueChanged, this, [this] { barChanged(txtThumbnailWidth, WWS); });
    connect(HHS, &QScrollBar::valueChanged, this, [this] { barChanged(txtThumbnailHeight, HHS); });
    for (int i = 0; i < 2; ++i)
        connect(optThumbnailQuality[size_t(i)], &QRadioButton::clicked, this, [this, i] { optThumbnailQuality_Click(i); });
    connect(pThumbnailWorkspaceBackground, &ColourSwatch::Click, this, [this] { pThumbnailWorkspaceBackground_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    Form_Load();
}

fOptions::~fOptions() = default;

fToolBrowser* fOptions::browser() const
{
    if (Browser_) return Browser_;
    MainHost* host = mainHost();
    QWidget* main = host ? host->mainWidget() : nullptr;
    return main ? main->findChild<fToolBrowser*>(QStringLiteral("fToolBrowser")) : nullptr;
}

void fOptions::Form_Load()
{
    const Settings& s = programSettings();
    // 1. The boxes; each runs its change rule, which clamps it and moves its bar.
    txtThumbnailHeight->setText(QString::number(s.ThumbHeight));
    txtThumbnailWidth->setText(QString::number(s.ThumbWidth));
    // 2. A stored quality outside 0 and 1 leaves the designed choice shown.
    if (s.ThumbQuality == 0 || s.ThumbQuality == 1) {
        optThumbnailQuality[size_t(s.ThumbQuality)]->setChecked(true);
        optThumbnailQuality_Click(s.ThumbQuality);
    }
    // 3, 4.
    chkThumbnailShowResolution->setChecked(s.ShowResolution != 0);
    chkThumbnailShowFilename->setChecked(s.ShowFileName != 0);
    pThumbnailWorkspaceBackground->setBackColor(s.ThumbBackColor);
    // 5, 6. The preview at the stored size itself, even where the boxes
    // could not take it.
    picThumb->resize(std::max<int>(0, s.ThumbWidth), std::max<int>(0, s.ThumbHeight));
    placeHandles(s.ThumbWidth, s.ThumbHeight);
}

// ---- Boxes, bars and preview -----------------------------------------------------------

void fOptions::sizeBoxChanged(QLineEdit* edit, UpDownBar* bar)
{
    LineEditTextBox text(edit);
    ScrollBarUpDown upDown(bar);
    mAPI::SyncScrollFromText(upDown, text);
}

void fOptions::barChanged(QLineEdit* edit, UpDownBar* bar)
{
    edit->setText(QString::number(bar->value()));
    ApplyPreviewSize();
}

void fOptions::ApplyPreviewSize()
{
    const int h = std::max(0, rnd(Val(txtThumbnailHeight->text().toStdString())));
    const int w = std::max(0, rnd(Val(txtThumbnailWidth->text().toStdString())));
    picThumb->resize(w, h);
    const int bottom = picThumb->y() + h;
    const int right = picThumb->x() + w;
    // The halves are taken from the preview area's own place in its
    // container, so these handles sit a little off the ones a drag places.
    const double half = kHandleSide / 2.0;
    picSize[0]->move(rnd((right - picThumbBox->x()) / 2.0 - half), bottom);
    picSize[1]->move(right, bottom);
    picSize[2]->move(right, rnd((bottom - picThumbBox->y()) / 2.0 - half));
}

void fOptions::placeHandles(int w, int h)
{
    const double half = kHandleSide / 2.0;
    picSize[0]->move(rnd(w / 2.0 - half), h);
    picSize[1]->move(w, h);
    picSize[2]->move(w, rnd(h / 2.0 - half));
}

// ---- Dragging a handle -------------------------------------------------------------------

void fOptions::picSize_MouseDown(int, const QPoint& p) { Grab_ = p; }

void fOptions::picSize_MouseMove(int index, const QPoint& p, Qt::MouseButtons buttons)
{
    if (buttons != Qt::LeftButton) return;
    // The bottom handle changes the height only, the right one the width
    // only, the corner both.
    int newHeight = picSize[0]->y();
    int newWidth = picSize[2]->x();
    if (index != 2) newHeight += p.y() - Grab_.y();
    if (index != 0) newWidth += p.x() - Grab_.x();
    // The limits are the area less two screen twips-per-pixel figures taken
    // as pixels: 194 and 210, the bars' own maxima.
    newHeight = std::min(newHeight, picThumbBox->height() - 2 * platform::TwipsPerPixelY());
    newWidth = std::min(newWidth, picThumbBox->width() - 2 * platform::TwipsPerPixelX());
    const double half = kHandleSide / 2.0;
    picSize[0]->move(rnd(newWidth / 2.0 - half), newHeight);
    picSize[1]->move(newWidth, newHeight);
    picSize[2]->move(newWidth, rnd(newHeight / 2.0 - half));
    // A size below nothing is refused: the preview keeps its side.
    picThumb->resize(newWidth >= 0 ? newWidth : picThumb->width(), newHeight >= 0 ? newHeight : picThumb->height());
    // Both sides are taken before either box is written: a box that clamps
    // redraws the preview from both boxes, which would otherwise put the
    // other side back to its old value and lose that half of the drag.
    const QSize dragged = picThumb->size();
    txtThumbnailWidth->setText(QString::number(int16_t(dragged.width())));
    txtThumbnailHeight->setText(QString::number(int16_t(dragged.height())));
    update();
}

bool fOptions::eventFilter(QObject* watched, QEvent* e)
{
    if (auto* edit = qobject_cast<QLineEdit*>(watched);
        edit && (edit == txtThumbnailWidth || edit == txtThumbnailHeight) && e->type() == QEvent::KeyPress) {
        if (refuseTypedKey(edit, *static_cast<QKeyEvent*>(e), 0, mAPI::FilterDigitKey)) return true;
        return QDialog::eventFilter(watched, e);
    }
    if (auto* handle = qobject_cast<QWidget*>(watched); handle && handle->property("index").isValid() &&
                                                        handle->parentWidget() == picThumbBox) {
        const int index = handle->property("index").toInt();
        if (e->type() == QEvent::MouseButtonPress) {
            picSize_MouseDown(index, static_cast<QMouseEvent*>(e)->position().toPoint());
            return true;
        }
        if (e->type() == QEvent::MouseMove) {
            const auto* me = static_cast<QMouseEvent*>(e);
            picSize_MouseMove(index, me->position().toPoint(), me->buttons());
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void fOptions::keyPressEvent(QKeyEvent* e)
{
    // Cancel is not bound to Esc.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

// ---- Quality, colour, OK and Cancel ------------------------------------------------------

void fOptions::optThumbnailQuality_Click(int index) { programSettings().ThumbQuality = int16_t(index); }

void fOptions::pThumbnailWorkspaceBackground_Click()
{
    if (const std::optional<int32_t> colour =
            platform::ports().colourPicker->pick(pThumbnailWorkspaceBackground->BackColor()))
        pThumbnailWorkspaceBackground->setBackColor(*colour);
}

void fOptions::cmdOK_Click()
{
    hide();
    Settings& s = programSettings();
    // A box that holds no 16-bit number leaves its field as it was.
    boxValue16(txtThumbnailWidth, s.ThumbWidth);
    boxValue16(txtThumbnailHeight, s.ThumbHeight);
    s.ShowFileName = chkThumbnailShowFilename->isChecked() ? 1 : 0;
    s.ShowResolution = chkThumbnailShowResolution->isChecked() ? 1 : 0;
    s.ThumbBackColor = pThumbnailWorkspaceBackground->BackColor();
    if (fToolBrowser* b = browser()) {
        QPalette p = b->picSlide->palette();
        p.setColor(QPalette::Window, QColor(s.ThumbBackColor & 0xFF, (s.ThumbBackColor >> 8) & 0xFF,
                                            (s.ThumbBackColor >> 16) & 0xFF));
        b->picSlide->setPalette(p);
        if (b->ThumbnailFlag) {
            // The cells take the new size; their pictures are not made again.
            for (QToolButton* cell : b->optThumb) cell->resize(s.ThumbWidth, s.ThumbHeight);
            b->thumb_resize();
        }
    }
    const std::filesystem::path folder = platform::programFolder();
    if (!Module8::SaveSettings(s, folder)) reportSettingsNotSaved(folder, errno);
    done(QDialog::Accepted);
}

void fOptions::cmdCancel_Click() { done(QDialog::Rejected); }

} // namespace tq
