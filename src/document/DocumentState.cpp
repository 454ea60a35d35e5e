#include "document/DocumentState.h"

#include "document/fImage.h"

namespace tq {

int32_t DocumentCount = 0;
int32_t DupNameCount = 0;
DocumentRef ActiveImage;
std::string LastActionName;

} // namespace tq
