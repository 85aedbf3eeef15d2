// SPDX-License-Identifier: MIT
// libFuzzer entry: every input is a file a Qt program hands the plugin.
#include <QByteArray>
#include <QtGlobal>
#include <cstddef>
#include <cstdint>

#include "checked_qt.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    qputenv("QT_LOGGING_RULES", "vrs.imageformat=false");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vrs::fuzz::checkedQtRead(data, size);
    return 0;
}
