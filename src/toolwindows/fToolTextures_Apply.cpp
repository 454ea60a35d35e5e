// The textures window's applications: a tile from one of the three sources,
// changed by the chosen tile effect, laid over the active document's
// selection as one undo step; the Text tab's styles and text tile; the From
// File tab's list, preview and folder.
#include "toolwindows/fToolTextures.h"

#include "document/MainHost.h"
#include "document/Numeric.h"
#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "document/PictureRoutines.h"
#include "picturefiles/PictureLoader.h"
#include "platform/Ports.h"
#include "platform/QtImage.h"
#include "tools/TextureApply.h"
#include "toolwindows/TexturePictures.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>

#include <algorithm>
#include <filesystem>

namespace tq {

namespace {

// The extensions the From File list shows, compared in lower case.
bool listedExtension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QChar(u'.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot + 1).toLower();
    return ext == QLatin1String("bmp") || ext == QLatin1String("jpg") || ext == QLatin1String("gif") ||
           ext == QLatin1String("ico");
}

// The busy pointer for the length of a scope.
struct BusyPointer {
    BusyPointer() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
};

} // namespace

bool fToolTextures::takeTilePicture(int16_t Typ, int16_t n, DibRecord& picture)
{
    switch (Typ) {
    case TextureApply::kDefined: {
        const QImage& image = definedTexturePicture(n);
        if (image.isNull()) return false;
        picture = platform::dibFromImage(image);
        return true;
    }
    case TextureApply::kText:
        picture = picCustom.picture();
        return true;
    case TextureApply::kFromFile: {
        std::optional<DibRecord> loaded = loadPlatformPicture(ChosenFilePath_);
        if (!loaded) {
            platform::MsgBox(TextureApply::fileNotLoaded(ChosenFilePath_), platform::MsgButtons::OK,
                             platform::MsgIcon::Exclamation);
            return false;
        }
        picture = std::move(*loaded);
        return true;
    }
    default: return false;
    }
}

void fToolTextures::ApplyTexture(int16_t Typ, int16_t n)
{
    if (!mBitmap::GetActiveImage(ActiveImage())) return;
    DocumentRef doc = ActiveImage();
    pT_ = DibRecord{};

    DibRecord picture;
    if (!takeTilePicture(Typ, n, picture)) return;
    pT_ = std::move(picture);
    if (!TextureApply::usableTile(pT_.width, pT_.height)) {
        // A tile must step by at least one pixel.
        platform::MsgBox(TextureApply::kTileTooSmall, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        return;
    }

    // The thumbnail's marker is painted before the work.
    platform::DoEvents();
    MainHost* host = mainHost();
    if (!doc || !host || !doc->PictureExists()) return;
    {
        BusyPointer busy;
        if (!TileFilter_) TileFilter_ = std::make_unique<cBitFilter>();
        TextureApply::makeTile(*TileFilter_, pT_, TileEffect_, Strength());

        // The shared engine mirrors the document; a mirror of another size
        // is renewed rather than trusted.
        cBitFilter& engine = host->engine();
        if (engine.BitsWidth() != doc->PictureWidth() || engine.BitsHeight() != doc->PictureHeight() ||
            !engine.Bits().allocated())
            engine.setBits(doc->Bits());
        FilterResult result = TextureApply::texturize(engine, doc->BitsRegion.walkRegion(), TileFilter_->Bits());
        if (result) {
            LastActionName() = TextureApply::actionLabel(Typ);
            host->applyToDocument(doc->document(), std::move(*result));
        }
    }
    giveFocusToMain();
}

// ---- Text tab ---------------------------------------------------------------------------

void fToolTextures::TB_Tools_ButtonClick(int index)
{
    auto flip = [this, index](bool& flag) {
        flag = !flag;
        TB_ToolsButtons[static_cast<size_t>(index)]->setChecked(flag);
    };
    switch (index) {
    case 1: flip(StyleBold_); break;
    case 2: flip(StyleItalic_); break;
    case 3: flip(StyleUnderline_); break;
    case 4: flip(StyleStrikethru_); break;
    case 7: {
        if (txtText->toPlainText().isEmpty()) return;
        bool fitted = true;
        RenderTextTexture(fitted);
        // A blank tile would only brighten the picture: nothing is applied.
        if (!fitted) return;
        ApplyTexture(TextureApply::kText, 0);
        break;
    }
    default: break;
    }
}

void fToolTextures::RenderTextTexture(bool& fitted)
{
    TextStyle style;
    style.face = cboFont->currentText().toStdString();
    int32_t size = 0;
    toInt32(Val(cboSize->currentText().toStdString()), size);
    style.size = static_cast<int16_t>(std::clamp<int32_t>(size, 0, 32767));
    style.bold = StyleBold_;
    style.italic = StyleItalic_;
    style.underline = StyleUnderline_;
    style.strikethru = StyleStrikethru_;
    // The text box's line breaks count as CR LF.
    QString text = txtText->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(u'\n'), QStringLiteral("\r\n"));

    const TextTileResult r =
        tq::RenderTextTexture(picCustom, style, text.toStdString(), static_cast<int16_t>(cboAlign->currentIndex()),
                              static_cast<int16_t>(cboShadow->currentIndex()));
    fitted = r != TextTileResult::NoSizeFits;
    if (!fitted) platform::MsgBox(kNoFittingSize, platform::MsgButtons::OK, platform::MsgIcon::None);
}

// ---- From File tab ---------------------------------------------------------------------

void fToolTextures::CheckImagesFile()
{
    const QDir folder(QString::fromStdString(FileFolder_));
    const QStringList names = folder.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    // A folder without files leaves the list as it was.
    if (names.isEmpty()) return;
    ListFile->clear();
    for (const QString& name : names)
        if (listedExtension(name)) ListFile->addItem(name);
}

void fToolTextures::ListFile_Click(int row)
{
    QListWidgetItem* item = ListFile->item(row);
    if (!item) return;
    pic->clear();
    const std::string name = item->text().toStdString();
    // The root folder already ends with its separator.
    ChosenFilePath_ = !FileFolder_.empty() && FileFolder_.back() == '/' ? FileFolder_ + name
                                                                         : FileFolder_ + "/" + name;
    if (std::optional<DibRecord> preview = loadPlatformPicture(ChosenFilePath_))
        pic->setPixmap(QPixmap::fromImage(platform::imageFromDib(*preview)));
    FileChosen_ = true;
}

void fToolTextures::TB_FromFile_ButtonClick(int index)
{
    if (index == 1) {
        if (showFolderChooser) showFolderChooser();
        // Cancel hands over "", which no listing takes.
        std::error_code ec;
        const std::string& picked = PickedFolder();
        if (!picked.empty() && std::filesystem::is_directory(std::filesystem::path(picked), ec))
            FileFolder_ = picked;
        CheckImagesFile();
        giveFocusToMain();
    } else if (index == 2) {
        if (FileChosen_) ApplyTexture(TextureApply::kFromFile, 0);
        giveFocusToMain();
    }
}

} // namespace tq
