// The open dialog with its preview panel: a file dialog of our own (Qt's
// non-native one) with the panel frmControls at its right, which shows the
// selected picture fitted into its frame with the file's size, type and
// picture size. The open command reaches it through OpenDialogPort so tests
// can answer it.
#pragma once

#include <QSize>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>

class QFileDialog;
class QLabel;

namespace tq {

// "2 KB": the size in bytes over 1024, to the nearest whole number with
// halves to the even neighbour (1536 bytes give 2, 512 give 0). Works on the
// full 64-bit size, so a file of many gigabytes still gets its label.
std::string SizeLabel(std::uint64_t bytes);

// The size of a picture fitted into room, aspect kept, never enlarged.
QSize FitSize(QSize picture, QSize room);

// The "caption|patterns|..." filter as Qt's name filters.
QStringList QtNameFilters(const std::string& filter);

// The preview panel.
class frmControls : public QWidget {
    Q_OBJECT
public:
    explicit frmControls(QWidget* parent = nullptr);

    // Decodes the file and shows it fitted and centred in Fram, with its
    // size on disk, type and picture size. A file that cannot be decoded
    // (or a folder, or a vanished file) clears the picture and the
    // resolution; the size and type are those of the new file, or empty.
    void OpenDialogPreview(const QString& path);

    QLabel* Fram = nullptr;   // the frame the preview is centred in
    QLabel* pic = nullptr;    // the fitted preview
    QLabel* LSize = nullptr;
    QLabel* LType = nullptr;
    QLabel* LResolution = nullptr;
    // The size of the last decoded picture (0 x 0 when the last one failed).
    int ImageWidth = 0;
    int ImageHeight = 0;
};

struct OpenDialogRequest {
    std::string title;
    std::string initialDir;
    std::string filter;   // "caption|patterns|..."
};

struct OpenDialogAnswer {
    std::string path;
    std::string folder;   // the folder the dialog ended in
};

class OpenDialogPort {
public:
    virtual ~OpenDialogPort() = default;
    // nullopt when cancelled.
    virtual std::optional<OpenDialogAnswer> open(const OpenDialogRequest& request) = 0;
};

// The Qt dialog with the preview panel.
OpenDialogPort& qtOpenDialog();

// Builds the dialog (not shown) for a request; the panel is reachable as
// the dialog's child named "frmControls".
QFileDialog* createOpenPreviewDialog(const OpenDialogRequest& request, QWidget* parent);

} // namespace tq
