#include "DosageCalcForm.h"

#include <QGroupBox>
#include <QLabel>

TDosageCalcForm::TDosageCalcForm(QWidget* owner, TNotes notes) : TCalcForm(owner), FNotes(notes) {
    FLabelDosageType =
        createResultTextRow(QStringLiteral("Dosage type :"), QStringLiteral("LabelDosageType"));
    FLabelDosage = createResultRow(QStringLiteral("Dosage required :"), QStringLiteral("LabelDosage"),
                                   QStringLiteral("LabelDosageUnits"));
    FLabelDosageUnits = findChild<QLabel*>(QStringLiteral("LabelDosageUnits"));
    if (FNotes == TNotes::Shown) {
        FLabelNote1 = createResultLine(QStringLiteral("LabelNote1"));
        FLabelNote2 = createResultLine(QStringLiteral("LabelNote2"));
    }
}

void TDosageCalcForm::ClearDosage() {
    DosageRequired = 0;
    DosageUnits.clear();
    DosageType.clear();
    Note1.clear();
    Note2.clear();
    for (QLabel* label : {FLabelDosageType, FLabelDosage, FLabelDosageUnits, FLabelNote1, FLabelNote2})
        if (label) label->clear();
}

void TDosageCalcForm::ShowDosage() {
    FLabelDosageType->setText(TrimmedText(DosageType));
    FLabelDosage->setText(FormatValue(DosageRequired));
    FLabelDosageUnits->setText(TrimmedText(DosageUnits));
    if (FNotes == TNotes::Shown) {
        FLabelNote1->setText(TrimmedText(Note1));
        FLabelNote2->setText(TrimmedText(Note2));
    }
}

void TDosageCalcForm::WriteResults(TCsvWriter& writer) {
    TCalcForm::WriteResults(writer);
    AddRow(writer, {QStringLiteral("Dosage type"), TrimmedText(DosageType)});
    AddRow(writer,
           {QStringLiteral("Dosage required"), FormatValue(DosageRequired), TrimmedText(DosageUnits)});
    if (FNotes == TNotes::Shown) {
        // The notes go out as the calculation wrote them, blanks included.
        AddRow(writer, {QString::fromStdString(Note1)});
        AddRow(writer, {QString::fromStdString(Note2)});
    }
}
