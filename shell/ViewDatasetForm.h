#pragma once
// TFormViewDataset: the characterised state of a data set (its analysis with the TDS,
// conductivity, ionic strength and CaCO3 precipitation potential the engine derives from it),
// with Export and Print. Not modal; each View command opens one more. Below the water's rows, a
// second frame shows its scaling and corrosion indices, each with its one-word reading.
//
// The view is given the data set window's own data set, not a copy: characterising it writes the
// computed alkalinity and acidity into that data set, where they stay.

#include "ResultRows.h"

#include <QDialog>

#include <optional>

class QLabel;
class TCsvWriter;
class TWaterDataset;

class TFormViewDataset : public QDialog {
    Q_OBJECT
public:
    // The data set is not owned; it must outlive FormShow (the values are read once).
    TFormViewDataset(QWidget* owner, TWaterDataset* dataset);

    // Characterises the data set and fills the value labels. Runs once, before the first showing
    // at the latest; throws the engine's error when the water cannot be characterised.
    void FormShow();
    void ButtonExportClick();
    void ButtonPrintClick();
    void ButtonCloseClick();
    // The fourteen rows of the water, with the values as displayed, then one row per index
    // (caption, value, reading; an undefined index has an empty value).
    void WriteResults(TCsvWriter& writer) const;

    // The displayed value of a row by its control name (LabelPh, LabelAlkalinity, ...).
    QString ValueText(const QString& labelName) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    QLabel* Value(const char* name) const;

    TWaterDataset* FDataset;
    TResultValueLabels FValues{};
    TIndexLabels FIndexLabels;
    std::optional<TWaterIndices> FIndices; // empty until the water is characterised
    bool FShown = false;
};
