#pragma once
// The objects that close every record with a water.
//
// After a command has written its own fields, the runner calls each trailer with what the record
// describes (the characterised water, or the treated water of a run operation); a trailer writes
// one more object ("indices": {...}). In CSV its keys become columns after the command's own, as
// columns follow the order of writing. Records without a water (errors, softening limits) get none.
// A new object in every output is one function added to RecordTrailers().

#include "CommandTable.h"
#include "RecordWriter.h"

#include <vector>

using TRecordTrailer = void (*)(TRecordWriter& writer, const TRecordSubject& subject);

// The trailers of every record, in the order they are written.
const std::vector<TRecordTrailer>& RecordTrailers();
