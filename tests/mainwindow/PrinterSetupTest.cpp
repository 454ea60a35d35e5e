// PRINTERSETUP: the printer set-up dialog for the active document, answered
// through the test double; nothing of the document changes either way.
#include "CommandFixture.h"

namespace tq {

using testing::CommandFixture;

TEST_F(CommandFixture, PrinterSetupShowsTheDialogOnlyWithADocumentAndChangesNothing)
{
    platform::FakePrinterSetup& dialog = ports.printerSetup;
    main->MenuStatic("PRINTERSETUP");
    EXPECT_EQ(dialog.shown, 0) << "no document, no dialog";

    testing::CountingImage* doc = openDocument(4, 3, "/pictures/a.png");
    for (bool confirm : {true, false}) {
        dialog.confirm = confirm;
        main->MenuStatic("PRINTERSETUP");
    }
    EXPECT_EQ(dialog.shown, 2);
    EXPECT_EQ(doc->Bits(), testing::patternBits(4, 3));
    EXPECT_FALSE(doc->Changed);
    EXPECT_EQ(doc->Tag, "/pictures/a.png");
    EXPECT_EQ(doc->snapshots, 0);
    EXPECT_TRUE(ports.messageBoxes.shown.empty());
    EXPECT_TRUE(ports.fileDialogs.saveRequests.empty());
}

} // namespace tq
