#include "document/DocumentNames.h"

#include "document/ProgramContext.h"
#include "document/fImage.h"

namespace tq::Module3 {

std::string UniqueDocName(const std::string& name)
{
    std::string result = name;
    for (const fImage* doc : fImage::loadedDocuments()) {
        if (doc->Tag == name) {
            ++DupNameCount();
            result = name + "[" + std::to_string(DupNameCount()) + "]";
            break;
        }
    }
    ++DocumentCount();
    return result;
}

} // namespace tq::Module3
