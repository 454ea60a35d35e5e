#include "dialogs/fUserFilter.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/DocumentDialog.h"
#include "document/Numeric.h"
#include "filters/UserFilterFile.h"
#include "filters/cBitFilter.h"
#include "platform/Folders.h"
#include "platform/PictureFiles.h"
#include "platform/Ports.h"
#include "widgets/UpDownBar.h"
#include "widgets/ColourSwatch.h"
#include "widgets/WidgetHelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <limits>
#include <optional>

namespace tq {
namespace {

constexpr int kCellTyped = 3;
constexpr int kWeightTyped = 3;
constexpr int kOffsetTyped = 4;

// A box holds a number when its whole text is one whole number: an optional
// minus sign and digits, within 32 bits. Empty text and a lone minus sign
// are no numbers.
std::optional<int32_t> wholeNumber(const QLineEdit* box)
{
    const QString text = box->text();
    int i = 0;
    const bool negative = !text.isEmpty() && text.at(0) == u'-';
    if (negative) ++i;
    if (i == text.size()) return std::nullopt;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        if (ch < u'0' || ch > u'9') return std::nullopt;
        v = v * 10 + (ch - u'0');
        if (v > int64_t{1} << 31) return std::nullopt;
    }
    if (negative) v = -v;
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return static_cast<int32_t>(v);
}

// The number a box's text starts with, read as text boxes are read; no
// number counts as 0.
double leadingNumber(const QLineEdit* box) { return Val(box->text().toStdString()); }

void setTextSelected(QLineEdit* box, const QString& text)
{
    box->setText(text);
    box->selectAll();
}

QLineEdit* makeBox(QWidget* parent, const QString& name, const QRect& place, const QString& text)
{
    return makeNumberBox(parent, name, place, text, Qt::AlignCenter);
}

} // namespace

fUserFilter::fUserFilter(QWidget* parent) : QDialog(parent)
{
    // Form_Load.
    setObjectName(QStringLiteral("fUserFilter"));
    setWindowTitle(QStringLiteral("User filter"));
    useDialogFont(this);
    setFixedSize(twipsToPixels(5295), twipsToPixels(3390));

    for (int i = 0; i < kCells; ++i) {
        const int row = i / 5, column = i % 5;
        txtM[i] = makeBox(this, QStringLiteral("txtM%1").arg(i),
                          twipsRect(150 + 480 * column, 165 + 405 * row, 435, 345), QStringLiteral("0"));
        txtM[i]->installEventFilter(this);
        txtM[i]->setAutoFillBackground(true);
    }

    lblCur = new ColourSwatch(this);
    lblCur->setObjectName(QStringLiteral("lblCur"));
    placeFixed(lblCur, twipsRect(2760, 360, 540, 300));
    lblAddFactors = makeLabel(this, QStringLiteral("Add factors:"), twipsRect(3480, 150, 1050, 255));
    lblRed = makeLabel(this, QStringLiteral("Red"), twipsRect(3510, 450, 690, 240));
    lblGreen = makeLabel(this, QStringLiteral("Green"), twipsRect(3510, 750, 690, 240));
    lblBlue = makeLabel(this, QStringLiteral("Blue"), twipsRect(3510, 1065, 690, 240));
    const int addTop[3] = {405, 705, 1020};
    const int udTop[3] = {390, 705, 1005};
    for (int i = 0; i < 3; ++i) {
        txtAdd[i] = makeBox(this, QStringLiteral("txtAdd%1").arg(i), twipsRect(4125, addTop[i], 660, 270),
                            QStringLiteral("0"));
        txtAdd[i]->installEventFilter(this);
        txtAddUD[i] = makeUpDown(this, QStringLiteral("txtAddUD%1").arg(i), twipsRect(4800, udTop[i], 195, 285), 0, 255, 0);
    }
    lblWeight = makeLabel(this, QStringLiteral("Weight "), twipsRect(3510, 1530, 795, 210));
    txtWeight = makeBox(this, QStringLiteral("txtWeight"), twipsRect(4125, 1485, 660, 270), QStringLiteral("1"));
    txtWeight->installEventFilter(this);
    chkAuto = new QCheckBox(QStringLiteral("&Auto"), this);
    chkAuto->setGeometry(twipsRect(4125, 1785, 780, 300));
    chkAuto->setChecked(true);

    cbBased = new QComboBox(this);
    cbBased->setObjectName(QStringLiteral("cbBased"));
    cbBased->setEditable(false);
    cbBased->setGeometry(twipsRect(120, 2280, 2400, 315));
    cbBased->addItem(QStringLiteral("<None>"), -1);
    for (int32_t id = 0; id < kPresetKernelCount; ++id) {
        const std::string_view name = PresetKernels[static_cast<size_t>(id)].name;
        cbBased->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), id);
    }
    chkKeepMargins = new QCheckBox(QStringLiteral("&Keep margins"), this);
    chkKeepMargins->setGeometry(twipsRect(3360, 2400, 2520, 225));
    chkKeepMargins->setChecked(true);

    cmd[0] = new QPushButton(QStringLiteral("Load Filter"), this);
    cmd[0]->setGeometry(twipsRect(120, 2760, 1095, 375));
    cmd[1] = new QPushButton(QStringLiteral("Save Filter"), this);
    cmd[1]->setGeometry(twipsRect(1320, 2760, 1215, 375));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setGeometry(twipsRect(3360, 2760, 900, 345));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setGeometry(twipsRect(4320, 2760, 900, 345));
    cmdOK->setDefault(true);

    for (int i = 0; i < kCells; ++i)
        connect(txtM[i], &QLineEdit::textChanged, this, [this, i] { txtM_Change(i); });
    connect(txtWeight, &QLineEdit::textChanged, this, [this] { txtWeight_Change(); });
    connect(chkAuto, &QCheckBox::clicked, this, [this] { chkAuto_Click(); });
    for (int i = 0; i < 3; ++i) {
        connect(txtAdd[i], &QLineEdit::textChanged, this, [this, i] { txtAdd_Change(i); });
        connect(txtAddUD[i], &QScrollBar::valueChanged, this, [this, i] { txtAddUD_Change(i); });
    }
    connect(lblCur, &ColourSwatch::Click, this, [this] { lblCur_Click(); });
    connect(cbBased, &QComboBox::activated, this, [this] { cbBased_Click(); });
    connect(cmd[0], &QPushButton::clicked, this, [this] { cmd_Click(0); });
    connect(cmd[1], &QPushButton::clicked, this, [this] { cmd_Click(1); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    // Every cell shows whether it counts from the start.
    for (int i = 0; i < kCells; ++i) txtM_Change(i);
    cbBased->setCurrentIndex(0);
    cbBased_Click();
}

void fUserFilter::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Form_Activate();
}

void fUserFilter::Form_Activate()
{
    target_ = ActiveImage();
    cbBased->setFocus();
}

bool fUserFilter::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, e);
    const auto& key = *static_cast<QKeyEvent*>(e);
    for (int i = 0; i < kCells; ++i)
        if (watched == txtM[i])
            return refuseTypedKey(txtM[i], key, kCellTyped, [this, i](int16_t& k) { txtM_KeyPress(i, k); });
    for (int i = 0; i < 3; ++i)
        if (watched == txtAdd[i])
            return refuseTypedKey(txtAdd[i], key, kOffsetTyped, [this, i](int16_t& k) { txtAdd_KeyPress(i, k); });
    if (watched == txtWeight)
        return refuseTypedKey(txtWeight, key, kWeightTyped, [this](int16_t& k) { txtWeight_KeyPress(k); });
    return QDialog::eventFilter(watched, e);
}

// ---- Presets and the grid ------------------------------------------------------

void fUserFilter::cbBased_Click()
{
    ClearMask();
    const int32_t id = cbBased->currentData().toInt();
    if (id == -1) return;
    KernelRecord record;
    if (mBitmap::GetPresetKernel(record, id)) MaskToGrid(record);
}

void fUserFilter::ClearMask()
{
    for (QLineEdit* cell : txtM) cell->setText(QStringLiteral("0"));
    txtM[kCentreCell]->setText(QStringLiteral("1"));
    txtWeight->setText(QStringLiteral("1"));
    for (QLineEdit* box : txtAdd) box->setText(QStringLiteral("0"));
}

void fUserFilter::MaskToGrid(const KernelRecord& record)
{
    const int32_t n = record.Mask.side();
    if (n != 3 && n != 5) return;
    const int32_t h = (4 - record.Mask.upperBound()) / 2;
    for (int32_t r = h; r <= 4 - h; ++r)
        for (int32_t c = h; c <= 4 - h; ++c) txtM[r * 5 + c]->setText(QString::number(record.Mask(r - h, c - h)));
    txtWeight->setText(QString::number(record.Weight));
    txtAdd[0]->setText(QString::number(record.rFactor));
    txtAdd[1]->setText(QString::number(record.gFactor));
    txtAdd[2]->setText(QString::number(record.bFactor));
}

bool fUserFilter::GridToMask(KernelRecord& record)
{
    auto fail = [] {
        platform::MsgBox(kInvalidMaskText, platform::MsgButtons::OK, platform::MsgIcon::Information);
        return false;
    };
    int32_t cells[kCells];
    bool anyNonZero = false, outerRing = false;
    for (int i = 0; i < kCells; ++i) {
        const std::optional<int32_t> v = wholeNumber(txtM[i]);
        if (!v) return fail();
        cells[i] = *v;
        if (*v == 0) continue;
        anyNonZero = true;
        const int row = i / 5, column = i % 5;
        if (row == 0 || row == 4 || column == 0 || column == 4) outerRing = true;
    }
    if (!anyNonZero) return fail();
    const std::optional<int32_t> weight = wholeNumber(txtWeight);
    const std::optional<int32_t> red = wholeNumber(txtAdd[0]);
    const std::optional<int32_t> green = wholeNumber(txtAdd[1]);
    const std::optional<int32_t> blue = wholeNumber(txtAdd[2]);
    if (!weight || !red || !green || !blue) return fail();

    const int32_t n = outerRing ? 5 : 3;
    const int32_t h = outerRing ? 0 : 1;
    KernelRecord built;
    built.Mask = KernelMask(n);
    for (int32_t i = 0; i < n; ++i)
        for (int32_t j = 0; j < n; ++j) built.Mask(i, j) = cells[(i + h) * 5 + (j + h)];
    built.Weight = *weight;
    built.rFactor = *red;
    built.gFactor = *green;
    built.bFactor = *blue;
    record = std::move(built);
    return true;
}

void fUserFilter::txtM_KeyPress(int, int16_t& KeyAscii)
{
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (!digit && KeyAscii != 8 && KeyAscii != '-') KeyAscii = 0;
}

void fUserFilter::txtM_Change(int index)
{
    QLineEdit* cell = txtM[index];
    const QPalette& app = QApplication::palette();
    QPalette pal = cell->palette();
    pal.setColor(QPalette::Base, app.color(leadingNumber(cell) != 0 ? QPalette::Base : QPalette::Button));
    cell->setPalette(pal);
    if (chkAuto->isChecked()) AutoWeight();
}

void fUserFilter::AutoWeight()
{
    int64_t sum = 0;
    for (const QLineEdit* cell : txtM) sum += rnd(leadingNumber(cell));
    // A sum beyond 32 bits is not written: the weight stays as it was.
    if (sum < std::numeric_limits<int32_t>::min() || sum > std::numeric_limits<int32_t>::max()) return;
    txtWeight->setText(QString::number(sum));
}

void fUserFilter::chkAuto_Click()
{
    if (chkAuto->isChecked()) AutoWeight();
}

void fUserFilter::txtWeight_KeyPress(int16_t& KeyAscii)
{
    if (!(KeyAscii >= '0' && KeyAscii <= '9') && KeyAscii != 8) KeyAscii = 0;
}

void fUserFilter::txtWeight_Change()
{
    if (leadingNumber(txtWeight) < 1) setTextSelected(txtWeight, QStringLiteral("1"));
}

// ---- Offsets and the swatch ----------------------------------------------------

void fUserFilter::txtAdd_KeyPress(int index, int16_t& KeyAscii) { txtM_KeyPress(index, KeyAscii); }

void fUserFilter::txtAdd_Change(int index)
{
    QLineEdit* box = txtAdd[index];
    if (box->text().isEmpty() || leadingNumber(box) < 0) setTextSelected(box, QStringLiteral("0"));
    if (leadingNumber(box) > 255) setTextSelected(box, QStringLiteral("255"));
    // While a box holds no number (a lone minus sign) the swatch stays.
    const std::optional<int32_t> r = wholeNumber(txtAdd[0]), g = wholeNumber(txtAdd[1]), b = wholeNumber(txtAdd[2]);
    if (r && g && b && *r >= 0 && *r <= 255 && *g >= 0 && *g <= 255 && *b >= 0 && *b <= 255)
        lblCur->setBackColor(rgbColor(*r, *g, *b));
    const std::optional<int32_t> v = wholeNumber(box);
    if (v && *v >= txtAddUD[index]->minimum() && *v <= txtAddUD[index]->maximum()) txtAddUD[index]->setValue(*v);
}

void fUserFilter::txtAddUD_Change(int index) { txtAdd[index]->setText(QString::number(txtAddUD[index]->value())); }

void fUserFilter::lblCur_Click()
{
    if (const std::optional<int32_t> chosen = lblCur->pickColour()) ColorToOffsets(*chosen);
}

void fUserFilter::ColorToOffsets(int32_t colour)
{
    txtAdd[0]->setText(QString::number(colorRed(colour)));
    txtAdd[1]->setText(QString::number(colorGreen(colour)));
    txtAdd[2]->setText(QString::number(colorBlue(colour)));
}

// ---- Files -------------------------------------------------------------------------

void fUserFilter::cmd_Click(int index) { FilterFileCommand(index); }

std::string fUserFilter::filtersFolder()
{
    namespace fs = std::filesystem;
    const std::string program = platform::programFolder();
    const std::string folder = platform::joinPath(program, kFiltersFolderName);
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) fs::create_directory(folder, ec);
    return fs::is_directory(folder, ec) ? folder : program;
}

void fUserFilter::FilterFileCommand(int index)
{
    using namespace platform;
    if (!ports().fileDialogs) return;   // the folder is made only for a dialog
    const bool save = index != 0;
    const std::optional<std::string> path =
        askForFile(save, save ? "Save filter" : "Load filter", kFilterFileFilter, filtersFolder(), lastFile_);
    if (!path) return;
    lastFile_ = *path;

    if (!save) {
        KernelRecord record;
        switch (UserFilterFile::load(*path, record)) {
        case UserFilterFile::LoadStatus::Loaded: MaskToGrid(record); break;
        case UserFilterFile::LoadStatus::Unreadable: MsgBox(kFileNotReadText, MsgButtons::OK, MsgIcon::Exclamation); break;
        case UserFilterFile::LoadStatus::NotAKernel:
            MsgBox(kFilterNotLoadedText, MsgButtons::OK, MsgIcon::Exclamation);
            break;
        }
        return;
    }

    KernelRecord record;
    if (!GridToMask(record)) return;
    if (!UserFilterFile::save(*path, record))
        MsgBox(saveFailureText(kFilterNotSavedText, *path), MsgButtons::OK, MsgIcon::Exclamation);
}

// ---- OK and Cancel ------------------------------------------------------------------

void fUserFilter::cmdOK_Click()
{
    KernelRecord record;
    if (!GridToMask(record)) return;
    LastActionName() = kUserFilterStep;
    const bool keepMargins = chkKeepMargins->isChecked();
    accept();
    // A kernel the engine refuses changes nothing and records no step.
    applyEngineStep(target_, [&](cBitFilter& engine) {
        return engine.MaskFilter(record.Mask, record.Weight, record.rFactor, record.gFactor, record.bFactor,
                                 keepMargins);
    });
}

void fUserFilter::cmdCancel_Click() { reject(); }

fUserFilter* showUserFilterDialog() { return showOwnedDialog<fUserFilter>(); }

} // namespace tq
