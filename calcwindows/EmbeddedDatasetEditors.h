#pragma once
// Data set editors (TfrmWaterDataset) on the pages of a blending window, each with a new data set
// of its own.
//
// An editor writes its prompts through the status bar it is given. The calculation window shows
// its own prompts in the centred panel of its status bar, so TEditorPromptRelay takes what an editor
// writes into that bar over into the window's panel, and empties the panel when the operator leaves
// an editor's box.

#include <QObject>
#include <QString>

#include <functional>

class QStatusBar;
class QWidget;
class TfrmWaterDataset;

class TEditorPromptRelay final : public QObject {
    Q_OBJECT
public:
    using TShowText = std::function<void(const QString&)>;
    // `showText` writes the window's own status panel.
    TEditorPromptRelay(QStatusBar* statusBar, TShowText showText, QObject* parent);
    // The editor's boxes clear the panel when they lose the focus.
    void Watch(TfrmWaterDataset* editor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Relay(const QString& text);
    QStatusBar* FStatusBar;
    TShowText FShowText;
    bool FRelaying = false;
};

// A new editor with a new empty data set, owned by `owner` (its MainParent), placed on `page` and
// filling it; `hiddenTop` pixels of its top lie above the page (0: all of it shows). Its prompts go
// to `statusBar`.
TfrmWaterDataset* CreateEmbeddedEditor(QWidget* owner, QWidget* page, QStatusBar* statusBar, int hiddenTop);
