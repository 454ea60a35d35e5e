// The textures window: a floating tool window that lays a texture tile over
// the active picture's selection. Three tabs offer the tile: Defined (35
// built-in pictures as thumbnails; a click applies one), Text (a typed text
// in a chosen font, rendered into a tile) and From File (a picture of a
// folder chosen with the folder chooser). The bottom tool bar chooses the
// tile effect that runs on the tile first, and its strength.
//
// The window never keeps the keyboard focus: every use of it gives the
// focus back to the main window.
#pragma once

#include "filters/cBitFilter.h"
#include "core/BitsBuffer.h"
#include "tools/TextTile.h"
#include "tools/TileEffects.h"
#include "toolwindows/FloatingToolWindow.h"

#include <QLabel>
#include <QPixmap>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QComboBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QScrollBar;
class QToolBar;
class QToolButton;

namespace tq {

class cpvSlider;
class UpDownBar;

// A picture box with a single border that loses it while the mouse is
// pressed on it (the tab buttons and the thumbnails).
class PictureBox : public ClickableLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent);
    void setBorder(bool single);
    bool hasBorder() const { return border_; }   // read by tests

private:
    bool border_ = true;
};

class fToolTextures : public FloatingToolWindow {
    Q_OBJECT
public:
    static constexpr int32_t kClientWidthTwips = 3090;
    static constexpr int32_t kClientHeightTwips = 2700;
    static constexpr int32_t kFullHeightTwips = 2800;
    static constexpr int kThumbnailCount = 35;
    static constexpr const char* kNoFittingSize = "Unable to find suitable font size for text";
    static constexpr const char* kDefaultText = "Type your text here!!!!!\n";

    explicit fToolTextures(QWidget* owner);
    ~fToolTextures() override;

    // ---- Public members ----------------------------------------------------
    // Lays a tile over the active document's selection as one undo step:
    // Typ 0 defined texture n (0 to 34), 1 the text tile, 2 the chosen file.
    void ApplyTexture(int16_t Typ, int16_t n);
    // Enables and ranges the thumbnail panel's scroll bar.
    void UppdateScroll();
    // Rebuilds the From File list from the folder's files.
    void CheckImagesFile();

    // The rolled-up height: the bottom of the tab buttons plus 100 twips.
    static int32_t rolledUpHeightTwips();

    // ---- Controls ------------------------------------------------------------
    PictureBox* tabDefined = nullptr;
    PictureBox* tabText = nullptr;
    PictureBox* tabFromFile = nullptr;
    QWidget* FDefined = nullptr;
    QWidget* FText = nullptr;
    QWidget* FFromFile = nullptr;
    // Defined tab.
    QFrame* picFrame = nullptr;
    QFrame* picTxt = nullptr;
    std::array<PictureBox*, kThumbnailCount> pp{};
    QLabel* ppB = nullptr;
    QScrollBar* V = nullptr;
    // Text tab: buttons 1 "Bold", 2 "Italics", 3 "Underline", 4
    // "StrikeThrough", 5 and 6 separators, 7 "Apply" (index 0 unused).
    QToolBar* TB_Tools = nullptr;
    std::array<QAction*, 8> TB_ToolsButtons{};
    QPlainTextEdit* txtText = nullptr;
    QComboBox* cboFont = nullptr;
    QComboBox* cboSize = nullptr;
    QComboBox* cboAlign = nullptr;    // hidden
    QComboBox* cboShadow = nullptr;   // hidden
    // From File tab: buttons 1 browse, 2 apply.
    QListWidget* ListFile = nullptr;
    QLabel* pic = nullptr;
    QToolBar* TB_FromFile = nullptr;
    std::array<QAction*, 3> TB_FromFileButtons{};
    // The bottom tool bar: the tile-effect menu and the strength row.
    QWidget* tb = nullptr;
    QToolButton* tbEffects = nullptr;
    QMenu* mnuTileEffects = nullptr;
    std::array<QAction*, kTileEffectCount> TileEffectItems{};
    QWidget* picBR = nullptr;
    cpvSlider* BR = nullptr;
    QLineEdit* brUDT = nullptr;
    UpDownBar* brUD = nullptr;
    // The text tile (hidden).
    TextTile picCustom;
    // The tab faces: active and inactive.
    QPixmap oDefined, oText, oFromFile, cDefined, cText, cFromFile;

    // ---- State (read by tests) -------------------------------------------------
    int16_t TileEffect() const { return TileEffect_; }
    int32_t Strength() const;
    bool FileChosen() const { return FileChosen_; }
    const std::string& ChosenFilePath() const { return ChosenFilePath_; }
    // The folder the From File list shows.
    const std::string& FileFolder() const { return FileFolder_; }
    bool StyleBold() const { return StyleBold_; }
    bool StyleItalic() const { return StyleItalic_; }
    bool StyleUnderline() const { return StyleUnderline_; }
    bool StyleStrikethru() const { return StyleStrikethru_; }
    // The box the marker stands on.
    int MarkedBox() const { return MarkedBox_; }
    // 0 Defined, 1 Text, 2 From File.
    int ActiveTab() const { return ActiveTab_; }
    // The tile picture of the last application and the tile after its effect.
    const DibRecord& pT() const { return pT_; }
    const BitsBuffer& TileBits() const;

    // The folder chooser, shown modally before the From File list is
    // rebuilt from PickedFolder(); a test puts its own answer in place.
    std::function<void()> showFolderChooser;

    // ---- Handlers -----------------------------------------------------------------
    void tab_Click(int tab);
    void pp_MouseDown(int i);
    void pp_MouseUp(int i);
    void pp_Click(int i);
    void V_Change();
    void TB_Tools_ButtonClick(int index);
    void TB_FromFile_ButtonClick(int index);
    void ListFile_Click(int row);
    // Choosing entry n (1 to 33) of the tile-effect menu.
    void TileEffect_Click(int n);
    void BR_ValueChanged();
    void brUD_Change();
    void brUDT_Change();
    // The program ends: the place of a shown window into the settings.
    void Form_QueryUnload();

protected:
    int rolledUpHeightPx() const override;
    QSize unrolledSizePx() const override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    bool event(QEvent* e) override;

private:
    void buildTabs();
    void buildDefined();
    void buildText();
    void buildFromFile();
    void buildBottomBar();
    void Form_Load();
    void ExpandWindow();
    void moveMarker(int i);
    void RenderTextTexture(bool& fitted);
    // The tile picture of a source; false (after telling the user why,
    // where there is something to tell) when there is none to apply.
    bool takeTilePicture(int16_t Typ, int16_t n, DibRecord& picture);

    std::unique_ptr<cBitFilter> TileFilter_;
    DibRecord pT_;
    int16_t TileEffect_ = kDefaultTileEffect;
    bool FileChosen_ = false;
    std::string ChosenFilePath_;
    std::string FileFolder_;
    bool StyleBold_ = false;
    bool StyleItalic_ = false;
    bool StyleUnderline_ = false;
    bool StyleStrikethru_ = false;
    int MarkedBox_ = 0;
    int ActiveTab_ = 0;
};

} // namespace tq
