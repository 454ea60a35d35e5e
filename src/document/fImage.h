// The document window: one open picture held as a bordered pixel buffer with
// its header, the picture holder pictures enter through, the selection, and
// the progress box that long pixel operations report to.
//
// This holds the pixel members; drawing, zoom, scrolling, the status bar,
// undo snapshots and closing are separate concerns whose entry points
// (UpdateImage, SaveUndoBits, UserControl_Resize, Clear) are declared here
// and kept minimal until they are built.
#pragma once

#include "document/BitsBuffer.h"
#include "document/cBitRegion.h"
#include "platform/Region.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class QProgressBar;
class QScrollBar;

namespace tq {

// The selection type a document holds.
using DocumentSelection = cBitRegion;

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

class fImage : public QWidget {
    Q_OBJECT
public:
    explicit fImage(QWidget* parent = nullptr);
    ~fImage() override;

    // Every document window alive, in creation order.
    static const std::vector<fImage*>& loadedDocuments();

    // ---- Identity and state -------------------------------------------------
    int32_t MeID = 0;          // the document's number, from the document counter
    std::string Tag;           // the document's name (its file path)
    bool Changed = false;      // changed since it was opened or saved
    bool BMExists = false;     // a picture is present

    PictureHolder iSrc;
    DocumentSelection BitsRegion;

    // The progress box along the bottom of the window and its bar (0..100).
    QWidget* picPb = nullptr;
    QProgressBar* cFilterProgress = nullptr;
    // The scroll bars hold the scroll position only; they are never shown
    // while the picture is being taken in.
    QScrollBar* hSB = nullptr;
    QScrollBar* vSB = nullptr;

    // ---- Pixel members ------------------------------------------------------

    // An all-zero W x H picture; nothing happens for a side below 1 or above
    // the largest picture side. Leaves the selection alone.
    void CreateBlank(int32_t dstWidth, int32_t dstHeight);
    // A copy of the pixels; unallocated when there is no picture.
    BitsBuffer Bits() const;
    // Keeps a copy; ignored when there is no picture. Changes nothing else.
    void setBits(const BitsBuffer& bits);
    // Makes the picture the document's picture; a null picture clears the
    // document.
    void PPicture(const QImage& picture);
    // Makes the picture drawn into iSrc the document's picture (black where
    // nothing was drawn); with saveundo an undo step "Update from Layers" is
    // written.
    void SetPicture(bool& saveundo);
    bool PictureExists() const { return BMExists; }
    int32_t PictureWidth() const { return BMExists ? iSrc.Width : 0; }
    int32_t PictureHeight() const { return BMExists ? iSrc.Height : 0; }
    const RectI& ImageRect() const { return ImageRect_; }
    const BitsHeader& Header() const { return BitsHeader_; }

    // ---- Entry points of the view and the undo store --------------------------

    // Repaints the visible part of the picture.
    virtual void UpdateImage();
    // Writes the current pixels as the next undo snapshot.
    virtual void SaveUndoBits();
    // Lays the window out again for the picture's size.
    virtual void UserControl_Resize();
    // Takes the picture away: the buffer is released and BMExists is false.
    virtual void Clear();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    // Shared by PPicture and SetPicture: takes the holder's picture in.
    // False (document unchanged) when it cannot be taken.
    bool takePicture();
    void placeProgressBox();

    BitsBuffer Bits_;
    BitsHeader BitsHeader_;
    RectI ImageRect_{};
};

} // namespace tq
