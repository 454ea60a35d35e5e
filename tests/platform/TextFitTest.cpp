// The caption check the dialog tests use (TextFit.h), on captions whose
// measure is known: each way a text can be cut is reported, and a text with
// room is not.
#include "TextFit.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace tq {
namespace {

using testing::cutTexts;

std::vector<std::string> cutNames(const QWidget& window)
{
    std::vector<std::string> names;
    for (const testing::CutText& c : cutTexts(&window)) names.push_back(c.widget);
    return names;
}

TEST(TextFit, ReportsTextsCutByTheirOwnRectOrByTheirParents)
{
    TQ_REQUIRE_BUNDLED_FONT();
    testing::TextFitFonts fonts;
    QWidget window;
    window.setFont(QFont(testing::bundledFontFamily(), 9));
    window.resize(400, 200);
    const QString text = QStringLiteral("Background Color");
    const int advance = QFontMetrics(window.font()).horizontalAdvance(text);

    const auto label = [&](QWidget* parent, const char* name, QRect place, bool wrap = false) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(place);
        l->setWordWrap(wrap);
        return l;
    };
    label(&window, "roomy", QRect(0, 0, advance + 2, 20));
    label(&window, "narrow", QRect(0, 20, advance - 3, 20));
    // Wide enough itself, but its frame ends before the text does.
    auto* frame = new QWidget(&window);
    frame->setGeometry(0, 40, advance / 2, 20);
    label(frame, "clipped", QRect(0, 0, advance + 2, 20));
    // Wrapped onto two lines: one line of height is too little.
    label(&window, "wrappedShort", QRect(0, 60, advance * 3 / 4, 10), true);
    label(&window, "wrappedTall", QRect(0, 80, advance * 3 / 4, 60), true);
    // A hidden caption is nobody's concern.
    label(&window, "hidden", QRect(0, 140, 5, 20))->hide();
    auto* box = new QCheckBox(text, &window);
    box->setObjectName(QStringLiteral("box"));
    box->setGeometry(200, 0, advance, 20);   // no room for the tick box
    auto* button = new QPushButton(QStringLiteral("OK"), &window);
    button->setObjectName(QStringLiteral("button"));
    button->setGeometry(200, 40, 80, 24);
    window.show();

    EXPECT_EQ(cutNames(window), (std::vector<std::string>{"narrow", "clipped", "wrappedShort", "box"})) << testing::describe(cutTexts(&window));
}

} // namespace
} // namespace tq
