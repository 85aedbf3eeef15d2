// SPDX-License-Identifier: MIT
#include <chrono>

#include "platform/host.h"

namespace vrs {

std::uint32_t steadyTickCount() {
    using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 60>>;
    static const auto start = std::chrono::steady_clock::now();
    const auto elapsed =
        std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now() - start);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(elapsed.count()));
}

}  // namespace vrs
