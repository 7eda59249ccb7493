#pragma once
// TfrmWaterTable: the batch window, a child of the main window beside the data set windows, with
// one row per water of a lab table or of many data set files.
//
//   OpenTable / AddDatasetFiles --> a TWaterTableLoad, run a slice per turn of the event loop
//   (a progress bar with Cancel appears once a load takes longer than half a second)
//   --> TWaterTableModel --> TWaterTableSortProxy --> QTableView; the summary line below
//   activated row (double-click, Enter) --> the main window's way of opening a data set window
//
// The window owns its model; opening a row hands a copy of its water to a new data set window.

#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>

class QLabel;
class QModelIndex;
class QPrinter;
class QPushButton;
class QTableView;
class QTimer;
class TCsvWriter;
class TWaterDataset;
class TWaterTableLoad;
class TWaterTableModel;
class TWaterTableSortProxy;

class TfrmWaterTable : public QWidget {
    Q_OBJECT
public:
    // How a row becomes a data set window: the main window's own path (title, water).
    using TOpenDataset = std::function<void(const QString&, std::unique_ptr<TWaterDataset>)>;

    // Rows loaded per turn of the event loop take this long at most (ms).
    static constexpr int kSliceMilliseconds = 40;
    // A load that has not ended after this long shows its progress (ms).
    static constexpr int kProgressDelay = 500;

    TfrmWaterTable(QWidget* parent, TOpenDataset openDataset);
    ~TfrmWaterTable() override;

    // --- Logic; errors travel. ---
    // Reads a lab table into the window (after what it holds); throws when the file cannot be
    // opened or its header read. The rows come in while the event loop runs.
    void OpenTable(const QString& path);
    // Loads data set files, one row per file; a file that fails is a refused row.
    void AddDatasetFiles(const QStringList& paths);
    // Opens the water of a row of the view (sorted order) as a data set window.
    void OpenRow(int viewRow);
    // The table as shown (sorted order): a header row, then one row per water.
    void WriteTable(TCsvWriter& writer) const;
    void PrintTable(QPrinter& printer) const;

    bool IsLoading() const;
    bool LoadCancelled() const { return FCancelled; }
    // Runs the loads to their end without the event loop (the command line and tests).
    void FinishLoading();

    TWaterTableModel* Model() const { return FModel; }
    TWaterTableSortProxy* Proxy() const { return FProxy; }
    QTableView* View() const { return FView; }
    QString SummaryLine() const;
    QProgressDialog* ProgressDialog() const { return FProgress; }

    // --- Commands; each reports its own errors. ---
    void ButtonAddFilesClick();
    void ButtonExportClick();
    void ButtonPrintClick();

public slots:
    // Stops the load in progress and drops those waiting; the rows read so far stay.
    void CancelLoad();

signals:
    void LoadFinished(bool cancelled);

private:
    void BuildControls();
    void StartLoad(std::unique_ptr<TWaterTableLoad> load);
    void LoadSlice();
    void EndLoad(bool cancelled);
    void UpdateSummary();
    void RowActivated(const QModelIndex& index);
    void SizeColumns();

    TOpenDataset FOpenDataset;
    TWaterTableModel* FModel = nullptr;
    TWaterTableSortProxy* FProxy = nullptr;
    QTableView* FView = nullptr;
    QLabel* FSummary = nullptr;
    QPushButton* FButtonAddFiles = nullptr;
    QPushButton* FButtonExport = nullptr;
    QPushButton* FButtonPrint = nullptr;
    QTimer* FSliceTimer = nullptr;
    QPointer<QProgressDialog> FProgress;
    std::deque<std::unique_ptr<TWaterTableLoad>> FLoads; // the first is running
    bool FCancelled = false;
    bool FColumnsSized = false; // fitted to the first rows once they came
};
