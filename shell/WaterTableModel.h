#pragma once
// The waters of the batch window, one row per water, for a QTableView behind a sort proxy.
//
//   lab table (TWaterTableReader) or .clv files (LoadDatasetFromFile)
//     --TWaterTableLoad::Step, a slice at a time--> TWaterTableModel::Append (characterised once)
//     --data(), formatted only for the cells on screen--> view / export / print
//
// A row is stored compactly: the water as read, the computed values as doubles (NaN where not
// computed), offsets into one pool of carried texts and an index into the list of refusals. The
// texts on screen are made from these on demand in the user's locale, so a table of a hundred
// thousand waters costs a few tens of megabytes and scrolls as fast as a small one.
//
// The reading of a water by its precipitation potential (mg/l as CaCO3) uses the saturation
// index's thresholds: below -0.05 "aggressive", -0.05 to 0.05 "balanced", above 0.05
// "scale-forming".

#include "CalvaroModel.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TWaterTableReader;
struct TWaterTableRow;

// The potential's reading: the saturation index's thresholds applied to mg/l as CaCO3.
enum class TPotentialReading { Aggressive, Balanced, ScaleForming };
TPotentialReading ReadPotential(double precipitationPotential);
QString PotentialReadingText(TPotentialReading reading);

struct TWaterTableSummary {
    int Waters = 0;  // rows in the table
    int Refused = 0; // unreadable, out of range or refused by the chemistry
    int Aggressive = 0;
    int Balanced = 0;
    int ScaleForming = 0;
};
// "1,234 waters, 3 refused: 400 aggressive, 31 balanced, 800 scale-forming (by the precipitation
// potential)".
QString SummaryText(const TWaterTableSummary& summary);

class TWaterTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The fixed columns after the carried ones.
    enum TColumn {
        ColStatus,
        ColDate,
        ColPh,
        ColTemperature,
        ColSodium,
        ColMagnesium,
        ColCalcium,
        ColSulphate,
        ColChloride,
        ColAlkalinityInput,
        ColAcidityInput,
        ColCarbonateInput,
        ColPressureInput,
        ColPotential,
        ColReading,
        ColTds,
        ColConductivity,
        ColIonicStrength,
        ColFixedCount
    };
    // The role that gives the value a column sorts by: a double for numbers (missing ones as an
    // invalid variant), the text otherwise.
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit TWaterTableModel(QObject* parent = nullptr);
    ~TWaterTableModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // --- Filling. Rows are gathered by the Add... calls and shown at the next Commit. ---
    // A row of a lab table: characterised when it holds a water, refused with the reader's reason
    // otherwise. The carried columns join the table's own by name.
    void AddTableRow(const TWaterTableRow& row);
    // A data set (from a .clv file): checked against the input ranges, then characterised. `source`
    // is carried in the column "File".
    void AddDataset(const TWaterDataset& dataset, const QString& source);
    // A file that gave no water, named in "File", with the reason.
    void AddRefusedFile(const QString& source, const QString& reason);
    // Shows the rows added since the last commit.
    void Commit();
    void Clear();

    // --- Reading. Rows are the model's own (source) rows. ---
    int CarriedColumnCount() const { return static_cast<int>(FCarriedNames.size()); }
    // The column of a fixed column.
    int Column(TColumn column) const { return CarriedColumnCount() + 1 + column; }
    bool IsWater(int row) const; // characterised without fault
    bool IsRefused(int row) const { return !IsWater(row); }
    std::optional<TWaterDataset> Dataset(int row) const; // the water as read; empty when unreadable
    QString Status(int row) const;                       // "OK" or the reason of the refusal
    QString RowTitle(int row) const;                     // the title of a data set window opened from the row
    double Value(int row, TColumn column) const;         // NaN when the row has no such value
    TWaterTableSummary Summary() const;

    // The texts of one row (DisplayRole of every column) and of the header, for export and print.
    QStringList RowTexts(int row) const;
    QStringList HeaderTexts() const;

signals:
    void SummaryChanged();

private:
    static constexpr int kComputedCount = 4; // potential, TDS, conductivity, ionic strength
    enum class TState : std::uint8_t { Water, Refused, Unreadable };
    struct TEntry {
        TWaterDataset Water;
        double Computed[kComputedCount];
        std::int64_t Number;        // row number in the table, or order of the file
        std::uint32_t CarriedBegin; // into FCarriedCells
        std::uint16_t CarriedCount;
        TState State;
        std::int32_t Refusal; // into FRefusals, -1 without one
    };
    struct TCarriedCell {
        std::uint32_t Column; // into FCarriedNames
        std::uint32_t Offset; // into FPool (UTF-8)
        std::uint32_t Length;
    };

    int CarriedColumnOf(const std::string& name);
    void AddCarried(TEntry& entry, const std::string& column, const std::string& text);
    void Characterise(TEntry& entry);
    QString CarriedText(const TEntry& entry, int carriedColumn) const;
    QVariant Display(const TEntry& entry, int column) const;
    QVariant SortValue(const TEntry& entry, int column) const;

    std::vector<std::string> FCarriedNames;
    std::vector<TCarriedCell> FCarriedCells;
    std::string FPool;
    std::vector<QString> FRefusals;
    std::vector<TEntry> FRows;
    std::size_t FCommitted = 0; // rows shown to the views
    int FCarriedShown = 0;      // carried columns the views know of
    std::int64_t FFileNumber = 0;
    TWaterTableSummary FSummary;
};

// Sorts numbers as numbers, missing values after every value whichever the direction, texts
// without regard to letter case (numbers written as text, such as sample numbers, by value).
class TWaterTableSortProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

// One loading of the batch window, done a slice at a time so that the window stays responsive.
class TWaterTableLoad {
public:
    virtual ~TWaterTableLoad() = default;
    // Adds rows to the model until the slice's time (ms) is spent; false when nothing is left.
    virtual bool Step(TWaterTableModel& model, int milliseconds) = 0;
    // The part done, 0 to 1000.
    virtual int Progress() const = 0;
    virtual QString Title() const = 0;
};

// A lab table read from a file. Throws TFileError or TWaterTableError when the table cannot be
// read at all.
std::unique_ptr<TWaterTableLoad> LoadWaterTableFile(const QString& path);
// Data set files, one water each.
std::unique_ptr<TWaterTableLoad> LoadDatasetFiles(const QStringList& paths);
