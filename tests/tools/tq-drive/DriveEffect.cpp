// --effect ID[,VALUE][,0xC,0xR]: the numbered effect as its menu item runs
// it (the item's caption labels the step). An effect applied at once takes
// nothing more; a dialog effect opens its dialog, takes the strength VALUE
// (the start value when none is given), the colour to replace C and the
// replacement or tile background colour R (0xRRGGBB), and is applied with
// "Apply Effect".
#include "Drive.h"

#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "effects/EffectCatalogue.h"
#include "effects/fLayersEffects.h"
#include "widgets/cpvSlider.h"
#include "widgets/ColourSwatch.h"

#include <QApplication>
#include <QTimer>

namespace tq::drive {
namespace {

StepResult runEffect(Drive& d, const Step& s)
{
    const std::vector<std::string> parts = splitComma(s.values[0]);
    if (parts.empty() || parts.size() > 4) return "expected ID[,VALUE][,0xC,0xR]";
    const auto id = parseNumber(parts[0]);
    const effects::EffectEntry* entry = id && *id >= INT16_MIN && *id <= INT16_MAX ? effects::findEffect(int(*id)) : nullptr;
    if (!entry) return "no effect has this number";

    std::optional<long long> value;
    std::optional<int32_t> c, r;
    size_t next = 1;
    if (parts.size() == 2 || parts.size() == 4) {
        value = parseNumber(parts[1]);
        if (!value) return "the strength is no whole number: " + parts[1];
        next = 2;
    }
    if (parts.size() - next == 2) {
        // Written in hexadecimal, so a colour is never taken for a strength.
        const auto colour = [](const std::string& text) {
            return text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0 ? parseColour(text) : std::nullopt;
        };
        c = colour(parts[next]);
        r = colour(parts[next + 1]);
        if (!c || !r) return "colours are written 0xRRGGBB";
    } else if (parts.size() != next) {
        return "expected ID[,VALUE][,0xC,0xR]";
    }
    if (entry->kind == effects::EffectKind::AtOnce && (value || c))
        return "this effect is applied at once and takes no strength or colours";

    fImage* doc = d.activeDocument();
    if (!doc) return "no active document";
    LastActionName() = entry->itemCaption ? entry->itemCaption : entry->dialogCaption;
    ActiveImage() = doc;

    // The dialog is modal: it is answered from inside its own event loop.
    StepResult problem;
    bool shown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<fLayersEffects*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        watch.stop();
        shown = true;
        if (value) {
            if (*value < dialog->HS->Min() || *value > dialog->HS->Max()) {
                problem = "the strength lies outside " + std::to_string(dialog->HS->Min()) + ".." +
                          std::to_string(dialog->HS->Max());
                dialog->cmdCancel_Click();
                return;
            }
            dialog->HS->setValue(static_cast<int32_t>(*value));
        }
        if (c) {
            // As if picked from the picture, and chosen in the colour picker.
            dialog->Text2->setBackColor(*c);
            d.ports.colourPicker.answers = {*r};
            if (entry->frame == effects::OptionsFrame::TileEffect)
                dialog->colTile_Click();
            else
                dialog->pTransparent_Click();
        }
        dialog->cmdOK_Click();
    });
    watch.start(0);

    const size_t before = d.ports.messageBoxes.shown.size();
    d.main.ApplyLayerEffects(entry->id);
    watch.stop();
    if (!problem.empty()) return problem;
    if (entry->kind == effects::EffectKind::Dialog && !shown) return "the effect dialog did not open";
    std::string error;
    return d.settle(before, error) ? StepResult{} : error;
}

const Register effectFlag({"--effect", 1, "ID[,VALUE][,0xC,0xR]", {}, runEffect});

} // namespace
} // namespace tq::drive
