// What the program asks of an X11 desktop, straight through Xlib: the
// window manager's "show the desktop" (the EWMH _NET_SHOWING_DESKTOP
// request), the root window's background as the wallpaper, and the pointer
// held inside a rectangle of one of our windows while it drags.
//
// Every call takes the Display it works on, so a test can point it at an X
// server of its own; X errors are caught for the call that caused them and
// never end the program. Nothing here needs Qt.
#pragma once

#include "core/BitsBuffer.h"

#include <cstdint>
#include <string>

struct _XDisplay;

namespace tq::platform {

// How a wallpaper covers the screen.
enum class WallpaperLayout { Tile, Center, Stretch };
} // namespace tq::platform

namespace tq::platform::x11 {

using Display = ::_XDisplay;

// A connection of our own to the display of that name ("" = $DISPLAY),
// closed when it ends. get() is null when the display cannot be opened.
class Connection {
public:
    explicit Connection(const std::string& displayName);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Display* get() const { return display_; }

private:
    Display* display_ = nullptr;
};

// The name the display was opened by (as DISPLAY gives it).
std::string displayName(Display* display);

// ---- Show the desktop ---------------------------------------------------------

// True when the window manager lists _NET_SHOWING_DESKTOP among what it
// supports (the root window's _NET_SUPPORTED).
bool showingDesktopSupported(Display* display);
// Asks the window manager to show the desktop (every window out of the
// way) or to bring the windows back: a _NET_SHOWING_DESKTOP client message
// to the root window. False when the request could not be sent.
bool requestShowingDesktop(Display* display, bool show);

// ---- The root window's background ------------------------------------------------

// The picture laid out on a screen of that size: Tile repeats it from the
// top-left corner, Center puts it in the middle on black (cut to the screen
// when larger), Stretch scales it to the screen taking the nearest pixel.
// Empty (0 x 0) when either size has a side below 1.
DibRecord layOutWallpaper(const DibRecord& picture, int32_t screenWidth, int32_t screenHeight,
                          WallpaperLayout layout);

// Shows the picture on the root window of the display's default screen,
// laid out as asked on a pixmap of the screen's size: the pixmap becomes
// the root's background and is named by _XROOTPMAP_ID and ESETROOT_PMAP_ID,
// where desktops and terminals look for it. The connection is opened here
// and its resources kept after it closes (RetainPermanent), so the pixmap
// outlives the call; the pixmap a setter like this one left before is
// freed. False when the display cannot be opened, its visual is not
// true-colour, or the server refused.
bool setRootBackground(const std::string& displayName, const DibRecord& picture, WallpaperLayout layout);

// ---- Holding the pointer -------------------------------------------------------------

// Confines the pointer to a rectangle of one of the program's windows with
// a pointer grab whose confine-to window is an input-only child window
// laid exactly over that rectangle. The grab reports every pointer event to
// the program's window, so its mouse handling goes on; the caller must use
// the connection its windows live on.
class PointerGrab {
public:
    explicit PointerGrab(Display* display) : display_(display) {}
    ~PointerGrab() { release(); }
    PointerGrab(const PointerGrab&) = delete;
    PointerGrab& operator=(const PointerGrab&) = delete;

    // The rectangle is in the window's own pixels. False (nothing held)
    // when the rectangle is empty, the window is not on the screen or
    // another program holds the pointer. A confinement already held is
    // released first.
    bool confine(uint64_t window, int32_t left, int32_t top, int32_t width, int32_t height);
    // Lets the pointer go; nothing when none is held.
    void release();
    bool holding() const { return confineWindow_ != 0; }

private:
    Display* display_;
    unsigned long confineWindow_ = 0;
};

} // namespace tq::platform::x11
