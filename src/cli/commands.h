// SPDX-License-Identifier: MIT
// vrstool's commands. Each takes the arguments after its name and returns
// the exit status.
#pragma once

namespace vrs::cli {

int runInfo(int argc, char** argv);
int runConvert(int argc, char** argv);
int runThumbnail(int argc, char** argv);
int runDiff(int argc, char** argv);

}  // namespace vrs::cli
