#include "document/StatusPanels.h"

#include <QLabel>

namespace tq {
namespace {

struct PanelLayout {
    const char* key;
    const char* text;   // also the panel's tip
    int widthTwips;
};

constexpr PanelLayout kPanels[StatusPanels::kPanelCount] = {
    {"", "Document", 2100},
    {"Format", "Actions:", 2700},
    {"Size", "Path :", 5970},
    {"Pixel", "Pixel : ", 2100},
    {"Zoom", "Zoom :", 1800},
};

constexpr int kTwipsPerPixel = 15;

} // namespace

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("sbInfo"));
    setSizeGripEnabled(false);
    for (int i = 0; i < kPanelCount; ++i) {
        auto* label = new QLabel(QString::fromLatin1(kPanels[i].text), this);
        label->setObjectName(QStringLiteral("sbInfoPanel%1").arg(i + 1));
        label->setToolTip(label->text());
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        // The path panel takes what room is left and cuts a long path off at
        // its edge; the others keep their width. No panel grows with its
        // text, so in a narrow window none is drawn over another.
        if (i == 2) {
            label->setMinimumWidth(1);
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        } else {
            label->setFixedWidth(kPanels[i].widthTwips / kTwipsPerPixel);
        }
        addWidget(label, i == 2 ? 1 : 0);
        panels_[static_cast<size_t>(i)] = label;
    }
}

QLabel* StatusPanels::panel(int index) const
{
    if (index < 1 || index > kPanelCount) return nullptr;
    return panels_[static_cast<size_t>(index - 1)];
}

void StatusPanels::setPanelText(int index, const QString& text)
{
    if (QLabel* l = panel(index)) l->setText(text);
}

QString StatusPanels::panelText(int index) const
{
    const QLabel* l = panel(index);
    return l ? l->text() : QString();
}

int StatusPanels::indexOf(const QString& key)
{
    if (key.isEmpty()) return 0;
    for (int i = 0; i < kPanelCount; ++i)
        if (key == QLatin1String(kPanels[i].key)) return i + 1;
    return 0;
}

void StatusPanels::setPanelText(const QString& key, const QString& text) { setPanelText(indexOf(key), text); }

QString StatusPanels::panelText(const QString& key) const { return panelText(indexOf(key)); }

} // namespace tq
