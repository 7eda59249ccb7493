// The dosing curve window on real waters: its inputs and their bounds, the chart's lines and marks,
// the table and its export, the picture and the print-out, the readout, Close without a write-back,
// and the "Curve..." buttons of the pH adjustment and stabilisation windows.

#include "CalcFormDriver.h"
#include "DosingCurveCalc.h"
#include "EngineFacade.h"
#include "LocaleNumbers.h"
#include "PhAdjustmentCalc.h"
#include "ScriptedDialogs.h"
#include "StabilizationCalc.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPrinter>
#include <QProcess>
#include <QScatterSeries>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

using namespace CalcFormDriver;

namespace {

// A soft, poorly buffered water: lime moves its pH steeply.
TWaterDataset SoftWater() {
    TWaterDataset w;
    w.SetPh(6.8);
    w.SetTemperature(15);
    w.SetSodium(12);
    w.SetMagnesium(8);
    w.SetCalcium(20);
    w.SetSulphate(10);
    w.SetChloride(15);
    w.SetWaterCharacterIndex(0);
    w.SetTDS(60);
    w.SetCarbonCharacterIndex(0);
    w.SetAlkalinity(15);
    return w;
}

// A hard, slightly scaling water.
TWaterDataset HardWater() {
    TWaterDataset w = SoftWater();
    w.SetPh(7.6);
    w.SetTemperature(20);
    w.SetCalcium(150);
    w.SetMagnesium(40);
    w.SetSodium(30);
    w.SetTDS(400);
    w.SetAlkalinity(120);
    return w;
}

// Every series of the chart with this object name (the lines break into one series per stretch).
QList<QAbstractSeries*> SeriesNamed(QChart* chart, const QString& name) {
    QList<QAbstractSeries*> found;
    for (QAbstractSeries* series : chart->series())
        if (series->objectName() == name) found << series;
    return found;
}
QList<QPointF> PointsOf(QChart* chart, const QString& name) {
    QList<QPointF> points;
    for (QAbstractSeries* series : SeriesNamed(chart, name))
        points << static_cast<QXYSeries*>(series)->points();
    return points;
}

std::size_t PresentPoints(const std::vector<TDosingCurvePoint>& curve) {
    std::size_t n = 0;
    for (const auto& p : curve)
        n += p.Result ? 1 : 0;
    return n;
}

} // namespace

class TestDosingCurveWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedDialogs> FDialogs;
    std::unique_ptr<TWaterDataset> FWater;
    std::unique_ptr<TDosingCurveCalcForm> FForm;

    TDosingCurveCalcForm& Open(const TWaterDataset& water, int chemical, const QString& largestDose,
                               const QString& points = QStringLiteral("201")) {
        FWater = std::make_unique<TWaterDataset>(water);
        FForm = std::make_unique<TDosingCurveCalcForm>();
        FForm->SetDataset(FWater.get());
        FForm->show();
        Control<QComboBox>(*FForm, "ComboDosageChemical")->setCurrentIndex(chemical);
        Type(*FForm, "TxtLargestDose", largestDose);
        Type(*FForm, "TxtPoints", points);
        return *FForm;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() { FDialogs = std::make_unique<TScriptedDialogs>(); }
    void cleanup() {
        FForm.reset();
        FDialogs.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().begin(), QApplication::topLevelWidgets().end(),
                             [](QWidget* w) { return w->isVisible(); }));
    }

    void opensWithItsInputsAndDefaults() {
        TWaterDataset water = SoftWater();
        TDosingCurveCalcForm form;
        form.SetDataset(&water);
        form.show();
        QCOMPARE(form.windowTitle(), QStringLiteral("Dosing curve"));
        QCOMPARE(Page(form), TCalcForm::kInputPage);
        auto* combo = Control<QComboBox>(form, "ComboDosageChemical");
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items, (QStringList{"CO2", "Lime", "Soda ash", "Caustic soda", "Hydrochloric acid",
                                     "Bicarbonate of soda"}));
        QCOMPARE(Control<QLineEdit>(form, "TxtLargestDose")->text(), QStringLiteral("50.0"));
        QCOMPARE(Control<QLineEdit>(form, "TxtPoints")->text(), QStringLiteral("201"));
        QCOMPARE(Control<QLabel>(form, "LabelDoseUnits")->text(), QStringLiteral("mg/l as CO2"));
        combo->setCurrentIndex(1);
        QCOMPARE(Control<QLabel>(form, "LabelDoseUnits")->text(), QStringLiteral("mg/l as Ca(OH)2"));
        QVERIFY(!ExportAndPrintVisible(form));
    }

    void inputsAreRangeChecked_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("dose below") << "TxtLargestDose"
                                    << "0.09" << false;
        QTest::newRow("dose lowest") << "TxtLargestDose"
                                     << "0.1" << true;
        QTest::newRow("dose highest") << "TxtLargestDose"
                                      << "100000" << true;
        QTest::newRow("dose above") << "TxtLargestDose"
                                    << "100000.1" << false;
        QTest::newRow("dose text") << "TxtLargestDose"
                                   << "lots" << false;
        QTest::newRow("points below") << "TxtPoints"
                                      << "10" << false;
        QTest::newRow("points lowest") << "TxtPoints"
                                       << "11" << true;
        QTest::newRow("points highest") << "TxtPoints"
                                        << "2001" << true;
        QTest::newRow("points above") << "TxtPoints"
                                      << "2002" << false;
        QTest::newRow("points not whole") << "TxtPoints"
                                          << "20.5" << false;
    }
    void inputsAreRangeChecked() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        TDosingCurveCalcForm& form = Open(SoftWater(), 1, "50");
        Type(form, box, text);
        QCOMPARE(IsColouredValid(form, box), valid);
        TurnToResults(form);
        QCOMPARE(Page(form), valid ? TCalcForm::kResultsPage : TCalcForm::kInputPage);
        if (!valid)
            QCOMPARE(FDialogs->Messages(),
                     QStringList{"Cannot view the results before all the values are correct."});
    }

    // Soft water dosed with lime: a point per dose on both lines, dose 0 at the water's own state.
    void chartHoldsEveryDoseAndTheWaterAtDoseZero() {
        TDosingCurveCalcForm& form = Open(SoftWater(), 1, "50");
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kResultsPage);
        QVERIFY(FDialogs->Messages().isEmpty());
        const auto& curve = form.Curve();
        QCOMPARE(curve.size(), std::size_t(201));
        QCOMPARE(PresentPoints(curve), std::size_t(201));
        const QList<QPointF> ph = PointsOf(form.Chart(), "pH");
        const QList<QPointF> potential = PointsOf(form.Chart(), "Precipitation potential");
        QCOMPARE(ph.size(), 201);
        QCOMPARE(potential.size(), 201);
        QCOMPARE(ph.front().x(), 0.0);
        QCOMPARE(ph.back().x(), 50.0);
        QCOMPARE(ph[100].x(), 25.0);
        QCOMPARE(ph[100].y(), curve[100].Result->PHF);
        QCOMPARE(potential[100].y(), curve[100].Result->CPPF);
        // At dose 0 the line starts at the water's pH (the scan lands up to 0.02 above it).
        QVERIFY(ph.front().y() >= 6.8 - 1e-9 && ph.front().y() <= 6.82 + 1e-9);
        QCOMPARE(PointsOf(form.Chart(), "Untreated water pH"), (QList<QPointF>{{0, 6.8}}));
        QCOMPARE(PointsOf(form.Chart(), "Untreated water potential").front().y(), curve[0].Result->CPPF);
        // Lime raises the pH and makes the soft water scale-forming at the far end.
        QVERIFY(ph.back().y() > 10);
        QVERIFY(potential.front().y() < 0 && potential.back().y() > 0);
        // No target, no marks.
        QVERIFY(SeriesNamed(form.Chart(), "Target").isEmpty());
        QVERIFY(SeriesNamed(form.Chart(), "RequiredDose").isEmpty());
        // Axis titles with their units.
        QStringList titles;
        for (QAbstractAxis* axis : form.Chart()->axes())
            titles << axis->titleText();
        titles.sort();
        QCOMPARE(titles,
                 (QStringList{"Dose (mg/l as Ca(OH)2)", "Precipitation potential (mg/l as CaC03)", "pH"}));
        // The table: one row per dose.
        auto* table = Control<QTableWidget>(form, "TablePoints");
        QCOMPARE(table->rowCount(), 201);
        QCOMPARE(table->item(100, 0)->text(), QStringLiteral("25.00"));
        QCOMPARE(table->item(100, 1)->text(), FormatPattern(curve[100].Result->PHF, 2));
    }

    // Hydrochloric acid far beyond the alkalinity: the doses that would take the pH below 0 are
    // gaps in the line and rows with their reason; the curve runs to its end.
    void impossibleDosesAreGapsWithTheirReason() {
        TDosingCurveCalcForm& form = Open(SoftWater(), 4, "80000", "41");
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kResultsPage);
        const auto& curve = form.Curve();
        QCOMPARE(curve.size(), std::size_t(41));
        const std::size_t present = PresentPoints(curve);
        QVERIFY(present > 2 && present < 41);
        QCOMPARE(PointsOf(form.Chart(), "pH").size(), static_cast<qsizetype>(present));
        auto* table = Control<QTableWidget>(form, "TablePoints");
        QCOMPARE(table->rowCount(), 41);
        QVERIFY(!curve.back().Result);
        QVERIFY(table->item(40, table->columnCount() - 1)->text().startsWith("The dosed water cannot exist"));
        QCOMPARE(table->item(40, 1)->text(), QStringLiteral("\u2013"));
        form.ShowReadoutAt(80000);
        QVERIFY(Control<QLabel>(form, "LabelReadout")->text().contains("cannot exist"));
    }

    void exportWritesTheTableOfPoints() {
        TDosingCurveCalcForm& form = Open(HardWater(), 0, "100", "11");
        TurnToResults(form);
        QVERIFY(ExportAndPrintVisible(form));
        QTemporaryDir dir;
        const QString path = dir.filePath("curve.csv");
        FDialogs->SaveFileAnswers.push_back(path);
        Click(form, "ButtonExport");
        const QStringList lines = CsvLines(path);
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines[0], QStringLiteral("Dosing curve"));
        QCOMPARE(lines[1],
                 QStringLiteral("Dose (mg/l as CO2),pH,Total alkalinity (mg/l CaCO3),Acidity (mg/l CaCO3),"
                                "Calcium (mg/l CaCO3),Sodium (mgNa/l),Precipitation potential (mg/l "
                                "CaCO3),Saturation index,Langelier index,Note"));
        const TDosingCurvePoint& point = form.Curve()[5];
        const TCalculationResult& r = *point.Result;
        QVERIFY(point.Indices.SaturationIndex && point.Indices.LangelierIndex);
        QCOMPARE(lines[7],
                 QStringLiteral("50.00,%1,%2,%3,%4,%5,%6,%7,%8,")
                     .arg(FormatPattern(r.PHF, 2), FormatPattern(r.ALKF, 2), FormatPattern(r.ACIF, 2),
                          FormatPattern(r.CAF, 2), FormatPattern(r.NAF, 2), FormatPattern(r.CPPF, 2),
                          FormatPattern(*point.Indices.SaturationIndex, 2),
                          FormatPattern(*point.Indices.LangelierIndex, 2)));
        // CO2 keeps the alkalinity and adds acidity.
        QCOMPARE(lines[2].split(',')[2], lines[12].split(',')[2]);
        QVERIFY(form.Curve()[10].Result->ACIF > form.Curve()[0].Result->ACIF);
    }

    void exportWritesGapsWithTheirReason() {
        TDosingCurveCalcForm& form = Open(SoftWater(), 3, "80000", "11");
        TurnToResults(form);
        QTemporaryDir dir;
        const QString path = dir.filePath("curve.csv");
        FDialogs->SaveFileAnswers.push_back(path);
        Click(form, "ButtonExport");
        const QStringList lines = CsvLines(path);
        QCOMPARE(lines.size(), 13);
        QVERIFY(lines.last().startsWith(
            "\"80,000.00\",,,,,,,,,\"The dosed water cannot exist: 80000.00 mg/l as NaOH"));
    }

    void numbersFollowTheLocale() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        TDosingCurveCalcForm& form = Open(SoftWater(), 1, "50", "11");
        TurnToResults(form);
        form.ShowReadoutAt(25);
        const QString readout = Control<QLabel>(form, "LabelReadout")->text();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        auto* table = Control<QTableWidget>(form, "TablePoints");
        QCOMPARE(table->item(5, 0)->text(), QStringLiteral("25,00"));
        // The indices too: a comma, and the readout's LSI.
        QVERIFY(form.Curve()[5].Indices.LangelierIndex);
        QVERIFY2(table->item(5, 8)->text().contains(','), qPrintable(table->item(5, 8)->text()));
        QVERIFY2(readout.endsWith(QStringLiteral("LSI ") + table->item(5, 8)->text()), qPrintable(readout));
        QVERIFY2(readout.startsWith("Dose 25,00 mg/l as Ca(OH)2"), qPrintable(readout));
        QCOMPARE(form.Chart()->locale().decimalPoint(), QStringLiteral(","));
        QVERIFY(form.Chart()->localizeNumbers());
    }

    void readoutFollowsTheMousePointer() {
        TDosingCurveCalcForm& form = Open(SoftWater(), 1, "50");
        TurnToResults(form);
        auto* view = Control<QChartView>(form, "ChartDosing");
        QChart* chart = form.Chart();
        const QPointF inChart = chart->mapToPosition(QPointF(30, 8), chart->series().front());
        const QPoint onView = view->mapFromScene(chart->mapToScene(inChart));
        QTest::mouseMove(view->viewport(), onView);
        const TDosingCurvePoint& point = form.Curve()[120]; // 30 mg/l
        const TCalculationResult& r = *point.Result;
        QVERIFY(point.Indices.LangelierIndex);
        QCOMPARE(Control<QLabel>(form, "LabelReadout")->text(),
                 QStringLiteral("Dose 30.00 mg/l as Ca(OH)2    pH %1    Precipitation potential %2 mg/l as "
                                "CaC03    LSI %3")
                     .arg(FormatPattern(r.PHF, 2), FormatPattern(r.CPPF, 2),
                          FormatPattern(*point.Indices.LangelierIndex, 2)));
    }

    // The table's index columns: SI and LSI of each dosed water, those of the forward dosing of
    // that dose alone (the indices kept with each point, not recomputed after the whole curve).
    void tableShowsTheIndicesOfEachDose_data() {
        QTest::addColumn<int>("chemical");
        QTest::addColumn<bool>("hard");
        QTest::newRow("soft water, lime") << 1 << false;
        QTest::newRow("hard water, CO2") << 0 << true;
        QTest::newRow("hard water, soda ash") << 2 << true;
    }
    void tableShowsTheIndicesOfEachDose() {
        QFETCH(int, chemical);
        QFETCH(bool, hard);
        const TWaterDataset water = hard ? HardWater() : SoftWater();
        TDosingCurveCalcForm& form = Open(water, chemical, "50", "11");
        TurnToResults(form);
        auto* table = Control<QTableWidget>(form, "TablePoints");
        QStringList titles;
        for (int column = 0; column < table->columnCount(); ++column)
            titles << table->horizontalHeaderItem(column)->text();
        QCOMPARE(titles.mid(6), (QStringList{"Precipitation\npotential\n(mg/l as CaC03)", "Saturation\nindex",
                                             "Langelier\nindex", "Note"}));
        const auto& curve = form.Curve();
        for (std::size_t i = 0; i < curve.size(); ++i) {
            const TDosingCurvePoint& point = curve[i];
            QVERIFY(point.Result && point.Indices.SaturationIndex && point.Indices.LangelierIndex);
            const TResultPtr single = RunForwardDosing(water, chemical, point.Dose);
            const TWaterIndices expected = WaterIndicesOfResult(*single);
            QVERIFY2(std::abs(*point.Indices.SaturationIndex - *expected.SaturationIndex) <= 1e-9,
                     qPrintable(QString::number(point.Dose)));
            QVERIFY(std::abs(*point.Indices.LangelierIndex - *expected.LangelierIndex) <= 1e-9);
            // SI says what the potential says.
            QVERIFY(!(*point.Indices.SaturationIndex > 0 && point.Result->CPPF < 0));
            QVERIFY(!(*point.Indices.SaturationIndex < 0 && point.Result->CPPF > 0));
            const int row = static_cast<int>(i);
            QCOMPARE(table->item(row, 7)->text(), FormatPattern(*expected.SaturationIndex, 2));
            QCOMPARE(table->item(row, 8)->text(), FormatPattern(*expected.LangelierIndex, 2));
            QCOMPARE(table->item(row, 9)->text(), QString());
        }
    }

    // A calcium-free water defines neither SI nor LSI: "–" in the table and the readout, empty
    // fields in the export; the rest of the row is there.
    void undefinedIndicesShowAsADashAndExportEmpty() {
        TWaterDataset water = SoftWater();
        water.SetCalcium(0);
        TDosingCurveCalcForm& form = Open(water, 3, "20", "11");
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kResultsPage);
        const TDosingCurvePoint& point = form.Curve()[5];
        QVERIFY(point.Result);
        QVERIFY(!point.Indices.SaturationIndex && !point.Indices.LangelierIndex);
        auto* table = Control<QTableWidget>(form, "TablePoints");
        QCOMPARE(table->item(5, 1)->text(), FormatPattern(point.Result->PHF, 2));
        QCOMPARE(table->item(5, 7)->text(), QStringLiteral("\u2013"));
        QCOMPARE(table->item(5, 8)->text(), QStringLiteral("\u2013"));
        form.ShowReadoutAt(10);
        QVERIFY2(Control<QLabel>(form, "LabelReadout")->text().endsWith(QStringLiteral("    LSI \u2013")),
                 qPrintable(Control<QLabel>(form, "LabelReadout")->text()));
        QTemporaryDir dir;
        const QString path = dir.filePath("curve.csv");
        FDialogs->SaveFileAnswers.push_back(path);
        Click(form, "ButtonExport");
        const QStringList lines = CsvLines(path);
        QCOMPARE(lines.size(), 13);
        QVERIFY2(lines[7].startsWith(QStringLiteral("10.00,%1,").arg(FormatPattern(point.Result->PHF, 2))),
                 qPrintable(lines[7]));
        QVERIFY2(lines[7].endsWith(QStringLiteral(",%1,,,").arg(FormatPattern(point.Result->CPPF, 2))),
                 qPrintable(lines[7]));
    }

    void closingAsksNothingAndChangesNoDataSet() {
        TDosingCurveCalcForm& form = Open(HardWater(), 1, "50");
        TurnToResults(form);
        Click(form, "ButtonCancel");
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QVERIFY(FDialogs->Shown.empty());
        const TWaterDataset before = HardWater();
        QCOMPARE(FWater->Ph(), before.Ph());
        QCOMPARE(FWater->Alkalinity(), before.Alkalinity());
        QCOMPARE(FWater->Calcium(), before.Calcium());
        QCOMPARE(FWater->Acidity(), before.Acidity());
    }

    void picturesAreWrittenAsPngAndSvg() {
        TDosingCurveCalcForm& form = Open(SoftWater(), 1, "50");
        TurnToResults(form);
        QTemporaryDir dir;
        FDialogs->SaveFileAnswers.push_back(dir.filePath("curve.png"));
        Click(form, "ButtonSavePicture");
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::SaveFile);
        QCOMPARE(FDialogs->Shown.back().DefaultSuffix, QStringLiteral("png"));
        const QImage image(dir.filePath("curve.png"));
        QVERIFY(image.width() >= 600 && image.height() >= 400);
        form.SavePicture(dir.filePath("curve.svg"));
        QFile svg(dir.filePath("curve.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QByteArray text = svg.readAll();
        QVERIFY(text.contains("<svg"));
        QVERIFY(text.contains("Ca(OH)2"));
        QVERIFY(FDialogs->Messages().isEmpty());
    }

    void printPutsTheCaptionAndTheChartOnOnePage() {
        TDosingCurveCalcForm& form = Open(HardWater(), 0, "100");
        TurnToResults(form);
        QTemporaryDir dir;
        const QString path = dir.filePath("curve.pdf");
        FDialogs->PrintAnswers.push_back([&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            printer.setResolution(600);
            return true;
        });
        Click(form, "ButtonPrint");
        QVERIFY(FDialogs->Messages().isEmpty());
        QVERIFY(QFile(path).size() > 1000);
        if (QString(CALVARO_PDFTOTEXT).isEmpty()) QSKIP("pdftotext is not installed");
        QProcess pdftotext;
        pdftotext.start(CALVARO_PDFTOTEXT, {path, "-"});
        QVERIFY(pdftotext.waitForFinished());
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(text.contains("Dosing curve"), qPrintable(text));
        QVERIFY2(text.contains("CO2, 0 to 100.00 mg/l as CO2, water of pH 7.60"), qPrintable(text));
        QVERIFY2(text.contains("Dose (mg/l as CO2)"), qPrintable(text));
        QCOMPARE(text.count(QChar('\f')), 1); // one page
    }

    // A print that cannot start (a PDF in a folder that does not exist) says so in the error box.
    void aPrintThatCannotStartIsReported() {
        TDosingCurveCalcForm& form = Open(HardWater(), 0, "100");
        TurnToResults(form);
        FDialogs->PrintAnswers.push_back([&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QStringLiteral("/nonexistent-folder/curve.pdf"));
            return true;
        });
        Click(form, "ButtonPrint");
        QCOMPARE(FDialogs->TextsOf(TShownDialog::TKind::Error),
                 QStringList{QStringLiteral("The print job could not be started.")});
    }

    // From pH adjustment: the chemical, the target pH and the required dose come over; the curve
    // passes through the target at that dose.
    void curveButtonOfPhAdjustmentOpensTheCurveOfItsChemicalAndTarget() {
        TWaterDataset water = SoftWater();
        TPhAdjustmentCalcForm ph;
        ph.SetDataset(&water);
        ph.show();
        Control<QComboBox>(ph, "ComboDosageChemical")->setCurrentIndex(1);
        Type(ph, "TxtInput", "9");
        TurnToResults(ph);
        double dosage = 0;
        std::string units, type, note1, note2;
        RunPhAdjustment(water, 1, 9, dosage, units, type, note1, note2);
        bool inspected = false;
        FDialogs->ModalScripts.push_back([&](QDialog& dialog) {
            auto* curve = qobject_cast<TDosingCurveCalcForm*>(&dialog);
            if (!curve) return int(QDialog::Rejected);
            inspected = true;
            [&] {
                QCOMPARE(Page(*curve), TCalcForm::kResultsPage);
                QCOMPARE(Control<QComboBox>(*curve, "ComboDosageChemical")->currentIndex(), 1);
                const double largest = std::ceil(std::max(10.0, 2 * dosage) * 10) / 10;
                QCOMPARE(curve->Curve().back().Dose, largest);
                const QList<QPointF> target = PointsOf(curve->Chart(), "Target");
                QCOMPARE(target, (QList<QPointF>{{0, 9}, {largest, 9}}));
                const QList<QPointF> required = PointsOf(curve->Chart(), "RequiredDose");
                QCOMPARE(required.size(), 2);
                QCOMPARE(required[0].x(), dosage);
                QCOMPARE(required[1].x(), dosage);
                // The forward curve reaches the target at the dose the inverse found.
                const TResultPtr atDose = RunForwardDosing(water, 1, dosage);
                QVERIFY(std::abs(atDose->PHF - 9) <= 0.02 + 1e-9);
                // Closing it writes nothing and asks nothing.
                Click(*curve, "ButtonCancel");
            }();
            return curve->result();
        });
        Click(ph, "ButtonCurve");
        QVERIFY(inspected);
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::Modal);
        QCOMPARE(FDialogs->Shown.back().Text, QStringLiteral("Dosing curve"));
        QVERIFY(FDialogs->Messages().isEmpty());
        QCOMPARE(water.Ph(), 6.8); // the pH window's copy is untouched
    }

    // From stabilisation: a target potential; a small required dose still gives a curve to 10 mg/l.
    void curveButtonOfStabilisationMarksTheTargetPotential() {
        TWaterDataset water = HardWater();
        TStabilizationCalcForm stabilisation;
        stabilisation.SetDataset(&water);
        stabilisation.show();
        Control<QComboBox>(stabilisation, "ComboDosageChemical")->setCurrentIndex(0);
        Type(stabilisation, "TxtPrecipPotential", "0");
        TurnToResults(stabilisation);
        double dosage = 0;
        std::string units, type, note1, note2;
        RunStabilisation(water, 0, 0, dosage, units, type, note1, note2);
        QVERIFY(dosage > 0);
        bool inspected = false;
        FDialogs->ModalScripts.push_back([&](QDialog& dialog) {
            auto* curve = qobject_cast<TDosingCurveCalcForm*>(&dialog);
            if (!curve) return int(QDialog::Rejected);
            inspected = true;
            [&] {
                const double largest = std::ceil(std::max(10.0, 2 * dosage) * 10) / 10;
                QCOMPARE(curve->Curve().back().Dose, largest);
                QCOMPARE(PointsOf(curve->Chart(), "Target"), (QList<QPointF>{{0, 0}, {largest, 0}}));
                QCOMPARE(PointsOf(curve->Chart(), "RequiredDose").front().x(), dosage);
                // The dosed water's own potential at that dose is the desired one.
                QVERIFY(std::abs(RunForwardDosing(water, 0, dosage)->CPPF) < 0.2);
            }();
            return int(QDialog::Rejected);
        });
        Click(stabilisation, "ButtonCurve");
        QVERIFY(inspected);
    }

    // An error while the curve window runs ends that command in the error box; the dosage window
    // that opened it stays with its results.
    void anErrorInTheCurveWindowReachesTheErrorBox() {
        TWaterDataset water = SoftWater();
        TPhAdjustmentCalcForm ph;
        ph.SetDataset(&water);
        ph.show();
        Type(ph, "TxtInput", "9");
        Control<QComboBox>(ph, "ComboDosageChemical")->setCurrentIndex(1);
        TurnToResults(ph);
        FDialogs->ModalScripts.push_back(
            [](QDialog&) -> int { throw std::runtime_error("the chart could not be drawn"); });
        Click(ph, "ButtonCurve");
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::Error);
        QVERIFY2(FDialogs->Shown.back().Text.contains(QStringLiteral("the chart could not be drawn")),
                 qPrintable(FDialogs->Shown.back().Text));
        QCOMPARE(Page(ph), TCalcForm::kResultsPage);
    }
};

QTEST_MAIN(TestDosingCurveWindow)
#include "TestDosingCurveWindow.moc"
