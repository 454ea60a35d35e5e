// Opening a page or a local file in the user's web browser. Code above the
// platform layer goes through browser(), so tests can record what would open.
#pragma once

#include <string>
#include <vector>

namespace tq::platform {

class Browser {
public:
    virtual ~Browser() = default;
    // Opens an address ("https://...") or a local file path in the default
    // browser; false when the desktop refused.
    virtual bool open(const std::string& urlOrPath) = 0;
};

// The browser in use: the desktop's unless a test swapped it.
Browser& browser();
// Swaps the browser (nullptr goes back to the desktop's); returns the old one.
Browser* setBrowser(Browser* b);

// Test double: remembers what it was asked to open.
class RecordingBrowser : public Browser {
public:
    std::vector<std::string> opened;
    bool open(const std::string& urlOrPath) override
    {
        opened.push_back(urlOrPath);
        return true;
    }
};

} // namespace tq::platform
