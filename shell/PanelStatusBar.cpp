#include "PanelStatusBar.h"

#include <QLabel>

TPanelStatusBar::TPanelStatusBar(int panelWidth, QWidget* parent)
    : QStatusBar(parent), FPanel(new QLabel(this)) {
    FPanel->setObjectName(QStringLiteral("StatusPanel"));
    FPanel->setAlignment(Qt::AlignCenter);
    FPanel->setFixedWidth(panelWidth);
    // The panel is the bar's only content; the size grip would only push it around.
    setSizeGripEnabled(false);
    addWidget(FPanel);
}

void TPanelStatusBar::SetPanelText(const QString& text) {
    FPanel->setText(text);
}

QString TPanelStatusBar::PanelText() const {
    return FPanel->text();
}

void SetStatusPanelText(QStatusBar* statusBar, const QString& text) {
    if (!statusBar) return;
    if (auto* panels = qobject_cast<TPanelStatusBar*>(statusBar)) {
        panels->SetPanelText(text);
    } else if (text.isEmpty()) {
        statusBar->clearMessage();
    } else {
        statusBar->showMessage(text);
    }
}

QString StatusPanelText(const QStatusBar* statusBar) {
    if (!statusBar) return {};
    if (auto* panels = qobject_cast<const TPanelStatusBar*>(statusBar)) return panels->PanelText();
    return statusBar->currentMessage();
}
