#include "WaterTableForm.h"

#include "CommandGuard.h"
#include "Dialogs.h"
#include "ExportUtil.h"
#include "PrintWriter.h"
#include "ResultsOutput.h"
#include "WaterTableModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kAddFilesTitle = QStringLiteral("Please select Calvaro files...");
const QString kAddFilesFilter = QStringLiteral("Calvaro files (*.clv)");

std::vector<std::string> Utf8(const QStringList& texts) {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(texts.size()));
    for (const QString& text : texts)
        items.push_back(text.toStdString());
    return items;
}

} // namespace

TfrmWaterTable::TfrmWaterTable(QWidget* parent, TOpenDataset openDataset)
    : QWidget(parent), FOpenDataset(std::move(openDataset)) {
    setObjectName(QStringLiteral("frmWaterTable"));
    setWindowTitle(QStringLiteral("Table of waters"));
    FModel = new TWaterTableModel(this);
    FProxy = new TWaterTableSortProxy(this);
    FProxy->setSourceModel(FModel);
    FProxy->setSortRole(TWaterTableModel::SortRole);
    FSliceTimer = new QTimer(this);
    FSliceTimer->setInterval(0);
    connect(FSliceTimer, &QTimer::timeout, this, &TfrmWaterTable::LoadSlice);
    BuildControls();
    connect(FModel, &TWaterTableModel::SummaryChanged, this, &TfrmWaterTable::UpdateSummary);
    connect(FModel, &QAbstractItemModel::modelReset, this, [this] { FColumnsSized = false; });
    UpdateSummary();
}

TfrmWaterTable::~TfrmWaterTable() {
    FSliceTimer->stop();
    delete FProgress;
}

void TfrmWaterTable::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);

    FView = new QTableView(this);
    FView->setObjectName(QStringLiteral("TableWaters"));
    FView->setModel(FProxy);
    FView->setSortingEnabled(true);
    FView->sortByColumn(-1, Qt::AscendingOrder); // file order until a header is clicked
    FView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FView->setSelectionMode(QAbstractItemView::SingleSelection);
    FView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FView->setAlternatingRowColors(true);
    FView->setWordWrap(false);
    // Fixed row heights and column widths: nothing is measured per row, so a long table scrolls
    // as fast as a short one.
    FView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FView->verticalHeader()->setDefaultSectionSize(FView->fontMetrics().height() + 6);
    FView->verticalHeader()->hide();
    FView->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    FView->horizontalHeader()->setDefaultSectionSize(90);
    FView->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    FView->horizontalHeader()->setHighlightSections(false);
    connect(FView, &QTableView::activated, this, &TfrmWaterTable::RowActivated);
    layout->addWidget(FView, 1);

    auto* bottom = new QHBoxLayout;
    FSummary = new QLabel(this);
    FSummary->setObjectName(QStringLiteral("LabelSummary"));
    bottom->addWidget(FSummary, 1);
    FButtonAddFiles = new QPushButton(QStringLiteral("Add data set files..."), this);
    FButtonAddFiles->setObjectName(QStringLiteral("ButtonAddFiles"));
    connect(FButtonAddFiles, &QPushButton::clicked, this, &TfrmWaterTable::ButtonAddFilesClick);
    FButtonPrint = new QPushButton(QStringLiteral("Print..."), this);
    FButtonPrint->setObjectName(QStringLiteral("ButtonPrint"));
    connect(FButtonPrint, &QPushButton::clicked, this, &TfrmWaterTable::ButtonPrintClick);
    FButtonExport = new QPushButton(QStringLiteral("Export"), this);
    FButtonExport->setObjectName(QStringLiteral("ButtonExport"));
    connect(FButtonExport, &QPushButton::clicked, this, &TfrmWaterTable::ButtonExportClick);
    bottom->addWidget(FButtonAddFiles);
    bottom->addWidget(FButtonPrint);
    bottom->addWidget(FButtonExport);
    layout->addLayout(bottom);
}

void TfrmWaterTable::SizeColumns() {
    if (FColumnsSized || FModel->rowCount() == 0) return;
    FColumnsSized = true;
    // Fitted to the header and the first two hundred rows, so the cost does not grow with the
    // table; a long refusal is cut at a third of a screen (its tooltip shows it whole).
    FView->horizontalHeader()->setResizeContentsPrecision(200);
    FView->resizeColumnsToContents();
    for (int column = 0; column < FModel->columnCount(); ++column)
        FView->setColumnWidth(column, std::min(FView->columnWidth(column) + 8, 320));
}

void TfrmWaterTable::UpdateSummary() {
    FSummary->setText(SummaryLine());
}

QString TfrmWaterTable::SummaryLine() const {
    QString text = SummaryText(FModel->Summary());
    if (IsLoading())
        text += QStringLiteral(" - loading...");
    else if (FCancelled)
        text += QStringLiteral(" - loading cancelled");
    return text;
}

// --- Loading --------------------------------------------------------------------------------

void TfrmWaterTable::OpenTable(const QString& path) {
    StartLoad(LoadWaterTableFile(path));
}

void TfrmWaterTable::AddDatasetFiles(const QStringList& paths) {
    if (paths.isEmpty()) return;
    StartLoad(LoadDatasetFiles(paths));
}

bool TfrmWaterTable::IsLoading() const {
    return !FLoads.empty();
}

void TfrmWaterTable::StartLoad(std::unique_ptr<TWaterTableLoad> load) {
    FLoads.push_back(std::move(load));
    if (FLoads.size() > 1) return; // runs after the one in progress
    FCancelled = false;
    // Shown only once the load has lasted half a second; a short one ends unseen.
    FProgress = new QProgressDialog(QStringLiteral("Reading %1...").arg(FLoads.front()->Title()),
                                    QStringLiteral("Cancel"), 0, 1000, this);
    FProgress->setObjectName(QStringLiteral("ProgressLoad"));
    FProgress->setWindowTitle(QStringLiteral("Calvaro V"));
    FProgress->setWindowModality(Qt::WindowModal);
    FProgress->setMinimumDuration(kProgressDelay);
    FProgress->setAutoClose(false);
    FProgress->setAutoReset(false);
    connect(FProgress, &QProgressDialog::canceled, this, &TfrmWaterTable::CancelLoad);
    FProgress->setValue(0);
    FSliceTimer->start();
    UpdateSummary();
}

void TfrmWaterTable::LoadSlice() {
    if (FLoads.empty()) {
        FSliceTimer->stop();
        return;
    }
    TWaterTableLoad& load = *FLoads.front();
    bool more = true;
    try {
        more = load.Step(*FModel, kSliceMilliseconds);
    } catch (const std::exception& error) {
        // A stream that fails half way: the rows read so far stay, the error is shown.
        more = false;
        FLoads.pop_front();
        ShowErrorBox(this, error);
        if (FLoads.empty()) EndLoad(false);
        return;
    }
    if (FProgress) {
        FProgress->setLabelText(QStringLiteral("Reading %1...").arg(load.Title()));
        FProgress->setValue(std::min(999, load.Progress()));
    }
    SizeColumns();
    if (!more) {
        FLoads.pop_front();
        if (FLoads.empty()) EndLoad(false);
    }
    UpdateSummary();
}

void TfrmWaterTable::CancelLoad() {
    if (FLoads.empty()) return;
    FLoads.clear();
    FModel->Commit();
    EndLoad(true);
}

void TfrmWaterTable::EndLoad(bool cancelled) {
    FSliceTimer->stop();
    FCancelled = cancelled;
    if (FProgress) {
        FProgress->disconnect(this);
        FProgress->hide();
        FProgress->deleteLater();
        FProgress = nullptr;
    }
    UpdateSummary();
    emit LoadFinished(cancelled);
}

void TfrmWaterTable::FinishLoading() {
    while (IsLoading())
        LoadSlice();
}

// --- Rows -----------------------------------------------------------------------------------

void TfrmWaterTable::RowActivated(const QModelIndex& index) {
    RunCommand(this, [this, &index] { OpenRow(index.row()); });
}

void TfrmWaterTable::OpenRow(int viewRow) {
    const QModelIndex source = FProxy->mapToSource(FProxy->index(viewRow, 0));
    if (!source.isValid()) return;
    const std::optional<TWaterDataset> water = FModel->Dataset(source.row());
    if (!water) {
        Dialogs().ShowMessage(this, QStringLiteral("This row holds no water that can be opened: ") +
                                        FModel->Status(source.row()));
        return;
    }
    if (FOpenDataset) FOpenDataset(FModel->RowTitle(source.row()), std::make_unique<TWaterDataset>(*water));
}

// --- Export and print -----------------------------------------------------------------------

void TfrmWaterTable::WriteTable(TCsvWriter& writer) const {
    writer.AddRow(Utf8(FModel->HeaderTexts()));
    for (int row = 0; row < FProxy->rowCount(); ++row)
        writer.AddRow(Utf8(FModel->RowTexts(FProxy->mapToSource(FProxy->index(row, 0)).row())));
}

void TfrmWaterTable::PrintTable(QPrinter& printer) const {
    printer.setDocName(QStringLiteral("Calvaro V"));
    std::vector<std::vector<std::string>> header(2);
    for (int column = 0; column < FModel->columnCount(); ++column) {
        const QStringList lines =
            FModel->headerData(column, Qt::Horizontal).toString().split(QLatin1Char('\n'));
        header[0].push_back(lines.value(0).toStdString());
        header[1].push_back(lines.value(1).toStdString());
    }
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<std::size_t>(FProxy->rowCount()));
    for (int row = 0; row < FProxy->rowCount(); ++row)
        rows.push_back(Utf8(FModel->RowTexts(FProxy->mapToSource(FProxy->index(row, 0)).row())));
    TTablePrintWriter writer(windowTitle().toStdString(), &printer);
    writer.PrintTable(header, rows);
    writer.Close();
}

void TfrmWaterTable::ButtonAddFilesClick() {
    RunCommand(this, [this] {
        AddDatasetFiles(
            Dialogs().AskOpenFileNames(this, TOpenDialogOptions{kAddFilesTitle, kAddFilesFilter}));
    });
}

void TfrmWaterTable::ButtonExportClick() {
    RunCommand(this, [this] { ExportResults(this, [this](TCsvWriter& writer) { WriteTable(writer); }); });
}

void TfrmWaterTable::ButtonPrintClick() {
    RunCommand(this, [this] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(QPageLayout::Landscape);
        if (!Dialogs().AskPrint(this, printer)) return;
        PrintTable(printer);
    });
}
