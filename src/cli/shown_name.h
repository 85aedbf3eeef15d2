// SPDX-License-Identifier: MIT
// A file name as vrstool shows it in its lines for people: unchanged, unless
// it holds control characters or bytes that are not UTF-8. Such a name is
// quoted as the shell would read it back, as GNU coreutils show it: runs of
// plain characters between single quotes, the others as $'\n' or $'\033'.
// Then nothing in a name reaches a terminal as a command, and one failure
// is one line.
#pragma once

#include <string>
#include <string_view>

namespace vrs::cli {

std::string shownName(std::string_view name);

}  // namespace vrs::cli
