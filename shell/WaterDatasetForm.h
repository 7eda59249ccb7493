#pragma once
// TfrmWaterDataset: the editor of one water data set.
//
// Its input boxes are bound to the data set's properties by name (DatasetProperties()), so the
// editor holds no code per field: a binding carries the value between box and data set, the
// property name finds the range and prompt (FindDatasetAttribute), and the two selectors decide
// which dissolved-solids value and which carbonate-system value the two lower boxes show and check.
//
// The main window shows one editor per open data set inside an MDI sub-window; the blending
// windows put editors on their own pages as plain child widgets (no border). Only an editor whose
// DatasetValidated signal is connected reports its verdict; an embedded editor reports to nobody
// and its window uses ValidateDataset's return value.

#include <QDate>
#include <QPointer>
#include <QStatusBar>
#include <QString>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class TWaterDataset;

class TfrmWaterDataset : public QWidget {
    Q_OBJECT
public:
    // Height of the two top rows (water fraction and date). A blending window moves the editor up
    // by this much to hide them.
    static constexpr int kTopRowsHeight = 55;

    // One binding of a control to a property of the data set, by the property's name.
    struct TBinding {
        QString Name;             // LinkPh, LinkWaterCharacter, ...
        QWidget* Control;         // QLineEdit, QDateEdit or QComboBox (its chosen position)
        std::string PropertyName; // empty while a selector has chosen nothing yet
        bool Pending = false;     // the control was edited since its value was last written
    };

    // Remembers `owner` as MainParent and takes the data set over (it dies with the editor).
    // A missing data set shows "Bound to nil dataset" and binds nothing.
    TfrmWaterDataset(QWidget* owner, std::unique_ptr<TWaterDataset> dataset);
    ~TfrmWaterDataset() override;

    QString FilePath() const { return FFilePath; }
    void SetFilePath(const QString& path) { FFilePath = path; }
    TWaterDataset* Dataset() const { return FDataset.get(); }
    TWaterDataset* GetDataset() const { return FDataset.get(); }
    QStatusBar* StatusBar() const { return FStatusBar; }
    void SetStatusBar(QStatusBar* statusBar) { FStatusBar = statusBar; }
    QWidget* MainParent() const { return FMainParent; }

    // The 13 bindings in their fixed order (the order ValidateDataset walks).
    const std::vector<TBinding>& Bindings() const { return FBindings; }

    // Writes every pending edit into the data set.
    void ApplyModelUpdates();
    // Takes over every value of `newDataset` but its date (the indices included) and shows them.
    void UpdateUiFromModel(const TWaterDataset& newDataset);
    // Checks and colours every bound box that has a range; emits DatasetValidated with the verdict.
    bool ValidateDataset();
    // Shows the fraction row (hidden at first; checked whether shown or not).
    void ShowWaterFraction();
    // Re-binds the two value boxes to the properties the selectors choose.
    void UpdateComboLinks();

signals:
    void DatasetValidated(bool valid);

public slots:
    void cmbWaterCharacterChange();
    void cmbCarboSystemCharacterChange();
    // A text box was entered: its prompt into the status bar.
    void ShowHint(QWidget* control);
    // A text box was left: the status bar's prompt is cleared.
    void EmptyHint();
    // The text of a bound text box changed.
    void OnChange();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildBindings();
    void SetTabOrder();
    void AdapterBindSourceCreateAdapter();
    void FormShow();
    void RefreshAllBindings();
    void RefreshBinding(TBinding& binding);
    void ApplyBinding(TBinding& binding);
    TBinding* FindBindComponent(const QWidget* control);
    void RebindValueBox(TBinding& binding, const std::string& propertyName);
    static void SelectedChoiceCaption(QLabel* label, const QComboBox* selector);

    QString FFilePath;
    std::unique_ptr<TWaterDataset> FDataset;
    QPointer<QWidget> FMainParent;
    QPointer<QStatusBar> FStatusBar;
    std::vector<TBinding> FBindings;
    bool FRefreshing = false;
    bool FShownOnce = false;

    QLabel* LabelWaterFraction = nullptr;
    QLineEdit* EditWaterFraction = nullptr;
    QLabel* LabelWaterFractionUnit = nullptr;
    QDateEdit* dtmDatasetDate = nullptr;
    QLineEdit* txtPh = nullptr;
    QLineEdit* txtTemperature = nullptr;
    QLineEdit* txtTotalSodium = nullptr;
    QLineEdit* txtTotalMagnesium = nullptr;
    QLineEdit* txtTotalCalcium = nullptr;
    QLineEdit* txtTotalChloride = nullptr;
    QLineEdit* txtTotalSulphate = nullptr;
    QComboBox* cmbWaterCharacter = nullptr;
    QLabel* lblWaterCharacter = nullptr;
    QLineEdit* txtWaterCharacter = nullptr;
    QLabel* LabelWaterCharUnit = nullptr;
    QComboBox* cmbCarboSystemCharacter = nullptr;
    QLabel* lblCarboSystemChar = nullptr;
    QLineEdit* txtCarboSystemChar = nullptr;
    QLabel* LabelCarbCharUnit = nullptr;
};

// The data set's date (days since 30 December 1899) as a calendar date, and back (whole days).
QDate DayCountToDate(double days);
double DateToDayCount(const QDate& date);
