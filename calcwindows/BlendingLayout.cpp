#include "BlendingLayout.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

namespace {
// The data set editor's client area.
constexpr int kEditorWidth = 579;
constexpr int kEditorHeight = 454;
} // namespace

QTabWidget* AddDatasetPages(QGroupBox* frame, int hiddenTop) {
    auto* pages = new QTabWidget(frame);
    pages->setObjectName(QStringLiteral("PageControlDatasets"));
    pages->setDocumentMode(true);
    pages->setUsesScrollButtons(true);
    pages->setMinimumSize(kEditorWidth, kEditorHeight - hiddenTop + pages->tabBar()->sizeHint().height());
    auto* grid = static_cast<QGridLayout*>(frame->layout());
    grid->addWidget(pages, grid->rowCount(), 0, 1, grid->columnCount() + 1);
    return pages;
}

void NameCaptionOf(QLineEdit* box, const QString& name) {
    for (QLabel* label : box->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label->buddy() == box) label->setObjectName(name);
}
