// The data set editor: bindings by property name, conversions in the user's locale, the two
// selectors, prompts, the validation verdict and the take-over of another data set.

#include "CalvaroModel.h"
#include "PanelStatusBar.h"
#include "ScriptedDialogs.h"
#include "ShellTestSupport.h"
#include "WaterDatasetForm.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLocale>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

class TestDatasetEditor : public QObject {
    Q_OBJECT

    std::unique_ptr<TfrmWaterDataset> FEditor;
    std::unique_ptr<TScriptedDialogs> FDialogs;

    TfrmWaterDataset* Open(std::unique_ptr<TWaterDataset> water) {
        FEditor = std::make_unique<TfrmWaterDataset>(nullptr, std::move(water));
        FEditor->show();
        return FEditor.get();
    }
    template <typename T> T* Control(const char* name) const {
        T* control = FEditor->findChild<T*>(QString::fromLatin1(name));
        if (!control) qFatal("no control %s", name);
        return control;
    }
    QLineEdit* Box(const char* name) const { return Control<QLineEdit>(name); }
    QString LabelText(const char* name) const { return Control<QLabel>(name)->text(); }

private slots:
    void init() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        FDialogs = std::make_unique<TScriptedDialogs>();
    }
    void cleanup() {
        FEditor.reset();
        FDialogs.reset();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        VERIFY_NO_TOP_LEVEL_LEAK();
    }

    void newDatasetShowsDefaultChoicesAndInvalidBoxes() {
        Open(std::make_unique<TWaterDataset>());
        QCOMPARE(Control<QComboBox>("cmbWaterCharacter")->currentText(), QStringLiteral("Conductivity"));
        QCOMPARE(Control<QComboBox>("cmbCarboSystemCharacter")->currentText(),
                 QStringLiteral("Total alkalinity"));
        QCOMPARE(LabelText("lblWaterCharacter"), QStringLiteral("Conductivity"));
        QCOMPARE(LabelText("lblCarboSystemChar"), QStringLiteral("Total alkalinity"));
        QCOMPARE(LabelText("LabelWaterCharUnit"), QStringLiteral("mS/m"));
        QCOMPARE(LabelText("LabelCarbCharUnit"), QStringLiteral("mg/l as CaC03"));
        for (const char* invalid : {"txtPh", "txtTemperature", "txtWaterCharacter", "txtCarboSystemChar"})
            QVERIFY2(IsColouredInvalid(Box(invalid)), invalid);
        for (const char* valid : {"txtTotalSodium", "txtTotalMagnesium", "txtTotalCalcium",
                                  "txtTotalSulphate", "txtTotalChloride"})
            QVERIFY2(IsColouredValid(Box(valid)), valid);
        QVERIFY(!FEditor->ValidateDataset());
        QVERIFY(FDialogs->Shown.empty());
    }

    void captionsBoxesAndUnitsTopToBottom() {
        // Caption, box and unit of each row as the operator reads them, the units with the digit
        // zero ("CaC03", "mgS04/l"), chloride above sulphate.
        Open(ValidWater());
        FEditor->resize(579, 454);
        QApplication::processEvents();
        struct TRow {
            const char* Caption;
            const char* CaptionText;
            const char* Box;
            const char* Unit;
            const char* UnitText;
        };
        const TRow rows[] = {
            {"LabelDate", "Date", "dtmDatasetDate", nullptr, nullptr},
            {"LabelPh", "pH", "txtPh", nullptr, nullptr},
            {"LabelTemperature", "Temperature", "txtTemperature", "LabelTemperatureUnit", "degrees C"},
            {"LabelSodium", "Total sodium", "txtTotalSodium", "LabelSodiumUnit", "mgNa/l"},
            {"LabelMagnesium", "Total magnesium", "txtTotalMagnesium", "LabelMagnesiumUnit", "mg/l as CaC03"},
            {"LabelCalcium", "Total calcium", "txtTotalCalcium", "LabelCalciumUnit", "mg/l as CaC03"},
            {"LabelChloride", "Total chloride", "txtTotalChloride", "LabelChlorideUnit", "mgCl/l"},
            {"LabelSulphate", "Total sulphate", "txtTotalSulphate", "LabelSulphateUnit", "mgS04/l"},
            {"LabelWaterCharacterisation", "Water characterisation", "cmbWaterCharacter", nullptr, nullptr},
            {"lblWaterCharacter", "Conductivity", "txtWaterCharacter", "LabelWaterCharUnit", "mS/m"},
            {"LabelCarbonateCharacterisation", "Carbonate system characterisation", "cmbCarboSystemCharacter",
             nullptr, nullptr},
            {"lblCarboSystemChar", "Total alkalinity", "txtCarboSystemChar", "LabelCarbCharUnit",
             "mg/l as CaC03"},
        };
        int previousTop = -1;
        for (const TRow& row : rows) {
            const QLabel* caption = Control<QLabel>(row.Caption);
            const QWidget* box = Control<QWidget>(row.Box);
            QCOMPARE(caption->text(), QString::fromLatin1(row.CaptionText));
            QVERIFY2(caption->alignment() & Qt::AlignRight, row.Caption);
            QVERIFY2(box->y() > previousTop, row.Box);
            QVERIFY2(caption->x() + caption->width() <= box->x(), row.Caption);
            if (row.Unit) {
                const QLabel* unit = Control<QLabel>(row.Unit);
                QCOMPARE(unit->text(), QString::fromLatin1(row.UnitText));
                QVERIFY2(unit->x() >= box->x() + box->width(), row.Unit);
            }
            previousTop = box->y();
        }
        // The hidden fraction row stands above the date.
        QCOMPARE(LabelText("LabelWaterFraction"), QStringLiteral("Fraction of water"));
        QCOMPARE(LabelText("LabelWaterFractionUnit"), QStringLiteral("%"));
        QVERIFY(Box("EditWaterFraction")->y() < Control<QWidget>("dtmDatasetDate")->y());
    }

    void selectorsOfferTheirChoicesInIndexOrder() {
        Open(ValidWater());
        const auto items = [this](const char* name) {
            QStringList texts;
            const auto* selector = Control<QComboBox>(name);
            for (int i = 0; i < selector->count(); ++i)
                texts << selector->itemText(i);
            return texts;
        };
        QCOMPARE(items("cmbWaterCharacter"), (QStringList{"TDS", "Conductivity", "Ionic strength"}));
        QCOMPARE(items("cmbCarboSystemCharacter"),
                 (QStringList{"Total alkalinity", "HC03 acidity", "Total carbonate species",
                              "Partial pressures C02"}));
        QVERIFY(!Control<QComboBox>("cmbWaterCharacter")->isEditable()); // pick only
        QVERIFY(!Control<QComboBox>("cmbCarboSystemCharacter")->isEditable());
    }

    void bindingsInTheirOrderWithPropertyNames() {
        Open(std::make_unique<TWaterDataset>());
        const QStringList expected = {"LinkCreateDate:CreateDate",
                                      "LinkTemperatures:Temperature",
                                      "LinkPh:Ph",
                                      "LinkSodium:Sodium",
                                      "LinkMagnesium:Magnesium",
                                      "LinkCalcium:Calcium",
                                      "LinkSulphate:Sulphate",
                                      "LinkWaterCharacter:Conductivity",
                                      "LinkCarboSystem:Alkalinity",
                                      "LinkPropertyToFieldItemIndex:WaterCharacterIndex",
                                      "LinkPropertyToFieldItemIndex2:CarbonCharacterIndex",
                                      "LinkChloride:Chloride",
                                      "LinkFraction:Fraction"};
        QStringList actual;
        for (const auto& binding : FEditor->Bindings())
            actual << binding.Name + QLatin1Char(':') + QString::fromStdString(binding.PropertyName);
        QCOMPARE(actual, expected);
    }

    void keyboardOrderPutsChlorideAfterTheCarbonateValue() {
        Open(std::make_unique<TWaterDataset>());
        const QStringList expected = {"dtmDatasetDate",     "txtPh",
                                      "txtTemperature",     "txtTotalSodium",
                                      "txtTotalMagnesium",  "txtTotalCalcium",
                                      "txtTotalSulphate",   "cmbWaterCharacter",
                                      "txtWaterCharacter",  "cmbCarboSystemCharacter",
                                      "txtCarboSystemChar", "txtTotalChloride",
                                      "EditWaterFraction"};
        QStringList order;
        QWidget* widget = Control<QDateEdit>("dtmDatasetDate");
        for (int steps = 0; steps < 200 && order.size() < expected.size(); ++steps) {
            if (expected.contains(widget->objectName()) && !order.contains(widget->objectName()))
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        }
        QCOMPARE(order, expected);
    }

    void waterSelector_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("unit");
        QTest::newRow("TDS") << 0 << QStringLiteral("500") << QStringLiteral("mg/l");
        QTest::newRow("Conductivity") << 1 << QStringLiteral("45.5") << QStringLiteral("mS/m");
        QTest::newRow("Ionic strength") << 2 << QStringLiteral("0.0125") << QString();
    }
    void waterSelector() {
        QFETCH(int, position);
        QFETCH(QString, text);
        QFETCH(QString, unit);
        auto water = ValidWater();
        water->SetTDS(500);
        water->SetIonicStrength(0.0125);
        Open(std::move(water));
        auto* selector = Control<QComboBox>("cmbWaterCharacter");
        selector->setCurrentIndex(position);
        QCOMPARE(Box("txtWaterCharacter")->text(), text);
        QCOMPARE(LabelText("LabelWaterCharUnit"), unit);
        QCOMPARE(LabelText("lblWaterCharacter"), selector->currentText());
        QCOMPARE(FEditor->Dataset()->WaterCharacterIndex(), position);
        // Switching never touches the stored values.
        QCOMPARE(FEditor->Dataset()->TDS(), 500.0);
        QCOMPARE(FEditor->Dataset()->Conductivity(), 45.5);
        QCOMPARE(FEditor->Dataset()->IonicStrength(), 0.0125);
        QVERIFY(FEditor->ValidateDataset());
    }

    void carbonSelector_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("unit");
        QTest::newRow("Total alkalinity") << 0 << QStringLiteral("120") << QStringLiteral("mg/l as CaC03");
        QTest::newRow("HC03 acidity") << 1 << QStringLiteral("-12.5") << QStringLiteral("mg/l as CaC03");
        QTest::newRow("Total carbonate species")
            << 2 << QStringLiteral("130") << QStringLiteral("mg/l as CaC03");
        QTest::newRow("Partial pressures C02") << 3 << QStringLiteral("5E-5") << QStringLiteral("atm");
    }
    void carbonSelector() {
        QFETCH(int, position);
        QFETCH(QString, text);
        QFETCH(QString, unit);
        auto water = ValidWater();
        water->SetAcidity(-12.5);
        water->SetCarbonateSpecies(130);
        water->SetPressureCO2(0.00005);
        Open(std::move(water));
        Control<QComboBox>("cmbCarboSystemCharacter")->setCurrentIndex(position);
        QCOMPARE(Box("txtCarboSystemChar")->text(), text);
        QCOMPARE(LabelText("LabelCarbCharUnit"), unit);
        QCOMPARE(FEditor->Dataset()->CarbonCharacterIndex(), position);
        QCOMPARE(FEditor->Dataset()->Alkalinity(), 120.0);
        QVERIFY(FEditor->ValidateDataset());
    }

    void partialPressureIsCheckedAgainstItsOwnRange() {
        Open(ValidWater());
        Control<QComboBox>("cmbCarboSystemCharacter")->setCurrentIndex(3);
        QLineEdit* box = Box("txtCarboSystemChar");
        box->setText(QStringLiteral("0.00005"));
        QVERIFY(IsColouredValid(box));
        QVERIFY(FEditor->ValidateDataset());
        box->setText(QStringLiteral("0.00004"));
        QVERIFY(IsColouredInvalid(box));
        box->setText(QStringLiteral("1"));
        QVERIFY(FEditor->ValidateDataset());
        box->setText(QStringLiteral("1.01"));
        QVERIFY(!FEditor->ValidateDataset());
    }

    void selectingTdsWithZeroTdsInvalidatesAtOnce() {
        // The conductivity box showed a valid value; the TDS box shows 0, below its minimum of 4.
        Open(ValidWater());
        QSignalSpy verdicts(FEditor.get(), &TfrmWaterDataset::DatasetValidated);
        QVERIFY(FEditor->ValidateDataset());
        Control<QComboBox>("cmbWaterCharacter")->setCurrentIndex(0);
        QVERIFY(!verdicts.isEmpty());
        QCOMPARE(verdicts.last().at(0).toBool(), false);
        QVERIFY(IsColouredInvalid(Box("txtWaterCharacter")));
    }

    void sameTextAfterSwitchStillRechecks() {
        // Alkalinity 0.5 is below its minimum of 1, acidity 0.5 is within -950..1000: the box keeps
        // the text "0.5" across the switch, yet the verdict must follow the new range.
        auto water = ValidWater();
        water->SetAlkalinity(0.5);
        water->SetAcidity(0.5);
        Open(std::move(water));
        QVERIFY(!FEditor->ValidateDataset());
        QSignalSpy verdicts(FEditor.get(), &TfrmWaterDataset::DatasetValidated);
        Control<QComboBox>("cmbCarboSystemCharacter")->setCurrentIndex(1);
        QCOMPARE(Box("txtCarboSystemChar")->text(), QStringLiteral("0.5"));
        QVERIFY(!verdicts.isEmpty());
        QCOMPARE(verdicts.last().at(0).toBool(), true);
        QVERIFY(IsColouredValid(Box("txtCarboSystemChar")));
    }

    void switchingBackShowsTheUnchangedValue() {
        auto water = ValidWater();
        water->SetTDS(321);
        water->SetIonicStrength(0.004);
        Open(std::move(water));
        auto* selector = Control<QComboBox>("cmbWaterCharacter");
        selector->setCurrentIndex(2);
        QCOMPARE(LabelText("LabelWaterCharUnit"), QString());
        QCOMPARE(Box("txtWaterCharacter")->text(), QStringLiteral("0.004"));
        selector->setCurrentIndex(0);
        QCOMPARE(Box("txtWaterCharacter")->text(), QStringLiteral("321"));
        QCOMPARE(FEditor->Dataset()->TDS(), 321.0);
    }

    void pendingEditInValueBoxGoesToThePropertyItWasTypedFor() {
        Open(ValidWater());
        QLineEdit* box = Box("txtWaterCharacter");
        box->setText(QStringLiteral("60")); // typed, box not left yet
        Control<QComboBox>("cmbWaterCharacter")->setCurrentIndex(0);
        QCOMPARE(FEditor->Dataset()->Conductivity(), 60.0);
        QCOMPARE(FEditor->Dataset()->TDS(), 0.0);
    }

    void promptInTheOwnersStatusBar() {
        TPanelStatusBar statusBar(400);
        Open(ValidWater());
        FEditor->SetStatusBar(&statusBar);
        EnterBox(Box("txtPh"));
        QCOMPARE(statusBar.PanelText(), QStringLiteral("Enter a pH between 1 and 14."));
        LeaveBox(Box("txtPh"));
        QCOMPARE(statusBar.PanelText(), QString());
        // The value box prompts for the property the selector chose.
        EnterBox(Box("txtWaterCharacter"));
        QCOMPARE(statusBar.PanelText(), QStringLiteral("Enter the Conductivity between 0.63 and 2232 mS/m."));
        LeaveBox(Box("txtWaterCharacter"));
        Control<QComboBox>("cmbCarboSystemCharacter")->setCurrentIndex(3);
        EnterBox(Box("txtCarboSystemChar"));
        QCOMPARE(statusBar.PanelText(),
                 QStringLiteral("Enter the partial pressure for CO2 between 0.00005 and 1.0 atm."));
        LeaveBox(Box("txtCarboSystemChar"));
        // Boxes show no tooltips.
        QVERIFY(Box("txtPh")->toolTip().isEmpty());
    }

    void noStatusBarNoPrompt() {
        TPanelStatusBar unrelated(400);
        Open(ValidWater());
        EnterBox(Box("txtPh"));
        QCOMPARE(unrelated.PanelText(), QString());
        LeaveBox(Box("txtPh"));
    }

    void promptInAPlainStatusBar() {
        // An embedding window may hand over a plain QStatusBar: the prompt goes to its message area.
        QStatusBar statusBar;
        Open(ValidWater());
        FEditor->SetStatusBar(&statusBar);
        EnterBox(Box("txtTemperature"));
        QCOMPARE(statusBar.currentMessage(),
                 QStringLiteral("Enter a temperature between 1 and 90 degrees Celsius."));
        LeaveBox(Box("txtTemperature"));
        QCOMPARE(statusBar.currentMessage(), QString());
    }

    void unreadableTextStoresZeroAndStaysInvalid_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("letters") << QStringLiteral("abc");
        QTest::newRow("empty") << QString();
        QTest::newRow("comma where the locale uses a point") << QStringLiteral("7,5");
        // Words the number parser knows, but no amount of anything: a data set holding them could
        // neither be saved nor copied into a calculation window.
        QTest::newRow("nan") << QStringLiteral("nan");
        QTest::newRow("inf") << QStringLiteral("inf");
        QTest::newRow("-inf") << QStringLiteral("-inf");
    }
    void unreadableTextStoresZeroAndStaysInvalid() {
        QFETCH(QString, typed);
        Open(ValidWater());
        TypeIntoBox(Box("txtPh"), typed);
        QCOMPARE(FEditor->Dataset()->Ph(), 0.0);
        QVERIFY(IsColouredInvalid(Box("txtPh")));
        QCOMPARE(Box("txtPh")->text(), typed);
        QVERIFY(!FEditor->ValidateDataset());
        QVERIFY(FDialogs->Shown.empty()); // no message
    }

    void typedNumberFollowsTheLocale_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("stored");
        QTest::newRow("point") << QLocale(QLocale::English, QLocale::UnitedKingdom) << QStringLiteral("7.5")
                               << 7.5;
        QTest::newRow("comma") << QLocale(QLocale::German, QLocale::Germany) << QStringLiteral("7,5") << 7.5;
        QTest::newRow("comma, more digits")
            << QLocale(QLocale::German, QLocale::Germany) << QStringLiteral("8,125") << 8.125;
    }
    void typedNumberFollowsTheLocale() {
        QFETCH(QLocale, locale);
        QFETCH(QString, typed);
        QFETCH(double, stored);
        QLocale::setDefault(locale);
        Open(ValidWater());
        TypeIntoBox(Box("txtPh"), typed);
        QCOMPARE(FEditor->Dataset()->Ph(), stored);
        QVERIFY(IsColouredValid(Box("txtPh")));
    }

    void storedNumberShownInTheLocale_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        const QLocale english(QLocale::English, QLocale::UnitedKingdom);
        const QLocale german(QLocale::German, QLocale::Germany);
        QTest::newRow("7.5") << english << 7.5 << QStringLiteral("7.5");
        QTest::newRow("7,5") << german << 7.5 << QStringLiteral("7,5");
        QTest::newRow("no trailing zeros") << english << 20.0 << QStringLiteral("20");
        QTest::newRow("no thousands separator") << english << 1234.5 << QStringLiteral("1234.5");
        QTest::newRow("small value in E form") << german << 0.00005 << QStringLiteral("5E-5");
        QTest::newRow("15 digits") << english << 1.0 / 3.0 << QStringLiteral("0.333333333333333");
    }
    void storedNumberShownInTheLocale() {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QFETCH(QString, shown);
        QLocale::setDefault(locale);
        auto water = ValidWater();
        water->SetTemperature(value);
        Open(std::move(water));
        QCOMPARE(Box("txtTemperature")->text(), shown);
        // What the box shows reads back to the stored value (within its 15 digits).
        ApplyAndCompareUnchanged();
    }

    void updateUiFromModelTakesAllButTheDate() {
        auto water = ValidWater();
        water->SetCreateDate(41556); // 9 October 2013
        Open(std::move(water));
        TWaterDataset other;
        other.SetCreateDate(40000);
        other.SetPh(8.25);
        other.SetTemperature(12);
        other.SetSodium(11);
        other.SetMagnesium(22);
        other.SetCalcium(33);
        other.SetSulphate(44);
        other.SetChloride(55);
        other.SetFraction(66);
        other.SetWaterCharacterIndex(0);
        other.SetTDS(777);
        other.SetConductivity(88);
        other.SetIonicStrength(0.01);
        other.SetCarbonCharacterIndex(2);
        other.SetAlkalinity(99);
        other.SetAcidity(-5);
        other.SetCarbonateSpecies(111);
        other.SetPressureCO2(0.002);
        FEditor->UpdateUiFromModel(other);

        TWaterDataset expected = other;
        expected.SetCreateDate(41556);
        QVERIFY(*FEditor->Dataset() == expected);
        QCOMPARE(Control<QDateEdit>("dtmDatasetDate")->date(), QDate(2013, 10, 9));
        QCOMPARE(Box("txtPh")->text(), QStringLiteral("8.25"));
        QCOMPARE(Box("txtTotalChloride")->text(), QStringLiteral("55"));
        QCOMPARE(Box("EditWaterFraction")->text(), QStringLiteral("66"));
        QCOMPARE(Control<QComboBox>("cmbWaterCharacter")->currentIndex(), 0);
        QCOMPARE(LabelText("lblWaterCharacter"), QStringLiteral("TDS"));
        QCOMPARE(Box("txtWaterCharacter")->text(), QStringLiteral("777"));
        QCOMPARE(Control<QComboBox>("cmbCarboSystemCharacter")->currentIndex(), 2);
        QCOMPARE(LabelText("lblCarboSystemChar"), QStringLiteral("Total carbonate species"));
        QCOMPARE(Box("txtCarboSystemChar")->text(), QStringLiteral("111"));
        QVERIFY(FEditor->ValidateDataset());
    }

    void applyModelUpdatesWritesOnlyWhatWasEdited() {
        // The view writes the computed alkalinity into the data set behind the editor's back; it
        // must survive until the operator edits that box again.
        Open(ValidWater());
        FEditor->Dataset()->SetAlkalinity(118.75);
        FEditor->ApplyModelUpdates();
        QCOMPARE(FEditor->Dataset()->Alkalinity(), 118.75);
        Box("txtCarboSystemChar")->setText(QStringLiteral("125"));
        FEditor->ApplyModelUpdates();
        QCOMPARE(FEditor->Dataset()->Alkalinity(), 125.0);
    }

    void dateIsBoundAndWrittenAsWholeDays() {
        auto water = ValidWater();
        water->SetCreateDate(41556.75); // a time of day from an older file
        Open(std::move(water));
        auto* date = Control<QDateEdit>("dtmDatasetDate");
        QCOMPARE(date->date(), QDate(2013, 10, 9));
        QCOMPARE(date->displayFormat(), QLocale().dateFormat(QLocale::LongFormat));
        FEditor->ApplyModelUpdates();
        QCOMPARE(FEditor->Dataset()->CreateDate(), 41556.75); // untouched
        date->setDate(QDate(2014, 1, 1));
        FEditor->ApplyModelUpdates();
        QCOMPARE(FEditor->Dataset()->CreateDate(), 41640.0);
    }

    void fractionIsCheckedWhileHidden() {
        auto water = ValidWater();
        water->SetFraction(150);
        Open(std::move(water));
        QLineEdit* fraction = Box("EditWaterFraction");
        QVERIFY(!fraction->isVisible());
        QVERIFY(!FEditor->ValidateDataset());
        QVERIFY(IsColouredInvalid(fraction));
        FEditor->ShowWaterFraction();
        QVERIFY(fraction->isVisible());
        QVERIFY(Control<QLabel>("LabelWaterFraction")->isVisible());
        QVERIFY(Control<QLabel>("LabelWaterFractionUnit")->isVisible());
        TypeIntoBox(fraction, QStringLiteral("100"));
        QCOMPARE(FEditor->Dataset()->Fraction(), 100.0);
        QVERIFY(FEditor->ValidateDataset());
    }

    void everyBoxIsColouredAfterTheFirstFailure() {
        auto water = ValidWater();
        water->SetTemperature(0); // the first box walked fails
        water->SetChloride(9000); // and a late one
        Open(std::move(water));
        QVERIFY(!FEditor->ValidateDataset());
        QVERIFY(IsColouredInvalid(Box("txtTemperature")));
        QVERIFY(IsColouredInvalid(Box("txtTotalChloride")));
        QVERIFY(IsColouredValid(Box("txtPh")));
        QVERIFY(IsColouredValid(Box("EditWaterFraction")));
    }

    void selectorIndexOutsideTheChoicesIsInvalid() {
        // Only a hand-edited file holds such an index; the engine would get no measure to use.
        auto water = ValidWater();
        water->SetWaterCharacterIndex(7);
        Open(std::move(water));
        QCOMPARE(Control<QComboBox>("cmbWaterCharacter")->currentIndex(), -1);
        QCOMPARE(LabelText("lblWaterCharacter"), QString());
        QVERIFY(!FEditor->ValidateDataset());
        Control<QComboBox>("cmbWaterCharacter")->setCurrentIndex(1);
        QCOMPARE(FEditor->Dataset()->WaterCharacterIndex(), 1);
        QVERIFY(FEditor->ValidateDataset());
    }

    void topRowsFitTheEmbeddingOffset() {
        // A blending window moves the editor up by kTopRowsHeight to hide fraction and date.
        Open(ValidWater());
        FEditor->resize(579, 454);
        QApplication::processEvents();
        const QRect date = Control<QDateEdit>("dtmDatasetDate")->geometry();
        const QRect ph = Box("txtPh")->geometry();
        QVERIFY2(date.bottom() < TfrmWaterDataset::kTopRowsHeight,
                 qPrintable(QString::number(date.bottom())));
        QVERIFY2(ph.top() >= TfrmWaterDataset::kTopRowsHeight, qPrintable(QString::number(ph.top())));
        QCOMPARE(Box("txtPh")->width(), 195);
        QVERIFY(Box("txtPh")->alignment() & Qt::AlignRight);
    }

    void missingDatasetSaysSoAndBindsNothing() {
        Open(nullptr);
        QCOMPARE(FDialogs->Messages(), QStringList{QStringLiteral("Bound to nil dataset")});
        QVERIFY(!FEditor->ValidateDataset());
        FEditor->ApplyModelUpdates();
        EnterBox(Box("txtPh"));
        LeaveBox(Box("txtPh"));
    }

private:
    void ApplyAndCompareUnchanged() {
        const TWaterDataset before = *FEditor->Dataset();
        QLineEdit* box = Box("txtTemperature");
        const QString text = box->text();
        box->setText(QString());
        box->setText(text);
        FEditor->ApplyModelUpdates();
        QCOMPARE(FEditor->Dataset()->Temperature(), before.Temperature());
    }
};

QTEST_MAIN(TestDatasetEditor)
#include "tst_dataset_editor.moc"
