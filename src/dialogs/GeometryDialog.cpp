#include "dialogs/GeometryDialog.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/PreviewBox.h"
#include "dialogs/SizeBoxPair.h"
#include "document/MainHost.h"
#include "document/fImage.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace tq {

GeometryDialog::GeometryDialog(QWidget* parent, int separatorY) : QDialog(parent), separatorY_(separatorY) {}

void GeometryDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Form_Activate();
}

void GeometryDialog::paintEvent(QPaintEvent* e)
{
    QDialog::paintEvent(e);
    if (separatorY_ > 0) paintSeparator(this, separatorY_);
}

void GeometryDialog::makeOkCancel(const QRect& ok, const QRect& cancel)
{
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setGeometry(ok);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setGeometry(cancel);
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

fImage* GeometryDialog::takeActiveDocument()
{
    update();
    target_ = ActiveImage();
    fImage* doc = target_.data();
    return doc && doc->PictureExists() ? doc : nullptr;
}

fImage* GeometryDialog::documentForOK()
{
    fImage* doc = target_.data();
    if (doc && doc->PictureExists()) return doc;
    cmdCancel_Click();
    return nullptr;
}

void GeometryDialog::finish(fImage& doc, const GeometryChange::Compute& compute)
{
    GeometryChange change(doc);
    if (closingPreview) closingPreview->hide();
    accept();
    change.apply(compute, true, true);
}

void GeometryDialog::cmdCancel_Click() { reject(); }

void GeometryDialog::reject()
{
    if (closingPreview) closingPreview->hide();
    QDialog::reject();
}

void SizeBoxDialog::makeSizeBoxes(QWidget* box, const QRect& widthLabel, const QRect& widthBox,
                                  const QRect& heightLabel, const QRect& heightBox)
{
    lblWidth = makeLabel(box, QStringLiteral("Width"), widthLabel);
    txtW = makeSizeBox(box, QStringLiteral("txtW"), widthBox);
    lblHeight = makeLabel(box, QStringLiteral("Height"), heightLabel);
    txtH = makeSizeBox(box, QStringLiteral("txtH"), heightBox);
}

void SizeBoxDialog::showPictureSize(int32_t w, int32_t h)
{
    sizes->showSize(w, h);
    cbPreDef->setCurrentIndex(-1);
    txtW->setFocus();
}

fImage* SizeBoxDialog::takeNewSize(int64_t& W, int64_t& H)
{
    W = sizes->width();
    H = sizes->height();
    if (W == sizes->BaseWidth && H == sizes->BaseHeight) {
        if (MainHost* host = mainHost()) host->fPanView_UpdateImage();
        return nullptr;
    }
    if (!checkPictureSize(W, H)) return nullptr;
    fImage* doc = documentForOK();
    if (!doc) return nullptr;
    sizes->BaseWidth = static_cast<int32_t>(W);
    sizes->BaseHeight = static_cast<int32_t>(H);
    return doc;
}

} // namespace tq
