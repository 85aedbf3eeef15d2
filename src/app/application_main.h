// SPDX-License-Identifier: MIT
// The viewer's application: Qt, the delegate, the Host and the documents.
#pragma once

// Runs the application with the process's arguments (files to open) and
// returns its exit status.
int applicationMain(int argc, char** argv);
