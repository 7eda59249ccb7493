#pragma once
// The application object of the desktop program: title "Calvaro V" (the caption of every message
// box), the visual style, and the last guard that keeps an error escaping an event handler from
// ending the program.

#include <QApplication>

class TCalvaroApplication : public QApplication {
    Q_OBJECT
public:
    TCalvaroApplication(int& argc, char** argv);

    // Delivers the event; an error that no command caught is shown in the error box instead of
    // ending the program.
    bool notify(QObject* receiver, QEvent* event) override;
};
