#include "dialogs/fPaletteApply.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/DocumentDialog.h"
#include "document/Numeric.h"
#include "document/SharedRoutines.h"
#include "filters/PaletteFile.h"
#include "filters/Palette.h"
#include "filters/cBitFilter.h"
#include "widgets/ColourSwatch.h"
#include "platform/Folders.h"
#include "platform/PictureFiles.h"
#include "platform/Ports.h"
#include "widgets/QtControls.h"
#include "widgets/UpDownBar.h"
#include "widgets/WidgetHelpers.h"
#include "widgets/cpvSlider.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

namespace tq {
namespace {

constexpr int kBlinkMs = 500;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr const char* kPaletteFileNotReadText = "The file could not be read.";

// Runs one step of a handler whose failure is skipped: a value a control
// refuses is simply not taken.
template <class F>
void step(F&& f)
{
    try {
        f();
    } catch (const InvalidPropertyValue&) {
    }
}

// Sets an up-down when the value lies in its range; it refuses others.
void setUpDown(UpDownBar* bar, int32_t v)
{
    if (v >= bar->minimum() && v <= bar->maximum()) bar->setValue(v);
}

int mouseButtons(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

int shiftState(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

int32_t boxValue(const QLineEdit* box) { return rnd(Val(box->text().toStdString())); }

// The number of cells the palette fills.
int32_t drawnCells(const PaletteRecord& palette)
{
    const int64_t n = std::min<int64_t>(palette.Count, static_cast<int64_t>(palette.entries.size()));
    return static_cast<int32_t>(std::clamp<int64_t>(n, 0, PaletteGrid::kMaxCells));
}

// True when the file opens and its first bytes read: a refused load of such
// a file is about what it holds.
bool readable(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    uint8_t byte = 0;
    (void)std::fread(&byte, 1, 1, f);
    const bool ok = std::ferror(f) == 0;
    std::fclose(f);
    return ok;
}

cpvSlider* makeSlider(QWidget* parent, const QString& name, const QRect& place, int32_t lo, int32_t hi)
{
    auto* slider = new cpvSlider(parent);
    slider->setObjectName(name);
    slider->setOrientation(cpvSlider::kHorizontal);
    slider->setFixedWidth(place.width());
    slider->move(place.topLeft());
    slider->setMax(hi);
    slider->setMin(lo);
    return slider;
}

QLineEdit* makeBox(QWidget* parent, const QString& name, const QRect& place, const QString& text)
{
    return makeNumberBox(parent, name, place, text, Qt::AlignRight);
}

} // namespace

// ---- The marker -------------------------------------------------------------------

PaletteMarker::PaletteMarker(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("shpSelect"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(PaletteGrid::kPitch, PaletteGrid::kPitch);
}

void PaletteMarker::setBorderColor(int32_t colour)
{
    border_ = colour;
    update();
}

void PaletteMarker::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(QColor(colorRed(border_), colorGreen(border_), colorBlue(border_)));
    p.drawRect(0, 0, width() - 1, height() - 1);
}

// ---- The grid -----------------------------------------------------------------------

PaletteGrid::PaletteGrid(QWidget* parent) : QFrame(parent), picture_(kSide, kSide, QImage::Format_RGB32)
{
    setObjectName(QStringLiteral("iPal"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFixedSize(kSide + 4, kSide + 4);
    setCursor(Qt::CrossCursor);
    picture_.fill(QApplication::palette().color(QPalette::Dark));
}

int32_t PaletteGrid::GetPixel(int x, int y) const
{
    const QRgb c = picture_.pixel(std::clamp(x, 0, kSide - 1), std::clamp(y, 0, kSide - 1));
    return rgbColor(qRed(c), qGreen(c), qBlue(c));
}

void PaletteGrid::paintEvent(QPaintEvent* e)
{
    {
        QPainter p(this);
        p.drawImage(inside(), picture_);
    }
    QFrame::paintEvent(e);
}

void PaletteGrid::mousePressEvent(QMouseEvent* e)
{
    const QPointF at = e->position() - QPointF(inside());
    emit MouseDown(mouseButtons(e->button()), at.x(), at.y());
}

void PaletteGrid::mouseMoveEvent(QMouseEvent* e)
{
    const QPointF at = e->position() - QPointF(inside());
    emit MouseMove(mouseButtons(e->buttons()), at.x(), at.y());
}

// ---- The dialog ----------------------------------------------------------------------

fPaletteApply::fPaletteApply(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fPaletteApply"));
    setWindowTitle(QStringLiteral("Apply palette"));
    useDialogFont(this);
    setFixedSize(twipsToPixels(6120), twipsToPixels(3720));

    iPal = new PaletteGrid(this);
    iPal->move(twipsRect(120, 120, 3420, 3420).topLeft());
    iPal->setEnabled(false);
    shpSelect = new PaletteMarker(iPal);
    shpSelect->hide();

    lblCur = new ColourSwatch(this);
    lblCur->setObjectName(QStringLiteral("lblCur"));
    lblCur->setToolTip(QStringLiteral("Double click to apply to palette color"));
    placeFixed(lblCur, twipsRect(3690, 120, 600, 915));
    lblCur->installEventFilter(this);

    const char* const rgbNames[3] = {"R", "G", "B"};
    for (int i = 0; i < 3; ++i) {
        const int top = 120 + 330 * i;
        lblRGB[i] = makeLabel(this, QString::fromLatin1(rgbNames[i]), twipsRect(4440, top + 30, 180, 210));
        txtRGB[i] = makeBox(this, QStringLiteral("txtRGB%1").arg(i), twipsRect(4650, top, 540, 285), QStringLiteral("0"));
        txtRGB[i]->setEnabled(false);
        txtRGB[i]->installEventFilter(this);
        txtRGBUD[i] = makeUpDown(this, QStringLiteral("txtRGBUD%1").arg(i), twipsRect(5190, top, 195, 285), 0, 255, 0);
    }

    lblIndex = makeLabel(this, QStringLiteral("Color index"), twipsRect(3690, 1200, 1305, 210));
    lblIndex->setEnabled(false);
    lblIndexV = makeLabel(this, QStringLiteral("0"), twipsRect(5010, 1200, 375, 210));
    lblIndexV->setEnabled(false);
    sbIndex = makeSlider(this, QStringLiteral("sbIndex"), twipsRect(3690, 1440, 1425, 300), 0, 255);
    sbIndexUDT = makeBox(this, QStringLiteral("sbIndexUDT"), twipsRect(5130, 1440, 540, 285), QStringLiteral("0"));
    // It only shows the index: nothing reads its text.
    sbIndexUDT->setReadOnly(true);
    sbIndexUD = makeUpDown(this, QStringLiteral("sbIndexUD"), twipsRect(5670, 1440, 195, 285), 0, 255, 0);

    chkColors = new QCheckBox(QStringLiteral("Max. colors"), this);
    chkColors->setObjectName(QStringLiteral("chkColors"));
    chkColors->setGeometry(twipsRect(3690, 1935, 1305, 255));
    chkColors->setEnabled(false);
    lblColorsV = makeLabel(this, QStringLiteral("256"), twipsRect(5010, 1950, 375, 210));
    lblColorsV->setEnabled(false);
    sbColors = makeSlider(this, QStringLiteral("sbColors"), twipsRect(3690, 2220, 1425, 300), 2, 256);
    sbColorsUDT = makeBox(this, QStringLiteral("sbColorsUDT"), twipsRect(5130, 2220, 540, 285), QStringLiteral("2"));
    sbColorsUDT->installEventFilter(this);
    sbColorsUD = makeUpDown(this, QStringLiteral("sbColorsUD"), twipsRect(5670, 2220, 195, 285), 2, 256, 2);

    cmd[0] = new QPushButton(QStringLiteral("Load Palette"), this);
    cmd[0]->setGeometry(twipsRect(3690, 2790, 1140, 345));
    cmd[1] = new QPushButton(QStringLiteral("Save Palette"), this);
    cmd[1]->setGeometry(twipsRect(4860, 2790, 1140, 345));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setGeometry(twipsRect(3690, 3195, 1140, 345));
    cmdOK->setDefault(true);
    cmdOK->setEnabled(false);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setGeometry(twipsRect(4860, 3195, 1140, 345));

    tmrSelect = new QTimer(this);
    tmrSelect->setInterval(kBlinkMs);

    connect(iPal, &PaletteGrid::MouseDown, this, &fPaletteApply::iPal_MouseDown);
    connect(iPal, &PaletteGrid::MouseMove, this, &fPaletteApply::iPal_MouseMove);
    connect(sbIndex, &cpvSlider::ValueChanged, this, &fPaletteApply::sbIndex_ValueChanged);
    connect(sbIndexUD, &QScrollBar::valueChanged, this, &fPaletteApply::sbIndexUD_Change);
    connect(sbColors, &cpvSlider::ValueChanged, this, &fPaletteApply::sbColors_ValueChanged);
    connect(sbColorsUDT, &QLineEdit::textChanged, this, &fPaletteApply::sbColorsUDT_Change);
    connect(sbColorsUD, &QScrollBar::valueChanged, this, &fPaletteApply::sbColorsUD_Change);
    connect(chkColors, &QCheckBox::clicked, this, &fPaletteApply::chkColors_Click);
    for (int i = 0; i < 3; ++i) {
        connect(txtRGB[i], &QLineEdit::textChanged, this, [this, i] { txtRGB_Change(i); });
        connect(txtRGBUD[i], &QScrollBar::valueChanged, this, [this, i] { txtRGBUD_Change(i); });
    }
    connect(cmd[0], &QPushButton::clicked, this, [this] { cmd_Click(0); });
    connect(cmd[1], &QPushButton::clicked, this, [this] { cmd_Click(1); });
    connect(cmdOK, &QPushButton::clicked, this, &fPaletteApply::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &fPaletteApply::cmdCancel_Click);
    connect(tmrSelect, &QTimer::timeout, this, &fPaletteApply::tmrSelect_Timer);

    DrawPaletteGrid();
}

void fPaletteApply::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Form_Activate();
}

void fPaletteApply::Form_Activate()
{
    target_ = ActiveImage();
    updateOk();
}

void fPaletteApply::updateOk()
{
    const PaletteRecord& palette = CurrentPalette();
    cmdOK->setEnabled(editing_ && palette.Count > 0 && !palette.entries.empty());
}

bool fPaletteApply::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == lblCur && e->type() == QEvent::MouseButtonDblClick) {
        if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) lblCur_DblClick();
        return true;
    }
    for (int i = 0; i < 3; ++i) {
        if (watched != txtRGB[i]) continue;
        if (e->type() == QEvent::KeyPress)
            return refuseTypedKey(txtRGB[i], *static_cast<QKeyEvent*>(e), 3,
                                  [this, i](int16_t& k) { txtRGB_KeyPress(i, k); });
        if (e->type() == QEvent::MouseMove) {
            const auto* m = static_cast<QMouseEvent*>(e);
            txtRGB_MouseMove(i, mouseButtons(m->buttons()), shiftState(m->modifiers()), m->position().y());
        }
        return false;
    }
    if (watched == sbColorsUDT && e->type() == QEvent::KeyPress)
        return refuseTypedKey(sbColorsUDT, *static_cast<QKeyEvent*>(e), 3,
                              [this](int16_t& k) { sbColorsUDT_KeyPress(k); });
    return QDialog::eventFilter(watched, e);
}

// ---- The grid -----------------------------------------------------------------------

void fPaletteApply::DrawPaletteGrid()
{
    QImage& picture = iPal->picture();
    picture.fill(QApplication::palette().color(QPalette::Dark));
    const PaletteRecord& palette = CurrentPalette();
    const int32_t n = drawnCells(palette);
    {
        QPainter p(&picture);
        for (int32_t i = 0; i < n; ++i) {
            const PaletteEntry& e = palette.entries[static_cast<size_t>(i)];
            const int c = i % PaletteGrid::kColumns, r = i / PaletteGrid::kColumns;
            p.fillRect(PaletteGrid::kPitch * c + 1, PaletteGrid::kPitch * r + 1, PaletteGrid::kCellSide,
                       PaletteGrid::kCellSide,
                       QColor(std::clamp(e.red, 0, 255), std::clamp(e.green, 0, 255), std::clamp(e.blue, 0, 255)));
        }
    }
    iPal->update();
}

void fPaletteApply::iPal_MouseDown(int, double X, double Y) { iPal_MouseMove(1, X, Y); }

void fPaletteApply::iPal_MouseMove(int Button, double X, double Y)
{
    if (!(Button & 1)) return;
    constexpr double last = PaletteGrid::kSide - 1;
    const int32_t x = rnd(std::clamp(X, 0.0, last));
    const int32_t y = rnd(std::clamp(Y, 0.0, last));
    constexpr int32_t pitch = PaletteGrid::kPitch;
    // Points on a cell's border ring, in the gap, pick nothing.
    if (x % pitch == 0 || x % pitch == pitch - 1 || y % pitch == 0 || y % pitch == pitch - 1) return;
    const int32_t index = x / pitch + (y / pitch) * PaletteGrid::kColumns;
    const PaletteRecord& palette = CurrentPalette();
    if (index > palette.Count - 1 || index >= drawnCells(palette)) return;

    const int32_t colour = iPal->GetPixel(x, y);
    lblCur->setBackColor(colour);
    txtRGB[0]->setText(QString::number(colorRed(colour)));
    txtRGB[1]->setText(QString::number(colorGreen(colour)));
    txtRGB[2]->setText(QString::number(colorBlue(colour)));
    shpSelect->move(iPal->inside() + QPoint(x / pitch * pitch, y / pitch * pitch));
    step([&] { sbIndex->setValue(index); });
}

void fPaletteApply::sbIndex_ValueChanged()
{
    const int32_t v = sbIndex->Value();
    sbIndexUDT->setText(QString::number(v));
    setUpDown(sbIndexUD, v);
    iPal_MouseMove(1, (v % PaletteGrid::kColumns) * PaletteGrid::kPitch + 1,
                   (v / PaletteGrid::kColumns) * PaletteGrid::kPitch + 1);
}

void fPaletteApply::sbIndexUD_Change()
{
    step([&] { sbIndex->setValue(sbIndexUD->value()); });
}

void fPaletteApply::sbColors_ValueChanged()
{
    const int32_t v = sbColors->Value();
    sbColorsUDT->setText(QString::number(v));
    PaletteRecord& palette = CurrentPalette();
    palette.Count = v;
    palette.entries.resize(static_cast<size_t>(std::max(v, 0)));   // new entries are black
    DrawPaletteGrid();
    step([&] {
        if (sbIndex->Value() > v - 1) sbIndex->setValue(v - 1);
    });
    step([&] { sbIndex->setMax(v - 1); });
    setUpDown(sbColorsUD, v);
    updateOk();
}

void fPaletteApply::sbColorsUDT_KeyPress(int16_t& KeyAscii) { mAPI::FilterDigitKey(KeyAscii); }

void fPaletteApply::sbColorsUDT_Change()
{
    LineEditTextBox text(sbColorsUDT);
    mAPI::SyncSliderFromText(*sbColors, text);
}

void fPaletteApply::sbColorsUD_Change()
{
    step([&] { sbColors->setValue(sbColorsUD->value()); });
}

void fPaletteApply::chkColors_Click()
{
    const bool ticked = chkColors->isChecked();
    sbColors->setEnabled(ticked);
    lblColorsV->setEnabled(ticked);
}

// ---- The current colour ---------------------------------------------------------------

void fPaletteApply::txtRGB_KeyPress(int, int16_t& KeyAscii) { mAPI::FilterDigitKey(KeyAscii); }

void fPaletteApply::txtRGB_Change(int index)
{
    QLineEdit* box = txtRGB[index];
    if (box->text().isEmpty() || Val(box->text().toStdString()) < 0) {
        box->setText(QStringLiteral("0"));
        box->setSelection(0, 3);
    }
    if (Val(box->text().toStdString()) > 255) {
        box->setText(QStringLiteral("255"));
        box->setSelection(0, 3);
    }
    lblCur->setBackColor(rgbColor(std::clamp(boxValue(txtRGB[0]), 0, 255), std::clamp(boxValue(txtRGB[1]), 0, 255),
                                  std::clamp(boxValue(txtRGB[2]), 0, 255)));
    setUpDown(txtRGBUD[index], boxValue(box));
}

void fPaletteApply::txtRGBUD_Change(int index) { txtRGB[index]->setText(QString::number(txtRGBUD[index]->value())); }

void fPaletteApply::txtRGB_MouseMove(int index, int Button, int Shift, double Y)
{
    if (!(Button & 1)) return;
    const int32_t stepSize = Shift == 2 ? 10 : 1;
    int32_t v = boxValue(txtRGB[index]);
    // Lower on the screen than last time lowers the value; higher, or no
    // vertical move at all, raises it.
    v += Y - lastY_ > 0 ? -stepSize : stepSize;
    txtRGB[index]->setText(QString::number(v));
    lastY_ = rnd(Y);
}

void fPaletteApply::lblCur_DblClick()
{
    const std::optional<int32_t> chosen = lblCur->pickColour();
    if (!chosen) return;
    ColorToRGBBoxes(*chosen);
    // The swatch's tip promises the colour goes into the palette.
    if (editing_) StoreCurrentColor();
}

void fPaletteApply::ColorToRGBBoxes(int32_t colour)
{
    txtRGB[0]->setText(QString::number(colour & 255));
    txtRGB[1]->setText(QString::number((colour / 256) & 255));
    txtRGB[2]->setText(QString::number((colour / 65536) & 255));
}

void fPaletteApply::StoreCurrentColor()
{
    PaletteRecord& palette = CurrentPalette();
    const int32_t index = sbIndex->Value();
    if (index < 0 || index > palette.Count - 1 || index >= static_cast<int32_t>(palette.entries.size())) return;
    PaletteEntry& e = palette.entries[static_cast<size_t>(index)];
    e.red = std::clamp(boxValue(txtRGB[0]), 0, 255);
    e.green = std::clamp(boxValue(txtRGB[1]), 0, 255);
    e.blue = std::clamp(boxValue(txtRGB[2]), 0, 255);
    DrawPaletteGrid();
}

void fPaletteApply::tmrSelect_Timer()
{
    blink_ = blink_ != kWhite ? kWhite : 0;
    shpSelect->setBorderColor(blink_);
}

// ---- Files ---------------------------------------------------------------------------------

void fPaletteApply::cmd_Click(int index) { PaletteFileCommand(index); }

void fPaletteApply::PaletteFileCommand(int index)
{
    using namespace platform;
    namespace fs = std::filesystem;
    const std::string folder = joinPath(programFolder(), kPalettesFolderName);
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        MsgBox(kPalettesMissingText, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    const bool save = index == 1;
    const std::optional<std::string> path =
        askForFile(save, save ? "Save palette" : "Load palette", kPaletteFileFilter, folder);
    if (!path) return;

    if (save) {
        const PaletteRecord& palette = CurrentPalette();
        if (palette.Count < 1 || palette.entries.empty()) {
            MsgBox(kPaletteEmptyText, MsgButtons::OK, MsgIcon::Exclamation);
            return;
        }
        // The file is the palette and nothing after it, whatever it held before.
        const std::vector<uint8_t> bytes = PaletteFile::encode(palette);
        if (!replaceFileWithBytes(*path, {std::span<const uint8_t>(bytes)}))
            MsgBox(saveFailureText(kPaletteNotSavedText, *path), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }

    // A refused file leaves the palette and the dialog as they were.
    if (!Module7::LoadPalette(*path)) {
        MsgBox(readable(*path) ? kPaletteNotLoadedText : kPaletteFileNotReadText, MsgButtons::OK,
               MsgIcon::Exclamation);
        return;
    }
    step([&] { sbColors->setValue(CurrentPalette().Count); });
    DrawPaletteGrid();
    EnablePaletteEditing();
}

void fPaletteApply::EnablePaletteEditing()
{
    editing_ = true;
    for (QWidget* w : findChildren<QWidget*>()) w->setEnabled(true);
    sbIndex->setEnabled(true);
    tmrSelect->start();
    cmd[1]->setEnabled(true);
    shpSelect->show();
    sbColors->setEnabled(chkColors->isChecked());
    iPal_MouseDown(1, 1, 1);
    updateOk();
    cmdOK->setFocus();
}

// ---- OK and Cancel -----------------------------------------------------------------------

void fPaletteApply::cmdOK_Click()
{
    LastActionName() = kApplyPaletteStep;
    accept();
    // An empty palette maps nothing and records no step.
    applyEngineStep(target_, [](cBitFilter& engine) { return engine.PaletteApply(); });
}

void fPaletteApply::cmdCancel_Click() { reject(); }

fPaletteApply* showPaletteDialog() { return showOwnedDialog<fPaletteApply>(); }

} // namespace tq
