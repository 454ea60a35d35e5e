// The key rule every filtered text box shares: shortcuts reach the box, the
// filter refuses what it discards quietly, and a character beyond the box's
// length is refused with the bell instead of being dropped without a sign.
#include "support/TestPorts.h"
#include "widgets/WidgetHelpers.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace tq {
namespace {

// A box of at most three characters that takes digits and Backspace, as the
// option and colour boxes do.
class DigitBox : public QLineEdit {
public:
    explicit DigitBox(int maxTyped) : maxTyped_(maxTyped) { setMaxLength(3); }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        const auto digits = [](int16_t& k) {
            if (!((k >= '0' && k <= '9') || k == 8)) k = 0;
        };
        if (!refuseTypedKey(this, *e, maxTyped_, digits)) QLineEdit::keyPressEvent(e);
    }

private:
    int maxTyped_;
};

TEST(TypedKeyRule, ShortcutsPassFilteredKeysAreQuietAndAFullBoxRings)
{
    struct Case {
        const char* what;
        const char* start;
        bool selectAll;
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* text;   // the box's text after the key
        int rings;
    };
    const Case cases[] = {
        {"digit with room", "12", false, Qt::Key_3, Qt::NoModifier, "123", 0},
        {"digit into a full box", "123", false, Qt::Key_4, Qt::NoModifier, "123", 1},
        {"digit over the selection", "123", true, Qt::Key_4, Qt::NoModifier, "4", 0},
        {"letter", "12", false, Qt::Key_A, Qt::NoModifier, "12", 0},
        {"Backspace in a full box", "123", false, Qt::Key_Backspace, Qt::NoModifier, "12", 0},
        {"Enter", "123", false, Qt::Key_Return, Qt::NoModifier, "123", 0},
        {"Ctrl+A, then a digit", "123", false, Qt::Key_A, Qt::ControlModifier, "5", 0},
    };
    for (const Case& c : cases) {
        platform::TestPorts ports;
        DigitBox box(0);
        box.setText(QString::fromLatin1(c.start));
        if (c.selectAll) box.selectAll();
        QTest::keyClick(&box, Qt::Key(c.key), c.modifiers);
        if (c.modifiers & Qt::ControlModifier) {
            EXPECT_EQ(box.selectedText(), box.text()) << c.what;
            QTest::keyClick(&box, Qt::Key_5);
        }
        EXPECT_EQ(box.text().toStdString(), c.text) << c.what;
        EXPECT_EQ(ports.bell.rings, c.rings) << c.what;
    }
}

// A limit of its own for what is typed: the program may write more.
TEST(TypedKeyRule, ATypedLimitBelowTheBoxLengthCountsOnlyTyping)
{
    platform::TestPorts ports;
    DigitBox box(2);
    box.setText(QStringLiteral("-25"));   // written by the program
    box.end(false);
    QTest::keyClick(&box, Qt::Key_1);
    EXPECT_EQ(box.text(), "-25");
    EXPECT_EQ(ports.bell.rings, 1);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClick(&box, Qt::Key_7);
    EXPECT_EQ(box.text(), "-7");
    EXPECT_EQ(ports.bell.rings, 1);
}

} // namespace
} // namespace tq
