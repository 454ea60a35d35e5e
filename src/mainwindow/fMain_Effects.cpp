// The numbered special effects from the effect menus: applied at once, or
// through the effect dialog set up for the effect.
#include "mainwindow/fMain.h"

#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "effects/EffectCatalogue.h"
#include "effects/EffectPictureBox.h"
#include "effects/fLayersEffects.h"
#include "effects/EffectDialogSetup.h"
#include "platform/SkippedStep.h"
#include "widgets/UpDownBar.h"
#include "widgets/cpvSlider.h"

#include <cmath>
#include <limits>
#include <memory>

namespace tq {

void fMain::ApplyLayerEffects(int16_t ID)
{
    const effects::EffectEntry* entry = effects::findEffect(ID);
    if (!entry) return;
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    if (entry->kind == effects::EffectKind::AtOnce) {
        // Valu, Color and replaceColor 0; the current picture is extracted.
        step([&] { doc->ApplyEffectsToCanvas(ID, 0, 0, 0, false); });
        return;
    }

    // Made afresh for every effect, so nothing of an earlier one carries over.
    auto dialog = std::make_unique<fLayersEffects>();
    layersEffects_ = dialog.get();
    ShowEffectThumbnail();
    int16_t Max = entry->Max;
    if (entry->maxIsPreviewWidth) {
        // The fitted thumbnail's width, known only now.
        const double width = std::nearbyint(static_cast<double>(dialog->iSrc->width()));
        Max = static_cast<int16_t>(std::min<double>(width, std::numeric_limits<int16_t>::max()));
    }
    step([&] {
        modEffects::InitEffectDialog(*dialog, ID, *dialog->HS, entry->Min, Max, entry->start, *dialog->HSD,
                                     entry->frame);
    });
    dialog->setWindowTitle(QString::fromUtf8(entry->dialogCaption));
    // The first preview, at the start value.
    step([&] { dialog->HS_valueChanged(); });
    // "Apply Effect" applies the effect from inside the dialog.
    step([&] { dialog->exec(); });
    layersEffects_ = nullptr;
}

void fMain::ShowEffectThumbnail()
{
    fImage* doc = ActiveImage().data();
    if (!doc || !layersEffects_) return;
    step([&] { doc->ExtractBitmap(); });
    step([&] { layersEffects_->AdjustThumbPreview(doc->tSrc); });
}

} // namespace tq
