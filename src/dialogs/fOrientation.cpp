#include "dialogs/fOrientation.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/PictureGeometry.h"
#include "dialogs/PreviewBox.h"
#include "document/fImage.h"
#include "document/PictureRoutines.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace tq {

fOrientation::fOrientation(QWidget* parent) : GeometryDialog(parent, 175)
{
    setObjectName(QStringLiteral("fOrientation"));
    setWindowTitle(QStringLiteral("Orientation"));
    useDialogFont(this);
    setFixedSize(twipsToPixels(5820), twipsToPixels(2445));

    lblBack = makePreviewFrame(this, twipsRect(60, 60, 2310, 2310));
    iSrc = new PreviewBox(this);
    iSrc->setGeometry(twipsRect(90, 90, 2250, 2250));
    closingPreview = iSrc;
    lblOrientation = makeLabel(this, QStringLiteral("Canvas orientation"), twipsRect(2640, 30, 1425, 255));
    cbOrientation = new QComboBox(this);
    cbOrientation->setObjectName(QStringLiteral("cbOrientation"));
    cbOrientation->addItems({QStringLiteral("0\u00BA"), QStringLiteral("90\u00BA")});
    cbOrientation->setGeometry(twipsRect(2700, 315, 1515, 300));
    lblFlip = makeLabel(this, QStringLiteral("Flip image"), twipsRect(2625, 900, 885, 225));
    chkFlip[0] = new QCheckBox(QStringLiteral("Flip &horizontal"), this);
    chkFlip[0]->setGeometry(twipsRect(2700, 1185, 1620, 210));
    chkFlip[1] = new QCheckBox(QStringLiteral("Flip &vertical"), this);
    chkFlip[1]->setGeometry(twipsRect(2700, 1515, 1620, 210));
    makeOkCancel(twipsRect(4680, 240, 900, 345), twipsRect(4680, 720, 900, 345));
    setTabOrder(cbOrientation, chkFlip[0]);
    setTabOrder(chkFlip[0], chkFlip[1]);
    setTabOrder(chkFlip[1], cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(cbOrientation, &QComboBox::currentIndexChanged, this, [this] { pvUpdatePreview(); });
    for (QCheckBox* box : chkFlip) connect(box, &QCheckBox::clicked, this, [this] { pvUpdatePreview(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
}

void fOrientation::placePreview(int32_t w, int32_t h)
{
    iSrc->setGeometry(centredBox(QPoint(PreviewLeft, PreviewTop), kPreviewSide, w, h));
}

void fOrientation::Form_Activate()
{
    const QPoint corner = previewCorner(lblBack);
    PreviewLeft = corner.x();
    PreviewTop = corner.y();
    fImage* doc = takeActiveDocument();
    if (!doc) return;
    mBitmap::FitSize(doc->PictureWidth(), doc->PictureHeight(), kPreviewSide, kPreviewSide, ThumbWidth, ThumbHeight);
    placePreview(ThumbWidth, ThumbHeight);
    if (!ThumbFilter) ThumbFilter = std::make_unique<cBitFilter>();
    ThumbBits = PreviewBox::reduced(doc->Bits(), ThumbWidth, ThumbHeight, false);
    // Back at "0º" (which draws the preview when the list was elsewhere).
    const QSignalBlocker quiet(cbOrientation);
    cbOrientation->setCurrentIndex(0);
    cbOrientation->setFocus();
    pvUpdatePreview();
    iSrc->show();
}

void fOrientation::pvUpdatePreview()
{
    if (!ThumbFilter || !ThumbBits.allocated()) return;
    // Every preview starts from the unturned thumbnail.
    ThumbFilter->setBits(ThumbBits);
    if (cbOrientation->currentIndex() == 1) {
        PreviewWidth = ThumbHeight;
        PreviewHeight = ThumbWidth;
        ThumbFilter->BitsRotate90(ThumbFilter->Bits());
    } else {
        PreviewWidth = ThumbWidth;
        PreviewHeight = ThumbHeight;
    }
    PreviewBits = ThumbFilter->Flip(chkFlip[0]->isChecked(), chkFlip[1]->isChecked());
    placePreview(PreviewWidth, PreviewHeight);
    iSrc->showPicture(PreviewBits, PreviewWidth, PreviewHeight);
}

void fOrientation::cmdOK_Click()
{
    fImage* doc = documentForOK();
    if (!doc) return;
    const bool quarter = cbOrientation->currentIndex() == 1;
    const bool flipH = chkFlip[0]->isChecked();
    const bool flipV = chkFlip[1]->isChecked();
    finish(*doc, [&](cBitFilter& engine, const BitsBuffer& source) {
        return orientPicture(engine, source, quarter, flipH, flipV);
    });
}

} // namespace tq
