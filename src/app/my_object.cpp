// SPDX-License-Identifier: MIT
#include "app/my_object.h"

bool MyObject::applicationShouldOpenUntitledFile(QApplication* /*application*/) const {
    return false;
}
