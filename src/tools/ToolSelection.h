// Choosing the current tool: the tool bar's click handler, the hand-scroll
// tool every new document starts with, and the pending pencil snapshot.
//
// The current tool is the ToolKey in Settings.ToolName, which the document
// windows read on every event. Buttons 1 to 11 choose a tool and show its
// option frame; "GetColor" and "MouseScroll" are toggles; "ZoomIn" and
// "ZoomOut" act on the active document at once and never become the tool.
// Hand scrolling is on only while the tool is "MouseScroll": its state is
// the "MouseScroll" button's own, released by every other tool choice, so
// a drag never both scrolls and paints.
#pragma once

#include <cstdint>
#include <string>

namespace tq {
class cBitFilter;
}

namespace tq::tools {

class ToolButtonBar;
class ToolOptionPanel;

// A click on button Index (its Key, Value 1 pressed / 0 released). Any click
// first drops a pasted clip that still floats: the active document takes
// the engine's pixels (the picture as last committed) back. Without an
// active document only the icon and, for buttons 1 to 11, the option bar,
// the step label and the nudge flag change.
void tbTool_ButtonClick(ToolButtonBar& tbTool, ToolOptionPanel& picStatus, cBitFilter& engine, int16_t Index,
                        const std::string& Key, int Value);

// Every button released but the hand-scroll one, which is pressed, and the
// tool "MouseScroll". The icon, the option bar and the step label stay.
void EnableMouseScrolling(ToolButtonBar& tbTool);

// The snapshot a pencil stroke left pending (UndoPending), taken on the
// active document and labelled LastActionName. With no active document the
// request stays for later; false then, and when none was pending.
bool TakePendingSnapshot();

} // namespace tq::tools
