#include "toolwindows/FolderTree.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPersistentModelIndex>
#include <QTreeView>
#include <QVBoxLayout>

#include <functional>

namespace tq {

namespace {

// A tree view that reports the item a key moved to (arrows, Page keys,
// typed letters).
class KeyedTreeView : public QTreeView {
public:
    using QTreeView::QTreeView;
    std::function<void(const QModelIndex&)> KeyMoved;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        const QPersistentModelIndex before = currentIndex();
        QTreeView::keyPressEvent(e);
        if (currentIndex() != before && KeyMoved) KeyMoved(currentIndex());
    }
};

} // namespace

FolderTree::FolderTree(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fd"));
    Model_ = new QFileSystemModel(this);
    Model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    Model_->setRootPath(QStringLiteral("/"));
    auto* view = new KeyedTreeView(this);
    View_ = view;
    View_->setModel(Model_);
    View_->setHeaderHidden(true);
    for (int c = 1; c < Model_->columnCount(); ++c) View_->hideColumn(c);
    // Deep folders reach far to the right: the column is as wide as the
    // names shown need, and the tree scrolls sideways when that is more
    // than its width.
    View_->header()->setStretchLastSection(false);
    View_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    View_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    View_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    View_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(View_);
    // The user's choice only: the view also makes an item current by itself
    // (the first one, as the folders arrive), which must not list it.
    connect(View_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) { chosenInTree(index); });
    view->KeyMoved = [this](const QModelIndex& index) { chosenInTree(index); };
}

void FolderTree::chosenInTree(const QModelIndex& index)
{
    // Arrow keys and typed letters go on to the tree.
    View_->setFocus(Qt::MouseFocusReason);
    if (QWidget* w = window(); w && !w->isActiveWindow()) w->activateWindow();
    ChoosingInTree_ = true;
    itemChosen(index);
    ChoosingInTree_ = false;
}

QString FolderTree::SelectedFolder() const { return Selected_; }

void FolderTree::setSelectedFolder(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isDir()) return;
    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    const QModelIndex index = Model_->index(folder);
    if (index.isValid()) {
        View_->setCurrentIndex(index);
        View_->scrollTo(index);
    } else {
        // A folder the tree does not show (inside a hidden one) is still
        // the selected folder.
        View_->clearSelection();
    }
    Selected_ = folder;
    emit FolderClick(folder, info.fileName().isEmpty() ? folder : info.fileName());
}

void FolderTree::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (View_->currentIndex().isValid()) View_->scrollTo(View_->currentIndex());
}

void FolderTree::itemChosen(const QModelIndex& index)
{
    if (!index.isValid()) return;
    Selected_ = Model_->filePath(index);
    emit FolderClick(Selected_, Model_->fileName(index));
}

} // namespace tq
