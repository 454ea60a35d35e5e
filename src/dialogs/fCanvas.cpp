#include "dialogs/fCanvas.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/PictureGeometry.h"
#include "dialogs/PreviewBox.h"
#include "dialogs/SizeBoxPair.h"
#include "document/fImage.h"
#include "document/PictureRoutines.h"

#include <QBitmap>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <iterator>

namespace tq {
namespace {

constexpr int kThumbSide = 60;
constexpr int kGridSquare = 180;   // the square the grid is centred in

// A 32 x 32 pointer whose image is a 9 x 9 plus in its top-left corner:
// one-pixel black strokes outlined in white, the centre pixel left clear;
// its hot spot is that centre.
QCursor plusPointer()
{
    QImage shape(32, 32, QImage::Format_Mono), mask(32, 32, QImage::Format_Mono);
    shape.fill(0);
    mask.fill(0);
    const auto stroke = [](int x, int y) { return (x == 4 || y == 4) && !(x == 4 && y == 4) && x < 9 && y < 9; };
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            if (x == 4 && y == 4) continue;
            bool nearStroke = false;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i)
                    if (x + i >= 0 && y + j >= 0 && stroke(x + i, y + j)) nearStroke = true;
            if (stroke(x, y)) {
                shape.setPixel(x, y, 1);   // black
                mask.setPixel(x, y, 1);
            } else if (nearStroke) {
                mask.setPixel(x, y, 1);    // white
            }
        }
    return QCursor(QBitmap::fromImage(shape), QBitmap::fromImage(mask), 4, 4);
}

} // namespace

// ---- The anchor grid ----------------------------------------------------------

AnchorGrid::AnchorGrid(QWidget* parent) : QWidget(parent), iImg_(new PreviewBox(this))
{
    setObjectName(QStringLiteral("iCnv"));
    iImg_->setObjectName(QStringLiteral("iImg"));
    setCursor(plusPointer());
}

void AnchorGrid::setCellSize(int w, int h)
{
    cellW_ = w;
    cellH_ = h;
    resize(3 * w, 3 * h);
    iImg_->resize(w, h);
    update();
}

int AnchorGrid::anchorColumn() const { return cellW_ > 0 ? iImg_->x() / cellW_ : 1; }
int AnchorGrid::anchorRow() const { return cellH_ > 0 ? iImg_->y() / cellH_ : 1; }

void AnchorGrid::setAnchor(int column, int row) { iImg_->move(column * cellW_, row * cellH_); }

void AnchorGrid::pointAt(int X, int Y)
{
    if (X < 0 || Y < 0 || X >= width() || Y >= height() || cellW_ < 1 || cellH_ < 1) return;
    iImg_->move(X / cellW_ * cellW_, Y / cellH_ * cellH_);
}

void AnchorGrid::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(192, 192, 192));
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) p.drawRect(i * cellW_, j * cellH_, cellW_ - 1, cellH_ - 1);
}

void AnchorGrid::mousePressEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    pointAt(at.x(), at.y());
}

void AnchorGrid::mouseMoveEvent(QMouseEvent* e)
{
    if (e->buttons() != Qt::LeftButton) return;
    const QPoint at = e->position().toPoint();
    pointAt(at.x(), at.y());
}

// ---- The dialog ---------------------------------------------------------------

fCanvas::fCanvas(QWidget* parent) : SizeBoxDialog(parent, 0)
{
    setObjectName(QStringLiteral("fCanvas"));
    setWindowTitle(QStringLiteral("Canvas size"));
    useDialogFont(this);
    setFixedSize(twipsToPixels(6555), twipsToPixels(2880));

    lblBack = makePreviewFrame(this, twipsRect(120, 120, 2760, 2640));
    iCnv = new AnchorGrid(this);
    iCnv->setGeometry(twipsRect(240, 240, 2115, 2145));
    iImg = iCnv->thumbnail();
    closingPreview = iImg;
    Frame1 = new QGroupBox(this);
    Frame1->setGeometry(twipsRect(3000, 45, 1935, 1455));
    makeSizeBoxes(Frame1, twipsRect(120, 240, 615, 255), twipsRect(720, 240, 810, 285), twipsRect(120, 600, 615, 255),
                  twipsRect(720, 600, 810, 285));
    chkKeepProportions = new QCheckBox(QStringLiteral("Proportions"), Frame1);
    chkKeepProportions->setGeometry(twipsRect(600, 960, 1245, 255));
    chkKeepProportions->setChecked(true);
    lblPreDef = makeLabel(this, QStringLiteral("Defined"), twipsRect(3120, 1680, 585, 195));
    cbPreDef = new QComboBox(this);
    cbPreDef->setObjectName(QStringLiteral("cbPreDef"));
    cbPreDef->addItems({QStringLiteral("1 +"), QStringLiteral("2 +"), QStringLiteral("3 +"), QStringLiteral("1 -"),
                        QStringLiteral("2 -"), QStringLiteral("3 -")});
    cbPreDef->setGeometry(twipsRect(3120, 1920, 1770, 315));
    makeOkCancel(twipsRect(5520, 240, 900, 345), twipsRect(5520, 720, 900, 345));

    sizes = new SizeBoxPair(txtW, txtH, chkKeepProportions, this);
    connect(cbPreDef, &QComboBox::activated, this, [this] { cbPreDef_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
}

void fCanvas::Form_Activate()
{
    fImage* doc = takeActiveDocument();
    if (!doc) return;
    const int32_t w = doc->PictureWidth();
    const int32_t h = doc->PictureHeight();

    mBitmap::FitSize(w, h, kThumbSide, kThumbSide, ThumbWidth, ThumbHeight);
    // The grid centred in the square inside the frame, the thumbnail in the
    // centre cell.
    iCnv->move(centredBox(previewCorner(lblBack), kGridSquare, 3 * ThumbWidth, 3 * ThumbHeight).topLeft());
    iCnv->setCellSize(ThumbWidth, ThumbHeight);
    iCnv->setAnchor(1, 1);
    iImg->showPicture(PreviewBox::reduced(doc->Bits(), ThumbWidth, ThumbHeight, false), ThumbWidth, ThumbHeight);
    iImg->show();

    showPictureSize(w, h);
}

void fCanvas::cbPreDef_Click()
{
    const int i = cbPreDef->currentIndex();
    if (i < 0 || i >= static_cast<int>(std::size(kQuickAmounts))) return;
    // The result may be 0 or negative: OK refuses it.
    sizes->writeApart([&] {
        txtW->setText(QString::number(sizes->width() + kQuickAmounts[i]));
        txtH->setText(QString::number(sizes->height() + kQuickAmounts[i]));
    });
}

void fCanvas::cmdOK_Click()
{
    int64_t W = 0, H = 0;
    fImage* doc = takeNewSize(W, H);
    if (!doc) return;
    const int64_t dx = anchorOffset(W, doc->PictureWidth(), iCnv->anchorColumn());
    const int64_t dy = anchorOffset(H, doc->PictureHeight(), iCnv->anchorRow());
    finish(*doc, [&](cBitFilter& engine, const BitsBuffer& source) {
        return placeOnCanvas(engine, source, W, H, dx, dy);
    });
}

} // namespace tq
