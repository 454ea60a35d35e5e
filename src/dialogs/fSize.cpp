#include "dialogs/fSize.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/PictureGeometry.h"
#include "dialogs/PreviewBox.h"
#include "dialogs/SizeBoxPair.h"
#include "document/Numeric.h"
#include "document/fImage.h"
#include "document/PictureRoutines.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <iterator>

namespace tq {

fSize::fSize(QWidget* parent) : SizeBoxDialog(parent, 175)
{
    setObjectName(QStringLiteral("fSize"));
    setWindowTitle(QStringLiteral("Image size"));
    useDialogFont(this);
    setFixedSize(twipsToPixels(5985), twipsToPixels(2625));

    lblBack = makePreviewFrame(this, twipsRect(150, 150, 2310, 2310));
    iSrc = new PreviewBox(this);
    iSrc->setGeometry(twipsRect(180, 180, 2250, 2250));
    closingPreview = iSrc;
    makeSizeBoxes(this, twipsRect(2715, 165, 615, 255), twipsRect(3435, 105, 810, 285), twipsRect(2715, 525, 615, 255),
                  twipsRect(3435, 480, 810, 285));
    lblPreDef = makeLabel(this, QStringLiteral("Quick"), twipsRect(2715, 1035, 585, 195));
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
    makeOkCancel(twipsRect(4920, 120, 900, 345), twipsRect(4920, 600, 900, 345));

    sizes = new SizeBoxPair(txtW, txtH, chkKeepProportions, this);
    connect(cbPreDef, &QComboBox::activated, this, [this] { cbPreDef_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
}

void fSize::Form_Activate()
{
    fImage* doc = takeActiveDocument();
    if (!doc) return;
    const int32_t w = doc->PictureWidth();
    const int32_t h = doc->PictureHeight();

    // The preview: the picture fitted into the square, centred in it.
    int32_t pw = 0, ph = 0;
    mBitmap::FitSize(w, h, kPreviewSide, kPreviewSide, pw, ph);
    iSrc->setGeometry(centredBox(previewCorner(lblBack), kPreviewSide, pw, ph));
    iSrc->showPicture(PreviewBox::reduced(doc->Bits(), pw, ph, false), pw, ph);
    iSrc->show();

    showPictureSize(w, h);
}

void fSize::cbPreDef_Click()
{
    const int i = cbPreDef->currentIndex();
    if (i < 0 || i >= static_cast<int>(std::size(kQuickFactors))) return;
    const double factor = kQuickFactors[i];
    sizes->writeApart([&] {
        int32_t v = 0;
        if (toInt32(Val(txtW->text().toStdString()) * factor, v)) txtW->setText(QString::number(v));
        if (toInt32(Val(txtH->text().toStdString()) * factor, v)) txtH->setText(QString::number(v));
    });
}

void fSize::cmdOK_Click()
{
    int64_t W = 0, H = 0;
    fImage* doc = takeNewSize(W, H);
    if (!doc) return;
    const bool smooth = chkInterpolate->isChecked();
    finish(*doc, [&](cBitFilter& engine, const BitsBuffer& source) {
        return resizePicture(engine, source, W, H, smooth);
    });
}

} // namespace tq
