// Access keys (Alt and a letter) for the whole main window, whatever has the
// focus: the menu bar's titles and the operation window's buttons and tabs
// answer one rule. A key owned by one enabled control acts on it. A key that
// several own never starts an operation or changes data: each press moves on
// to the next of its owners (a menu title opens its menu, a button takes the
// focus, a tab is selected), the menu bar's titles first. While a run goes,
// Stop's key stops at the first press.
//
// Qt alone answers differently by focus: the operation window's keys work
// only while the focus is inside it, the menu bar's titles win everywhere
// else, and a shared key clicks one owner or only focuses it.
#include "frmMain.h"

#include "mainwindow/Station.h"
#include "operation/TabStrip.h"
#include "operation/frmProgram.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>

#include <vector>

namespace {

bool IsAccessKey(const QKeyEvent& event)
{
    const int key = event.key();
    return event.modifiers() == Qt::AltModifier
        && ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9));
}

} // namespace

bool frmMain::AccessKeyOwner::Current() const
{
    if (title)
        return title->menu() && QApplication::activePopupWidget() == title->menu();
    if (button)
        return button->hasFocus();
    return tabs->hasFocus() && tabs->currentIndex() == tab;
}

std::vector<frmMain::AccessKeyOwner> frmMain::AccessKeyOwners(const QKeyEvent& event) const
{
    const QKeySequence pressed(QKeyCombination(Qt::AltModifier, Qt::Key(event.key())));
    const auto opens = [&](const QString& caption) { return QKeySequence::mnemonic(caption) == pressed; };
    std::vector<AccessKeyOwner> owners;
    for (QAction* title : menuBar()->actions()) {
        if (title->isVisible() && title->isEnabled() && opens(title->text()))
            owners.push_back({title, nullptr, nullptr, -1});
    }
    if (!frmP || m_operationUnloaded || !frmP->isVisible())
        return owners;
    for (QAbstractButton* button : frmP->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->isEnabled() && opens(button->text()))
            owners.push_back({nullptr, button, nullptr, -1});
    }
    QTabBar* tabs = frmP->tabOperation->Tabs();
    if (tabs->isVisible() && tabs->isEnabled()) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->isTabVisible(i) && tabs->isTabEnabled(i) && opens(tabs->tabText(i)))
                owners.push_back({nullptr, nullptr, tabs, i});
        }
    }
    return owners;
}

bool frmMain::RouteAccessKey(QObject* receiver, QKeyEvent* event)
{
    // A new key begins with its shortcut override.
    if (event->type() == QEvent::ShortcutOverride)
        m_accessKeyTakenInMenu = 0;
    else if (event->key() == m_accessKeyTakenInMenu) {
        m_accessKeyTakenInMenu = 0;
        return true;
    }
    if (!receiver->isWidgetType() || !IsAccessKey(*event) || QApplication::activeModalWidget())
        return false;
    auto* widget = static_cast<QWidget*>(receiver);
    // A menu of the menu bar, open: only a key shared with other owners
    // moves on from it; any other key picks the menu's own item.
    auto* openMenu = qobject_cast<QMenu*>(widget);
    if (!openMenu && widget->window() != this)
        return false;
    const std::vector<AccessKeyOwner> owners = AccessKeyOwners(*event);
    // The key came to an open menu: that menu's title is where the operator
    // is.
    int current = -1;
    for (int i = 0; i < int(owners.size()) && current < 0; ++i) {
        const AccessKeyOwner& o = owners[size_t(i)];
        current = (openMenu ? o.title && o.title->menu() == openMenu : o.Current()) ? i : -1;
    }
    if (owners.empty() || (openMenu && (owners.size() < 2 || current < 0 || !owners[size_t(current)].title)))
        return false;
    // Taken here: Qt's own shortcuts would answer by focus. The key acts at
    // its press; in an open menu at once (its press, which would pick the
    // menu's own item, is then swallowed).
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        if (!openMenu)
            return true;
        m_accessKeyTakenInMenu = event->key();
    }

    int chosen = -1;
    bool act = owners.size() == 1;
    if (m_station.RunInProgress()) {
        for (int i = 0; i < int(owners.size()); ++i) {
            if (owners[size_t(i)].button == static_cast<QAbstractButton*>(frmP->btnStop)) {
                chosen = i;
                act = true;
            }
        }
    }
    if (chosen < 0)
        chosen = act ? 0 : (current + 1) % int(owners.size());
    const AccessKeyOwner& o = owners[size_t(chosen)];
    if (openMenu)
        openMenu->close();
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    if (o.title) {
        // Its menu drops under its title, as the title's own key opens it.
        o.title->menu()->popup(menuBar()->mapToGlobal(menuBar()->actionGeometry(o.title).bottomLeft()));
    } else if (o.button) {
        if (act)
            o.button->animateClick();
        else
            o.button->setFocus(Qt::ShortcutFocusReason);
    } else {
        o.tabs->setCurrentIndex(o.tab);
        if (!act)
            o.tabs->setFocus(Qt::ShortcutFocusReason);
    }
    return true;
}
