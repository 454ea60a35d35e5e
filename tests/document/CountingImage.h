// A document window that counts the snapshots it is asked for (keeping the
// label of the last one) and its undo and redo calls, and still does what
// the document does. With writeSnapshots false it only counts: a test
// without a program folder of its own writes nothing.
#pragma once

#include "document/ProgramContext.h"
#include "document/fImage.h"

#include <string>

namespace tq::testing {

class CountingImage : public fImage {
public:
    int snapshots = 0;
    int undos = 0;
    int redos = 0;
    std::string label;
    bool writeSnapshots = true;

    void SaveUndoBits() override
    {
        ++snapshots;
        label = LastActionName();
        if (writeSnapshots) fImage::SaveUndoBits();
    }
    bool UndoBits() override
    {
        ++undos;
        return fImage::UndoBits();
    }
    bool RedoBits() override
    {
        ++redos;
        return fImage::RedoBits();
    }
};

} // namespace tq::testing
