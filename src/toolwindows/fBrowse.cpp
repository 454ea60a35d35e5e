#include "toolwindows/fBrowse.h"

#include "document/ProgramContext.h"
#include "platform/Ports.h"
#include "toolwindows/FloatingToolWindow.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

#include <algorithm>
#include <filesystem>

namespace tq {

namespace {

void place(QWidget* w, int32_t left, int32_t top, int32_t width, int32_t height)
{
    w->setGeometry(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}

// The folder tree. On taking the focus a tree view makes its first folder
// current by itself when none is; that is no folder the user chose.
class ChooserTree : public QTreeView {
public:
    using QTreeView::QTreeView;
    bool choosingByItself() const { return ByItself_; }

protected:
    void focusInEvent(QFocusEvent* e) override
    {
        ByItself_ = true;
        QTreeView::focusInEvent(e);
        ByItself_ = false;
    }

private:
    bool ByItself_ = false;
};

bool folderExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(std::filesystem::path(path), ec);
}

} // namespace

fBrowse::fBrowse(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("fBrowse"));
    setWindowTitle(QStringLiteral("Select Folder"));
    setModal(true);
    setFixedSize(twipsToPx(5145), twipsToPx(5925));

    Model_ = new QFileSystemModel(this);
    Model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    Model_->setRootPath(QDir::rootPath());

    auto* tree = new ChooserTree(this);
    fT = tree;
    fT->setObjectName(QStringLiteral("fT"));
    fT->setModel(Model_);
    fT->setHeaderHidden(true);
    for (int c = 1; c < Model_->columnCount(); ++c) fT->hideColumn(c);
    place(fT, 120, 120, 4935, 5100);
    // The tree opens on the current folder.
    const QModelIndex here = Model_->index(QDir::currentPath());
    if (here.isValid()) {
        fT->expand(here);
        fT->scrollTo(here);
    }
    connect(fT->selectionModel(), &QItemSelectionModel::currentChanged, this, [this, tree](const QModelIndex& index) {
        if (!tree->choosingByItself()) fT_FolderChosen(Model_->filePath(index).toStdString());
    });
    connect(fT, &QTreeView::doubleClicked, this, [this] { fT_Confirm(); });

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    place(cmdCancel, 2880, 5400, 1020, 345);
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    cmdOK = new QPushButton(QStringLiteral("Select"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    place(cmdOK, 3960, 5400, 1020, 345);
    cmdOK->setAutoDefault(false);
    cmdOK->setEnabled(false);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

    FileName = new QLabel(this);
    FileName->setObjectName(QStringLiteral("FileName"));
    place(FileName, 480, 6120, 3015, 255);

    setTabOrder(cmdCancel, cmdOK);
    if (owner) centreOver(owner->window());
}

void fBrowse::centreOver(const QWidget* owner)
{
    // Centred over the owner, but wholly on its screen: a small owner near
    // a corner would otherwise put the dialog partly off the screen.
    QPoint topLeft = owner->frameGeometry().center() - QPoint(width() / 2, height() / 2);
    if (const QScreen* screen = owner->screen()) {
        const QRect room = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), room.left(), std::max(room.left(), room.right() + 1 - width())));
        topLeft.setY(std::clamp(topLeft.y(), room.top(), std::max(room.top(), room.bottom() + 1 - height())));
    }
    move(topLeft);
}

fBrowse::~fBrowse() = default;

void fBrowse::Show(QWidget* owner)
{
    fBrowse chooser(owner);
    chooser.exec();
}

void fBrowse::fT_FolderChosen(const std::string& path)
{
    // A folder without a path (a virtual one) changes nothing.
    if (path.empty()) return;
    FileName->setText(QString::fromStdString(path));
    cmdOK->setEnabled(true);
}

void fBrowse::fT_Confirm()
{
    if (cmdOK->isEnabled()) cmdOK_Click();
}

void fBrowse::cmdOK_Click()
{
    const std::string path = FileName->text().toStdString();
    if (!folderExists(path)) {
        // The folder went away since it was chosen: the user may choose
        // another one or cancel.
        platform::MsgBox(kInvalidPath, platform::MsgButtons::OK, platform::MsgIcon::Information);
        return;
    }
    PickedFolder() = path;
    accept();
}

void fBrowse::cmdCancel_Click()
{
    PickedFolder().clear();
    reject();
}

void fBrowse::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        // "Select" is both the default and the cancel button; "Cancel"
        // answers no key, and neither key closes the dialog otherwise.
        if (cmdOK->isEnabled()) cmdOK_Click();
        e->accept();
        return;
    default:
        QDialog::keyPressEvent(e);
    }
}

} // namespace tq
