// Calvaro V, the desktop program: the application with its style and title, the calculation
// windows registered by their menu indices, the main window, and the files of the command line
// opened in it once the message loop runs.

#include "CalculationWindows.h"
#include "CalvaroApplication.h"
#include "CalvaroMainForm.h"
#include "CommandLine.h"

#include <QStringList>
#include <QTimer>

#include <cstdio>

namespace {

QStringList ArgumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int main(int argc, char** argv) {
    // --help and --version answer before the application starts, so they work without a display.
    const TCommandLine early = ParseCommandLine(ArgumentsOf(argc, argv));
    if (early.Help) {
        Print(stdout, CommandLineUsage());
        return 0;
    }
    if (early.Version) {
        Print(stdout, CommandLineVersion());
        return 0;
    }

    TCalvaroApplication application(argc, argv);
    // The application has taken its own options (-platform, -style, ...) out of the arguments.
    const TCommandLine commandLine = ParseCommandLine(application.arguments().mid(1));
    if (!commandLine.Error.isEmpty()) {
        Print(stderr, commandLine.Error + QLatin1Char('\n'));
        return 2;
    }
    RegisterCalculationWindows();
    TfrmCalvaroMain mainWindow;
    mainWindow.show();
    // The files open once the window is on the screen, so their messages appear over it.
    QTimer::singleShot(0, &mainWindow, [&] { OpenCommandLineFiles(mainWindow, commandLine); });
    return application.exec();
}
