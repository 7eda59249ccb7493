#include "HelpFile.h"

#include "Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef CALVARO_INSTALLED_HELP_DIR
#define CALVARO_INSTALLED_HELP_DIR "../share/doc/calvaro"
#endif

QString HelpFilePathFor(const QString& programDir) {
    const QString beside = programDir + QStringLiteral("/help.chm");
    if (QFileInfo(beside).isFile()) return beside;
    const QString installed =
        QDir::cleanPath(programDir + QStringLiteral("/" CALVARO_INSTALLED_HELP_DIR "/help.chm"));
    if (QFileInfo(installed).isFile()) return installed;
    return beside;
}

QString HelpFilePath() {
    return HelpFilePathFor(QCoreApplication::applicationDirPath());
}

QString MissingHelpFileMessage(const QString& path) {
    return QStringLiteral("The help file %1 was not found. It is made when the program is built, by the help "
                          "compiler chmcmd (Debian package fp-utils); rebuild the program with it installed.")
        .arg(path);
}

QString NoHelpViewerMessage(const QString& path) {
    return QStringLiteral("No program on this desktop could open the help file %1. Install a viewer for .chm "
                          "files, for example xchm (Debian: apt-get install xchm), and try again.")
        .arg(path);
}

void ShowHelpContents(QWidget* parent) {
    const QString path = HelpFilePath();
    if (!QFileInfo(path).isFile()) {
        Dialogs().ShowMessage(parent, MissingHelpFileMessage(path));
        return;
    }
    if (!Dialogs().OpenDocument(path)) Dialogs().ShowMessage(parent, NoHelpViewerMessage(path));
}
