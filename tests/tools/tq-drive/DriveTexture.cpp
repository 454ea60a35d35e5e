// tq-drive step of the textures window:
//
//   --texture EFFECT,STRENGTH,SOURCE [--select X1,Y1,X2,Y2]
//
// EFFECT is a tile effect's number (1 to 33) or caption ("Emboss", "Rotate",
// any letter case), STRENGTH the strength row's value (1 to 100), and SOURCE
// one of
//   tile:N       defined texture N (0 to 34), applied by a click on its box
//   text:STRING  the Text tab's text (\n for a line break), rendered and
//                applied with its Apply button in the font and size shown
//   file:PATH    a picture (bmp, jpg, gif or ico) chosen in the From File
//                tab's list of its folder and applied with its button
// --select first makes the rectangle X1 <= x < X2, Y1 <= y < Y2 the
// document's selection. The window's Apply lays the tile over the selection
// as one step; a message shown on the way fails the step with its text.
#include "Drive.h"

#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "toolwindows/fToolTextures.h"

#include <QAction>
#include <QCoreApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QLineEdit>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace tq::drive {
namespace {

fToolTextures& texturesWindow(Drive& d)
{
    if (auto* w = d.main.findChild<fToolTextures*>(QStringLiteral("fToolTextures"), Qt::FindDirectChildrenOnly))
        return *w;
    return *new fToolTextures(&d.main);
}

std::optional<int> effectNumber(const std::string& name)
{
    if (const auto n = parseNumber(name)) {
        if (*n >= 1 && *n <= kTileEffectCount) return static_cast<int>(*n);
        return std::nullopt;
    }
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
        return s;
    };
    const auto& table = tileEffectTable<cBitFilter>();
    for (size_t i = 0; i < table.size(); ++i)
        if (lower(table[i].caption) == lower(name)) return static_cast<int>(i + 1);
    return std::nullopt;
}

void click(QWidget* w)
{
    const QPointF at(3, 3);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

StepResult select(fImage& doc, const std::vector<std::string>& values)
{
    std::vector<long long> v;
    for (const std::string& value : values)
        for (const std::string& part : splitComma(value)) {
            const auto n = parseNumber(part);
            if (!n) return "--select takes X1,Y1,X2,Y2";
            v.push_back(*n);
        }
    if (v.size() != 4) return "--select takes X1,Y1,X2,Y2";
    doc.BitsRegion.Init(0, 0, doc.PictureWidth(), doc.PictureHeight());
    doc.BitsRegion.CreateRect(int32_t(v[0]), int32_t(v[1]), int32_t(v[2]), int32_t(v[3]), 2, true);
    return {};
}

StepResult runTexture(Drive& d, const Step& s)
{
    const std::string& value = s.values[0];
    const size_t c1 = value.find(',');
    const size_t c2 = c1 == std::string::npos ? std::string::npos : value.find(',', c1 + 1);
    if (c2 == std::string::npos) return "--texture takes EFFECT,STRENGTH,SOURCE";
    const std::string effectName = value.substr(0, c1);
    const auto effect = effectNumber(effectName);
    if (!effect) return "no tile effect " + effectName;
    const auto strength = parseNumber(value.substr(c1 + 1, c2 - c1 - 1));
    if (!strength || *strength < 1 || *strength > 100) return "the strength is 1 to 100";
    const std::string source = value.substr(c2 + 1);

    fImage* doc = d.activeDocument();
    if (!doc) return "no active document";
    if (const auto* rect = s.attachedValues("--select")) {
        const StepResult r = select(*doc, *rect);
        if (!r.empty()) return r;
    }

    fToolTextures& w = texturesWindow(d);
    QAction* item = w.TileEffectItems[static_cast<size_t>(*effect - 1)];
    if (item->isEnabled()) item->trigger();   // a greyed entry is the current effect
    w.brUDT->setText(QString::number(*strength));

    const size_t before = d.ports.messageBoxes.shown.size();
    if (source.rfind("tile:", 0) == 0) {
        const auto n = parseNumber(source.substr(5));
        if (!n || *n < 0 || *n >= fToolTextures::kThumbnailCount) return "no defined texture " + source.substr(5);
        w.tab_Click(0);
        click(w.pp[static_cast<size_t>(*n)]);
    } else if (source.rfind("text:", 0) == 0) {
        QString text = QString::fromStdString(source.substr(5));
        text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        w.tab_Click(1);
        w.txtText->setPlainText(text);
        w.TB_ToolsButtons[7]->trigger();
    } else if (source.rfind("file:", 0) == 0) {
        const std::filesystem::path path = std::filesystem::absolute(source.substr(5));
        const std::string folder = path.parent_path().string();
        w.tab_Click(2);
        w.showFolderChooser = [folder] { PickedFolder() = folder; };
        w.TB_FromFileButtons[1]->trigger();
        const auto found = w.ListFile->findItems(QString::fromStdString(path.filename().string()), Qt::MatchExactly);
        if (found.isEmpty()) return "the From File list does not hold " + path.filename().string();
        w.ListFile_Click(w.ListFile->row(found.front()));
        w.TB_FromFileButtons[2]->trigger();
    } else {
        return "the source is tile:N, text:STRING or file:PATH";
    }
    // Every message of an application is a refusal.
    QCoreApplication::processEvents();
    if (d.ports.messageBoxes.shown.size() > before) return d.ports.messageBoxes.shown[before].text;
    std::string error;
    return d.settle(before, error) ? StepResult{} : error;
}

const Register textureFlag({"--texture", 1, "EFFECT,STRENGTH,SOURCE", {"--select"}, runTexture});

} // namespace
} // namespace tq::drive
