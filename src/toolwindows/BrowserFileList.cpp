#include "toolwindows/BrowserFileList.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QPalette>
#include <QStackedLayout>
#include <QTreeView>

namespace tq {

// ---- FolderListModel -------------------------------------------------------------

void FolderListModel::setRows(std::vector<browser::FolderRow> rows)
{
    beginResetModel();
    Rows_ = std::move(rows);
    endResetModel();
}

void FolderListModel::setIcons(const QHash<QString, QPixmap>* large, const QHash<QString, QPixmap>* small,
                               QPixmap genericLarge, QPixmap genericSmall)
{
    Large_ = large;
    Small_ = small;
    GenericLarge_ = std::move(genericLarge);
    GenericSmall_ = std::move(genericSmall);
}

int FolderListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(Rows_.size());
}

int FolderListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(browser::columnHeaders().size());
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(Rows_.size())) return {};
    const browser::FolderRow& r = Rows_[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        const std::string* columns[] = {&r.name, &r.location, &r.sizeText, &r.type,
                                        &r.attributes, &r.created, &r.accessed};
        if (index.column() < 0 || index.column() >= 7) return {};
        return QString::fromStdString(*columns[index.column()]);
    }
    if (role == Qt::DecorationRole && index.column() == 0) {
        // One icon holding both sizes: each view picks the one it shows.
        const QString key = QString::fromStdString(r.iconKey);
        QIcon icon;
        icon.addPixmap(Large_ && Large_->contains(key) ? Large_->value(key) : GenericLarge_);
        icon.addPixmap(Small_ && Small_->contains(key) ? Small_->value(key) : GenericSmall_);
        return icon;
    }
    if (role == Qt::ForegroundRole && r.system) return QPalette().brush(QPalette::Disabled, QPalette::Text);
    if (role == Qt::UserRole) return QString::fromStdString(r.path);
    return {};
}

QVariant FolderListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    const auto headers = browser::columnHeaders();
    if (section < 0 || section >= static_cast<int>(headers.size())) return {};
    return QString::fromUtf8(headers[static_cast<size_t>(section)]);
}

// ---- BrowserFileList ---------------------------------------------------------------

BrowserFileList::BrowserFileList(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("lv"));
    Model_ = new FolderListModel(this);
    Details_ = new QTreeView(this);
    Details_->setModel(Model_);
    Details_->setRootIsDecorated(false);
    Details_->setUniformRowHeights(true);
    Details_->setItemsExpandable(false);
    Details_->setIconSize(QSize(16, 16));
    Details_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The dates are all of one length: their columns take it, the last one
    // too rather than the room that is left.
    Details_->header()->setStretchLastSection(false);
    for (int column : {kCreatedColumn, kAccessedColumn})
        Details_->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    Icons_ = new QListView(this);
    Icons_->setModel(Model_);
    Icons_->setSelectionModel(Details_->selectionModel());
    Icons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Icons_->setResizeMode(QListView::Adjust);
    Icons_->setUniformItemSizes(true);
    Stack_ = new QStackedLayout(this);
    Stack_->setContentsMargins(0, 0, 0, 0);
    Stack_->addWidget(Details_);
    Stack_->addWidget(Icons_);
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(Details_), static_cast<QAbstractItemView*>(Icons_)}) {
        v->setSelectionMode(QAbstractItemView::SingleSelection);
        v->setSelectionBehavior(QAbstractItemView::SelectRows);
        connect(v, &QAbstractItemView::doubleClicked, this, [this] { emit DblClick(); });
        v->installEventFilter(this);
    }
    setView(kReport);
}

void BrowserFileList::setView(int view)
{
    View_ = view;
    if (view == kReport) {
        Stack_->setCurrentWidget(Details_);
        return;
    }
    Stack_->setCurrentWidget(Icons_);
    if (view == kIcon) {
        Icons_->setViewMode(QListView::IconMode);
        Icons_->setIconSize(QSize(32, 32));
        Icons_->setFlow(QListView::LeftToRight);
        Icons_->setGridSize(QSize(80, 64));
    } else {
        Icons_->setViewMode(QListView::ListMode);
        Icons_->setIconSize(QSize(16, 16));
        Icons_->setGridSize(QSize());
        // Small icons run in rows, the list in columns.
        Icons_->setFlow(view == kSmallIcon ? QListView::LeftToRight : QListView::TopToBottom);
    }
    Icons_->setWrapping(true);
    Icons_->setMovement(QListView::Static);
}

int BrowserFileList::ListCount() const { return Model_->rowCount(); }

const browser::FolderRow* BrowserFileList::ListItem(int n) const
{
    if (n < 1 || n > ListCount()) return nullptr;
    return &Model_->rows()[static_cast<size_t>(n - 1)];
}

int BrowserFileList::SelectedIndex() const
{
    const QModelIndex current = Details_->selectionModel()->currentIndex();
    if (!current.isValid() || !Details_->selectionModel()->isRowSelected(current.row(), {})) return 0;
    return current.row() + 1;
}

void BrowserFileList::selectRow(int n)
{
    if (n < 1 || n > ListCount()) return;
    Details_->selectionModel()->setCurrentIndex(Model_->index(n - 1, 0),
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool BrowserFileList::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::FocusOut) emit LostFocus();
    return QWidget::eventFilter(watched, e);
}

} // namespace tq
