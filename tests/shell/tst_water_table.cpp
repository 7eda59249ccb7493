// The batch window: its columns and values against the facade, sorting (numbers as numbers,
// missing values last), the summary by the potential, refused rows, a row opened as a data set
// window under the multiple-data-set rule, the progress bar and its Cancel, data set files, export
// and print.

#include "CalvaroMainForm.h"
#include "CalvaroModel.h"
#include "CalvaroUtils.h"
#include "EngineFacade.h"
#include "ExportUtil.h"
#include "LocaleNumbers.h"
#include "PrintWriter.h"
#include "ScriptedDialogs.h"
#include "ShellTestSupport.h"
#include "WaterDatasetForm.h"
#include "WaterTable.h"
#include "WaterTableForm.h"
#include "WaterTableModel.h"

#include <QAction>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

// Four waters and one unreadable row; sample IDs that sort differently as text and as numbers.
const char* const kTable = "Sample;Place;pH;Temperature;Total sodium;Total magnesium;Total calcium;"
                           "Total sulphate;Total chloride;Conductivity;Total alkalinity\n"
                           "10;Well A;7,5;20;50;30;100;40;60;45,5;120\n"
                           "9;Well B;8,4;15;20;40;250;30;20;60;250\n"
                           "100;River;6,8;10;10;10;20;10;15;12;30\n"
                           "11;Lake;abc;12;10;10;20;10;15;12;30\n"
                           "12;Spring;7,9;12;15;20;150;25;30;40;140\n";

TWaterDataset Water(double ph, double t, double na, double mg, double ca, double so4, double cl, double condu,
                    double alk) {
    TWaterDataset w;
    w.SetPh(ph);
    w.SetTemperature(t);
    w.SetSodium(na);
    w.SetMagnesium(mg);
    w.SetCalcium(ca);
    w.SetSulphate(so4);
    w.SetChloride(cl);
    w.SetConductivity(condu);
    w.SetAlkalinity(alk);
    return w;
}

double PotentialOf(TWaterDataset w) {
    double pp = 0, tds = 0, condu = 0, ionic = 0, co3 = 0;
    CharacteriseWater(w, pp, tds, condu, ionic, co3);
    return pp;
}

// A comma-separated table of `rows` waters that differ in calcium and pH.
QByteArray LongTable(int rows) {
    QByteArray text = "ID,IPH,IT,INA,IMG,ICA,ISO4,ICL,ICONDU,IALK\n";
    for (int i = 0; i < rows; ++i)
        text += QByteArray::number(i) + ',' + QByteArray::number(6.5 + (i % 30) * 0.07) + ",15,40,30," +
                QByteArray::number(20 + i % 300) + ",40,50,45,120\n";
    return text;
}

} // namespace

class TestWaterTable : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedDialogs> FDialogs;
    std::unique_ptr<TfrmCalvaroMain> FMain;
    std::unique_ptr<QTemporaryDir> FFolder;

    QString Path(const QString& name) const { return FFolder->filePath(name); }
    TfrmWaterTable* OpenLoaded(const QByteArray& content, const QString& name = QStringLiteral("lab.csv")) {
        if (!WriteWholeFile(Path(name), content)) return nullptr;
        TfrmWaterTable* table = FMain->OpenWaterTable(Path(name));
        table->FinishLoading();
        return table;
    }
    static QString Cell(const TfrmWaterTable* table, int viewRow, int column) {
        return table->Proxy()->index(viewRow, column).data().toString();
    }

private slots:
    void init() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        FDialogs = std::make_unique<TScriptedDialogs>();
        FFolder = std::make_unique<QTemporaryDir>();
        QVERIFY(FFolder->isValid());
        FMain = std::make_unique<TfrmCalvaroMain>();
        FMain->show();
    }
    void cleanup() {
        FMain.reset();
        FDialogs.reset();
        FFolder.reset();
        VERIFY_NO_TOP_LEVEL_LEAK();
    }

    void columnsCarryTheTableAndTheComputedWater() {
        TfrmWaterTable* table = OpenLoaded(kTable);
        QVERIFY(table);
        const TWaterTableModel* model = table->Model();
        QCOMPARE(model->rowCount(), 5);
        QCOMPARE(model->CarriedColumnCount(), 2);
        const QStringList header = model->HeaderTexts();
        QCOMPARE(header.mid(0, 4), (QStringList{"Row", "Sample", "Place", "Status"}));
        QVERIFY(header.contains(QStringLiteral("Precipitation potential mg/l as CaC03")));
        QVERIFY(header.contains(QStringLiteral("Ionic strength")));
        QCOMPARE(model->columnCount(), 1 + 2 + TWaterTableModel::ColFixedCount);

        // Row 1 against the facade on the same water, as the view window would show it.
        const TWaterDataset first = Water(7.5, 20, 50, 30, 100, 40, 60, 45.5, 120);
        TWaterDataset characterised = first;
        double pp = 0, tds = 0, condu = 0, ionic = 0, co3 = 0;
        CharacteriseWater(characterised, pp, tds, condu, ionic, co3);
        const QStringList row = model->RowTexts(0);
        QCOMPARE(row[0], QStringLiteral("1"));
        QCOMPARE(row[1], QStringLiteral("10"));
        QCOMPARE(row[2], QStringLiteral("Well A"));
        QCOMPARE(row[model->Column(TWaterTableModel::ColStatus)], QStringLiteral("OK"));
        QCOMPARE(row[model->Column(TWaterTableModel::ColPh)], QStringLiteral("7.50"));
        QCOMPARE(row[model->Column(TWaterTableModel::ColAlkalinityInput)], QStringLiteral("120.00"));
        // Only the carbonate measure the water was given by is shown.
        QCOMPARE(row[model->Column(TWaterTableModel::ColAcidityInput)], QString());
        QCOMPARE(row[model->Column(TWaterTableModel::ColPotential)], FormatPattern(pp, 2));
        QCOMPARE(row[model->Column(TWaterTableModel::ColTds)], FormatPattern(tds, 2));
        QCOMPARE(row[model->Column(TWaterTableModel::ColConductivity)], FormatPattern(condu, 2));
        QCOMPARE(row[model->Column(TWaterTableModel::ColIonicStrength)], FormatPattern(ionic, 4));
        QCOMPARE(row[model->Column(TWaterTableModel::ColReading)], PotentialReadingText(ReadPotential(pp)));
        // The stored water is the analysis as read, not the characterised one.
        QVERIFY(model->Dataset(0).has_value());
        QCOMPARE(model->Dataset(0)->Ph(), 7.5);
        QCOMPARE(model->Dataset(0)->Acidity(), 0.0);
    }

    void numbersFollowTheLocale() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        TfrmWaterTable* table = OpenLoaded(kTable);
        const TWaterTableModel* model = table->Model();
        QCOMPARE(model->RowTexts(0)[model->Column(TWaterTableModel::ColPh)], QStringLiteral("7,50"));
        QCOMPARE(model->RowTexts(1)[model->Column(TWaterTableModel::ColAlkalinityInput)],
                 QStringLiteral("250,00"));
    }

    void refusedRowsSayWhyAndStandOut() {
        TfrmWaterTable* table = OpenLoaded(kTable);
        const TWaterTableModel* model = table->Model();
        QVERIFY(model->IsRefused(3));
        const QString status = model->Status(3);
        QVERIFY2(status.contains(QStringLiteral("pH")) && status.contains(QStringLiteral("abc")),
                 qPrintable(status));
        QCOMPARE(model->RowTexts(3)[model->Column(TWaterTableModel::ColStatus)], status);
        // Nothing is computed for it, and its carried cells stay.
        QCOMPARE(model->RowTexts(3)[model->Column(TWaterTableModel::ColPotential)], QString());
        QCOMPARE(model->RowTexts(3)[2], QStringLiteral("Lake"));
        const QModelIndex refused = model->index(3, 0);
        const QModelIndex fine = model->index(0, 0);
        QVERIFY(refused.data(Qt::BackgroundRole).value<QBrush>().color() != QColor(Qt::white));
        QVERIFY(refused.data(Qt::BackgroundRole).isValid());
        QVERIFY(!fine.data(Qt::BackgroundRole).isValid());
        QVERIFY(model->IsWater(0));
    }

    void summaryCountsByThePotential() {
        TfrmWaterTable* table = OpenLoaded(kTable);
        const TWaterTableSummary summary = table->Model()->Summary();
        QCOMPARE(summary.Waters, 5);
        QCOMPARE(summary.Refused, 1);
        int counts[3] = {0, 0, 0};
        for (const TWaterDataset& w :
             {Water(7.5, 20, 50, 30, 100, 40, 60, 45.5, 120), Water(8.4, 15, 20, 40, 250, 30, 20, 60, 250),
              Water(6.8, 10, 10, 10, 20, 10, 15, 12, 30), Water(7.9, 12, 15, 20, 150, 25, 30, 40, 140)})
            ++counts[static_cast<int>(ReadPotential(PotentialOf(w)))];
        QCOMPARE(summary.Aggressive, counts[0]);
        QCOMPARE(summary.Balanced, counts[1]);
        QCOMPARE(summary.ScaleForming, counts[2]);
        QVERIFY(summary.Aggressive > 0 && summary.ScaleForming > 0); // the table holds both kinds
        QCOMPARE(table->SummaryLine(), SummaryText(summary));
        QCOMPARE(table->findChild<QLabel*>(QStringLiteral("LabelSummary"))->text(), table->SummaryLine());
    }

    void readingUsesTheSaturationIndexBand() {
        QCOMPARE(ReadPotential(-0.06), TPotentialReading::Aggressive);
        QCOMPARE(ReadPotential(-0.05), TPotentialReading::Balanced);
        QCOMPARE(ReadPotential(0.05), TPotentialReading::Balanced);
        QCOMPARE(ReadPotential(0.051), TPotentialReading::ScaleForming);
        TWaterTableSummary s;
        s.Waters = 1234;
        s.Refused = 3;
        s.Aggressive = 400;
        s.Balanced = 31;
        s.ScaleForming = 800;
        QCOMPARE(SummaryText(s), QStringLiteral("1,234 waters, 3 refused: 400 aggressive, 31 balanced, 800 "
                                                "scale-forming (by the precipitation potential)"));
    }

    void sortingIsNumericWithMissingValuesLast() {
        TfrmWaterTable* table = OpenLoaded(kTable);
        const TWaterTableModel* model = table->Model();
        // Sample IDs as numbers: 9, 10, 11, 12, 100 (as text 10 would come before 9).
        table->View()->sortByColumn(1, Qt::AscendingOrder);
        QStringList ids;
        for (int row = 0; row < 5; ++row)
            ids << Cell(table, row, 1);
        QCOMPARE(ids, (QStringList{"9", "10", "11", "12", "100"}));

        const int potential = model->Column(TWaterTableModel::ColPotential);
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            table->View()->sortByColumn(potential, order);
            QList<double> values;
            for (int row = 0; row < 4; ++row)
                values << table->Proxy()->index(row, potential).data(TWaterTableModel::SortRole).toDouble();
            for (int i = 1; i < values.size(); ++i)
                QVERIFY2(order == Qt::AscendingOrder ? values[i - 1] <= values[i]
                                                     : values[i - 1] >= values[i],
                         qPrintable(QStringLiteral("order %1 at %2").arg(order).arg(i)));
            // The refused row has no potential and comes last either way.
            QCOMPARE(Cell(table, 4, 2), QStringLiteral("Lake"));
        }
        // A column of numbers sorts by value, not by its text (as text "30.00" would lead).
        const int alkalinity = model->Column(TWaterTableModel::ColAlkalinityInput);
        table->View()->sortByColumn(alkalinity, Qt::DescendingOrder);
        QCOMPARE(Cell(table, 0, alkalinity), QStringLiteral("250.00"));
        QCOMPARE(Cell(table, 1, alkalinity), QStringLiteral("140.00"));
    }

    void aRowOpensAsADataSetWindow() {
        TfrmWaterTable* table = OpenLoaded(kTable);
        table->View()->sortByColumn(1, Qt::AscendingOrder); // view row 0 is sample 9
        table->OpenRow(0);
        auto windows = FMain->DatasetWindows();
        QCOMPARE(windows.size(), std::size_t(1));
        QCOMPARE(windows[0]->windowTitle(), QStringLiteral("9"));
        QCOMPARE(*windows[0]->Dataset(), *table->Model()->Dataset(1));
        QVERIFY(FMain->Action(QStringLiteral("ActionView"))->isEnabled()); // a valid water, as Open gives it

        // One data set at a time unless the option allows more, as with Open.
        table->OpenRow(1);
        windows = FMain->DatasetWindows();
        QCOMPARE(windows.size(), std::size_t(1));
        QCOMPARE(windows[0]->windowTitle(), QStringLiteral("10"));
        FMain->Action(QStringLiteral("MenuMultipleDatasets"))->trigger();
        QVERIFY(FMain->MultipleDatasetsAllowed());
        table->OpenRow(3);
        QCOMPARE(FMain->DatasetWindows().size(), std::size_t(2));
        QCOMPARE(FMain->WaterTableWindows().size(), std::size_t(1)); // the table stays open

        // Enter on a row does the same as a double-click.
        table->View()->setCurrentIndex(table->Proxy()->index(4, 0));
        QTest::keyClick(table->View(), Qt::Key_Return);
        QCOMPARE(FMain->DatasetWindows().size(), std::size_t(3));
        QCOMPARE(FMain->DatasetWindows().back()->windowTitle(), QStringLiteral("100"));

        // An unreadable row (sample 11) has no water to open.
        table->OpenRow(2);
        QCOMPARE(FMain->DatasetWindows().size(), std::size_t(3));
        QVERIFY(FDialogs->Messages().back().startsWith(
            QStringLiteral("This row holds no water that can be opened: ")));
    }

    void menuCommandsAskThenLoad() {
        QVERIFY(WriteWholeFile(Path(QStringLiteral("lab.csv")), kTable));
        FDialogs->OpenFileAnswers.push_back(Path(QStringLiteral("lab.csv")));
        FMain->Action(QStringLiteral("FileOpenTable"))->trigger();
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::OpenFile);
        QCOMPARE(FDialogs->Shown.back().Text, QStringLiteral("Please select a table of waters..."));
        QCOMPARE(FMain->WaterTableWindows().size(), std::size_t(1));
        TfrmWaterTable* table = FMain->WaterTableWindows()[0];
        QCOMPARE(table->windowTitle(), QStringLiteral("lab.csv"));
        QSignalSpy finished(table, &TfrmWaterTable::LoadFinished);
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(table->Model()->rowCount(), 5);

        // A cancelled dialog opens nothing; a table that cannot be read leaves no window.
        FMain->Action(QStringLiteral("FileOpenTable"))->trigger();
        QVERIFY(WriteWholeFile(Path(QStringLiteral("notes.csv")), "just,some,words\n1,2,3\n"));
        FDialogs->OpenFileAnswers.push_back(Path(QStringLiteral("notes.csv")));
        FMain->Action(QStringLiteral("FileOpenTable"))->trigger();
        QCOMPARE(FMain->WaterTableWindows().size(), std::size_t(1));
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::Error);
        QVERIFY(FDialogs->Shown.back().Text.contains(QStringLiteral("names no field")));
    }

    void dataSetFilesFillTheTable() {
        const TWaterDataset good = Water(7.5, 20, 50, 30, 100, 40, 60, 45.5, 120);
        SaveDatasetToFile(good, Path(QStringLiteral("good.clv")).toStdString());
        TWaterDataset outOfRange = good;
        outOfRange.SetPh(0.5);
        SaveDatasetToFile(outOfRange, Path(QStringLiteral("sour.clv")).toStdString());
        QVERIFY(WriteWholeFile(Path(QStringLiteral("empty.clv")), QByteArray()));
        QVERIFY(WriteWholeFile(Path(QStringLiteral("text.clv")), "not a data set"));
        FDialogs->OpenFilesAnswers.push_back(
            {Path(QStringLiteral("good.clv")), Path(QStringLiteral("sour.clv")),
             Path(QStringLiteral("empty.clv")), Path(QStringLiteral("text.clv"))});
        FMain->Action(QStringLiteral("FileAddDatasetFiles"))->trigger();
        QCOMPARE(FDialogs->Shown.back().Text, QStringLiteral("Please select Calvaro files..."));
        QCOMPARE(FDialogs->Shown.back().Filter, QStringLiteral("Calvaro files (*.clv)"));
        QCOMPARE(FMain->WaterTableWindows().size(), std::size_t(1));
        TfrmWaterTable* table = FMain->WaterTableWindows()[0];
        table->FinishLoading();
        const TWaterTableModel* model = table->Model();
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(model->HeaderTexts()[1], QStringLiteral("File"));
        QCOMPARE(model->RowTexts(0)[1], QStringLiteral("good.clv"));
        QVERIFY(model->IsWater(0));
        QCOMPARE(model->RowTexts(0)[model->Column(TWaterTableModel::ColPotential)],
                 FormatPattern(PotentialOf(good), 2));
        QVERIFY(model->IsRefused(1));
        QVERIFY2(model->Status(1).contains(QStringLiteral("Ph = 0.5")), qPrintable(model->Status(1)));
        QCOMPARE(model->Status(2), QStringLiteral("Couldn't load file ") + Path(QStringLiteral("empty.clv")) +
                                       QStringLiteral(" it may be corrupt!"));
        QVERIFY2(model->Status(3).startsWith(Path(QStringLiteral("text.clv")) + QStringLiteral(": ")),
                 qPrintable(model->Status(3)));
        QCOMPARE(model->Summary().Refused, 3);

        // More files join the active table; a row opens titled by its file name.
        FMain->AddDatasetFiles({Path(QStringLiteral("good.clv"))});
        table->FinishLoading();
        QCOMPARE(model->rowCount(), 5);
        QCOMPARE(model->RowTexts(4)[0], QStringLiteral("5"));
        table->OpenRow(0);
        QCOMPARE(FMain->DatasetWindows().back()->windowTitle(), QStringLiteral("good.clv"));
    }

    void filesAddedToALabTableJoinItsColumns() {
        TfrmWaterTable* table = OpenLoaded(kTable);
        SaveDatasetToFile(Water(7.5, 20, 50, 30, 100, 40, 60, 45.5, 120),
                          Path(QStringLiteral("good.clv")).toStdString());
        table->AddDatasetFiles({Path(QStringLiteral("good.clv"))});
        table->FinishLoading();
        const TWaterTableModel* model = table->Model();
        QCOMPARE(model->rowCount(), 6);
        QCOMPARE(model->HeaderTexts().mid(0, 5), (QStringList{"Row", "Sample", "Place", "File", "Status"}));
        QCOMPARE(model->RowTexts(0)[3], QString());
        QCOMPARE(model->RowTexts(5)[3], QStringLiteral("good.clv"));
        QCOMPARE(model->RowTexts(5)[1], QString());
        QCOMPARE(model->RowTexts(0)[4], QStringLiteral("OK"));
    }

    void progressShowsForALongLoadAndCancelKeepsWhatWasRead() {
        const int rows = 60000;
        QVERIFY(WriteWholeFile(Path(QStringLiteral("long.csv")), LongTable(rows)));
        TfrmWaterTable* table = FMain->OpenWaterTable(Path(QStringLiteral("long.csv")));
        QSignalSpy finished(table, &TfrmWaterTable::LoadFinished);
        QVERIFY(table->IsLoading());
        QVERIFY(table->ProgressDialog());
        QCOMPARE(table->ProgressDialog()->minimumDuration(), TfrmWaterTable::kProgressDelay);
        QVERIFY(table->SummaryLine().endsWith(QStringLiteral(" - loading...")));
        // The rows come in slices while the event loop runs.
        QTRY_VERIFY_WITH_TIMEOUT(table->Model()->rowCount() > 0, 5000);
        QVERIFY(table->IsLoading());
        QVERIFY(table->Model()->rowCount() < rows);
        // The progress dialog's Cancel button.
        auto* cancel = table->ProgressDialog()->findChild<QPushButton*>();
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
        cancel->click();
        QVERIFY(!table->IsLoading());
        QVERIFY(table->LoadCancelled());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toBool(), true);
        QVERIFY(!table->ProgressDialog());
        const int kept = table->Model()->rowCount();
        QVERIFY(kept > 0 && kept < rows);
        QCOMPARE(table->Model()->Summary().Waters, kept);
        QVERIFY(table->SummaryLine().endsWith(QStringLiteral(" - loading cancelled")));
        // Nothing more arrives after the cancel.
        QTest::qWait(100);
        QCOMPARE(table->Model()->rowCount(), kept);
    }

    void progressAppearsOnlyAfterHalfASecond() {
        // A short table ends unseen.
        QVERIFY(WriteWholeFile(Path(QStringLiteral("short.csv")), kTable));
        TfrmWaterTable* shortTable = FMain->OpenWaterTable(Path(QStringLiteral("short.csv")));
        QPointer<QProgressDialog> progress = shortTable->ProgressDialog();
        QSignalSpy shortDone(shortTable, &TfrmWaterTable::LoadFinished);
        QVERIFY(shortDone.wait(5000));
        QVERIFY(!progress || !progress->isVisible());

        // A long one shows the bar once half a second has passed, and the window keeps its events.
        QVERIFY(WriteWholeFile(Path(QStringLiteral("long.csv")), LongTable(400000)));
        TfrmWaterTable* table = FMain->OpenWaterTable(Path(QStringLiteral("long.csv")));
        progress = table->ProgressDialog();
        QVERIFY(progress);
        QVERIFY(!progress->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!table->IsLoading() || progress->isVisible(), 10000);
        if (table->IsLoading()) {
            QVERIFY(progress->isVisible());
            QVERIFY(progress->value() > 0);
            table->CancelLoad(); // the slot behind Cancel
            QVERIFY(!progress || !progress->isVisible());
        } else {
            QSKIP("this machine read 400,000 rows within half a second");
        }
    }

    void exportWritesTheTableAsShown() {
        TfrmWaterTable* table = OpenLoaded(kTable);
        table->View()->sortByColumn(1, Qt::AscendingOrder);
        FDialogs->SaveFileAnswers.push_back(Path(QStringLiteral("out.csv")));
        table->ButtonExportClick();
        QCOMPARE(FDialogs->Shown.back().Text,
                 QStringLiteral("Please select where you would like to export the results to."));
        const QList<QByteArray> lines = ReadWholeFile(Path(QStringLiteral("out.csv"))).split('\n');
        QCOMPARE(lines.size(), 7); // header, five rows, the empty rest after the last line end
        QVERIFY(lines[0].startsWith("Row,Sample,Place,Status,Date,pH,Temperature degrees C,"));
        QVERIFY(lines[0].contains("Precipitation potential mg/l as CaC03"));
        QVERIFY(lines[1].startsWith("2,9,Well B,OK,"));
        const QStringList first = QString::fromUtf8(lines[1]).trimmed().split(QLatin1Char(','));
        QCOMPARE(first.size(), table->Model()->columnCount());
        QCOMPARE(first[table->Model()->Column(TWaterTableModel::ColPotential)],
                 FormatPattern(PotentialOf(Water(8.4, 15, 20, 40, 250, 30, 20, 60, 250)), 2));
        // The refusal, which quotes the value, is one field.
        QVERIFY(lines[3].startsWith("4,11,Lake,\""));
    }

    void printRunsOverPagesWithTheHeaderOnEach() {
        TfrmWaterTable* table = OpenLoaded(LongTable(300));
        const QString pdf = Path(QStringLiteral("table.pdf"));
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
        FDialogs->PrintAnswers.push_back([&](QPrinter& printer) {
            orientation = printer.pageLayout().orientation();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        table->ButtonPrintClick();
        QCOMPARE(orientation, QPageLayout::Landscape);
        QVERIFY(FDialogs->Messages().isEmpty());
        QVERIFY(QFileInfo(pdf).size() > 0);

        // The writer itself: 300 rows of 19 columns need more than one page and more than one band.
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Path(QStringLiteral("direct.pdf")));
        std::vector<std::vector<std::string>> header{{"Row"}, {""}};
        std::vector<std::vector<std::string>> rows;
        for (int c = 1; c < 19; ++c) {
            header[0].push_back("Precipitation potential");
            header[1].push_back("mg/l as CaC03");
        }
        for (int r = 0; r < 300; ++r) {
            rows.push_back({std::to_string(r + 1)});
            for (int c = 1; c < 19; ++c)
                rows.back().push_back("1,234.56");
        }
        TTablePrintWriter writer("Table of waters", &printer);
        writer.PrintTable(header, rows);
        writer.Close();
        QVERIFY(writer.BandCount() >= 2);
        const int pagesPerBand = writer.PageCount() / writer.BandCount();
        QVERIFY(pagesPerBand >= 2);
        QCOMPARE(writer.PageCount() % writer.BandCount(), 0);
    }
};

QTEST_MAIN(TestWaterTable)
#include "tst_water_table.moc"
