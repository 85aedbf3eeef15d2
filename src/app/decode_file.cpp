// SPDX-License-Identifier: MIT
#include "app/decode_file.h"

#include <string>

#include "app/decode_host.h"

FileUnchanged unchangedCheck(const QByteArray& path, const vrs::FileStamp& stamp) {
    return [name = path.toStdString(), stamp] {
        vrs::FileStamp now;
        return vrs::stampPath(name, &now) && now == stamp;
    };
}

DecodedFile decodeFile(const std::uint8_t* bytes, std::size_t length, int fd, vrs::Host& host,
                       const QString& name, const FileUnchanged& unchanged) {
    DecodedFile file;
    DecodeHost decodeHost(host, name, bytes, length);
    file.full = vrs::loadVirtualScreen(bytes, length, &file.view, &file.progress, decodeHost,
                                       &file.refusal, fd);
    if (!file.refused() && unchanged && !unchanged()) {
        // Written again while it was read: never shown mixed.
        file.refusal.error = vrs::LoadError::ChangedWhileRead;
        file.full.reset();
        file.view.reset();
    }
    return file;
}
