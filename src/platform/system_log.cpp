// SPDX-License-Identifier: MIT
#include "platform/system_log.h"

#include <syslog.h>

#include <mutex>
#include <string>
#include <utility>

namespace vrs {
namespace {

std::mutex& hookMutex() {
    static std::mutex mutex;
    return mutex;
}

SystemLogHook& hookSlot() {
    static SystemLogHook hook;
    return hook;
}

}  // namespace

void systemLog(std::string_view line) {
    const std::string text(line);
    syslog(LOG_DEBUG, "%s", text.c_str());
    SystemLogHook hook;
    {
        const std::lock_guard<std::mutex> lock(hookMutex());
        hook = hookSlot();
    }
    if (hook) {
        hook(line);
    }
}

SystemLogHook setSystemLogHook(SystemLogHook hook) {
    const std::lock_guard<std::mutex> lock(hookMutex());
    return std::exchange(hookSlot(), std::move(hook));
}

}  // namespace vrs
