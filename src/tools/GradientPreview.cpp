#include "tools/GradientPreview.h"

#include <QPainter>

#include <cmath>

namespace tq::tools {

std::vector<int32_t> gradientPreviewColumns(int32_t color1, int32_t color2, int32_t W)
{
    std::vector<int32_t> out;
    if (W < 1) return out;
    out.reserve(static_cast<size_t>(W));
    const int R0 = color1 & 0xFF, G0 = (color1 >> 8) & 0xFF, B0 = (color1 >> 16) & 0xFF;
    const int R1 = color2 & 0xFF, G1 = (color2 >> 8) & 0xFF, B1 = (color2 >> 16) & 0xFF;
    for (int32_t x = 0; x < W; ++x) {
        const float t = static_cast<float>(1.0 - double(x) / double(W));
        const float u = static_cast<float>(1.0 - double(t));
        auto mix = [&](int a, int b) {
            const double v = std::nearbyint(double(t) * a + double(u) * b);
            return static_cast<int32_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
        };
        out.push_back(mix(R0, R1) + 256 * mix(G0, G1) + 65536 * mix(B0, B1));
    }
    return out;
}

GradientStrip::GradientStrip(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(1);
}

void GradientStrip::drawColumns(const std::vector<int32_t>& columns)
{
    const QRect inner = contentsRect();
    if (inner.width() < 1 || inner.height() < 1) return;
    if (picture_.size() != inner.size()) {
        picture_ = QImage(inner.size(), QImage::Format_RGB32);
        picture_.fill(palette().color(QPalette::Window));
    }
    const int n = std::min<int>(static_cast<int>(columns.size()), picture_.width());
    for (int y = 0; y < picture_.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture_.scanLine(y));
        for (int x = 0; x < n; ++x) {
            const int32_t c = columns[static_cast<size_t>(x)];
            row[x] = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        }
    }
    update();
}

void GradientStrip::paintEvent(QPaintEvent* e)
{
    QFrame::paintEvent(e);
    if (picture_.isNull()) return;
    QPainter p(this);
    p.drawImage(contentsRect().topLeft(), picture_);
}

} // namespace tq::tools
