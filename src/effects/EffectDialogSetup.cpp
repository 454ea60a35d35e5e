#include "effects/EffectDialogSetup.h"

#include "effects/EffectCatalogue.h"
#include "effects/fLayersEffects.h"
#include "widgets/Controls.h"
#include "widgets/cpvSlider.h"

#include <QGroupBox>
#include <QScrollBar>
#include <QSignalBlocker>

namespace tq::modEffects {

namespace {

void setUpDown(QScrollBar& UpDown, int16_t Min, int16_t Max, int16_t Value)
{
    UpDown.setEnabled(true);
    // The limits change quietly (a value they would move comes next anyway);
    // only the value's assignment reaches the slider.
    if (Min > Max) throw InvalidPropertyValue("Min");
    {
        const QSignalBlocker quiet(UpDown);
        UpDown.setRange(Min, Max);
    }
    if (Value < Min || Value > Max) throw InvalidPropertyValue("Value");
    UpDown.setValue(Value);
}

} // namespace

void InitEffectDialog(fLayersEffects& Dialog, int16_t EffectId, cpvSlider& Slider, int16_t Min, int16_t Max,
                      int16_t Value, QScrollBar& UpDown, int16_t OptionsFrame)
{
    // First, so the previews the slider raises below draw this effect.
    Dialog.Effect = EffectId;
    try {
        Slider.setEnabled(true);
        Slider.setMin(Min);
        Slider.setMax(Max);
        Slider.setValue(Value);
        setUpDown(UpDown, Min, Max, Value);
    } catch (const InvalidPropertyValue&) {
        return;
    }
    switch (OptionsFrame) {
    case effects::OptionsFrame::None: Dialog.FNone->setVisible(true); break;
    case effects::OptionsFrame::Color: Dialog.fColor->setVisible(true); break;
    case effects::OptionsFrame::TileEffect: Dialog.fTileEffect->setVisible(true); break;
    default: break;
    }
}

} // namespace tq::modEffects
