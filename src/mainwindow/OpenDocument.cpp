#include "mainwindow/OpenDocument.h"

#include "document/ProgramContext.h"
#include "document/Module3.h"
#include "document/Module4.h"
#include "document/Module8.h"
#include "document/OpenPicture.h"
#include "document/Settings.h"
#include "document/StatusPanels.h"
#include "document/fImage.h"
#include "document/mBitmap_Files.h"
#include "mainwindow/fMain.h"
#include "mainwindow/mStart.h"
#include "platform/Ports.h"

#include <QImage>
#include <QString>

#include <cstring>

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
    OpenedPicture opened = decodePictureForOpening(FileName, ext);
    if (!opened.ok || opened.picture.width < 1 || opened.picture.height < 1) {
        MsgBox(opened.errorText.empty() ? kLoadErrorText : opened.errorText, MsgButtons::OK, MsgIcon::Exclamation,
               kProgramTitle);
        return nullptr;
    }

    // Blue, green, red, 0 per pixel, rows top-down: a 32-bit RGB picture.
    // The decoded record goes as soon as the picture holds its pixels: at
    // most two whole copies are alive while the document takes it in.
    const int width = opened.picture.width;
    const int height = opened.picture.height;
    QImage picture(width, height, QImage::Format_RGB32);
    if (!picture.isNull())
        for (int y = 0; y < height; ++y)
            std::memcpy(picture.scanLine(y), opened.picture.row(y), 4u * size_t(width));
    opened.picture = DibRecord{};

    fImage* doc = CreateDocumentWindow(main, NewDocument{[&](fImage& d) {
                                                           if (picture.isNull()) return false;
                                                           d.PPicture(picture);
                                                           picture = QImage();   // the document holds it now
                                                           d.BitsRegion.Init(0, 0, width, height);
                                                           return d.PictureExists();
                                                       },
                                                       FileName, {}});
    if (!doc) {
        // Decoded, but too large (or too short of memory) to become a document.
        MsgBox(kLoadErrorText, MsgButtons::OK, MsgIcon::Exclamation, kProgramTitle);
        return nullptr;
    }
    const Settings& s = programSettings();
    if (s.InitialZoom > 1) doc->setZoomFactor(s.InitialZoom);
    doc->SaveUndoBits();
    if (doc->sbInfo) doc->sbInfo->setPanelText(3, QString::fromStdString(FileName));

    Module8::AddRecentFile(FileName);
    if (mStart* shell = mStart::running()) shell->FillRecent();
    return doc;
}

} // namespace tq
