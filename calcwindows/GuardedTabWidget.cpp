#include "GuardedTabWidget.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QWheelEvent>

bool TGuardedTabBar::RequestCurrentIndex(int index) {
    if (index < 0 || index >= count()) return false;
    if (index == currentIndex()) return true;
    if (FGuard && !FGuard(index)) return false;
    setCurrentIndex(index);
    return true;
}

bool TGuardedTabBar::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        // A tab mnemonic ("&Results") would select its tab without asking.
        const auto* shortcut = static_cast<QShortcutEvent*>(event);
        for (int i = 0; i < count(); ++i) {
            if (isTabEnabled(i) && QKeySequence::mnemonic(tabText(i)) == shortcut->key()) {
                RequestCurrentIndex(i);
                return true;
            }
        }
        return true;
    }
    return QTabBar::event(event);
}

void TGuardedTabBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const int target = tabAt(event->position().toPoint());
        if (target >= 0 && target != currentIndex() && isTabEnabled(target)) {
            // The base class would select the tab on this press (or on the release, in some
            // styles); it never sees a press on another tab, so only the guard decides.
            event->accept();
            RequestCurrentIndex(target);
            return;
        }
    }
    QTabBar::mousePressEvent(event);
}

int TGuardedTabBar::NextEnabledIndex(int offset) const {
    for (int index = currentIndex() + offset; index >= 0 && index < count(); index += offset)
        if (isTabEnabled(index)) return index;
    return -1;
}

void TGuardedTabBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Left && event->key() != Qt::Key_Right) {
        QTabBar::keyPressEvent(event);
        return;
    }
    const bool towardsStart = event->key() == (isRightToLeft() ? Qt::Key_Right : Qt::Key_Left);
    const int target = NextEnabledIndex(towardsStart ? -1 : 1);
    if (target >= 0) RequestCurrentIndex(target);
    event->accept();
}

void TGuardedTabBar::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

TGuardedTabWidget::TGuardedTabWidget(QWidget* parent)
    : QTabWidget(parent), FTabBar(new TGuardedTabBar(this)) {
    setTabBar(FTabBar);
}

void TGuardedTabWidget::keyPressEvent(QKeyEvent* event) {
    const bool isTabKey = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (!isTabKey || !(event->modifiers() & Qt::ControlModifier) || count() < 2) {
        QTabWidget::keyPressEvent(event);
        return;
    }
    // Ctrl+Tab and Ctrl+Shift+Tab cycle through the enabled pages, as QTabWidget does, but ask.
    const int step = (event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier)) ? -1 : 1;
    int page = currentIndex();
    for (int pass = 0; pass < count(); ++pass) {
        page = (page + step + count()) % count();
        if (isTabEnabled(page)) {
            RequestCurrentIndex(page);
            break;
        }
    }
    event->accept();
}
