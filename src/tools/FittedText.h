// Fitting a text into a picture: the largest font size (6 to 72) at which
// the text fits inside a margin, its lines wrapped at spaces, hyphens and
// line breaks (inside a word only when the word alone is too long), aligned
// left, centred, right or justified, with an optional shadow drawn first,
// offset by a few pixels in one of eight directions.
//
// The picture is reached through TextPicture, whose sizes and positions are
// in twips (15 to the pixel), so the routine reads like its measurements and
// a test can put a recording picture in its place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tq {

// What DrawFittedText draws on. Sizes and positions in twips.
class TextPicture {
public:
    virtual ~TextPicture() = default;
    // The inner size.
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    virtual void setFontSize(int16_t points) = 0;
    virtual int16_t FontSize() const = 0;
    // The width of the text's widest line.
    virtual double TextWidth(const std::u32string& text) const = 0;
    // The height of the text's lines.
    virtual double TextHeight(const std::u32string& text) const = 0;
    // The text colour (red in the low byte).
    virtual int32_t ForeColor() const = 0;
    virtual void setForeColor(int32_t colour) = 0;
    // Prints one line with its top-left corner at (x, y), in the text
    // colour on a transparent background.
    virtual void Print(double x, double y, const std::u32string& text) = 0;
};

// One line of the layout.
struct FittedLine {
    std::u32string Text;
    // 0 open or broken inside a word, 1 ends after a space, 2 after a
    // hyphen, 3 ends a paragraph (a line break or the end of the text).
    int32_t EndKind = 0;
    bool operator==(const FittedLine&) const = default;
};

namespace mText {

// TextAlign.
inline constexpr int16_t kAlignLeft = 0;
inline constexpr int16_t kAlignCentre = 1;
inline constexpr int16_t kAlignRight = 2;
inline constexpr int16_t kAlignFull = 3;
// ShadowDirection: a 3 x 3 grid read row by row, 4 (the middle) no shadow.
inline constexpr int16_t kNoShadow = 4;

inline constexpr int16_t kSmallestSize = 6;
inline constexpr int16_t kLargestSize = 72;
// Positions and counts are 16-bit: a longer text does not fit.
inline constexpr size_t kMaxTextLength = 32767;

// The number of occurrences of Find in Source, overlapping ones each
// counted; 0 for an empty Find.
int16_t CountOccurrences(std::string_view Source, std::string_view Find);

// The shadow's offset in pixels at a font size: 1 below 15, then one more
// for every 15 points.
inline int32_t ShadowStep(int16_t size) { return size / 15 + 1; }

// The lines of Text at the picture's current font size within AvailW.
std::vector<FittedLine> LayoutLines(const TextPicture& Pic, const std::u32string& Text, double AvailW);

// Fits, lays out and draws Text into Pic (which it does not clear) with
// Margin kept on each side. The font size is left at the size used. False
// when no size from 6 up fits, the margins leave no room, or the text is
// too long; nothing is drawn then.
bool DrawFittedText(TextPicture& Pic, const std::string& Text, int16_t Align, float Margin, int16_t Shadow,
                    int32_t ShadowColor);

// UTF-8 to characters and back.
std::u32string toChars(std::string_view utf8);
std::string toUtf8(const std::u32string& chars);

} // namespace mText
} // namespace tq
