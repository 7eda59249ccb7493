// Calvaro V, the desktop program: the application with its style and title, the calculation
// windows registered by their menu indices, and the main window until it closes.

#include "CalculationWindows.h"
#include "CalvaroApplication.h"
#include "CalvaroMainForm.h"

int main(int argc, char** argv) {
    TCalvaroApplication application(argc, argv);
    RegisterCalculationWindows();
    TfrmCalvaroMain mainWindow;
    mainWindow.show();
    return application.exec();
}
