#pragma once
// TDosingCurveCalcForm: what a range of doses of one pH-adjustment chemical does to the water, as
// a dose-response chart and a table of points (RunDosingCurve).
//
//   inputs: chemical, largest dose, number of points
//   results: "Chart" tab: pH (left axis) and precipitation potential (right axis) over the dose,
//            the water's own state at dose 0, the target and the dose it needs when the window was
//            opened with them, a readout under the mouse (dose, pH, potential, LSI); "Table" tab:
//            one row per dose, with the dosed water's saturation and Langelier indices.
//
// The curve is computed on the data set copy like every calculation, but nothing is written back:
// Close ends the window without the update question. A dose the engine cannot compute is a gap in
// the lines and a row with its reason in the table.

#include "CalculationBaseForm.h"
#include "EngineFacade.h"

#include <functional>
#include <optional>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

// What the opener asked for: a target pH or potential and the dose that reaches it.
struct TDosingCurveTarget {
    enum class TKind { Ph, Potential };
    TKind Kind = TKind::Ph;
    double Value = 0;        // pH, or mg/l as CaCO3
    double RequiredDose = 0; // mg/l of the chemical
};

class TDosingCurveCalcForm : public TCalcForm {
    Q_OBJECT
public:
    explicit TDosingCurveCalcForm(QWidget* owner = nullptr);

    // Presets for the window's inputs and the marks of a target; call before showing. The
    // required dose is marked while the chosen chemical is `chemicalIndex`.
    void SetPreset(int chemicalIndex, double largestDose, std::optional<TDosingCurveTarget> target);

    // Closing changes no data set.
    void ButtonCancelClick() override;

    // "Save picture...": asks for the file, then SavePicture.
    void ButtonSavePictureClick();
    // The chart as PNG, or SVG when the path ends in ".svg". Throws std::runtime_error when the
    // file cannot be written.
    void SavePicture(const QString& path);
    // The readout for the point nearest to `dose` (what the mouse pointer shows).
    void ShowReadoutAt(double dose);

    QChart* Chart() const;
    const std::vector<TDosingCurvePoint>& Curve() const { return FCurve; }
    // The caption printed above the chart: the chemical, the doses and the water.
    QString WaterCaption() const;

protected:
    bool Calculate(const TWaterDataset& dataset) override;
    bool ValidateInputs() override;
    void FormShow() override;
    void ApplyResultToDataset(const TCalculationResult* result) override;
    // The table of points: caption, column titles, one row per dose; an index the water does not
    // define is an empty field.
    void WriteResults(TCsvWriter& writer) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // Print: the caption and the chart on one page.
    void ButtonPrintClick() override;

private:
    void UpdateDoseUnit();
    void BuildChart();
    void BuildTable();
    QString DoseUnits() const;

    QComboBox* ComboDosageChemical;
    QLineEdit* TxtLargestDose;
    QLineEdit* TxtPoints;
    QLabel* LabelDoseUnits;

    QTabWidget* FResultTabs;
    QChartView* FChartView;
    QLabel* LabelReadout;
    QPushButton* ButtonSavePicture;
    QTableWidget* TablePoints;

    int FPresetChemical = 0;
    double FPresetLargestDose = 0;
    std::optional<TDosingCurveTarget> FTarget;
    // The curve of the last calculation and what it was computed for.
    std::vector<TDosingCurvePoint> FCurve;
    int FCurveChemical = 0;
    double FWaterPh = 0;
};

// A "Curve..." button (ButtonCurve) under the results of a dosage window, running `open`.
QPushButton* CreateCurveButton(QWidget* resultsSheet, std::function<void()> open);

// Opens the dosing curve of `chemicalIndex` for `dataset` with a target and the dose it needs:
// the largest dose twice the required one (at least 10 mg/l). Used by the "Curve..." buttons.
void OpenDosingCurve(QWidget* owner, TWaterDataset* dataset, int chemicalIndex,
                     const TDosingCurveTarget& target);
