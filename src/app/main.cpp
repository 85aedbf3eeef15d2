// SPDX-License-Identifier: MIT
#include "app/application_main.h"

int main(int argc, char** argv) {
    return applicationMain(argc, argv);
}
