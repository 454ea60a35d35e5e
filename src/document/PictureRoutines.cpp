#include "document/PictureRoutines.h"

#include "document/Numeric.h"
#include "document/fImage.h"
#include "document/MainHost.h"


#include <filesystem>
#include <system_error>

#include <glob.h>

namespace tq::mBitmap {

bool FileExists(const std::string& path)
{
    if (path.empty()) return false;
    if (path.find_first_of("*?[") != std::string::npos) {
        glob_t g{};
        const int rc = ::glob(path.c_str(), GLOB_NOSORT, nullptr, &g);
        const bool found = rc == 0 && g.gl_pathc > 0;
        globfree(&g);
        if (found) return true;
    }
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

void FitSize(int32_t w, int32_t h, int32_t maxW, int32_t maxH, int32_t& outW, int32_t& outH)
{
    if (w < 1) w = 1;
    if (h < 1) h = 1;
    if (maxW < 1) maxW = 1;
    if (maxH < 1) maxH = 1;
    if (w <= maxW && h <= maxH) {
        outW = w;
        outH = h;
        return;
    }
    const double rw = static_cast<double>(maxW) / w;
    const float rh = single(static_cast<double>(maxH) / h);
    if (rw < rh) {
        outW = maxW;
        outH = rnd(h * rw);
    } else {
        outH = maxH;
        outW = rnd(w * static_cast<double>(rh));
    }
    // A very long, thin picture would lose its short side to rounding.
    if (outW < 1) outW = 1;
    if (outH < 1) outH = 1;
}

bool GetActiveImage(DocumentRef& ref)
{
    MainHost* main = mainHost();
    fImage* doc = main ? main->currentDocument() : nullptr;
    if (!doc) return false;
    ref = doc;
    return true;
}

} // namespace tq::mBitmap
