// The picture boxes of the optimised save dialog: a picture (the unchanged
// one, or the file as the current preset wrote it) inside a flat one-pixel
// border, sizing itself to its picture and keeping what is drawn on it (its
// persistent image), and reporting the mouse in its own pixels so the
// dialog can pan it.
//
// A preview of a 4000 x 3000 photograph is 48 MB, so the image is shared,
// never copied: the "Both" page's pictures show the very image of their
// single-page twins, and the box paints straight from the picture record.
//
// Each picture lives in a clip box (FWebClipBox): a bordered frame whose
// inner area cuts the picture off, in which the dialog places the picture
// by its left and top in the inner area's pixels.
#pragma once

#include "core/BitsBuffer.h"

#include <QFrame>

#include <memory>

namespace tq {

using WebPicture = std::shared_ptr<const DibRecord>;

class FWebPictureBox : public QFrame {
    Q_OBJECT
public:
    explicit FWebPictureBox(QWidget* parent = nullptr);

    // The persistent image; null when nothing was put in the box.
    const WebPicture& image() const { return image_; }
    // The picture becomes the box's image and the box takes its size (plus
    // the border); a null picture empties the box and keeps its size.
    void setPicture(WebPicture picture);
    // Draws the picture at (0, 0) in its own size onto the persistent image;
    // the box keeps its size, and what the picture does not cover stays.
    void drawOver(DibRecord picture);
    // The inner size, without the border (the box's size when empty).
    void setInnerSize(int width, int height);
    int innerWidth() const { return contentsRect().width(); }
    int innerHeight() const { return contentsRect().height(); }
    // The outer size, border included.
    int outerWidth() const { return width(); }
    int outerHeight() const { return height(); }

signals:
    // Any button; X and Y in pixels of the picture (inside the border).
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double X, double Y);
    void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, double X, double Y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, double X, double Y);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    WebPicture image_;
};

class FWebClipBox : public QFrame {
    Q_OBJECT
public:
    explicit FWebClipBox(QWidget* parent = nullptr);

    // The inner area the picture is placed in and cut off by.
    QWidget* area() const { return area_; }
    int innerWidth() const { return contentsRect().width(); }
    int innerHeight() const { return contentsRect().height(); }
    int outerWidth() const { return width(); }
    // Moves and sizes the box (outer size) and its inner area at once.
    void setBox(int left, int top, int width, int height);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QWidget* area_ = nullptr;
};

} // namespace tq
