#include "toolwindows/ThumbnailGrid.h"

#include "document/Numeric.h"

#include <algorithm>
#include <cmath>

namespace tq::browser {

double rowPitch(bool showName, bool showResolution)
{
    return showName && showResolution ? kRowPitchBothLabels : kRowPitch;
}

int32_t gridColumns(int32_t paneWidth, int32_t cellWidth)
{
    if (cellWidth < 1) return 1;
    const double k = std::floor(double(paneWidth - kSideAllowance) / double(cellWidth));
    return k < 1.0 ? 1 : int32_t(std::min(k, 1e9));
}

CellPlace cellPlace(int32_t i, int32_t columns, int32_t cellWidth, int32_t cellHeight, double pitch)
{
    const int32_t k = std::max(1, columns);
    CellPlace p;
    p.x = rnd(double(i % k) * kColumnPitch * double(cellWidth));
    p.y = rnd(std::floor(double(i) / double(k)) * pitch * double(cellHeight));
    return p;
}

int32_t panelHeight(int32_t cells, int32_t columns, int32_t cellHeight, int32_t nameHeight, int32_t resolutionHeight,
                    double pitch)
{
    const int32_t k = std::max(1, columns);
    const double rows = double(cells) / double(k);
    double h = std::floor(rows) * pitch * double(cellHeight) + nameHeight + resolutionHeight;
    if (std::floor(rows) < rows) h += cellHeight + nameHeight + resolutionHeight;
    return rnd(h);
}

std::string resolutionText(int32_t width, int32_t height, int32_t bitsPerPixel)
{
    return std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(bitsPerPixel) + "b";
}

namespace {

// The name less its last character (a whole UTF-8 character).
void dropLastCharacter(std::string& s)
{
    if (s.empty()) return;
    size_t n = s.size() - 1;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    s.erase(n);
}

} // namespace

std::string shortenName(const std::string& name, int32_t buttonWidth, const TextWidth& measure)
{
    const TextWidth width = measure ? measure : TextWidth(characterTextWidth);
    int16_t room = 0;
    if (!toInt16(double(buttonWidth - kNameMargin), room)) room = buttonWidth > 0 ? INT16_MAX : INT16_MIN;
    std::string shown = name;
    if (room < width(shown)) {
        int16_t less = room;
        if (toInt16(double(room) - double(width(kEllipsis)), less)) room = less;
    }
    while (!shown.empty() && room < width(shown)) dropLastCharacter(shown);
    if (buttonWidth - kNameMargin > room) shown += kEllipsis;
    return shown;
}

} // namespace tq::browser
