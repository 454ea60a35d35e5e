// The text tile of the textures window: a picture sized to a text set in a
// chosen font, size and styles, into which the text is fitted with a small
// margin (mText::DrawFittedText), to be laid over a picture as a texture.
//
// The picture measures in twips (15 to the pixel) as DrawFittedText expects;
// a font size in points becomes a pixel height at 96 dots per inch.
#pragma once

#include "core/BitsBuffer.h"
#include "tools/FittedText.h"

#include <QFont>
#include <QImage>

#include <cstdint>
#include <string>

namespace tq {

struct TextStyle {
    std::string face;
    int16_t size = 11;   // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethru = false;
};

// A size in pixels.
struct TextExtent {
    int32_t width = 0;
    int32_t height = 0;
};

class TextTile : public TextPicture {
public:
    // The picture's own colours: the desktop's button face behind, its
    // button text in front.
    static constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);
    static constexpr int32_t kButtonText = static_cast<int32_t>(0x80000012);
    // The blank border DrawFittedText keeps: 4 pixels.
    static constexpr float kMarginTwips = 60.0f;

    TextTile();

    // Face, size and the four styles.
    void setStyle(const TextStyle& style);
    const TextStyle& style() const { return style_; }
    // The text's widest line and the height of all its lines, in pixels, in
    // the current style (a line break is CR LF, CR or LF).
    TextExtent measure(const std::string& text) const;
    // A new size in pixels, keeping the drawing where it still fits (none
    // for a side below 1).
    void resize(int32_t w, int32_t h);
    int32_t width() const { return image_.width(); }
    int32_t height() const { return image_.height(); }
    // The whole picture in the background colour.
    void Cls();
    // The drawing as a margin-less picture.
    DibRecord picture() const;

    int32_t BackColor() const { return BackColor_; }

    // ---- TextPicture ----------------------------------------------------------
    double ScaleWidth() const override;
    double ScaleHeight() const override;
    void setFontSize(int16_t points) override;
    int16_t FontSize() const override { return style_.size; }
    double TextWidth(const std::u32string& text) const override;
    double TextHeight(const std::u32string& text) const override;
    int32_t ForeColor() const override { return ForeColor_; }
    void setForeColor(int32_t colour) override { ForeColor_ = colour; }
    void Print(double x, double y, const std::u32string& text) override;

    // Points to pixels at 96 dots per inch, rounded as the desktop rounds.
    static int pixelsForPoints(int16_t points);

private:
    void makeFont();

    TextStyle style_;
    QFont font_;
    QImage image_;
    int32_t BackColor_ = kButtonFace;
    int32_t ForeColor_ = kButtonText;
};

// What RenderTextTexture did.
enum class TextTileResult {
    Drawn,        // the text is drawn into the tile
    NotDrawn,     // no alignment or shadow chosen: the tile has its new size and its old drawing
    NoSizeFits,   // no size fits: the tile is blank
};

// Renders the text tile: measures the text in the style, sizes the tile to
// it, and (with an alignment and a shadow chosen, -1 standing for none)
// clears it and fits the text into it with the 4-pixel margin and the
// shadow in the button-face colour.
TextTileResult RenderTextTexture(TextTile& picCustom, const TextStyle& style, const std::string& text,
                                 int16_t align, int16_t shadow);

} // namespace tq
