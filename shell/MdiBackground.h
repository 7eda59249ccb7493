#pragma once
// The client area of the main window: the MDI area that holds the data set windows. While no data
// set window is open it shows the background picture tiled over the whole area, with the program's
// title, credit lines and version centred on it in white.

#include <QMdiArea>
#include <QPixmap>
#include <QString>

class QPainter;

class TMdiBackground : public QMdiArea {
    Q_OBJECT
public:
    // The background picture's frame: the tiling step, whatever the picture's own size.
    static constexpr int kTileStep = 105;

    explicit TMdiBackground(QWidget* parent = nullptr);

    void SetVersionText(const QString& version);
    QString VersionText() const { return FVersionText; }
    // True while the background (not the data set windows) is what the area shows.
    bool BackgroundShown() const { return subWindowList().isEmpty(); }

    // Draws `picture` with its top-left corner at x, y = 0, 105, 210, ... below the size.
    static void TileBackground(QPainter& painter, const QPixmap& picture, const QSize& size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintTitle(QPainter& painter);

    QPixmap FPicture;
    QString FVersionText;
};
