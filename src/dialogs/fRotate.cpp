#include "dialogs/fRotate.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/PictureGeometry.h"
#include "dialogs/PreviewBox.h"
#include "document/fImage.h"
#include "document/PictureRoutines.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace tq {

fRotate::fRotate(QWidget* parent) : GeometryDialog(parent, 185)
{
    setObjectName(QStringLiteral("fRotate"));
    setWindowTitle(QStringLiteral("Rotate"));
    useDialogFont(this);
    setFixedSize(twipsToPixels(5775), twipsToPixels(2535));

    lblBack = makePreviewFrame(this, twipsRect(120, 120, 2310, 2310));
    iSrc = new PreviewBox(this);
    iSrc->setGeometry(twipsRect(120, 120, 2250, 2250));
    closingPreview = iSrc;
    cmd45[1] = new QPushButton(QStringLiteral("- 45\u00BA"), this);
    cmd45[1]->setGeometry(twipsRect(2520, 240, 615, 345));
    cmd45[0] = new QPushButton(QStringLiteral("+ 45\u00BA"), this);
    cmd45[0]->setGeometry(twipsRect(3120, 240, 630, 345));
    lblDegrees = makeLabel(this, QStringLiteral("Degrees"), twipsRect(2640, 600, 1005, 210));
    txtDegrees = new QLineEdit(QStringLiteral("0"), this);
    txtDegrees->setObjectName(QStringLiteral("txtDegrees"));
    txtDegrees->setReadOnly(true);
    txtDegrees->setAlignment(Qt::AlignRight);
    txtDegrees->setGeometry(twipsRect(2640, 840, 630, 270));
    // The bar holds the negated angle, so that its upper end (its minimum)
    // is +180 and its upper arrow adds a degree.
    sbDegrees = new QScrollBar(Qt::Vertical, this);
    sbDegrees->setObjectName(QStringLiteral("sbDegrees"));
    sbDegrees->setRange(-180, 180);
    sbDegrees->setSingleStep(1);
    sbDegrees->setPageStep(5);
    sbDegrees->setValue(0);
    sbDegrees->setGeometry(twipsRect(3360, 840, 240, 270));
    chkAntialiasing = new QCheckBox(QStringLiteral("&Antialiasing"), this);
    chkAntialiasing->setGeometry(twipsRect(2640, 1200, 1245, 225));
    Label1 = makeLabel(this, QStringLiteral("Canvas will be resized"), twipsRect(2520, 2160, 1770, 255));
    makeOkCancel(twipsRect(4680, 120, 900, 345), twipsRect(4680, 600, 900, 345));
    setTabOrder(chkAntialiasing, cmd45[1]);
    setTabOrder(cmd45[1], cmd45[0]);
    setTabOrder(cmd45[0], sbDegrees);
    setTabOrder(sbDegrees, txtDegrees);
    setTabOrder(txtDegrees, cmdCancel);
    setTabOrder(cmdCancel, cmdOK);

    connect(sbDegrees, &QScrollBar::valueChanged, this, [this] { sbDegrees_Change(); });
    connect(txtDegrees, &QLineEdit::textChanged, this, [this] { txtDegrees_Change(); });
    connect(cmd45[0], &QPushButton::clicked, this, [this] { cmd45_Click(0); });
    connect(cmd45[1], &QPushButton::clicked, this, [this] { cmd45_Click(1); });
    connect(chkAntialiasing, &QCheckBox::clicked, this, [this] { pvUpdateRotatePreview(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { CmdOK_Click(); });
}

int16_t fRotate::Angle() const { return static_cast<int16_t>(-sbDegrees->value()); }

void fRotate::setAngle(int16_t degrees) { sbDegrees->setValue(-degrees); }

void fRotate::Form_Activate()
{
    fImage* doc = takeActiveDocument();
    if (!doc) return;
    const int32_t w = doc->PictureWidth();
    const int32_t h = doc->PictureHeight();
    mBitmap::FitSize(w, h, kPreviewSide, kPreviewSide, ThumbWidth, ThumbHeight);
    iSrc->setGeometry(centredBox(previewCorner(lblBack), kPreviewSide, ThumbWidth, ThumbHeight));

    if (!ThumbRegion) ThumbRegion = std::make_unique<cBitRegion>();
    ThumbRegion->Init(0, 0, ThumbWidth, ThumbHeight);
    if (!ThumbFilter) ThumbFilter = std::make_unique<cBitFilter>();
    if (ThumbWidth == w && ThumbHeight == h)
        ThumbFilter->setBits(doc->Bits());
    else
        ThumbFilter->setBits(PreviewBox::reduced(doc->Bits(), ThumbWidth, ThumbHeight, true));
    ThumbFilter->setBitsRegion(ThumbRegion->RegionMain());

    pvUpdateRotatePreview();
    iSrc->show();
    sbDegrees->setFocus();
}

void fRotate::sbDegrees_Change()
{
    // The text's change draws the preview.
    txtDegrees->setText(QString::number(Angle()));
}

void fRotate::txtDegrees_Change() { pvUpdateRotatePreview(); }

void fRotate::cmd45_Click(int index)
{
    const int16_t a = Angle();
    setAngle(static_cast<int16_t>(index == 0 ? (a + 45) % 180 : (a - 45) % 180));
}

void fRotate::pvUpdateRotatePreview()
{
    if (!ThumbFilter || !ThumbFilter->Bits().allocated()) return;
    PreviewBits = chkAntialiasing->isChecked() ? ThumbFilter->RotateSmooth(Angle()) : ThumbFilter->ROTATE(Angle(), true);
    iSrc->showPicture(PreviewBits, ThumbWidth, ThumbHeight);
}

void fRotate::CmdOK_Click()
{
    fImage* doc = documentForOK();
    if (!doc) return;
    const int32_t degrees = Angle();
    const bool smooth = chkAntialiasing->isChecked();
    finish(*doc, [&](cBitFilter& engine, const BitsBuffer& source) {
        return turnPicture(engine, source, degrees, smooth);
    });
}

} // namespace tq
