#include "CalvaroModel.h"

#include <chrono>
#include <cmath>
#include <ctime>

double TodayAsDayCount() {
    // Days from 1899-12-30 to 1970-01-01 are 25569; the local calendar date decides "today".
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::chrono::year_month_day ymd{std::chrono::year{local.tm_year + 1900},
                                          std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                          std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
    const auto days = std::chrono::sys_days{ymd}.time_since_epoch().count();
    return static_cast<double>(days) + 25569.0;
}

TWaterDataset::TWaterDataset() : FCreateDate(TodayAsDayCount()) {}

namespace {

using K = TDatasetProperty::TKind;

#define REAL_PROPERTY(Prop, Field)                                                                           \
    TDatasetProperty {                                                                                       \
#Prop, #Field, K::Real,                                                                              \
            [](const TWaterDataset& d) { return d.Prop(); }, [](TWaterDataset & d,                           \
                                                                double v) { d.Set##Prop(v); }                \
    }

#define INT_PROPERTY(Prop, Field)                                                                             \
    TDatasetProperty {                                                                                        \
#Prop, #Field, K::Integer,                                                                            \
            [](const TWaterDataset&                                                                           \
                   d) { return static_cast<double>(d.Prop()); },                                              \
                                                              [](TWaterDataset & d,                           \
                                                                 double                                       \
                                                                     v) { d.Set##Prop(static_cast<int>(v)); } \
    }

const std::array<TDatasetProperty, 18> kProperties{{
    {"CreateDate", "FCreateDate", K::Date, [](const TWaterDataset& d) { return d.CreateDate(); },
     [](TWaterDataset& d, double v) { d.SetCreateDate(v); }},
    REAL_PROPERTY(Fraction, FRAC),
    REAL_PROPERTY(Ph, IPH),
    REAL_PROPERTY(Temperature, IT),
    REAL_PROPERTY(Sodium, INA),
    REAL_PROPERTY(Magnesium, IMG),
    REAL_PROPERTY(Calcium, ICA),
    REAL_PROPERTY(Sulphate, ISO4),
    REAL_PROPERTY(Chloride, ICL),
    INT_PROPERTY(WaterCharacterIndex, WATCHAR),
    REAL_PROPERTY(TDS, ITDS),
    REAL_PROPERTY(Conductivity, ICONDU),
    REAL_PROPERTY(IonicStrength, IMHU),
    INT_PROPERTY(CarbonCharacterIndex, CARBSYSORDER),
    REAL_PROPERTY(Alkalinity, IALK),
    REAL_PROPERTY(Acidity, IHACI),
    REAL_PROPERTY(CarbonateSpecies, ITOTC),
    REAL_PROPERTY(PressureCO2, IPCO2),
}};

#undef REAL_PROPERTY
#undef INT_PROPERTY

} // namespace

const std::array<TDatasetProperty, 18>& DatasetProperties() {
    return kProperties;
}

const TDatasetProperty* FindDatasetProperty(std::string_view name) {
    for (const auto& p : kProperties)
        if (p.Name == name) return &p;
    return nullptr;
}
