#include "CalvaroApplication.h"

#include "VisualStyle.h"

TCalvaroApplication::TCalvaroApplication(int& argc, char** argv) : QApplication(argc, argv) {
    ApplyVisualStyle(*this);
    setApplicationName(QStringLiteral("Calvaro V"));
    setApplicationDisplayName(QStringLiteral("Calvaro V"));
}
