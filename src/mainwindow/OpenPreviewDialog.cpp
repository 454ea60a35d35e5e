#include "mainwindow/OpenPreviewDialog.h"

#include "platform/FileFilters.h"
#include "platform/Ports.h"

#include "document/SizeLabel.h"
#include "document/OpenPicture.h"
#include "document/PictureRoutines.h"
#include "document/PictureRouting.h"
#include "platform/QtImage.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QDir>
#include <QLineEdit>
#include <QLabel>
#include <QMimeDatabase>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace tq {

namespace {
constexpr int kFrameSide = 200;   // outer size of the preview frame
}

namespace {

// The preview's size through the program's one fitting rule.
QSize fitted(QSize picture, QSize room)
{
    int32_t w = 0, h = 0;
    mBitmap::FitSize(picture.width(), picture.height(), room.width(), room.height(), w, h);
    return {w, h};
}

} // namespace

frmControls::frmControls(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmControls"));
    auto* grid = new QGridLayout(this);
    Fram = new QLabel(this);
    Fram->setObjectName(QStringLiteral("Fram"));
    Fram->setFixedSize(kFrameSide, kFrameSide);
    Fram->setFrameShape(QFrame::Box);
    pic = new QLabel(Fram);
    pic->setObjectName(QStringLiteral("pic"));
    pic->setScaledContents(true);
    pic->hide();
    grid->addWidget(Fram, 0, 0, 1, 2);
    const char* captions[] = {"Size :", "Type :", "Resolution :"};
    QLabel** values[] = {&LSize, &LType, &LResolution};
    const char* names[] = {"LSize", "LType", "LResolution"};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(QString::fromLatin1(captions[i]), this), i + 1, 0);
        *values[i] = new QLabel(this);
        (*values[i])->setObjectName(QString::fromLatin1(names[i]));
        grid->addWidget(*values[i], i + 1, 1);
    }
    grid->setRowStretch(4, 1);
}

void frmControls::OpenDialogPreview(const QString& path)
{
    pic->clear();
    pic->hide();
    ImageWidth = 0;
    ImageHeight = 0;
    LResolution->clear();

    const QFileInfo info(path);
    if (!info.isFile()) {
        LSize->clear();
        LType->clear();
        return;
    }
    LSize->setText(QString::fromStdString(SizeLabel(static_cast<std::uint64_t>(info.size()))));
    LType->setText(QMimeDatabase().mimeTypeForFile(info).comment());

    // The very loader Open will use, chosen by the extension as Open
    // chooses it: a preview of a picture that then fails to open (a PNG
    // named .jpg) would promise what the program cannot keep. A library
    // decode is left for the open to take over.
    const std::string file = path.toStdString();
    const std::string ext = info.suffix().toStdString();
    const QSize room(Fram->width() - 2, Fram->height() - 2);
    QImage whole;
    if (opensThroughPlatformLoader(ext)) {
        const OpenedPicture opened = decodePictureForOpening(file, ext);
        if (!opened.ok) return;
        whole = platform::imageFromDib(opened.picture);
    } else {
        PreloadedBitmap() = mBitmap::LoadImageFile(file, ext);
        if (!PreloadedBitmap()) return;
        whole = platform::imageFromDib(PreloadedBitmap()->dib);
    }
    if (whole.isNull()) return;
    const QSize source = whole.size();
    const QImage image = whole.scaled(fitted(source, room), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    whole = QImage();

    ImageWidth = source.width();
    ImageHeight = source.height();
    const QSize fit = fitted(source, room);
    pic->setPixmap(QPixmap::fromImage(image));
    pic->resize(fit);
    pic->move((Fram->width() - fit.width()) / 2, (Fram->height() - fit.height()) / 2);
    pic->show();
    LResolution->setText(QStringLiteral("%1 x %2").arg(ImageWidth).arg(ImageHeight));
}

QFileDialog* createOpenPreviewDialog(const platform::FileDialogRequest& request, QWidget* parent)
{
    auto* dlg = new QFileDialog(parent, QString::fromStdString(request.title),
                                QString::fromStdString(request.initialDir));
    dlg->setOption(QFileDialog::DontUseNativeDialog, true);
    dlg->setOption(QFileDialog::ReadOnly, true);
    dlg->setFileMode(QFileDialog::ExistingFile);
    dlg->setAcceptMode(QFileDialog::AcceptOpen);
    QStringList filters;
    for (const std::string& f : platform::dialogNameFilters(request.filter)) filters << QString::fromStdString(f);
    dlg->setOption(QFileDialog::HideNameFilterDetails, true);
    dlg->setNameFilters(filters);
    dlg->setLabelText(QFileDialog::Accept, QStringLiteral("Open"));
    dlg->setLabelText(QFileDialog::Reject, QStringLiteral("Cancel"));
    dlg->setLabelText(QFileDialog::FileName, QStringLiteral("File Name"));
    dlg->setLabelText(QFileDialog::FileType, QStringLiteral("Select Type"));
    auto* panel = new frmControls(dlg);
    if (auto* grid = qobject_cast<QGridLayout*>(dlg->layout()))
        grid->addWidget(panel, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(dlg, &QFileDialog::currentChanged, panel, &frmControls::OpenDialogPreview);
    // A name typed into the box is previewed as soon as it names a file.
    if (auto* name = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        QObject::connect(name, &QLineEdit::textEdited, panel, [dlg, panel](const QString& text) {
            if (text.isEmpty()) return;
            const QString path = QDir(dlg->directory()).absoluteFilePath(text);
            if (QFileInfo(path).isFile()) panel->OpenDialogPreview(path);
        });
    }
    return dlg;
}

namespace {

class QtPictureDialogs : public platform::FileDialogs {
public:
    std::optional<platform::FileDialogAnswer> open(const platform::FileDialogRequest& request) override
    {
        QFileDialog* dlg = createOpenPreviewDialog(request, QApplication::activeWindow());
        std::optional<platform::FileDialogAnswer> answer;
        if (dlg->exec() == QDialog::Accepted && !dlg->selectedFiles().isEmpty()) {
            answer = platform::FileDialogAnswer{};
            answer->path = dlg->selectedFiles().first().toStdString();
            answer->folder = dlg->directory().absolutePath().toStdString();
        }
        delete dlg;
        return answer;
    }
    // Pictures are saved through the plain dialog.
    std::optional<platform::FileDialogAnswer> save(const platform::FileDialogRequest& request) override
    {
        return platform::ports().fileDialogs->save(request);
    }
};

} // namespace

void installPictureOpenDialog()
{
    static QtPictureDialogs d;
    platform::setDefaultPictureDialogs(&d);
}

} // namespace tq
