// Which captions of a shown window are cut: every visible label, check box,
// radio button and push button whose text, laid out as the widget draws it,
// does not fit the part of the widget that is shown (its own rectangle, less
// what its parents clip away). A single-line text is measured across; a
// word-wrapped label also down, so a line that falls below the label counts.
//
// The measure is only as good as the font: fontsForTextFit() pins the faces
// the windows ask for, which this machine does not have, to the bundled
// font (tools/BundledFont.h), so every run measures with the same metrics.
#pragma once

#include "tools/BundledFont.h"


#include <QAbstractButton>
#include <QCheckBox>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include <string>
#include <vector>

namespace tq::testing {

struct CutText {
    std::string widget;   // object name, or class name when it has none
    std::string text;
    QRect needed;         // where the text is laid out, widget coordinates
    QRect shown;          // the part of the widget the text may use and that is shown
};

// For its lifetime, the faces the windows ask for and this machine lacks
// resolve to the bundled font. Make it before the windows to be measured.
class TextFitFonts {
public:
    TextFitFonts() : family_(bundledFontFamily())
    {
        if (family_.isEmpty()) return;
        for (const char* face : kFaces) QFont::insertSubstitution(QString::fromLatin1(face), family_);
    }
    ~TextFitFonts()
    {
        if (family_.isEmpty()) return;
        for (const char* face : kFaces) QFont::removeSubstitutions(QString::fromLatin1(face));
    }
    TextFitFonts(const TextFitFonts&) = delete;
    TextFitFonts& operator=(const TextFitFonts&) = delete;
    // False when the bundled font is missing: the measure means nothing.
    bool ready() const { return !family_.isEmpty(); }

private:
    static constexpr const char* kFaces[] = {"Verdana", "Microsoft Sans Serif", "MS Sans Serif"};
    QString family_;
};

namespace textfit {

// The part of w (in its own coordinates) that its ancestors up to window
// leave visible.
inline QRect visiblePart(const QWidget* w, const QWidget* window)
{
    QRect r = w->rect();
    QPoint offset(0, 0);   // w's origin in the current ancestor's coordinates
    for (const QWidget* child = w; child != window && child->parentWidget(); child = child->parentWidget()) {
        const QWidget* parent = child->parentWidget();
        offset += child->pos();
        r = r.intersected(parent->rect().translated(-offset));
    }
    return r;
}

inline void measure(const QWidget* w, const QWidget* window, const QString& text, const QRect& area, int flags,
                    bool wrapped, std::vector<CutText>& cut)
{
    if (text.trimmed().isEmpty()) return;
    const QRect needed = w->fontMetrics().boundingRect(area, flags, text);
    const QRect shown = area.intersected(visiblePart(w, window));
    const bool across = needed.left() < shown.left() || needed.right() > shown.right();
    const bool down = wrapped && (needed.top() < shown.top() || needed.bottom() > shown.bottom());
    if (across || down) {
        const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                         : w->objectName();
        cut.push_back({name.toStdString(), text.toStdString(), needed, shown});
    }
}

inline void measureLabel(const QLabel* l, const QWidget* window, std::vector<CutText>& cut)
{
    if (l->text().isEmpty() || (Qt::mightBeRichText(l->text()) && l->textFormat() != Qt::PlainText)) return;
    // As the label lays its text out: inside the frame, less the margin and
    // the indent on the side the text is aligned to.
    QRect area = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    int indent = l->indent();
    if (indent < 0 && l->frameWidth() > 0) indent = l->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
    const Qt::Alignment align = QStyle::visualAlignment(l->layoutDirection(), l->alignment());
    if (indent > 0) {
        if (align & Qt::AlignLeft) area.setLeft(area.left() + indent);
        if (align & Qt::AlignRight) area.setRight(area.right() - indent);
        if (align & Qt::AlignTop) area.setTop(area.top() + indent);
        if (align & Qt::AlignBottom) area.setBottom(area.bottom() - indent);
    }
    int flags = int(align);
    if (l->wordWrap()) flags |= Qt::TextWordWrap;
    if (l->buddy()) flags |= Qt::TextShowMnemonic;
    measure(l, window, l->text(), area, flags, l->wordWrap(), cut);
}

inline void measureButton(const QAbstractButton* b, const QWidget* window, std::vector<CutText>& cut)
{
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.icon = b->icon();
    opt.iconSize = b->iconSize();
    QStyle::SubElement contents;
    int flags = Qt::TextShowMnemonic;
    if (qobject_cast<const QCheckBox*>(b)) {
        contents = QStyle::SE_CheckBoxContents;
        flags |= Qt::AlignLeft | Qt::AlignVCenter;
    } else if (qobject_cast<const QRadioButton*>(b)) {
        contents = QStyle::SE_RadioButtonContents;
        flags |= Qt::AlignLeft | Qt::AlignVCenter;
    } else if (qobject_cast<const QPushButton*>(b)) {
        contents = QStyle::SE_PushButtonContents;
        flags |= Qt::AlignCenter;
    } else {
        return;
    }
    const QRect area = b->style()->subElementRect(contents, &opt, b);
    measure(b, window, b->text(), area, flags, false, cut);
}

} // namespace textfit

// The cut captions of window's visible widgets.
inline std::vector<CutText> cutTexts(const QWidget* window)
{
    std::vector<CutText> cut;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        if (const auto* l = qobject_cast<const QLabel*>(w))
            textfit::measureLabel(l, window, cut);
        else if (const auto* b = qobject_cast<const QAbstractButton*>(w))
            textfit::measureButton(b, window, cut);
    }
    return cut;
}

// One line per cut caption, for a failure message.
inline std::string describe(const std::vector<CutText>& cut)
{
    std::string s;
    for (const CutText& c : cut) {
        s += c.widget + " \"" + c.text + "\": needs " + std::to_string(c.needed.width()) + " x " +
             std::to_string(c.needed.height()) + " at " + std::to_string(c.needed.x()) + "," +
             std::to_string(c.needed.y()) + ", shown " + std::to_string(c.shown.width()) + " x " +
             std::to_string(c.shown.height()) + " at " + std::to_string(c.shown.x()) + "," +
             std::to_string(c.shown.y()) + "\n";
    }
    return s;
}

} // namespace tq::testing
