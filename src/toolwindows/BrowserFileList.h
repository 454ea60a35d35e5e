// The browser's file list `lv`: the rows of the listed folder (the one model
// of the current folder that the thumbnail grid also builds from), shown in
// one of four views: large icons, small icons, list, or details with seven
// columns. Each row carries its file-type icon by the row's icon key from the
// two icon lists (32 x 32 and 16 x 16 pictures); a key missing from them
// gets the generic file picture, so no row is ever left out for its icon.
// Rows of files with the System attribute are ghosted.
#pragma once

#include "toolwindows/FolderListing.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPixmap>
#include <QWidget>

#include <vector>

class QListView;
class QStackedLayout;
class QTreeView;

namespace tq {

class FolderListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<browser::FolderRow> rows);
    const std::vector<browser::FolderRow>& rows() const { return Rows_; }
    // The icon lists, keyed by extension; generic: for any other key.
    void setIcons(const QHash<QString, QPixmap>* large, const QHash<QString, QPixmap>* small, QPixmap genericLarge,
                  QPixmap genericSmall);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<browser::FolderRow> Rows_;
    const QHash<QString, QPixmap>* Large_ = nullptr;
    const QHash<QString, QPixmap>* Small_ = nullptr;
    QPixmap GenericLarge_;
    QPixmap GenericSmall_;
};

class BrowserFileList : public QWidget {
    Q_OBJECT
public:
    // The list control's views.
    static constexpr int kIcon = 0;        // large icons
    static constexpr int kSmallIcon = 1;
    static constexpr int kList = 2;
    static constexpr int kReport = 3;      // details
    // The details' date columns, "Date Created" and "Last Accessed".
    static constexpr int kCreatedColumn = 5;
    static constexpr int kAccessedColumn = 6;

    explicit BrowserFileList(QWidget* parent = nullptr);

    FolderListModel* model() const { return Model_; }
    int View() const { return View_; }
    void setView(int view);
    // The number of rows, and row n counted from 1 (null when there is none).
    int ListCount() const;
    const browser::FolderRow* ListItem(int n) const;
    // The selected row counted from 1; 0 when none is selected.
    int SelectedIndex() const;
    void selectRow(int n);

    QTreeView* details() const { return Details_; }
    QListView* icons() const { return Icons_; }

signals:
    void DblClick();
    void LostFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    FolderListModel* Model_;
    QTreeView* Details_;
    QListView* Icons_;
    QStackedLayout* Stack_;
    int View_ = kReport;
};

} // namespace tq
