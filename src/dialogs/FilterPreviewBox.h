// A preview picture box of the filter dialog: keeps what is drawn into it (a
// picture drawn 1:1 from its top-left corner, and lines over it), repaints
// from that, lets the dialog read the colour of a point, and reports mouse
// presses and moves in its own pixels.
#pragma once

#include "core/BitsBuffer.h"

#include <QImage>
#include <QWidget>

#include <cstdint>

namespace tq {

class FilterPreviewBox : public QWidget {
    Q_OBJECT
public:
    explicit FilterPreviewBox(QWidget* parent = nullptr);

    // The w x h picture area of a bordered record (as cBitFilter::BitsToDib
    // makes it, margin included) drawn 1:1 at the top-left corner; the box
    // keeps a drawing of that size.
    void drawRecord(const DibRecord& record, int32_t w, int32_t h);
    // A line from (x1, y1) towards (x2, y2), the end point not drawn; only
    // horizontal and vertical lines are needed. Points outside are skipped.
    void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour);
    // The colour drawn at (x, y), red in the low byte; -1 outside the drawing.
    int32_t Point(int32_t x, int32_t y) const;
    const QImage& drawing() const { return drawing_; }

signals:
    // Mouse positions in the box's pixels; `button` the button that changed
    // (Qt::NoButton for a move), `buttons` those held.
    void MouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, float x, float y);
    void MouseMove(Qt::MouseButtons buttons, float x, float y);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    QImage drawing_;
};

// Copies the w x h picture area of a bordered record into a 32-bit image
// (opaque; the marker byte is not carried). The image is made or resized to
// w x h when it has another size.
void drawRecordInto(QImage& image, const DibRecord& record, int32_t w, int32_t h);

} // namespace tq
