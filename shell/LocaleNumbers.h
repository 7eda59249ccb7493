#pragma once
// Numbers as the operator sees and types them: the user's locale supplies the decimal and
// thousands separators. The data set file never goes through here (it always uses ".").

#include <QString>

// Reads a typed number with the locale's decimal separator (blanks around it allowed, an exponent
// allowed). False for an empty text, one that does not parse, and "nan" or "inf", which are no number.
bool ParseLocaleNumber(const QString& text, double& value);

// "###,##0.00"-style pattern: at least one integer digit, thousands grouped with the locale's
// separator, exactly `decimals` decimals.
QString FormatPattern(double value, int decimals);

// The shortest general form (up to 15 significant digits) with the locale's decimal separator;
// what the editor shows for a stored value and what prompts show. It parses back to the value
// reduced to 15 significant digits.
QString FormatGeneral(double value);

// A bound of an input range as the prompts state it: fixed notation with the fewest digits that read
// back to the value (0.00005, not 5E-5; 14, not 14.0). The prompts are fixed texts, so the bound
// reads the same in every locale ("0.00005 and 1 atm" also where the comma is the separator).
QString FormatBound(double value);
