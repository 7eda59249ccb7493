// Pictures of the dosing windows on both pages with a real water, in the program's visual style,
// for looking at the layout: calvaro_calcwindow_screenshots OUTPUT_FOLDER (run under a display, for
// example xvfb-run). Not a test: it asserts nothing and is not registered with CTest.

#include "CaCarbDeficiencyCalc.h"
#include "CalcFormDriver.h"
#include "CalvaroApplication.h"
#include "PhAdjustmentCalc.h"
#include "ScriptedDialogs.h"
#include "StabilizationCalc.h"

#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QLocale>
#include <QPixmap>

#include <cstdio>
#include <memory>

using namespace CalcFormDriver;

namespace {

TWaterDataset Water(double calcium, double alkalinity) {
    TWaterDataset w;
    w.SetPh(7.5);
    w.SetTemperature(20);
    w.SetSodium(1250);
    w.SetMagnesium(40);
    w.SetCalcium(calcium);
    w.SetSulphate(50);
    w.SetChloride(40);
    w.SetWaterCharacterIndex(0);
    w.SetTDS(400);
    w.SetCarbonCharacterIndex(0);
    w.SetAlkalinity(alkalinity);
    return w;
}

void Save(QWidget& form, const QString& folder, const QString& name) {
    QCoreApplication::processEvents();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!form.grab().save(path)) std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

void Shoot(TCalcForm& form, TWaterDataset& water, const QString& box, const QString& input, int chemical,
           const QString& folder, const QString& name) {
    form.SetDataset(&water);
    form.show();
    if (auto* combo = form.findChild<QComboBox*>(QStringLiteral("ComboDosageChemical")))
        combo->setCurrentIndex(chemical);
    Type(form, box, input);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(Control<QLineEdit>(form, box), &focusIn); // the prompt in the status bar
    Save(form, folder, name + QStringLiteral("-input"));
    TurnToResults(form);
    Save(form, folder, name + QStringLiteral("-results"));
}

} // namespace

int main(int argc, char** argv) {
    TCalvaroApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    TScriptedDialogs dialogs;

    TWaterDataset hard = Water(150, 120);
    TPhAdjustmentCalcForm ph;
    Shoot(ph, hard, QStringLiteral("TxtInput"), QStringLiteral("8.5"), 4, folder,
          QStringLiteral("ph-adjustment"));

    TWaterDataset hard2 = Water(150, 120);
    TStabilizationCalcForm stabilisation;
    Shoot(stabilisation, hard2, QStringLiteral("TxtPrecipPotential"), QStringLiteral("-9"), 2, folder,
          QStringLiteral("stabilisation"));

    TWaterDataset hard3 = Water(150, 120);
    TStabilizationCalcForm co2Only;
    co2Only.HideDosingCombo();
    Shoot(co2Only, hard3, QStringLiteral("TxtPrecipPotential"), QStringLiteral("2"), 0, folder,
          QStringLiteral("stabilisation-co2-only"));

    TWaterDataset soft = Water(20, 100);
    TCaCarbDeficiencyCalcForm deficient;
    Shoot(deficient, soft, QStringLiteral("TxtInput"), QStringLiteral("50"), 0, folder,
          QStringLiteral("deficient-water"));

    for (const QString& message : dialogs.Messages())
        std::fprintf(stderr, "message: %s\n", qPrintable(message));
    return 0;
}
