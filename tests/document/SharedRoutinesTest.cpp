#include "document/ProgramContext.h"
#include "document/DocumentNames.h"
#include "document/PathParts.h"
#include "document/fImage.h"
#include "document/SharedRoutines.h"
#include "document/PictureRoutines.h"
#include "platform/Folders.h"
#include "widgets/QtControls.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>

#include <gtest/gtest.h>

namespace tq {
namespace {

using Strings = std::vector<std::string>;

// A text box that records the texts assigned and the selection.
class FakeText : public TextBox {
public:
    explicit FakeText(std::string t) : text(std::move(t)) {}
    std::string Text() const override { return text; }
    void setText(const std::string& t) override
    {
        text = t;
        assigned.push_back(t);
    }
    int32_t TextLength() const override { return static_cast<int32_t>(text.size()); }
    void setSelection(int32_t s, int32_t l) override
    {
        selStart = s;
        selLength = l;
    }
    std::string text;
    Strings assigned;
    int32_t selStart = -1, selLength = -1;
};

class FakeSlider : public SliderControl {
public:
    FakeSlider(int32_t mn, int32_t mx, int32_t v) : mn_(mn), mx_(mx), value(v) {}
    int32_t Min() const override { return mn_; }
    int32_t Max() const override { return mx_; }
    int32_t Value() const override { return value; }
    void setValue(int32_t v) override
    {
        value = v;
        ++sets;
    }
    int32_t mn_, mx_, value;
    int sets = 0;
};

class ThrowingUpDown : public UpDownControl {
public:
    int16_t Min() const override { return 1; }
    int16_t Max() const override { return 100; }
    int16_t Value() const override { return 1; }
    void setValue(int16_t) override { throw std::runtime_error("refused"); }
};

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (had_) setenv(name_, old_.c_str(), 1); else unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

} // namespace

TEST(SharedText, SplitString)
{
    const struct {
        std::string text, delim;
        Strings parts;
    } cases[] = {
        {"a,b,c", ",", {"a", "b", "c"}},
        {"a,,b", ",", {"a", "", "b"}},
        {"a,b,", ",", {"a", "b", ""}},
        {"abc", ",", {"abc"}},
        {"", ",", {""}},
        {"a::b:::c", "::", {"a", "b", ":c"}},
        {"abc", "", {"abc"}},
    };
    for (const auto& c : cases) EXPECT_EQ(mAPI::SplitString(c.text, c.delim), c.parts) << c.text;
}

TEST(SharedText, ArrayCountStripAtNulFileTitle)
{
    EXPECT_EQ(mAPI::ArrayCount(std::vector<int>(5)), 5);
    EXPECT_EQ(mAPI::ArrayCount(std::vector<int>()), 0);
    EXPECT_EQ(mAPI::StripAtNul(std::string("abc\0def", 7)), "abc");
    EXPECT_EQ(mAPI::StripAtNul("abc"), "abc");

    const struct {
        const char* path;
        const char* title;
    } titles[] = {
        {"/home/u/Pictures/Photo.JPG", "Photo.JPG"},
        {"C:\\pics\\a b.bmp  ", "a b.bmp"},
        {"New.bmp  ", "New.bmp"},
        {"/folder/", ""},
        {"", ""},
    };
    for (const auto& t : titles) EXPECT_EQ(Module4::FileTitle(t.path), t.title) << t.path;
}

TEST(SharedNumeric, FitSizeNeverEnlargesNorGivesZero)
{
    const struct {
        int32_t w, h, mw, mh, ow, oh;
    } cases[] = {
        {200, 100, 100, 100, 100, 50},
        {100, 200, 100, 100, 50, 100},
        {50, 50, 100, 100, 50, 50},
        {200, 100, 100, 50, 100, 50},
        {1000, 1, 100, 100, 100, 1},
        {1, 1000, 100, 100, 1, 100},
        {0, 0, 100, 100, 1, 1},
        {300, 200, 0, 0, 1, 1},
        {-5, 40, 10, 10, 1, 10},
        {3, 2, 2, 2, 2, 1},     // 2 x 1.33
        {5, 2, 2, 2, 2, 1},     // 0.8 rounds to 1
    };
    for (const auto& c : cases) {
        int32_t ow = -1, oh = -1;
        mBitmap::FitSize(c.w, c.h, c.mw, c.mh, ow, oh);
        EXPECT_EQ(ow, c.ow) << c.w << "x" << c.h << " into " << c.mw << "x" << c.mh;
        EXPECT_EQ(oh, c.oh) << c.w << "x" << c.h << " into " << c.mw << "x" << c.mh;
    }
}

TEST(SharedNumeric, FilterDigitKey)
{
    const struct {
        int16_t in, out;
    } cases[] = {{'0', '0'}, {'5', '5'}, {'9', '9'}, {8, 8}, {'-', 0}, {'.', 0}, {' ', 0}, {'a', 0}, {13, 0}};
    for (const auto& c : cases) {
        int16_t k = c.in;
        mAPI::FilterDigitKey(k);
        EXPECT_EQ(k, c.out) << c.in;
    }
}

TEST(SharedNumeric, SyncSliderFromText)
{
    const struct {
        const char* text;
        const char* finalText;
        int32_t value;
        bool selected;
    } cases[] = {
        {"", "1", 1, true},
        {"150", "100", 100, false},
        {"0", "1", 1, false},
        {"42", "42", 42, false},
        {"42.5", "42.5", 42, false},
        {"43.5", "43.5", 44, false},
        {"42abc", "42abc", 42, false},
        {"abc", "1", 1, false},
        {"100.4", "100", 100, false},
    };
    for (const auto& c : cases) {
        FakeSlider s(1, 100, 7);
        FakeText t(c.text);
        mAPI::SyncSliderFromText(s, t);
        EXPECT_EQ(t.text, c.finalText) << c.text;
        EXPECT_EQ(s.value, c.value) << c.text;
        EXPECT_EQ(t.selStart == 0 && t.selLength == 1, c.selected) << c.text;
    }
}

TEST(SharedNumeric, SyncScrollFromTextThroughQtControls)
{
    QLineEdit edit;
    QScrollBar bar(Qt::Vertical);
    bar.setRange(1, 100);
    LineEditTextBox text(&edit);
    ScrollBarUpDown upDown(&bar);
    int changes = 0;
    QObject::connect(&edit, &QLineEdit::textChanged, [&] { ++changes; });

    edit.setText("");
    changes = 0;
    mAPI::SyncScrollFromText(upDown, text);
    EXPECT_EQ(edit.text(), "1");
    EXPECT_EQ(edit.selectedText(), "1");
    EXPECT_EQ(bar.value(), 1);
    EXPECT_EQ(changes, 1);   // the assignment raised the box's own notification

    edit.setText("250");
    mAPI::SyncScrollFromText(upDown, text);
    EXPECT_EQ(edit.text(), "100");
    EXPECT_EQ(bar.value(), 100);

    edit.setText("62.5");
    mAPI::SyncScrollFromText2(text, upDown);
    EXPECT_EQ(bar.value(), 62);

    bar.setValue(33);
    FakeSlider slider(1, 100, 5);
    mAPI::SliderFromScroll(upDown, slider);
    EXPECT_EQ(slider.value, 33);
    slider.value = 77;
    mAPI::ScrollFromSlider(upDown, slider);
    EXPECT_EQ(bar.value(), 77);
    slider.value = 70000;   // beyond the up-down's 16 bits: left as it was
    mAPI::ScrollFromSlider(upDown, slider);
    EXPECT_EQ(bar.value(), 77);
}

TEST(SharedNumeric, OnlySyncScrollFromText2PassesFailuresOn)
{
    ThrowingUpDown ud;
    FakeText t("500");
    EXPECT_NO_THROW(mAPI::SyncScrollFromText(ud, t));
    EXPECT_EQ(t.text, "100");   // the text steps still ran
    FakeText t2("500");
    EXPECT_THROW(mAPI::SyncScrollFromText2(t2, ud), std::runtime_error);
}

TEST(SharedPictures, MakeDibHeader)
{
    DibRecord r;
    mAPI::MakeDibHeader(r, 3, 2);
    EXPECT_EQ(r.header, BitsHeader::forDib(3, 2));
    EXPECT_EQ(r.header.biHeight, -2);
    EXPECT_EQ(r.width, 3);
    EXPECT_EQ(r.bits, std::vector<uint8_t>(24, 0));
    mAPI::MakeDibHeader(r, 0, 5);
    EXPECT_TRUE(r.bits.empty());
}

TEST(SharedFolders, TempBitmapNameLivesInThePrivateFolder)
{
    QTemporaryDir dir;
    platform::setTempFolder(dir.path().toStdString());
    EXPECT_EQ(mAPI::GetTempDir(), dir.path().toStdString() + "/");
    EXPECT_EQ(mAPI::GetTempBitmapName(), dir.path().toStdString() + "/t65s8s98");
    platform::setTempFolder("");
}

TEST(SharedFolders, WindowsDirIsAFolderOfTheProgramsOwn)
{
    QTemporaryDir dir;
    ScopedEnv data("XDG_DATA_HOME", dir.path().toStdString());
    const std::string w = mAPI::GetWindowsDir();
    EXPECT_EQ(w, dir.path().toStdString() + "/talvex-quarlend");
    EXPECT_TRUE(mBitmap::FileExists(w));
}

TEST(SharedFolders, DesktopFolderFromUserDirsOrHome)
{
    QTemporaryDir home;
    const std::string h = home.path().toStdString();
    ScopedEnv homeEnv("HOME", h);
    ScopedEnv cfg("XDG_CONFIG_HOME", h + "/cfg");
    EXPECT_EQ(mAPI::GetDesktopFolder(), h + "/Desktop");

    std::filesystem::create_directories(h + "/cfg");
    {
        std::ofstream f(h + "/cfg/user-dirs.dirs");
        f << "# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";
    }
    EXPECT_EQ(mAPI::GetDesktopFolder(), h + "/Schreibtisch");
    {
        std::ofstream f(h + "/cfg/user-dirs.dirs");
        f << "XDG_DESKTOP_DIR=\"$HOME/\"\n";   // "no desktop folder": fall back
    }
    EXPECT_EQ(mAPI::GetDesktopFolder(), h + "/Desktop");
}

TEST(SharedFolders, FileExists)
{
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString();
    std::ofstream(d + "/a.bmp") << "x";
    std::filesystem::create_directories(d + "/Sub");
    EXPECT_TRUE(mBitmap::FileExists(d + "/a.bmp"));
    EXPECT_TRUE(mBitmap::FileExists(d + "/Sub"));
    EXPECT_TRUE(mBitmap::FileExists(d + "/*.bmp"));
    EXPECT_FALSE(mBitmap::FileExists(d + "/*.png"));
    EXPECT_FALSE(mBitmap::FileExists(d + "/A.bmp"));   // names are case-sensitive
    EXPECT_FALSE(mBitmap::FileExists(d + "/missing"));
    EXPECT_FALSE(mBitmap::FileExists(""));
}

TEST(SharedDocuments, UniqueDocNameNumbersDuplicatesWhileTheyAreOpen)
{
    const std::string n = "/pics/N.bmp";
    const int32_t dup0 = DupNameCount();
    const int32_t count0 = DocumentCount();

    auto first = std::make_unique<fImage>();
    first->Tag = Module3::UniqueDocName(n);
    EXPECT_EQ(first->Tag, n);
    auto second = std::make_unique<fImage>();
    second->Tag = Module3::UniqueDocName(n);
    EXPECT_EQ(second->Tag, n + "[" + std::to_string(dup0 + 1) + "]");
    auto third = std::make_unique<fImage>();
    EXPECT_EQ(third->MeID, count0 + 2);   // a new window takes the counter as its number
    third->Tag = Module3::UniqueDocName(n);
    EXPECT_EQ(third->Tag, n + "[" + std::to_string(dup0 + 2) + "]");

    first.reset();
    second.reset();
    third.reset();
    auto again = std::make_unique<fImage>();
    again->Tag = Module3::UniqueDocName(n);
    EXPECT_EQ(again->Tag, n);
    auto later = std::make_unique<fImage>();
    later->Tag = Module3::UniqueDocName(n);
    EXPECT_EQ(later->Tag, n + "[" + std::to_string(dup0 + 3) + "]");
    EXPECT_EQ(DocumentCount(), count0 + 5);
    // Comparison is exact.
    EXPECT_EQ(Module3::UniqueDocName("/pics/n.bmp"), "/pics/n.bmp");
}

} // namespace tq

#include <QSlider>
#include <QTest>

namespace tq {

TEST(SharedNumeric, TypingIntoATextBoxKeepsTheSliderInStep)
{
    // The host's change handler syncs on every change; the routine's own
    // text assignments raise the handler again, nested.
    QLineEdit edit;
    QSlider qslider(Qt::Horizontal);
    qslider.setRange(1, 100);
    LineEditTextBox text(&edit);
    AbstractSliderControl slider(&qslider);
    int depth = 0, maxDepth = 0;
    QObject::connect(&edit, &QLineEdit::textChanged, [&] {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        mAPI::SyncSliderFromText(slider, text);
        --depth;
    });
    QTest::keyClicks(&edit, "42");
    EXPECT_EQ(qslider.value(), 42);
    QTest::keyClick(&edit, Qt::Key_0);   // 420: corrected to the maximum
    EXPECT_EQ(edit.text(), "100");
    EXPECT_EQ(qslider.value(), 100);
    EXPECT_EQ(maxDepth, 2);
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Backspace);   // empty: the minimum, selected
    EXPECT_EQ(edit.text(), "1");
    EXPECT_EQ(edit.selectedText(), "1");
    EXPECT_EQ(qslider.value(), 1);
}

} // namespace tq
