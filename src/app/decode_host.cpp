// SPDX-License-Identifier: MIT
#include "app/decode_host.h"

#include <cstring>
#include <utility>

#include "app/error_text.h"
#include "platform/mapped_read_guard.h"
#include "vrscreen/loader.h"

DecodeHost::DecodeHost(vrs::Host& host, QString name, const std::uint8_t* bytes, std::size_t length)
    : host_(host), name_(std::move(name)), bytes_(bytes), length_(length) {}

void DecodeHost::alert(const std::string& message) {
    // The loader has read the header already; it is read again, guarded, for
    // the size it promises.
    std::uint8_t header[vrs::kHeaderSize] = {};
    const std::uint8_t* bytes = bytes_;
    auto copy = [&header, bytes] { std::memcpy(header, bytes, vrs::kHeaderSize); };
    vrs::VirtualScreenInfo info;
    if (length_ >= vrs::kHeaderSize && vrs::readMapped(bytes_, length_, copy)) {
        info = vrs::inspectVirtualScreen(header, length_);
    }
    host_.alert(ErrorText::noMemoryForPicture(QString::fromStdString(message), name_,
                                              info.layout.width, info.layout.height)
                    .toStdString());
}
