// An up-down: a small vertical scroll bar that shows only its two arrows.
// Like any vertical scroll bar its value grows towards the lower arrow: the
// upper arrow lowers it by one step, the lower arrow raises it; an arrow held
// down repeats. It is a QScrollBar, so ScrollBarUpDown (QtControls.h) puts
// it behind the shared routines' UpDownControl interface.
#pragma once

#include <QScrollBar>

namespace tq {

class UpDownBar : public QScrollBar {
    Q_OBJECT
public:
    explicit UpDownBar(QWidget* parent = nullptr);

    QSize sizeHint() const override { return QSize(13, 19); }
    QSize minimumSizeHint() const override { return QSize(9, 10); }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    // -1 the upper arrow is held, 1 the lower one, 0 none.
    int held_ = 0;
};

} // namespace tq
