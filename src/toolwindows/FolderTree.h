// The browser's folder tree `fd`: the folders of the file system (Qt's file
// system model, folders only, hidden ones left out) from the root down,
// scrolling sideways where deep folders are wider than the tree.
// Choosing a folder, by a click or by setting SelectedFolder, raises
// FolderClick once with the folder's path and display name.
#pragma once

#include <QString>
#include <QWidget>

class QFileSystemModel;
class QModelIndex;
class QTreeView;

namespace tq {

class FolderTree : public QWidget {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    // The selected folder's path; "" when none is selected.
    QString SelectedFolder() const;
    // Selects the folder (opening the branches down to it) and raises
    // FolderClick; a path that is no folder selects nothing.
    void setSelectedFolder(const QString& path);

    QTreeView* view() const { return View_; }
    // True while FolderClick reports a folder the user chose in the tree
    // (a click, or a key that moved to it), which keeps the keyboard.
    bool choosingInTree() const { return ChoosingInTree_; }
    QFileSystemModel* model() const { return Model_; }

signals:
    void FolderClick(const QString& path, const QString& displayName);

protected:
    // The selected folder is brought into view once the tree has its size.
    void showEvent(QShowEvent* e) override;

private:
    void itemChosen(const QModelIndex& index);
    // The user chose the item in the tree: the tree keeps the keyboard.
    void chosenInTree(const QModelIndex& index);

    QFileSystemModel* Model_;
    QTreeView* View_;
    QString Selected_;
    bool ChoosingInTree_ = false;
};

} // namespace tq
