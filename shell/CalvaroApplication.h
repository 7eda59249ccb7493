#pragma once
// The application object of the desktop program: title "Calvaro V" (the caption of every message
// box) and the visual style. Errors are caught where each command runs (RunCommand in
// CommandGuard.h, the calculation window's own handlers), not in the event delivery.

#include <QApplication>

class TCalvaroApplication : public QApplication {
    Q_OBJECT
public:
    TCalvaroApplication(int& argc, char** argv);
};
