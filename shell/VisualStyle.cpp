#include "VisualStyle.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QPalette>
#include <QStyleFactory>

// The resources live in this static library; nothing would pull them in otherwise.
static void InitResourcesOnce() {
    Q_INIT_RESOURCE(shell);
}

void InitShellResources() {
    static const bool initialised = (InitResourcesOnce(), true);
    (void)initialised;
}

QString VisualStyleName() {
    return QStringLiteral("Sapphire Kamri");
}

QString VisualStyleSheet() {
    InitShellResources();
    QFile file(QStringLiteral(":/calvaro/styles/SapphireKamri.qss"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    return QString::fromUtf8(file.readAll());
}

namespace {
QPalette SapphirePalette() {
    QPalette palette;
    const QColor window(238, 243, 250);
    const QColor text(16, 37, 74);
    const QColor sapphire(42, 90, 166);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, QColor(223, 232, 245));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(223, 232, 245));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, sapphire);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 232));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Link, sapphire);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(152, 166, 187));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(152, 166, 187));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(152, 166, 187));
    return palette;
}
} // namespace

void ApplyVisualStyle(QApplication& application) {
    InitShellResources();
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) application.setStyle(fusion);
    application.setPalette(SapphirePalette());
    application.setStyleSheet(VisualStyleSheet());
    application.setWindowIcon(QIcon(QStringLiteral(":/calvaro/images/calvaro.png")));
    application.setProperty("visualStyle", VisualStyleName());
}
