#include "mainwindow/MenuBuilder.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace tq {

QString shortcutText(const char* shortcut)
{
    // The menus write the modifiers as "Shift+Ctrl+"; Qt wants Ctrl first.
    QString s = QString::fromLatin1(shortcut);
    if (s.startsWith(QLatin1String("Shift+Ctrl+"))) s = QLatin1String("Ctrl+Shift+") + s.mid(11);
    return s;
}

namespace {

// The row that describes the "Recent" items (they have no row of their own).
const MenuItemSpec& recentItemSpec(int index)
{
    static std::array<MenuItemSpec, 9> rows = [] {
        std::array<MenuItemSpec, 9> r{};
        for (int i = 0; i < 9; ++i)
            r[static_cast<std::size_t>(i)] = {0, "Recent", "RF", i, "", "", MenuSend::Direct, "", 0,
                                              MenuLabel::None, MenuGate::None, MenuDirect::RecentFile, true, ""};
        return r;
    }();
    return rows[static_cast<std::size_t>(index)];
}

} // namespace

MainMenus BuildMainMenus(QMenuBar* bar, CommandSink& sink)
{
    MainMenus menus;
    const auto tops = kTopMenuCaptions();
    for (std::size_t i = 0; i < tops.size(); ++i) menus.top[i] = bar->addMenu(QString::fromUtf8(tops[i]));

    // Submenus by caption within their top menu.
    std::map<std::pair<int, std::string>, QMenu*> byCaption;
    for (const MenuItemSpec& m : menuTable()) {
        QMenu* parent = m.parent ? byCaption.at({m.topMenu, m.parent})
                                 : menus.top[static_cast<std::size_t>(m.topMenu)];
        if (m.send == MenuSend::Submenu) {
            QMenu* sub = parent->addMenu(QString::fromUtf8(m.caption));
            sub->setObjectName(QString::fromUtf8(m.array));
            byCaption[{m.topMenu, m.caption}] = sub;
            menus.submenus[m.array] = sub;
            continue;
        }
        QAction* a = m.isSeparator() ? parent->addSeparator() : parent->addAction(QString::fromUtf8(m.caption));
        if (!m.isSeparator()) {
            if (*m.shortcut) a->setShortcut(QKeySequence(shortcutText(m.shortcut)));
            const MenuItemSpec* spec = &m;
            if (m.direct == MenuDirect::ToggleToolWindow) {
                // Qt flips a checkable item before telling us; the handler
                // decides from the mark as it was, so put it back first.
                QObject::connect(a, &QAction::triggered, a, [a, spec, &sink](bool checked) {
                    a->setChecked(!checked);
                    MenuClick(*spec, sink);
                });
            } else {
                QObject::connect(a, &QAction::triggered, a, [spec, &sink] { MenuClick(*spec, sink); });
            }
        }
        if (!m.visible) {
            a->setVisible(false);
            a->setEnabled(false);
        }
        if (m.direct == MenuDirect::ToggleToolWindow) a->setCheckable(true);
        a->setObjectName(QString::fromUtf8(m.array) + (m.index >= 0 ? QString::number(m.index) : QString()));
        menus.items[{m.array, m.index}] = a;
    }

    QMenu* recent = menus.submenus.at("mnuRecent");
    for (int i = 0; i < 9; ++i) {
        QAction* a = recent->addAction(QString());
        a->setObjectName(QStringLiteral("RF%1").arg(i));
        a->setVisible(i == 0);
        const MenuItemSpec* spec = &recentItemSpec(i);
        QObject::connect(a, &QAction::triggered, a,
                         [spec, &sink] { sink.MenuDirectAction(MenuDirect::RecentFile, *spec); });
        menus.RF[static_cast<std::size_t>(i)] = a;
    }
    return menus;
}

} // namespace tq
