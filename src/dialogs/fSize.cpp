#include "dialogs/fSize.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/GeometryChange.h"
#include "dialogs/PictureGeometry.h"
#include "dialogs/PreviewBox.h"
#include "dialogs/SizeBoxPair.h"
#include "document/MainHost.h"
#include "document/Numeric.h"
#include "document/fImage.h"
#include "document/mBitmap.h"
#include "platform/Ports.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <iterator>

namespace tq {
namespace {

constexpr int kPreviewSide = 150;

} // namespace

fSize::fSize(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fSize"));
    setWindowTitle(QStringLiteral("Image size"));
    useDialogFont(this);
    setFixedSize(twipsToPixels(5985), twipsToPixels(2625));

    lblBack = makePreviewFrame(this, twipsRect(150, 150, 2310, 2310));
    iSrc = new PreviewBox(this);
    iSrc->setGeometry(twipsRect(180, 180, 2250, 2250));
    lblWidth = new QLabel(QStringLiteral("Width"), this);
    lblWidth->setGeometry(twipsRect(2715, 165, 615, 255));
    txtW = new SizeBox(this);
    txtW->setObjectName(QStringLiteral("txtW"));
    txtW->setGeometry(twipsRect(3435, 105, 810, 285));
    lblHeight = new QLabel(QStringLiteral("Height"), this);
    lblHeight->setGeometry(twipsRect(2715, 525, 615, 255));
    txtH = new SizeBox(this);
    txtH->setObjectName(QStringLiteral("txtH"));
    txtH->setGeometry(twipsRect(3435, 480, 810, 285));
    lblPreDef = new QLabel(QStringLiteral("Quick"), this);
    lblPreDef->setGeometry(twipsRect(2715, 1035, 585, 195));
    cbPreDef = new QComboBox(this);
    cbPreDef->setObjectName(QStringLiteral("cbPreDef"));
    cbPreDef->addItems({QStringLiteral("1.5 *"), QStringLiteral("2.0 *"), QStringLiteral("1.5 /"),
                        QStringLiteral("2.0 /")});
    cbPreDef->setGeometry(twipsRect(3435, 990, 810, 315));
    chkKeepProportions = new QCheckBox(QStringLiteral("&Keep proportions"), this);
    chkKeepProportions->setGeometry(twipsRect(2715, 1515, 1725, 255));
    chkKeepProportions->setChecked(true);
    chkInterpolate = new QCheckBox(QStringLiteral("&Anti-Alias"), this);
    chkInterpolate->setGeometry(twipsRect(2715, 1845, 1725, 255));
    chkInterpolate->setChecked(true);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setGeometry(twipsRect(4920, 120, 900, 345));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setGeometry(twipsRect(4920, 600, 900, 345));

    sizes = new SizeBoxPair(txtW, txtH, chkKeepProportions, this);
    connect(cbPreDef, &QComboBox::activated, this, [this] { cbPreDef_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void fSize::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Form_Activate();
}

void fSize::paintEvent(QPaintEvent* e)
{
    QDialog::paintEvent(e);
    paintSeparator(this, 175);
}

void fSize::Form_Activate()
{
    update();
    target_ = ActiveImage();
    fImage* doc = target_.data();
    if (!doc || !doc->PictureExists()) return;
    const int32_t w = doc->PictureWidth();
    const int32_t h = doc->PictureHeight();

    // The preview: the picture fitted into the square, centred in it.
    int32_t pw = 0, ph = 0;
    mBitmap::FitSize(w, h, kPreviewSide, kPreviewSide, pw, ph);
    const QPoint corner = lblBack->geometry().topLeft() + QPoint(2, 2);
    iSrc->setGeometry(corner.x() + rnd((kPreviewSide - pw) / 2.0), corner.y() + rnd((kPreviewSide - ph) / 2.0), pw,
                      ph);
    iSrc->showPicture(PreviewBox::reduced(doc->Bits(), pw, ph, false), pw, ph);
    iSrc->show();

    sizes->BaseWidth = w;
    sizes->BaseHeight = h;
    txtW->setText(QString::number(sizes->BaseWidth));
    txtH->setText(QString::number(sizes->BaseHeight));
    cbPreDef->setCurrentIndex(-1);
    txtW->setFocus();
}

void fSize::cbPreDef_Click()
{
    const int i = cbPreDef->currentIndex();
    if (i < 0 || i >= static_cast<int>(std::size(kQuickFactors))) return;
    const double factor = kQuickFactors[i];
    // Unticked, the two boxes do not drive each other.
    const bool keep = chkKeepProportions->isChecked();
    chkKeepProportions->setChecked(false);
    int32_t v = 0;
    if (toInt32(Val(txtW->text().toStdString()) * factor, v)) txtW->setText(QString::number(v));
    if (toInt32(Val(txtH->text().toStdString()) * factor, v)) txtH->setText(QString::number(v));
    chkKeepProportions->setChecked(keep);
}

void fSize::cmdOK_Click()
{
    using namespace platform;
    const int64_t W = sizes->width();
    const int64_t H = sizes->height();
    if (W == sizes->BaseWidth && H == sizes->BaseHeight) {
        if (MainHost* host = mainHost()) host->fPanView_UpdateImage();
        return;
    }
    if (W < 2 || H < 2) {
        MsgBox(kMinimumSizeText, MsgButtons::OK, MsgIcon::Information);
        return;
    }
    if (W > kMaxPictureSide || H > kMaxPictureSide) {
        MsgBox(kMaximumSizeText, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    fImage* doc = target_.data();
    if (!doc || !doc->PictureExists()) {
        cmdCancel_Click();
        return;
    }
    sizes->BaseWidth = static_cast<int32_t>(W);
    sizes->BaseHeight = static_cast<int32_t>(H);
    const bool smooth = chkInterpolate->isChecked();

    GeometryChange change(*doc);
    iSrc->hide();
    accept();
    change.apply([&](cBitFilter& engine, const BitsBuffer& source) { return resizePicture(engine, source, W, H, smooth); },
                 true, true);
}

void fSize::cmdCancel_Click() { reject(); }

void fSize::reject()
{
    iSrc->hide();
    QDialog::reject();
}

} // namespace tq
