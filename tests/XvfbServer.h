// An X server of the test's own: Xvfb on a display number it picks itself
// (-displayfd), stopped when the object ends. Only the code a test points
// at name() talks to it; DISPLAY and everything else are left alone. A
// machine without Xvfb fails the test (scripts/install-deps installs it).
// No X header comes with this one, so Xlib's one-word macros (None,
// Status...) stay out of the test that includes it.
#pragma once

#include <gtest/gtest.h>

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct _XDisplay;

class XvfbServer {
public:
    // screen: "WIDTHxHEIGHTxDEPTH".
    explicit XvfbServer(const std::string& screen = "64x48x24");
    ~XvfbServer() { stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // ":N", empty when the server did not start.
    const std::string& name() const { return name_; }
    ::testing::AssertionResult started() const
    {
        if (!name_.empty()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << error_;
    }

private:
    void stop();

    pid_t pid_ = -1;
    std::string name_;
    std::string error_;
};

// A connection of the test's own to the server, and what a test reads back.
class XTestConnection {
public:
    explicit XTestConnection(const std::string& name);
    ~XTestConnection();
    XTestConnection(const XTestConnection&) = delete;
    XTestConnection& operator=(const XTestConnection&) = delete;

    unsigned long root() const;
    // The root window's pixels as 0xRRGGBB, rows top-down (24-bit
    // true-colour servers only).
    std::vector<uint32_t> rootPixels(int& width, int& height) const;
    // Where the pointer is, in root coordinates.
    std::pair<int, int> pointer() const;
    // Asks the server to put the pointer there and says where it went.
    std::pair<int, int> warpPointer(int x, int y) const;

    _XDisplay* d;
};
