// The blending windows with their embedded data set editors, through the real facade: the new
// waters on their pages, the spin field's count of waters after every change, the exact fraction
// sum with its two messages in order, the editors' prompts in the window's status bar, the export
// rows and the write-back of the blend into the active data set copy.

#include "BlendMultipleWatersCalc.h"
#include "BlendToPhCalc.h"
#include "CalcFormDriver.h"
#include "CalcWindowWaters.h"
#include "CalculationRanges.h"
#include "EngineFacade.h"
#include "ExportUtil.h"
#include "LocaleNumbers.h"
#include "ScriptedDialogs.h"
#include "WaterDatasetForm.h"

#include <QDateEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace CalcFormDriver;
using namespace CalcWindowWaters;

namespace {

const QString kCannotView = QStringLiteral("Cannot view the results before all the values are correct.");
const QString kFractions = QStringLiteral("The sum of the water fractions is not 100%.");

QTabWidget* WaterPages(QWidget& form) {
    return Control<QTabWidget>(form, "PageControlDatasets");
}

QStringList PageCaptions(QWidget& form) {
    QStringList captions;
    for (int i = 0; i < WaterPages(form)->count(); ++i)
        captions << WaterPages(form)->tabText(i);
    return captions;
}

// The editor's data set is a new one: every value as a new data set has it.
bool HoldsANewDataset(const TfrmWaterDataset& editor) {
    TWaterDataset fresh;
    fresh.SetCreateDate(editor.Dataset()->CreateDate());
    return *editor.Dataset() == fresh;
}

void TypeFraction(TfrmWaterDataset* editor, const QString& text) {
    Type(*editor, "EditWaterFraction", text);
}

} // namespace

class TestBlendingWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedDialogs> FDialogs;
    TWaterDataset FActive; // the active data set's copy the window is given
    QTemporaryDir FDir;

    QStringList Export(QWidget& form) {
        const QString path = FDir.filePath(QStringLiteral("export.csv"));
        FDialogs->SaveFileAnswers.push_back(path);
        Click(form, QStringLiteral("ButtonExport"));
        return CsvLines(path);
    }

    // A multiple-blend window with the waters given, their fractions typed into their boxes.
    void FillWaters(TBlendMultipleCalcForm& form, const QStringList& fractions) {
        while (static_cast<int>(form.DatasetFormList().size()) < fractions.size())
            Control<QSpinBox>(form, "SpinNumberWaters")->stepUp();
        QCOMPARE(static_cast<int>(form.DatasetFormList().size()), fractions.size());
        for (int i = 0; i < fractions.size(); ++i) {
            TfrmWaterDataset* editor = form.DatasetFormList()[i];
            editor->UpdateUiFromModel(i % 2 == 0 ? HardWater() : SoftWater());
            TypeFraction(editor, fractions[i]);
        }
    }

private slots:
    void initTestCase() { QLocale::setDefault(kEnglish); }
    void init() {
        FDialogs = std::make_unique<TScriptedDialogs>();
        FActive = TWaterDataset();
    }
    void cleanup() { FDialogs.reset(); }

    void blendToPhOpensWithTwoNewWatersWithoutTheirTopRows() {
        TBlendToPhCalcForm form;
        form.SetDataset(&FActive);
        form.show();
        QCOMPARE(Text(form, "Label31"), QStringLiteral("Blend to specifed pH"));
        QCOMPARE(PageCaptions(form), (QStringList{"Water 1", "Water 2"}));
        QVERIFY(form.Form1 && form.Form2 && form.Form1 != form.Form2);
        QVERIFY(HoldsANewDataset(*form.Form1));
        QVERIFY(HoldsANewDataset(*form.Form2));
        for (TfrmWaterDataset* editor : {form.Form1, form.Form2}) {
            QVERIFY(Control<QLineEdit>(*editor, "EditWaterFraction")->isHidden());
            // Fraction and date rows lie above the page.
            QWidget* page = editor->parentWidget();
            auto* date = Control<QDateEdit>(*editor, "dtmDatasetDate");
            QCOMPARE(editor->geometry(), QRect(0, -TfrmWaterDataset::kTopRowsHeight, page->width(),
                                               page->height() + TfrmWaterDataset::kTopRowsHeight));
            QVERIFY(date->mapTo(page, QPoint(0, date->height())).y() <= 0);
            QVERIFY(!IsColouredValid(*editor, "txtPh"));
        }
        QCOMPARE(Control<QLineEdit>(form, "TxtInput")->text(), QStringLiteral("0.0"));
        QVERIFY(!IsColouredValid(form, "TxtInput"));
    }

    void blendToPhReachesTheResultsOnlyWithBothWatersAndThePhValid() {
        TBlendToPhCalcForm form;
        form.SetDataset(&FActive);
        form.show();
        Type(form, "TxtInput", "7");
        form.Form1->UpdateUiFromModel(HardWater());
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kInputPage);
        QCOMPARE(FDialogs->Messages(), QStringList{kCannotView});

        form.Form2->UpdateUiFromModel(SoftWater());
        Type(form, "TxtInput", "14.1");
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kInputPage);

        Type(form, "TxtInput", "7");
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kResultsPage);
        double water1 = 0, water2 = 0;
        const auto blend = RunBlendToPh(HardWater(), SoftWater(), water1, water2, 7);
        QCOMPARE(Text(form, "LabelWaterPercA"), FormatPattern(water1, 2));
        QCOMPARE(Text(form, "LabelWaterPercB"), FormatPattern(water2, 2));
        QCOMPARE(Text(form, "LabelWaterPercAUnit"), QStringLiteral("%"));
        QCOMPARE(ResultText(form, "LabelCalcium"), FormatPattern(blend->CAF, 2));

        const QStringList lines = Export(form);
        // The window's rows, then the treated water's indices.
        QCOMPARE(lines.size(), 16 + kIndexExportRows);
        QCOMPARE(lines.mid(16), IndexExportRows(form.CalcIndices()));
        QCOMPARE(lines.front(), QStringLiteral("Blend to specified pH calculation"));
        QCOMPARE(lines.at(14), Row({"Fraction of Water 1 Needed", FormatPattern(water1, 2)}));
        QCOMPARE(lines.at(15), Row({"Fraction of Water 2 Needed", FormatPattern(water2, 2)}));
    }

    void editorPromptsAppearInTheWindowStatusBar() {
        TBlendToPhCalcForm form;
        form.SetDataset(&FActive);
        form.show();
        QCOMPARE(PromptOf(form, "TxtInput"), QStringLiteral("Enter a pH between 1 and 14"));
        QCOMPARE(PromptOf(form, *form.Form2, "txtPh"), QStringLiteral("Enter a pH between 1 and 14."));
        QCOMPARE(StatusText(form), QString()); // cleared on leaving the box
        QVERIFY(Control<QStatusBar>(form, "StatusBar")->currentMessage().isEmpty());

        TBlendMultipleCalcForm multiple;
        multiple.SetDataset(&FActive);
        multiple.show();
        QCOMPARE(PromptOf(multiple, *multiple.DatasetFormList()[1], "txtTemperature"),
                 QStringLiteral("Enter a temperature between 1 and 90 degrees Celsius."));
    }

    void multipleBlendOpensWithTwoWatersShowingTheirFractions() {
        TBlendMultipleCalcForm form;
        form.SetDataset(&FActive);
        form.show();
        QCOMPARE(Text(form, "Label31"), QStringLiteral("Number of waters to blend :"));
        QCOMPARE(Control<QSpinBox>(form, "SpinNumberWaters")->value(), 2);
        QCOMPARE(PageCaptions(form), (QStringList{"Water 1", "Water 2"}));
        QCOMPARE(form.DatasetFormList().size(), std::size_t{2});
        for (TfrmWaterDataset* editor : form.DatasetFormList()) {
            QVERIFY(HoldsANewDataset(*editor));
            QVERIFY(!Control<QLineEdit>(*editor, "EditWaterFraction")->isHidden());
            QCOMPARE(editor->geometry(), editor->parentWidget()->rect()); // the whole page, nothing cut off
        }
    }

    void spinFieldAddsAndRemovesOneWaterBetween2And20() {
        TBlendMultipleCalcForm form;
        form.SetDataset(&FActive);
        form.show();
        auto* spin = Control<QSpinBox>(form, "SpinNumberWaters");
        spin->stepUp();
        QCOMPARE(PageCaptions(form), (QStringList{"Water 1", "Water 2", "Water 3"}));
        QCOMPARE(form.DatasetFormList().size(), std::size_t{3});
        QVERIFY(HoldsANewDataset(*form.DatasetFormList().back()));
        QCOMPARE(form.DatasetFormList().back()->parentWidget(), WaterPages(form)->widget(2));
        spin->stepDown();
        QCOMPARE(PageCaptions(form), (QStringList{"Water 1", "Water 2"}));
        spin->stepDown();
        QCOMPARE(WaterPages(form)->count(), 2);
        QCOMPARE(form.DatasetFormList().size(), std::size_t{2});

        for (int i = 0; i < 25; ++i)
            spin->stepUp();
        QCOMPARE(WaterPages(form)->count(), 20);
        QCOMPARE(form.DatasetFormList().size(), std::size_t{20});
        QCOMPARE(WaterPages(form)->tabText(19), QStringLiteral("Water 20"));
        QCOMPARE(form.DatasetFormList()[19]->parentWidget(), WaterPages(form)->widget(19));
    }

    // Each typed text reaches the window as one change: before, a jump from 2 to 5 added only the
    // third water and the pages lagged the field until the next change.
    void aTypedNumberBringsThePagesToThatCount_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("waters");
        QTest::newRow("2 to 5") << 2 << "5" << 5;
        QTest::newRow("2 to 20") << 2 << "20" << 20;
        QTest::newRow("2 to 19 through 1") << 2 << "19" << 19;
        QTest::newRow("7 down to 3") << 7 << "3" << 3;
        QTest::newRow("20 down to 2") << 20 << "2" << 2;
        QTest::newRow("12 down to 9") << 12 << "9" << 9;
    }
    void aTypedNumberBringsThePagesToThatCount() {
        QFETCH(int, start);
        QFETCH(QString, typed);
        QFETCH(int, waters);
        TBlendMultipleCalcForm form;
        form.SetDataset(&FActive);
        form.show();
        auto* spin = Control<QSpinBox>(form, "SpinNumberWaters");
        spin->setValue(start);
        QCOMPARE(WaterPages(form)->count(), start);
        spin->selectAll();
        QTest::keyClicks(spin, typed);
        QCOMPARE(spin->value(), waters);
        QCOMPARE(WaterPages(form)->count(), waters);
        QCOMPARE(static_cast<int>(form.DatasetFormList().size()), waters);
        for (int i = 0; i < waters; ++i) {
            QCOMPARE(WaterPages(form)->tabText(i), QStringLiteral("Water %1").arg(i + 1));
            QCOMPARE(form.DatasetFormList()[static_cast<std::size_t>(i)]->parentWidget(),
                     WaterPages(form)->widget(i));
        }
        // The arrows still move one water at a time from there.
        spin->stepDown();
        QCOMPARE(WaterPages(form)->count(), std::max(waters - 1, 2));
        spin->stepUp();
        QCOMPARE(WaterPages(form)->count(), waters == 2 ? 3 : waters);
    }

    void fractionsMustAddUpToExactly100_data() {
        QTest::addColumn<QStringList>("fractions");
        QTest::addColumn<bool>("passes");
        QTest::newRow("50 and 50") << QStringList{"50", "50"} << true;
        QTest::newRow("50 and 49.99") << QStringList{"50", "49.99"} << false;
        QTest::newRow("33.3, 33.3 and 33.4") << QStringList{"33.3", "33.3", "33.4"} << true;
        QTest::newRow("off in the last bits") << QStringList{"50", "50.0000000000001"} << false;
        QTest::newRow("60 and 50") << QStringList{"60", "50"} << false;
    }
    void fractionsMustAddUpToExactly100() {
        QFETCH(QStringList, fractions);
        QFETCH(bool, passes);
        TBlendMultipleCalcForm form;
        form.SetDataset(&FActive);
        form.show();
        FillWaters(form, fractions);
        TurnToResults(form);
        if (passes) {
            QCOMPARE(Page(form), TCalcForm::kResultsPage);
            QVERIFY(FDialogs->Messages().isEmpty());
        } else {
            QCOMPARE(Page(form), TCalcForm::kInputPage);
            QCOMPARE(FDialogs->Messages(), (QStringList{kFractions, kCannotView}));
            QCOMPARE(StatusText(form), kFractions);
        }
    }

    void anInvalidWaterIsRefusedWithoutTheSumMessage() {
        TBlendMultipleCalcForm form;
        form.SetDataset(&FActive);
        form.show();
        FillWaters(form, {"50", "40"});
        Type(*form.DatasetFormList()[1], "txtPh", "15");
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kInputPage);
        QCOMPARE(FDialogs->Messages(), QStringList{kCannotView});
        QVERIFY(!IsColouredValid(*form.DatasetFormList()[1], "txtPh"));
    }

    void multipleBlendShowsTheBlendAndExportsTheBaseRowsAndTheIndices() {
        TBlendMultipleCalcForm form;
        form.SetDataset(&FActive);
        form.show();
        FillWaters(form, {"30", "70"});
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kResultsPage);
        TWaterDataset hard = HardWater(), soft = SoftWater();
        hard.SetFraction(30);
        soft.SetFraction(70);
        const auto blend = RunBlendMultiple({&hard, &soft});
        QCOMPARE(ResultText(form, "LabelPh"), FormatPattern(blend->PHF, 2));
        QCOMPARE(ResultText(form, "LabelAlkalinity"), FormatPattern(blend->ALKF, 2));
        QCOMPARE(ResultText(form, "LabelTemperature"), FormatPattern(blend->TF, 2));
        const QStringList lines = Export(form);
        // The window's rows, then the treated water's indices.
        QCOMPARE(lines.size(), 14 + kIndexExportRows);
        QCOMPARE(lines.mid(14), IndexExportRows(form.CalcIndices()));
        QCOMPARE(lines.front(), QStringLiteral("Determine water condition after blending"));
    }

    void yesOnCloseWritesTheBlendIntoTheCopy() {
        auto form = std::make_unique<TBlendMultipleCalcForm>();
        form->SetDataset(&FActive);
        form->show();
        FillWaters(*form, {"50", "50"});
        QPointer<TfrmWaterDataset> embedded = form->DatasetFormList()[0];
        TurnToResults(*form);
        QCOMPARE(Page(*form), TCalcForm::kResultsPage);
        const TCalculationResult blend = *form->CalcResult();
        FDialogs->YesNoAnswers.push_back(true);
        Click(*form, QStringLiteral("ButtonCancel"));
        QCOMPARE(form->result(), int(QDialog::Accepted));
        QCOMPARE(FActive.Ph(), Rounded(blend.PHF));
        QCOMPARE(FActive.Alkalinity(), Rounded(blend.ALKF));
        QCOMPARE(FActive.Calcium(), Rounded(blend.CAF));
        QCOMPARE(FActive.Temperature(), Rounded(blend.TF));
        QCOMPARE(FActive.Fraction(), 0.0);
        form.reset();
        QVERIFY(embedded.isNull()); // the embedded waters go with the window
    }

    void noOnCloseLeavesTheCopyUnchanged() {
        TBlendToPhCalcForm form;
        form.SetDataset(&FActive);
        form.show();
        form.Form1->UpdateUiFromModel(HardWater());
        form.Form2->UpdateUiFromModel(SoftWater());
        Type(form, "TxtInput", "7.2");
        TurnToResults(form);
        QCOMPARE(Page(form), TCalcForm::kResultsPage);
        const TWaterDataset before = FActive;
        FDialogs->YesNoAnswers.push_back(false);
        Click(form, QStringLiteral("ButtonCancel"));
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QVERIFY(FActive == before);
    }
};

QTEST_MAIN(TestBlendingWindows)
#include "TestBlendingWindows.moc"
