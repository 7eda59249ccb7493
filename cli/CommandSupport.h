#pragma once
// What the command groups share: loading a data set as the desktop program would accept it,
// refusing option values outside a calculation window's range, and writing results.

#include "CalculationRanges.h"
#include "CalvaroModel.h"
#include "RecordWriter.h"

class TCommandCall;

#include <memory>
#include <stdexcept>
#include <string>

// An input refused before anything is calculated; the message names the field, value and range.
class TRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the data set file and refuses it when the data set editor would colour it invalid. An
// unreadable or malformed file raises the loader's own error; an empty one "Couldn't load file ".
std::unique_ptr<TWaterDataset> LoadCheckedDataset(const std::string& path);
// The same for a data set already read from the file at `path` (nullptr for an empty file).
std::unique_ptr<TWaterDataset> CheckedDataset(std::unique_ptr<TWaterDataset> dataset,
                                              const std::string& path);

// "Invalid data set: Ph (IPH) 0 is outside the range 1 to 14." for each value out of range;
// empty when the data set is valid.
std::string DatasetRefusalMessage(const TWaterDataset& dataset);

// Refuses `value` of `option` outside the inclusive range: "--ph 15 is outside the range 1 to 14.".
void RequireInRange(const std::string& option, double value, const TInputRange& range);
// Refuses a list position that is not a whole number 0..count-1.
int RequireChoice(const std::string& option, double value, int count);

// "result": the thirteen reals and the two indices under their field names; the record then
// describes this treated water.
void WriteResult(TCommandCall& call, TRecordWriter& writer, const TCalculationResult& result);
// The result, then the dosage as the dosing windows name it: DosageRequired, DosageUnits, DosageType.
void WriteDosage(TCommandCall& call, TRecordWriter& writer, const TCalculationResult& result, double dosage,
                 const std::string& units, const std::string& type);
// "dataset": the 18 fields under their file keys.
void WriteDataset(TRecordWriter& writer, const TWaterDataset& dataset);
