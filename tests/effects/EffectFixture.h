// The main window with documents (CommandFixture), and a way to act on the
// effect dialog while the main window shows it modally.
#pragma once

#include "mainwindow/CommandFixture.h"

#include "effects/EffectCatalogue.h"
#include "effects/fLayersEffects.h"
#include "effectslib/EffectCalls.h"

#include <QApplication>
#include <QTimer>

#include <functional>
#include <string>

namespace tq::testing {

// The colours the dialog passes before any is chosen: the colour box's
// system colour (window background) and white.
inline constexpr int32_t kWindowBackground = static_cast<int32_t>(0x80000005u);
inline constexpr int32_t kWhite = 0xFFFFFF;

// Runs act on the effect dialog as soon as it is shown modally, then closes
// it with "Cancel" should act have left it open. Lives for one
// ApplyLayerEffects call.
class WhenDialogShows {
public:
    explicit WhenDialogShows(std::function<void(fLayersEffects&)> act = {}) : act_(std::move(act))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(0);
    }
    int shown = 0;

private:
    void poll()
    {
        auto* d = qobject_cast<fLayersEffects*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible()) return;
        timer_.stop();
        ++shown;
        if (act_) act_(*d);
        if (d->isVisible()) d->cmdCancel_Click();
    }
    std::function<void(fLayersEffects&)> act_;
    QTimer timer_;
};

class EffectFixture : public CommandFixture {
protected:
    // Effect id as its menu item runs it: the item's caption (or, without
    // an item, the dialog's) labels the step, then the main window takes
    // over; act runs on the dialog if one is shown. True when one was.
    bool runEffect(int16_t id, std::function<void(fLayersEffects&)> act = {})
    {
        const effects::EffectEntry* e = effects::findEffect(id);
        LastActionName() = e ? (e->itemCaption ? e->itemCaption : e->dialogCaption) : "No effect";
        WhenDialogShows watch(std::move(act));
        main->ApplyLayerEffects(id);
        return watch.shown > 0;
    }

    // The margin-less picture of a document.
    static DibRecord pictureOf(const fImage& doc)
    {
        const BitsBuffer b = doc.Bits();
        return DibRecord::fromRows(b.width(), b.height(), [&](int y) { return b.row(y); });
    }

    // The library's own result of effect id on picture, through the call
    // table; nullopt when the call fails.
    static std::optional<DibRecord> libraryResult(int16_t id, int32_t v, int32_t c, int32_t r, const DibRecord& picture)
    {
        const auto call = effectCall(id, v, c, r, picture.width, picture.height);
        if (!call) return std::nullopt;
        DibRecord out;
        int32_t reserved = 0;
        if (!runEffectCall(*call, out, picture, &reserved)) return std::nullopt;
        return out;
    }

    // The snapshot label of the state shown.
    static std::string shownStepLabel()
    {
        const HistoryModel& h = programHistory();
        return h.row(h.Pindicator().row).Ltext;
    }
};

} // namespace tq::testing
