#include "dialogs/GeometryDialog.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/PreviewBox.h"
#include "dialogs/SizeBoxPair.h"
#include "document/MainHost.h"
#include "document/fImage.h"

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

bool GeometryDialog::newSizeTaken(const SizeBoxPair& sizes, int64_t& W, int64_t& H)
{
    W = sizes.width();
    H = sizes.height();
    if (W == sizes.BaseWidth && H == sizes.BaseHeight) {
        if (MainHost* host = mainHost()) host->fPanView_UpdateImage();
        return false;
    }
    return checkPictureSize(W, H);
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

} // namespace tq
