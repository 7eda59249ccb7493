// End to end: each dosing window opened from the main window's Calculations menu on the active data
// set, run, closed with the update, and the data set window showing the treated water.

#include "CalcFormDriver.h"
#include "CalcWindowWaters.h"
#include "CalculationWindows.h"
#include "CalvaroMainForm.h"
#include "LocaleNumbers.h"
#include "SampleWaters.h"
#include "ScriptedDialogs.h"
#include "WaterDatasetForm.h"

#include <QAction>
#include <QLocale>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>

using namespace CalcFormDriver;

namespace {

const QString kUpdateQuestion = QStringLiteral(
    "Would you like to update the active data set with the obtained values for further processing?");

// The hard river water of the sample waters, on a fixed date (day 45000).
std::unique_ptr<TWaterDataset> RiverWater() {
    auto w = std::make_unique<TWaterDataset>(HardTdsWater());
    w->SetCreateDate(45000);
    return w;
}

// Soft water short of calcium (alkalinity 100 above calcium 20, both mg/l as CaCO3).
std::unique_ptr<TWaterDataset> SoftWater() {
    auto w = std::make_unique<TWaterDataset>(CalciumDeficientWater());
    w->SetCreateDate(45000);
    return w;
}

// Runs the window the menu opened: one input typed, the results page, Close, and the answer to
// the update question. Returns the window's result and notes its treated pH.
std::function<int(QDialog&)> RunWindow(TScriptedDialogs& dialogs, QString box, QString input, bool update,
                                       double& treatedPh) {
    return [&dialogs, box, input, update, &treatedPh](QDialog& dialog) {
        auto& form = dynamic_cast<TCalcForm&>(dialog);
        Type(form, box, input);
        TurnToResults(form);
        if (Page(form) != TCalcForm::kResultsPage) return int(QDialog::Rejected);
        treatedPh = form.CalcResult()->PHF;
        dialogs.YesNoAnswers.push_back(update);
        Click(form, "ButtonCancel");
        return form.result();
    };
}

using CalcWindowWaters::Rounded;

} // namespace

class TestCalcWindowsFromMenu : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedDialogs> FDialogs;
    std::unique_ptr<TfrmCalvaroMain> FMain;
    TfrmWaterDataset* FEditor = nullptr;

    QString EditorText(const char* box) { return Control<QLineEdit>(*FEditor, box)->text(); }
    void OpenWater(std::unique_ptr<TWaterDataset> water) {
        FEditor = FMain->OpenDatasetWindow(QStringLiteral("river.clv"), std::move(water));
        FMain->OnFormChildrenChanged();
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        RegisterCalculationWindows();
    }
    void init() {
        FDialogs = std::make_unique<TScriptedDialogs>();
        FMain = std::make_unique<TfrmCalvaroMain>();
        FMain->show();
    }
    void cleanup() {
        FMain.reset();
        FDialogs.reset();
    }

    void menuRunsTheWindowAndTheEditorShowsTheTreatedWater_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("input");
        QTest::newRow("pH adjustment") << "Calc7"
                                       << "pH adjustment calculation"
                                       << "TxtInput"
                                       << "7.05";
        QTest::newRow("stabilisation") << "Calc2"
                                       << "Stabilisation calculation"
                                       << "TxtPrecipPotential"
                                       << "-2";
        QTest::newRow("deficient water") << "Calc9"
                                         << "Ca and carbonate species deficient water"
                                         << "TxtInput"
                                         << "50";
    }
    void menuRunsTheWindowAndTheEditorShowsTheTreatedWater() {
        QFETCH(QString, action);
        QFETCH(QString, title);
        QFETCH(QString, box);
        QFETCH(QString, input);
        OpenWater(action == "Calc9" ? SoftWater() : RiverWater());
        QVERIFY(FMain->Action(action)->isEnabled());
        double treatedPh = 0;
        // The deficient-water window first offers the stabilisation; No, then the update question.
        if (action == "Calc9") FDialogs->YesNoAnswers.push_back(false);
        FDialogs->ModalScripts.push_back(RunWindow(*FDialogs, box, input, true, treatedPh));
        FMain->Action(action)->trigger();

        QCOMPARE(FDialogs->Shown.front().Kind, TShownDialog::TKind::Modal);
        QCOMPARE(FDialogs->Shown.front().Text, title);
        QVERIFY(FDialogs->Messages().isEmpty());
        QVERIFY(treatedPh > 0);
        QCOMPARE(FEditor->Dataset()->Ph(), Rounded(treatedPh));
        QCOMPARE(EditorText("txtPh"), FormatGeneral(Rounded(treatedPh)));
        QCOMPARE(EditorText("txtCarboSystemChar"), FormatGeneral(FEditor->Dataset()->Alkalinity()));
        QCOMPARE(FEditor->Dataset()->CreateDate(), 45000.0); // the editor keeps its date
        if (action == "Calc9") QCOMPARE(EditorText("txtTotalCalcium"), QStringLiteral("50"));
    }

    void closingWithoutTheUpdateLeavesTheDataSet() {
        OpenWater(RiverWater());
        const TWaterDataset before = *FEditor->Dataset();
        double treatedPh = 0;
        FDialogs->ModalScripts.push_back(RunWindow(*FDialogs, "TxtInput", "6.8", false, treatedPh));
        FMain->Action("Calc7")->trigger();
        QVERIFY(treatedPh > 0);
        QCOMPARE(*FEditor->Dataset(), before);
        QCOMPARE(EditorText("txtPh"), FormatGeneral(7.5));
    }

    void deficientWaterStabilisedWithCO2ReachesTheEditor() {
        OpenWater(SoftWater());
        double stabilisedPh = 0;
        FDialogs->ModalScripts.push_back([&](QDialog& dialog) {
            auto& deficient = dynamic_cast<TCalcForm&>(dialog);
            Type(deficient, "TxtInput", "50");
            TurnToResults(deficient);
            FDialogs->YesNoAnswers.push_back(true); // stabilise with CO2
            Click(deficient, "ButtonCancel");
            return deficient.result();
        });
        FDialogs->ModalScripts.push_back(RunWindow(*FDialogs, "TxtPrecipPotential", "0", true, stabilisedPh));
        FMain->Action("Calc9")->trigger();
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::Question);
        QCOMPARE(FDialogs->TextsOf(TShownDialog::TKind::Modal),
                 (QStringList{"Ca and carbonate species deficient water", "Stabilisation calculation"}));
        QVERIFY(stabilisedPh > 0);
        QCOMPARE(FEditor->Dataset()->Ph(), Rounded(stabilisedPh));
        QCOMPARE(EditorText("txtPh"), FormatGeneral(Rounded(stabilisedPh)));
        QCOMPARE(EditorText("txtTotalCalcium"), QStringLiteral("50")); // CO2 leaves the calcium
    }
};

QTEST_MAIN(TestCalcWindowsFromMenu)
#include "TestCalcWindowsFromMenu.moc"
