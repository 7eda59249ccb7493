#pragma once
// TCalcForm: the base of every calculation window.
//
//   Input page --(turn to Results: ValidateInputs, Calculate)--> Results page
//        ^                      refused before the page changes        |
//        +----------------------- back: always allowed ----------------+
//   Close on Results: "update the active data set?" Yes -> ApplyResultToDataset, OK result.
//
// The window computes on the data set copy it is given (Dataset, not owned) and writes the treated
// water into it only when the operator agrees on closing; the opener takes the copy over on the OK
// result. The base owns the plumbing: the two pages and their guard, the status bar prompts, the
// thirteen result rows, the error reporting, the write-back, Export and Print. A concrete window
// adds its inputs (createInputGroup, createNumberInput, createChoiceInput), ValidateInputs with its
// ranges, Calculate with its facade call (ReadNumber, SetCalcResult, ShowResults), its extra result
// rows (createResultRow, createResultLine) and, optionally, its extra export rows (WriteResults).
// Every message, question and dialog goes through Dialogs().

#include "CalvaroModel.h"
#include "ResultRows.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QVBoxLayout;
class TCsvWriter;
class TGuardedTabWidget;

class TCalcForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kInputPage = 0;
    static constexpr int kResultsPage = 1;

    explicit TCalcForm(QWidget* owner = nullptr);
    ~TCalcForm() override;

    TWaterDataset* Dataset() const { return FDataset; }
    void SetDataset(TWaterDataset* dataset) { FDataset = dataset; }
    // The result of the last successful calculation, or nullptr before the first one.
    const TCalculationResult* CalcResult() const { return FCalcResult.get(); }
    bool IsResultsPageShown() const;

    // The handlers of the window's buttons and keys.
    virtual void ButtonCancelClick();
    virtual void ButtonOkClick();
    void ButtonExportClick();
    virtual void ButtonPrintClick();
    void FormHelp();

    void setVisible(bool visible) override;

protected:
    // Runs the calculation on `dataset`: read the inputs (ReadNumber), call the facade, store its
    // result (SetCalcResult), show the window's own outputs, then ShowResults(CalcResult()).
    // Errors propagate; RunCalculation reports them.
    virtual bool Calculate(const TWaterDataset& dataset) = 0;
    // Checks (and so colours) every input; true only when all pass.
    virtual bool ValidateInputs() = 0;
    virtual void SetStatusText(const QString& text);
    virtual void ShowResults(const TCalculationResult* result);
    virtual void ApplyResultToDataset(const TCalculationResult* result);
    // The export rows; a window that adds rows calls the base first.
    virtual void WriteResults(TCsvWriter& writer);
    // Runs when the window is shown: the input page, hidden Export and Print, coloured inputs.
    // A window that writes default texts calls the base first.
    virtual void FormShow();

    void TabControlChanging(bool& allowChange);
    bool RunCalculation();
    void OnChangeValidate() { ValidateInputs(); }

    // Building blocks for the concrete windows. Names are the controls' object names.
    QGroupBox* createInputGroup(const QString& title, const QString& name = QStringLiteral("GroupBox1"));
    // A number box in the next row of `group`: caption, box, unit. Its changes run ValidateInputs;
    // entering it shows `prompt` in the status bar, leaving it clears the status bar.
    QLineEdit* createNumberInput(QGroupBox* group, const QString& caption, const QString& unit,
                                 const QString& prompt, const QString& name);
    // A pick-only list with the first item selected; choosing an item neither validates nor
    // recalculates. `captionName` names its caption label.
    QComboBox* createChoiceInput(QGroupBox* group, const QString& caption, const QStringList& items,
                                 const QString& name, const QString& captionName = QString());
    // For windows whose prompt follows the water.
    void SetInputPrompt(QLineEdit* box, const QString& prompt);
    // A row below the thirteen result rows: caption, value (returned), and a unit label when
    // `unitName` is given.
    QLabel* createResultRow(const QString& caption, const QString& valueName,
                            const QString& unitName = QString());
    // A row below the result rows for a text value (a chemical's name), left-aligned over the
    // value and unit columns.
    QLabel* createResultTextRow(const QString& caption, const QString& valueName);
    // A full-width line below the result rows.
    QLabel* createResultLine(const QString& name);

    // The number in an input box by the locale's rules; throws std::runtime_error naming the
    // field when the text is not a number.
    static double ReadNumber(const QLineEdit* box);
    // The text without leading and trailing blanks and control characters.
    static QString TrimmedText(const std::string& text);
    // A value in the display and export pattern "###,##0.00".
    static QString FormatValue(double value);
    // One export row.
    static void AddRow(TCsvWriter& writer, const QStringList& items);

    void SetCalcResult(std::unique_ptr<TCalculationResult> result);
    TGuardedTabWidget* TabControl() const { return FTabControl; }
    // The results page and its group of the thirteen rows, for windows that show more (or other)
    // results than the rows.
    QWidget* ResultsSheet() const { return FTabSheetResults; }
    QGroupBox* ResultsGroup() const { return FGroupBoxResults; }
    QStatusBar* StatusBar() const { return FStatusBar; }

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createPages();
    void createResultRows();
    void createButtons();
    void createStatusBar();
    void SetExportVisible(bool visible);
    bool GuardPageChange(int newIndex);
    bool ApplyAndAccept();
    int WidestPromptWidth() const;

    TWaterDataset* FDataset = nullptr;
    std::unique_ptr<TCalculationResult> FCalcResult;

    TGuardedTabWidget* FTabControl = nullptr;
    QWidget* FTabSheetInputs = nullptr;
    QWidget* FTabSheetResults = nullptr;
    QVBoxLayout* FInputsLayout = nullptr;
    QGroupBox* FGroupBoxResults = nullptr;
    QGridLayout* FResultsGrid = nullptr;
    QStatusBar* FStatusBar = nullptr;
    QLabel* FStatusPanel = nullptr;
    QPushButton* FButtonCancel = nullptr;
    QPushButton* FButtonExport = nullptr;
    QPushButton* FButtonPrint = nullptr;
    TResultValueLabels FResultValues{};
    QList<QLineEdit*> FPromptedInputs;
    bool FSized = false;
};
