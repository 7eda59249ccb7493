#pragma once
// The compiled help file "help.chm" beside the executable, and the request to show it. Used by the
// main window's "Open help file" and by the calculation windows' help key.

#include <QString>

class QWidget;

// The help file of the running program: HelpFilePathFor its executable's directory.
QString HelpFilePath();

// Where the help file of a program in `programDir` is: "help.chm" beside the executable (the build
// folder), else where the installed layout keeps the documentation, found from the executable's own
// location (bin/../share/doc/calvaro/help.chm). When neither exists, the path beside the executable,
// which the missing-file message then names.
QString HelpFilePathFor(const QString& programDir);

// Asks the desktop (through Dialogs().OpenDocument) to show the help file's table of contents.
// A missing file, or a desktop with no viewer for it, gives a message that names the path and the
// viewer to install.
void ShowHelpContents(QWidget* parent);

// The two messages, for tests and for the command line's wording.
QString MissingHelpFileMessage(const QString& path);
QString NoHelpViewerMessage(const QString& path);
