// The view window (characterised rows, patterns, the scaling and corrosion indices, export and print
// rows) and the about box with the program's build version.

#include "AboutForm.h"
#include "BuildVersion.h"
#include "CalvaroMainForm.h"
#include "CalvaroModel.h"
#include "CalvaroUtils.h"
#include "EngineFacade.h"
#include "LocaleNumbers.h"
#include "ReportUnits.h"
#include "ScriptedDialogs.h"
#include "ShellTestSupport.h"
#include "ViewDatasetForm.h"
#include "WaterDatasetForm.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const char* const kValueLabels[] = {
    "LabelPh",           "LabelTemperature", "LabelAlkalinity",   "LabelAcidity",  "LabelCalcium",
    "LabelMagnesium",    "LabelSodium",      "LabelChoride",      "LabelSulphate", "LabelTds",
    "LabelConductivity", "LabelMhuf",        "LabelPrecPotential"};

// The index rows of the view, top to bottom: caption on screen, value label, the facade's index
// and its reading (none for the saturation pH).
struct TIndexRow {
    const char* Caption;
    const char* ExportCaption;
    const char* Value;
    const char* Reading;
    std::optional<double> TWaterIndices::*Field;
    std::string (*ReadingOf)(double);
};
const TIndexRow kExpectedIndexRows[] = {
    {"Saturation index :", "Saturation index", "LabelSaturationIndex", "LabelSaturationIndexReading",
     &TWaterIndices::SaturationIndex, &SaturationIndexReading},
    {"Saturation pH :", "Saturation pH", "LabelSaturationPh", "LabelSaturationPhReading",
     &TWaterIndices::SaturationPh, nullptr},
    {"Langelier index :", "Langelier index", "LabelLangelierIndex", "LabelLangelierIndexReading",
     &TWaterIndices::LangelierIndex, &LangelierReading},
    {"Ryznar index :", "Ryznar index", "LabelRyznarIndex", "LabelRyznarIndexReading",
     &TWaterIndices::RyznarIndex, &RyznarReading},
    {"Larson\u2013Skold index :", "Larson-Skold index", "LabelLarsonSkoldIndex",
     "LabelLarsonSkoldIndexReading", &TWaterIndices::LarsonSkoldIndex, &LarsonSkoldReading},
    {"Aggressive index :", "Aggressive index", "LabelAggressiveIndex", "LabelAggressiveIndexReading",
     &TWaterIndices::AggressiveIndex, &AggressiveIndexReading},
};

// The export row of an index as the facade gives it: caption, value (empty when not defined),
// reading. A value with a comma in it is one quoted field.
QString IndexExportRow(const TIndexRow& row, const TWaterIndices& indices) {
    const std::optional<double> value = indices.*row.Field;
    QString text = value ? FormatPattern(*value, 2) : QString();
    if (text.contains(u',')) text = u'"' + text + u'"';
    const QString reading =
        value && row.ReadingOf ? QString::fromStdString(row.ReadingOf(*value)) : QString();
    return QString::fromUtf8(row.ExportCaption) + u',' + text + u',' + reading;
}

// A soft water without calcium: no saturation index, saturation pH, Langelier, Ryznar or aggressive
// index; its carbonate still gives a Larson-Skold index.
std::unique_ptr<TWaterDataset> CalciumFreeWater() {
    auto water = ValidWater();
    water->SetCalcium(0);
    return water;
}

} // namespace

class TestViewAndAbout : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedDialogs> FDialogs;
    std::unique_ptr<TfrmCalvaroMain> FMain;
    std::unique_ptr<QTemporaryDir> FFolder;

    // Opens a data set window for `water` and runs View; returns the new view window.
    TFormViewDataset* View(std::unique_ptr<TWaterDataset> water) {
        FMain->OpenDatasetWindow(QStringLiteral("Unknown 1"), std::move(water));
        FMain->OnFormChildrenChanged();
        FMain->ActionViewExecute();
        TFormViewDataset* newest = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* view = qobject_cast<TFormViewDataset*>(widget)) newest = view;
        return newest;
    }
    QStringList ExportedRows(TFormViewDataset* view) {
        const QString path = FFolder->filePath(QStringLiteral("view.csv"));
        FDialogs->SaveFileAnswers.push_back(path);
        view->ButtonExportClick();
        const QByteArray content = ReadWholeFile(path);
        if (!content.endsWith("\r\n")) return {QStringLiteral("<no line end>")};
        QStringList rows = QString::fromUtf8(content).split(QStringLiteral("\r\n"));
        rows.removeLast();
        return rows;
    }

private slots:
    void init() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        FDialogs = std::make_unique<TScriptedDialogs>();
        FFolder = std::make_unique<QTemporaryDir>();
        FMain = std::make_unique<TfrmCalvaroMain>();
        FMain->show();
    }
    void cleanup() {
        FMain.reset(); // takes its view windows with it
        FDialogs.reset();
        FFolder.reset();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        VERIFY_NO_TOP_LEVEL_LEAK();
    }

    void viewShowsTheCharacterisedWaterInItsPatterns() {
        TFormViewDataset* view = View(ValidWater());
        QVERIFY(view);
        QCOMPARE(view->windowTitle(), QStringLiteral("View data set"));
        QVERIFY(view->isVisible());
        QVERIFY(!view->isModal());
        const QRegularExpression twoDecimals(QStringLiteral("^-?\\d{1,3}(,\\d{3})*\\.\\d{2}$"));
        const QRegularExpression fourDecimals(QStringLiteral("^\\d\\.\\d{4}$"));
        for (const char* name : kValueLabels) {
            const QString text = view->ValueText(QString::fromLatin1(name));
            const auto& pattern = QByteArray(name) == "LabelMhuf" ? fourDecimals : twoDecimals;
            QVERIFY2(pattern.match(text).hasMatch(), qPrintable(QString::fromLatin1(name) + ": " + text));
        }
        QCOMPARE(view->ValueText(QStringLiteral("LabelPh")), QStringLiteral("7.50"));
        QCOMPARE(view->ValueText(QStringLiteral("LabelChoride")), QStringLiteral("60.00"));
        // TDS and conductivity both stand for the ionic strength: mu = 1.6e-4 x 45.5 mS/m.
        QCOMPARE(view->ValueText(QStringLiteral("LabelMhuf")), QStringLiteral("0.0073"));
        QCOMPARE(view->ValueText(QStringLiteral("LabelTds")),
                 FormatPattern(0.00728 / Units::kTdsToIonicStrength, 2));
        QCOMPARE(view->ValueText(QStringLiteral("LabelConductivity")), QStringLiteral("45.50"));
        QVERIFY(view->findChild<QLabel*>(QStringLiteral("LabelPh"))->font().bold());
    }

    void viewRowsCaptionsAndUnitsOnScreen() {
        // The screen's units carry the digit zero; the export's (below) the letter O.
        TFormViewDataset* view = View(ValidWater());
        QVERIFY(view);
        const auto* group = view->findChild<QGroupBox*>();
        QVERIFY(group);
        QCOMPARE(group->title(), QStringLiteral("Water characteristics of present water"));
        QVERIFY(group->font().bold());
        const auto* grid = qobject_cast<QGridLayout*>(group->layout());
        QVERIFY(grid);
        const QStringList expected = {"pH : | LabelPh | ",
                                      "Temperature : | LabelTemperature | degrees C",
                                      "Total alkalinity : | LabelAlkalinity | mg/l as CaC03",
                                      "C03 acidity : | LabelAcidity | mg/l as CaC03",
                                      "Total calcium : | LabelCalcium | mg/l as CaC03",
                                      "Total magnesium : | LabelMagnesium | mg/l as CaC03",
                                      "Total sodium : | LabelSodium | mgNa/l",
                                      "Total chloride : | LabelChoride | mgCl/l",
                                      "Total sulphate : | LabelSulphate | mgS04/l",
                                      "TDS  : | LabelTds | mg/l",
                                      "Conductivity : | LabelConductivity | mS/m",
                                      "Ionic strength : | LabelMhuf | ",
                                      "Precipitation potential : | LabelPrecPotential | mg/l as CaC03"};
        QStringList shown;
        for (int row = 0; row < grid->rowCount(); ++row) {
            const auto label = [&](int column) {
                const QLayoutItem* item = grid->itemAtPosition(row, column);
                return item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
            };
            if (!label(0) || !label(1) || !label(2)) continue;
            QVERIFY(label(1)->font().bold());
            QVERIFY(label(1)->alignment() & Qt::AlignRight);
            shown << label(0)->text() + " | " + label(1)->objectName() + " | " + label(2)->text();
        }
        QCOMPARE(shown, expected);
        QStringList buttons;
        for (const QPushButton* button : view->findChildren<QPushButton*>())
            buttons << button->text();
        QCOMPARE(buttons, (QStringList{"Print...", "Export", "Close"}));
    }

    void viewWritesTheComputedAlkalinityIntoTheWindowsDataSet() {
        // Entered by total carbonate species, with the alkalinity field at 0.
        auto water = ValidWater();
        water->SetAlkalinity(0);
        water->SetCarbonCharacterIndex(2);
        water->SetCarbonateSpecies(130);
        TFormViewDataset* view = View(std::move(water));
        QVERIFY(view);
        const TWaterDataset& inWindow = *FMain->GetChildForm()->Dataset();
        QVERIFY(inWindow.Alkalinity() > 100);
        QCOMPARE(view->ValueText(QStringLiteral("LabelAlkalinity")), FormatPattern(inWindow.Alkalinity(), 2));
        // The "C03 acidity" row is the CO3-referenced acidity: alkalinity + 2 x the HCO3 acidity.
        QCOMPARE(view->ValueText(QStringLiteral("LabelAcidity")),
                 FormatPattern(inWindow.Alkalinity() + 2 * inWindow.Acidity(), 2));
        // Saving afterwards stores that alkalinity.
        const QString path = FFolder->filePath(QStringLiteral("computed.clv"));
        FDialogs->SaveFileAnswers.push_back(path);
        FMain->FileSaveExecute();
        const auto saved = LoadDatasetFromFile(path.toStdString());
        QVERIFY(saved);
        QCOMPARE(saved->Alkalinity(), inWindow.Alkalinity());
        // The editor's boxes keep what was entered.
        QCOMPARE(FMain->GetChildForm()->findChild<QLineEdit*>(QStringLiteral("txtCarboSystemChar"))->text(),
                 QStringLiteral("130"));
    }

    void eachViewCommandOpensAnotherWindow() {
        View(ValidWater());
        FMain->ActionViewExecute();
        int views = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            views += qobject_cast<TFormViewDataset*>(widget) != nullptr;
        QCOMPARE(views, 2);
    }

    void exportRows_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("alkalinityRow");
        QTest::newRow("point decimals, comma thousands")
            << QLocale(QLocale::English, QLocale::UnitedKingdom)
            << QStringLiteral("Alkalinity,\"1,234.50\",mg/l CaCO3");
        QTest::newRow("comma decimals") << QLocale(QLocale::German, QLocale::Germany)
                                        << QStringLiteral("Alkalinity,\"1.234,50\",mg/l CaCO3");
    }
    void exportRows() {
        // A grouped or comma-decimal number is one quoted field: the row keeps its three fields.
        QFETCH(QLocale, locale);
        QFETCH(QString, alkalinityRow);
        QLocale::setDefault(locale);
        auto water = ValidWater();
        water->SetAlkalinity(1234.5);
        const TWaterIndices indices = WaterIndicesOfDataset(*water);
        TFormViewDataset* view = View(std::move(water));
        QVERIFY(view);
        QCOMPARE(view->ValueText(QStringLiteral("LabelAlkalinity")), FormatPattern(1234.5, 2));
        const QStringList rows = ExportedRows(view);
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::SaveFile);
        QCOMPARE(FDialogs->Shown.back().Text,
                 QStringLiteral("Please select where you would like to export the results to."));
        QCOMPARE(FDialogs->Shown.back().Detail, QString()); // the file name starts empty
        QCOMPARE(FDialogs->Shown.back().Filter, QStringLiteral("CSV Files (*.csv)"));
        QCOMPARE(FDialogs->Shown.back().DefaultSuffix, QStringLiteral("csv"));
        // The water's fourteen rows, then one row per index.
        QCOMPARE(rows.size(), 20);
        const auto quoted = [&](const char* label) {
            const QString text = view->ValueText(QString::fromLatin1(label));
            return text.contains(u',') ? u'"' + text + u'"' : text;
        };
        const QStringList expected = {
            QStringLiteral("View data set"),
            QStringLiteral("pH,") + quoted("LabelPh"),
            QStringLiteral("Temperature,") + quoted("LabelTemperature") + QStringLiteral(",degrees C"),
            alkalinityRow,
            QStringLiteral("Acidity,") + quoted("LabelAcidity") + QStringLiteral(",mg/l CaCO3"),
            QStringLiteral("Calcium,") + quoted("LabelCalcium") + QStringLiteral(",mg/l CaCO3"),
            QStringLiteral("Magnesium,") + quoted("LabelMagnesium") + QStringLiteral(",mg/l CaCO3"),
            QStringLiteral("Sodium,") + quoted("LabelSodium") + QStringLiteral(",mgNa/l"),
            QStringLiteral("Sulphate,") + quoted("LabelSulphate") + QStringLiteral(",mgSO4/l"),
            QStringLiteral("Chloride,") + quoted("LabelChoride") + QStringLiteral(",mgCl/l"),
            QStringLiteral("Ionic strength,") + quoted("LabelMhuf"),
            QStringLiteral("TDS,") + quoted("LabelTds") + QStringLiteral(",mg/l"),
            QStringLiteral("Conductivity,") + quoted("LabelConductivity") + QStringLiteral(",mS/m"),
            QStringLiteral("Precipitation potential,") + quoted("LabelPrecPotential") +
                QStringLiteral(",mg/l CaCO3"),
        };
        QCOMPARE(rows.mid(0, 14), expected);
        QStringList expectedIndices;
        for (const TIndexRow& row : kExpectedIndexRows)
            expectedIndices << IndexExportRow(row, indices);
        QCOMPARE(rows.mid(14), expectedIndices);
        QCOMPARE(rows[1],
                 locale.decimalPoint() == u',' ? QStringLiteral("pH,\"7,50\"") : QStringLiteral("pH,7.50"));
    }

    void viewShowsTheIndicesOfTheWater() {
        // The values and readings are the facade's for the same water, two decimals in the locale.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        auto water = ValidWater();
        const TWaterIndices indices = WaterIndicesOfDataset(*water);
        QVERIFY(indices.SaturationIndex && indices.SaturationPh && indices.LangelierIndex &&
                indices.RyznarIndex && indices.LarsonSkoldIndex && indices.AggressiveIndex);
        TFormViewDataset* view = View(std::move(water));
        QVERIFY(view);
        auto* group = view->findChild<QGroupBox*>(QStringLiteral("GroupBoxIndices"));
        QVERIFY(group);
        QCOMPARE(group->title(), QStringLiteral("Scaling and corrosion indices"));
        const auto* grid = qobject_cast<QGridLayout*>(group->layout());
        QVERIFY(grid);
        QCOMPARE(grid->rowCount(), static_cast<int>(std::size(kExpectedIndexRows)));
        for (int i = 0; i < static_cast<int>(std::size(kExpectedIndexRows)); ++i) {
            const TIndexRow& row = kExpectedIndexRows[i];
            const auto label = [&](int column) {
                const QLayoutItem* item = grid->itemAtPosition(i, column);
                return item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
            };
            QVERIFY(label(0) && label(1) && label(2));
            QCOMPARE(label(0)->text(), QString::fromUtf8(row.Caption));
            QCOMPARE(label(1)->objectName(), QString::fromLatin1(row.Value));
            QCOMPARE(label(2)->objectName(), QString::fromLatin1(row.Reading));
            const double value = *(indices.*row.Field);
            QCOMPARE(label(1)->text(), FormatPattern(value, 2));
            QVERIFY2(label(1)->text().contains(u','), qPrintable(label(1)->text())); // German decimals
            QCOMPARE(label(2)->text(),
                     row.ReadingOf ? QString::fromStdString(row.ReadingOf(value)) : QString());
        }
        // The window grows to hold both frames without squeezing the water's rows.
        QVERIFY(view->height() >= view->sizeHint().height());
        QVERIFY(group->geometry().top() >=
                view->findChild<QGroupBox*>(QStringLiteral("GroupBoxCharacteristics"))->geometry().bottom());
    }

    void undefinedIndicesShowADashAndExportEmpty() {
        const TWaterIndices indices = WaterIndicesOfDataset(*CalciumFreeWater());
        QVERIFY(!indices.SaturationIndex && !indices.SaturationPh && !indices.LangelierIndex &&
                !indices.RyznarIndex && !indices.AggressiveIndex);
        QVERIFY(indices.LarsonSkoldIndex);
        TFormViewDataset* view = View(CalciumFreeWater());
        QVERIFY(view);
        for (const TIndexRow& row : kExpectedIndexRows) {
            const QString value = view->ValueText(QString::fromLatin1(row.Value));
            const QString reading = view->ValueText(QString::fromLatin1(row.Reading));
            if (indices.*row.Field) {
                QCOMPARE(value, FormatPattern(*(indices.*row.Field), 2));
                QVERIFY(!reading.isEmpty());
            } else {
                QCOMPARE(value, QStringLiteral("\u2013"));
                QCOMPARE(reading, QString());
            }
        }
        // The water's own rows are unaffected; the undefined indices are empty fields.
        const QStringList rows = ExportedRows(view);
        QCOMPARE(rows.size(), 20);
        QCOMPARE(rows[14], QStringLiteral("Saturation index,,"));
        QCOMPARE(rows[15], QStringLiteral("Saturation pH,,"));
        QCOMPARE(rows[16], QStringLiteral("Langelier index,,"));
        QCOMPARE(rows[17], QStringLiteral("Ryznar index,,"));
        QCOMPARE(rows[18], IndexExportRow(kExpectedIndexRows[4], indices));
        QCOMPARE(rows[19], QStringLiteral("Aggressive index,,"));
        QCOMPARE(rows[5], QStringLiteral("Calcium,0.00,mg/l CaCO3"));
    }

    void exportTwiceKeepsOnlyTheSecond() {
        TFormViewDataset* view = View(ValidWater());
        QVERIFY(view);
        QCOMPARE(ExportedRows(view).size(), 20);
        QCOMPARE(ExportedRows(view).size(), 20);
    }

    void cancelledExportWritesNothing() {
        TFormViewDataset* view = View(ValidWater());
        QVERIFY(view);
        view->ButtonExportClick();
        QVERIFY(QDir(FFolder->path()).isEmpty());
        QVERIFY(FDialogs->Messages().isEmpty());
    }

    void exportIntoAMissingFolderShowsTheErrorBox() {
        TFormViewDataset* view = View(ValidWater());
        QVERIFY(view);
        FDialogs->SaveFileAnswers.push_back(FFolder->filePath(QStringLiteral("missing/view.csv")));
        view->ButtonExportClick();
        QCOMPARE(FDialogs->Shown.back().Kind, TShownDialog::TKind::Error);
        QVERIFY(view->isVisible()); // the window goes on
    }

    // The export dialog refuses a name in a folder that does not exist before the writer is made:
    // nothing is written, no folder is created, and the operator's next choice is taken.
    void exportDialogRefusesAMissingFolderAndTakesTheNextChoice() {
        TFormViewDataset* view = View(ValidWater());
        QVERIFY(view);
        const QString missing = FFolder->filePath(QStringLiteral("missing"));
        const QString good = FFolder->filePath(QStringLiteral("view.csv"));
        FDialogs->SaveFileAnswers = {missing + QStringLiteral("/view.csv"), good};
        view->ButtonExportClick();
        QCOMPARE(FDialogs->Shown.size(), std::size_t{2});
        QCOMPARE(FDialogs->Shown[0].Kind, TShownDialog::TKind::SaveFile);
        QCOMPARE(FDialogs->Shown[0].Text,
                 QStringLiteral("Please select where you would like to export the results to."));
        QVERIFY(FDialogs->Shown[0].FolderMustExist);
        QCOMPARE(FDialogs->Shown[1].Kind, TShownDialog::TKind::Error);
        QCOMPARE(FDialogs->Shown[1].Text,
                 QStringLiteral("The folder \"%1\" does not exist. Please choose a folder that exists.")
                     .arg(QDir::toNativeSeparators(missing)));
        QVERIFY(!QFileInfo::exists(missing));
        QCOMPARE(ReadWholeFile(good).count("\r\n"), 20);
    }

    void printGoesToThePrinterOrNowhere() {
        TFormViewDataset* view = View(ValidWater());
        QVERIFY(view);
        view->ButtonPrintClick(); // cancelled
        const QString pdf = FFolder->filePath(QStringLiteral("view.pdf"));
        QVERIFY(!QFile::exists(pdf));
        int resolution = 0;
        FDialogs->PrintAnswers.push_back([&](QPrinter& printer) {
            resolution = printer.resolution();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        view->ButtonPrintClick();
        QVERIFY(ReadWholeFile(pdf).startsWith("%PDF"));
        // The printer's own resolution, not the screen's 96 dpi: the text is drawn in its dots.
        QVERIFY2(resolution >= 300, qPrintable(QString::number(resolution)));
        QVERIFY(FDialogs->Messages().isEmpty());
    }

    void closeButtonClosesTheView() {
        TFormViewDataset* view = View(ValidWater());
        QVERIFY(view);
        QPointer<TFormViewDataset> watched = view;
        view->findChild<QPushButton*>(QStringLiteral("ButtonClose"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(watched.isNull());
    }

    void aboutBoxLayoutAndVersion() {
        TAboutBox box;
        box.show();
        QCOMPARE(box.windowTitle(), QStringLiteral("About"));
        QCOMPARE(box.size(), QSize(337, 352));
        QCOMPARE(box.VersionText(), GetBuildVersion());
        QCOMPARE(box.findChild<QLabel*>(QStringLiteral("LabelVersion"))->text(),
                 QStringLiteral(CALVARO_EXPECTED_VERSION));
        auto* ok = box.findChild<QPushButton*>(QStringLiteral("OKButton"));
        QVERIFY(ok->isDefault());
        ok->click();
        QCOMPARE(box.result(), int(QDialog::Accepted));
        QVERIFY(!box.isVisible());
    }

    void buildVersionHasFourNumbers_data() {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("shown");
        QTest::newRow("none") << QString() << QStringLiteral("0.0.0.0");
        QTest::newRow("four") << QStringLiteral("1.0.0.508") << QStringLiteral("1.0.0.508");
        QTest::newRow("two") << QStringLiteral("5.1") << QStringLiteral("5.1.0.0");
        QTest::newRow("five") << QStringLiteral("1.2.3.4.5") << QStringLiteral("1.2.3.4");
        QTest::newRow("not numbers") << QStringLiteral("five.one") << QStringLiteral("0.0.0.0");
        QTest::newRow("beyond 16 bits") << QStringLiteral("1.0.0.70000") << QStringLiteral("0.0.0.0");
    }
    void buildVersionHasFourNumbers() {
        QFETCH(QString, raw);
        QFETCH(QString, shown);
        QCOMPARE(NormaliseBuildVersion(raw), shown);
    }

    void buildVersionIsTheProjectVersion() {
        QCOMPARE(GetBuildVersion(), QStringLiteral(CALVARO_EXPECTED_VERSION));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$"))
                    .match(GetBuildVersion())
                    .hasMatch());
    }
};

QTEST_MAIN(TestViewAndAbout)
#include "tst_view_about.moc"
