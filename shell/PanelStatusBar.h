#pragma once
// A status bar with one fixed-width panel whose text is centred: where the main window and the
// calculation windows show the prompt of the input being edited.

#include <QStatusBar>

class QLabel;

class TPanelStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TPanelStatusBar(int panelWidth, QWidget* parent = nullptr);

    // The text of the first (and only) panel; an empty text clears it.
    void SetPanelText(const QString& text);
    QString PanelText() const;

private:
    QLabel* FPanel;
};

// Writes into the first panel of any status bar: a TPanelStatusBar's panel, or the message area of
// a plain QStatusBar. Does nothing for nullptr.
void SetStatusPanelText(QStatusBar* statusBar, const QString& text);
// The text of that first panel ("" for nullptr).
QString StatusPanelText(const QStatusBar* statusBar);
