// SPDX-License-Identifier: MIT
// Why a picture being compared could not be read to its end.
#pragma once

#include <string>

namespace vrs {

enum class ReadProblem {
    None,
    Damaged,           // a PNG libpng could not read: the detail has its words
    TooLarge,          // a PNG larger than its file could hold: the detail has its figures
    ChangedWhileRead,  // the file shrank or was rewritten meanwhile
    OutOfMemory,
};

struct ReadFailure {
    ReadProblem problem = ReadProblem::None;
    std::string detail;
    bool failed() const { return problem != ReadProblem::None; }
};

// vrstool's English words for a failure, to follow the file's name
// ("NAME: changed while it was being read").
std::string describeReadFailure(const ReadFailure& failure);

}  // namespace vrs
