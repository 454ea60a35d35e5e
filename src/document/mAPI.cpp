#include "document/mAPI.h"

#include "document/Numeric.h"
#include "platform/Folders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace tq::mAPI {

std::vector<std::string> SplitString(const std::string& text, const std::string& delimiter)
{
    std::vector<std::string> out;
    if (delimiter.empty()) {
        out.push_back(text);
        return out;
    }
    size_t start = 0;
    for (;;) {
        const size_t p = text.find(delimiter, start);
        if (p == std::string::npos) {
            out.push_back(text.substr(start));
            return out;
        }
        out.push_back(text.substr(start, p - start));
        start = p + delimiter.size();
    }
}

std::string StripAtNul(const std::string& text)
{
    const size_t p = text.find('\0');
    return p == std::string::npos ? text : text.substr(0, p);
}

namespace {

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

} // namespace

std::string GetWindowsDir()
{
    std::string base = env("XDG_DATA_HOME");
    if (base.empty() || base.front() != '/') {
        const std::string home = env("HOME");
        if (home.empty()) return {};
        base = platform::joinPath(home, ".local/share");
    }
    const std::string dir = platform::joinPath(base, "talvex-quarlend");
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) return {};
    return dir;
}

std::string GetTempDir()
{
    const std::string t = platform::tempFolder();
    if (t.empty()) return {};
    return t.back() == '/' ? t : t + "/";
}

std::string GetTempBitmapName()
{
    return platform::tempFilePath(platform::kTempBitmapName);
}

std::string GetDesktopFolder()
{
    const std::string home = env("HOME");
    if (home.empty()) return {};
    std::string config = env("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') config = platform::joinPath(home, ".config");
    std::ifstream in(platform::joinPath(config, "user-dirs.dirs"));
    std::string line;
    while (in && std::getline(in, line)) {
        const std::string key = "XDG_DESKTOP_DIR=";
        size_t p = line.find_first_not_of(" \t");
        if (p == std::string::npos || line.compare(p, key.size(), key) != 0) continue;
        std::string v = line.substr(p + key.size());
        while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r')) v.pop_back();
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        if (v.rfind("$HOME", 0) == 0) v = home + v.substr(5);
        // The file may only name a folder inside the home folder ("$HOME/...")
        // or an absolute path; "$HOME/" alone means no desktop folder.
        while (v.size() > 1 && v.back() == '/') v.pop_back();
        if (v.empty() || v.front() != '/' || v == home) break;
        return v;
    }
    return platform::joinPath(home, "Desktop");
}

void FilterDigitKey(int16_t& keyAscii)
{
    if ((keyAscii >= 48 && keyAscii <= 57) || keyAscii == 8) return;
    keyAscii = 0;
}

void SelectAllText(TextBox& text) { text.setSelection(0, text.TextLength()); }

namespace {

// The four steps shared by the sync routines. Step 4 stores the rounded
// value through `assign`, which reports false when it does not fit.
template <class Assign>
void syncSteps(TextBox& text, int32_t mn, int32_t mx, bool absorb, Assign&& assign)
{
    auto step = [&](auto&& f) {
        if (!absorb) {
            f();
            return;
        }
        try {
            f();
        } catch (...) {
        }
    };
    step([&] {
        if (text.Text().empty()) {
            text.setText(std::to_string(mn));
            text.setSelection(0, text.TextLength());
        }
    });
    step([&] {
        if (Val(text.Text()) < mn) text.setText(std::to_string(mn));
    });
    step([&] {
        if (Val(text.Text()) > mx) text.setText(std::to_string(mx));
    });
    step([&] {
        if (!assign(Val(text.Text()))) throw std::overflow_error("value out of range");
    });
}

} // namespace

void SyncSliderFromText(SliderControl& slider, TextBox& text)
{
    int32_t mn = 0, mx = 0;
    try {
        mn = slider.Min();
        mx = slider.Max();
    } catch (...) {
        return;
    }
    syncSteps(text, mn, mx, true, [&](double v) {
        int32_t i;
        if (!toInt32(v, i)) return false;
        slider.setValue(i);
        return true;
    });
}

void SyncScrollFromText(UpDownControl& upDown, TextBox& text)
{
    int16_t mn = 0, mx = 0;
    try {
        mn = upDown.Min();
        mx = upDown.Max();
    } catch (...) {
        return;
    }
    syncSteps(text, mn, mx, true, [&](double v) {
        int16_t i;
        if (!toInt16(v, i)) return false;
        upDown.setValue(i);
        return true;
    });
}

void SyncScrollFromText2(TextBox& text, UpDownControl& upDown)
{
    syncSteps(text, upDown.Min(), upDown.Max(), false, [&](double v) {
        int16_t i;
        if (!toInt16(v, i)) return false;
        upDown.setValue(i);
        return true;
    });
}

void SliderFromScroll(UpDownControl& upDown, SliderControl& slider) { slider.setValue(upDown.Value()); }

void ScrollFromSlider(UpDownControl& upDown, SliderControl& slider)
{
    // The up-down holds 16 bits: a slider value beyond them is a failure
    // that leaves the up-down as it was.
    int16_t v;
    if (toInt16(slider.Value(), v)) upDown.setValue(v);
}

void MakeDibHeader(DibRecord& record, int32_t w, int32_t h)
{
    record.header = BitsHeader::forDib(w, h);
    if (w < 1 || h < 1) {
        record.width = record.height = 0;
        record.bits.clear();
        return;
    }
    record.width = w;
    record.height = h;
    record.bits.assign(4u * static_cast<size_t>(w) * static_cast<size_t>(h), 0);
}

} // namespace tq::mAPI
