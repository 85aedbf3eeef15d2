// SPDX-License-Identifier: MIT
// The one way a document decodes a file, for its first load, for another
// file shown in its window and for its file read again: decode, refuse a
// file that changed while it was read, and hand back the pictures or the
// refusal, for the caller to tell as its place asks.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "decode/image.h"
#include "platform/file_stamp.h"
#include "platform/host.h"
#include "vrscreen/loader.h"

struct DecodedFile {
    std::shared_ptr<vrs::Image> full;
    std::shared_ptr<vrs::Image> view;
    std::int64_t progress = 1;  // the loader's count of rows, for the export's progress
    // The cause of a refusal, with its figures; error None when the file was
    // read (the pictures may still be missing when their memory could not be
    // had: the host was told).
    vrs::VirtualScreenInfo refusal;
    // The file holds 16-bit pixels, 5 bits a channel.
    bool fiveBit() const { return refusal.layout.depth == 16; }
    bool refused() const { return refusal.error != vrs::LoadError::None; }
};

// True while the file just read is as it was when it was mapped.
using FileUnchanged = std::function<bool()>;

// The check that the file at `path` still has `stamp`: a file rewritten,
// replaced or cut short while it was decoded has not.
FileUnchanged unchangedCheck(const QByteArray& path, const vrs::FileStamp& stamp);

// Decodes a file's bytes (`fd`, when not -1, the open file they map: the
// rows are read from it). The decoder's alerts (memory it could not have)
// go to `host`, with the file's `name`. A file `unchanged` finds changed is
// refused as ChangedWhileRead, its pictures dropped.
DecodedFile decodeFile(const std::uint8_t* bytes, std::size_t length, int fd, vrs::Host& host,
                       const QString& name, const FileUnchanged& unchanged);
