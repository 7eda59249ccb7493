// The pictures of the README's tour, made from the example waters in the program's visual style:
// calvaro_tour_screenshots OUTPUT_FOLDER (run under a display, for example xvfb-run). Not a test: it
// asserts nothing and is not registered with CTest; ./calvaro.sh screenshots runs it into docs/.

#include "CalcFormDriver.h"
#include "CalvaroApplication.h"
#include "CalvaroMainForm.h"
#include "CalvaroUtils.h"
#include "CommandLine.h"
#include "DosingCurveCalc.h"
#include "Screenshots.h"
#include "ScriptedDialogs.h"
#include "SofteningCaCalculation.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLocale>
#include <QPixmap>

#include <cstdio>
#include <memory>

using namespace CalcFormDriver;

int main(int argc, char** argv) {
    TCalvaroApplication application(argc, argv);
    const QString folder = ScreenshotFolder(argc, argv);
    if (folder.isEmpty()) return 2;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    TScriptedDialogs dialogs;
    const QString water = QStringLiteral(CALVARO_EXAMPLES_DIR "/hard-groundwater.clv");

    // The main window with an example water opened from the command line.
    TfrmCalvaroMain mainWindow;
    mainWindow.show();
    OpenCommandLineFiles(mainWindow, ParseCommandLine({water}));
    SaveScreenshot(mainWindow, folder, QStringLiteral("tour-main-window"));

    // The view of that water with its indices.
    mainWindow.ActionViewExecute();
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("FormViewDataset") && widget->isVisible())
            SaveScreenshot(*widget, folder, QStringLiteral("tour-view"));

    // A calculation window's results: the hard groundwater softened with lime to calcium 150.
    std::unique_ptr<TWaterDataset> copy = LoadDatasetFromFile(water.toStdString());
    TSofteningCaCalc softening;
    softening.SetDataset(copy.get());
    softening.show();
    Type(softening, QStringLiteral("TxtInput"), QStringLiteral("150"));
    TurnToResults(softening);
    SaveScreenshot(softening, folder, QStringLiteral("tour-softening-results"));

    // The dose-response curve of the soft upland water dosed with lime, up to 40 mg/l.
    std::unique_ptr<TWaterDataset> upland =
        LoadDatasetFromFile(CALVARO_EXAMPLES_DIR "/upland-soft-surface.clv");
    TDosingCurveCalcForm curve;
    curve.SetDataset(upland.get());
    curve.show();
    if (auto* chemical = curve.findChild<QComboBox*>(QStringLiteral("ComboDosageChemical")))
        chemical->setCurrentIndex(1);
    Type(curve, QStringLiteral("TxtLargestDose"), QStringLiteral("40"));
    TurnToResults(curve);
    SaveScreenshot(curve, folder, QStringLiteral("tour-dosing-curve"));

    // The laboratory's samples as a table of waters in the main window.
    mainWindow.resize(1100, 620);
    if (mainWindow.OpenWaterTable(QStringLiteral(CALVARO_EXAMPLES_DIR "/lab-samples.csv")))
        SaveScreenshot(mainWindow, folder, QStringLiteral("tour-batch-window"));

    for (const QString& message : dialogs.Messages())
        std::fprintf(stderr, "message: %s\n", qPrintable(message));
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("FormViewDataset")) widget->close();
    return 0;
}
