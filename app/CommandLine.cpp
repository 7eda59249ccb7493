#include "CommandLine.h"

#include "BuildVersion.h"
#include "CalvaroMainForm.h"
#include "CommandGuard.h"

#include <QAction>

TCommandLine ParseCommandLine(const QStringList& arguments) {
    TCommandLine line;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            line.Files.push_back(argument);
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.Help = true;
        } else if (argument == QLatin1String("--version") || argument == QLatin1String("-v")) {
            line.Version = true;
        } else if (argument == QLatin1String("--multiple") || argument == QLatin1String("-m")) {
            line.MultipleDatasets = true;
        } else if (line.Error.isEmpty()) {
            line.Error =
                QStringLiteral("calvaro: unknown option %1 (calvaro --help lists the options)").arg(argument);
        }
    }
    return line;
}

QString CommandLineUsage() {
    return QStringLiteral(
        "usage: calvaro [--multiple] [FILE.clv ...]\n"
        "       calvaro --help | --version\n"
        "\n"
        "Calvaro V, the calculator of water chemistry for drinking and process water.\n"
        "Each FILE.clv is opened as Data set, Open opens it; a file that cannot be read is reported\n"
        "and the program goes on. Only the last file stays open unless --multiple is given.\n"
        "\n"
        "Options:\n"
        "  -m, --multiple  check \"Allow mulitple data sets\" first, so that every file keeps its window\n"
        "  -h, --help      show this text and end\n"
        "  -v, --version   show the program's version and end\n"
        "  --              every argument after it is a file, also one that starts with \"-\"\n"
        "\n"
        "Without files the program starts with the empty main window.\n");
}

QString CommandLineVersion() {
    return QStringLiteral("Calvaro V %1\n").arg(GetBuildVersion());
}

void OpenCommandLineFiles(TfrmCalvaroMain& mainWindow, const TCommandLine& commandLine) {
    if (commandLine.MultipleDatasets && !mainWindow.MultipleDatasetsAllowed())
        mainWindow.Action(QStringLiteral("MenuMultipleDatasets"))->trigger();
    for (const QString& path : commandLine.Files) {
        RunCommand(&mainWindow, [&] {
            mainWindow.OpenDatasetFile(path);
            mainWindow.OnFormChildrenChanged();
        });
    }
}
