#include "EmbeddedDatasetEditors.h"

#include "CalvaroModel.h"
#include "WaterDatasetForm.h"

#include <QDateEdit>
#include <QEvent>
#include <QLineEdit>
#include <QStatusBar>

#include <memory>

namespace {

// Keeps an editor over the whole of its page whenever the page changes size, shifted up by the
// rows it hides.
class TPageFiller final : public QObject {
public:
    TPageFiller(QWidget* page, QWidget* editor, int hiddenTop)
        : QObject(page), FPage(page), FEditor(editor), FHiddenTop(hiddenTop) {
        page->installEventFilter(this);
        Fill();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == FPage && event->type() == QEvent::Resize) Fill();
        return QObject::eventFilter(watched, event);
    }

private:
    void Fill() { FEditor->setGeometry(0, -FHiddenTop, FPage->width(), FPage->height() + FHiddenTop); }
    QWidget* FPage;
    QWidget* FEditor;
    int FHiddenTop;
};

} // namespace

TEditorPromptRelay::TEditorPromptRelay(QStatusBar* statusBar, TShowText showText, QObject* parent)
    : QObject(parent), FStatusBar(statusBar), FShowText(std::move(showText)) {
    // A plain status bar shows an editor's prompt as its message, which would hide the window's
    // panel; the message is moved into the panel at once.
    connect(FStatusBar, &QStatusBar::messageChanged, this, &TEditorPromptRelay::Relay);
}

void TEditorPromptRelay::Relay(const QString& text) {
    if (FRelaying) return;
    FRelaying = true;
    FShowText(text);
    if (!text.isEmpty()) FStatusBar->clearMessage();
    FRelaying = false;
}

void TEditorPromptRelay::Watch(TfrmWaterDataset* editor) {
    for (QLineEdit* box : editor->findChildren<QLineEdit*>())
        box->installEventFilter(this);
}

bool TEditorPromptRelay::eventFilter(QObject* watched, QEvent* event) {
    // The message was moved away, so the editor's own clearing finds nothing to clear.
    if (event->type() == QEvent::FocusOut && qobject_cast<QLineEdit*>(watched)) FShowText(QString());
    return QObject::eventFilter(watched, event);
}

TfrmWaterDataset* CreateEmbeddedEditor(QWidget* owner, QWidget* page, QStatusBar* statusBar, int hiddenTop) {
    auto* editor = new TfrmWaterDataset(owner, std::make_unique<TWaterDataset>());
    editor->SetStatusBar(statusBar);
    editor->setParent(page, Qt::Widget); // a plain child: no border, no title
    if (hiddenTop > 0) {
        // Its hidden date picker takes no focus: nothing is typed where nobody can see it.
        if (auto* date = editor->findChild<QDateEdit*>(QStringLiteral("dtmDatasetDate")))
            date->setFocusPolicy(Qt::NoFocus);
    }
    new TPageFiller(page, editor, hiddenTop);
    editor->show();
    return editor;
}
