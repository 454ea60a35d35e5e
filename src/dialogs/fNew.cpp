#include "dialogs/fNew.h"

#include "widgets/ColourSwatch.h"
#include "platform/SystemColors.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/GeometryChange.h"
#include "dialogs/PictureGeometry.h"
#include "dialogs/SizeBoxPair.h"
#include "document/MainHost.h"
#include "document/Numeric.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "document/SharedRoutines.h"
#include "filters/cBitFilter.h"
#include "platform/Folders.h"
#include "platform/Ports.h"
#include "widgets/WidgetHelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <new>

namespace tq {

namespace {
// The desktop's colour for the text of an active title bar (a system colour).
constexpr int32_t kCaptionTextColour = static_cast<int32_t>(0x80000009u);
} // namespace
namespace {

constexpr const char* kNewImageCaption = "New Image Document";
constexpr const char* kNewImageName = "New.bmp";
const char* const kStandardSizes[] = {"Custom...",  "240 x 320", "320 x 240", "480 x 640", "640 x 480",
                                      "600 x 800",  "800 x 600", "768 x 1024", "1024 x 768"};

QString sizeItem(int64_t w, int64_t h) { return QStringLiteral("%1 x %2").arg(w).arg(h); }

} // namespace

int32_t fNew::CPColour() const { return translateColor(CP->BackColor()).value_or(0); }

// ---- The dialog ---------------------------------------------------------------

fNew::fNew(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fNew"));
    setWindowTitle(QStringLiteral("New Document"));
    useDialogFont(this);
    setFixedSize(twipsToPixels(5790), twipsToPixels(2265));

    lblDefault = makeLabel(this, QStringLiteral("Standard sizes"), twipsRect(120, 120, 1155, 240));
    cbDefault = new QComboBox(this);
    cbDefault->setObjectName(QStringLiteral("cbDefault"));
    for (const char* item : kStandardSizes) cbDefault->addItem(QString::fromLatin1(item));
    cbDefault->setGeometry(twipsRect(120, 360, 2760, 315));

    Frame1 = new QGroupBox(QStringLiteral("Custom:"), this);
    Frame1->setGeometry(twipsRect(120, 720, 2655, 1455));
    lblWidth = makeLabel(Frame1, QStringLiteral("Width"), twipsRect(240, 280, 615, 255));
    QFont boxFont(QStringLiteral("Microsoft Sans Serif"));
    boxFont.setPointSizeF(6.75);
    boxFont.setBold(true);
    txtW = makeSizeBox(Frame1, QStringLiteral("txtW"), twipsRect(720, 240, 810, 300));
    txtW->setFont(boxFont);
    txtWW = new QScrollBar(Qt::Vertical, Frame1);
    txtWW->setObjectName(QStringLiteral("txtWW"));
    txtWW->setRange(5, 1600);
    txtWW->setSingleStep(1);
    txtWW->setGeometry(twipsRect(1560, 240, 195, 285));
    lblHeight = makeLabel(Frame1, QStringLiteral("Height"), twipsRect(120, 650, 615, 255));
    txtH = makeSizeBox(Frame1, QStringLiteral("txtH"), twipsRect(720, 600, 810, 300));
    txtH->setFont(boxFont);
    txtHH = new QScrollBar(Qt::Vertical, Frame1);
    txtHH->setObjectName(QStringLiteral("txtHH"));
    txtHH->setRange(5, 1260);
    txtHH->setSingleStep(1);
    txtHH->setGeometry(twipsRect(1560, 600, 195, 285));
    chkKeepProportions = new QCheckBox(QStringLiteral("&Keep proportions"), Frame1);
    chkKeepProportions->setGeometry(twipsRect(720, 960, 1725, 255));

    Frame2 = new QGroupBox(QStringLiteral("Image Background"), this);
    Frame2->setGeometry(twipsRect(3000, 240, 2655, 1455));
    OP[0] = new QRadioButton(QStringLiteral("White"), Frame2);
    OP[0]->setGeometry(twipsRect(240, 240, 855, 255));
    OP[0]->setChecked(true);
    OP[1] = new QRadioButton(QStringLiteral("Transparent"), Frame2);
    OP[1]->setGeometry(twipsRect(240, 550, 1335, 255));
    OP[2] = new QRadioButton(QStringLiteral("Custom..."), Frame2);
    OP[2]->setGeometry(twipsRect(240, 900, 1215, 255));
    CP = new ColourSwatch(Frame2, true);
    CP->setObjectName(QStringLiteral("CP"));
    CP->setCursor(Qt::ArrowCursor);
    CP->setBackColor(kCaptionTextColour);
    const QRect cpPlace = twipsRect(1320, 885, 495, 255);
    placeFixed(CP, cpPlace);

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setGeometry(twipsRect(3600, 1800, 900, 345));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setGeometry(twipsRect(4680, 1800, 900, 345));
    cmdOK->setDefault(true);

    sizes = new SizeBoxPair(txtW, txtH, chkKeepProportions, this);
    sizes->afterChange = [this](SizeBox* box) { followBox(box); };
    connect(cbDefault, &QComboBox::activated, this, [this] { cbDefault_Click(); });
    connect(txtWW, &QScrollBar::valueChanged, this, [this](int v) { txtW->setText(QString::number(v)); });
    connect(txtHH, &QScrollBar::valueChanged, this, [this](int v) { txtH->setText(QString::number(v)); });
    connect(CP, &ColourSwatch::Click, this, [this] { CP_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    // Creation: "Custom..." shown, 100 x 100 as the reference and in the boxes.
    cbDefault->setCurrentIndex(0);
    sizes->showSize(100, 100);
}

void fNew::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Form_Activate();
}

void fNew::Form_Activate() { cbDefault->setFocus(); }

void fNew::followBox(SizeBox* box)
{
    QScrollBar* bar = box == txtW ? txtWW : txtHH;
    int16_t v = 0;
    if (!toInt16(Val(box->text().toStdString()), v)) return;
    if (v < bar->minimum() || v > bar->maximum()) return;
    bar->setValue(v);
}

void fNew::cbDefault_Click()
{
    const int i = cbDefault->currentIndex();
    if (i <= 0) return;
    const std::vector<std::string> parts = mAPI::SplitString(cbDefault->itemText(i).toStdString(), " x ");
    if (parts.size() < 2) return;
    int32_t v = 0;
    if (toInt32(Val(parts[0]), v)) sizes->BaseWidth = v;
    txtW->setText(QString::fromStdString(parts[0]));
    if (toInt32(Val(parts[1]), v)) sizes->BaseHeight = v;
    txtH->setText(QString::fromStdString(parts[1]));
}

void fNew::CP_Click()
{
    OP[2]->setChecked(true);
    platform::ColourPicker* picker = platform::ports().colourPicker;
    if (!picker) return;
    if (const std::optional<int32_t> chosen = picker->pick(CPColour())) CP->setBackColor(*chosen);
}

void fNew::cmdOK_Click()
{
    using namespace platform;
    const int32_t colour = CPColour();
    const int64_t W = sizes->width();
    const int64_t H = sizes->height();
    if (!checkPictureSize(W, H)) return;
    sizes->BaseWidth = static_cast<int32_t>(W);
    sizes->BaseHeight = static_cast<int32_t>(H);
    const QString item = sizeItem(W, H);
    bool listed = false;
    for (int i = 1; i < cbDefault->count(); ++i) listed |= cbDefault->itemText(i) == item;
    if (!listed) cbDefault->addItem(item);

    std::optional<int32_t> fill;
    if (OP[0]->isChecked()) fill = rgbColor(255, 255, 255);
    if (OP[2]->isChecked()) fill = colour;

    accept();
    DoEvents();
    MainHost* host = mainHost();
    if (!host) return;
    ImageWidth() = static_cast<int16_t>(W);
    ImageHeight() = static_cast<int16_t>(H);

    // The whole picture is made before its window: a picture that cannot be
    // had leaves no window behind.
    cBitFilter& engine = host->engine();
    const GeometryOutcome outcome = blankPicture(engine, W, H, fill);
    fImage* doc = nullptr;
    if (outcome == GeometryOutcome::Done)
        doc = host->newDocumentWindow([&](fImage& d) { return d.TakeNewPicture(engine.Bits()); },
                                      platform::joinPath(programSettings().OpenFolder.text(), kNewImageName),
                                      kNewImageCaption);
    if (!doc) {
        // The engine mirrors the active document again.
        try {
            if (fImage* current = host->currentDocument()) mirrorDocumentInEngine(current->document());
        } catch (const std::bad_alloc&) {
        }
        reportGeometryFailure(outcome == GeometryOutcome::Done ? GeometryOutcome::NoMemory : outcome);
        return;
    }
    // The engine holds the new picture already; its region is the new window's.
    engine.setBitsRegion(doc->BitsRegion.RegionMain());
    ActiveImage() = doc;
    doc->document().SaveUndoBits(LastActionName());
    if (QWidget* main = host->mainWidget()) main->setFocus();
}

void fNew::cmdCancel_Click() { reject(); }

} // namespace tq
