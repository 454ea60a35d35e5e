// The document's side of the special effects: handing its picture out
// without the margin, and taking an effect's result back as one undo step.
#include "document/fImage.h"

#include "document/MainHost.h"
#include "document/ProgramContext.h"
#include "document/SharedRoutines.h"
#include "effectslib/EffectCalls.h"
#include "platform/Ports.h"

#include <new>

namespace tq {

const DibRecord& fImage::ExtractBitmap()
{
    tSrc = DibRecord{};
    try {
        tSrc = Doc_.PictureRecord();
    } catch (const std::bad_alloc&) {
        tSrc = DibRecord{};
    }
    return tSrc;
}

bool fImage::ApplyEffectsToCanvas(int16_t ID, int32_t Valu, int32_t Color, int32_t replaceColor, bool Custom)
{
    if (!BMExists) return false;
    if (!Custom) ExtractBitmap();
    const std::optional<EffectCall> call = effectCall(ID, Valu, Color, replaceColor, tSrc.width, tSrc.height);
    if (!call) return false;

    // The library draws the whole extracted picture into a picture of the
    // same size, black where it draws nothing; only a complete result of
    // that size becomes the document's.
    bool applied = false;
    try {
        EffectSurface result;
        mAPI::MakeDibHeader(result, tSrc.width, tSrc.height);
        applied = tSrc.width > 0 && tSrc.height > 0 && runEffectCall(*call, result, tSrc, &EffectReserved) &&
                  result.width == tSrc.width && result.height == tSrc.height && Doc_.TakeRecord(result);
    } catch (const std::bad_alloc&) {
        applied = false;
    }
    // The extracted picture is released either way; the holder's with it
    // when the result was taken.
    tSrc = DibRecord{};
    if (applied) iSrc.clearPicture();
    if (!applied) {
        platform::MsgBox(kEffectFailed, platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                         platform::kProgramName);
        return false;
    }

    hSB->hide();
    vSB->hide();
    UserControl_Resize();
    if (MainHost* m = mainHost()) {
        m->mirrorDocument(Doc_.BitsRef(), BitsRegion.walkRegion());
        ActiveImage() = this;
        m->Update(false, true);
    } else {
        UpdateImage();
        Doc_.recordStep(LastActionName());
    }
    return true;
}

} // namespace tq
