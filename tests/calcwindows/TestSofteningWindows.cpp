// The softening windows on a real water through the real facade: the lime minimum and its line,
// the target ranges that follow the water and the method, the prompts, and the extra result and
// export rows.

#include "CalcFormDriver.h"
#include "CalcWindowWaters.h"
#include "EngineFacade.h"
#include "ExportUtil.h"
#include "LocaleNumbers.h"
#include "ScriptedDialogs.h"
#include "SofteningCaCalculation.h"
#include "SofteningCaMgCalculation.h"
#include "SofteningMgCalculation.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace CalcFormDriver;
using namespace CalcWindowWaters;

namespace {

const QString kCannotView = QStringLiteral("Cannot view the results before all the values are correct.");

bool MinimumLineShown(QWidget& form) {
    const bool desc = !Control<QLabel>(form, "LabelMinCaDesc")->isHidden();
    const bool value = !Control<QLabel>(form, "LabelMinConcentration")->isHidden();
    const bool units = !Control<QLabel>(form, "LabelMinCaUnits")->isHidden();
    if (desc != value || value != units) qFatal("the minimum line is partly shown");
    return desc;
}

void ChooseMethod(QWidget& form, int index) {
    Control<QComboBox>(form, "ComboSoftenMethod")->setCurrentIndex(index);
}

} // namespace

class TestSofteningWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedDialogs> FDialogs;
    TWaterDataset FWater;
    QTemporaryDir FDir;

    QStringList Export(QWidget& form) {
        const QString path = FDir.filePath(QStringLiteral("export.csv"));
        FDialogs->SaveFileAnswers.push_back(path);
        Click(form, QStringLiteral("ButtonExport"));
        return CsvLines(path);
    }

private slots:
    void initTestCase() { QLocale::setDefault(kEnglish); }
    void init() {
        FDialogs = std::make_unique<TScriptedDialogs>();
        FWater = HardWater();
    }
    void cleanup() {
        FDialogs.reset();
        QLocale::setDefault(kEnglish);
    }

    void limeMinimumComesFromTheFacade() {
        double CAMIN = 0, ALKMIN = 0, ACIMIN = 0, HMIN = 0, LIMEINV = 0;
        GetSofteningCaLimits(FWater, CAMIN, ALKMIN, ACIMIN, HMIN, LIMEINV);
        QCOMPARE(CAMIN, 13.0); // the water was chosen for this minimum (mg/l as Ca)

        TSofteningCaCalc form;
        form.SetDataset(&FWater);
        form.show();
        QCOMPARE(form.MinCaConcentration, 32.5);
        QCOMPARE(Text(form, "LabelMinCaDesc"), QStringLiteral("Minimum Ca concentration ="));
        QCOMPARE(Text(form, "LabelMinConcentration"), QStringLiteral("32.50"));
        QCOMPARE(Text(form, "LabelMinCaUnits"), QStringLiteral("mg/l as CaC03"));
        QVERIFY(MinimumLineShown(form));
        QCOMPARE(PromptOf(form, "TxtInput"),
                 QStringLiteral(
                     "Enter the desired Calcium value between 32.5 and Ca initial (150) mg/l as CaC03."));
        QCOMPARE(Control<QLineEdit>(form, "TxtInput")->text(), QStringLiteral("0.0"));
        QVERIFY(!IsColouredValid(form, "TxtInput"));
        QVERIFY(FDialogs->Messages().isEmpty());
    }

    void limeTargetRange_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("valid");
        QTest::newRow("below the minimum") << "32.4" << false;
        QTest::newRow("the minimum") << "32.5" << true;
        QTest::newRow("the water's calcium") << "150" << true;
        QTest::newRow("above the water's calcium") << "150.1" << false;
        QTest::newRow("not a number") << "3x" << false;
    }
    void limeTargetRange() {
        QFETCH(QString, target);
        QFETCH(bool, valid);
        TSofteningCaCalc form;
        form.SetDataset(&FWater);
        form.show();
        Type(form, "TxtInput", target);
        QCOMPARE(IsColouredValid(form, "TxtInput"), valid);
    }

    void sodaAshLowersTheBoundWithoutRetyping() {
        TSofteningCaCalc form;
        form.SetDataset(&FWater);
        form.show();
        Type(form, "TxtInput", "10");
        QVERIFY(!IsColouredValid(form, "TxtInput"));

        ChooseMethod(form, TSofteningCaCalc::kSodaAsh);
        QVERIFY(IsColouredValid(form, "TxtInput"));
        QVERIFY(!MinimumLineShown(form));
        QCOMPARE(
            PromptOf(form, "TxtInput"),
            QStringLiteral("Enter the desired Calcium value between 2 and Ca initial (150) mg/l as CaC03."));

        ChooseMethod(form, TSofteningCaCalc::kLime);
        QVERIFY(!IsColouredValid(form, "TxtInput"));
        QVERIFY(MinimumLineShown(form));
    }

    void boundsAreReadFromTheWaterAtEachCheck() {
        TSofteningCaCalc form;
        form.SetDataset(&FWater);
        form.show();
        ChooseMethod(form, TSofteningCaCalc::kSodaAsh);
        Type(form, "TxtInput", "120");
        QVERIFY(IsColouredValid(form, "TxtInput"));
        FWater.SetCalcium(100);
        Type(form, "TxtInput", "120");
        QVERIFY(!IsColouredValid(form, "TxtInput"));
        Type(form, "TxtInput", "100");
        QVERIFY(IsColouredValid(form, "TxtInput"));
        QCOMPARE(
            PromptOf(form, "TxtInput"),
            QStringLiteral("Enter the desired Calcium value between 2 and Ca initial (100) mg/l as CaC03."));
    }

    void aWaterBelowTheLowerBoundAcceptsNoTarget() {
        FWater.SetCalcium(1.5);
        TSofteningCaCalc form;
        form.SetDataset(&FWater);
        form.show();
        ChooseMethod(form, TSofteningCaCalc::kSodaAsh);
        for (const char* target : {"1", "1.5", "2"}) {
            Type(form, "TxtInput", target);
            QVERIFY2(!IsColouredValid(form, "TxtInput"), target);
        }
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kInputPage);
        QCOMPARE(FDialogs->Messages().back(), kCannotView);
    }

    void limeTargetAtTheMinimumIsCalculated() {
        double CAMIN = 0, ALKMIN = 0, ACIMIN = 0, HMIN = 0, LIMEINV = 0;
        GetSofteningCaLimits(FWater, CAMIN, ALKMIN, ACIMIN, HMIN, LIMEINV);
        double dosage = 0;
        std::string units, type;
        const auto expected = RunSofteningCaLime(FWater, dosage, units, type, 32.5);

        TSofteningCaCalc form;
        form.SetDataset(&FWater);
        form.show();
        Type(form, "TxtInput", "32.5");
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kResultsPage);
        QCOMPARE(Text(form, "LabelCalcium"), QStringLiteral("32.50"));
        QCOMPARE(Text(form, "LabelPh"), FormatPattern(expected->PHF, 2));
        QCOMPARE(Text(form, "LabelDosageType"), QStringLiteral("Lime"));
        QCOMPARE(Text(form, "LabelDosage"), FormatPattern(dosage, 2));
        QCOMPARE(Text(form, "LabelDosageUnits"), QStringLiteral("mg/l as Ca(OH)2"));

        const QStringList lines = Export(form);
        // The window's rows, then the treated water's indices.
        QCOMPARE(lines.size(), 16 + kIndexExportRows);
        QCOMPARE(lines.mid(16), IndexExportRows(form.CalcIndices()));
        QCOMPARE(lines.front(), QStringLiteral("Softening to desired Ca input"));
        QCOMPARE(lines.at(14), QStringLiteral("Dosage type,Lime"));
        QCOMPARE(lines.at(15), Row({"Dosage required", FormatPattern(dosage, 2), "mg/l as Ca(OH)2"}));
    }

    void sodaAshTargetIsCalculatedWithSodaAsh() {
        double dosage = 0;
        std::string units, type;
        const auto expected = RunSofteningCaSodaAsh(FWater, dosage, units, type, 100);

        TSofteningCaCalc form;
        form.SetDataset(&FWater);
        form.show();
        ChooseMethod(form, TSofteningCaCalc::kSodaAsh);
        Type(form, "TxtInput", "100");
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kResultsPage);
        QCOMPARE(Text(form, "LabelDosageType"), QStringLiteral("Soda ash"));
        QCOMPARE(Text(form, "LabelDosage"), FormatPattern(dosage, 2));
        QCOMPARE(Text(form, "LabelDosageUnits"), QStringLiteral("mg/l as Na2CO3"));
        QCOMPARE(Text(form, "LabelSodium"), FormatPattern(expected->NAF, 2));
    }

    void magnesiumRange_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("valid");
        QTest::newRow("below 1") << "0.9" << false;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("the water's magnesium") << "50" << true;
        QTest::newRow("above the water's magnesium") << "50.1" << false;
    }
    void magnesiumRange() {
        QFETCH(QString, target);
        QFETCH(bool, valid);
        TSofteningMgCalc form;
        form.SetDataset(&FWater);
        form.show();
        QCOMPARE(Control<QLineEdit>(form, "TxtInput")->text(), QStringLiteral("0.0"));
        Type(form, "TxtInput", target);
        QCOMPARE(IsColouredValid(form, "TxtInput"), valid);
    }

    void magnesiumTargetIsCalculatedWithLime() {
        double dosage = 0;
        std::string units, type;
        const auto expected = RunSofteningMg(FWater, dosage, units, type, 20);

        TSofteningMgCalc form;
        form.SetDataset(&FWater);
        form.show();
        QCOMPARE(
            PromptOf(form, "TxtInput"),
            QStringLiteral("Enter the desired Magnesium value between 1 and Mg initial (50) mg/l as CaC03."));
        Type(form, "TxtInput", "20");
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kResultsPage);
        QCOMPARE(Text(form, "LabelMagnesium"), FormatPattern(expected->MGF, 2));
        QCOMPARE(Text(form, "LabelDosageType"), QStringLiteral("Lime"));
        QCOMPARE(Text(form, "LabelDosage"), FormatPattern(dosage, 2));
        const QStringList lines = Export(form);
        // The window's rows, then the treated water's indices.
        QCOMPARE(lines.size(), 16 + kIndexExportRows);
        QCOMPARE(lines.mid(16), IndexExportRows(form.CalcIndices()));
        QCOMPARE(lines.at(15), Row({"Dosage required", FormatPattern(dosage, 2), "mg/l as Ca(OH)2"}));
    }

    void combinedWindowColoursBothFields_data() {
        QTest::addColumn<QString>("calcium");
        QTest::addColumn<QString>("magnesium");
        QTest::addColumn<bool>("calciumValid");
        QTest::addColumn<bool>("magnesiumValid");
        QTest::newRow("magnesium above the water's") << "100"
                                                     << "60" << true << false;
        QTest::newRow("calcium below 2") << "1.9"
                                         << "20" << false << true;
        QTest::newRow("both out of range") << "151"
                                           << "0.5" << false << false;
    }
    void combinedWindowColoursBothFields() {
        QFETCH(QString, calcium);
        QFETCH(QString, magnesium);
        QFETCH(bool, calciumValid);
        QFETCH(bool, magnesiumValid);
        TSofteningCaMgCalc form;
        form.SetDataset(&FWater);
        form.show();
        Type(form, "TxtCa", calcium);
        Type(form, "TxtMg", magnesium);
        QCOMPARE(IsColouredValid(form, "TxtCa"), calciumValid);
        QCOMPARE(IsColouredValid(form, "TxtMg"), magnesiumValid);
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kInputPage);
        QCOMPARE(FDialogs->Messages(), QStringList{kCannotView});
    }

    void combinedExportEndsWithTheTwoDosages() {
        double lime = 0, ash = 0;
        RunSofteningCaMg(FWater, lime, ash, 100, 20);

        TSofteningCaMgCalc form;
        form.SetDataset(&FWater);
        form.show();
        QCOMPARE(
            PromptOf(form, "TxtCa"),
            QStringLiteral("Enter the desired Calcium value between 2 and Ca initial (150) mg/l as CaC03."));
        QCOMPARE(
            PromptOf(form, "TxtMg"),
            QStringLiteral("Enter the desired Magnesium value between 1 and Mg initial (50) mg/l as CaC03."));
        Type(form, "TxtCa", "100");
        Type(form, "TxtMg", "20");
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kResultsPage);
        QCOMPARE(Text(form, "LabelLimeDosage"), FormatPattern(lime, 2));
        QCOMPARE(Text(form, "LabelLimeDosageUnits"), QStringLiteral("mg/l as Ca(OH)2"));
        QCOMPARE(Text(form, "LabelAshDosage"), FormatPattern(ash, 2));
        QCOMPARE(Text(form, "LabelAshDosageUnits"), QStringLiteral("mg/l as Na2CO3"));

        const QStringList lines = Export(form);
        // The window's rows, then the treated water's indices.
        QCOMPARE(lines.size(), 16 + kIndexExportRows);
        QCOMPARE(lines.mid(16), IndexExportRows(form.CalcIndices()));
        QCOMPARE(lines.front(), QStringLiteral("Softening to desired Ca and Mg inputs"));
        QCOMPARE(lines.at(14), Row({"Lime dosage required", FormatPattern(lime, 2)}));
        QCOMPARE(lines.at(15), Row({"Ash dosage required", FormatPattern(ash, 2)}));
    }

    void promptsShowTheWaterInTheShortestGeneralForm_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("calcium");
        QTest::newRow("en_GB") << kEnglish << "123.456";
        QTest::newRow("de_DE") << kGerman << "123,456";
    }
    void promptsShowTheWaterInTheShortestGeneralForm() {
        QFETCH(QLocale, locale);
        QFETCH(QString, calcium);
        QLocale::setDefault(locale);
        FWater.SetCalcium(123.456);
        FWater.SetMagnesium(40);
        TSofteningCaMgCalc form;
        form.SetDataset(&FWater);
        form.show();
        QCOMPARE(
            PromptOf(form, "TxtCa"),
            QStringLiteral("Enter the desired Calcium value between 2 and Ca initial (%1) mg/l as CaC03.")
                .arg(calcium));
        QCOMPARE(
            PromptOf(form, "TxtMg"),
            QStringLiteral("Enter the desired Magnesium value between 1 and Mg initial (40) mg/l as CaC03."));
    }
};

QTEST_MAIN(TestSofteningWindows)
#include "TestSofteningWindows.moc"
