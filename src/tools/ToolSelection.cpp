#include "tools/ToolSelection.h"

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/StatusPanels.h"
#include "document/fImage.h"
#include "document/PictureRoutines.h"
#include "filters/cBitFilter.h"
#include "platform/SkippedStep.h"
#include "tools/ToolButtonBar.h"
#include "tools/ToolKeys.h"
#include "tools/ToolOptionPanel.h"

#include <QFrame>

namespace tq::tools {
namespace {

void setTool(const std::string& key) { programSettings().ToolName.assign(key); }

} // namespace

void tbTool_ButtonClick(ToolButtonBar& tbTool, ToolOptionPanel& picStatus, cBitFilter& engine, int16_t Index,
                        const std::string& Key, int Value)
{
    // 1. The current-tool icon, for every button.
    step([&] { picStatus.showToolIcon(Index); });

    // 2.
    fImage* doc = nullptr;
    step([&] {
        if (mBitmap::GetActiveImage(ActiveImage())) doc = ActiveImage().data();
    });

    if (doc) {
        // 3. A paste not merged yet is dropped.
        if (PasteFloating()) {
            PasteFloating() = false;
            step([&] { doc->setBits(engine.Bits()); });
            step([&] { doc->UpdateImage(); });
            step([&] {
                if (doc->BitsRegion.IsEmptyRegion())
                    doc->StopTimer();
                else
                    doc->StartTimer();
            });
        }
        // 4.
        if (Key == "Pencil") {
            step([&] { doc->setMouseScroll(false); });
            setTool(Key);
            // The other toggle ("GetColor") stays as it is; the hand does not.
            step([&] { tbTool.setButtonValue(kHandScrollButton, false); });
        } else if (Key == "ZoomIn" || Key == "ZoomOut") {
            step([&] {
                if (Key == "ZoomIn")
                    doc->ZoomIn();
                else
                    doc->ZoomOut();
            });
            step([&] { doc->sbInfo->setPanelText(QStringLiteral("Zoom"), QStringLiteral("%1 : 1").arg(doc->ZoomFactor())); });
        } else if (Key == "MouseScroll") {
            step([&] { doc->setMouseScroll(Value != 0); });
            step([&] { tbTool.DisableTools(Index); });
            setTool(Key);
        } else if (Key == "GetColor") {
            step([&] { doc->setMouseScroll(false); });
            step([&] { tbTool.DisableTools(Index); });
            setTool(Value == 1 ? Key : std::string());
        } else {
            step([&] { doc->setMouseScroll(false); });
            step([&] { tbTool.DisableTools(Index); });
            setTool(Key);
        }
    }

    // 5. The tool group: its option frame, the step label, the pending
    // pencil snapshot.
    if (Index < 1 || Index > kLastGroupButton) return;
    step([&] { picStatus.PicDescription->hide(); });
    LastActionName() = Key;
    if (Key == "SelectionMove") programSettings().SelectionMoveFromClip = false;
    if (const ToolButtonSpec* spec = toolButton(Index); spec && spec->frame) {
        step([&] { picStatus.Tool_Frame(); });
        step([&] {
            if (QFrame* f = picStatus.frame(spec->frame)) f->show();
        });
    }
    step([&] { TakePendingSnapshot(); });
    SaveUndoOnNudge() = true;
}

void EnableMouseScrolling(ToolButtonBar& tbTool)
{
    step([&] { tbTool.DisableTools(-1); });
    step([&] { tbTool.setButtonValue(kHandScrollButton, true); });
    setTool("MouseScroll");
}

bool TakePendingSnapshot()
{
    if (!UndoPending()) return false;
    fImage* doc = ActiveImage().data();
    if (!doc) return false;
    doc->document().SaveUndoBits(LastActionName());
    UndoPending() = false;
    return true;
}

} // namespace tq::tools
