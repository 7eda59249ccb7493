#include "MdiBackground.h"

#include "VisualStyle.h"

#include <QFont>
#include <QPaintEvent>
#include <QPainter>

namespace {
const char* const kCreditLines[] = {
    "Water chemistry for the treatment of drinking and process water",
    "Carbonate equilibria, CaCO3 precipitation potential, dosing, softening and blending",
};
} // namespace

TMdiBackground::TMdiBackground(QWidget* parent) : QMdiArea(parent) {
    InitShellResources();
    FPicture.load(QStringLiteral(":/calvaro/images/background.png"));
    setObjectName(QStringLiteral("MdiArea"));
}

void TMdiBackground::SetVersionText(const QString& version) {
    FVersionText = version;
    viewport()->update();
}

void TMdiBackground::TileBackground(QPainter& painter, const QPixmap& picture, const QSize& size) {
    if (picture.isNull()) return;
    for (int y = 0; y < size.height(); y += kTileStep)
        for (int x = 0; x < size.width(); x += kTileStep)
            painter.drawPixmap(x, y, picture);
}

void TMdiBackground::paintEvent(QPaintEvent* event) {
    if (!BackgroundShown()) {
        QMdiArea::paintEvent(event);
        return;
    }
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), QColor(14, 42, 92));
    TileBackground(painter, FPicture, viewport()->size());
    PaintTitle(painter);
}

void TMdiBackground::PaintTitle(QPainter& painter) {
    const int width = viewport()->width();
    painter.setPen(Qt::white);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QFont title = font();
    title.setPixelSize(64);
    title.setBold(true);
    painter.setFont(title);
    int y = 40;
    const int titleHeight = QFontMetrics(title).height();
    painter.drawText(QRect(0, y, width, titleHeight), Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("Calvaro V"));
    y += titleHeight + 16;

    QFont small = font();
    small.setPixelSize(13);
    painter.setFont(small);
    const int lineHeight = QFontMetrics(small).height() + 4;
    auto line = [&](const QString& text) {
        painter.drawText(QRect(0, y, width, lineHeight), Qt::AlignHCenter | Qt::AlignVCenter, text);
        y += lineHeight;
    };
    for (const char* credit : kCreditLines)
        line(QString::fromLatin1(credit));
    y += lineHeight;
    line(QStringLiteral("Build version"));
    line(FVersionText);
}
