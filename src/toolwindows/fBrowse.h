// The folder chooser "Select Folder": a small modal dialog with a folder
// tree. Select hands the chosen folder's path over in PickedFolder() (when
// the folder still exists); Cancel hands over "". The textures window opens
// it to choose the folder whose pictures it lists.
#pragma once

#include <QDialog>

#include <string>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace tq {

class fBrowse : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kInvalidPath = "Invalid Path";

    explicit fBrowse(QWidget* owner);
    ~fBrowse() override;

    // Makes a chooser, shows it modally and lets it go; the caller then
    // reads PickedFolder().
    static void Show(QWidget* owner);

    // ---- Controls --------------------------------------------------------
    QTreeView* fT = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;       // "Select"
    QLabel* FileName = nullptr;         // the chosen path; below the visible area

    // ---- Handlers ----------------------------------------------------------
    // The tree reports a chosen folder: its path, "" for a folder that has
    // no path in the file system.
    void fT_FolderChosen(const std::string& path);
    // The tree's confirm (a double click on a folder).
    void fT_Confirm();
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void centreOver(const QWidget* owner);

    QFileSystemModel* Model_ = nullptr;
};

} // namespace tq
