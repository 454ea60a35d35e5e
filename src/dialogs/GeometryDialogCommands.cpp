#include "dialogs/GeometryDialogCommands.h"

#include "dialogs/fCanvas.h"
#include "dialogs/fNew.h"
#include "dialogs/fOrientation.h"
#include "dialogs/fRotate.h"
#include "dialogs/fSize.h"
#include "document/MainHost.h"
#include "document/ProgramContext.h"
#include "widgets/WidgetHelpers.h"

#include <QPointer>

#include <memory>

namespace tq {
namespace {

// The dialogs of one main window, made when first opened.
struct GeometryDialogs {
    QPointer<fSize> size;
    QPointer<fCanvas> canvas;
    QPointer<fOrientation> orientation;
    QPointer<fRotate> rotate;
    QPointer<fNew> fresh;
};

// Shows the dialog modally for the whole program, making it first when it
// does not exist yet. The call returns at once: the dialog's own OK does the
// work, and nothing follows it here, so no nested event loop is needed (and
// a run without a user, which never answers it, is never held up).
template <class Dialog>
void showModal(QPointer<Dialog>& dialog)
{
    if (!dialog) {
        MainHost* host = mainHost();
        dialog = new Dialog(host ? host->mainWidget() : nullptr);
        dialog->setWindowModality(Qt::ApplicationModal);
    }
    bringForward(dialog);
}

} // namespace

void registerGeometryDialogCommands(CommandRegistry& registry)
{
    auto dialogs = std::make_shared<GeometryDialogs>();
    // The dispatcher runs these only with an active document ("NEW" also
    // without one).
    registry.registerCommand("cmdImageSize", [dialogs](const std::string&) { showModal(dialogs->size); });
    registry.registerCommand("cmdCanvasSize", [dialogs](const std::string&) { showModal(dialogs->canvas); });
    registry.registerCommand("cmdImageOrientation",
                             [dialogs](const std::string&) { showModal(dialogs->orientation); });
    registry.registerCommand("cmdImageRotate", [dialogs](const std::string&) { showModal(dialogs->rotate); });
    registry.registerCommand("cmdNew", [dialogs](const std::string&) { showModal(dialogs->fresh); });
}

} // namespace tq
