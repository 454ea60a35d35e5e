#include "document/PictureBudget.h"

#include "core/PictureMemory.h"
#include "platform/Ports.h"

namespace tq {
namespace {

std::string tooLargeText(const char* lead, int64_t w, int64_t h)
{
    const uint64_t mb = 1024 * 1024;
    return std::string(lead) + ": " + std::to_string(w) + " x " + std::to_string(h) + " pixels need " +
           std::to_string((pictureMemoryNeed(w, h) + mb - 1) / mb) + " MB of memory, more than the " +
           std::to_string(pictureMemoryBudget() / mb) + " MB this computer can spare for one picture.";
}

} // namespace

std::string pictureTooLargeToOpenText(int64_t w, int64_t h)
{
    return tooLargeText("This picture is too large to open", w, h);
}

std::string pictureTooLargeToMakeText(int64_t w, int64_t h)
{
    return tooLargeText("The new picture would be too large", w, h);
}

void tellPictureTooLarge(int64_t w, int64_t h)
{
    platform::MsgBox(pictureTooLargeToMakeText(w, h), platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                     platform::kProgramName);
}

bool mayMakePicture(int64_t w, int64_t h)
{
    if (pictureFitsMemory(w, h)) return true;
    tellPictureTooLarge(w, h);
    return false;
}

} // namespace tq
