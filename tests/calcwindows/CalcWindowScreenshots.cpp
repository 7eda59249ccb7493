// Pictures of every calculation window on both pages with a real water, in the program's visual style,
// for looking at the layout: calvaro_calcwindow_screenshots OUTPUT_FOLDER (run under a display, for
// example xvfb-run). Not a test: it asserts nothing and is not registered with CTest.

#include "AirEquilibriumCalc.h"
#include "BlendMultipleWatersCalc.h"
#include "BlendToPhCalc.h"
#include "CaCarbDeficiencyCalc.h"
#include "CalcFormDriver.h"
#include "CalvaroApplication.h"
#include "ConcentrationChangeCalc.h"
#include "DosingCurveCalc.h"
#include "PhAdjustmentCalc.h"
#include "Screenshots.h"
#include "ScriptedDialogs.h"
#include "SofteningCaCalculation.h"
#include "SofteningCaMgCalculation.h"
#include "SofteningMgCalculation.h"
#include "StabilizationCalc.h"
#include "TemperatureChangeCalc.h"
#include "UndergroundWaterCalc.h"
#include "UnderwaterResultsForm.h"
#include "WaterDatasetForm.h"

#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QLocale>
#include <QPixmap>
#include <QSpinBox>
#include <QTabWidget>

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

void Shoot(TCalcForm& form, TWaterDataset& water, const QString& box, const QString& input, int chemical,
           const QString& folder, const QString& name) {
    form.SetDataset(&water);
    form.show();
    if (auto* combo = form.findChild<QComboBox*>(QStringLiteral("ComboDosageChemical")))
        combo->setCurrentIndex(chemical);
    Type(form, box, input);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(Control<QLineEdit>(form, box), &focusIn); // the prompt in the status bar
    SaveScreenshot(form, folder, name + QStringLiteral("-input"));
    TurnToResults(form);
    SaveScreenshot(form, folder, name + QStringLiteral("-results"));
}

// A blending window's waters: the hard water, then the soft one, alternately, with `fractions`.
void FillWaters(const std::vector<TfrmWaterDataset*>& editors, const QStringList& fractions) {
    for (std::size_t i = 0; i < editors.size(); ++i) {
        editors[i]->UpdateUiFromModel(i % 2 == 0 ? Water(150, 120) : Water(20, 15));
        if (i < static_cast<std::size_t>(fractions.size()))
            Type(*editors[i], QStringLiteral("EditWaterFraction"), fractions[static_cast<int>(i)]);
    }
}

} // namespace

int main(int argc, char** argv) {
    TCalvaroApplication application(argc, argv);
    const QString folder = ScreenshotFolder(argc, argv);
    if (folder.isEmpty()) return 2;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
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

    TWaterDataset hard4 = Water(150, 120);
    TSofteningCaCalc softeningCa;
    Shoot(softeningCa, hard4, QStringLiteral("TxtInput"), QStringLiteral("60"), 0, folder,
          QStringLiteral("softening-ca"));
    TWaterDataset hard5 = Water(150, 120);
    TSofteningMgCalc softeningMg;
    Shoot(softeningMg, hard5, QStringLiteral("TxtInput"), QStringLiteral("20"), 0, folder,
          QStringLiteral("softening-mg"));
    TWaterDataset hard6 = Water(150, 120);
    TSofteningCaMgCalc softeningCaMg;
    softeningCaMg.SetDataset(&hard6);
    softeningCaMg.show();
    Type(softeningCaMg, QStringLiteral("TxtMg"), QStringLiteral("20"));
    Shoot(softeningCaMg, hard6, QStringLiteral("TxtCa"), QStringLiteral("100"), 0, folder,
          QStringLiteral("softening-ca-mg"));

    TWaterDataset active = Water(150, 120);
    TBlendToPhCalcForm blendToPh;
    blendToPh.SetDataset(&active);
    blendToPh.show();
    FillWaters({blendToPh.Form1, blendToPh.Form2}, {});
    Shoot(blendToPh, active, QStringLiteral("TxtInput"), QStringLiteral("7"), 0, folder,
          QStringLiteral("blend-to-ph"));
    TWaterDataset active2 = Water(150, 120);
    TBlendMultipleCalcForm blendMultiple;
    blendMultiple.SetDataset(&active2);
    blendMultiple.show();
    blendMultiple.findChild<QSpinBox*>(QStringLiteral("SpinNumberWaters"))->stepUp();
    FillWaters(blendMultiple.DatasetFormList(),
               {QStringLiteral("25"), QStringLiteral("50"), QStringLiteral("25")});
    SaveScreenshot(blendMultiple, folder, QStringLiteral("blend-multiple-input"));
    TurnToResults(blendMultiple);
    SaveScreenshot(blendMultiple, folder, QStringLiteral("blend-multiple-results"));

    TWaterDataset hard7 = Water(150, 120);
    TAirEquibCalcForm air;
    Shoot(air, hard7, QStringLiteral("TxtPartialPressure"), QStringLiteral("0.00035"), 0, folder,
          QStringLiteral("air"));
    TWaterDataset hard8 = Water(150, 120);
    TUndergroundWaterCalcForm underground;
    Shoot(underground, hard8, QStringLiteral("TxtPartialPressure"), QStringLiteral("0.01"), 0, folder,
          QStringLiteral("underground"));
    TWaterDataset hard9 = Water(150, 120);
    TUgWaterResultsForm undergroundResults(nullptr, &hard9);
    undergroundResults.PartialPressure = 0.01;
    undergroundResults.show();
    SaveScreenshot(undergroundResults, folder, QStringLiteral("underground-results-window"));
    TWaterDataset hard10 = Water(150, 120);
    TTempChangeCalcForm temperature;
    Shoot(temperature, hard10, QStringLiteral("TxtTemperature"), QStringLiteral("60"), 0, folder,
          QStringLiteral("temperature"));
    TWaterDataset hard11 = Water(150, 120);
    TConcentrationChangeCalcForm concentration;
    Shoot(concentration, hard11, QStringLiteral("TxtInput"), QStringLiteral("50"), 0, folder,
          QStringLiteral("concentration"));

    // Dose-response curves: a soft water dosed with lime, a hard one with CO2, and a curve opened for
    // a target pH with the dose it needs marked.
    TWaterDataset soft2 = Water(20, 15);
    soft2.SetPh(6.8);
    soft2.SetSodium(12);
    soft2.SetTDS(60);
    TDosingCurveCalcForm softLime;
    Shoot(softLime, soft2, QStringLiteral("TxtLargestDose"), QStringLiteral("50"), 1, folder,
          QStringLiteral("dosing-curve-soft-lime"));
    TWaterDataset hard12 = Water(150, 120);
    TDosingCurveCalcForm hardCo2;
    Shoot(hardCo2, hard12, QStringLiteral("TxtLargestDose"), QStringLiteral("100"), 0, folder,
          QStringLiteral("dosing-curve-hard-co2"));
    Control<QTabWidget>(hardCo2, QStringLiteral("TabsCurve"))->setCurrentIndex(1);
    SaveScreenshot(hardCo2, folder, QStringLiteral("dosing-curve-hard-co2-table"));
    TWaterDataset soft3 = soft2;
    TDosingCurveCalcForm targeted;
    targeted.SetDataset(&soft3);
    targeted.SetPreset(1, 40, TDosingCurveTarget{TDosingCurveTarget::TKind::Ph, 8.5, 17.3});
    targeted.show();
    SaveScreenshot(targeted, folder, QStringLiteral("dosing-curve-target"));

    for (const QString& message : dialogs.Messages())
        std::fprintf(stderr, "message: %s\n", qPrintable(message));
    return 0;
}
