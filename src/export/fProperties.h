// "Image Properties": describes the picture file behind the active document
// (name, type, size on disk, pixel size, colour depth, folder, creation
// date, attributes). The opener sets FileName and loads the dialog, which
// reads the file once; "OK" closes it, and a closed dialog is gone.
#pragma once

#include <QDialog>

#include <string>

class QGroupBox;
class QLabel;
class QPushButton;

namespace tq {

class fProperties : public QDialog {
    Q_OBJECT
public:
    explicit fProperties(QWidget* parent = nullptr);

    // The full path of the file to describe; set before Form_Load.
    std::string FileName;

    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;    // "Name :"
    QLabel* Label2 = nullptr;    // "Type :"
    QLabel* Label3 = nullptr;    // "Size :"
    QLabel* Label8 = nullptr;    // "Width :"
    QLabel* Label9 = nullptr;    // "Height :"
    QLabel* Label6 = nullptr;    // "Color Depth :"
    QLabel* Label7 = nullptr;    // "Bits Per Pixel :"
    QLabel* Label4 = nullptr;    // "Resolution :"
    QLabel* Label5 = nullptr;    // "Parent Folder :"
    QLabel* Label10 = nullptr;   // "Date Created :"
    QLabel* Label11 = nullptr;   // "Attribute :"
    QLabel* PName = nullptr;
    QLabel* pType = nullptr;
    QLabel* PSize = nullptr;
    QLabel* PWidth = nullptr;
    QLabel* PHeight = nullptr;
    QLabel* PDepth = nullptr;
    QLabel* PBits = nullptr;
    QLabel* PResolution = nullptr;
    QLabel* PParent = nullptr;
    QLabel* PDate = nullptr;
    QLabel* PAttribute = nullptr;
    QPushButton* cmdExit = nullptr;

    // Loading: fills the labels from FileName.
    void Form_Load();
    void ShowProperties();
    void cmdExit_Click();
};

} // namespace tq
