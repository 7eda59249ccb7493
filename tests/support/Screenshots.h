#pragma once
// What the picture-making programs share (they run under a display and are not tests): the output
// folder named on their command line, and a window saved as a PNG once its events are processed.

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <cstdio>

// The folder of argv[1], made if missing; empty, with the usage on the error stream, without one.
inline QString ScreenshotFolder(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return {};
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    return folder;
}

// The window as it is drawn now, into FOLDER/NAME.png; a picture that cannot be written is said.
inline void SaveScreenshot(QWidget& window, const QString& folder, const QString& name) {
    QCoreApplication::processEvents();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!window.grab().save(path)) std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}
