#include "document/DocumentState.h"

#include "document/fImage.h"

namespace tq {

int32_t DocumentCount = 0;
int32_t DupNameCount = 0;
DocumentRef ActiveImage;
std::string LastActionName;
bool SaveUndoOnNudge = false;
int32_t LastMeID = -1;
bool PasteFloating = false;
int16_t ImageWidth = 0;
int16_t ImageHeight = 0;
int16_t ImageBPP = 0;

} // namespace tq
