#include "platform/X11Desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace tq::platform::x11 {
namespace {

// X reports a failed request later, through an error handler that by
// default ends the program. While a trap lives, errors are only counted, so
// the call that caused them can say it failed.
int gErrorCount = 0;

int countError(::Display*, XErrorEvent*)
{
    ++gErrorCount;
    return 0;
}

class ErrorTrap {
public:
    explicit ErrorTrap(::Display* d) : display_(d)
    {
        XSync(display_, False);
        before_ = gErrorCount;
        previous_ = XSetErrorHandler(countError);
    }
    ~ErrorTrap()
    {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    // True when a request sent since the trap was set has failed.
    bool failed()
    {
        XSync(display_, False);
        return gErrorCount != before_;
    }

private:
    ::Display* display_;
    int before_ = 0;
    XErrorHandler previous_ = nullptr;
};

// The atom of that name, or None when no client has ever made it (nothing
// can then carry it).
Atom existingAtom(::Display* d, const char* name) { return XInternAtom(d, name, True); }

// The root window's pixmap property of that name (type PIXMAP, one value).
std::optional<Pixmap> rootPixmapProperty(::Display* d, Window root, const char* name)
{
    const Atom atom = existingAtom(d, name);
    if (atom == None) return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<Pixmap> out;
    if (XGetWindowProperty(d, root, atom, 0, 1, False, XA_PIXMAP, &type, &format, &count, &after, &data) ==
            Success &&
        type == XA_PIXMAP && format == 32 && count == 1 && data)
        out = *reinterpret_cast<const unsigned long*>(data);   // format 32 comes as longs
    if (data) XFree(data);
    return out;
}

// One channel of a true-colour visual: where its bits sit in a pixel.
struct Channel {
    unsigned long mask;
    int shift;
    int bits;
    unsigned long value(uint8_t c) const
    {
        const unsigned long v = bits >= 8 ? static_cast<unsigned long>(c) << (bits - 8) : c >> (8 - bits);
        return (v << shift) & mask;
    }
};

Channel channelOf(unsigned long mask)
{
    return Channel{mask, mask ? std::countr_zero(mask) : 0, std::popcount(mask)};
}

bool pixmapExists(::Display* d, Pixmap pixmap)
{
    ErrorTrap trap(d);
    Window root = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    const Status ok = XGetGeometry(d, pixmap, &root, &x, &y, &w, &h, &border, &depth);
    return ok && !trap.failed();
}

// A setter that keeps its pixmap after it closes (RetainPermanent) names it
// in both properties; such a pixmap belongs to no running program, and
// killing its (closed) client frees it. A pixmap named by only one of them
// may belong to a running desktop and is left alone; so is a name whose
// pixmap is gone, as its client's number may have passed to another
// program since, or to this connection: a setter that did not keep its
// pixmap may have had our number, and its first pixmap our pixmap's id
// (the only drawable this connection made).
void freePreviousRootPixmap(::Display* d, Window root, Pixmap ours)
{
    const std::optional<Pixmap> xroot = rootPixmapProperty(d, root, "_XROOTPMAP_ID");
    const std::optional<Pixmap> esetroot = rootPixmapProperty(d, root, "ESETROOT_PMAP_ID");
    if (xroot && esetroot && *xroot == *esetroot && *xroot != None && *xroot != ours && pixmapExists(d, *xroot))
        XKillClient(d, *xroot);
}

} // namespace

Connection::Connection(const std::string& displayName)
    : display_(XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str()))
{
}

Connection::~Connection()
{
    if (display_) XCloseDisplay(display_);
}

std::string displayName(Display* d) { return d ? std::string(DisplayString(d)) : std::string(); }

// ---- Show the desktop -------------------------------------------------------------

bool showingDesktopSupported(Display* d)
{
    if (!d) return false;
    const Atom supported = existingAtom(d, "_NET_SUPPORTED");
    const Atom showing = existingAtom(d, "_NET_SHOWING_DESKTOP");
    if (supported == None || showing == None) return false;
    ErrorTrap trap(d);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(d, DefaultRootWindow(d), supported, 0, 65536, False, XA_ATOM, &type, &format, &count,
                           &after, &data) == Success &&
        type == XA_ATOM && format == 32 && data) {
        const auto* atoms = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count && !found; ++i) found = atoms[i] == showing;
    }
    if (data) XFree(data);
    return found && !trap.failed();
}

bool requestShowingDesktop(Display* d, bool show)
{
    if (!d) return false;
    ErrorTrap trap(d);
    const Window root = DefaultRootWindow(d);
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = root;
    ev.xclient.message_type = XInternAtom(d, "_NET_SHOWING_DESKTOP", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = show ? 1 : 0;
    const Status sent = XSendEvent(d, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    return sent != 0 && !trap.failed();
}

// ---- The root window's background --------------------------------------------------

DibRecord layOutWallpaper(const DibRecord& picture, int32_t screenWidth, int32_t screenHeight,
                          WallpaperLayout layout)
{
    const int pw = picture.width, ph = picture.height;
    if (screenWidth < 1 || screenHeight < 1 || pw < 1 || ph < 1) return {};
    const int sw = screenWidth, sh = screenHeight;
    // Black wherever the picture does not reach.
    DibRecord out;
    out.header = BitsHeader::forDib(sw, sh);
    out.width = sw;
    out.height = sh;
    out.bits.assign(4u * static_cast<size_t>(sw) * static_cast<size_t>(sh), 0);

    switch (layout) {
    case WallpaperLayout::Tile:
        for (int y = 0; y < sh; ++y) {
            const uint8_t* src = picture.row(y % ph);
            uint8_t* dst = out.row(y);
            for (int x = 0; x < sw; x += pw) std::memcpy(dst + 4 * x, src, 4u * static_cast<size_t>(std::min(pw, sw - x)));
        }
        break;
    case WallpaperLayout::Center: {
        // The picture's middle on the screen's middle; a larger picture
        // loses its edges.
        const int dx = (sw - pw) / 2, dy = (sh - ph) / 2;
        const int x0 = std::max(0, dx), x1 = std::min(sw, dx + pw);
        const int y0 = std::max(0, dy), y1 = std::min(sh, dy + ph);
        for (int y = y0; y < y1; ++y)
            std::memcpy(out.row(y) + 4 * x0, picture.row(y - dy) + 4 * (x0 - dx), 4u * static_cast<size_t>(x1 - x0));
        break;
    }
    case WallpaperLayout::Stretch: {
        // The source pixel under the centre of each screen pixel.
        std::vector<int> column(static_cast<size_t>(sw));
        for (int x = 0; x < sw; ++x) column[x] = static_cast<int>((int64_t(2 * x + 1) * pw) / (int64_t(2) * sw));
        for (int y = 0; y < sh; ++y) {
            const uint8_t* src = picture.row(static_cast<int>((int64_t(2 * y + 1) * ph) / (int64_t(2) * sh)));
            uint8_t* dst = out.row(y);
            for (int x = 0; x < sw; ++x) std::memcpy(dst + 4 * x, src + 4 * column[x], 3);
        }
        break;
    }
    }
    for (size_t i = 3; i < out.bits.size(); i += 4) out.bits[i] = 0;
    return out;
}

bool setRootBackground(const std::string& displayName, const DibRecord& picture, WallpaperLayout layout)
{
    Connection connection(displayName);
    ::Display* d = connection.get();
    if (!d) return false;
    const int screen = DefaultScreen(d);
    const Window root = RootWindow(d, screen);
    Visual* visual = DefaultVisual(d, screen);
    const int depth = DefaultDepth(d, screen);
    if (visual->c_class != TrueColor && visual->c_class != DirectColor) return false;
    const DibRecord laid = layOutWallpaper(picture, DisplayWidth(d, screen), DisplayHeight(d, screen), layout);
    if (laid.width < 1) return false;

    ErrorTrap trap(d);
    XImage* image = XCreateImage(d, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(laid.width), static_cast<unsigned>(laid.height), 32, 0);
    if (!image) return false;
    image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) * laid.height));
    if (!image->data) {
        XDestroyImage(image);
        return false;
    }
    const Channel red = channelOf(visual->red_mask), green = channelOf(visual->green_mask),
                  blue = channelOf(visual->blue_mask);
    const bool wholeWords = image->bits_per_pixel == 32;
    // Whole 32-bit pixels are written in this machine's byte order, which
    // the image then declares; XPutImage swaps them if the server's differs.
    if (wholeWords) image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    for (int y = 0; y < laid.height; ++y) {
        const uint8_t* src = laid.row(y);
        auto* words = reinterpret_cast<uint32_t*>(image->data + static_cast<size_t>(image->bytes_per_line) * y);
        for (int x = 0; x < laid.width; ++x, src += 4) {
            const unsigned long pixel = red.value(src[2]) | green.value(src[1]) | blue.value(src[0]);
            if (wholeWords)
                words[x] = static_cast<uint32_t>(pixel);
            else
                XPutPixel(image, x, y, pixel);
        }
    }
    const Pixmap pixmap = XCreatePixmap(d, root, static_cast<unsigned>(laid.width),
                                        static_cast<unsigned>(laid.height), static_cast<unsigned>(depth));
    GC gc = XCreateGC(d, pixmap, 0, nullptr);
    XPutImage(d, pixmap, gc, image, 0, 0, 0, 0, static_cast<unsigned>(laid.width),
              static_cast<unsigned>(laid.height));
    XFreeGC(d, gc);
    XDestroyImage(image);   // frees the pixels too
    // A pixmap that did not come whole is not shown; it goes with the
    // connection.
    if (trap.failed()) return false;

    freePreviousRootPixmap(d, root, pixmap);
    XSetWindowBackgroundPixmap(d, root, pixmap);
    XClearWindow(d, root);
    const Atom xrootpmap = XInternAtom(d, "_XROOTPMAP_ID", False);
    const Atom esetroot = XInternAtom(d, "ESETROOT_PMAP_ID", False);
    const unsigned long id = pixmap;   // format 32 is handed over as longs
    XChangeProperty(d, root, xrootpmap, XA_PIXMAP, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&id), 1);
    XChangeProperty(d, root, esetroot, XA_PIXMAP, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&id), 1);
    if (trap.failed()) return false;
    // The pixmap stays when the connection closes, for the root window and
    // for whoever reads the properties; the next setter frees it.
    XSetCloseDownMode(d, RetainPermanent);
    return !trap.failed();
}

// ---- Holding the pointer ------------------------------------------------------------------

bool PointerGrab::confine(uint64_t window, int32_t left, int32_t top, int32_t width, int32_t height)
{
    release();
    if (!display_ || window == 0 || width < 1 || height < 1) return false;
    ErrorTrap trap(display_);
    XSetWindowAttributes attributes{};
    const Window parent = static_cast<Window>(window);
    const Window area = XCreateWindow(display_, parent, left, top, static_cast<unsigned>(width),
                                      static_cast<unsigned>(height), 0, 0, InputOnly, CopyFromParent, 0, &attributes);
    XMapWindow(display_, area);
    auto grab = [&] {
        return XGrabPointer(display_, parent, False,
                            ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                                LeaveWindowMask,
                            GrabModeAsync, GrabModeAsync, area, None, CurrentTime);
    };
    int status = grab();
    if (status == AlreadyGrabbed) {
        // The button press that starts a drag gave us an implicit grab of
        // the pointer; where it came as an XInput 2 event (as to Qt) that
        // grab is of another kind and blocks a plain one. Ours alone is let
        // go here (the server releases only the asking client's grab).
        int device = 0;
        if (XIGetClientPointer(display_, None, &device)) {
            XIUngrabDevice(display_, device, CurrentTime);
            status = grab();
        }
    }
    if (status != GrabSuccess || trap.failed()) {
        if (status == GrabSuccess) XUngrabPointer(display_, CurrentTime);
        XDestroyWindow(display_, area);
        XFlush(display_);
        return false;
    }
    confineWindow_ = area;
    XFlush(display_);
    return true;
}

void PointerGrab::release()
{
    if (!confineWindow_) return;
    ErrorTrap trap(display_);
    XUngrabPointer(display_, CurrentTime);
    XDestroyWindow(display_, confineWindow_);
    confineWindow_ = 0;
}

} // namespace tq::platform::x11
