// The calculation window framework, driven through a small window of this test that returns a
// result it builds itself: the page guard, the messages, the close paths, the write-back and
// export and print. The real windows are in TestDosingWindows.cpp.

#include "CalcFormDriver.h"
#include "CalculationBaseForm.h"
#include "EngineFacade.h"
#include "HelpFile.h"
#include "InputCheck.h"
#include "LocaleNumbers.h"
#include "ScriptedDialogs.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>

using namespace CalcFormDriver;

namespace {

const QString kCannotView = QStringLiteral("Cannot view the results before all the values are correct.");
const QString kUpdateQuestion = QStringLiteral(
    "Would you like to update the active data set with the obtained values for further processing?");

// A treated water with values chosen to show the rounding: pH 7.456 -> 7.46, HCO3 acidity
// (ACIF - ALKF) / 2 = -1.237 -> -1.24, ionic strength 0.012345 -> 0.0123.
TCalculationResult ProbeResult() {
    TCalculationResult r;
    r.ALKF = 100;
    r.ACIF = 97.526;
    r.CAF = 80.004;
    r.MGF = 40.556;
    r.NAF = 1234.5678;
    r.SO4F = 96.125;
    r.CLF = 35.4449;
    r.PHF = 7.456;
    r.TF = 21.996;
    r.MHUF = 0.012345;
    r.TDSF = 493.8;
    r.CONF = 77.15625;
    r.CPPF = -3.333;
    r.WATCHAR = 2;
    r.CARBSYSORDER = 1;
    return r;
}

// The window under test: one number box (0 to 10), a calculation that returns Outcome, or fails.
class TProbeCalcForm final : public TCalcForm {
public:
    TProbeCalcForm() {
        setWindowTitle(QStringLiteral("Probe calculation"));
        QGroupBox* group = createInputGroup(QStringLiteral("Probe inputs"));
        TxtValue =
            createNumberInput(group, QStringLiteral("Value :"), QStringLiteral("mg/l"),
                              QStringLiteral("Enter a value between 0 and 10."), QStringLiteral("TxtValue"));
    }
    TCalculationResult Outcome = ProbeResult();
    std::string FailWith;   // a calculation error to raise instead of a result
    bool SetsResult = true; // false: Calculate "forgets" to store its result
    int Runs = 0;
    double LastInput = -1;

    using TCalcForm::ApplyResultToDataset;
    using TCalcForm::RunCalculation;
    using TCalcForm::ShowResults;

protected:
    bool ValidateInputs() override { return CheckControlRange(TxtValue, 0, 10); }
    void FormShow() override {
        TCalcForm::FormShow();
        TxtValue->setText(FormatPattern(5, 1));
    }
    bool Calculate(const TWaterDataset&) override {
        ++Runs;
        LastInput = ReadNumber(TxtValue);
        if (!FailWith.empty()) throw TEngineError(FailWith);
        if (SetsResult) SetCalcResult(std::make_unique<TCalculationResult>(Outcome));
        ShowResults(CalcResult());
        return true;
    }

private:
    QLineEdit* TxtValue;
};

TWaterDataset RawWater() {
    TWaterDataset w;
    w.SetCreateDate(45123.5);
    w.SetFraction(42.5);
    w.SetPh(7.2);
    w.SetTemperature(15);
    w.SetSodium(20);
    w.SetMagnesium(30);
    w.SetCalcium(90);
    w.SetSulphate(40);
    w.SetChloride(35);
    w.SetWaterCharacterIndex(0);
    w.SetTDS(300);
    w.SetCarbonCharacterIndex(0);
    w.SetAlkalinity(110);
    w.SetAcidity(12);
    w.SetCarbonateSpecies(131);
    w.SetPressureCO2(0.01);
    return w;
}

// The standard output of a poppler tool.
QString RunTool(const char* tool, const QStringList& arguments) {
    QProcess process;
    process.start(QString::fromLocal8Bit(tool), arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

enum class TTurn { Click, CtrlTab, ArrowKey };

void TurnBy(TCalcForm& form, TTurn turn) {
    switch (turn) {
    case TTurn::Click:
        TurnToResults(form);
        break;
    case TTurn::CtrlTab:
        QTest::keyClick(Control<QLineEdit>(form, "TxtValue"), Qt::Key_Tab, Qt::ControlModifier);
        break;
    case TTurn::ArrowKey:
        QTest::keyClick(Tabs(form)->tabBar(), Qt::Key_Right);
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(TTurn)

class TestCalcFormFramework : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedDialogs> FDialogs;
    std::unique_ptr<TProbeCalcForm> FForm;
    TWaterDataset FWater;

    TProbeCalcForm& Form() { return *FForm; }
    void TurnAndExpectResults() {
        TurnToResults(Form());
        QCOMPARE(Page(Form()), TCalcForm::kResultsPage);
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void init() {
        FDialogs = std::make_unique<TScriptedDialogs>();
        FWater = RawWater();
        FForm = std::make_unique<TProbeCalcForm>();
        FForm->SetDataset(&FWater);
    }
    void cleanup() {
        FForm.reset();
        FDialogs.reset();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void opensOnInputPageWithExportAndPrintHidden() {
        // As if the window had been designed on its results page.
        Tabs(Form())->setCurrentIndex(TCalcForm::kResultsPage);
        Form().show();
        QCOMPARE(Page(Form()), TCalcForm::kInputPage);
        QVERIFY(!ExportAndPrintVisible(Form()));
        QCOMPARE(Control<QLineEdit>(Form(), "TxtValue")->text(), QStringLiteral("5.0"));
        QVERIFY(IsColouredValid(Form(), "TxtValue"));
        QVERIFY(Form().minimumWidth() >= 400 && Form().minimumHeight() >= 350);
        QVERIFY(Form().minimumSize() == Form().maximumSize()); // a fixed border
    }

    void invalidInputRefusesEveryWayOfTurning_data() {
        QTest::addColumn<TTurn>("turn");
        QTest::addColumn<QString>("text");
        QTest::newRow("click, letter") << TTurn::Click << QStringLiteral("4a");
        QTest::newRow("Ctrl+Tab, letter") << TTurn::CtrlTab << QStringLiteral("x");
        QTest::newRow("arrow key, above range") << TTurn::ArrowKey << QStringLiteral("10.01");
        QTest::newRow("click, empty") << TTurn::Click << QString();
    }
    void invalidInputRefusesEveryWayOfTurning() {
        QFETCH(TTurn, turn);
        QFETCH(QString, text);
        Form().show();
        QSignalSpy pageChanges(Tabs(Form()), &QTabWidget::currentChanged);
        Type(Form(), "TxtValue", text);
        QVERIFY(!IsColouredValid(Form(), "TxtValue")); // coloured while typing, before any turn
        TurnBy(Form(), turn);
        QCOMPARE(Page(Form()), TCalcForm::kInputPage);
        QCOMPARE(pageChanges.count(), 0); // refused before the results page was ever shown
        QCOMPARE(FDialogs->Messages(), QStringList{kCannotView});
        QCOMPARE(Form().Runs, 0);
        QVERIFY(!ExportAndPrintVisible(Form()));
    }

    void validInputTurnsByEveryWay_data() {
        QTest::addColumn<TTurn>("turn");
        QTest::newRow("click") << TTurn::Click;
        QTest::newRow("Ctrl+Tab") << TTurn::CtrlTab;
        QTest::newRow("arrow key") << TTurn::ArrowKey;
    }
    void validInputTurnsByEveryWay() {
        QFETCH(TTurn, turn);
        Form().show();
        Type(Form(), "TxtValue", QStringLiteral("7.5"));
        TurnBy(Form(), turn);
        QCOMPARE(Page(Form()), TCalcForm::kResultsPage);
        QCOMPARE(Form().Runs, 1);
        QCOMPARE(Form().LastInput, 7.5);
        QVERIFY(ExportAndPrintVisible(Form()));
        QVERIFY(FDialogs->Messages().isEmpty());
    }

    void everyTurnRunsAgainAndBackHidesTheButtons() {
        Form().show();
        TurnAndExpectResults();
        QCOMPARE(Form().Runs, 1);
        TurnToInputs(Form());
        QCOMPARE(Page(Form()), TCalcForm::kInputPage);
        QVERIFY(!ExportAndPrintVisible(Form()));
        TurnAndExpectResults(); // same inputs, calculated again
        QCOMPARE(Form().Runs, 2);
        QVERIFY(ExportAndPrintVisible(Form()));
    }

    void calculationErrorIsReportedOnceAndKeepsThePreviousResult() {
        Form().show();
        TurnAndExpectResults();
        const TCalculationResult* first = Form().CalcResult();
        TurnToInputs(Form());
        Form().FailWith = "Floating point division by zero";
        TurnToResults(Form());
        QCOMPARE(Page(Form()), TCalcForm::kInputPage);
        QCOMPARE(FDialogs->Messages(),
                 QStringList{
                     QStringLiteral("Error while running the calculation: Floating point division by zero")});
        QCOMPARE(Form().CalcResult(), first);
        QVERIFY(!ExportAndPrintVisible(Form()));
    }

    void resultsShowInTheLocalePatterns_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("sodium");
        QTest::addColumn<QString>("ph");
        QTest::addColumn<QString>("ionicStrength");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "1,234.57"
                               << "7.46"
                               << "0.0123";
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "1.234,57"
                               << "7,46"
                               << "0,0123";
    }
    void resultsShowInTheLocalePatterns() {
        QFETCH(QLocale, locale);
        QFETCH(QString, sodium);
        QFETCH(QString, ph);
        QFETCH(QString, ionicStrength);
        QLocale::setDefault(locale);
        Form().show();
        TurnAndExpectResults();
        QCOMPARE(Control<QLabel>(Form(), "LabelSodium")->text(), sodium);
        QCOMPARE(Control<QLabel>(Form(), "LabelPh")->text(), ph);
        QCOMPARE(Control<QLabel>(Form(), "LabelMhuf")->text(), ionicStrength);
        QCOMPARE(Control<QLabel>(Form(), "LabelPrecPotential")->text(), FormatPattern(-3.33, 2));
    }

    void resultRowsCarryTheOnScreenUnits() {
        // The screen writes the digit zero in CaC03, C03 and mgS04/l.
        QStringList texts;
        for (const QLabel* label : Control(Form(), "GroupBoxResults")->findChildren<QLabel*>())
            texts << label->text();
        for (const char* text : {"C03 acidity :", "mg/l as CaC03", "mgS04/l", "TDS  :", "degrees C", "mgNa/l",
                                 "mgCl/l", "mS/m", "Precipitation potential :"})
            QVERIFY2(texts.contains(QString::fromLatin1(text)), text);
        QVERIFY(!texts.contains(QStringLiteral("mg/l as CaCO3")));
        QCOMPARE(Control<QWidget>(Form(), "GroupBoxResults")->property("title").toString(),
                 QStringLiteral("Results after treatment"));
    }

    void missingResultWarnsAndLeavesTheLabels() {
        Form().show();
        TurnAndExpectResults();
        FDialogs->Shown.clear();
        Form().ShowResults(nullptr);
        QCOMPARE(FDialogs->Messages(),
                 QStringList{QStringLiteral("Warning: No calculation result created!")});
        QCOMPARE(Control<QLabel>(Form(), "LabelPh")->text(), QStringLiteral("7.46"));
    }

    void okWithoutAStoredResultLeavesTheWindowAndTheWater() {
        // A calculation that forgets its result is a fault of the window's code: a debug build stops at
        // its assertion. A release build shows the operator no "Bug" box, writes nothing back and stays.
#ifndef QT_NO_DEBUG
        QSKIP("a calculation without its result stops a debug build at its assertion");
#endif
        Form().show();
        Form().SetsResult = false;
        const TWaterDataset before = FWater;
        Form().ButtonOkClick();
        QVERIFY(!FDialogs->Messages().contains(QStringLiteral("Bug: The result object was not set!")));
        QCOMPARE(FWater, before);
        QVERIFY(Form().isVisible());
    }

    void okCalculatesAndWritesBack() {
        Form().show();
        Form().ButtonOkClick();
        QCOMPARE(Form().result(), int(QDialog::Accepted));
        QCOMPARE(FWater.Ph(), 7.46);
    }

    void closeEndsTheWindowByPageAndAnswer_data() {
        QTest::addColumn<bool>("onResults");
        QTest::addColumn<bool>("calculatedBefore");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("viaEscape");
        QTest::addColumn<int>("expectedResult");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("writtenBack");
        const int ok = QDialog::Accepted;
        const int cancel = QDialog::Rejected;
        QTest::newRow("inputs, never calculated")
            << false << false << true << false << cancel << false << false;
        QTest::newRow("inputs, after a calculation")
            << false << true << true << false << cancel << false << false;
        QTest::newRow("results, No") << true << true << false << false << cancel << true << false;
        QTest::newRow("results, Yes") << true << true << true << false << ok << true << true;
        QTest::newRow("Escape on results, Yes") << true << true << true << true << ok << true << true;
        QTest::newRow("Escape on inputs") << false << true << true << true << cancel << false << false;
    }
    void closeEndsTheWindowByPageAndAnswer() {
        QFETCH(bool, onResults);
        QFETCH(bool, calculatedBefore);
        QFETCH(bool, answer);
        QFETCH(bool, viaEscape);
        QFETCH(int, expectedResult);
        QFETCH(bool, asked);
        QFETCH(bool, writtenBack);
        Form().show();
        if (calculatedBefore) TurnAndExpectResults();
        if (!onResults) TurnToInputs(Form());
        QCOMPARE(Page(Form()), onResults ? TCalcForm::kResultsPage : TCalcForm::kInputPage);
        const TWaterDataset before = FWater;
        FDialogs->YesNoAnswers.push_back(answer);
        if (viaEscape)
            QTest::keyClick(Control<QLineEdit>(Form(), "TxtValue"), Qt::Key_Escape);
        else
            Click(Form(), "ButtonCancel");
        QVERIFY(!Form().isVisible());
        QCOMPARE(Form().result(), expectedResult);
        QCOMPARE(FDialogs->TextsOf(TShownDialog::TKind::Question),
                 asked ? QStringList{kUpdateQuestion} : QStringList());
        QCOMPARE(FWater != before, writtenBack);
    }

    void closeBoxCancelsWithoutAQuestion() {
        Form().show();
        TurnAndExpectResults();
        const TWaterDataset before = FWater;
        FDialogs->YesNoAnswers.push_back(true);
        Form().close();
        QCOMPARE(Form().result(), int(QDialog::Rejected));
        QVERIFY(FDialogs->Shown.empty());
        QCOMPARE(FWater, before);
    }

    void writeBackRoundsHalfAwayFromZeroAndKeepsFractionAndDate() {
        Form().show();
        TurnAndExpectResults();
        FDialogs->YesNoAnswers.push_back(true);
        Click(Form(), "ButtonCancel");
        QCOMPARE(Form().result(), int(QDialog::Accepted));
        const TCalculationResult r = ProbeResult();
        QCOMPARE(FWater.Ph(), 7.46);
        QCOMPARE(FWater.Acidity(), -1.24);          // (97.526 - 100) / 2 = -1.237
        QCOMPARE(FWater.IonicStrength(), 0.0123);   // 0.012345
        QCOMPARE(FWater.CarbonateSpecies(), 98.76); // (100 + 97.526) / 2 = 98.763
        QCOMPARE(FWater.Alkalinity(), 100.0);
        QCOMPARE(FWater.Calcium(), 80.0);
        QCOMPARE(FWater.Magnesium(), 40.56);
        QCOMPARE(FWater.Sodium(), 1234.57);
        QCOMPARE(FWater.Sulphate(), 96.13); // 96.125 is exact in binary: a true half
        QCOMPARE(FWater.Chloride(), 35.44);
        QCOMPARE(FWater.Temperature(), 22.0);
        QCOMPARE(FWater.TDS(), 493.8);
        QCOMPARE(FWater.Conductivity(), 77.16);
        QCOMPARE(FWater.WaterCharacterIndex(), r.WATCHAR);
        QCOMPARE(FWater.CarbonCharacterIndex(), r.CARBSYSORDER);
        // Kept from the raw water.
        QCOMPARE(FWater.Fraction(), 42.5);
        QCOMPARE(FWater.CreateDate(), 45123.5);
        // The treated water's own CO2 partial pressure, at seven decimals.
        const double pressure = PressureCO2OfResult(r);
        QVERIFY(std::abs(FWater.PressureCO2() - pressure) <= 0.5e-7 + 1e-15);
        QCOMPARE(FWater.PressureCO2(), std::round(pressure * 1e7) / 1e7);
    }

    // The value is divided by the step and cut after adding a half (away from zero): a double just
    // below a half, as 0.00245 (0.0024499999...) and 0.295 (0.29499999...) are, goes down, although
    // multiplying it by 10000 or 100 would give exactly 24.5 or 29.5.
    void writeBackRoundsAtTheStep_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("stored");
        QTest::newRow("ionic strength 0.00245, just below a half") << "MHUF" << 0.00245 << 0.0024;
        QTest::newRow("ionic strength 0.01235, just below a half") << "MHUF" << 0.01235 << 0.0123;
        QTest::newRow("ionic strength 0.012345") << "MHUF" << 0.012345 << 0.0123;
        QTest::newRow("chloride 0.295, just below a half") << "CLF" << 0.295 << 0.29;
        QTest::newRow("sodium 20.145, a half") << "NAF" << 20.145 << 20.15;
        QTest::newRow("pH 7.456") << "PHF" << 7.456 << 7.46;
        // Negative values go away from zero; not real waters, the rounding alone.
        QTest::newRow("alkalinity -1.237") << "ALKF" << -1.237 << -1.24;
        QTest::newRow("chloride -0.005") << "CLF" << -0.005 << -0.01;
        QTest::newRow("chloride -0.235, just above a negative half") << "CLF" << -0.235 << -0.23;
    }
    void writeBackRoundsAtTheStep() {
        QFETCH(QString, field);
        QFETCH(double, value);
        QFETCH(double, stored);
        struct TField {
            double TCalculationResult::*Result;
            double (TWaterDataset::*Stored)() const;
        };
        const std::map<QString, TField> fields{
            {"MHUF", {&TCalculationResult::MHUF, &TWaterDataset::IonicStrength}},
            {"CLF", {&TCalculationResult::CLF, &TWaterDataset::Chloride}},
            {"NAF", {&TCalculationResult::NAF, &TWaterDataset::Sodium}},
            {"PHF", {&TCalculationResult::PHF, &TWaterDataset::Ph}},
            {"ALKF", {&TCalculationResult::ALKF, &TWaterDataset::Alkalinity}},
        };
        const TField& f = fields.at(field);
        Form().Outcome.*f.Result = value;
        Form().show();
        TurnAndExpectResults();
        FDialogs->YesNoAnswers.push_back(true);
        Click(Form(), "ButtonCancel");
        QCOMPARE(Form().result(), int(QDialog::Accepted));
        // Exactly the double of the decimal, not one a bit beside it.
        QCOMPARE((FWater.*f.Stored)(), stored);
        QVERIFY((FWater.*f.Stored)() == stored);
    }

    void promptShowsWhileTheFieldHasFocus() {
        Form().show();
        auto* box = Control<QLineEdit>(Form(), "TxtValue");
        auto* panel = Control<QLabel>(Form(), "StatusPanel");
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(box, &focusIn);
        QCOMPARE(panel->text(), QStringLiteral("Enter a value between 0 and 10."));
        QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &focusOut);
        QCOMPARE(panel->text(), QString());
        // The whole prompt fits the status bar.
        QVERIFY(panel->width() >=
                panel->fontMetrics().horizontalAdvance(QStringLiteral("Enter a value between 0 and 10.")));
    }

    void helpKeyOpensTheHelpFileBesideTheProgram() {
        Form().show();
        QTest::keyClick(&Form(), Qt::Key_F1);
        // The main window's help: the file beside the program, or a message naming it when missing.
        const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/help.chm");
        QCOMPARE(FDialogs->Shown.size(), std::size_t(1));
        if (QFileInfo(path).isFile()) {
            QCOMPARE(FDialogs->Shown[0].Kind, TShownDialog::TKind::Document);
            QCOMPARE(FDialogs->Shown[0].Text, path);
        } else {
            QCOMPARE(FDialogs->Messages(), QStringList{MissingHelpFileMessage(path)});
        }
        QVERIFY(Form().isVisible());
    }

    void runCalculationWithInvalidInputsDisablesTheResults() {
        Form().show();
        Type(Form(), "TxtValue", QStringLiteral("11"));
        QVERIFY(!Form().RunCalculation());
        QCOMPARE(Form().Runs, 0);
        QVERIFY(!Control(Form(), "TabSheetResults")->isEnabled());
        Type(Form(), "TxtValue", QStringLiteral("1"));
        TurnAndExpectResults();
        QVERIFY(Control(Form(), "TabSheetResults")->isEnabled());
    }

    void exportWritesTheCaptionRowThenTheResultRows() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("probe.csv"));
        Form().show();
        TurnAndExpectResults();
        FDialogs->SaveFileAnswers.push_back(path);
        Click(Form(), "ButtonExport");
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::SaveFile);
        QCOMPARE(FDialogs->Shown.back().Text,
                 QStringLiteral("Please select where you would like to export the results to."));
        QCOMPARE(FDialogs->Shown.back().Detail, QString()); // the file name was emptied
        const QStringList lines = CsvLines(path);
        const QStringList expected{
            QStringLiteral("Probe calculation"),
            QStringLiteral("pH,7.46,"),
            QStringLiteral("Temperature,22.00,degrees C"),
            QStringLiteral("Total alkalinity,100.00,mg/l CaCO3"),
            QStringLiteral("Acidity,97.53,mg/l CaCO3"),
            QStringLiteral("Calcium,80.00,mg/l CaCO3"),
            QStringLiteral("Magnesium,40.56,mg/l CaCO3"),
            QStringLiteral("Sodium,\"1,234.57\",mgNa/l"), // quoted by the writer: the comma groups thousands
            QStringLiteral("Sulphate,96.13,mgSO4/l"),
            QStringLiteral("Chloride,35.44,mgCl/l"),
            QStringLiteral("Ionic strength,0.0123"),
            QStringLiteral("TDS,493.80,mg/l"),
            QStringLiteral("Conductivity,77.16,mS/m"),
            QStringLiteral("Precipitation potential,-3.33,mg/l CaCO3"),
        };
        // The window's rows, then the treated water's indices.
        QCOMPARE(lines.mid(0, expected.size()), expected);
        QCOMPARE(lines.mid(expected.size()), IndexExportRows(Form().CalcIndices()));
    }

    void exportCancelledWritesNothing() {
        QTemporaryDir dir;
        Form().show();
        TurnAndExpectResults();
        Click(Form(), "ButtonExport"); // no answer queued: cancelled
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
        QVERIFY(FDialogs->Messages().isEmpty());
    }

    void exportToAMissingFolderShowsTheErrorBox() {
        QTemporaryDir dir;
        Form().show();
        TurnAndExpectResults();
        FDialogs->SaveFileAnswers.push_back(dir.filePath(QStringLiteral("no/such/folder/probe.csv")));
        Click(Form(), "ButtonExport");
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::Error);
        QVERIFY(!FDialogs->Shown.back().Text.isEmpty());
        QVERIFY(Form().isVisible());
    }

    void printGoesToThePrinterTheDialogChose() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("probe.pdf"));
        Form().show();
        TurnAndExpectResults();
        // The dialog's answer: a 600 dpi printer that prints into a PDF file.
        FDialogs->PrintAnswers.push_back([&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            printer.setResolution(600);
            return true;
        });
        Click(Form(), "ButtonPrint");
        QVERIFY(FDialogs->Messages().isEmpty());
        QVERIFY(QFileInfo(path).size() > 0);
        if (QString(CALVARO_PDFINFO).isEmpty() || QString(CALVARO_PDFTOTEXT).isEmpty())
            QSKIP("poppler-utils (pdfinfo, pdftotext) is needed to read the printed page back");
        const QString info = RunTool(CALVARO_PDFINFO, {path});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Calvaro V\\n"))),
                 qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
        // The words with their top-left corners in points: the rows 120 dots apart and the
        // columns 1300 dots apart, from 40 dots in, at 600 dots per inch.
        const QString boxes =
            RunTool(CALVARO_PDFTOTEXT, {QStringLiteral("-bbox"), path, QStringLiteral("-")});
        static const QRegularExpression word(
            QStringLiteral(R"re(<word xMin="([-\d.]+)" yMin="([-\d.]+)"[^>]*>([^<]*)</word>)re"));
        const auto at = [&](const QString& text) {
            for (auto m = word.globalMatch(boxes); m.hasNext();) {
                const auto match = m.next();
                if (match.captured(3) == text)
                    return QPointF(match.captured(1).toDouble(), match.captured(2).toDouble());
            }
            return QPointF(-1000, -1000);
        };
        // Positions relative to the caption's, which sits at the printable area's top-left corner.
        const QPointF origin = at(QStringLiteral("Probe"));
        QVERIFY2(origin.x() > -1000, qPrintable(boxes));
        const auto dots = [](double d) { return d * 72 / 600; };
        const auto isAt = [&](const char* text, int column, int row) {
            const QPointF p = at(QString::fromLatin1(text)) - origin;
            return std::abs(p.x() - dots(1300 * column)) < 0.5 && std::abs(p.y() - dots(120 * row)) < 0.5;
        };
        QVERIFY2(isAt("pH", 0, 1) && isAt("7.46", 1, 1), qPrintable(boxes));
        QVERIFY2(isAt("mgSO4/l", 2, 8), qPrintable(boxes));
        QVERIFY2(isAt("Precipitation", 0, 13) && isAt("-3.33", 1, 13), qPrintable(boxes));
    }

    void printCancelledPrintsNothing() {
        Form().show();
        TurnAndExpectResults();
        FDialogs->PrintAnswers.push_back([](QPrinter&) { return false; });
        Click(Form(), "ButtonPrint");
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::Print);
        QVERIFY(FDialogs->Messages().isEmpty());
    }
};

QTEST_MAIN(TestCalcFormFramework)
#include "TestCalcFormFramework.moc"
