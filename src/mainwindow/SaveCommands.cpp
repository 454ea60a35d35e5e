#include "mainwindow/SaveCommands.h"

#include "document/DocumentNames.h"
#include "document/PathParts.h"
#include "document/Settings.h"
#include "document/PictureRouting.h"
#include "mainwindow/FileCommands.h"

#include "platform/Ports.h"

namespace tq {

namespace fs = std::filesystem;

namespace {

void reportFailure(const mBitmap::SaveResult& saved)
{
    // A picture the format cannot hold is named as such; any other failure
    // gets the general message.
    const std::string& why = saved.refusal;
    platform::MsgBox(why.empty() ? std::string(kSaveFailed) : why, platform::MsgButtons::OK,
                     platform::MsgIcon::Exclamation, "Talvex Quarlend");
}

} // namespace

bool SaveCommand(SaveableDocument& doc, SaveContext& ctx)
{
    const std::string tag = doc.Tag();
    if (!SavesInPlace(tag)) return SaveAsCommand(doc, ctx);
    // The extension is compared in lower case; the name itself is kept as it
    // is, since "Photo.JPG" and "Photo.jpg" are two different files here.
    if (const mBitmap::SaveResult saved = doc.save(tag, LowerCase(FileExtension(tag))); !saved) {
        reportFailure(saved);
        return false;
    }
    doc.setChanged(false);
    doc.setCaption(Module4::FileTitle(tag));
    return true;
}

bool SaveAsCommand(SaveableDocument& doc, SaveContext& ctx)
{
    std::string folder = ctx.settings.SaveFolder.text();
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(fs::u8path(folder), ec)) {
        folder = ctx.programFolder.string();
        ctx.settings.SaveFolder.assign(folder);
    }
    platform::FileDialogRequest request;
    request.title = "Save as";
    request.filter = SaveFileFilter();
    request.initialDir = folder;
    request.overwritePrompt = true;
    const std::optional<platform::FileDialogAnswer> answer = platform::ports().fileDialogs->save(request);
    if (!answer || answer->path.empty()) return false;
    const std::string* path = &answer->path;
    if (const mBitmap::SaveResult saved = doc.save(*path, FileExtension(*path)); !saved) {
        reportFailure(saved);
        return false;
    }
    doc.setChanged(false);
    const std::string tag = ctx.uniqueDocName ? ctx.uniqueDocName(*path) : Module3::UniqueDocName(*path);
    doc.setTag(tag);
    doc.setCaption(Module4::FileTitle(tag));
    ctx.settings.SaveFolder.assign(FolderWithSlash(*path));
    return true;
}

} // namespace tq
