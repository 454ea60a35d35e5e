// The open dialog with its preview panel: a file dialog of our own (Qt's
// non-native one) with the panel frmControls at its right, which shows the
// selected picture fitted into its frame with the file's size, type and
// picture size. The open command reaches it through the platform's
// picture-dialog port, so tests can answer it.
#pragma once

#include "document/SizeLabel.h"
#include "platform/Ports.h"

#include <QSize>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>

class QFileDialog;
class QLabel;

namespace tq {

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

// Makes the open dialog with the preview panel the program's picture open
// dialog (the platform's picture-dialog port), unless a test swapped it.
void installPictureOpenDialog();

// Builds the dialog (not shown) for a request; the panel is reachable as
// the dialog's child named "frmControls".
QFileDialog* createOpenPreviewDialog(const platform::FileDialogRequest& request, QWidget* parent);

} // namespace tq
