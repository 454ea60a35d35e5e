#include "tools/FittedText.h"

#include "document/Numeric.h"
#include "platform/Ports.h"

#include <algorithm>

namespace tq::mText {

namespace {

constexpr char32_t kCR = U'\r';
constexpr char32_t kLF = U'\n';

std::u32string trimSpaces(const std::u32string& s)
{
    size_t a = 0, b = s.size();
    while (a < b && s[a] == U' ') ++a;
    while (b > a && s[b - 1] == U' ') --b;
    return s.substr(a, b - a);
}

// What ended a piece of the text while it was read.
enum Piece { TextEnded = 0, AfterSpace = 1, AfterHyphen = 2, LineBreak = 3, DoesNotFit = 4 };

} // namespace

int16_t CountOccurrences(std::string_view Source, std::string_view Find)
{
    if (Find.empty()) return 0;
    int32_t count = 0;
    size_t from = 0;
    for (;;) {
        const size_t p = Source.find(Find, from);
        if (p == std::string_view::npos) break;
        ++count;
        // Overlapping occurrences count: the search goes on one past the
        // start of this one.
        from = p + 1;
    }
    return static_cast<int16_t>(count > 32767 ? 32767 : count);
}

std::u32string toChars(std::string_view s)
{
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= s.size()) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        char32_t v = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
            if ((d & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            v = (v << 6) | (d & 0x3F);
        }
        if (!ok) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        out.push_back(v);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

std::string toUtf8(const std::u32string& chars)
{
    std::string out;
    out.reserve(chars.size());
    for (char32_t c : chars) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::vector<FittedLine> LayoutLines(const TextPicture& Pic, const std::u32string& Text, double AvailW)
{
    std::vector<FittedLine> lines(1);
    std::u32string word;
    const size_t n = Text.size();
    size_t pos = 0;
    auto tooWide = [&](char32_t c) { return Pic.TextWidth(lines.back().Text + word + c) > AvailW; };
    while (pos < n) {
        Piece kind = TextEnded;
        char32_t ch = 0;   // the space or hyphen that ended the piece, or the character that did not fit
        while (pos < n) {
            const char32_t c = Text[pos++];
            if (c == U' ') {
                kind = AfterSpace;
                ch = c;
                break;
            }
            if (c == U'-') {
                kind = tooWide(c) ? DoesNotFit : AfterHyphen;
                ch = c;
                break;
            }
            if (c == kLF) {
                kind = LineBreak;
                break;
            }
            if (c == kCR) {
                if (pos < n && Text[pos] == kLF) ++pos;
                kind = LineBreak;
                break;
            }
            if (tooWide(c)) {
                kind = DoesNotFit;
                ch = c;
                break;
            }
            word.push_back(c);
        }

        FittedLine& line = lines.back();
        switch (kind) {
        case TextEnded:
            line.Text += word;
            line.EndKind = 3;
            word.clear();
            break;
        case AfterSpace:
        case AfterHyphen:
            line.Text += word;
            line.Text.push_back(ch);
            line.EndKind = kind;
            word.clear();
            break;
        case LineBreak:
            line.Text += word;
            line.EndKind = 3;
            word.clear();
            lines.emplace_back();
            break;
        case DoesNotFit:
            if (line.EndKind == 0) {
                // The word alone is too long: it is broken here, without a
                // hyphen.
                line.Text = word;
                word.assign(1, ch);
            } else {
                line.Text = trimSpaces(line.Text);
                word.push_back(ch);
            }
            lines.emplace_back();
            break;
        }
    }
    // The last character forced a break: its word still has a line.
    if (!word.empty()) {
        lines.back().Text = word;
        lines.back().EndKind = 3;
    }
    return lines;
}

namespace {

// One pass over the lines, shifted by (dx, dy).
void drawPass(TextPicture& Pic, const std::vector<FittedLine>& lines, int16_t Align, double Margin, double AvailW,
              double lineHeight, double dx, double dy)
{
    double y = Margin + dy;
    for (const FittedLine& line : lines) {
        double x = Margin + dx;
        const std::u32string t = trimSpaces(line.Text);
        const double width = Pic.TextWidth(t);
        const int32_t spaces = static_cast<int32_t>(std::count(t.begin(), t.end(), U' '));
        // A justified line needs two characters to spread between; a line
        // of one character (no gap at all) stands at the left.
        const bool spread = Align == kAlignFull && line.EndKind != 3 && (t.size() >= 2 || spaces >= 1);
        if (Align == kAlignCentre) {
            x += (AvailW - width) / 2;
        } else if (Align == kAlignRight) {
            x += AvailW - width;
        }
        if (!spread) {
            Pic.Print(x, y, t);
        } else {
            const double sw = Pic.TextWidth(U" ");
            const double extra = AvailW - width;
            double spaceGap = 0, charGap = 0;
            if (spaces >= 1 && 3 * sw >= static_cast<double>(rnd(extra) / spaces)) {
                spaceGap = extra / spaces;
            } else {
                const double unit = extra / (static_cast<double>(t.size()) - 1 + 2.0 * spaces);
                spaceGap = 3 * unit;
                charGap = unit;
            }
            for (char32_t c : t) {
                const std::u32string one(1, c);
                Pic.Print(x, y, one);
                x += Pic.TextWidth(one) + (c == U' ' ? spaceGap : charGap);
            }
        }
        y += lineHeight;
    }
}

} // namespace

bool DrawFittedText(TextPicture& Pic, const std::string& Text, int16_t Align, float Margin, int16_t Shadow,
                    int32_t ShadowColor)
{
    const std::u32string text = toChars(Text);
    if (text.size() > kMaxTextLength) return false;
    const int32_t N = CountOccurrences(Text, "\r\n");

    const double innerW = Pic.ScaleWidth();
    const double innerH = Pic.ScaleHeight();
    if (2.0 * Margin > innerW || 2.0 * Margin > innerH) return false;
    const double AvailW = innerW - 2.0 * Margin;
    const double AvailH = innerH - 2.0 * Margin;
    if (AvailW == 0) return false;

    // The estimate: the whole text's width over the room, plus its hard
    // breaks, in lines of the size tried.
    int16_t best = 0;
    for (int16_t s = kSmallestSize; s <= kLargestSize; ++s) {
        Pic.setFontSize(s);
        const double W = Pic.TextWidth(text);
        const double H = Pic.TextHeight(U" ");
        if ((W / AvailW + N) * H < AvailH)
            best = s;
        else
            break;
    }
    if (best == 0) return false;

    // The layout, one point smaller while its lines are too many. Below the
    // smallest size nothing fits.
    std::vector<FittedLine> lines;
    double lineHeight = 0;
    for (;;) {
        if (best < kSmallestSize) return false;
        Pic.setFontSize(best);
        lines = LayoutLines(Pic, text, AvailW);
        lineHeight = Pic.TextHeight(U"X");
        if (static_cast<double>(lines.size()) * lineHeight > AvailH)
            --best;
        else
            break;
    }

    const int32_t k = ShadowStep(best);
    const double dx = static_cast<double>((Shadow % 3 - 1) * k * platform::TwipsPerPixelX());
    const double dy = static_cast<double>((Shadow / 3 - 1) * k * platform::TwipsPerPixelY());

    const int32_t textColour = Pic.ForeColor();
    if (Shadow != kNoShadow) {
        Pic.setForeColor(ShadowColor);
        drawPass(Pic, lines, Align, Margin, AvailW, lineHeight, dx, dy);
        Pic.setForeColor(textColour);
    }
    drawPass(Pic, lines, Align, Margin, AvailW, lineHeight, 0, 0);
    return true;
}

} // namespace tq::mText
