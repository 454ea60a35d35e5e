// "Print": prints the active document on one page. It previews the picture
// reduced into a 300 x 300 box and lets the user choose the printer, the
// quality, the orientation, the number of copies, whether the picture is
// fitted to the page and whether it is centred; "Print" sends it through
// PrintPictureToFitPage. The picture travels through the clipboard, which
// holds it afterwards. Printing to a file asks for the file every time and
// confirms replacing one. The dialog is gone once closed, however it closes.
#pragma once

#include "document/ProgramContext.h"
#include "core/BitsBuffer.h"
#include "platform/Ports.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tq {

class UpDownBar;

class fPrint : public QDialog {
    Q_OBJECT
public:
    explicit fPrint(QWidget* parent = nullptr);

    // The side of the box the preview is reduced into, in pixels.
    static constexpr int kPreviewSide = 300;
    static constexpr const char* kUnableToPrint = "Unable to print";
    // The file the PDF printer first offers, and what confirms replacing a
    // file (after its path).
    static constexpr const char* kDefaultPdfName = "print.pdf";
    static constexpr const char* kReplaceQuestion = " already exists.\nDo you want to replace it?";

    QFrame* lblBkSrc = nullptr;   // the preview frame
    QLabel* iSrc = nullptr;       // the preview, centred in the frame
    QLabel* lblSelect = nullptr;
    QComboBox* cbPrinters = nullptr;
    QLabel* lblQuality = nullptr;
    QComboBox* cbQuality = nullptr;   // "Draft", "Low", "Medium", "High"
    QLabel* lblOrientation = nullptr;
    QComboBox* cbOrientation = nullptr;   // 0 "Portrait", 1 "Landscape"
    QLabel* lblCopies = nullptr;
    QLineEdit* txtCopies = nullptr;   // shows the number of copies
    UpDownBar* sbCopies = nullptr;    // the number of copies, 1 to 99
    QLabel* lblAdjust = nullptr;
    QCheckBox* chkCenter = nullptr;
    QCheckBox* chkFit = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;
    // The picture to print, as read back from the clipboard.
    std::optional<DibRecord> iOut;

    // The number of copies sbCopies holds.
    int Copies() const;
    void setCopies(int copies);

    // Loading: the preview of the active document and the lists.
    void Form_Load();
    void cbPrinters_Click();
    void sbCopies_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Prints pic (its size taken at the screen's 96 pixels to the inch) on
    // one page of Prn: iOrientation 1 portrait, 2 landscape; iCenter centres
    // it in the printable area; iFit scales it to the area even when it
    // would fit. True when the page was placed and sent; nothing is sent
    // when no placement can be computed.
    bool PrintPictureToFitPage(platform::Printer& Prn, const DibRecord& pic, int iOrientation, bool iCenter,
                               bool iFit, int copies = 1,
                               platform::PrintQuality quality = platform::PrintQuality::Medium);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The clipboard's picture read back, when it is the document's picture.
    bool takePictureFromClipboard(fImage& doc);
    // The PDF printer's file for this print, asked for every time; false
    // when the user gave none.
    bool pdfFileChosen(platform::Printer& printer);

    DocumentRef target_;
};

} // namespace tq
