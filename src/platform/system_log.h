// SPDX-License-Identifier: MIT
// The system log: lines at debug priority through syslog(3). Tests read the
// lines through a hook instead of the log daemon.
#pragma once

#include <functional>
#include <string_view>

namespace vrs {

// Receives every line written with systemLog, after it went to syslog.
using SystemLogHook = std::function<void(std::string_view line)>;

// Writes one line to the system log at LOG_DEBUG, then hands it to the hook.
void systemLog(std::string_view line);

// Installs a hook (an empty one removes it) and returns the one it replaces.
SystemLogHook setSystemLogHook(SystemLogHook hook);

}  // namespace vrs
