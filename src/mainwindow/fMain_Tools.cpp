// The main window's tool bar and tool-option bar: the routines others call
// by the main window's name, carried out by the tools (tools/).
#include "mainwindow/fMain.h"

#include "tools/CanvasTools.h"
#include "tools/ToolButtonBar.h"
#include "tools/ToolKeys.h"
#include "tools/ToolOptionPanel.h"
#include "tools/ToolSelection.h"

namespace tq {

void fMain::tbTool_ButtonClick(int16_t Index, const std::string& Key, int Value)
{
    tools::tbTool_ButtonClick(*tbTool, *picStatus, cFilter, Index, Key, Value);
}

void fMain::Tool_Frame() { picStatus->Tool_Frame(); }

bool fMain::HandScrollButtonPressed() const { return tbTool->ButtonValue(tools::kHandScrollButton); }

void fMain::EnableMouseScrolling() { tools::EnableMouseScrolling(*tbTool); }

void fMain::DisableTools(int16_t PreserveTool) { tbTool->DisableTools(PreserveTool); }

std::unique_ptr<CanvasInput> fMain::makeCanvasInput(fImage& doc) { return std::make_unique<tools::CanvasTools>(doc); }

void fMain::SelectionMove_Init() { picStatus->SelectionMove_Init(); }
void fMain::Select_Init() { picStatus->Select_Init(); }
void fMain::Airbrush_Init() { picStatus->Airbrush_Init(); }
void fMain::Brush_Init() { picStatus->Brush_Init(); }
void fMain::Fill_Init() { picStatus->Fill_Init(); }
void fMain::Shape_Init() { picStatus->Shape_Init(); }
void fMain::Gradient_init() { picStatus->Gradient_init(); }
void fMain::Stamp_Init() { picStatus->Stamp_Init(); }

int16_t fMain::KeyNum(int16_t k) { return tools::KeyNum(k); }

BitsBuffer fMain::GetStampBits() const { return picStatus->GetStampBits(); }

void fMain::icStamp_Click() { picStatus->icStamp_Click(); }

void fMain::DrawGradientPreview() { picStatus->DrawGradientPreview(); }

} // namespace tq
