#include "WaterDatasetForm.h"

#include "CalvaroModel.h"
#include "CommandGuard.h"
#include "Dialogs.h"
#include "InputCheck.h"
#include "LocaleNumbers.h"
#include "PanelStatusBar.h"
#include "Validation.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

// Day 0 of the data set's date count.
const QDate kDayZero(1899, 12, 30);

constexpr int kRowHeight = 24;
constexpr int kRowSpacing = 4;
constexpr int kTopMargin = 3; // with two rows of 24 + 4 the date row ends at kTopRowsHeight
constexpr int kBoxWidth = 195;

struct TSelectorChoice {
    const char* Caption;
    const char* PropertyName;
    const char* Unit;
};

// Positions are the values of WATCHAR and CARBSYSORDER.
const TSelectorChoice kWaterChoices[] = {
    {"TDS", "TDS", "mg/l"},
    {"Conductivity", "Conductivity", "mS/m"},
    {"Ionic strength", "IonicStrength", ""},
};
const TSelectorChoice kCarbonChoices[] = {
    {"Total alkalinity", "Alkalinity", "mg/l as CaC03"},
    {"HC03 acidity", "Acidity", "mg/l as CaC03"},
    {"Total carbonate species", "CarbonateSpecies", "mg/l as CaC03"},
    {"Partial pressures C02", "PressureCO2", "atm"},
};

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

QLineEdit* MakeBox(QWidget* parent, const QString& name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setFixedSize(kBoxWidth, kRowHeight);
    return box;
}

QComboBox* MakeSelector(QWidget* parent, const QString& name, const TSelectorChoice* choices, int count) {
    auto* selector = new QComboBox(parent);
    selector->setObjectName(name);
    selector->setEditable(false); // pick only
    for (int i = 0; i < count; ++i)
        selector->addItem(QString::fromLatin1(choices[i].Caption));
    selector->setFixedSize(kBoxWidth, kRowHeight);
    return selector;
}

// A stored value as the box shows it; a value that is not finite shows nothing (and so fails the
// range check) rather than a text no one can read back.
QString BoxText(double value) {
    return std::isfinite(value) ? FormatGeneral(value) : QString();
}

} // namespace

QDate DayCountToDate(double days) {
    // Beyond a few million years QDate cannot count; such a date shows as day 0.
    if (!std::isfinite(days) || std::fabs(days) > 1e9) return kDayZero;
    const QDate date = kDayZero.addDays(static_cast<qint64>(std::floor(days)));
    return date.isValid() ? date : kDayZero;
}

double DateToDayCount(const QDate& date) {
    return static_cast<double>(kDayZero.daysTo(date));
}

TfrmWaterDataset::TfrmWaterDataset(QWidget* owner, std::unique_ptr<TWaterDataset> dataset)
    : QWidget(owner), FDataset(std::move(dataset)), FMainParent(owner) {
    setObjectName(QStringLiteral("frmWaterDataset"));
    BuildControls();
    BuildBindings();
    SetTabOrder();
    resize(579, 454);
    setMinimumSize(530, 400);
    AdapterBindSourceCreateAdapter();
}

TfrmWaterDataset::~TfrmWaterDataset() = default;

void TfrmWaterDataset::BuildControls() {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, kTopMargin, 8, 8);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(kRowSpacing);
    const auto caption = Qt::AlignRight;
    const auto unit = Qt::AlignLeft;
    int row = 0;
    auto addRow = [&](QWidget* left, QWidget* middle, QWidget* right) {
        grid->addWidget(left, row, 0);
        grid->addWidget(middle, row, 1);
        if (right) grid->addWidget(right, row, 2);
        grid->setRowMinimumHeight(row, kRowHeight);
        ++row;
    };

    LabelWaterFraction =
        MakeLabel(this, QStringLiteral("LabelWaterFraction"), QStringLiteral("Fraction of water"), caption);
    EditWaterFraction = MakeBox(this, QStringLiteral("EditWaterFraction"));
    LabelWaterFractionUnit =
        MakeLabel(this, QStringLiteral("LabelWaterFractionUnit"), QStringLiteral("%"), unit);
    for (QWidget* w : {static_cast<QWidget*>(LabelWaterFraction), static_cast<QWidget*>(EditWaterFraction),
                       static_cast<QWidget*>(LabelWaterFractionUnit)}) {
        // The hidden fraction row keeps its place, so every other row stays where a blending
        // window expects it.
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
        w->hide();
    }
    addRow(LabelWaterFraction, EditWaterFraction, LabelWaterFractionUnit);

    dtmDatasetDate = new QDateEdit(this);
    dtmDatasetDate->setObjectName(QStringLiteral("dtmDatasetDate"));
    dtmDatasetDate->setCalendarPopup(true);
    dtmDatasetDate->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    dtmDatasetDate->setMinimumDate(QDate(100, 1, 1));
    // The long date form ("Wednesday, 30 September 2026") needs more room than a number.
    const int longestDate = dtmDatasetDate->fontMetrics().horizontalAdvance(
        QLocale().toString(QDate(2026, 9, 30), QLocale::LongFormat));
    dtmDatasetDate->setFixedSize(std::max(kBoxWidth, longestDate + 44), kRowHeight);
    // The date may be wider than the boxes: it reaches into the unit column and leaves it as wide.
    grid->addWidget(MakeLabel(this, QStringLiteral("LabelDate"), QStringLiteral("Date"), caption), row, 0);
    grid->addWidget(dtmDatasetDate, row, 1, 1, 2, Qt::AlignLeft);
    grid->setRowMinimumHeight(row, kRowHeight);
    ++row;

    txtPh = MakeBox(this, QStringLiteral("txtPh"));
    addRow(MakeLabel(this, QStringLiteral("LabelPh"), QStringLiteral("pH"), caption), txtPh, nullptr);
    txtTemperature = MakeBox(this, QStringLiteral("txtTemperature"));
    addRow(MakeLabel(this, QStringLiteral("LabelTemperature"), QStringLiteral("Temperature"), caption),
           txtTemperature,
           MakeLabel(this, QStringLiteral("LabelTemperatureUnit"), QStringLiteral("degrees C"), unit));
    txtTotalSodium = MakeBox(this, QStringLiteral("txtTotalSodium"));
    addRow(MakeLabel(this, QStringLiteral("LabelSodium"), QStringLiteral("Total sodium"), caption),
           txtTotalSodium,
           MakeLabel(this, QStringLiteral("LabelSodiumUnit"), QStringLiteral("mgNa/l"), unit));
    txtTotalMagnesium = MakeBox(this, QStringLiteral("txtTotalMagnesium"));
    addRow(MakeLabel(this, QStringLiteral("LabelMagnesium"), QStringLiteral("Total magnesium"), caption),
           txtTotalMagnesium,
           MakeLabel(this, QStringLiteral("LabelMagnesiumUnit"), QStringLiteral("mg/l as CaC03"), unit));
    txtTotalCalcium = MakeBox(this, QStringLiteral("txtTotalCalcium"));
    addRow(MakeLabel(this, QStringLiteral("LabelCalcium"), QStringLiteral("Total calcium"), caption),
           txtTotalCalcium,
           MakeLabel(this, QStringLiteral("LabelCalciumUnit"), QStringLiteral("mg/l as CaC03"), unit));
    txtTotalChloride = MakeBox(this, QStringLiteral("txtTotalChloride"));
    addRow(MakeLabel(this, QStringLiteral("LabelChloride"), QStringLiteral("Total chloride"), caption),
           txtTotalChloride,
           MakeLabel(this, QStringLiteral("LabelChlorideUnit"), QStringLiteral("mgCl/l"), unit));
    txtTotalSulphate = MakeBox(this, QStringLiteral("txtTotalSulphate"));
    addRow(MakeLabel(this, QStringLiteral("LabelSulphate"), QStringLiteral("Total sulphate"), caption),
           txtTotalSulphate,
           MakeLabel(this, QStringLiteral("LabelSulphateUnit"), QStringLiteral("mgS04/l"), unit));

    cmbWaterCharacter = MakeSelector(this, QStringLiteral("cmbWaterCharacter"), kWaterChoices, 3);
    addRow(MakeLabel(this, QStringLiteral("LabelWaterCharacterisation"),
                     QStringLiteral("Water characterisation"), caption),
           cmbWaterCharacter, nullptr);
    lblWaterCharacter = MakeLabel(this, QStringLiteral("lblWaterCharacter"), QString(), caption);
    txtWaterCharacter = MakeBox(this, QStringLiteral("txtWaterCharacter"));
    LabelWaterCharUnit = MakeLabel(this, QStringLiteral("LabelWaterCharUnit"), QString(), unit);
    addRow(lblWaterCharacter, txtWaterCharacter, LabelWaterCharUnit);

    cmbCarboSystemCharacter =
        MakeSelector(this, QStringLiteral("cmbCarboSystemCharacter"), kCarbonChoices, 4);
    addRow(MakeLabel(this, QStringLiteral("LabelCarbonateCharacterisation"),
                     QStringLiteral("Carbonate system characterisation"), caption),
           cmbCarboSystemCharacter, nullptr);
    lblCarboSystemChar = MakeLabel(this, QStringLiteral("lblCarboSystemChar"), QString(), caption);
    txtCarboSystemChar = MakeBox(this, QStringLiteral("txtCarboSystemChar"));
    LabelCarbCharUnit = MakeLabel(this, QStringLiteral("LabelCarbCharUnit"), QString(), unit);
    addRow(lblCarboSystemChar, txtCarboSystemChar, LabelCarbCharUnit);

    // Everything stays at the top left; spare room goes below and to the right.
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(2, 110);

    connect(cmbWaterCharacter, &QComboBox::currentIndexChanged, this,
            Guarded(this, [this] { cmbWaterCharacterChange(); }));
    connect(cmbCarboSystemCharacter, &QComboBox::currentIndexChanged, this,
            Guarded(this, [this] { cmbCarboSystemCharacterChange(); }));
}

void TfrmWaterDataset::BuildBindings() {
    FBindings = {
        {QStringLiteral("LinkCreateDate"), dtmDatasetDate, "CreateDate"},
        {QStringLiteral("LinkTemperatures"), txtTemperature, "Temperature"},
        {QStringLiteral("LinkPh"), txtPh, "Ph"},
        {QStringLiteral("LinkSodium"), txtTotalSodium, "Sodium"},
        {QStringLiteral("LinkMagnesium"), txtTotalMagnesium, "Magnesium"},
        {QStringLiteral("LinkCalcium"), txtTotalCalcium, "Calcium"},
        {QStringLiteral("LinkSulphate"), txtTotalSulphate, "Sulphate"},
        {QStringLiteral("LinkWaterCharacter"), txtWaterCharacter, ""},
        {QStringLiteral("LinkCarboSystem"), txtCarboSystemChar, ""},
        {QStringLiteral("LinkPropertyToFieldItemIndex"), cmbWaterCharacter, "WaterCharacterIndex"},
        {QStringLiteral("LinkPropertyToFieldItemIndex2"), cmbCarboSystemCharacter, "CarbonCharacterIndex"},
        {QStringLiteral("LinkChloride"), txtTotalChloride, "Chloride"},
        {QStringLiteral("LinkFraction"), EditWaterFraction, "Fraction"},
    };
    for (auto& binding : FBindings) {
        if (auto* box = qobject_cast<QLineEdit*>(binding.Control)) {
            box->installEventFilter(this);
            connect(box, &QLineEdit::textChanged, this, Guarded(this, [this, box] {
                        if (FRefreshing) return;
                        if (TBinding* b = FindBindComponent(box)) b->Pending = true;
                        OnChange();
                    }));
        }
    }
    connect(dtmDatasetDate, &QDateEdit::dateChanged, this, [this] {
        if (FRefreshing) return;
        if (TBinding* b = FindBindComponent(dtmDatasetDate)) b->Pending = true;
    });
    connect(dtmDatasetDate, &QDateEdit::editingFinished, this, Guarded(this, [this] {
                if (TBinding* b = FindBindComponent(dtmDatasetDate)) ApplyBinding(*b);
            }));
}

void TfrmWaterDataset::SetTabOrder() {
    // Chloride comes after the carbonate value although it stands above sulphate.
    const QWidget* order[] = {dtmDatasetDate,     txtPh,
                              txtTemperature,     txtTotalSodium,
                              txtTotalMagnesium,  txtTotalCalcium,
                              txtTotalSulphate,   cmbWaterCharacter,
                              txtWaterCharacter,  cmbCarboSystemCharacter,
                              txtCarboSystemChar, txtTotalChloride,
                              EditWaterFraction};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
}

void TfrmWaterDataset::AdapterBindSourceCreateAdapter() {
    if (!FDataset) {
        Dialogs().ShowMessage(this, QStringLiteral("Bound to nil dataset"));
        return;
    }
    RefreshAllBindings();
}

void TfrmWaterDataset::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (FShownOnce) return;
    FShownOnce = true;
    FormShow();
}

void TfrmWaterDataset::FormShow() {
    SelectedChoiceCaption(lblCarboSystemChar, cmbCarboSystemCharacter);
    SelectedChoiceCaption(lblWaterCharacter, cmbWaterCharacter);
    UpdateComboLinks();
    ValidateDataset();
}

void TfrmWaterDataset::SelectedChoiceCaption(QLabel* label, const QComboBox* selector) {
    label->setText(selector->currentIndex() >= 0 ? selector->currentText() : QString());
}

TfrmWaterDataset::TBinding* TfrmWaterDataset::FindBindComponent(const QWidget* control) {
    // Of several bindings of one control the last one counts.
    TBinding* found = nullptr;
    for (auto& binding : FBindings)
        if (binding.Control == control) found = &binding;
    return found;
}

void TfrmWaterDataset::RefreshBinding(TBinding& binding) {
    binding.Pending = false;
    if (!FDataset) return;
    const TDatasetProperty* property = FindDatasetProperty(binding.PropertyName);
    if (!property) return;
    const double value = property->Get(*FDataset);
    const bool wasRefreshing = FRefreshing;
    FRefreshing = true;
    if (auto* box = qobject_cast<QLineEdit*>(binding.Control)) {
        box->setText(BoxText(value));
        box->setModified(false);
    } else if (auto* date = qobject_cast<QDateEdit*>(binding.Control)) {
        date->setDate(DayCountToDate(value));
    } else if (auto* selector = qobject_cast<QComboBox*>(binding.Control)) {
        const bool inRange = std::isfinite(value) && value >= 0 && value < selector->count();
        selector->setCurrentIndex(inRange ? static_cast<int>(value) : -1);
    }
    FRefreshing = wasRefreshing;
}

void TfrmWaterDataset::ApplyBinding(TBinding& binding) {
    if (!binding.Pending) return;
    binding.Pending = false;
    if (!FDataset) return;
    const TDatasetProperty* property = FindDatasetProperty(binding.PropertyName);
    if (!property) return;
    if (auto* box = qobject_cast<QLineEdit*>(binding.Control)) {
        // Empty or unreadable text stores 0; the box's colour already tells the operator.
        double value = 0;
        if (!ParseLocaleNumber(box->text(), value)) value = 0;
        property->Set(*FDataset, value);
    } else if (auto* date = qobject_cast<QDateEdit*>(binding.Control)) {
        property->Set(*FDataset, DateToDayCount(date->date()));
    } else if (auto* selector = qobject_cast<QComboBox*>(binding.Control)) {
        if (selector->currentIndex() >= 0) property->Set(*FDataset, selector->currentIndex());
    }
}

void TfrmWaterDataset::RefreshAllBindings() {
    // The model is replaced: whatever the boxes still held unwritten is dropped with it.
    for (auto& binding : FBindings)
        binding.Pending = false;
    const bool wasRefreshing = FRefreshing;
    FRefreshing = true;
    // Selectors first: they decide which properties the two value boxes show.
    for (auto& binding : FBindings)
        if (qobject_cast<QComboBox*>(binding.Control)) RefreshBinding(binding);
    UpdateComboLinks();
    for (auto& binding : FBindings)
        if (!qobject_cast<QComboBox*>(binding.Control)) RefreshBinding(binding);
    SelectedChoiceCaption(lblCarboSystemChar, cmbCarboSystemCharacter);
    SelectedChoiceCaption(lblWaterCharacter, cmbWaterCharacter);
    FRefreshing = wasRefreshing;
    if (!FRefreshing) ValidateDataset();
}

void TfrmWaterDataset::RebindValueBox(TBinding& binding, const std::string& propertyName) {
    // An edit still pending in the box belongs to the property it was typed for.
    ApplyBinding(binding);
    binding.PropertyName = propertyName;
    RefreshBinding(binding);
}

void TfrmWaterDataset::UpdateComboLinks() {
    const int water = cmbWaterCharacter->currentIndex();
    if (water >= 0 && water < static_cast<int>(std::size(kWaterChoices))) {
        RebindValueBox(*FindBindComponent(txtWaterCharacter), kWaterChoices[water].PropertyName);
        LabelWaterCharUnit->setText(QString::fromLatin1(kWaterChoices[water].Unit));
    }
    const int carbon = cmbCarboSystemCharacter->currentIndex();
    if (carbon >= 0 && carbon < static_cast<int>(std::size(kCarbonChoices))) {
        RebindValueBox(*FindBindComponent(txtCarboSystemChar), kCarbonChoices[carbon].PropertyName);
        LabelCarbCharUnit->setText(QString::fromLatin1(kCarbonChoices[carbon].Unit));
    }
}

void TfrmWaterDataset::cmbWaterCharacterChange() {
    if (FRefreshing) return;
    if (FDataset && cmbWaterCharacter->currentIndex() >= 0)
        FDataset->SetWaterCharacterIndex(cmbWaterCharacter->currentIndex());
    UpdateComboLinks();
    SelectedChoiceCaption(lblWaterCharacter, cmbWaterCharacter);
    // The re-bound box may show the same text as before, which would not trigger a check.
    ValidateDataset();
}

void TfrmWaterDataset::cmbCarboSystemCharacterChange() {
    if (FRefreshing) return;
    if (FDataset && cmbCarboSystemCharacter->currentIndex() >= 0)
        FDataset->SetCarbonCharacterIndex(cmbCarboSystemCharacter->currentIndex());
    UpdateComboLinks();
    SelectedChoiceCaption(lblCarboSystemChar, cmbCarboSystemCharacter);
    ValidateDataset();
}

void TfrmWaterDataset::ShowHint(QWidget* control) {
    const TBinding* binding = FindBindComponent(control);
    if (!binding || !FDataset || !FStatusBar) return;
    if (const DatasetAttribute* attribute = FindDatasetAttribute(binding->PropertyName, *FDataset))
        SetStatusPanelText(FStatusBar, QString::fromStdString(attribute->Description()));
}

void TfrmWaterDataset::EmptyHint() {
    SetStatusPanelText(FStatusBar, QString());
}

void TfrmWaterDataset::OnChange() {
    ValidateDataset();
}

bool TfrmWaterDataset::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && event->type() == QEvent::FocusIn) {
        ShowHint(box);
    } else if (box && event->type() == QEvent::FocusOut) {
        EmptyHint();
        // Leaving a box writes its value into the data set.
        if (TBinding* binding = FindBindComponent(box)) ApplyBinding(*binding);
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmWaterDataset::ApplyModelUpdates() {
    for (auto& binding : FBindings)
        ApplyBinding(binding);
}

void TfrmWaterDataset::UpdateUiFromModel(const TWaterDataset& newDataset) {
    if (!FDataset) return;
    for (const TDatasetProperty& property : DatasetProperties())
        if (property.Kind != TDatasetProperty::TKind::Date) property.Set(*FDataset, property.Get(newDataset));
    RefreshAllBindings();
}

bool TfrmWaterDataset::ValidateDataset() {
    bool valid = true;
    if (FDataset) {
        for (const auto& binding : FBindings) {
            auto* box = qobject_cast<QLineEdit*>(binding.Control);
            const DatasetAttribute* attribute = FindDatasetAttribute(binding.PropertyName, *FDataset);
            if (box && attribute)
                valid = CheckControlRange(box, attribute->MinValue(), attribute->MaxValue()) && valid;
        }
    }
    // A selector index that names no choice (only a hand-edited file holds one) leaves the engine
    // without a dissolved-solids or carbonate measure: such a data set is not fit to calculate.
    for (const auto* selector : {cmbWaterCharacter, cmbCarboSystemCharacter}) {
        if (selector->currentIndex() >= 0) continue;
        valid = false;
        ColourInputBox(selector == cmbWaterCharacter ? txtWaterCharacter : txtCarboSystemChar, false);
    }
    if (!FDataset) valid = false;
    emit DatasetValidated(valid);
    return valid;
}

void TfrmWaterDataset::ShowWaterFraction() {
    LabelWaterFraction->show();
    EditWaterFraction->show();
    LabelWaterFractionUnit->show();
}
