// A picture box of the effect dialog: it keeps what is drawn on it (its
// surface, the picture the effects library reads or draws into), shows that
// surface from its top-left corner on a white background, and reports mouse
// presses in its own pixels.
#pragma once

#include "effectslib/EffectsLibraryApi.h"

#include <QImage>
#include <QWidget>

#include <cstdint>

namespace tq::effects {

class EffectPictureBox : public QWidget {
    Q_OBJECT
public:
    explicit EffectPictureBox(QWidget* parent = nullptr);

    // What is drawn on the box. After changing it, Refresh shows it.
    EffectSurface surface;
    void Refresh();

    // The colour of the surface's pixel (x, y), red in the low byte; -1
    // (no colour) outside the surface.
    int32_t pixel(int x, int y) const;

    // What the box shows now.
    const QImage& shown() const { return shown_; }

signals:
    // A press of any button at (X, Y), in pixels of the box.
    void MouseDown(double X, double Y);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QImage shown_;
};

} // namespace tq::effects
