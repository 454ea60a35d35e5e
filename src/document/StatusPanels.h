// The status bar of a document window (sbInfo): five text panels, addressed
// by index 1 to 5 or by key ("Format", "Size", "Pixel", "Zoom"; the first
// panel has none).
#pragma once

#include <QStatusBar>
#include <QString>

#include <array>

class QLabel;

namespace tq {

class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPanelCount = 5;

    explicit StatusPanels(QWidget* parent = nullptr);

    // Index 1 to 5; another index does nothing (and reads "").
    void setPanelText(int index, const QString& text);
    QString panelText(int index) const;
    // By key; a key that no panel has does nothing (and reads "").
    void setPanelText(const QString& key, const QString& text);
    QString panelText(const QString& key) const;
    // Index of the panel with the key, 0 when none has it.
    static int indexOf(const QString& key);

    QLabel* panel(int index) const;

private:
    std::array<QLabel*, kPanelCount> panels_{};
};

} // namespace tq
