#include "BlendingLayout.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace {
// The data set editor's width and its smallest height: all of its rows show.
constexpr int kEditorWidth = 579;
constexpr int kEditorHeight = 400;
} // namespace

QTabWidget* AddDatasetPages(QGroupBox* frame, int hiddenTop) {
    auto* pages = new QTabWidget(frame);
    pages->setObjectName(QStringLiteral("PageControlDatasets"));
    pages->setDocumentMode(true);
    pages->setUsesScrollButtons(true);
    // The window's size is fixed before its pages exist: a page of the editor's size tells the page
    // control how much its tabs and frame add.
    auto* probe = new QWidget;
    probe->setMinimumSize(kEditorWidth, kEditorHeight - hiddenTop);
    pages->addTab(probe, QStringLiteral("Water 1"));
    pages->ensurePolished();
    pages->setMinimumSize(pages->minimumSizeHint());
    pages->removeTab(0);
    delete probe;
    auto* grid = static_cast<QGridLayout*>(frame->layout());
    grid->addWidget(pages, grid->rowCount(), 0, 1, grid->columnCount() + 1);
    return pages;
}

void NameCaptionOf(QLineEdit* box, const QString& name) {
    for (QLabel* label : box->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label->buddy() == box) label->setObjectName(name);
}
