// A main window with counted documents (CommandFixture) and the helpers the
// geometry dialog tests share: opening a dialog through its key as the menu
// does, typing into its boxes, and reading pictures.
#pragma once

#include "mainwindow/CommandFixture.h"

#include "dialogs/SizeBoxPair.h"
#include "document/ProgramContext.h"
#include "document/StatusPanels.h"
#include "document/fImage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <string>

namespace tq::testing {

class DialogFixture : public CommandFixture {
protected:
    // The key through its dispatcher with the menu's caption as the label,
    // then the dialog it shows (nullptr when none is shown).
    template <class Dialog>
    Dialog* open(const std::string& key, const std::string& caption, bool statik = false)
    {
        LastActionName() = caption;
        if (statik)
            main->MenuStatic(key);
        else
            main->MenuExec(key);
        auto* dialog = main->findChild<Dialog*>();
        return dialog && dialog->isVisible() ? dialog : nullptr;
    }

    // Replaces a box's text by typing, as the user does.
    static void type(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        if (text.isEmpty())
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            QTest::keyClicks(box, text);
    }

    // Chooses a list item as the user does.
    static void choose(QComboBox* list, int index)
    {
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    static std::string text(const QLineEdit* box) { return box->text().toStdString(); }

    static QString sizePanel(const fImage& doc) { return doc.sbInfo->panelText(QStringLiteral("Size")); }

    // The label of the document's last recorded step.
    static std::string lastStepName(fImage& doc) { return doc.undoStore().UndoNames(doc.Undopos() - 1); }

    // Blue, green and red of a pixel packed as 0xBBGGRR.
    static uint32_t bgr(const BitsBuffer& b, int x, int y)
    {
        return uint32_t(b.at(0, x, y)) << 16 | uint32_t(b.at(1, x, y)) << 8 | b.at(2, x, y);
    }
};

} // namespace tq::testing
