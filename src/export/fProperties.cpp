#include "export/fProperties.h"

#include "export/ExportDialogLayout.h"
#include "export/fPropertiesValues.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace tq {
namespace {

// One row of the frame: a caption label at the left and a bold value label,
// both 255 twips high; places in twips inside the frame.
struct Row {
    int top;
    const char* caption;
    QLabel* fProperties::*captionLabel;
    QLabel* fProperties::*valueLabel;
    int valueLeft, valueWidth;
};

const Row kRows[] = {
    {360, "Name :", &fProperties::Label1, &fProperties::PName, 720, 4455},
    {720, "Type :", &fProperties::Label2, &fProperties::pType, 720, 4455},
    {1080, "Size :", &fProperties::Label3, &fProperties::PSize, 600, 4575},
    {1440, "Width :", &fProperties::Label8, &fProperties::PWidth, 720, 4455},
    {1800, "Height :", &fProperties::Label9, &fProperties::PHeight, 720, 4575},
    {2160, "Color Depth :", &fProperties::Label6, &fProperties::PDepth, 1080, 4215},
    {2520, "Bits Per Pixel :", &fProperties::Label7, &fProperties::PBits, 1200, 4095},
    {2880, "Resolution :", &fProperties::Label4, &fProperties::PResolution, 1080, 4215},
    {3240, "Parent Folder :", &fProperties::Label5, &fProperties::PParent, 1200, 4095},
    {3600, "Date Created :", &fProperties::Label10, &fProperties::PDate, 1200, 4095},
    {3960, "Attribute :", &fProperties::Label11, &fProperties::PAttribute, 840, 4095},
};

constexpr int kCaptionLeft = 120;
constexpr int kRowHeight = 255;

} // namespace

fProperties::fProperties(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fProperties"));
    setWindowTitle(QStringLiteral("Image Properties"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(exportTwipsToPixels(5625), exportTwipsToPixels(5040));
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setPointSizeF(8.25);
    setFont(formFont);

    Frame1 = new QGroupBox(QStringLiteral("Image Properties"), this);
    Frame1->setGeometry(exportTwipsRect(120, 0, 5415, 4455));
    QFont bold(QStringLiteral("MS Sans Serif"));
    bold.setPointSizeF(8.25);
    bold.setBold(true);
    for (const Row& row : kRows) {
        auto* caption = new QLabel(QString::fromUtf8(row.caption), Frame1);
        caption->setGeometry(exportTwipsRect(kCaptionLeft, row.top, row.valueLeft - kCaptionLeft, kRowHeight));
        this->*row.captionLabel = caption;
        // A caption wider in this font than its place pushes its value to
        // the right rather than hide under it.
        QRect place = exportTwipsRect(row.valueLeft, row.top, row.valueWidth, kRowHeight);
        const int captionRight = caption->x() + caption->fontMetrics().horizontalAdvance(caption->text()) + 3;
        if (captionRight > place.left()) {
            caption->resize(captionRight - caption->x(), caption->height());
            place.setLeft(captionRight);
        }
        auto* value = new QLabel(Frame1);
        value->setFont(bold);
        value->setTextFormat(Qt::PlainText);
        value->setGeometry(place);
        this->*row.valueLabel = value;
    }
    PName->setObjectName(QStringLiteral("PName"));

    cmdExit = new QPushButton(QStringLiteral("OK"), this);
    cmdExit->setGeometry(exportTwipsRect(4440, 4560, 1020, 345));
    cmdExit->setDefault(true);
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
}

void fProperties::Form_Load() { ShowProperties(); }

void fProperties::ShowProperties()
{
    const PropertiesTexts t = describePictureFile(FileName);
    const std::pair<QLabel*, const std::string*> labels[] = {
        {PName, &t.PName},   {pType, &t.pType},     {PSize, &t.PSize},           {PWidth, &t.PWidth},
        {PHeight, &t.PHeight}, {PDepth, &t.PDepth}, {PBits, &t.PBits},           {PResolution, &t.PResolution},
        {PParent, &t.PParent}, {PDate, &t.PDate},   {PAttribute, &t.PAttribute},
    };
    for (const auto& [label, value] : labels) label->setText(QString::fromStdString(*value));
}

void fProperties::cmdExit_Click() { close(); }

} // namespace tq
