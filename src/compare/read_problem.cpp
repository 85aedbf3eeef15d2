// SPDX-License-Identifier: MIT
#include "compare/read_problem.h"

namespace vrs {

std::string describeReadFailure(const ReadFailure& failure) {
    switch (failure.problem) {
        case ReadProblem::None:
            return {};
        case ReadProblem::Damaged:
            return "This PNG picture can't be read: " + failure.detail + ".";
        case ReadProblem::TooLarge:
            return "This PNG picture can't be read: its header promises " + failure.detail +
                   ", more than such a file can hold.";
        case ReadProblem::ChangedWhileRead:
            return "changed while it was being read";
        case ReadProblem::OutOfMemory:
            return "not enough memory";
    }
    return {};
}

}  // namespace vrs
