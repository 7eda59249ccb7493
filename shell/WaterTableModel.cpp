#include "WaterTableModel.h"

#include "CalvaroUtils.h"
#include "EngineFacade.h"
#include "LocaleNumbers.h"
#include "Validation.h"
#include "WaterDatasetForm.h"
#include "WaterTable.h"

#include <QBrush>
#include <QColor>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cmath>
#include <exception>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The saturation index's band of balance, applied to the potential in mg/l as CaCO3.
constexpr double kBalancedBand = 0.05;

struct TFixedColumn {
    const char* Caption; // the editor's caption where the column is an input
    const char* Unit;    // as on screen; empty for none
    int Decimals;        // -1 for a text column
};

// In TWaterTableModel::TColumn order.
const TFixedColumn kFixedColumns[] = {
    {"Status", "", -1},
    {"Date", "", -1},
    {"pH", "", 2},
    {"Temperature", "degrees C", 2},
    {"Total sodium", "mgNa/l", 2},
    {"Total magnesium", "mg/l as CaC03", 2},
    {"Total calcium", "mg/l as CaC03", 2},
    {"Total sulphate", "mgS04/l", 2},
    {"Total chloride", "mgCl/l", 2},
    {"Total alkalinity", "mg/l as CaC03", 2},
    {"HC03 acidity", "mg/l as CaC03", 2},
    {"Total carbonate species", "mg/l as CaC03", 2},
    {"Partial pressures C02", "atm", 5},
    {"Precipitation potential", "mg/l as CaC03", 2},
    {"Reading", "", -1},
    {"TDS", "mg/l", 2},
    {"Conductivity", "mS/m", 2},
    {"Ionic strength", "", 4},
};
static_assert(std::size(kFixedColumns) == TWaterTableModel::ColFixedCount);

// Where a computed value is kept in TEntry::Computed.
enum { kPotential, kTds, kConductivity, kIonicStrength };

// Refused rows: a pale red behind dark text, readable in print preview and on screen alike.
const QColor kRefusedBackground(255, 214, 214);
const QColor kRefusedText(120, 0, 0);

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString RangeFaultsText(const std::vector<TDatasetRangeFault>& faults) {
    QStringList parts;
    for (const TDatasetRangeFault& fault : faults) {
        if (fault.Attribute)
            parts << QStringLiteral("%1 = %2 (%3)")
                         .arg(QString::fromStdString(fault.Property), FormatGeneral(fault.Value),
                              QString::fromStdString(fault.Attribute->Description()));
        else
            parts << QStringLiteral("%1 = %2 selects no measure")
                         .arg(QString::fromStdString(fault.Property), FormatGeneral(fault.Value));
    }
    return QStringLiteral("Out of range: ") + parts.join(QStringLiteral("; "));
}

} // namespace

TPotentialReading ReadPotential(double precipitationPotential) {
    if (precipitationPotential < -kBalancedBand) return TPotentialReading::Aggressive;
    if (precipitationPotential > kBalancedBand) return TPotentialReading::ScaleForming;
    return TPotentialReading::Balanced;
}

QString PotentialReadingText(TPotentialReading reading) {
    switch (reading) {
    case TPotentialReading::Aggressive:
        return QStringLiteral("aggressive");
    case TPotentialReading::Balanced:
        return QStringLiteral("balanced");
    case TPotentialReading::ScaleForming:
        return QStringLiteral("scale-forming");
    }
    return {};
}

QString SummaryText(const TWaterTableSummary& summary) {
    const QLocale locale;
    const auto count = [&locale](int n) { return locale.toString(n); };
    return QStringLiteral("%1 %2, %3 refused: %4 aggressive, %5 balanced, %6 scale-forming (by the "
                          "precipitation potential)")
        .arg(count(summary.Waters), summary.Waters == 1 ? QStringLiteral("water") : QStringLiteral("waters"),
             count(summary.Refused), count(summary.Aggressive), count(summary.Balanced),
             count(summary.ScaleForming));
}

// --- The model ------------------------------------------------------------------------------

TWaterTableModel::TWaterTableModel(QObject* parent) : QAbstractTableModel(parent) {}

TWaterTableModel::~TWaterTableModel() = default;

int TWaterTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(FCommitted);
}

int TWaterTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1 + CarriedColumnCount() + ColFixedCount;
}

QVariant TWaterTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return QAbstractTableModel::headerData(section, orientation, role);
    if (role != Qt::DisplayRole) return {};
    if (section == 0) return QStringLiteral("Row");
    if (section <= CarriedColumnCount())
        return QString::fromStdString(FCarriedNames[static_cast<std::size_t>(section - 1)]);
    const int fixed = section - 1 - CarriedColumnCount();
    if (fixed < 0 || fixed >= ColFixedCount) return {};
    const TFixedColumn& column = kFixedColumns[fixed];
    QString text = QString::fromLatin1(column.Caption);
    if (*column.Unit) text += QLatin1Char('\n') + QString::fromLatin1(column.Unit);
    return text;
}

QVariant TWaterTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const TEntry& entry = FRows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return Display(entry, index.column());
    case SortRole:
        return SortValue(entry, index.column());
    case Qt::TextAlignmentRole: {
        const int fixed = index.column() - 1 - CarriedColumnCount();
        const bool number = index.column() == 0 || (fixed >= 0 && kFixedColumns[fixed].Decimals >= 0);
        return QVariant::fromValue(
            Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    case Qt::BackgroundRole:
        if (entry.State != TState::Water) return QBrush(kRefusedBackground);
        return {};
    case Qt::ForegroundRole:
        if (entry.State != TState::Water) return QBrush(kRefusedText);
        return {};
    case Qt::ToolTipRole:
        if (entry.State != TState::Water && index.column() == Column(ColStatus))
            return FRefusals[static_cast<std::size_t>(entry.Refusal)];
        return {};
    default:
        return {};
    }
}

double TWaterTableModel::Value(int row, TColumn column) const {
    const TEntry& entry = FRows[static_cast<std::size_t>(row)];
    if (entry.State == TState::Unreadable) return kNaN;
    const TWaterDataset& w = entry.Water;
    switch (column) {
    case ColDate:
        return w.CreateDate();
    case ColPh:
        return w.Ph();
    case ColTemperature:
        return w.Temperature();
    case ColSodium:
        return w.Sodium();
    case ColMagnesium:
        return w.Magnesium();
    case ColCalcium:
        return w.Calcium();
    case ColSulphate:
        return w.Sulphate();
    case ColChloride:
        return w.Chloride();
    // Of the carbonate system only the measure the water was given by.
    case ColAlkalinityInput:
        return w.CarbonCharacterIndex() == 0 ? w.Alkalinity() : kNaN;
    case ColAcidityInput:
        return w.CarbonCharacterIndex() == 1 ? w.Acidity() : kNaN;
    case ColCarbonateInput:
        return w.CarbonCharacterIndex() == 2 ? w.CarbonateSpecies() : kNaN;
    case ColPressureInput:
        return w.CarbonCharacterIndex() == 3 ? w.PressureCO2() : kNaN;
    case ColPotential:
        return entry.Computed[kPotential];
    case ColTds:
        return entry.Computed[kTds];
    case ColConductivity:
        return entry.Computed[kConductivity];
    case ColIonicStrength:
        return entry.Computed[kIonicStrength];
    default:
        return kNaN;
    }
}

QString TWaterTableModel::CarriedText(const TEntry& entry, int carriedColumn) const {
    for (std::uint32_t i = 0; i < entry.CarriedCount; ++i) {
        const TCarriedCell& cell = FCarriedCells[entry.CarriedBegin + i];
        if (static_cast<int>(cell.Column) == carriedColumn)
            return QString::fromUtf8(FPool.data() + cell.Offset, static_cast<qsizetype>(cell.Length));
    }
    return {};
}

QVariant TWaterTableModel::Display(const TEntry& entry, int column) const {
    if (column == 0) return QLocale().toString(static_cast<qlonglong>(entry.Number));
    if (column <= CarriedColumnCount()) return CarriedText(entry, column - 1);
    const int fixed = column - 1 - CarriedColumnCount();
    const int row = static_cast<int>(&entry - FRows.data());
    switch (fixed) {
    case ColStatus:
        return Status(row);
    case ColDate:
        if (entry.State == TState::Unreadable) return QString();
        return QLocale().toString(DayCountToDate(entry.Water.CreateDate()), QLocale::ShortFormat);
    case ColReading:
        if (entry.State != TState::Water) return QString();
        return PotentialReadingText(ReadPotential(entry.Computed[kPotential]));
    default: {
        const double value = Value(row, static_cast<TColumn>(fixed));
        if (std::isnan(value)) return QString();
        return FormatPattern(value, kFixedColumns[fixed].Decimals);
    }
    }
}

QVariant TWaterTableModel::SortValue(const TEntry& entry, int column) const {
    if (column == 0) return static_cast<double>(entry.Number);
    if (column <= CarriedColumnCount()) return CarriedText(entry, column - 1);
    const int fixed = column - 1 - CarriedColumnCount();
    const int row = static_cast<int>(&entry - FRows.data());
    if (fixed == ColStatus || fixed == ColReading) return Display(entry, column);
    const double value = Value(row, static_cast<TColumn>(fixed));
    if (std::isnan(value)) return {};
    return value;
}

bool TWaterTableModel::IsWater(int row) const {
    return FRows[static_cast<std::size_t>(row)].State == TState::Water;
}

std::optional<TWaterDataset> TWaterTableModel::Dataset(int row) const {
    const TEntry& entry = FRows[static_cast<std::size_t>(row)];
    if (entry.State == TState::Unreadable) return std::nullopt;
    return entry.Water;
}

QString TWaterTableModel::Status(int row) const {
    const TEntry& entry = FRows[static_cast<std::size_t>(row)];
    if (entry.State == TState::Water) return QStringLiteral("OK");
    return FRefusals[static_cast<std::size_t>(entry.Refusal)];
}

QString TWaterTableModel::RowTitle(int row) const {
    const TEntry& entry = FRows[static_cast<std::size_t>(row)];
    // The first carried cell names the water as the laboratory does (a sample ID, a file name).
    if (entry.CarriedCount > 0) {
        const TCarriedCell& cell = FCarriedCells[entry.CarriedBegin];
        if (cell.Length > 0)
            return QString::fromUtf8(FPool.data() + cell.Offset, static_cast<qsizetype>(cell.Length));
    }
    return QStringLiteral("Row %1").arg(entry.Number);
}

TWaterTableSummary TWaterTableModel::Summary() const {
    return FSummary;
}

QStringList TWaterTableModel::RowTexts(int row) const {
    const TEntry& entry = FRows[static_cast<std::size_t>(row)];
    QStringList texts;
    const int columns = columnCount();
    texts.reserve(columns);
    for (int column = 0; column < columns; ++column)
        texts << Display(entry, column).toString();
    return texts;
}

QStringList TWaterTableModel::HeaderTexts() const {
    QStringList texts;
    for (int column = 0; column < columnCount(); ++column)
        texts << headerData(column, Qt::Horizontal).toString().replace(QLatin1Char('\n'), QLatin1Char(' '));
    return texts;
}

// --- Filling --------------------------------------------------------------------------------

int TWaterTableModel::CarriedColumnOf(const std::string& name) {
    for (std::size_t i = 0; i < FCarriedNames.size(); ++i)
        if (FCarriedNames[i] == name) return static_cast<int>(i);
    // A new carried column goes before the fixed ones; the views learn of it at the next Commit.
    FCarriedNames.push_back(name);
    return static_cast<int>(FCarriedNames.size()) - 1;
}

void TWaterTableModel::AddCarried(TEntry& entry, const std::string& column, const std::string& text) {
    const int carried = CarriedColumnOf(column);
    if (entry.CarriedCount == 0) entry.CarriedBegin = static_cast<std::uint32_t>(FCarriedCells.size());
    FCarriedCells.push_back({static_cast<std::uint32_t>(carried), static_cast<std::uint32_t>(FPool.size()),
                             static_cast<std::uint32_t>(text.size())});
    FPool += text;
    ++entry.CarriedCount;
}

void TWaterTableModel::Characterise(TEntry& entry) {
    // The facade writes the computed alkalinity and acidity into the water it is given: a copy,
    // so that a row opened as a data set holds the analysis as the laboratory gave it.
    TWaterDataset copy = entry.Water;
    double co3Acidity = 0;
    try {
        CharacteriseWater(copy, entry.Computed[kPotential], entry.Computed[kTds],
                          entry.Computed[kConductivity], entry.Computed[kIonicStrength], co3Acidity);
        entry.State = TState::Water;
    } catch (const std::exception& error) {
        for (double& value : entry.Computed)
            value = kNaN;
        entry.State = TState::Refused;
        entry.Refusal = static_cast<std::int32_t>(FRefusals.size());
        FRefusals.push_back(QString::fromStdString(error.what()));
    }
}

void TWaterTableModel::AddTableRow(const TWaterTableRow& row) {
    TEntry entry{};
    entry.Number = row.Row;
    entry.Refusal = -1;
    for (const auto& [column, text] : row.Carried)
        AddCarried(entry, column, text);
    if (row.Dataset) {
        entry.Water = *row.Dataset;
        Characterise(entry);
    } else {
        for (double& value : entry.Computed)
            value = kNaN;
        entry.State = TState::Unreadable;
        entry.Refusal = static_cast<std::int32_t>(FRefusals.size());
        FRefusals.push_back(QString::fromStdString(row.Error));
    }
    FRows.push_back(entry);
}

void TWaterTableModel::AddDataset(const TWaterDataset& dataset, const QString& source) {
    TEntry entry{};
    entry.Number = ++FFileNumber;
    entry.Refusal = -1;
    entry.Water = dataset;
    AddCarried(entry, "File", source.toStdString());
    const auto faults = DatasetRangeFaults(dataset);
    if (faults.empty()) {
        Characterise(entry);
    } else {
        for (double& value : entry.Computed)
            value = kNaN;
        entry.State = TState::Refused;
        entry.Refusal = static_cast<std::int32_t>(FRefusals.size());
        FRefusals.push_back(RangeFaultsText(faults));
    }
    FRows.push_back(entry);
}

void TWaterTableModel::AddRefusedFile(const QString& source, const QString& reason) {
    TEntry entry{};
    entry.Number = ++FFileNumber;
    AddCarried(entry, "File", source.toStdString());
    for (double& value : entry.Computed)
        value = kNaN;
    entry.State = TState::Unreadable;
    entry.Refusal = static_cast<std::int32_t>(FRefusals.size());
    FRefusals.push_back(reason);
    FRows.push_back(entry);
}

void TWaterTableModel::Commit() {
    const std::size_t first = FCommitted;
    if (first == FRows.size() && static_cast<int>(FCarriedNames.size()) == FCarriedShown) return;
    if (static_cast<int>(FCarriedNames.size()) != FCarriedShown) {
        // New carried columns shift the fixed ones: the views start afresh.
        beginResetModel();
        FCarriedShown = static_cast<int>(FCarriedNames.size());
        FCommitted = FRows.size();
        endResetModel();
    } else {
        beginInsertRows(QModelIndex(), static_cast<int>(first), static_cast<int>(FRows.size()) - 1);
        FCommitted = FRows.size();
        endInsertRows();
    }
    for (std::size_t i = first; i < FRows.size(); ++i) {
        const TEntry& entry = FRows[i];
        ++FSummary.Waters;
        if (entry.State != TState::Water) {
            ++FSummary.Refused;
            continue;
        }
        switch (ReadPotential(entry.Computed[kPotential])) {
        case TPotentialReading::Aggressive:
            ++FSummary.Aggressive;
            break;
        case TPotentialReading::Balanced:
            ++FSummary.Balanced;
            break;
        case TPotentialReading::ScaleForming:
            ++FSummary.ScaleForming;
            break;
        }
    }
    emit SummaryChanged();
}

void TWaterTableModel::Clear() {
    beginResetModel();
    FCarriedNames.clear();
    FCarriedCells.clear();
    FPool.clear();
    FRefusals.clear();
    FRows.clear();
    FCommitted = 0;
    FCarriedShown = 0;
    FFileNumber = 0;
    FSummary = {};
    endResetModel();
    emit SummaryChanged();
}

// --- Sorting --------------------------------------------------------------------------------

bool TWaterTableSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QVariant a = left.data(TWaterTableModel::SortRole);
    const QVariant b = right.data(TWaterTableModel::SortRole);
    // Missing values go last in either direction.
    const bool ascending = sortOrder() == Qt::AscendingOrder;
    const bool aMissing = !a.isValid() || (a.typeId() == QMetaType::QString && a.toString().isEmpty());
    const bool bMissing = !b.isValid() || (b.typeId() == QMetaType::QString && b.toString().isEmpty());
    if (aMissing || bMissing) return ascending ? (!aMissing && bMissing) : (aMissing && !bMissing);
    if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double)
        return a.toDouble() < b.toDouble();
    const QString sa = a.toString();
    const QString sb = b.toString();
    // Texts that are numbers (sample numbers, depths) by their value.
    bool na = false;
    bool nb = false;
    const double da = sa.toDouble(&na);
    const double db = sb.toDouble(&nb);
    if (na && nb) return da < db;
    if (na != nb) return na; // numbers before words
    return sa.compare(sb, Qt::CaseInsensitive) < 0;
}

// --- Loading --------------------------------------------------------------------------------

namespace {

class TTableFileLoad final : public TWaterTableLoad {
public:
    explicit TTableFileLoad(const QString& path) : FPath(path), FIn(LocalPath(path), std::ios::binary) {
        if (!FIn) throw TFileError("Cannot open file " + LocalPath(path));
        FIn.seekg(0, std::ios::end);
        FSize = static_cast<std::int64_t>(FIn.tellg());
        FIn.seekg(0, std::ios::beg);
        FReader = std::make_unique<TWaterTableReader>(FIn);
    }

    bool Step(TWaterTableModel& model, int milliseconds) override {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            // The clock is read once per hundred rows: reading it costs more than a row.
            for (int i = 0; i < 100; ++i) {
                if (!FReader->Next(FRow)) {
                    FDone = true;
                    model.Commit();
                    return false;
                }
                model.AddTableRow(FRow);
            }
            if (clock.elapsed() >= milliseconds) break;
        }
        model.Commit();
        return true;
    }

    int Progress() const override {
        if (FDone || FSize <= 0) return 1000;
        const std::streamoff at = FIn.good() ? std::streamoff(FIn.tellg()) : std::streamoff(FSize);
        return static_cast<int>(std::min<std::int64_t>(1000, at * 1000 / FSize));
    }

    QString Title() const override { return QFileInfo(FPath).fileName(); }

private:
    QString FPath;
    mutable std::ifstream FIn; // tellg is not const
    std::int64_t FSize = 0;
    std::unique_ptr<TWaterTableReader> FReader;
    TWaterTableRow FRow;
    bool FDone = false;
};

class TDatasetFilesLoad final : public TWaterTableLoad {
public:
    explicit TDatasetFilesLoad(QStringList paths) : FPaths(std::move(paths)) {}

    bool Step(TWaterTableModel& model, int milliseconds) override {
        QElapsedTimer clock;
        clock.start();
        while (FNext < FPaths.size()) {
            const QString& path = FPaths[FNext++];
            const QString name = QFileInfo(path).fileName();
            try {
                std::unique_ptr<TWaterDataset> water = LoadDatasetFromFile(LocalPath(path));
                if (water)
                    model.AddDataset(*water, name);
                else
                    model.AddRefusedFile(name, QStringLiteral("Couldn't load file ") + path +
                                                   QStringLiteral(" it may be corrupt!"));
            } catch (const std::exception& error) {
                model.AddRefusedFile(name,
                                     path + QStringLiteral(": ") + QString::fromStdString(error.what()));
            }
            if (clock.elapsed() >= milliseconds) break;
        }
        model.Commit();
        return FNext < FPaths.size();
    }

    int Progress() const override {
        return FPaths.isEmpty() ? 1000 : static_cast<int>(FNext * 1000 / FPaths.size());
    }

    QString Title() const override { return QStringLiteral("data set files"); }

private:
    QStringList FPaths;
    qsizetype FNext = 0;
};

} // namespace

std::unique_ptr<TWaterTableLoad> LoadWaterTableFile(const QString& path) {
    return std::make_unique<TTableFileLoad>(path);
}

std::unique_ptr<TWaterTableLoad> LoadDatasetFiles(const QStringList& paths) {
    return std::make_unique<TDatasetFilesLoad>(paths);
}
