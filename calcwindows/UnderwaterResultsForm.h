#pragma once
// TUgWaterResultsForm: the underground water for a CO2 partial pressure, shown when the
// underground-water window closes. Not a calculation window: it computes once, before it is first
// shown (RunUndergroundWater for the water, CharacteriseWater for the dissolved solids of the water
// as it came in), shows fifteen rows and exports or prints them as they are shown. Under them, the
// underground water's saturation index, saturation pH, Langelier and Ryznar indices, exported
// after the fifteen rows.

#include "ResultRows.h"

#include <QDialog>
#include <QString>

#include <map>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class TCalculationResult;
class TCsvWriter;
class TWaterDataset;

class TUgWaterResultsForm : public QDialog {
    Q_OBJECT
public:
    // `dataset` is not owned; the characterisation writes its computed values into it.
    TUgWaterResultsForm(QWidget* owner, TWaterDataset* dataset);
    ~TUgWaterResultsForm() override;

    double PartialPressure = 0; // atm, set before the window is shown

    // Computes and fills the labels; throws what the facade throws. Runs once: later calls and
    // showing the window keep what was computed.
    void FormShow();
    const TCalculationResult* CalcResult2() const { return FCalcResult2.get(); }
    // The underground water's indices; empty before FormShow and where they could not be computed.
    const std::optional<TWaterIndices>& Indices() const { return FIndices; }
    // The text a value label shows, by its name (LabelPh ... LabelCaCO3Prec, and the index rows'
    // values and readings).
    QString ValueText(const QString& labelName) const;

    void ButtonExportClick();
    void ButtonPrintClick();
    void ButtonCloseClick() { close(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createRows();
    void createIndexRows();
    void WriteResults(TCsvWriter& writer) const;
    void SetValue(const QString& labelName, double value, int decimals);

    TWaterDataset* FDataset;
    std::unique_ptr<TCalculationResult> FCalcResult2;
    TResultValueLabels FResultValues{};
    TIndexLabels FIndexLabels;
    std::optional<TWaterIndices> FIndices;
    std::map<QString, QLabel*> FValues; // every value label by its name
    QPushButton* FButtonExport = nullptr;
    QPushButton* FButtonClose = nullptr;
    QPushButton* FButtonPrint = nullptr;
};
