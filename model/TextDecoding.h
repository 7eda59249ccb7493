#pragma once
// The decoding of text files that the data set files and the lab tables share.

#include <string>
#include <string_view>

// The text of a file from its bytes, as UTF-8: a leading byte-order mark selects UTF-8, UTF-16 LE
// or UTF-16 BE and is skipped; without one the bytes are Latin-1.
std::string DecodeTextFileBytes(const std::string& bytes);

// Latin-1 bytes (each byte its own code point) as UTF-8.
std::string Latin1TextToUtf8(std::string_view bytes);
