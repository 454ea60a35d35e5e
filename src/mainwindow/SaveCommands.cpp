#include "mainwindow/SaveCommands.h"

#include "document/Settings.h"
#include "mainwindow/FileCommands.h"
#include "mainwindow/OpenPreviewDialog.h"

#include <QApplication>
#include <QFileDialog>

namespace tq {

namespace fs = std::filesystem;

namespace {

void reportFailure(SaveContext& ctx)
{
    ctx.messages.show({kSaveFailed, MainMsgButtons::OK, MainMsgIcon::Exclamation, "Talvex Quarlend"});
}

class QtSaveDialog : public SaveDialogPort {
public:
    std::optional<std::string> save(const SaveDialogRequest& r) override
    {
        QFileDialog dlg(QApplication::activeWindow(), QString::fromStdString(r.title),
                        QString::fromStdString(r.initialDir));
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setOption(QFileDialog::DontConfirmOverwrite, !r.overwritePrompt);
        dlg.setNameFilters(QtNameFilters(r.filter));
        if (!r.fileName.empty()) dlg.selectFile(QString::fromStdString(r.fileName));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
        return dlg.selectedFiles().first().toStdString();
    }
};

} // namespace

SaveDialogPort& qtSaveDialog()
{
    static QtSaveDialog d;
    return d;
}

std::string FileTitle(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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
    doc.setCaption(FileTitle(tag));
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
    const std::string tag = ctx.uniqueDocName ? ctx.uniqueDocName(*path) : *path;
    doc.setTag(tag);
    doc.setCaption(FileTitle(tag));
    ctx.settings.SaveFolder.assign(FolderWithSlash(*path));
    return true;
}

} // namespace tq
