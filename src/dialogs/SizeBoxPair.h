// The width and height boxes the image size, canvas size and new-image
// dialogs share.
//
// SizeBox: a text box for a size in pixels. Only the digits and Backspace
// reach it from the keyboard (its shortcuts, Ctrl+A among them, work), at
// most four characters can be typed (a fifth digit rings the bell; the
// dialog itself may write longer numbers), and it puts its caret at the end
// of its text, nothing selected, when it gets the focus.
//
// SizeBoxPair: the rules of the two boxes. A box that a change leaves empty
// becomes a selected "0". While the proportions box is ticked, every change
// of one box (typed, or written by the dialog) rewrites the other from the
// reference size: other = this box's number / its reference side times the
// other reference side, to the nearest 16-bit whole number (halves to even);
// a result outside 16 bits leaves the other box as it was. The ratio is
// always that of the reference size, never of the other box's text, and the
// driving flags stop the rewritten box from writing back.
#pragma once

#include <QLineEdit>
#include <QObject>

#include <cstdint>
#include <functional>

class QCheckBox;

namespace tq {

class SizeBox : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kTypedLength = 4;
    explicit SizeBox(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
};

// A size box named name (txtW, txtH) placed at place.
SizeBox* makeSizeBox(QWidget* parent, const QString& name, const QRect& place);

// The number a box holds, read as text boxes are read (its leading number,
// to the nearest whole number); 0 for a text without one.
int64_t boxNumber(const QLineEdit* box);

class SizeBoxPair : public QObject {
    Q_OBJECT
public:
    SizeBoxPair(SizeBox* txtW, SizeBox* txtH, QCheckBox* chkKeepProportions, QObject* parent = nullptr);

    // The reference size of the proportion rule (and of the dialogs' test
    // for an unchanged size).
    int32_t BaseWidth = 0;
    int32_t BaseHeight = 0;
    // True while the width box writes the height box, and the other way.
    bool WidthDriving = false;
    bool HeightDriving = false;

    int64_t width() const { return boxNumber(txtW_); }
    int64_t height() const { return boxNumber(txtH_); }

    // The reference size becomes w x h and the boxes show it.
    void showSize(int32_t w, int32_t h);
    // Runs write with the proportions box unticked, so that the two boxes
    // it writes do not drive each other; the box keeps its state.
    void writeApart(const std::function<void()>& write);

    // Runs after the rules of every change of a box (the new-image dialog's
    // spin bars follow their boxes here).
    std::function<void(SizeBox* changed)> afterChange;

    // The rules of a change of one box; the boxes' own change runs them.
    void txtW_Change();
    void txtH_Change();

private:
    void boxChanged(SizeBox* box, SizeBox* other, bool& driving, const bool& otherDriving, int32_t base,
                    int32_t otherBase);

    SizeBox* txtW_;
    SizeBox* txtH_;
    QCheckBox* keep_;
};

} // namespace tq
