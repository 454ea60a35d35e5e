// The document commands of the main window's MenuExec: undo and redo, new
// documents from a copy or the clipboard, selection, cut, copy, paste and
// crop, view zoom, quality zoom and rotation, and the direct filters.
//
// Each command acts on ActiveImage as the dispatcher left it (a command that
// lets pending messages run reads it again afterwards). A change is made to
// the window's Document; the window redraws (showChange) and the change ends
// as the document's undo step (Document::recordStep): recordChange does both,
// and Update does both for ActiveImage.
#include "dialogs/GeometryChange.h"
#include "dialogs/PictureGeometry.h"
#include "document/PictureBudget.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/StatusPanels.h"
#include "document/fImage.h"
#include "document/PictureRoutines.h"
#include "mainwindow/DirectFilters.h"
#include "mainwindow/FileCommands.h"
#include "mainwindow/OpenDocument.h"
#include "mainwindow/fMain.h"
#include "platform/Folders.h"
#include "platform/PictureFiles.h"
#include "platform/Ports.h"
#include "toolwindows/ToolWindows.h"

#include <cmath>
#include <filesystem>
#include <system_error>

namespace tq {
namespace {

constexpr const char* kNewImageCaption = "New Image Document";
constexpr const char* kSelectionsFolder = "Selections";
constexpr const char* kSelectionFilter = "Selection Files (*.qsf)|*.qsf";
constexpr const char* kSelectionNotLoaded = "This file holds no selection that can be loaded (damaged or too large).";
constexpr const char* kSelectionNotSaved = "The selection could not be saved.";

bool validSide(int64_t side) { return side >= 1 && side <= kMaxPictureSide; }

// The engine's region for a document: its selection, or the whole picture
// when nothing is selected.
void mirrorRegion(cBitFilter& engine, const Document& doc) { engine.setBitsRegion(doc.BitsRegion.walkRegion()); }


// The Selections folder under the program folder, made when missing.
std::string selectionsFolder()
{
    const std::string folder = platform::joinPath(platform::programFolder(), kSelectionsFolder);
    if (!mBitmap::FileExists(folder)) {
        std::error_code ec;   // cannot be made: the dialog opens where it can
        std::filesystem::create_directory(folder, ec);
    }
    return folder;
}

platform::FileDialogRequest selectionDialog(const char* title)
{
    platform::FileDialogRequest r;
    r.title = title;
    r.filter = kSelectionFilter;
    r.initialDir = selectionsFolder();
    r.fileName = programContext().SelectionDialogFile;
    r.overwritePrompt = true;
    return r;
}

// The outline runs while something is selected; the engine walks the
// selection, or the whole picture.
void showSelectionState(fMain& main, fImage& window)
{
    const Document& doc = window.document();
    if (doc.BitsRegion.IsEmptyRegion())
        window.StopTimer();
    else
        window.StartTimer();
    mirrorRegion(main.cFilter, doc);
}

struct QualitySize {
    const char* key;
    int16_t Factor;
    bool ZoomIn;
    bool Alias;
};
constexpr QualitySize kQualitySizes[] = {
    {"50", 2, false, false}, {"33", 3, false, false}, {"25", 4, false, false}, {"20", 5, false, false},
    {"15", 7, false, false}, {"10", 9, false, false}, {"ORIGINAL", 1, false, false},
    {"2x", 2, true, true},   {"3x", 3, true, true},   {"4x", 4, true, true},   {"5x", 5, true, true},
    {"x2", 2, false, true},  {"x3", 3, false, true},  {"x4", 4, false, true},  {"x5", 5, false, true},
};

struct Rotation {
    const char* key;
    int16_t Angle;
    bool smooth;
};
// "N270" and "A270" both turn by +90.
constexpr Rotation kRotations[] = {
    {"N90", -90, false}, {"N180", -180, false}, {"N270", 90, false}, {"N45", -45, false},
    {"A90", -90, true},  {"A180", -180, true},  {"A270", 90, true},  {"A45", -45, true},
};

struct ViewZoom {
    const char* key;
    int32_t factor;
};
constexpr ViewZoom kViewZooms[] = {{"200", 2}, {"300", 3}, {"400", 4}, {"500", 5},
                                   {"600", 6}, {"700", 7}, {"100", 1}};

} // namespace

// ---- Undo, redo and new documents ------------------------------------------

void fMain::cmdUndo(const std::string&)
{
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    // The step shown is no longer the zoom a following zoom would replace.
    doc->image_is_zoomed = false;
    if (doc->document().UndoBits()) SaveUndoOnNudge() = true;
}

void fMain::cmdRedo(const std::string&)
{
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    doc->image_is_zoomed = false;
    if (doc->document().RedoBits()) SaveUndoOnNudge() = true;
}

// "CREATENEWCOPY": the pixels and the selection go straight into the new
// window; the user's clipboard is never used for it.
void fMain::cmdCreateNewCopy(const std::string&)
{
    fImage* source = ActiveImage().data();
    if (!source || !source->PictureExists()) return;
    ImageHeight() = static_cast<int16_t>(source->PictureHeight());
    ImageWidth() = static_cast<int16_t>(source->PictureWidth());
    // The new window copies the pixels once, straight from the source.
    const BitsBuffer& pixels = source->Bits();
    const Region* selection = source->BitsRegion.Region();
    fImage* copy = CreateDocumentWindow(*this, NewDocument{[&](fImage& d) {
                                                               if (!d.TakeNewPicture(pixels)) return false;
                                                               d.BitsRegion.setRegion(selection);
                                                               return true;
                                                           },
                                                           source->Tag, {}});
    if (!copy) return;
    // Its activation gave the engine its pixels and the region as it stood
    // then; the region is the copied selection now.
    mirrorRegion(cFilter, copy->document());
    copy->document().SaveUndoBits(LastActionName());
}

void fMain::cmdCopyImageToClipboard(const std::string&)
{
    if (fImage* doc = ActiveImage().data()) doc->BitsCopyToClipboard();
}

void fMain::cmdCreateFromClipboard(const std::string&)
{
    platform::Clipboard* clipboard = platform::ports().clipboard;
    if (!clipboard || !clipboard->hasBitmap()) return;
    const std::optional<DibRecord> picture = clipboard->bitmap();
    if (!picture || !validSide(picture->width) || !validSide(picture->height)) return;
    if (!mayMakePicture(picture->width, picture->height)) return;
    ImageWidth() = static_cast<int16_t>(picture->width);
    ImageHeight() = static_cast<int16_t>(picture->height);
    cBitFilter taken;
    if (!taken.BitsTakeFromPicture(*picture, picture->width, picture->height)) return;
    // Folder and name joined with the separator.
    const std::string name = platform::joinPath(programSettings().OpenFolder.text(), "New.bmp");
    fImage* doc = CreateDocumentWindow(
        *this, NewDocument{[&](fImage& d) { return d.TakeNewPicture(taken.Bits()); }, name, {}});
    if (!doc) return;
    ActiveImage() = doc;
    doc->document().SaveUndoBits(LastActionName());
}

// ---- Selection ---------------------------------------------------------------

// The selection is the document's; the window runs or stops its outline
// and redraws.
void fMain::cmdSelection(const std::string& key)
{
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    Document& picture = doc->document();
    cBitRegion& sel = picture.BitsRegion;
    if (key == "SELECTALL") {
        sel.CreateRect(0, 0, picture.PictureWidth(), picture.PictureHeight(), 2, false);
        doc->StartTimer();
        mirrorRegion(cFilter, picture);
        recordChange(doc, picture, false);
    } else if (key == "SELECTNONE") {
        sel.Init(0, 0, picture.PictureWidth(), picture.PictureHeight());
        doc->StopTimer();
        doc->UpdateImage();
        mirrorRegion(cFilter, picture);
    } else if (key == "INVERTSELECTION") {
        sel.Invert();
        showSelectionState(*this, *doc);
        doc->UpdateImage();
    } else if (key == "LOADSELECTION") {
        const auto answer = platform::ports().fileDialogs->open(selectionDialog("Load selection"));
        if (!answer) return;
        programContext().SelectionDialogFile = answer->path;
        // A file that cannot be read leaves the old selection, still cut to
        // the picture below, and says so.
        if (!sel.LoadFromFile(answer->path))
            platform::MsgBox(std::string(kSelectionNotLoaded) + "\r\n\r\n" + answer->path, platform::MsgButtons::OK,
                             platform::MsgIcon::Exclamation, platform::kProgramName);
        sel.Crop();
        doc->UpdateImage();
        showSelectionState(*this, *doc);
    } else if (key == "SAVESELECTION") {
        const auto answer = platform::ports().fileDialogs->save(selectionDialog("Save selection"));
        if (!answer) return;
        // A name typed without an extension gets the selection's own, so
        // Load Selection lists the file again.
        std::string path = answer->path;
        if (FileExtension(path).empty()) path += ".qsf";
        programContext().SelectionDialogFile = path;
        if (!sel.SaveToFile(path))
            platform::MsgBox(saveFailureText(kSelectionNotSaved, path, true), platform::MsgButtons::OK,
                             platform::MsgIcon::Exclamation, platform::kProgramName);
    }
}

// ---- Cut, copy, paste and crop -------------------------------------------

void fMain::cmdClipboard(const std::string& key)
{
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    // The canvas's Ctrl release first: while the move tool is current, a
    // selection moved past the picture's edge is cut back to it.
    doc->idst_KeyUp(17, 0);
    if (key == "CUT") {
        platform::DoEvents();
        // A cut that took nothing is no change; one that did ends like every
        // change: one undo step and the changed mark.
        if (cutToClipHistory(this)) Update(false, true);
    } else if (key == "COPY") {
        platform::DoEvents();
        copyToClipHistory(this);
    } else if (key == "PASTE") {
        programSettings().SelectionMoveFromClip = true;
        DisableTools(-1);
        programSettings().ToolName.assign("");
        doc->setMouseScroll(false);
        doc->StopTimer();
        PasteFloating() = true;
    }
}

void fMain::cmdCrop(const std::string& key)
{
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    if (!doc->BitsRegion.BoundRect(X1, Y1, X2, Y2)) return;
    if (!(X2 - X1 > 2 || Y2 - Y1 > 2)) return;
    if (!cFilter.BitsCrop(cFilter.Bits(), X1, Y1, X2, Y2)) return;

    if (key == "CROP") {
        Document& picture = doc->document();
        if (!picture.TakeNewPicture(cFilter.Bits())) {
            cFilter.shareBits(picture.Bits());   // the engine mirrors the document again
            return;
        }
        doc->showNewPicture();
        cFilter.setBitsRegion(picture.BitsRegion.RegionMain());
        recordChange(doc, picture, false);
        return;
    }

    // "NEWIMAGEFROMCROP": the box becomes a new, unnamed document.
    ImageHeight() = static_cast<int16_t>(cFilter.BitsHeight());
    ImageWidth() = static_cast<int16_t>(cFilter.BitsWidth());
    const BitsBuffer cropped = cFilter.Bits();
    fImage* fresh = CreateDocumentWindow(
        *this, NewDocument{[&](fImage& d) { return d.TakeNewPicture(cropped); }, std::nullopt, kNewImageCaption});
    if (!fresh) {
        cFilter.shareBits(doc->Bits());
        return;
    }
    cFilter.setBitsRegion(fresh->BitsRegion.RegionMain());
    cFilter.shareBits(fresh->Bits());
    ActiveImage() = fresh;
    Update(false, true);
}

// ---- View zoom, quality zoom and rotation ---------------------------------

void fMain::cmdViewZoom(const std::string& key)
{
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    for (const ViewZoom& z : kViewZooms)
        if (key == z.key) doc->setZoomFactor(z.factor);
}

void fMain::cmdQualitySize(const std::string& key)
{
    for (const QualitySize& q : kQualitySizes) {
        if (key != q.key) continue;
        if (key == "ORIGINAL")
            if (fImage* doc = ActiveImage().data()) doc->setZoomFactor(1);
        ZoomImage(q.Factor, q.ZoomIn, q.Alias);
        return;
    }
}

void fMain::cmdRotation(const std::string& key)
{
    for (const Rotation& r : kRotations)
        if (key == r.key) {
            RotateImage(r.Angle, r.smooth);
            return;
        }
}

void fMain::ZoomImage(int16_t Factor, bool ZoomIn, bool Alias)
{
    if (!mBitmap::GetActiveImage(ActiveImage())) return;
    fImage* doc = ActiveImage().data();
    if (!doc || !doc->PictureExists()) return;
    Document& picture = doc->document();
    doc->setZoomFactor(1);

    // A zoom right after a zoom of this document starts again from the
    // picture before the first one (the window shows the step it steps
    // back to).
    const bool steppedBack = doc->image_is_zoomed && picture.UndoBits();
    keepEngineInStep(picture);

    const int64_t W = cFilter.BitsWidth();
    const int64_t H = cFilter.BitsHeight();
    int64_t newW = 0, newH = 0;
    if (Factor >= 1) {
        if (ZoomIn) {
            newW = W * Factor;
            newH = H * Factor;
        } else {
            newW = static_cast<int64_t>(std::nearbyint(static_cast<double>(W) / Factor));
            newH = static_cast<int64_t>(std::nearbyint(static_cast<double>(H) / Factor));
        }
    }
    // A side below 1 or above the largest one is refused: no step, and the
    // zoom that was stepped back over is shown again.
    const auto refuse = [&] {
        cFilter.shareBits(picture.Bits());
        mirrorRegion(cFilter, picture);
        if (steppedBack) picture.RedoBits();
    };
    if (!validSide(newW) || !validSide(newH)) {
        refuse();
        return;
    }
    if (!mayMakePicture(newW, newH)) {
        refuse();
        return;
    }

    // The intermediate picture is never painted.
    doc->setUpdatesEnabled(false);
    const bool resized = Alias ? cFilter.BitsResample(cFilter.Bits(), int32_t(newW), int32_t(newH))
                               : cFilter.BitsResize(cFilter.Bits(), int32_t(newW), int32_t(newH));
    const bool taken = resized && picture.TakeNewPicture(cFilter.Bits());
    if (taken) doc->showNewPicture();
    doc->setUpdatesEnabled(true);
    if (!taken) {
        refuse();
        return;
    }
    cFilter.setBitsRegion(picture.BitsRegion.RegionMain());
    recordChange(doc, picture, true);
    doc->ShowSizePanel();
    doc->image_is_zoomed = true;
}

void fMain::RotateImage(int16_t Angle, bool smooth)
{
    platform::DoEvents();
    fImage* doc = ActiveImage().data();
    if (!doc || !doc->PictureExists()) return;
    // The rotation dialog's turn and ending; a turn that cannot be made is
    // refused quietly and records no step.
    GeometryChange change(*doc);
    change.apply([&](cBitFilter& engine, const BitsBuffer& source) { return turnPicture(engine, source, Angle, smooth); },
                 false, false);
}

void fMain::keepEngineInStep(const Document& doc)
{
    if (cFilter.BitsWidth() == doc.PictureWidth() && cFilter.BitsHeight() == doc.PictureHeight()) return;
    cFilter.shareBits(doc.Bits());
    mirrorRegion(cFilter, doc);
}

// ---- Direct filters ----------------------------------------------------------

FilterResult fMain::runDirectFilter(const DirectFilterRow<cBitFilter>& row) { return row.run(cFilter); }

void fMain::cmdDirectFilter(const std::string& key)
{
    const DirectFilterRow<cBitFilter>* row = findDirectFilter<cBitFilter>(key);
    if (!row) return;
    if (row->pumpFirst) platform::DoEvents();
    // The pump may have run another command: act on the document as it now is.
    fImage* doc = ActiveImage().data();
    if (!doc || !doc->PictureExists()) return;
    Document& pixels = doc->document();
    keepEngineInStep(pixels);
    // The result replaces the pixels, whose state the last snapshot keeps:
    // a point filter may write it over them rather than into a second
    // picture-sized block, once the snapshot writer is done with them.
    if (pixels.Bits().holders() > 2) pixels.settleSnapshots();
    cFilter.allowResultInBits(&pixels.Bits());
    FilterResult result;
    try {
        result = runDirectFilter(*row);
    } catch (const std::exception&) {
        result = std::nullopt;
    }
    const bool overwritten = cFilter.wroteOverBits();
    cFilter.allowResultInBits(nullptr);
    // A member that failed records nothing and leaves the document as it
    // was: pixels already written over come back from the shown step's
    // snapshot. Without one to read, what the pixels now hold is recorded
    // as a step, so that it is neither hidden nor lost.
    if (!result) {
        if (!overwritten || pixels.reloadShownStep()) return;
        result = pixels.Bits().share();
    }
    applyToDocument(pixels, std::move(*result));
}

} // namespace tq
