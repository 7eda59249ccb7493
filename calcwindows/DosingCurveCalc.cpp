#include "DosingCurveCalc.h"

#include "CalculationRanges.h"
#include "CommandGuard.h"
#include "Dialogs.h"
#include "GuardedTabWidget.h"
#include "InputCheck.h"
#include "LocaleNumbers.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

namespace {

constexpr TInputRange kLargestDose = CalculationRanges::DosingCurveLargestDose;
constexpr TInputRange kPoints = CalculationRanges::DosingCurvePoints;
constexpr double kDefaultLargestDose = 50;
constexpr int kDefaultPoints = 201;
// The largest dose of a curve opened for a required dose: twice that dose, at least this.
constexpr double kSmallestPresetDose = 10;

const QStringList kChemicalItems = {QStringLiteral("CO2"),
                                    QStringLiteral("Lime"),
                                    QStringLiteral("Soda ash"),
                                    QStringLiteral("Caustic soda"),
                                    QStringLiteral("Hydrochloric acid"),
                                    QStringLiteral("Bicarbonate of soda")};

// The program's palette: sapphire for the pH, a warm contrast for the potential.
const QColor kPhColour(42, 90, 166);
const QColor kPotentialColour(196, 96, 24);
const QColor kMarkColour(16, 37, 74);
const QColor kChartBackground(238, 243, 250);
const QString kAsCaCO3 = QStringLiteral("mg/l as CaC03");
// An index the water does not define, on screen (in the export: an empty field).
const QString kUndefined = QStringLiteral("\u2013");

// The columns of the table and the export: dose, pH, alkalinity, acidity, calcium, sodium,
// potential, SI, LSI, and last the note (a gap's reason).
constexpr int kNoteColumn = 9;

// Column titles of the table and the export (the export writes "CaCO3" with the letter O).
QStringList ColumnTitles(const QString& doseUnits, bool exported) {
    const QString asCaCO3 = exported ? QStringLiteral("mg/l CaCO3") : kAsCaCO3;
    // On screen the unit goes on a second line of the column title, so the columns stay narrow.
    const QString withUnit = exported ? QStringLiteral("%1 (%2)") : QStringLiteral("%1\n(%2)");
    return {withUnit.arg(QStringLiteral("Dose"), doseUnits), QStringLiteral("pH"),
            withUnit.arg(QStringLiteral("Total alkalinity"), asCaCO3),
            withUnit.arg(QStringLiteral("Acidity"), asCaCO3),
            withUnit.arg(QStringLiteral("Calcium"), asCaCO3),
            withUnit.arg(QStringLiteral("Sodium"), QStringLiteral("mgNa/l")),
            // On screen on two lines of its own, so that the index columns fit beside it.
            withUnit.arg(exported ? QStringLiteral("Precipitation potential")
                                  : QStringLiteral("Precipitation\npotential"),
                         asCaCO3),
            exported ? QStringLiteral("Saturation index") : QStringLiteral("Saturation\nindex"),
            exported ? QStringLiteral("Langelier index") : QStringLiteral("Langelier\nindex"),
            QStringLiteral("Note")};
}

// An index with two decimals in the locale, or `undefined` where the water does not define it.
QString IndexText(const std::optional<double>& index, const QString& undefined) {
    return index ? FormatPattern(*index, 2) : undefined;
}

QLineSeries* NewLine(const QString& name, const QColor& colour, qreal width, Qt::PenStyle style) {
    auto* series = new QLineSeries;
    series->setName(name);
    series->setObjectName(name);
    QPen pen(colour);
    pen.setWidthF(width);
    pen.setStyle(style);
    series->setPen(pen);
    return series;
}

// An axis range around [low, high] with some room, never empty.
void SetPaddedRange(QValueAxis* axis, double low, double high) {
    if (!(high > low)) {
        low -= 0.5;
        high += 0.5;
    }
    const double room = (high - low) * 0.05;
    axis->setRange(low - room, high + room);
    axis->applyNiceNumbers();
}

} // namespace

TDosingCurveCalcForm::TDosingCurveCalcForm(QWidget* owner) : TCalcForm(owner) {
    setWindowTitle(QStringLiteral("Dosing curve"));
    FPresetLargestDose = kDefaultLargestDose;
    QGroupBox* group = createInputGroup(QStringLiteral("Dosing curve inputs"));
    ComboDosageChemical = createChoiceInput(group, QStringLiteral("Dosing chemical :"), kChemicalItems,
                                            QStringLiteral("ComboDosageChemical"));
    TxtLargestDose =
        createNumberInput(group, QStringLiteral("Largest dose :"), QString(),
                          QStringLiteral("Enter the largest dose between %1 and %2 mg/l.")
                              .arg(FormatGeneral(kLargestDose.Min), FormatGeneral(kLargestDose.Max)),
                          QStringLiteral("TxtLargestDose"));
    auto* grid = static_cast<QGridLayout*>(group->layout());
    LabelDoseUnits = new QLabel(group);
    LabelDoseUnits->setObjectName(QStringLiteral("LabelDoseUnits"));
    grid->addWidget(LabelDoseUnits, grid->rowCount() - 1, 2);
    TxtPoints = createNumberInput(group, QStringLiteral("Number of points :"), QString(),
                                  QStringLiteral("Enter the number of points between %1 and %2.")
                                      .arg(FormatGeneral(kPoints.Min), FormatGeneral(kPoints.Max)),
                                  QStringLiteral("TxtPoints"));
    connect(ComboDosageChemical, &QComboBox::currentIndexChanged, this, [this] { UpdateDoseUnit(); });
    UpdateDoseUnit();

    // The results page: the chart and the table of points instead of the thirteen rows.
    ResultsGroup()->hide();
    IndicesGroup()->hide();
    FResultTabs = new QTabWidget(ResultsSheet());
    FResultTabs->setObjectName(QStringLiteral("TabsCurve"));

    auto* chartPage = new QWidget;
    auto* chartLayout = new QVBoxLayout(chartPage);
    auto* chart = new QChart;
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale());
    chart->setBackgroundBrush(kChartBackground);
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    FChartView = new QChartView(chart, chartPage);
    FChartView->setObjectName(QStringLiteral("ChartDosing"));
    FChartView->setRenderHint(QPainter::Antialiasing);
    // Wide enough for the table's nine columns of numbers and a readout on one line.
    FChartView->setMinimumSize(800, 430);
    FChartView->setMouseTracking(true);
    FChartView->viewport()->setMouseTracking(true);
    FChartView->viewport()->installEventFilter(this);
    chartLayout->addWidget(FChartView, 1);
    auto* readoutRow = new QHBoxLayout;
    LabelReadout = new QLabel(chartPage);
    LabelReadout->setObjectName(QStringLiteral("LabelReadout"));
    LabelReadout->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readoutRow->addWidget(LabelReadout, 1);
    ButtonSavePicture = new QPushButton(QStringLiteral("Save picture..."), chartPage);
    ButtonSavePicture->setObjectName(QStringLiteral("ButtonSavePicture"));
    ButtonSavePicture->setAutoDefault(false);
    // The readout gives way, never the button's text.
    ButtonSavePicture->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(ButtonSavePicture, &QPushButton::clicked, this,
            Guarded(this, [this] { ButtonSavePictureClick(); }));
    readoutRow->addWidget(ButtonSavePicture);
    chartLayout->addLayout(readoutRow);
    FResultTabs->addTab(chartPage, QStringLiteral("Chart"));

    TablePoints = new QTableWidget(FResultTabs);
    TablePoints->setObjectName(QStringLiteral("TablePoints"));
    TablePoints->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TablePoints->verticalHeader()->hide();
    TablePoints->verticalHeader()->setDefaultSectionSize(TablePoints->fontMetrics().height() + 6);
    TablePoints->horizontalHeader()->setStretchLastSection(true);
    TablePoints->setAlternatingRowColors(true);
    FResultTabs->addTab(TablePoints, QStringLiteral("Table"));

    auto* sheetLayout = static_cast<QVBoxLayout*>(ResultsSheet()->layout());
    sheetLayout->insertWidget(1, FResultTabs, 1);
    sheetLayout->setStretch(sheetLayout->count() - 1, 0);
}

void TDosingCurveCalcForm::SetPreset(int chemicalIndex, double largestDose,
                                     std::optional<TDosingCurveTarget> target) {
    FPresetChemical = chemicalIndex;
    FPresetLargestDose = largestDose;
    FTarget = target;
}

QChart* TDosingCurveCalcForm::Chart() const {
    return FChartView->chart();
}

QString TDosingCurveCalcForm::DoseUnits() const {
    return QString::fromStdString(DosingChemicalTexts(ComboDosageChemical->currentIndex()).Units);
}

void TDosingCurveCalcForm::UpdateDoseUnit() {
    LabelDoseUnits->setText(DoseUnits());
}

bool TDosingCurveCalcForm::ValidateInputs() {
    const bool doseValid = CheckControlRange(TxtLargestDose, kLargestDose.Min, kLargestDose.Max);
    bool pointsValid = CheckControlRange(TxtPoints, kPoints.Min, kPoints.Max);
    // A number of points is a whole number.
    double points = 0;
    if (pointsValid && ParseLocaleNumber(TxtPoints->text(), points) && points != std::floor(points)) {
        pointsValid = false;
        ColourInputBox(TxtPoints, false);
    }
    return doseValid && pointsValid;
}

void TDosingCurveCalcForm::FormShow() {
    TCalcForm::FormShow();
    ComboDosageChemical->setCurrentIndex(FPresetChemical);
    TxtLargestDose->setText(FormatPattern(FPresetLargestDose, 1));
    TxtPoints->setText(FormatPattern(kDefaultPoints, 0));
    // Opened for a target, the window shows its chart at once.
    if (FTarget) TabControl()->RequestCurrentIndex(kResultsPage);
}

void TDosingCurveCalcForm::ApplyResultToDataset(const TCalculationResult*) {
    // A curve is a look at many waters; none of them replaces the data set.
}

void TDosingCurveCalcForm::ButtonCancelClick() {
    done(QDialog::Rejected);
}

bool TDosingCurveCalcForm::Calculate(const TWaterDataset& dataset) {
    FCurve.clear();
    LabelReadout->clear();
    const int chemical = ComboDosageChemical->currentIndex();
    const double largestDose = ReadNumber(TxtLargestDose);
    const int points = static_cast<int>(std::lround(ReadNumber(TxtPoints)));
    std::vector<TDosingCurvePoint> curve = RunDosingCurve(dataset, chemical, largestDose, points);
    const auto present =
        std::find_if(curve.begin(), curve.end(), [](const auto& p) { return p.Result != nullptr; });
    // A curve without a single water says nothing; its first reason is the error.
    if (present == curve.end()) throw std::runtime_error(curve.front().Error);
    FCurve = std::move(curve);
    FCurveChemical = chemical;
    FWaterPh = dataset.Ph();
    // The window's result is the water at dose 0 (or the first dose that gives one).
    SetCalcResult(std::make_unique<TCalculationResult>(*present->Result));
    BuildChart();
    BuildTable();
    // Until the mouse points elsewhere: the dose the target needs, or the untreated water.
    ShowReadoutAt(FTarget && FCurveChemical == FPresetChemical ? FTarget->RequiredDose : 0);
    return true;
}

void TDosingCurveCalcForm::BuildChart() {
    QChart* chart = Chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis), delete axis;

    const QString units = DoseUnits();
    auto* axisDose = new QValueAxis;
    axisDose->setObjectName(QStringLiteral("AxisDose"));
    axisDose->setTitleText(QStringLiteral("Dose (%1)").arg(units));
    axisDose->setLabelFormat(QStringLiteral("%.4g"));
    auto* axisPh = new QValueAxis;
    axisPh->setObjectName(QStringLiteral("AxisPh"));
    axisPh->setTitleText(QStringLiteral("pH"));
    axisPh->setLabelFormat(QStringLiteral("%.2f"));
    axisPh->setTitleBrush(kPhColour);
    axisPh->setLabelsColor(kPhColour);
    auto* axisPotential = new QValueAxis;
    axisPotential->setObjectName(QStringLiteral("AxisPotential"));
    axisPotential->setTitleText(QStringLiteral("Precipitation potential (%1)").arg(kAsCaCO3));
    axisPotential->setLabelFormat(QStringLiteral("%.4g"));
    axisPotential->setTitleBrush(kPotentialColour);
    axisPotential->setLabelsColor(kPotentialColour);
    axisPotential->setGridLineVisible(false);
    chart->addAxis(axisDose, Qt::AlignBottom);
    chart->addAxis(axisPh, Qt::AlignLeft);
    chart->addAxis(axisPotential, Qt::AlignRight);

    auto attach = [&](QAbstractSeries* series, QValueAxis* valueAxis) {
        chart->addSeries(series);
        series->attachAxis(axisDose);
        series->attachAxis(valueAxis);
    };
    auto hideFromLegend = [&](QAbstractSeries* series) {
        for (QLegendMarker* marker : chart->legend()->markers(series))
            marker->setVisible(false);
    };

    // One line per stretch of computed doses: a gap breaks both lines.
    double phLow = INFINITY, phHigh = -INFINITY, cppLow = 0, cppHigh = 0;
    QLineSeries* phLine = nullptr;
    QLineSeries* potentialLine = nullptr;
    int stretches = 0;
    for (const TDosingCurvePoint& point : FCurve) {
        if (!point.Result) {
            phLine = potentialLine = nullptr;
            continue;
        }
        if (!phLine) {
            phLine = NewLine(QStringLiteral("pH"), kPhColour, 2.0, Qt::SolidLine);
            potentialLine =
                NewLine(QStringLiteral("Precipitation potential"), kPotentialColour, 2.0, Qt::SolidLine);
            attach(phLine, axisPh);
            attach(potentialLine, axisPotential);
            if (stretches++ > 0) hideFromLegend(phLine), hideFromLegend(potentialLine);
        }
        const TCalculationResult& r = *point.Result;
        phLine->append(point.Dose, r.PHF);
        potentialLine->append(point.Dose, r.CPPF);
        phLow = std::min(phLow, r.PHF), phHigh = std::max(phHigh, r.PHF);
        cppLow = std::min(cppLow, r.CPPF), cppHigh = std::max(cppHigh, r.CPPF);
    }

    // The water's own state at dose 0: its pH as entered and its own potential.
    if (FCurve.front().Result) {
        auto* waterPh = new QScatterSeries;
        waterPh->setName(QStringLiteral("Untreated water"));
        waterPh->setObjectName(QStringLiteral("Untreated water pH"));
        waterPh->setColor(kPhColour);
        waterPh->setBorderColor(kMarkColour);
        waterPh->setMarkerSize(10);
        waterPh->append(0, FWaterPh);
        attach(waterPh, axisPh);
        auto* waterPotential = new QScatterSeries;
        waterPotential->setName(QStringLiteral("Untreated water potential"));
        waterPotential->setObjectName(QStringLiteral("Untreated water potential"));
        waterPotential->setColor(kPotentialColour);
        waterPotential->setBorderColor(kMarkColour);
        waterPotential->setMarkerSize(10);
        waterPotential->append(0, FCurve.front().Result->CPPF);
        attach(waterPotential, axisPotential);
        hideFromLegend(waterPotential);
        phLow = std::min(phLow, FWaterPh), phHigh = std::max(phHigh, FWaterPh);
    }

    const double largestDose = FCurve.back().Dose;
    if (FTarget) {
        const bool ph = FTarget->Kind == TDosingCurveTarget::TKind::Ph;
        const QString name =
            ph ? QStringLiteral("Target pH %1").arg(FormatPattern(FTarget->Value, 2))
               : QStringLiteral("Target potential %1 %2").arg(FormatPattern(FTarget->Value, 2), kAsCaCO3);
        auto* target = NewLine(name, ph ? kPhColour : kPotentialColour, 1.2, Qt::DashLine);
        target->setObjectName(QStringLiteral("Target"));
        target->append(0, FTarget->Value);
        target->append(largestDose, FTarget->Value);
        attach(target, ph ? axisPh : axisPotential);
        if (ph)
            phLow = std::min(phLow, FTarget->Value), phHigh = std::max(phHigh, FTarget->Value);
        else
            cppLow = std::min(cppLow, FTarget->Value), cppHigh = std::max(cppHigh, FTarget->Value);
    }
    SetPaddedRange(axisPh, phLow, phHigh);
    SetPaddedRange(axisPotential, cppLow, cppHigh);
    axisDose->setRange(0, largestDose);
    axisDose->applyNiceNumbers();
    axisDose->setMin(0);

    // The dose the target needs, for the chemical it was computed for.
    if (FTarget && FCurveChemical == FPresetChemical && FTarget->RequiredDose >= 0 &&
        FTarget->RequiredDose <= largestDose) {
        auto* required =
            NewLine(QStringLiteral("Required dose %1").arg(FormatPattern(FTarget->RequiredDose, 2)),
                    kMarkColour, 1.2, Qt::DashDotLine);
        required->setObjectName(QStringLiteral("RequiredDose"));
        required->append(FTarget->RequiredDose, axisPh->min());
        required->append(FTarget->RequiredDose, axisPh->max());
        attach(required, axisPh);
    }
}

void TDosingCurveCalcForm::BuildTable() {
    const QStringList titles = ColumnTitles(DoseUnits(), false);
    TablePoints->clear();
    TablePoints->setColumnCount(static_cast<int>(titles.size()));
    TablePoints->setHorizontalHeaderLabels(titles);
    TablePoints->setRowCount(static_cast<int>(FCurve.size()));
    for (int row = 0; row < static_cast<int>(FCurve.size()); ++row) {
        const TDosingCurvePoint& point = FCurve[static_cast<std::size_t>(row)];
        QStringList cells{FormatValue(point.Dose)};
        if (point.Result) {
            const TCalculationResult& r = *point.Result;
            cells << FormatValue(r.PHF) << FormatValue(r.ALKF) << FormatValue(r.ACIF) << FormatValue(r.CAF)
                  << FormatValue(r.NAF) << FormatValue(r.CPPF)
                  << IndexText(point.Indices.SaturationIndex, kUndefined)
                  << IndexText(point.Indices.LangelierIndex, kUndefined) << QString();
        } else {
            for (int column = 1; column < kNoteColumn; ++column)
                cells << kUndefined;
            cells << QString::fromStdString(point.Error);
        }
        for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column + 1 < static_cast<int>(cells.size()))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            TablePoints->setItem(row, column, item);
        }
    }
    TablePoints->resizeColumnsToContents();
}

void TDosingCurveCalcForm::WriteResults(TCsvWriter& writer) {
    const QString units = QString::fromStdString(DosingChemicalTexts(FCurveChemical).Units);
    AddRow(writer, {windowTitle()});
    AddRow(writer, ColumnTitles(units, true));
    for (const TDosingCurvePoint& point : FCurve) {
        if (point.Result) {
            const TCalculationResult& r = *point.Result;
            AddRow(writer, {FormatValue(point.Dose), FormatValue(r.PHF), FormatValue(r.ALKF),
                            FormatValue(r.ACIF), FormatValue(r.CAF), FormatValue(r.NAF), FormatValue(r.CPPF),
                            IndexText(point.Indices.SaturationIndex, QString()),
                            IndexText(point.Indices.LangelierIndex, QString()), QString()});
        } else {
            QStringList cells{FormatValue(point.Dose)};
            for (int column = 1; column < kNoteColumn; ++column)
                cells << QString();
            AddRow(writer, cells << QString::fromStdString(point.Error));
        }
    }
}

void TDosingCurveCalcForm::ShowReadoutAt(double dose) {
    if (FCurve.size() < 2) return;
    const double step = FCurve.back().Dose / static_cast<double>(FCurve.size() - 1);
    const double index = step > 0 ? std::round(dose / step) : 0;
    const auto i = static_cast<std::size_t>(std::clamp(index, 0.0, static_cast<double>(FCurve.size() - 1)));
    const TDosingCurvePoint& point = FCurve[i];
    const QString units = QString::fromStdString(DosingChemicalTexts(FCurveChemical).Units);
    QString text = QStringLiteral("Dose %1 %2").arg(FormatValue(point.Dose), units);
    if (point.Result)
        text += QStringLiteral("    pH %1    Precipitation potential %2 %3    LSI %4")
                    .arg(FormatValue(point.Result->PHF), FormatValue(point.Result->CPPF), kAsCaCO3,
                         IndexText(point.Indices.LangelierIndex, kUndefined));
    else
        text += QStringLiteral(": ") + QString::fromStdString(point.Error);
    LabelReadout->setText(text);
}

bool TDosingCurveCalcForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FChartView->viewport() && event->type() == QEvent::MouseMove && !FCurve.empty()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF scene = FChartView->mapToScene(mouse->position().toPoint());
        const QPointF inChart = Chart()->mapFromScene(scene);
        if (Chart()->plotArea().contains(inChart) && !Chart()->series().isEmpty())
            ShowReadoutAt(Chart()->mapToValue(inChart, Chart()->series().front()).x());
    }
    return TCalcForm::eventFilter(watched, event);
}

QString TDosingCurveCalcForm::WaterCaption() const {
    const TWaterDataset* water = Dataset();
    const QString chemical = kChemicalItems.value(FCurveChemical);
    QString caption = QStringLiteral("%1, 0 to %2 %3")
                          .arg(chemical, FormatValue(FCurve.empty() ? 0 : FCurve.back().Dose),
                               QString::fromStdString(DosingChemicalTexts(FCurveChemical).Units));
    if (water)
        caption += QStringLiteral(", water of pH %1, %2 degrees C, calcium %3 %4")
                       .arg(FormatValue(water->Ph()), FormatValue(water->Temperature()),
                            FormatValue(water->Calcium()), kAsCaCO3);
    return caption;
}

void TDosingCurveCalcForm::ButtonSavePictureClick() {
    const QString path = Dialogs().AskSaveFileName(
        this, TSaveDialogOptions{QStringLiteral("Please select where you would like to save the picture to."),
                                 QStringLiteral("PNG pictures (*.png);;SVG pictures (*.svg)"),
                                 QStringLiteral("png"), QString()});
    if (path.isEmpty()) return;
    try {
        SavePicture(path);
    } catch (const std::exception& error) {
        ShowErrorBox(this, error);
    }
}

void TDosingCurveCalcForm::SavePicture(const QString& path) {
    const QSize size = FChartView->viewport()->size().expandedTo(FChartView->minimumSize());
    const QRectF target(QPointF(0, 0), QSizeF(size));
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(size);
        svg.setViewBox(target);
        svg.setTitle(windowTitle());
        QPainter painter;
        if (!painter.begin(&svg))
            throw std::runtime_error(("Cannot write the picture " + path).toStdString());
        FChartView->render(&painter, target, FChartView->viewport()->rect());
        painter.end();
        return;
    }
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        FChartView->render(&painter, target, FChartView->viewport()->rect());
    }
    if (!image.save(path, "PNG"))
        throw std::runtime_error(("Cannot write the picture " + path).toStdString());
}

void TDosingCurveCalcForm::ButtonPrintClick() {
    if (FCurve.empty()) return;
    try {
        QPrinter printer(QPrinter::HighResolution);
        if (!Dialogs().AskPrint(this, printer)) return;
        printer.setDocName(QStringLiteral("Calvaro V"));
        QPainter painter;
        if (!painter.begin(&printer)) throw std::runtime_error("The print job could not be started.");
        const QRectF page =
            printer.pageLayout()
                .paintRectPixels(printer.resolution())
                .translated(-printer.pageLayout().paintRectPixels(printer.resolution()).topLeft());
        // The caption in the print-out's font, the chart below it at the page's width.
        QFont font(QStringLiteral("Courier"), 11);
        painter.setFont(font);
        const qreal line = painter.fontMetrics().height();
        painter.drawText(QPointF(0, line), windowTitle());
        painter.drawText(QRectF(0, 1.5 * line, page.width(), 3 * line), Qt::TextWordWrap, WaterCaption());
        const QRectF chartArea(0, 5 * line, page.width(),
                               std::min(page.height() - 5 * line, page.width() * 0.7));
        FChartView->render(&painter, chartArea, FChartView->viewport()->rect());
        // The page reaches the printer (or its file) only now: a failure here is a lost print.
        if (!painter.end() || printer.printerState() == QPrinter::Error)
            throw std::runtime_error("The print job could not be finished on the printer \"" +
                                     printer.printerName().toStdString() + "\"");
    } catch (const std::exception& error) {
        ShowErrorBox(this, error);
    }
}

QPushButton* CreateCurveButton(QWidget* resultsSheet, std::function<void()> open) {
    auto* button = new QPushButton(QStringLiteral("Curve..."), resultsSheet);
    button->setObjectName(QStringLiteral("ButtonCurve"));
    button->setAutoDefault(false);
    // The curve window runs inside this command: an error in it ends in the error box.
    QObject::connect(button, &QPushButton::clicked, resultsSheet, Guarded(resultsSheet, std::move(open)));
    // Under the result rows and the indices, at the right: before the page's closing stretch.
    auto* sheetLayout = static_cast<QVBoxLayout*>(resultsSheet->layout());
    sheetLayout->insertWidget(sheetLayout->count() - 1, button, 0, Qt::AlignRight);
    return button;
}

void OpenDosingCurve(QWidget* owner, TWaterDataset* dataset, int chemicalIndex,
                     const TDosingCurveTarget& target) {
    TDosingCurveCalcForm form(owner);
    form.SetDataset(dataset);
    const double largest = std::clamp(std::max(kSmallestPresetDose, 2 * target.RequiredDose),
                                      kLargestDose.Min, kLargestDose.Max);
    // The preset shows one decimal; rounding up keeps the required dose on the chart.
    form.SetPreset(chemicalIndex, std::ceil(largest * 10) / 10, target);
    Dialogs().ExecModal(form);
}
