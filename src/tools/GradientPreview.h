// The gradient tool's preview strip: the blend from the first gradient
// colour to the second across the strip's width, column by column. Column
// x of W takes t = 1 - x / W of the first colour and u = 1 - t of the second
// (both held as singles), each channel rounded half to even: column 0 is the
// first colour exactly, the last one comes within 1 / W of the second.
#pragma once

#include <QFrame>
#include <QImage>

#include <cstdint>
#include <vector>

namespace tq::tools {

// The colours (red in the low byte) of the W columns; none for W below 1.
std::vector<int32_t> gradientPreviewColumns(int32_t color1, int32_t color2, int32_t W);

// The strip: a bordered box that shows the picture last drawn into it.
class GradientStrip : public QFrame {
    Q_OBJECT
public:
    explicit GradientStrip(QWidget* parent = nullptr);
    // Draws the columns over the whole inside of the box.
    void drawColumns(const std::vector<int32_t>& columns);
    // The inner width in pixels.
    int32_t innerWidth() const { return contentsRect().width(); }
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage picture_;
};

} // namespace tq::tools
