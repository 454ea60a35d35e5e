// A document window that counts the snapshots its document is asked for
// (keeping the label of the last one) and the steps back and forward asked
// of it, whether through the window or the document itself, and still does
// what the document does. With writeSnapshots false the window's own
// snapshots are only counted: a test without a program folder of its own
// writes nothing.
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

    void snapshotTaken(const std::string& name) override
    {
        ++snapshots;
        label = name;
    }
    void SaveUndoBits() override
    {
        if (writeSnapshots)
            fImage::SaveUndoBits();
        else
            snapshotTaken(LastActionName());
    }
    void undoAsked() override { ++undos; }
    void redoAsked() override { ++redos; }
};

} // namespace tq::testing
