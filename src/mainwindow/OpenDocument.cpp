#include "mainwindow/OpenDocument.h"

#include "document/ProgramContext.h"
#include "document/DocumentNames.h"
#include "document/PathParts.h"
#include "document/SettingsFile.h"
#include "document/OpenPicture.h"
#include "document/Settings.h"
#include "document/StatusPanels.h"
#include "document/fImage.h"
#include "document/PictureRouting.h"
#include "mainwindow/fMain.h"
#include "mainwindow/Startup.h"
#include "platform/Ports.h"

#include <QString>


namespace tq {

fImage* CreateDocumentWindow(fMain& main, const NewDocument& plan)
{
    auto* doc = new fImage;   // takes the current document number
    if (!plan.fill || !plan.fill(*doc)) {
        delete doc;
        return nullptr;
    }
    if (plan.name) {
        doc->Tag = Module3::UniqueDocName(*plan.name);
        doc->setWindowTitle(QString::fromStdString(Module4::FileTitle(doc->Tag)));
    } else {
        ++DocumentCount();   // as UniqueDocName does for every new document
        doc->setWindowTitle(QString::fromStdString(plan.caption));
    }
    main.addDocument(doc);
    return doc;
}

bool IsDocumentOpen(const std::string& FileName)
{
    bool open = false;
    for (const fImage* doc : fImage::loadedDocuments())
        if (doc && doc->Tag == FileName) open = true;
    return open;
}

fImage* OpenDocumentFile(fMain& main, const std::string& FileName, const std::string& ext)
{
    using namespace platform;
    if (IsDocumentOpen(FileName)) {
        MsgBox(kFileAlreadyOpenedText, MsgButtons::OK, MsgIcon::Information, kFileAlreadyOpenedTitle);
        return nullptr;
    }
    OpenedPixels opened = decodePixelsForOpening(FileName, ext);
    if (!opened.ok || opened.pixels.width() < 1 || opened.pixels.height() < 1) {
        MsgBox(opened.errorText.empty() ? kLoadErrorText : opened.errorText, MsgButtons::OK, MsgIcon::Exclamation,
               kProgramTitle);
        return nullptr;
    }

    // The decode is already in the document's own layout: the buffer moves
    // into the window, and no other copy of the picture is made on the way.
    fImage* doc = CreateDocumentWindow(main, NewDocument{[&](fImage& d) { return d.PPicture(std::move(opened.pixels)); },
                                                       FileName, {}});
    if (!doc) {
        // Decoded, but too large (or too short of memory) to become a document.
        MsgBox(kLoadErrorText, MsgButtons::OK, MsgIcon::Exclamation, kProgramTitle);
        return nullptr;
    }
    const Settings& s = programSettings();
    if (s.InitialZoom > 1) doc->setZoomFactor(s.InitialZoom);
    doc->document().SaveUndoBits(LastActionName());
    if (doc->sbInfo) doc->sbInfo->setPanelText(3, QString::fromStdString(FileName));

    Module8::AddRecentFile(FileName);
    if (mStart* shell = mStart::running()) shell->FillRecent();
    return doc;
}

} // namespace tq
