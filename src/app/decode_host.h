// SPDX-License-Identifier: MIT
// The host a document decodes a file through: everything goes to the
// viewer's host, except that the decoder's alerts, which it raises only when
// a picture's memory cannot be had, keep their words and gain what they
// mean, by the file's name and the picture's size.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/host.h"

class DecodeHost final : public vrs::Host {
  public:
    // `bytes` are the file's, as given to the loader (a mapping that may shrink).
    DecodeHost(vrs::Host& host, QString name, const std::uint8_t* bytes, std::size_t length);

    void alert(const std::string& message) override;
    std::uint32_t tickCount() override { return host_.tickCount(); }
    void runEventLoop(double seconds) override { host_.runEventLoop(seconds); }
    std::unique_ptr<vrs::ProgressWindow> makeProgressWindow() override {
        return host_.makeProgressWindow();
    }

  private:
    vrs::Host& host_;
    QString name_;
    const std::uint8_t* bytes_;
    std::size_t length_;
};
