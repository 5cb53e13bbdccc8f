// Corpus files whose outcome differs from their manifest validity: valid
// files the library does not read, invalid ones it reads. Shared by the
// library's corpus test, its native core tests and the corpus run through
// the program.
#pragma once

#include <map>
#include <string>

namespace skytest {

// Valid files that this library does not read, and why.
extern const std::map<std::string, std::string> kUnreadable;
// Invalid files that the library still reads, and why.
extern const std::map<std::string, std::string> kReadDespiteFaults;

} // namespace skytest
