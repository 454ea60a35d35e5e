// The document window: one open picture held as a bordered pixel buffer with
// its header, the picture holder pictures enter through, the selection, and
// the progress box that long pixel operations report to.
//
// Inside the window the container PImage fills the room above the status bar
// sbInfo and holds the canvas iDst; the view (zoom, layout, scroll position)
// is a ViewLayout, the drawing is the canvas's. The picture itself, its
// selection and its undo snapshots are the Document the window shows; the
// window forwards the document's members under their usual names and
// redraws when the document changes (DocumentView).
#pragma once

#include "core/BitsBuffer.h"
#include "document/CanvasInput.h"
#include "document/Document.h"
#include "document/UndoStore.h"
#include "document/ViewLayout.h"
#include "document/cBitRegion.h"
#include "core/Region.h"
#include "document/PictureRouting.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCloseEvent;
class QCursor;
class QProgressBar;

namespace tq {

class ImageCanvas;
class StatusPanels;

// The outer size in twips a new document window takes (see Form_Load). The
// free area is what the main window's tool bar and option panel leave.
struct DocumentWindowSize {
    int32_t widthTwips = 0;
    int32_t heightTwips = 0;
};
DocumentWindowSize documentWindowSize(int32_t freeWidthTwips, int32_t freeHeightTwips, int32_t imageWidth,
                                      int32_t imageHeight, int32_t statusBarHeight, int32_t containerTop);

// Where the index-th document window goes when windows are cascaded: each
// one step (a title bar's height) below and right of the one before, back
// at the corner when a window of `window`'s size would leave `area`.
QPoint cascadePosition(int index, QSize window, QSize area, int step);

// The hidden picture holder: a picture assigned to it gives it the picture's
// size; emptying it keeps the size. Its size is the one place the picture's
// size is kept.
struct PictureHolder {
    QImage Picture;          // null: nothing drawn in
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    bool AutoRedraw = false;

    void setPicture(const QImage& img)
    {
        Picture = img;
        if (!img.isNull()) {
            Width = img.width();
            Height = img.height();
        }
    }
    void clearPicture() { Picture = QImage(); }
    void move(int32_t l, int32_t t, int32_t w, int32_t h)
    {
        Left = l;
        Top = t;
        Width = w;
        Height = h;
    }
};

class fImage : public QWidget, public DocumentView {
    Q_OBJECT
    // First: the names below refer into it.
    Document Doc_;

public:
    // Said when undo, redo or a history jump reaches a step whose snapshot
    // is gone; the picture stays as it is.
    static constexpr const char* kStepMissing = "This step cannot be restored: its undo file is missing or damaged.";
    explicit fImage(QWidget* parent = nullptr);
    ~fImage() override;

    // Every document window alive, in creation order.
    static const std::vector<fImage*>& loadedDocuments();
    // The window showing `doc`; nullptr for a document no window shows.
    static fImage* showing(const Document& doc);

    // The document shown.
    Document& document() { return Doc_; }
    const Document& document() const { return Doc_; }

    // ---- Identity and state (the document's) --------------------------------
    int32_t& MeID = Doc_.MeID;
    std::string& Tag = Doc_.Tag;
    bool& Changed = Doc_.Changed;
    bool& BMExists = Doc_.BMExists;

    PictureHolder iSrc;
    DocumentSelection& BitsRegion = Doc_.BitsRegion;

    // The progress box along the bottom of the window and its bar (0..100).
    QWidget* picPb = nullptr;
    QProgressBar* cFilterProgress = nullptr;
    // The scroll bars hold the scroll position only and are never shown.
    ScrollBarModel* hSB = nullptr;
    ScrollBarModel* vSB = nullptr;

    // The container of the canvas, the canvas and the status bar.
    QWidget* PImage = nullptr;
    ImageCanvas* iDst = nullptr;
    StatusPanels* sbInfo = nullptr;

    // ---- Pixel members ------------------------------------------------------

    // An all-zero W x H picture; nothing happens for a side below 1 or above
    // the largest picture side. Leaves the selection alone.
    void CreateBlank(int32_t dstWidth, int32_t dstHeight);
    // The pixels, to read (a caller that keeps them makes its own copy);
    // an unallocated buffer when there is no picture. Valid until the
    // document's picture next changes.
    const BitsBuffer& Bits() const { return Doc_.Bits(); }
    // The pixels themselves, picture or not (the navigator's thumbnail).
    const BitsBuffer& BitsRef() const { return Doc_.BitsRef(); }
    // Keeps a copy of pixels of the document's own size; false, with the
    // document as it was, when there is no picture or the size differs (a
    // new size comes in through TakeNewPicture). Changes nothing else.
    bool setBits(const BitsBuffer& bits);
    bool setBits(BitsBuffer&& bits);
    // Makes the picture the document's picture; a null picture clears the
    // document.
    void PPicture(const QImage& picture);
    // The same for pixels already in the document's layout: the buffer
    // itself becomes the picture, at its size, with nothing copied. Its
    // margin and marker bytes must be 0 (as a decode for opening gives
    // them). An unallocated buffer clears the document; false when there is
    // no picture afterwards.
    bool PPicture(BitsBuffer&& pixels);
    // Makes the picture drawn into iSrc the document's picture (black where
    // nothing was drawn); with saveundo an undo step "Update from Layers" is
    // written.
    void SetPicture(bool& saveundo);
    bool PictureExists() const { return BMExists; }
    int32_t PictureWidth() const { return Doc_.PictureWidth(); }
    int32_t PictureHeight() const { return Doc_.PictureHeight(); }
    const RectI& ImageRect() const { return Doc_.ImageRect(); }
    const BitsHeader& Header() const { return Doc_.Header(); }

    // ---- View: zoom, layout and scrolling ---------------------------------------

    const ViewLayout& View() const { return View_; }
    int32_t ZoomFactor() const { return View_.ZoomFactor(); }
    // 0 or less gives 1, above 15 gives 15; the selection's display factor
    // follows and the window is laid out again.
    void setZoomFactor(int32_t n) { View_.setZoomFactor(n); }
    void ZoomIn() { View_.ZoomIn(); }
    void ZoomOut() { View_.ZoomOut(); }
    // Lays the window out again for the picture's size.
    virtual void UserControl_Resize();
    // The window's resize: places the progress box, turns persistent drawing
    // off and lays out; nothing while this or the main window is minimised.
    void Form_Resize();
    int32_t BarsWidth() const { return View_.BarsWidth(); }
    void setBarsWidth(int32_t v) { View_.setBarsWidth(v); }
    bool MouseScroll() const { return View_.MouseScroll(); }
    void setMouseScroll(bool v);
    bool HoldPaint() const { return View_.HoldPaint; }
    // Moves the view; a value outside 0..Max is refused by its bar.
    void Scroll(int32_t hV, int32_t& VV);
    void GetDimensions(int32_t& sW, int32_t& sH, int32_t& dW, int32_t& dH) const
    {
        View_.GetDimensions(sW, sH, dW, dH);
    }
    void GetSBV(int32_t& hV, int32_t& VV) const { View_.GetSBV(hV, VV); }
    void GetSBM(int32_t& hM, int32_t& vM) const { View_.GetSBM(hM, vM); }

    // ---- Canvas -------------------------------------------------------------------

    // Repaints the visible part of the picture.
    virtual void UpdateImage();
    // Draws the selection outline once without repainting the pixels.
    void UpdateRegion();
    // The moving selection outline (500 ms steps) on and off.
    void StartTimer();
    void StopTimer();
    // Rubber bands of the tools, corners in picture coordinates.
    void ShowShape(int32_t shpType, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, bool NewLine);
    void HideShape(int32_t shpType);
    void SetAutoRedraw(bool Auto);
    // Takes the picture away: the canvas is hidden, repainting held until the
    // next layout, the buffer released and BMExists false.
    virtual void Clear();
    // Repaints only the canvas over picture pixels r (right and bottom
    // exclusive): a painting step redraws the band it changed.
    void UpdatePictureRect(const RectI& r);
    // The canvas pointer (a CanvasPointer number, see ImageCanvas.h); with a
    // MouseIcon the picture pointer 99 shows takes it first.
    void setCanvasPointer(int16_t MousePointer, const QCursor* MouseIcon = nullptr);

    // ---- Canvas input -------------------------------------------------------------
    // The canvas's handlers, X and Y in canvas pixels, Button, Shift and
    // KeyCode in the platform's numbers (CanvasInput.h). The mouse handlers
    // do nothing without a picture; so do the key handlers, for a tool has
    // nothing to act on then.
    //
    // A canvas point (X, Y) lies on picture pixel
    //   ((hSB value + X) rounded half to even) \ zoom, likewise for y,
    // with \ the whole-number division truncating toward zero. A move reaches
    // the tools only when it lands on another picture pixel than the last
    // move did. In hand-scroll mode a left drag moves the view with the
    // pointer, screen pixel for screen pixel, kept within 0..Max.
    void iDst_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void idst_MouseMove(int16_t Button, int16_t Shift, float X, float Y);
    void iDst_MouseUp(int16_t Button, int16_t Shift, float X, float Y);
    void iDst_KeyDown(int16_t KeyCode, int16_t Shift);
    // Also run by the clipboard commands with 17 (Ctrl) first.
    void idst_KeyUp(int16_t KeyCode, int16_t Shift);
    // The phases of a stroke at picture pixel (X, Y), handed to the tools.
    void idstMouseDown(int16_t Button, int16_t Shift, int32_t X, int32_t Y);
    void idstMouseMove(int16_t Button, int16_t Shift, int32_t X, int32_t Y);
    void idstMouseUp(int16_t Button, int16_t Shift, int32_t X, int32_t Y);
    // A move made by a key: the drag step at picture pixel (X, Y), when that
    // is another pixel than the last move's.
    void KeyboardStep(int16_t Button, int32_t X, int32_t Y);
    // The picture pixel under canvas point (X, Y).
    PointI PicturePoint(float X, float Y) const;
    // The left button went down on this canvas and has not come up.
    bool HandGrab() const { return HandGrab_; }
    // This window's painting tools, made through the main window the first
    // time they are needed; nullptr without a main window or once unloaded.
    CanvasInput* canvasInput();
    // The pixels in place, for the painting tools: they paint into them and
    // repaint what they changed. Never resized through this. The pixels are
    // the document's own block from here on (the engine may have been
    // reading the same one).
    BitsBuffer& paintBits() { return Doc_.paintBits(); }

    // ---- Undo -------------------------------------------------------------------

    // Writes the current pixels as snapshot Undopos, named by LastActionName.
    virtual void SaveUndoBits();
    // Shows the step before (after) the one shown; true when one was restored.
    bool UndoBits();
    bool RedoBits();
    // Makes the snapshot file bName the picture; the counters are the
    // caller's. False, with the document as it was, for a missing or damaged
    // file.
    bool LoadUndoBits(const std::string& bName);
    // A jump to step `index` of the history (a click on its row; 0 is the
    // state the document was opened in). It also clears image_is_zoomed: the
    // state shown afterwards is no quality zoom a next zoom may step back
    // over. False, with the document as it was, for a step that does not
    // exist or cannot be read.
    bool JumpToHistoryStep(int index);
    // Makes the history window's rows show this document's steps.
    void SwapHistoy();
    // The snapshots up to and including the state shown, and those on disk.
    int32_t Undopos() const { return Doc_.Undopos(); }
    int32_t UndoMax() const { return Doc_.UndoMax(); }
    // The document's snapshot store (made with the window's MeID and the
    // program folder on first use): history-row jumps go through it.
    UndoStore& undoStore() { return Doc_.undoStore(); }
    // The pixels the store keeps.
    const BitsBuffer& undoBits() const { return Doc_.undoBits(); }

    // DocumentView: how a new size and a restored snapshot are shown.
    void pictureSized(int32_t w, int32_t h) override;
    void pictureRestored(bool sizeChanged) override;
    void setActionsPanel(const std::string& text) override;
    void setPixelPanel(const std::string& text) override;
    void snapshotNotWritten(const std::filesystem::path& folder, int error) override;
    void snapshotMissing(int step) override;

    // ---- Clipboard and saving -----------------------------------------------------

    // The picture, without its margin, onto the clipboard.
    void BitsCopyToClipboard();
    // A picture on the clipboard becomes the document's picture.
    void PasteFromClipboard();
    // Writes the picture to FileName in the format FileExtension selects;
    // fails when nothing was written (the file it replaces is then as it was).
    // The one place a document's picture goes to a file.
    mBitmap::SaveResult save(const std::string& FileName, const std::string& FileExtension);

    // ---- Closing ----------------------------------------------------------------

    // The close query: asks whether to save a changed document (see the
    // .cpp for when) and sets Cancel to 1 when the window is to stay open.
    // UnloadMode is not looked at: every way of closing is treated alike.
    void Form_QueryUnload(int16_t& Cancel, int32_t UnloadMode);
    // The close itself: the snapshots go, the history rows go when they are
    // this document's, and the last document empties the navigator and its
    // status panels. Cancel is not used.
    void Form_Unload(int16_t& Cancel);
    bool Unloaded() const { return Unloaded_; }   // read by tests

    // ---- Window life --------------------------------------------------------------

    // Sizes and places a new window from ImageWidth and ImageHeight (the
    // 500 x 500 basis for a picture 100 high or less); the main window runs it
    // when it adds the window. The document number and the fresh selection
    // are taken when the window is made.
    void Form_Load();
    // The window became the active document: unless it was the one activated
    // last, its pixels and selection go to the main window's engine, the
    // status bar shows its size and zoom and the outline starts moving.
    void Form_Activate();
    // Another document became active: the outline stops and is painted over.
    void Form_Deactivate();
    // The progress bar's handlers.
    void cFilterProgress_MouseDown();
    void cFilterProgress_MouseUp();
    void cFilterProgress_Click();
    int32_t cFilterProgressBorderStyle() const { return ProgressBorderStyle_; }   // read by tests

    // ==== Document commands: quality zoom, crop and new pictures ===========
    // (defined in fImage_Commands.cpp)

    // True while this document's last recorded change is a quality zoom, so
    // that the next quality zoom steps back over it instead of adding to it.
    // Every other recorded change (fMain::Update), undo, redo, a jump in the
    // history and the activation of a document clear it.
    bool image_is_zoomed = false;
    // Makes a whole buffer the document's picture at the buffer's size: a
    // blank picture of that size, then the pixels, the selection reset to
    // the whole picture with nothing selected, and the "Size" panel. False,
    // and the document as it was, when a picture of that size cannot be made.
    bool TakeNewPicture(const BitsBuffer& bits);
    // The same, taking the buffer itself instead of a copy of it.
    bool TakeNewPicture(BitsBuffer&& bits);
    // The window's part of taking a new picture in (the document's is
    // Document::TakeNewPicture): laid out for its size, and the "Size" panel.
    void showNewPicture();
    // The "Size" status panel: width "x" height, without blanks.
    void ShowSizePanel();

    // ==== Special effects ==================================================
    // (defined in fImage_Effects.cpp)

    // The picture as it was extracted for an effect, and for the dialogs
    // that show the picture (the effect dialog's thumbnail, the optimised
    // save): the document's pixels without their margin, 0 in every marker
    // byte. It stays until the next effect applied to this window releases
    // it; empty (0 x 0) before the first extraction.
    DibRecord tSrc;
    // The window's reference variable of the effects library's calls.
    int32_t EffectReserved = 0;
    // Fills tSrc with the current picture (empty without one, or when the
    // copy cannot be made).
    const DibRecord& ExtractBitmap();
    // Applies effect ID to the whole picture as one undo step labelled
    // LastActionName: the effect's library call (strength Valu, colour to
    // replace Color, replacement colour replaceColor) draws tSrc processed,
    // the result becomes the pixels at the same size, the selection becomes
    // the whole picture, and the main window's engine and Update follow.
    // Custom false extracts the current picture first; true processes what
    // tSrc holds. An effect that cannot be drawn (no library function, a
    // failed call, no memory) changes neither the picture nor the history
    // and says so; an ID without an effect, or a window without a picture,
    // does nothing. True when the picture changed.
    bool ApplyEffectsToCanvas(int16_t ID, int32_t Valu, int32_t Color, int32_t replaceColor, bool Custom);
    static constexpr const char* kEffectFailed = "The effect could not be applied to the picture.";

protected:
    void resizeEvent(QResizeEvent* e) override;
    // The window's (or its MDI frame's) close: query, then unload.
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Shared by PPicture and SetPicture: takes the holder's picture in.
    // False (document unchanged) when it cannot be taken.
    bool takePicture();
    void placeProgressBox();
    // canvasInput() for an input event, with the pixels made the
    // document's own first.
    CanvasInput* paintingInput();
    void placeStatusBar();
    void applyLayout(LayoutOutcome outcome);

    ViewLayout View_;
    bool Activated_ = false;
    std::vector<int32_t> PolygonPoints_;
    // Hand scrolling and the move de-duplication of the canvas input.
    bool HandGrab_ = false;
    QPoint CursorNow_;
    QPoint CursorPrev_;
    int32_t MovePointX_ = 0;
    int32_t MovePointY_ = 0;
    std::unique_ptr<CanvasInput> Tools_;
    int32_t ProgressBorderStyle_ = 0;
    bool Unloaded_ = false;
};

} // namespace tq
