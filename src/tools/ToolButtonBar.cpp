#include "tools/ToolButtonBar.h"

#include "tools/ToolIcons.h"

#include <QAction>
#include <QToolButton>

namespace tq::tools {

ToolButtonBar::ToolButtonBar(QWidget* parent) : QToolBar(QStringLiteral("Tools"), parent)
{
    setObjectName(QStringLiteral("tbTool"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(kToolIconSize, kToolIconSize));
    for (const ToolButtonSpec& spec : kToolButtons) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(spec.key));
        b->setIcon(QIcon(QPixmap::fromImage(toolPicture(spec.index))));
        b->setIconSize(iconSize());
        b->setToolTip(QString::fromLatin1(spec.toolTip));
        b->setAccessibleName(QString::fromLatin1(*spec.toolTip ? spec.toolTip : spec.key));
        b->setAutoRaise(true);
        b->setCheckable(spec.style != ButtonStyle::Push);
        b->setFocusPolicy(Qt::NoFocus);
        const int16_t index = spec.index;
        connect(b, &QToolButton::clicked, this, [this, index] { clicked(index); });
        // Separators between the tools, the toggles and the zoom buttons.
        if (index == kGetColorButton || index == kZoomInButton || index == kHandScrollButton) addSeparator();
        addWidget(b);
        buttons_[static_cast<size_t>(index - 1)] = b;
    }
}

bool ToolButtonBar::ButtonValue(int16_t index) const
{
    return index >= 1 && index <= kToolButtonCount && pressed_[static_cast<size_t>(index - 1)];
}

QToolButton* ToolButtonBar::button(int16_t index) const
{
    return index >= 1 && index <= kToolButtonCount ? buttons_[static_cast<size_t>(index - 1)] : nullptr;
}

void ToolButtonBar::setButtonValue(int16_t index, bool pressed)
{
    if (index < 1 || index > kToolButtonCount) return;
    const auto i = static_cast<size_t>(index - 1);
    pressed_[i] = pressed;
    QToolButton* b = buttons_[i];
    // A push button can be held pressed by code; it shows so.
    if (!b->isCheckable() && pressed) b->setCheckable(true);
    b->setChecked(pressed);
    if (!pressed && kToolButtons[i].style == ButtonStyle::Push) b->setCheckable(false);
}

void ToolButtonBar::DisableTools(int16_t PreserveTool)
{
    const int16_t count = ButtonCount();
    for (int16_t i = 1; i <= count; ++i)
        if (i != PreserveTool) setButtonValue(i, false);
}

void ToolButtonBar::clicked(int16_t index)
{
    const ToolButtonSpec& spec = kToolButtons[static_cast<size_t>(index - 1)];
    int value = 0;
    switch (spec.style) {
    case ButtonStyle::Group:
        for (int16_t i = 1; i <= kLastGroupButton; ++i)
            if (i != index) setButtonValue(i, false);
        setButtonValue(index, true);
        value = 1;
        break;
    case ButtonStyle::Check:
        value = ButtonValue(index) ? 0 : 1;
        setButtonValue(index, value == 1);
        break;
    case ButtonStyle::Push:
        setButtonValue(index, false);
        value = 0;
        break;
    }
    emit ButtonClick(index, QString::fromLatin1(spec.key), value);
}

} // namespace tq::tools
