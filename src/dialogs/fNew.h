// The "New Document" dialog: makes a new document window holding a blank
// picture of a chosen size, white, left at zero in every byte
// ("Transparent"), or filled with a colour from the colour picker. The size
// comes from a list of standard sizes or from the two boxes with their spin
// bars, optionally kept in proportion. It needs no open document and
// touches none. Created once and only hidden afterwards: everything chosen
// in it, and the sizes OK added to the list, stay for the run.
#pragma once

#include <QDialog>
#include <QFrame>

#include <cstdint>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace tq {

class ColourSwatch;
class SizeBox;
class SizeBoxPair;

class fNew : public QDialog {
    Q_OBJECT
public:
    explicit fNew(QWidget* parent = nullptr);

    QLabel* lblDefault = nullptr;
    QComboBox* cbDefault = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* lblWidth = nullptr;
    SizeBox* txtW = nullptr;
    QScrollBar* txtWW = nullptr;
    QLabel* lblHeight = nullptr;
    SizeBox* txtH = nullptr;
    QScrollBar* txtHH = nullptr;
    QCheckBox* chkKeepProportions = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* OP[3] = {nullptr, nullptr, nullptr};   // "White", "Transparent", "Custom..."
    // The custom colour box: until a colour is chosen it shows the desktop's
    // colour for the text of an active title bar, as it is now.
    ColourSwatch* CP = nullptr;
    // Its colour, a system colour translated (red in the low byte).
    int32_t CPColour() const;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;
    SizeBoxPair* sizes = nullptr;

    void Form_Activate();
    void cbDefault_Click();
    void CP_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    // The spin bar follows its box when the box's number lies in its range.
    void followBox(SizeBox* box);
};

} // namespace tq
