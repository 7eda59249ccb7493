// End to end: the started program opens a data set file through File Open, and every item of the
// Calculations menu runs through the menu on it: the window opens on a copy of the active data set,
// its inputs are typed, the results page turned to, Close answered with Yes; the data set window
// then shows the treated water and keeps its date.

#include "BlendMultipleWatersCalc.h"
#include "BlendToPhCalc.h"
#include "CalcFormDriver.h"
#include "CalcWindowWaters.h"
#include "CalculationRegistry.h"
#include "CalculationWindows.h"
#include "CalvaroMainForm.h"
#include "LocaleNumbers.h"
#include "ScriptedDialogs.h"
#include "UnderwaterResultsForm.h"
#include "WaterDatasetForm.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

using namespace CalcFormDriver;
using namespace CalcWindowWaters;

namespace {

// A hard water as an operator's file holds it (the date is day 45000, 15 March 2023).
const char* kHardWaterFile =
    R"({"type":"CalvaroModel.TWaterDataset","id":1,"fields":{"FCreateDate":45000,"FRAC":0,"IPH":7.5,)"
    R"("IT":20,"INA":20,"IMG":50,"ICA":150,"ISO4":40,"ICL":30,"WATCHAR":1,"ITDS":0,"ICONDU":50,"IMHU":0,)"
    R"("CARBSYSORDER":0,"IALK":127.5,"IHACI":0,"ITOTC":0,"IPCO2":0}})";

void FillBlendToPh(TCalcForm& form) {
    auto& blend = dynamic_cast<TBlendToPhCalcForm&>(form);
    blend.Form1->UpdateUiFromModel(HardWater());
    blend.Form2->UpdateUiFromModel(SoftWater());
    Type(form, "TxtInput", "7");
}

void FillBlendMultiple(TCalcForm& form) {
    auto& blend = dynamic_cast<TBlendMultipleCalcForm&>(form);
    Control<QSpinBox>(form, "SpinNumberWaters")->stepUp();
    const TWaterDataset waters[] = {HardWater(), SoftWater(), HardWater()};
    const char* fractions[] = {"25", "50", "25"};
    for (int i = 0; i < 3; ++i) {
        blend.DatasetFormList()[i]->UpdateUiFromModel(waters[i]);
        Type(*blend.DatasetFormList()[i], "EditWaterFraction", fractions[i]);
    }
}

struct TMenuRun {
    const char* Action; // the menu item's object name
    const char* Caption;
    std::function<void(TCalcForm&)> SetInputs;
    std::deque<bool> Answers;   // the questions on closing, in order; the last is the update
    bool ResultsWindow = false; // Close first shows the underground results
    bool WritesBack = true;     // false: Close takes nothing over into the data set window
};

const std::vector<TMenuRun>& MenuRuns() {
    static const std::vector<TMenuRun> runs{
        {"Calc11", "Softening to desired Ca input", [](TCalcForm& f) { Type(f, "TxtInput", "60"); }, {true}},
        {"Calc12", "Softening to desired Mg input", [](TCalcForm& f) { Type(f, "TxtInput", "20"); }, {true}},
        {"Calc13",
         "Softening to desired Ca and Mg inputs",
         [](TCalcForm& f) {
             Type(f, "TxtCa", "100");
             Type(f, "TxtMg", "20");
         },
         {true}},
        {"Calc7",
         "pH adjustment calculation",
         [](TCalcForm& f) {
             Control<QComboBox>(f, "ComboDosageChemical")->setCurrentIndex(1);
             Type(f, "TxtInput", "8.5");
         },
         {true}},
        {"Calc2",
         "Stabilisation calculation",
         [](TCalcForm& f) { Type(f, "TxtPrecipPotential", "2"); },
         {true}},
        {"Calc31", "Blend to specified pH calculation", FillBlendToPh, {true}},
        {"Calc32", "Determine water condition after blending", FillBlendMultiple, {true}},
        {"Calc4", "Equilibrium with the air", [](TCalcForm&) {}, {true}},
        {"Calc5",
         "Temperature change calculation",
         [](TCalcForm& f) { Type(f, "TxtTemperature", "60"); },
         {true}},
        {"Calc6",
         "Concentration change calculation",
         [](TCalcForm& f) { Type(f, "TxtInput", "30"); },
         {true}},
        {"Calc8",
         "Underground water calculation",
         [](TCalcForm& f) { Type(f, "TxtPartialPressure", "0.01"); },
         {true},
         true},
        // Not stabilised with CO2 afterwards: the conditioned water itself is taken over.
        {"Calc9",
         "Ca and carbonate species deficient water",
         [](TCalcForm& f) { Type(f, "TxtInput", "160"); },
         {false, true}},
        // A curve looks at many waters and takes none over.
        {"Calc14",
         "Dosing curve",
         [](TCalcForm& f) { Control<QComboBox>(f, "ComboDosageChemical")->setCurrentIndex(1); },
         {},
         false,
         false},
    };
    return runs;
}

QStringList CalculationActions(QMenu* menu) {
    QStringList names;
    for (QAction* action : menu->actions()) {
        if (action->menu())
            names << CalculationActions(action->menu());
        else if (!action->isSeparator())
            names << action->objectName();
    }
    return names;
}

} // namespace

class TestEveryCalculationFromMenu : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;
    QString FPath;

private slots:
    void initTestCase() {
        QLocale::setDefault(kEnglish);
        RegisterCalculationWindows();
        FPath = FDir.filePath(QStringLiteral("hard water.clv"));
        QFile file(FPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kHardWaterFile);
    }

    void everyMenuItemIsRunHere() {
        TScriptedDialogs dialogs;
        TfrmCalvaroMain main;
        QStringList listed = CalculationActions(main.findChild<QMenu*>(QStringLiteral("MnuCalculations")));
        QStringList run;
        for (const TMenuRun& item : MenuRuns())
            run << QString::fromLatin1(item.Action);
        listed.sort();
        run.sort();
        QCOMPARE(run, listed);
    }

    void everyCalculationIndexHasItsWindow() {
        // The calculation table is the one list of indices: the menu is built from it and every index
        // in it must open a window; a window registered under an index the table does not hold
        // would be unreachable.
        std::vector<int> table;
        for (const TCalculationItem& item : CalculationItems()) {
            table.push_back(item.Index);
            TWaterDataset water = HardWater();
            std::unique_ptr<QDialog> form(CreateCalculationForm(item.Index, nullptr, &water));
            QVERIFY2(form, qPrintable(QStringLiteral("no window for calculation %1 (%2)")
                                          .arg(item.Index)
                                          .arg(QString::fromLatin1(item.Text))));
            QVERIFY(dynamic_cast<TCalcForm*>(form.get()));
        }
        std::sort(table.begin(), table.end());
        QVERIFY2(std::adjacent_find(table.begin(), table.end()) == table.end(), "an index stands twice");
        QCOMPARE(RegisteredCalculationIndices(), table);

        TScriptedDialogs dialogs;
        TfrmCalvaroMain main;
        for (const TCalculationItem& item : CalculationItems())
            QVERIFY2(main.Action(QStringLiteral("Calc%1").arg(item.Index)), item.Text);
    }

    void calculationFromTheMenu_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < MenuRuns().size(); ++i)
            QTest::newRow(MenuRuns()[i].Caption) << static_cast<int>(i);
    }
    void calculationFromTheMenu() {
        QFETCH(int, index);
        const TMenuRun& item = MenuRuns()[static_cast<std::size_t>(index)];
        TScriptedDialogs dialogs;
        TfrmCalvaroMain main;
        main.show();
        dialogs.OpenFileAnswers.push_back(FPath);
        main.Action(QStringLiteral("FileOpen"))->trigger();
        TfrmWaterDataset* editor = main.GetChildForm();
        QVERIFY(editor);
        QCOMPARE(editor->Dataset()->Calcium(), 150.0);

        QString caption;
        bool onResults = false;
        TCalculationResult treated;
        dialogs.ModalScripts.push_back([&](QDialog& dialog) {
            auto& form = dynamic_cast<TCalcForm&>(dialog);
            caption = form.windowTitle();
            item.SetInputs(form);
            TurnToResults(form);
            onResults = Page(form) == TCalcForm::kResultsPage;
            if (!onResults) return int(QDialog::Rejected);
            treated = *form.CalcResult();
            if (item.ResultsWindow)
                dialogs.ModalScripts.push_back([](QDialog& results) {
                    Click(results, QStringLiteral("ButtonClose"));
                    return results.result();
                });
            dialogs.YesNoAnswers = item.Answers;
            Click(form, QStringLiteral("ButtonCancel"));
            return form.result();
        });
        main.Action(QString::fromLatin1(item.Action))->trigger();

        QCOMPARE(caption, QString::fromLatin1(item.Caption));
        QVERIFY2(onResults, qPrintable(dialogs.Messages().join(QStringLiteral(" | "))));
        QVERIFY2(dialogs.Messages().isEmpty(), qPrintable(dialogs.Messages().join(QStringLiteral(" | "))));
        QVERIFY(dialogs.YesNoAnswers.empty()); // every question asked
        QCOMPARE(main.GetChildForm(), editor);
        const TWaterDataset& shown = *editor->Dataset();
        if (!item.WritesBack) {
            QCOMPARE(shown.Ph(), 7.5);
            QCOMPARE(shown.Calcium(), 150.0);
            QCOMPARE(shown.Alkalinity(), 127.5);
            QCOMPARE(Control<QLineEdit>(*editor, "txtPh")->text(), FormatGeneral(7.5));
            return;
        }
        QCOMPARE(shown.Ph(), Rounded(treated.PHF));
        QCOMPARE(shown.Calcium(), Rounded(treated.CAF));
        QCOMPARE(shown.Magnesium(), Rounded(treated.MGF));
        QCOMPARE(shown.Alkalinity(), Rounded(treated.ALKF));
        QCOMPARE(shown.Temperature(), Rounded(treated.TF));
        QCOMPARE(shown.CreateDate(), 45000.0);
        QCOMPARE(Control<QLineEdit>(*editor, "txtPh")->text(), FormatGeneral(Rounded(treated.PHF)));
        QCOMPARE(Control<QLineEdit>(*editor, "txtTotalCalcium")->text(), FormatGeneral(Rounded(treated.CAF)));
        QCOMPARE(Control<QLineEdit>(*editor, "txtTotalSodium")->text(), FormatGeneral(Rounded(treated.NAF)));
    }
};

QTEST_MAIN(TestEveryCalculationFromMenu)
#include "TestEveryCalculationFromMenu.moc"
