// The two command dispatchers and the complete key table. Keys are compared
// whole and case-sensitively; no key stands in two blocks, so at most one
// command runs per call. The table is the one place the keys are written.
#include "mainwindow/fMain.h"
#include "mainwindow/SubsystemCommands.h"

#include "document/ProgramContext.h"
#include "document/PictureRoutines.h"
#include "platform/Ports.h"

namespace tq {
namespace {

#define TQ_CMD(key, command) CommandEntry{key, #command}

// fMain.MenuStatic, first block: with or without a document.
const CommandEntry kStaticFirst[] = {
    TQ_CMD("NEW", cmdNew),
    TQ_CMD("OPEN", cmdOpen),
    TQ_CMD("OPTIONS", cmdOptions),
    TQ_CMD("SELECTSOURCE", cmdNothing),
    TQ_CMD("ACQUIRETWAIN", cmdNothing),
    TQ_CMD("CAPTUREDESKTOP", cmdCaptureDesktop),
    TQ_CMD("CAPTUREFOREGROUND", cmdCaptureForeground),
    TQ_CMD("CAPTUREBACKGROUND", cmdCaptureBackground),
    TQ_CMD("CUSTOMCAPTURE", cmdCustomCapture),
};

// fMain.MenuStatic, second block: only with a document.
const CommandEntry kStaticSecond[] = {
    TQ_CMD("CLOSE", cmdClose),
    TQ_CMD("SAVE", cmdSave),
    TQ_CMD("SAVEAS", cmdSaveAs),
    TQ_CMD("IMAGESAVEOPTIONS", cmdImageSaveOptions),
    TQ_CMD("PRINTERSETUP", cmdPrinterSetup),
    TQ_CMD("WTILE", cmdWallpaper),
    TQ_CMD("WCENTER", cmdWallpaper),
    TQ_CMD("WSTRETCH", cmdWallpaper),
    TQ_CMD("TILEHORIZONTALLY", cmdArrangeWindows),
    TQ_CMD("TILEVERTICALLY", cmdArrangeWindows),
    TQ_CMD("CASCADE", cmdArrangeWindows),
    TQ_CMD("RESET", cmdReset),
};

// fMain.MenuExec, first block: with a document, or "CREATEFROMCLIPBOARD".
const CommandEntry kExecFirst[] = {
    TQ_CMD("UNDO", cmdUndo),
    TQ_CMD("REDO", cmdRedo),
    TQ_CMD("CREATENEWCOPY", cmdCreateNewCopy),
    TQ_CMD("COPYIMAGETOCLIPBOARD", cmdCopyImageToClipboard),
    TQ_CMD("CREATEFROMCLIPBOARD", cmdCreateFromClipboard),
    TQ_CMD("IMAGESIZE", cmdImageSize),
    TQ_CMD("CANVASSIZE", cmdCanvasSize),
    TQ_CMD("IMAGEORIENTATION", cmdImageOrientation),
    TQ_CMD("IMAGEROTATE", cmdImageRotate),
};

// fMain.MenuExec, second block: only with a document, in comparison order.
const CommandEntry kExecSecond[] = {
    TQ_CMD("PRINT", cmdPrint),
    TQ_CMD("SELECTALL", cmdSelection),
    TQ_CMD("SELECTNONE", cmdSelection),
    TQ_CMD("INVERTSELECTION", cmdSelection),
    TQ_CMD("LOADSELECTION", cmdSelection),
    TQ_CMD("SAVESELECTION", cmdSelection),
    TQ_CMD("IMAGEPROPERTIES", cmdImageProperties),
    TQ_CMD("CUT", cmdClipboard),
    TQ_CMD("COPY", cmdClipboard),
    TQ_CMD("PASTE", cmdClipboard),
    TQ_CMD("CROP", cmdCrop),
    TQ_CMD("NEWIMAGEFROMCROP", cmdCrop),
    TQ_CMD("200", cmdViewZoom),
    TQ_CMD("300", cmdViewZoom),
    TQ_CMD("400", cmdViewZoom),
    TQ_CMD("500", cmdViewZoom),
    TQ_CMD("600", cmdViewZoom),
    TQ_CMD("700", cmdViewZoom),
    TQ_CMD("100", cmdViewZoom),
    TQ_CMD("50", cmdQualitySize),
    TQ_CMD("33", cmdQualitySize),
    TQ_CMD("25", cmdQualitySize),
    TQ_CMD("20", cmdQualitySize),
    TQ_CMD("15", cmdQualitySize),
    TQ_CMD("10", cmdQualitySize),
    TQ_CMD("ORIGINAL", cmdQualitySize),
    TQ_CMD("2x", cmdQualitySize),
    TQ_CMD("3x", cmdQualitySize),
    TQ_CMD("4x", cmdQualitySize),
    TQ_CMD("5x", cmdQualitySize),
    TQ_CMD("x2", cmdQualitySize),
    TQ_CMD("x3", cmdQualitySize),
    TQ_CMD("x4", cmdQualitySize),
    TQ_CMD("x5", cmdQualitySize),
    TQ_CMD("N90", cmdRotation),
    TQ_CMD("N180", cmdRotation),
    TQ_CMD("N270", cmdRotation),
    TQ_CMD("N45", cmdRotation),
    TQ_CMD("A90", cmdRotation),
    TQ_CMD("A180", cmdRotation),
    TQ_CMD("A270", cmdRotation),
    TQ_CMD("A45", cmdRotation),
    TQ_CMD("FLIPH", cmdDirectFilter),
    TQ_CMD("FLIPV", cmdDirectFilter),
    TQ_CMD("INVERT", cmdDirectFilter),
    TQ_CMD("GRAYSCALE", cmdDirectFilter),
    TQ_CMD("RELIEF", cmdDirectFilter),
    TQ_CMD("ERODE", cmdDirectFilter),
    TQ_CMD("DILATE", cmdDirectFilter),
    TQ_CMD("LIGHTSHARPEN", cmdDirectFilter),
    TQ_CMD("HEAVYSHARPEN", cmdDirectFilter),
    TQ_CMD("CUSTOMSHARPEN", cmdFilterDialog),
    TQ_CMD("PAINTING", cmdDirectFilter),
    TQ_CMD("EDGEENHANCE", cmdDirectFilter),
    TQ_CMD("ENHANCEWHITE", cmdDirectFilter),
    TQ_CMD("ENHANCEBLACK", cmdDirectFilter),
    TQ_CMD("LUMPLUS", cmdDirectFilter),
    TQ_CMD("LUMMINUS", cmdDirectFilter),
    TQ_CMD("LIGHTCUSTOM", cmdFilterDialog),
    TQ_CMD("LIGHTEMBOSS", cmdDirectFilter),
    TQ_CMD("HEAVYEMBOSS", cmdDirectFilter),
    TQ_CMD("CUSTOMEMBOSS", cmdFilterDialog),
    TQ_CMD("LIGHTCONTOUR", cmdDirectFilter),
    TQ_CMD("HEAVYCONTOUR", cmdDirectFilter),
    TQ_CMD("CUSTOMCONTOUR", cmdFilterDialog),
    TQ_CMD("LIGHTDIFFUSE", cmdDirectFilter),
    TQ_CMD("HEAVYDIFFUSE", cmdDirectFilter),
    TQ_CMD("CUSTOMDIFFUSE", cmdFilterDialog),
    TQ_CMD("LIGHTENGRAVE", cmdDirectFilter),
    TQ_CMD("HEAVYENGRAVE", cmdDirectFilter),
    TQ_CMD("CUSTOMENGRAVE", cmdFilterDialog),
    TQ_CMD("LIGHTSOFTEN", cmdDirectFilter),
    TQ_CMD("HEAVYSOFTEN", cmdDirectFilter),
    TQ_CMD("CUSTOMSOFTEN", cmdFilterDialog),
    TQ_CMD("LIGHTBLUR", cmdDirectFilter),
    TQ_CMD("HEAVYBLUR", cmdDirectFilter),
    TQ_CMD("CUSTOMBLUR", cmdFilterDialog),
    TQ_CMD("LIGHTNOISE", cmdDirectFilter),
    TQ_CMD("HEAVYNOISE", cmdDirectFilter),
    TQ_CMD("CUSTOMNOISE", cmdFilterDialog),
    TQ_CMD("LIGHTSATURATION", cmdDirectFilter),
    TQ_CMD("HEAVYSATURATION", cmdDirectFilter),
    TQ_CMD("CUSTOMSATURATION", cmdFilterDialog),
    TQ_CMD("WWAVES", cmdDirectFilter),
    TQ_CMD("AADDSCANLINES", cmdDirectFilter),
    TQ_CMD("BBRIGHTNESS", cmdDirectFilter),
    TQ_CMD("FISHEYE", cmdDirectFilter),
    TQ_CMD("LENS", cmdFilterDialog),
    TQ_CMD("WAVES", cmdFilterDialog),
    TQ_CMD("BEND", cmdFilterDialog),
    TQ_CMD("FOLD", cmdFilterDialog),
    TQ_CMD("ROTATE", cmdFilterDialog),
    TQ_CMD("STRETCH", cmdFilterDialog),
    TQ_CMD("TILE", cmdFilterDialog),
    TQ_CMD("TWIRL", cmdFilterDialog),
    TQ_CMD("ADDGRID", cmdFilterDialog),
    TQ_CMD("LENSFLARE", cmdFilterDialog),
    TQ_CMD("ADDNOISE", cmdFilterDialog),
    TQ_CMD("ADDSCANLINES", cmdFilterDialog),
    TQ_CMD("CURTAINHORIZONTAL", cmdDirectFilter),
    TQ_CMD("CURTAINVERTICAL", cmdDirectFilter),
    TQ_CMD("CURTAINCLASSY", cmdDirectFilter),
    TQ_CMD("CURTAINWHITY", cmdDirectFilter),
    TQ_CMD("CUSTOMCURTAIN", cmdFilterDialog),
    TQ_CMD("HAFTONE", cmdFilterDialog),
    TQ_CMD("PIXELIZE", cmdFilterDialog),
    TQ_CMD("CONTRAST", cmdFilterDialog),
    TQ_CMD("BRIGHTNESS", cmdFilterDialog),
    TQ_CMD("GAMMA", cmdFilterDialog),
    TQ_CMD("THERMIQUE", cmdDirectFilter),
    TQ_CMD("XBLACK", cmdDirectFilter),
    TQ_CMD("PHOTOCOP", cmdDirectFilter),
    TQ_CMD("SLANTING", cmdDirectFilter),
    TQ_CMD("HORIZONTAL", cmdDirectFilter),
    TQ_CMD("VERTICAL", cmdDirectFilter),
    TQ_CMD("SQUARY", cmdDirectFilter),
    TQ_CMD("CUSTOMGLASS", cmdFilterDialog),
    TQ_CMD("SOFTRED", cmdDirectFilter),
    TQ_CMD("HARDRED", cmdDirectFilter),
    TQ_CMD("SOFTBLUE", cmdDirectFilter),
    TQ_CMD("HARDBLUE", cmdDirectFilter),
    TQ_CMD("SOFTGREEN", cmdDirectFilter),
    TQ_CMD("HARDGREEN", cmdDirectFilter),
    TQ_CMD("SOFTYELLOW", cmdDirectFilter),
    TQ_CMD("HARDYELLOW", cmdDirectFilter),
    TQ_CMD("PURPLE", cmdDirectFilter),
    TQ_CMD("ORANGE", cmdDirectFilter),
    TQ_CMD("CYAN", cmdDirectFilter),
    TQ_CMD("MAGENTA", cmdDirectFilter),
    TQ_CMD("RETRO", cmdDirectFilter),
    TQ_CMD("WETPAPER", cmdDirectFilter),
    TQ_CMD("SPOTTED", cmdDirectFilter),
    TQ_CMD("RGB2BRG", cmdDirectFilter),
    TQ_CMD("RGB2GBR", cmdDirectFilter),
    TQ_CMD("RGB2RBG", cmdDirectFilter),
    TQ_CMD("RGB2BGR", cmdDirectFilter),
    TQ_CMD("RGB2GRB", cmdDirectFilter),
    TQ_CMD("SEPIATONE", cmdDirectFilter),
    TQ_CMD("OLDPHOTO", cmdDirectFilter),
    TQ_CMD("SKETCH", cmdFilterDialog),
    TQ_CMD("COLORIZE", cmdFilterDialog),
    TQ_CMD("REPLACE", cmdFilterDialog),
    TQ_CMD("REPLACEHUESAT", cmdFilterDialog),
    TQ_CMD("REPLACELUMINOUS", cmdFilterDialog),
    TQ_CMD("SHIFT", cmdFilterDialog),
    TQ_CMD("GREYROTATION", cmdFilterDialog),
    TQ_CMD("EQUALIZE", cmdDirectFilter),
    TQ_CMD("REDUCTION", cmdFilterDialog),
    TQ_CMD("HUEROTATION", cmdFilterDialog),
    TQ_CMD("HUESTRETCH", cmdFilterDialog),
    TQ_CMD("ISOLATE", cmdFilterDialog),
    TQ_CMD("RGBBANKS", cmdFilterDialog),
    TQ_CMD("RGBLEVELS", cmdFilterDialog),
};

#undef TQ_CMD

// The document test of both dispatchers; a failure counts as "no document".
bool refreshActiveImage()
{
    try {
        return mBitmap::GetActiveImage(ActiveImage());
    } catch (...) {
        return false;
    }
}

} // namespace

const fMain::CommandTable& fMain::commandTable()
{
    static const CommandTable table{kExecFirst, kExecSecond, kStaticFirst, kStaticSecond};
    return table;
}

void fMain::registerCommands()
{
    using Member = void (fMain::*)(const std::string&);
    const std::pair<const char*, Member> own[] = {
        {"cmdOpen", &fMain::cmdOpen},
        {"cmdClose", &fMain::cmdClose},
        {"cmdSave", &fMain::cmdSave},
        {"cmdSaveAs", &fMain::cmdSaveAs},
        {"cmdPrinterSetup", &fMain::cmdPrinterSetup},
        {"cmdArrangeWindows", &fMain::cmdArrangeWindows},
        {"cmdReset", &fMain::cmdReset},
        {"cmdUndo", &fMain::cmdUndo},
        {"cmdRedo", &fMain::cmdRedo},
        {"cmdCreateNewCopy", &fMain::cmdCreateNewCopy},
        {"cmdCopyImageToClipboard", &fMain::cmdCopyImageToClipboard},
        {"cmdCreateFromClipboard", &fMain::cmdCreateFromClipboard},
        {"cmdSelection", &fMain::cmdSelection},
        {"cmdClipboard", &fMain::cmdClipboard},
        {"cmdCrop", &fMain::cmdCrop},
        {"cmdViewZoom", &fMain::cmdViewZoom},
        {"cmdQualitySize", &fMain::cmdQualitySize},
        {"cmdRotation", &fMain::cmdRotation},
        {"cmdDirectFilter", &fMain::cmdDirectFilter},
        {"cmdCaptureDesktop", &fMain::cmdCaptureDesktop},
        {"cmdCaptureForeground", &fMain::cmdCaptureForeground},
        {"cmdCaptureBackground", &fMain::cmdCaptureBackground},
        {"cmdCustomCapture", &fMain::cmdCustomCapture},
        {"cmdWallpaper", &fMain::cmdWallpaper},
    };
    for (const auto& [name, member] : own)
        registerCommand(name, [this, m = member](const std::string& key) { (this->*m)(key); });
    registerSubsystemCommands(*this);
}

bool fMain::registerCommand(const std::string& command, CommandHandler handler)
{
    const CommandTable& t = commandTable();
    for (auto block : {t.execFirst, t.execSecond, t.staticFirst, t.staticSecond})
        for (const CommandEntry& e : block)
            if (command == e.command) {
                commands_[command] = std::move(handler);
                return true;
            }
    return false;
}

bool fMain::dispatch(std::span<const CommandEntry> block, const std::string& Key)
{
    for (const CommandEntry& e : block) {
        if (Key != e.key) continue;
        // A failing command never ends the dispatcher or reaches its sender.
        try {
            if (commandTrace) commandTrace(Key, e.command);
            const auto it = commands_.find(std::string_view(e.command));
            if (it != commands_.end() && it->second) it->second(Key);
        } catch (...) {
        }
        return true;
    }
    return false;
}

void fMain::MenuExec(const std::string& Key)
{
    const bool hasDocument = refreshActiveImage();
    if (hasDocument || Key == "CREATEFROMCLIPBOARD") {
        if (dispatch(kExecFirst, Key)) {
            // After a command that makes a new document, the new window is
            // the current child: refresh ActiveImage to it.
            refreshActiveImage();
            return;
        }
    }
    if (!refreshActiveImage()) return;
    dispatch(kExecSecond, Key);
}

void fMain::MenuStatic(const std::string& Key)
{
    if (dispatch(kStaticFirst, Key)) return;
    if (!refreshActiveImage()) return;
    dispatch(kStaticSecond, Key);
}

// "PRINTERSETUP": the desktop's printer set-up dialog for the printer the
// program keeps; nothing is read back.
void fMain::cmdPrinterSetup(const std::string&) { platform::ports().printerSetup->show(); }

} // namespace tq
