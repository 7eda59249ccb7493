#include "CalvaroApplication.h"

#include "Dialogs.h"
#include "VisualStyle.h"

#include <exception>

TCalvaroApplication::TCalvaroApplication(int& argc, char** argv) : QApplication(argc, argv) {
    ApplyVisualStyle(*this);
    setApplicationName(QStringLiteral("Calvaro V"));
    setApplicationDisplayName(QStringLiteral("Calvaro V"));
}

bool TCalvaroApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowErrorBox(activeWindow(), error);
    } catch (...) {
        Dialogs().ShowError(activeWindow(), QStringLiteral("An error of unknown kind ended the action."));
    }
    return false;
}
