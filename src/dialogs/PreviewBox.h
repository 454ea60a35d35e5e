// The picture box of a dialog's preview: shows a picture 1:1 from its top-left
// corner, the picture area of a bordered buffer without its margin, drawn
// from the record cBitFilter::BitsToDib makes of it.
#pragma once

#include "core/BitsBuffer.h"

#include <QImage>
#include <QWidget>

namespace tq {

class PreviewBox : public QWidget {
    Q_OBJECT
public:
    explicit PreviewBox(QWidget* parent = nullptr);

    // Shows the w x h picture area of bits (clipped to the buffer).
    void showPicture(const BitsBuffer& bits, int w, int h);
    // The picture shown, without the margin (null when none).
    const QImage& picture() const { return picture_; }

    // A w x h reduction of a picture made in an engine of its own: the
    // nearest source pixel, or bilinear with smooth. An unallocated buffer
    // when it cannot be made.
    static BitsBuffer reduced(const BitsBuffer& source, int w, int h, bool smooth);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage picture_;
};

} // namespace tq
