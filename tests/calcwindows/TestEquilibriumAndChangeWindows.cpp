// The air-equilibrium, underground-water, temperature and concentration windows and the underground
// results window, through the real facade: default texts in the locale's notation, the range
// edges, the CO2 change rows, the closing sequence of the underground window on either page and
// its failures, and the fifteen-row export of the results window.

#include "AirEquilibriumCalc.h"
#include "CalcFormDriver.h"
#include "CalcWindowWaters.h"
#include "ConcentrationChangeCalc.h"
#include "EngineFacade.h"
#include "ExportUtil.h"
#include "LocaleNumbers.h"
#include "ScriptedDialogs.h"
#include "TemperatureChangeCalc.h"
#include "UndergroundWaterCalc.h"
#include "UnderwaterResultsForm.h"

#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>

using namespace CalcFormDriver;
using namespace CalcWindowWaters;

namespace {

const QString kUpdateQuestion = QStringLiteral(
    "Would you like to update the active data set with the obtained values for further processing?");

enum class TWindow { Air, Underground, Temperature, Concentration };

std::unique_ptr<TCalcForm> MakeWindow(TWindow window) {
    switch (window) {
    case TWindow::Air:
        return std::make_unique<TAirEquibCalcForm>();
    case TWindow::Underground:
        return std::make_unique<TUndergroundWaterCalcForm>();
    case TWindow::Temperature:
        return std::make_unique<TTempChangeCalcForm>();
    case TWindow::Concentration:
        return std::make_unique<TConcentrationChangeCalcForm>();
    }
    return nullptr;
}

std::vector<TShownDialog::TKind> Kinds(const TScriptedDialogs& dialogs) {
    std::vector<TShownDialog::TKind> kinds;
    for (const auto& shown : dialogs.Shown)
        kinds.push_back(shown.Kind);
    return kinds;
}

// The underground water and its characterisation as the results window computes them.
struct TUnderground {
    TResultPtr Water;
    double CaCO3Precipitated = 0;
    double PrecipitationPotential = 0, Tds = 0, Conductivity = 0, IonicStrength = 0, Co3Acidity = 0;
};
TUnderground ExpectedUnderground(TWaterDataset water, double pressureCO2) {
    TUnderground expected;
    expected.Water = RunUndergroundWater(water, expected.CaCO3Precipitated, pressureCO2);
    CharacteriseWater(water, expected.PrecipitationPotential, expected.Tds, expected.Conductivity,
                      expected.IonicStrength, expected.Co3Acidity);
    return expected;
}

} // namespace

Q_DECLARE_METATYPE(TWindow)

class TestEquilibriumAndChangeWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedDialogs> FDialogs;
    TWaterDataset FWater;
    QTemporaryDir FDir;

    std::unique_ptr<TCalcForm> Open(TWindow window) {
        auto form = MakeWindow(window);
        form->SetDataset(&FWater);
        form->show();
        return form;
    }
    // The next modal window (the underground results) runs `script` and is closed by its button.
    void OnResultsWindow(std::function<void(TUgWaterResultsForm&)> script) {
        FDialogs->ModalScripts.push_back([script](QDialog& dialog) {
            auto& results = dynamic_cast<TUgWaterResultsForm&>(dialog);
            script(results);
            Click(results, QStringLiteral("ButtonClose"));
            return dialog.result();
        });
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

    void partialPressureOpensAtThatOfTheAir_data() {
        QTest::addColumn<TWindow>("window");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("air, en_GB") << TWindow::Air << kEnglish << "0.00035";
        QTest::newRow("air, de_DE") << TWindow::Air << kGerman << "0,00035";
        QTest::newRow("underground, en_GB") << TWindow::Underground << kEnglish << "0.00035";
        QTest::newRow("underground, de_DE") << TWindow::Underground << kGerman << "0,00035";
    }
    void partialPressureOpensAtThatOfTheAir() {
        QFETCH(TWindow, window);
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QLocale::setDefault(locale);
        auto form = Open(window);
        QCOMPARE(Control<QLineEdit>(*form, "TxtPartialPressure")->text(), text);
        QVERIFY(IsColouredValid(*form, "TxtPartialPressure"));
        QCOMPARE(PromptOf(*form, "TxtPartialPressure"),
                 QStringLiteral("Enter the partial pressure of C02 in the air between 0.00005 and 1 atm."));
    }

    void inputRangeEdges_data() {
        QTest::addColumn<TWindow>("window");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        const QString pressure = QStringLiteral("TxtPartialPressure");
        for (TWindow window : {TWindow::Air, TWindow::Underground}) {
            const char* name = window == TWindow::Air ? "air" : "underground";
            QTest::addRow("%s 0.00005", name) << window << pressure << "0.00005" << true;
            QTest::addRow("%s 1", name) << window << pressure << "1" << true;
            QTest::addRow("%s 0.00004", name) << window << pressure << "0.00004" << false;
            QTest::addRow("%s 1.00001", name) << window << pressure << "1.00001" << false;
        }
        const QString temperature = QStringLiteral("TxtTemperature");
        QTest::newRow("temperature 4.9") << TWindow::Temperature << temperature << "4.9" << false;
        QTest::newRow("temperature 5") << TWindow::Temperature << temperature << "5" << true;
        QTest::newRow("temperature 90") << TWindow::Temperature << temperature << "90" << true;
        QTest::newRow("temperature 90.1") << TWindow::Temperature << temperature << "90.1" << false;
        const QString evaporation = QStringLiteral("TxtInput");
        QTest::newRow("evaporation -0.1") << TWindow::Concentration << evaporation << "-0.1" << false;
        QTest::newRow("evaporation 0") << TWindow::Concentration << evaporation << "0" << true;
        QTest::newRow("evaporation 95") << TWindow::Concentration << evaporation << "95" << true;
        QTest::newRow("evaporation 95.1") << TWindow::Concentration << evaporation << "95.1" << false;
    }
    void inputRangeEdges() {
        QFETCH(TWindow, window);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        auto form = Open(window);
        Type(*form, box, text);
        QCOMPARE(IsColouredValid(*form, box), valid);
    }

    void temperatureAndConcentrationOpenAtZero() {
        auto temperature = Open(TWindow::Temperature);
        QCOMPARE(Control<QLineEdit>(*temperature, "TxtTemperature")->text(), QStringLiteral("0.0"));
        QVERIFY(!IsColouredValid(*temperature, "TxtTemperature")); // below 5
        QCOMPARE(PromptOf(*temperature, "TxtTemperature"),
                 QStringLiteral("Enter the temperature between 5 and 90 degrees Celsius."));
        auto concentration = Open(TWindow::Concentration);
        QCOMPARE(Control<QLineEdit>(*concentration, "TxtInput")->text(), QStringLiteral("0.0"));
        QVERIFY(IsColouredValid(*concentration, "TxtInput")); // 0 % is allowed
        QCOMPARE(PromptOf(*concentration, "TxtInput"),
                 QStringLiteral("Enter the percentage of evaporation between 0 and 95%."));
    }

    void airEquilibriumShowsAndExportsTheCO2Change_data() {
        QTest::addColumn<QString>("pressure");
        QTest::addColumn<double>("atm");
        QTest::newRow("the air's CO2") << "0.00035" << 0.00035;
        QTest::newRow("soil air") << "0.05" << 0.05;
    }
    void airEquilibriumShowsAndExportsTheCO2Change() {
        QFETCH(QString, pressure);
        QFETCH(double, atm);
        double amount = 0;
        std::string text;
        const auto expected = RunAirEquilibrium(FWater, amount, text, atm);

        auto form = Open(TWindow::Air);
        Type(*form, "TxtPartialPressure", pressure);
        TurnToResults(*form);
        QCOMPARE(Page(*form), TCalcForm::kResultsPage);
        QCOMPARE(Text(*form, "LabelDescriptor"), QStringLiteral("CO2 addition/removal"));
        QCOMPARE(Text(*form, "LabelEquilString"), QString::fromStdString(text));
        QCOMPARE(Text(*form, "LabelDelC02"), FormatPattern(amount, 2));
        QCOMPARE(Text(*form, "LabelDelC02Units"), QStringLiteral("mgC02/l"));
        QCOMPARE(Text(*form, "LabelPh"), FormatPattern(expected->PHF, 2));

        const QString path = FDir.filePath(QStringLiteral("air.csv"));
        FDialogs->SaveFileAnswers.push_back(path);
        Click(*form, QStringLiteral("ButtonExport"));
        const QStringList lines = CsvLines(path);
        // The window's rows, then the treated water's indices.
        QCOMPARE(lines.size(), 15 + kIndexExportRows);
        QCOMPARE(lines.mid(15), IndexExportRows(form->CalcIndices()));
        QCOMPARE(lines.front(), QStringLiteral("Equilibrium with the air"));
        QCOMPARE(lines.at(14), Row({QString::fromStdString(text), FormatPattern(amount, 2)}));
    }

    void temperatureAndConcentrationShowTheChangedWater() {
        const auto warmer = RunTemperatureChange(FWater, 60);
        auto temperature = Open(TWindow::Temperature);
        Type(*temperature, "TxtTemperature", "60");
        TurnToResults(*temperature);
        QCOMPARE(Page(*temperature), TCalcForm::kResultsPage);
        QCOMPARE(Text(*temperature, "LabelTemperature"), QStringLiteral("60.00"));
        QCOMPARE(Text(*temperature, "LabelPh"), FormatPattern(warmer->PHF, 2));
        QCOMPARE(Text(*temperature, "LabelPrecPotential"), FormatPattern(warmer->CPPF, 2));

        const auto concentrated = RunConcentrationChange(FWater, 50);
        auto concentration = Open(TWindow::Concentration);
        Type(*concentration, "TxtInput", "50");
        TurnToResults(*concentration);
        QCOMPARE(Page(*concentration), TCalcForm::kResultsPage);
        QCOMPARE(Text(*concentration, "LabelCalcium"), QStringLiteral("300.00"));
        QCOMPARE(Text(*concentration, "LabelPh"), FormatPattern(concentrated->PHF, 2));
    }

    void undergroundCloseOnTheInputPageShowsTheResultsWindowFirst() {
        // Out of range, yet a number: the results window computes with it.
        const TUnderground expected = ExpectedUnderground(FWater, 2);
        auto form = Open(TWindow::Underground);
        Type(*form, "TxtPartialPressure", "2");
        QString shownPh;
        OnResultsWindow([&](TUgWaterResultsForm& results) {
            QCOMPARE(results.PartialPressure, 2.0);
            shownPh = results.ValueText(QStringLiteral("LabelPh"));
        });
        Click(*form, QStringLiteral("ButtonCancel"));
        QCOMPARE(Kinds(*FDialogs), std::vector<TShownDialog::TKind>{TShownDialog::TKind::Modal});
        QCOMPARE(FDialogs->Shown.front().Text, QStringLiteral("Underground water results"));
        QCOMPARE(shownPh, FormatPattern(expected.Water->PHF, 2));
        QCOMPARE(form->result(), int(QDialog::Rejected));
        QVERIFY(!form->isVisible());
    }

    void undergroundCloseOnTheResultsPageWritesBackTheAirEquilibrium() {
        const TWaterDataset water = FWater;
        const TUnderground expected = ExpectedUnderground(water, 0.01);
        double amount = 0;
        std::string text;
        const auto equilibrium = RunAirEquilibrium(water, amount, text, 0.01);

        auto form = Open(TWindow::Underground);
        Type(*form, "TxtPartialPressure", "0.01");
        TurnToResults(*form);
        QCOMPARE(Page(*form), TCalcForm::kResultsPage);
        OnResultsWindow([](TUgWaterResultsForm&) {});
        FDialogs->YesNoAnswers.push_back(true);
        Click(*form, QStringLiteral("ButtonCancel"));

        QCOMPARE(Kinds(*FDialogs), (std::vector<TShownDialog::TKind>{TShownDialog::TKind::Modal,
                                                                     TShownDialog::TKind::Question}));
        QCOMPARE(FDialogs->Shown.back().Text, kUpdateQuestion);
        QCOMPARE(form->result(), int(QDialog::Accepted));
        // The rows show the underground water, the copy takes the equilibrium with the pressure.
        QCOMPARE(Text(*form, "LabelPh"), FormatPattern(expected.Water->PHF, 2));
        QCOMPARE(Text(*form, "LabelCalcium"), FormatPattern(expected.Water->CAF, 2));
        QCOMPARE(FWater.Ph(), Rounded(equilibrium->PHF));
        QCOMPARE(FWater.Calcium(), Rounded(equilibrium->CAF));
        QCOMPARE(FWater.Alkalinity(), Rounded(equilibrium->ALKF));
    }

    void undergroundCloseAnsweredNoLeavesTheCopy() {
        auto form = Open(TWindow::Underground);
        TurnToResults(*form);
        QCOMPARE(Page(*form), TCalcForm::kResultsPage);
        OnResultsWindow([](TUgWaterResultsForm&) {});
        FDialogs->YesNoAnswers.push_back(false);
        Click(*form, QStringLiteral("ButtonCancel"));
        QCOMPARE(form->result(), int(QDialog::Rejected));
        QCOMPARE(FWater.Ph(), HardWater().Ph());
        QCOMPARE(FWater.Alkalinity(), HardWater().Alkalinity());
    }

    void undergroundCloseFailuresReachTheErrorBoxAndKeepTheWindowOpen_data() {
        QTest::addColumn<QString>("pressure");
        QTest::addColumn<QString>("mentioned"); // in the error box
        QTest::newRow("not a number") << "abc"
                                      << "\"abc\"";
        QTest::newRow("zero: the calcite balance divides by zero") << "0"
                                                                   << "division by zero";
    }
    void undergroundCloseFailuresReachTheErrorBoxAndKeepTheWindowOpen() {
        QFETCH(QString, pressure);
        QFETCH(QString, mentioned);
        auto form = Open(TWindow::Underground);
        Type(*form, "TxtPartialPressure", pressure);
        OnResultsWindow([](TUgWaterResultsForm&) { QFAIL("the results window must not be shown"); });
        Click(*form, QStringLiteral("ButtonCancel"));
        QCOMPARE(Kinds(*FDialogs), std::vector<TShownDialog::TKind>{TShownDialog::TKind::Error});
        QVERIFY2(FDialogs->Shown.front().Text.contains(mentioned), qPrintable(FDialogs->Shown.front().Text));
        QVERIFY(form->isVisible());
        QCOMPARE(FDialogs->ModalScripts.size(), std::size_t{1}); // not shown
        FDialogs->ModalScripts.clear();
        // Corrected, the window closes as usual.
        Type(*form, "TxtPartialPressure", "0.001");
        Click(*form, QStringLiteral("ButtonCancel"));
        QVERIFY(!form->isVisible());
    }

    void resultsWindowExportsFifteenRowsAsShown_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("en_GB") << kEnglish;
        QTest::newRow("de_DE") << kGerman;
    }
    void resultsWindowExportsFifteenRowsAsShown() {
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        FWater = SalineWater();
        const TUnderground expected = ExpectedUnderground(FWater, 0.01);
        auto form = Open(TWindow::Underground);
        Type(*form, "TxtPartialPressure", FormatGeneral(0.01));
        const QString path = FDir.filePath(QStringLiteral("underground.csv"));
        QStringList shown;
        std::optional<TWaterIndices> indices;
        QStringList shownIndices;
        OnResultsWindow([&](TUgWaterResultsForm& results) {
            for (const char* name :
                 {"LabelPh", "LabelTemperature", "LabelAlkalinity", "LabelAcidity", "LabelCalcium",
                  "LabelMagnesium", "LabelSodium", "LabelSulphate", "LabelChoride", "LabelMhuf", "LabelTds",
                  "LabelConductivity", "LabelPrecPotential", "LabelCaCO3Prec"})
                shown << results.ValueText(QString::fromLatin1(name));
            indices = results.Indices();
            for (const char* name :
                 {"LabelSaturationIndex", "LabelSaturationPh", "LabelLangelierIndex", "LabelRyznarIndex"})
                shownIndices << results.ValueText(QString::fromLatin1(name));
            FDialogs->SaveFileAnswers.push_back(path);
            Click(results, QStringLiteral("ButtonExport"));
        });
        Click(*form, QStringLiteral("ButtonCancel"));

        QCOMPARE(shown.at(0), FormatPattern(expected.Water->PHF, 2));
        QCOMPARE(shown.at(9), FormatPattern(expected.IonicStrength, 4));
        QCOMPARE(shown.at(10), FormatPattern(expected.Tds, 2)); // the water as it came in
        QCOMPARE(shown.at(12), FormatPattern(expected.PrecipitationPotential, 2));
        QCOMPARE(shown.at(13), FormatPattern(expected.CaCO3Precipitated, 2));
        QVERIFY(expected.Tds >= 1000); // shown with a thousands separator

        const QStringList items{"pH",
                                "Temperature",
                                "Alkalinity",
                                "Acidity",
                                "Calcium",
                                "Magnesium",
                                "Sodium",
                                "Sulphate",
                                "Chloride",
                                "Ionic Strength",
                                "TDS",
                                "Conductivity",
                                "Precipitation Potential",
                                "CaCO3 Precipitation"};
        QStringList expectedLines{QStringLiteral("Underground water results")};
        for (int i = 0; i < items.size(); ++i)
            expectedLines << Row({items.at(i), shown.at(i)});
        // After the fifteen rows, the underground water's indices as shown: it is in equilibrium
        // with calcite, so its saturation index is about zero and its Langelier index with it.
        QVERIFY(indices && indices->SaturationIndex && indices->LangelierIndex);
        QVERIFY2(std::abs(*indices->SaturationIndex) < 0.05,
                 qPrintable(QString::number(*indices->SaturationIndex)));
        QCOMPARE(shownIndices, (QStringList{FormatPattern(*indices->SaturationIndex, 2),
                                            FormatPattern(*indices->SaturationPh, 2),
                                            FormatPattern(*indices->LangelierIndex, 2),
                                            FormatPattern(*indices->RyznarIndex, 2)}));
        expectedLines << IndexExportRows(indices);
        QCOMPARE(CsvLines(path), expectedLines);
    }
    void resultsWindowPrintsItsRowsOnOnePage() {
        auto form = Open(TWindow::Underground);
        const QString path = FDir.filePath(QStringLiteral("underground.pdf"));
        QString tds;
        OnResultsWindow([&](TUgWaterResultsForm& results) {
            tds = results.ValueText(QStringLiteral("LabelTds"));
            FDialogs->PrintAnswers.push_back([&](QPrinter& printer) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(path);
                printer.setResolution(600);
                return true;
            });
            Click(results, QStringLiteral("ButtonPrint"));
        });
        Click(*form, QStringLiteral("ButtonCancel"));
        QVERIFY(FDialogs->Messages().isEmpty());
        QVERIFY(QFileInfo(path).size() > 0);
        if (QString(CALVARO_PDFTOTEXT).isEmpty())
            QSKIP("pdftotext (poppler-utils) is needed to read the page back");
        QProcess tool;
        tool.start(QStringLiteral(CALVARO_PDFTOTEXT), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        QVERIFY(tool.waitForFinished());
        const QString page = QString::fromUtf8(tool.readAllStandardOutput());
        for (const QString& text :
             {QStringLiteral("Underground water results"), QStringLiteral("CaCO3 Precipitation"),
              QStringLiteral("Ionic Strength"), tds})
            QVERIFY2(page.contains(text), qPrintable(text));
    }
};

QTEST_MAIN(TestEquilibriumAndChangeWindows)
#include "TestEquilibriumAndChangeWindows.moc"
