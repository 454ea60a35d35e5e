// The splash window: shown first; half a second later its timer runs the
// start-up once. A click on it, a double-click on its picture, or the
// picture losing the focus to another window of the program closes it.
#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

class QIcon;
class QKeyEvent;
class QLabel;

namespace tq {

class fSplash : public QWidget {
    Q_OBJECT
public:
    // The delay between showing the splash and starting the program.
    static constexpr int kStartDelayMs = 500;
    // A test passes a shorter delay so it need not wait for the real one.
    explicit fSplash(QWidget* parent = nullptr, int startDelayMs = kStartDelayMs);

    QLabel* picSplash = nullptr;
    QTimer tSplash;   // the start delay, enabled from the start

    // Run by the timer (the start-up closes the splash at its end).
    std::function<void()> onStart;

    void Form_Load();
    void tSplash_Timer();
    void Form_Click();
    void picSplash_DblClick();
    void picSplash_LostFocus();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void changeEvent(QEvent* e) override;
};

// The About box: a picture and an OK button, both close it.
// The program's own icon, drawn once, for the main window, the document
// windows and every other window of the program.
const QIcon& programIcon();

class fAbout : public QWidget {
    Q_OBJECT
public:
    explicit fAbout(QWidget* parent = nullptr);
    QLabel* Image1 = nullptr;
    void cmdOK_Click(int index);
    void Image1_DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    // Enter and Escape close the box, as they close every dialog.
    void keyPressEvent(QKeyEvent* e) override;
};

} // namespace tq
