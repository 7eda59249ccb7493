#include "ResultRows.h"

#include "LocaleNumbers.h"
#include "ResultsOutput.h"

#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>

QLabel* CreateResultValueLabel(QWidget* parent, const QString& name) {
    auto* value = new QLabel(parent);
    value->setObjectName(name);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(FormatPattern(-888888.88, 2)) + 4);
    return value;
}

TResultValueLabels AddResultRows(QGridLayout& grid, QWidget* parent) {
    TResultValueLabels values{};
    for (std::size_t i = 0; i < kResultRows.size(); ++i) {
        const TResultRowDefinition& row = kResultRows[i];
        const int gridRow = static_cast<int>(i);
        grid.addWidget(new QLabel(QString::fromLatin1(row.Caption), parent), gridRow, 0);
        values[i] = CreateResultValueLabel(parent, QString::fromLatin1(row.ValueName));
        grid.addWidget(values[i], gridRow, 1);
        grid.addWidget(new QLabel(QString::fromLatin1(row.Unit), parent), gridRow, 2);
    }
    return values;
}

void ShowResultRows(const TResultValueLabels& values, const TCalculationResult& water) {
    for (std::size_t i = 0; i < kResultRows.size(); ++i)
        values[i]->setText(FormatPattern(water.*kResultRows[i].Field, kResultRows[i].Decimals));
}

// ---- Scaling and corrosion indices ----

namespace {

constexpr char16_t kEnDash = u'\u2013';

bool HasEnDash(const QFont& font) {
    return QFontMetrics(font).inFontUcs4(kEnDash);
}

} // namespace

QString IndexCaptionText(const TIndexRowDefinition& row, const QFont& font) {
    QString caption = QString::fromLatin1(row.Caption);
    if (HasEnDash(font)) caption.replace(QStringLiteral("Larson-Skold"), QStringLiteral("Larson\u2013Skold"));
    return caption + QStringLiteral(" :");
}

QString IndexValueText(const std::optional<double>& value, const QFont& font) {
    if (value) return FormatPattern(*value, 2);
    return HasEnDash(font) ? QString(QChar(kEnDash)) : QStringLiteral("-");
}

QString IndexReadingText(const TIndexRowDefinition& row, const std::optional<double>& value) {
    if (!value || !row.Reading) return {};
    return QString::fromStdString(row.Reading(*value));
}

TIndexLabels AddIndexRows(QGridLayout& grid, QWidget* parent, std::size_t count) {
    TIndexLabels labels;
    for (std::size_t i = 0; i < count && i < kIndexRows.size(); ++i) {
        const TIndexRowDefinition& row = kIndexRows[i];
        const int gridRow = static_cast<int>(i);
        auto* caption = new QLabel(parent);
        caption->setText(IndexCaptionText(row, caption->font()));
        QLabel* value = CreateResultValueLabel(parent, QString::fromLatin1(row.ValueName));
        auto* reading = new QLabel(parent);
        reading->setObjectName(QString::fromLatin1(row.ReadingName));
        reading->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid.addWidget(caption, gridRow, 0);
        grid.addWidget(value, gridRow, 1);
        grid.addWidget(reading, gridRow, 2);
        labels.push_back({caption, value, reading});
    }
    return labels;
}

void ShowIndexRows(const TIndexLabels& labels, const std::optional<TWaterIndices>& indices) {
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const TIndexRowDefinition& row = kIndexRows[i];
        const std::optional<double> value = indices ? (*indices).*row.Field : std::nullopt;
        labels[i].Value->setText(IndexValueText(value, labels[i].Value->font()));
        labels[i].Reading->setText(IndexReadingText(row, value));
    }
}

void AlignCaptionColumns(std::initializer_list<QGridLayout*> grids) {
    int widest = 0;
    for (const QGridLayout* grid : grids)
        for (int i = 0; i < grid->count(); ++i) {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            // A line across the frame (a note) is no caption.
            if (column == 0 && columnSpan == 1)
                widest = std::max(widest, grid->itemAt(i)->sizeHint().width());
        }
    for (QGridLayout* grid : grids)
        grid->setColumnMinimumWidth(0, widest);
}

void WriteIndexRows(TCsvWriter& writer, const std::optional<TWaterIndices>& indices, std::size_t count) {
    for (std::size_t i = 0; i < count && i < kIndexRows.size(); ++i) {
        const TIndexRowDefinition& row = kIndexRows[i];
        const std::optional<double> value = indices ? (*indices).*row.Field : std::nullopt;
        AddResultRow(writer, {QString::fromLatin1(row.Caption), value ? FormatPattern(*value, 2) : QString(),
                              IndexReadingText(row, value)});
    }
}
