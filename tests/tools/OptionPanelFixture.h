// A tool-option panel of its own, not shown yet, over the settings of a
// first start, with a fresh context and the test's ports.
#pragma once

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "support/TestPorts.h"
#include "tools/ToolOptionPanel.h"

#include <gtest/gtest.h>

#include <memory>

namespace tq::tools {

struct OptionPanelFixture : ::testing::Test {
    ScopedContext context;
    platform::TestPorts ports;
    std::unique_ptr<ToolOptionPanel> panel;

    // The fresh context holds the settings of a first start.
    void SetUp() override { panel = std::make_unique<ToolOptionPanel>(); }
};

} // namespace tq::tools
