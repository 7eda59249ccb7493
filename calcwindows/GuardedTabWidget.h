#pragma once
// A tab widget whose page change can be refused before it happens. QTabWidget only reports a
// change after the new page is shown; a calculation window must run its calculation first and
// stay on its inputs when that fails, without the results page ever flashing up. So every way the
// operator can turn a page (a click on a tab, the arrow keys on the tab bar, a tab mnemonic,
// Ctrl+Tab and Ctrl+Shift+Tab on the widget) asks the guard first, and the program itself turns
// pages only through RequestCurrentIndex. Mouse-wheel paging is switched off: turning to the
// results page runs a calculation, which a stray scroll must not do.

#include <QTabBar>
#include <QTabWidget>

#include <functional>

// Answers whether the widget may turn from its current page to `newIndex`.
using TPageChangeGuard = std::function<bool(int newIndex)>;

class TGuardedTabBar final : public QTabBar {
    Q_OBJECT
public:
    explicit TGuardedTabBar(QWidget* parent = nullptr) : QTabBar(parent) {}
    void SetGuard(TPageChangeGuard guard) { FGuard = std::move(guard); }
    // Asks the guard, then turns the page; false when refused. The current page is always allowed.
    bool RequestCurrentIndex(int index);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int NextEnabledIndex(int offset) const;
    TPageChangeGuard FGuard;
};

class TGuardedTabWidget final : public QTabWidget {
    Q_OBJECT
public:
    explicit TGuardedTabWidget(QWidget* parent = nullptr);
    void SetGuard(TPageChangeGuard guard) { FTabBar->SetGuard(std::move(guard)); }
    bool RequestCurrentIndex(int index) { return FTabBar->RequestCurrentIndex(index); }
    TGuardedTabBar* GuardedTabBar() const { return FTabBar; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TGuardedTabBar* FTabBar;
};
