#pragma once
// The boundary of every command of the shell's windows: an error that the command does not handle
// ends that command and appears in the error box; the program goes on.

#include "Dialogs.h"

#include <QString>

#include <exception>
#include <utility>

class QWidget;

// Runs `command`; true when it ended without an error.
template <typename TCommand> bool RunCommand(QWidget* parent, TCommand&& command) {
    try {
        std::forward<TCommand>(command)();
        return true;
    } catch (const std::exception& error) {
        ShowErrorBox(parent, error);
    } catch (...) {
        Dialogs().ShowError(parent, QStringLiteral("The command ended with an error of unknown kind."));
    }
    return false;
}

// A slot for connect() that runs `command` through RunCommand, so that a signal's handler ends
// with the error box instead of letting the error reach the event loop.
template <typename TCommand> auto Guarded(QWidget* parent, TCommand command) {
    return [parent, command = std::move(command)] { RunCommand(parent, command); };
}
