// The fixed texts of every calculation window and of the underground results window, as the
// operator reads them: captions, input frames, the caption and unit beside each input, default
// texts, the pick lists, the rows of the results page top to bottom and the buttons. The on-screen
// units keep the digit zero ("CaC03", "C03", "mgS04/l", "mgC02/l"); a letter O among them is a fault.

#include "AirEquilibriumCalc.h"
#include "BlendMultipleWatersCalc.h"
#include "BlendToPhCalc.h"
#include "CaCarbDeficiencyCalc.h"
#include "CalcFormDriver.h"
#include "CalcWindowWaters.h"
#include "ConcentrationChangeCalc.h"
#include "PhAdjustmentCalc.h"
#include "ScriptedDialogs.h"
#include "SofteningCaCalculation.h"
#include "SofteningCaMgCalculation.h"
#include "SofteningMgCalculation.h"
#include "StabilizationCalc.h"
#include "TemperatureChangeCalc.h"
#include "UndergroundWaterCalc.h"
#include "UnderwaterResultsForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <memory>

using namespace CalcFormDriver;
using namespace CalcWindowWaters;

namespace {

// One input box: its name, the caption before it, the unit after it, its text at opening.
struct TInputText {
    QString Box;
    QString Caption;
    QString Unit;
    QString Default;
};

// A row of a results frame as the test reads it: caption, value label name, unit text.
QString ResultRow(const QString& caption, const QString& value, const QString& unit) {
    return caption + " | " + value + " | " + unit;
}
// A line across the whole frame: its name and text.
QString FullLine(const QString& name, const QString& text) {
    return "[" + name + "] " + text;
}

struct TWindowTexts {
    std::function<std::unique_ptr<TCalcForm>()> Make;
    QString Caption;
    QString InputFrame; // the title of GroupBox1; empty for the blending windows, which have none
    std::vector<TInputText> Inputs;
    QString Choice; // the pick list's name, if any
    QStringList ChoiceItems;
    QStringList ExtraRows; // below the thirteen rows
    QString ChoiceCaption = {};
    QString DatasetsFrame = {}; // the frame of the embedded editors of the blending windows
};

template <typename TForm> std::function<std::unique_ptr<TCalcForm>()> Maker() {
    return [] { return std::make_unique<TForm>(); };
}

const QString kCaCO3 = QStringLiteral("mg/l as CaC03");

// The dosage's unit label beside the dosage is filled by the calculation.
const QStringList kDosageRows{ResultRow("Dosage type :", "LabelDosageType", ""),
                              ResultRow("Dosage required :", "LabelDosage", "")};
const QStringList kDosageAndNoteRows =
    kDosageRows + QStringList{FullLine("LabelNote1", ""), FullLine("LabelNote2", "")};
const QStringList kCO2ChangeRows{FullLine("LabelDescriptor", "CO2 addition/removal"),
                                 ResultRow("", "LabelDelC02", "mgC02/l")};

const std::map<QString, TWindowTexts>& Windows() {
    static const std::map<QString, TWindowTexts> windows{
        {"pH adjustment",
         {Maker<TPhAdjustmentCalcForm>(),
          "pH adjustment calculation",
          "pH adjustment inputs",
          {{"TxtInput", "Desired pH :", "", "0.0"}},
          "ComboDosageChemical",
          {"CO2", "Lime", "Soda ash", "Caustic soda", "Hydrochloric acid", "Bicarbonate of soda"},
          kDosageAndNoteRows,
          "Desired dosing chemical :"}},
        {"stabilisation",
         {Maker<TStabilizationCalcForm>(),
          "Stabilisation calculation",
          "Stabilisation inputs",
          {{"TxtPrecipPotential", "Desired precipitation potential :", kCaCO3, "0.0"}},
          "ComboDosageChemical",
          {"CO2", "Lime", "Soda ash", "Caustic soda", "Hydrochloric acid"},
          kDosageAndNoteRows,
          "Desired dosing chemical :"}},
        {"deficient water",
         {Maker<TCaCarbDeficiencyCalcForm>(),
          "Ca and carbonate species deficient water",
          "Ca and carbonate species deficient water input",
          {{"TxtInput", "Desired Ca value :", kCaCO3, "0.0"}},
          "",
          {},
          kDosageRows}},
        {"softening Ca",
         {Maker<TSofteningCaCalc>(),
          "Softening to desired Ca input",
          "Softening to desired Ca input",
          {{"TxtInput", "Desired Ca concentration :", kCaCO3, "0.0"}},
          "ComboSoftenMethod",
          {"Lime - Ca(OH)2", "Soda Ash - Na2CO3"},
          kDosageRows,
          "Soften using:"}},
        {"softening Mg",
         {Maker<TSofteningMgCalc>(),
          "Softening to desired Mg input",
          "Softening to desired Mg input",
          {{"TxtInput", "Desired Mg value :", kCaCO3, "0.0"}},
          "",
          {},
          kDosageRows}},
        {"softening Ca and Mg",
         {Maker<TSofteningCaMgCalc>(),
          "Softening to desired Ca and Mg inputs",
          "Softening to desired Ca and Mg inputs",
          {{"TxtCa", "Desired Ca value :", kCaCO3, "0.0"}, {"TxtMg", "Desired Mg value :", kCaCO3, "0.0"}},
          "",
          {},
          {ResultRow("Lime dosage required :", "LabelLimeDosage", "mg/l as Ca(OH)2"),
           ResultRow("Ash dosage required :", "LabelAshDosage", "mg/l as Na2CO3")}}},
        {"blend to pH",
         {Maker<TBlendToPhCalcForm>(),
          "Blend to specified pH calculation",
          "",
          {{"TxtInput", "Blend to specifed pH", "", "0.0"}},
          "",
          {},
          {ResultRow("Fraction of water 1 needed :", "LabelWaterPercA", "%"),
           ResultRow("Fraction of water 2 needed :", "LabelWaterPercB", "%")},
          "",
          "Waters to blend"}},
        {"multiple blend",
         {Maker<TBlendMultipleCalcForm>(),
          "Determine water condition after blending",
          "",
          {},
          "",
          {},
          {},
          "",
          "Waters to blend"}},
        {"air",
         {Maker<TAirEquibCalcForm>(),
          "Equilibrium with the air",
          "Equilibrium with the air input",
          {{"TxtPartialPressure", "Partial pressure of C02 :", "atm", "0.00035"}},
          "",
          {},
          kCO2ChangeRows}},
        {"underground",
         {Maker<TUndergroundWaterCalcForm>(),
          "Underground water calculation",
          "Underground water input",
          {{"TxtPartialPressure", "Partial pressure of C02 :", "atm", "0.00035"}},
          "",
          {},
          kCO2ChangeRows}},
        {"temperature",
         {Maker<TTempChangeCalcForm>(),
          "Temperature change calculation",
          "Temperature change input",
          {{"TxtTemperature", "Final temperature :", "degrees C", "0.0"}},
          "",
          {},
          {}}},
        {"concentration",
         {Maker<TConcentrationChangeCalcForm>(),
          "Concentration change calculation",
          "Concentration change input",
          {{"TxtInput", "Percentage of evaporation", "%", "0.0"}},
          "",
          {},
          {}}},
    };
    return windows;
}

// The thirteen rows every results page shows, top to bottom.
const QStringList kScreenRows{
    ResultRow("pH :", "LabelPh", ""),
    ResultRow("Temperature :", "LabelTemperature", "degrees C"),
    ResultRow("Total alkalinity :", "LabelAlkalinity", "mg/l as CaC03"),
    ResultRow("C03 acidity :", "LabelAcidity", "mg/l as CaC03"),
    ResultRow("Total calcium :", "LabelCalcium", "mg/l as CaC03"),
    ResultRow("Total magnesium :", "LabelMagnesium", "mg/l as CaC03"),
    ResultRow("Total sodium :", "LabelSodium", "mgNa/l"),
    ResultRow("Total chloride :", "LabelChoride", "mgCl/l"),
    ResultRow("Total sulphate :", "LabelSulphate", "mgS04/l"),
    ResultRow("TDS  :", "LabelTds", "mg/l"),
    ResultRow("Conductivity :", "LabelConductivity", "mS/m"),
    ResultRow("Ionic strength :", "LabelMhuf", ""),
    ResultRow("Precipitation potential :", "LabelPrecPotential", "mg/l as CaC03"),
};

// Under the results frame, the treated water's indices: caption, value, reading (empty until the
// first calculation).
const QStringList kIndexScreenRows{
    ResultRow("Saturation index :", "LabelSaturationIndex", ""),
    ResultRow("Saturation pH :", "LabelSaturationPh", ""),
    ResultRow("Langelier index :", "LabelLangelierIndex", ""),
    ResultRow("Ryznar index :", "LabelRyznarIndex", ""),
};

// True when `lower` comes after `upper` in the layout they share.
bool StandsBelow(QWidget& lower, QWidget& upper) {
    QLayout* layout = upper.parentWidget() ? upper.parentWidget()->layout() : nullptr;
    return layout && lower.parentWidget() == upper.parentWidget() &&
           layout->indexOf(&lower) > layout->indexOf(&upper) && layout->indexOf(&upper) >= 0;
}

QWidget* WidgetAt(const QGridLayout& grid, int row, int column) {
    const QLayoutItem* item = grid.itemAtPosition(row, column);
    return item ? item->widget() : nullptr;
}
QString TextOf(const QWidget* widget) {
    const auto* label = qobject_cast<const QLabel*>(widget);
    return label ? label->text() : QString();
}

// The rows of a results frame, top to bottom.
QStringList ResultRowsOf(QWidget& frame) {
    const auto* grid = qobject_cast<const QGridLayout*>(frame.layout());
    if (!grid) qFatal("the results frame has no grid");
    QStringList rows;
    for (int row = 0; row < grid->rowCount(); ++row) {
        QWidget* caption = WidgetAt(*grid, row, 0);
        QWidget* value = WidgetAt(*grid, row, 1);
        if (!caption && !value) continue;
        if (caption == value) {
            rows << FullLine(caption->objectName(), TextOf(caption));
            continue;
        }
        // A text value (the dosage type) spans the unit's column too: no unit of its own.
        QWidget* unit = WidgetAt(*grid, row, 2);
        rows << ResultRow(TextOf(caption), value ? value->objectName() : QString(),
                          unit == value ? QString() : TextOf(unit));
    }
    return rows;
}

// The caption and unit beside an input box: the labels in its grid row before and after it.
std::pair<QString, QString> CaptionAndUnitOf(QLineEdit& box) {
    const auto* grid = qobject_cast<const QGridLayout*>(box.parentWidget()->layout());
    if (!grid) qFatal("the input has no grid");
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(grid->indexOf(&box), &row, &column, &rowSpan, &columnSpan);
    return {TextOf(WidgetAt(*grid, row, column - 1)), TextOf(WidgetAt(*grid, row, column + 1))};
}

} // namespace

class TestWindowTexts : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedDialogs> FDialogs;
    TWaterDataset FWater;

private slots:
    void initTestCase() { QLocale::setDefault(kEnglish); }
    void init() {
        FDialogs = std::make_unique<TScriptedDialogs>();
        FWater = HardWater();
    }
    void cleanup() { FDialogs.reset(); }

    void everyWindowCarriesItsTexts_data() {
        QTest::addColumn<QString>("window");
        for (const auto& [name, texts] : Windows())
            QTest::newRow(qPrintable(name)) << name;
    }
    void everyWindowCarriesItsTexts() {
        QFETCH(QString, window);
        const TWindowTexts& expected = Windows().at(window);
        std::unique_ptr<TCalcForm> form = expected.Make();
        form->SetDataset(&FWater);
        form->show();

        QCOMPARE(form->windowTitle(), expected.Caption);
        if (!expected.InputFrame.isEmpty())
            QCOMPARE(Control<QGroupBox>(*form, "GroupBox1")->title(), expected.InputFrame);
        for (const TInputText& input : expected.Inputs) {
            auto* box = Control<QLineEdit>(*form, input.Box);
            const auto [caption, unit] = CaptionAndUnitOf(*box);
            QCOMPARE(caption, input.Caption);
            QCOMPARE(unit, input.Unit);
            QCOMPARE(box->text(), input.Default);
        }
        if (!expected.Choice.isEmpty()) {
            auto* choice = Control<QComboBox>(*form, expected.Choice);
            QStringList items;
            for (int i = 0; i < choice->count(); ++i)
                items << choice->itemText(i);
            QCOMPARE(items, expected.ChoiceItems);
            const auto* grid = qobject_cast<const QGridLayout*>(choice->parentWidget()->layout());
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(grid->indexOf(choice), &row, &column, &rowSpan, &columnSpan);
            QCOMPARE(TextOf(WidgetAt(*grid, row, column - 1)), expected.ChoiceCaption);
            QCOMPARE(choice->currentIndex(), 0);
            QVERIFY(!choice->isEditable());
        } else {
            QVERIFY(!form->findChild<QComboBox*>(QStringLiteral("ComboDosageChemical")));
        }

        if (!expected.DatasetsFrame.isEmpty())
            QCOMPARE(Control<QGroupBox>(*form, "GroupBoxDatasets")->title(), expected.DatasetsFrame);

        auto* tabs = Control<QTabWidget>(*form, "TabControl");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Input"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Results"));
        QCOMPARE(Control<QPushButton>(*form, "ButtonCancel")->text(), QStringLiteral("Close"));
        QCOMPARE(Control<QPushButton>(*form, "ButtonExport")->text(), QStringLiteral("Export..."));
        QCOMPARE(Control<QPushButton>(*form, "ButtonPrint")->text(), QStringLiteral("Print..."));

        auto* results = Control<QGroupBox>(*form, "GroupBoxResults");
        QCOMPARE(results->title(), QStringLiteral("Results after treatment"));
        QCOMPARE(ResultRowsOf(*results), kScreenRows + expected.ExtraRows);
        if (expected.ExtraRows == kDosageRows || expected.ExtraRows == kDosageAndNoteRows) {
            // The dosage's units stand beside the dosage.
            const auto* grid = qobject_cast<const QGridLayout*>(results->layout());
            const int row = static_cast<int>(kScreenRows.size()) + 1;
            QCOMPARE(WidgetAt(*grid, row, 2)->objectName(), QStringLiteral("LabelDosageUnits"));
        }
        auto* indices = Control<QGroupBox>(*form, "GroupBoxIndices");
        QCOMPARE(indices->title(), QStringLiteral("Scaling and corrosion indices"));
        QCOMPARE(ResultRowsOf(*indices), kIndexScreenRows);
        QVERIFY(StandsBelow(*indices, *results));
    }

    void undergroundResultsWindowShowsFourteenRows() {
        TUgWaterResultsForm results(nullptr, &FWater);
        QCOMPARE(results.windowTitle(), QStringLiteral("Underground water results"));
        auto* frame = Control<QGroupBox>(results, "GroupBoxResults");
        QCOMPARE(frame->title(), QStringLiteral("Results after treatment"));
        QCOMPARE(ResultRowsOf(*frame),
                 kScreenRows +
                     QStringList{ResultRow("CaC03 precipitation :", "LabelCaCO3Prec", "mg/l as CaC03")});
        auto* indices = Control<QGroupBox>(results, "GroupBoxIndices");
        QCOMPARE(indices->title(), QStringLiteral("Scaling and corrosion indices"));
        QCOMPARE(ResultRowsOf(*indices), kIndexScreenRows);
        QVERIFY(StandsBelow(*indices, *frame));
        QCOMPARE(Control<QPushButton>(results, "ButtonExport")->text(), QStringLiteral("Export"));
        QCOMPARE(Control<QPushButton>(results, "ButtonClose")->text(), QStringLiteral("Close"));
        QCOMPARE(Control<QPushButton>(results, "ButtonPrint")->text(), QStringLiteral("Print..."));
        QVERIFY(results.minimumWidth() >= 450 && results.minimumHeight() >= 350);
    }
};

QTEST_MAIN(TestWindowTexts)
#include "TestWindowTexts.moc"
