#include "RecordTrailers.h"

const std::vector<TRecordTrailer>& RecordTrailers() {
    // None yet: the water's scaling and corrosion indices will be the first.
    static const std::vector<TRecordTrailer> trailers;
    return trailers;
}
