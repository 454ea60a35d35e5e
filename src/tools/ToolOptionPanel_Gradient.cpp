// The gradient tool's two colour swatches and the preview strip between
// them. The strip shows the blend of the two colours only: the mode, the
// frequency, the pressure and the transparency checks play no part in it.
#include "tools/ToolOptionPanel.h"

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "platform/Ports.h"
#include "widgets/ColourSwatch.h"
#include "tools/GradientPreview.h"

namespace tq::tools {
namespace {

int32_t& gradientColour(int Index)
{
    return Index == 0 ? programSettings().GradientColor1 : programSettings().GradientColor2;
}

} // namespace

void ToolOptionPanel::DrawGradientPreview()
{
    const Settings& s = programSettings();
    iGrad->drawColumns(gradientPreviewColumns(s.GradientColor1, s.GradientColor2, iGrad->innerWidth()));
}

void ToolOptionPanel::GradColor_Click(int Index)
{
    ColourSwatch* swatch = GradColor[static_cast<size_t>(Index)];
    const int32_t c = swatch->BackColor();
    if (platform::ColourPicker* picker = platform::ports().colourPicker)
        if (std::optional<int32_t> chosen = picker->pick(c)) swatch->setBackColor(*chosen);
    // A cancelled picker still writes (the unchanged colour) and redraws.
    gradientColour(Index) = swatch->BackColor();
    DrawGradientPreview();
}

void ToolOptionPanel::GradColor_Change(int Index)
{
    gradientColour(Index) = GradColor[static_cast<size_t>(Index)]->BackColor();
    DrawGradientPreview();
}

} // namespace tq::tools
