#include "ResultRows.h"

#include "LocaleNumbers.h"

#include <QGridLayout>
#include <QLabel>

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
