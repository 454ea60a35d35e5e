#include "tools/StampPictures.h"

#include "document/PictureRouting.h"
#include "platform/QtImage.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace tq::tools {
namespace {

namespace fs = std::filesystem;

QPolygonF starPolygon(QPointF c, double outer, double inner, int points, double turn = -M_PI / 2)
{
    QPolygonF poly;
    for (int i = 0; i < 2 * points; ++i) {
        const double r = i % 2 ? inner : outer;
        const double a = turn + i * M_PI / points;
        poly << c + QPointF(r * std::cos(a), r * std::sin(a));
    }
    return poly;
}

void drawStar(QPainter& p)
{
    p.setBrush(QColor(0x8C, 0x12, 0x12));
    p.drawPolygon(starPolygon({24, 25.5}, 22, 9, 5));
}

void drawRose(QPainter& p)
{
    // Petals round a centre, a stem and two leaves.
    p.setBrush(QColor(0x1E, 0x5A, 0x1E));
    p.drawRect(QRectF(47, 55, 6, 42));
    QPainterPath leaf;
    leaf.moveTo(50, 80);
    leaf.cubicTo(35, 70, 22, 74, 18, 84);
    leaf.cubicTo(30, 90, 42, 88, 50, 80);
    p.drawPath(leaf);
    p.drawPath(QTransform(-1, 0, 0, 1, 100, -12).map(leaf));
    p.setBrush(QColor(0xA0, 0x10, 0x30));
    for (int i = 0; i < 6; ++i) {
        const double a = i * M_PI / 3;
        p.drawEllipse(QPointF(50 + 15 * std::cos(a), 34 + 15 * std::sin(a)), 14, 14);
    }
    p.setBrush(QColor(0x6A, 0x08, 0x20));
    p.drawEllipse(QPointF(50, 34), 11, 11);
}

void drawHeart(QPainter& p)
{
    QPainterPath heart;
    heart.moveTo(50, 90);
    heart.cubicTo(10, 62, 4, 38, 14, 24);
    heart.cubicTo(26, 8, 46, 14, 50, 30);
    heart.cubicTo(54, 14, 74, 8, 86, 24);
    heart.cubicTo(96, 38, 90, 62, 50, 90);
    p.setBrush(QColor(0xB0, 0x14, 0x28));
    p.drawPath(heart);
}

void drawPaw(QPainter& p)
{
    p.setBrush(QColor(0x3A, 0x2A, 0x20));
    p.drawEllipse(QPointF(24, 32), 11, 9);
    p.drawEllipse(QPointF(10, 20), 4.5, 6);
    p.drawEllipse(QPointF(19, 11), 4.5, 6);
    p.drawEllipse(QPointF(29, 11), 4.5, 6);
    p.drawEllipse(QPointF(38, 20), 4.5, 6);
}

void drawSnowflake(QPainter& p)
{
    p.setPen(QPen(QColor(0x10, 0x30, 0x70), 3.2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 6; ++i) {
        const double a = i * M_PI / 3;
        const QPointF dir(std::cos(a), std::sin(a));
        const QPointF c(24, 24);
        p.drawLine(c, c + 20 * dir);
        for (double at : {9.0, 15.0}) {
            const QPointF base = c + at * dir;
            const double side = at == 9.0 ? 6 : 4.5;
            for (double s : {-1.0, 1.0}) {
                const double b = a + s * M_PI / 4;
                p.drawLine(base, base + side * QPointF(std::cos(b), std::sin(b)));
            }
        }
    }
    p.setPen(Qt::NoPen);
}

void drawSun(QPainter& p)
{
    p.setBrush(QColor(0xB8, 0x60, 0x08));
    p.drawPolygon(starPolygon({24, 24}, 23, 14, 12, 0));
    p.setBrush(QColor(0xD0, 0x80, 0x10));
    p.drawEllipse(QPointF(24, 24), 12, 12);
}

void drawMoon(QPainter& p)
{
    QPainterPath moon;
    moon.addEllipse(QPointF(24, 24), 20, 20);
    QPainterPath bite;
    bite.addEllipse(QPointF(33, 18), 17, 17);
    p.setBrush(QColor(0x24, 0x28, 0x60));
    p.drawPath(moon.subtracted(bite));
}

void drawNote(QPainter& p)
{
    p.setBrush(QColor(0x14, 0x14, 0x14));
    p.drawEllipse(QPointF(13, 37), 7.5, 5.5);
    p.drawEllipse(QPointF(35, 33), 7.5, 5.5);
    p.drawRect(QRectF(18.5, 8, 3, 29));
    p.drawRect(QRectF(40.5, 4, 3, 29));
    QPolygonF beam;
    beam << QPointF(18.5, 8) << QPointF(43.5, 4) << QPointF(43.5, 10) << QPointF(18.5, 14);
    p.drawPolygon(beam);
}

void drawLeaf(QPainter& p)
{
    QPainterPath leaf;
    leaf.moveTo(6, 42);
    leaf.cubicTo(4, 18, 22, 4, 44, 4);
    leaf.cubicTo(44, 28, 30, 44, 6, 42);
    p.setBrush(QColor(0x22, 0x6A, 0x24));
    p.drawPath(leaf);
    p.setPen(QPen(QColor(0xF0, 0xF0, 0xF0), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 40), QPointF(38, 10));
    p.setPen(Qt::NoPen);
}

} // namespace

QImage builtInStamp(int n)
{
    if (n < 1 || n > kBuiltInStampCount) return {};
    const int side = n == 2 || n == 3 ? 100 : 48;
    QImage img(side, side, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    switch (n) {
    case 1: drawStar(p); break;
    case 2: drawRose(p); break;
    case 3: drawHeart(p); break;
    case 4: drawPaw(p); break;
    case 5: drawSnowflake(p); break;
    case 6: drawSun(p); break;
    case 7: drawMoon(p); break;
    case 8: drawNote(p); break;
    case 9: drawLeaf(p); break;
    }
    return img;
}

QImage builtInStampIcon(int n)
{
    const QImage full = builtInStamp(n);
    if (full.isNull()) return {};
    return full.scaled(kStampListIconSize, kStampListIconSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

DibRecord builtInStampPicture(int n) { return platform::dibFromImage(builtInStamp(n)); }

bool stampHeaderSound(const std::string& path, const std::string& ext)
{
    uint8_t b[18] = {};
    {
        std::ifstream f(path, std::ios::binary);
        if (!f.read(reinterpret_cast<char*>(b), sizeof b)) return false;
    }
    const auto le16 = [&](int at) { return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8; };
    if (ext == "bmp") {
        // The information header's own size names its kind: core, the
        // common one, and the later versions.
        const uint32_t info = le16(14) | le16(16) << 16;
        return b[0] == 'B' && b[1] == 'M' &&
               (info == 12 || info == 40 || info == 52 || info == 56 || info == 64 || info == 108 || info == 124);
    }
    if (ext == "gif") return std::memcmp(b, "GIF87a", 6) == 0 || std::memcmp(b, "GIF89a", 6) == 0;
    if (ext == "ico") return le16(0) == 0 && le16(2) == 1 && le16(4) >= 1;
    return false;
}

std::vector<std::string> ListStampFiles(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    const fs::path dir(folder);
    if (!fs::is_directory(dir, ec)) return names;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc)) continue;
        const std::string name = it->path().filename().string();
        if (name.size() < 4) continue;
        std::string ext = name.substr(name.size() - 4);
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (ext != ".bmp" && ext != ".gif" && ext != ".ico") continue;
        if (!stampHeaderSound(it->path().string(), ext.substr(1))) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
            return std::tolower(x) < std::tolower(y);
        });
    });
    return names;
}

std::string stampEntryCaption(const std::string& fileName)
{
    return fileName.size() >= 4 ? fileName.substr(0, fileName.size() - 4) : std::string();
}

BitsBuffer StampBitsOf(const DibRecord* picture, int w, int h)
{
    const std::vector<uint8_t> bits = mBitmap::GetPictureBits(picture, w, h);
    if (bits.empty()) return {};
    BitsBuffer b(w, h);
    const size_t rowBytes = 4u * size_t(w);
    for (int y = 0; y < h; ++y) std::memcpy(b.row(y), bits.data() + rowBytes * size_t(y), rowBytes);
    return b;
}

} // namespace tq::tools
