#include "mainwindow/SaveCommands.h"

#include "document/Module3.h"
#include "document/Module4.h"
#include "document/Settings.h"
#include "mainwindow/FileCommands.h"

#include "platform/Ports.h"

namespace tq {

namespace fs = std::filesystem;

namespace {

void reportFailure(SaveContext& ctx)
{
    ctx.messages.show({kSaveFailed, MainMsgButtons::OK, MainMsgIcon::Exclamation, "Talvex Quarlend"});
}

class PortSaveDialog : public SaveDialogPort {
public:
    std::optional<std::string> save(const SaveDialogRequest& r) override
    {
        platform::FileDialogRequest request;
        request.title = r.title;
        request.filter = r.filter;
        request.initialDir = r.initialDir;
        request.fileName = r.fileName;
        request.overwritePrompt = r.overwritePrompt;
        const std::optional<platform::FileDialogAnswer> answer = platform::ports().fileDialogs->save(request);
        if (!answer) return std::nullopt;
        return answer->path;
    }
};

} // namespace

SaveDialogPort& qtSaveDialog()
{
    static PortSaveDialog d;
    return d;
}

bool SaveCommand(SaveableDocument& doc, SaveContext& ctx)
{
    const std::string tag = doc.Tag();
    if (!SavesInPlace(tag)) return SaveAsCommand(doc, ctx);
    // The extension is compared in lower case; the name itself is kept as it
    // is, since "Photo.JPG" and "Photo.jpg" are two different files here.
    if (!doc.save(tag, LowerCase(FileExtension(tag)))) {
        reportFailure(ctx);
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
    const std::optional<std::string> path =
        ctx.dialog.save({"Save as", SaveFileFilter(), folder, std::string(), true});
    if (!path || path->empty()) return false;
    if (!doc.save(*path, FileExtension(*path))) {
        reportFailure(ctx);
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
