#pragma once
// The desktop program's command line: `calvaro [--multiple] [FILE.clv ...]`, `calvaro --help`,
// `calvaro --version`. Each file is opened as the Open command opens it, one after the other, with
// its errors in the error box; without files the program starts with the empty main window.

#include <QString>
#include <QStringList>

class TfrmCalvaroMain;

struct TCommandLine {
    bool Help = false;
    bool Version = false;
    bool MultipleDatasets = false; // check "Allow mulitple data sets" before opening the files
    QStringList Files;
    QString Error; // a usage error (an unknown option); empty when the line is understood
};

// Reads the arguments after the program name. Everything after "--" is a file, so a file whose
// name starts with "-" can be given too.
TCommandLine ParseCommandLine(const QStringList& arguments);

// The text of --help, and the one line of --version ("Calvaro V 5.0.0.1").
QString CommandLineUsage();
QString CommandLineVersion();

// Opens the files of the command line in the main window as Open does: each through
// OpenDatasetFile and the re-evaluation after it, an error or an empty file reported in its box and
// the next file opened all the same. With MultipleDatasets the option is checked first, so every
// file keeps its window; without it, as with Open, only the last file's window stays.
void OpenCommandLineFiles(TfrmCalvaroMain& mainWindow, const TCommandLine& commandLine);
