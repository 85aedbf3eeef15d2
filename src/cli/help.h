// SPDX-License-Identifier: MIT
// vrstool's help texts: one for the program, one per command.
#pragma once

#include <string_view>

namespace vrs::cli {

std::string_view mainHelp();
std::string_view infoHelp();
std::string_view convertHelp();
std::string_view thumbnailHelp();
std::string_view diffHelp();

}  // namespace vrs::cli
