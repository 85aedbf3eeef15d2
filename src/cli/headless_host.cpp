// SPDX-License-Identifier: MIT
#include "cli/headless_host.h"

namespace vrs {

void HeadlessHost::alert(const std::string& message) {
    lastAlert_ = message;
    ++alertCount_;
    if (alerts_ == nullptr) {
        return;
    }
    // A stream that cannot be written has no other reader to tell.
    if (std::fprintf(alerts_, "%s%s\n", prefix_.c_str(), message.c_str()) < 0) {
        std::clearerr(alerts_);
    }
}

}  // namespace vrs
