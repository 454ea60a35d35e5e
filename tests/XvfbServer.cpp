#include "XvfbServer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

XvfbServer::XvfbServer(const std::string& screen)
{
    int fds[2];
    std::string fd;
    if (pipe(fds) == 0) fd = std::to_string(fds[1]);
    if (fd.empty()) {
        error_ = "no pipe";
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, STDIN_FILENO);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid_ < 0) {
        close(fds[0]);
        error_ = "fork failed";
        return;
    }
    // The server writes its display number once it takes connections.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 20000) > 0) {
        char c = 0;
        const ssize_t n = read(fds[0], &c, 1);
        if (n <= 0 || c == '\n') break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        error_ = "Xvfb did not start (is it installed? scripts/install-deps installs it)";
        stop();
        return;
    }
    name_ = ":" + number;
}

void XvfbServer::stop()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
}

XTestConnection::XTestConnection(const std::string& name) : d(XOpenDisplay(name.c_str())) {}

XTestConnection::~XTestConnection()
{
    if (d) XCloseDisplay(d);
}

unsigned long XTestConnection::root() const { return DefaultRootWindow(d); }

std::vector<uint32_t> XTestConnection::rootPixels(int& width, int& height) const
{
    width = DisplayWidth(d, DefaultScreen(d));
    height = DisplayHeight(d, DefaultScreen(d));
    std::vector<uint32_t> out;
    XImage* image = XGetImage(d, root(), 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) return out;
    out.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out.push_back(static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
    XDestroyImage(image);
    return out;
}

std::pair<int, int> XTestConnection::pointer() const
{
    Window r = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(d, root(), &r, &child, &rx, &ry, &wx, &wy, &mask);
    return {rx, ry};
}

std::pair<int, int> XTestConnection::warpPointer(int x, int y) const
{
    XWarpPointer(d, None, root(), 0, 0, 0, 0, x, y);
    XSync(d, False);
    return pointer();
}
