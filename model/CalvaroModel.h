#pragma once
// The two records that carry every water through the program.
//
//   TWaterDataset      the analysis as the operator entered it (report units); shown by the editor,
//                      stored in .clv files, loaded into the engine by the facade.
//   TCalculationResult a water after characterisation or treatment, as the engine returns it.
//
// Neither knows of windows, files or the engine. The data set's properties are also reachable by
// name through DatasetProperties(), in declaration order: the editor binds its boxes by property
// name, the range lookup walks them in order, and the file format uses the field names.

#include <array>
#include <string_view>

class TWaterDataset {
public:
    TWaterDataset(); // initial values: today's date, WATCHAR 1, CARBSYSORDER 0, every real 0

    // Date of the analysis in days since 30 December 1899; the fraction is the time of day.
    double CreateDate() const { return FCreateDate; }
    void SetCreateDate(double v) { FCreateDate = v; }
    double Fraction() const { return FRAC; } // percent share in a blend
    void SetFraction(double v) { FRAC = v; }
    double Ph() const { return IPH; }
    void SetPh(double v) { IPH = v; }
    double Temperature() const { return IT; } // degrees Celsius
    void SetTemperature(double v) { IT = v; }
    double Sodium() const { return INA; } // mg Na/l
    void SetSodium(double v) { INA = v; }
    double Magnesium() const { return IMG; } // mg/l as CaCO3
    void SetMagnesium(double v) { IMG = v; }
    double Calcium() const { return ICA; } // mg/l as CaCO3
    void SetCalcium(double v) { ICA = v; }
    double Sulphate() const { return ISO4; } // mg SO4/l
    void SetSulphate(double v) { ISO4 = v; }
    double Chloride() const { return ICL; } // mg Cl/l
    void SetChloride(double v) { ICL = v; }
    int WaterCharacterIndex() const { return WATCHAR; } // 0 TDS, 1 conductivity, 2 ionic strength
    void SetWaterCharacterIndex(int v) { WATCHAR = v; }
    double TDS() const { return ITDS; } // mg/l
    void SetTDS(double v) { ITDS = v; }
    double Conductivity() const { return ICONDU; } // mS/m
    void SetConductivity(double v) { ICONDU = v; }
    double IonicStrength() const { return IMHU; }
    void SetIonicStrength(double v) { IMHU = v; }
    // 0 alkalinity, 1 HCO3 acidity, 2 total carbonate species, 3 CO2 partial pressure
    int CarbonCharacterIndex() const { return CARBSYSORDER; }
    void SetCarbonCharacterIndex(int v) { CARBSYSORDER = v; }
    double Alkalinity() const { return IALK; } // H2CO3 alkalinity, mg/l as CaCO3
    void SetAlkalinity(double v) { IALK = v; }
    double Acidity() const { return IHACI; } // HCO3-referenced acidity, mg/l as CaCO3, may be negative
    void SetAcidity(double v) { IHACI = v; }
    double CarbonateSpecies() const { return ITOTC; } // CT, mg/l as CaCO3
    void SetCarbonateSpecies(double v) { ITOTC = v; }
    double PressureCO2() const { return IPCO2; } // atm
    void SetPressureCO2(double v) { IPCO2 = v; }

    bool operator==(const TWaterDataset&) const = default;

private:
    double FCreateDate;
    double FRAC = 0;
    double IPH = 0;
    double IT = 0;
    double INA = 0;
    double IMG = 0;
    double ICA = 0;
    double ISO4 = 0;
    double ICL = 0;
    int WATCHAR = 1;
    double ITDS = 0;
    double ICONDU = 0;
    double IMHU = 0;
    int CARBSYSORDER = 0;
    double IALK = 0;
    double IHACI = 0;
    double ITOTC = 0;
    double IPCO2 = 0;
};

// Today's local date at midnight as a day count from 30 December 1899.
double TodayAsDayCount();

// One published property of TWaterDataset. Integer properties read and write through double;
// the value is a whole number for them.
struct TDatasetProperty {
    enum class TKind { Date, Real, Integer };
    std::string_view Name;      // property name: what the editor binds and the range lookup finds
    std::string_view FieldName; // field name: the key in a .clv file
    TKind Kind;
    double (*Get)(const TWaterDataset&);
    void (*Set)(TWaterDataset&, double);
};

// The 18 properties in declaration order (FCreateDate ... IPCO2).
const std::array<TDatasetProperty, 18>& DatasetProperties();

// The property of that exact name (letter case included), or nullptr.
const TDatasetProperty* FindDatasetProperty(std::string_view name);

class TCalculationResult {
public:
    double ALKF = 0; // alkalinity, mg/l as CaCO3
    double ACIF = 0; // acidity (CO3-referenced), mg/l as CaCO3
    double CAF = 0;  // calcium, mg/l as CaCO3
    double MGF = 0;  // magnesium, mg/l as CaCO3
    double NAF = 0;  // sodium, mg Na/l
    double SO4F = 0; // sulphate, mg SO4/l
    double CLF = 0;  // chloride, mg Cl/l
    double PHF = 0;  // pH
    double TF = 0;   // temperature, degrees Celsius
    double MHUF = 0; // ionic strength
    double TDSF = 0; // mg/l
    double CONF = 0; // mS/m
    double CPPF = 0; // CaCO3 precipitation potential, mg/l as CaCO3
    int CARBSYSORDER = 0;
    int WATCHAR = 0;
};
