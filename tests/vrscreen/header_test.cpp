// SPDX-License-Identifier: MIT
#include "vrscreen/header.h"

#include <gtest/gtest.h>

#include "vrs_writer.h"
#include "vrscreen/byte_order.h"

namespace vrs {
namespace {

using testing::VrsLayout;

VRScreenFileHeader convert(const std::vector<std::uint8_t>& bytes) {
    VRScreenFileHeader h;
    VRScreenFileHeaderConvertToHost(bytes.data(), &h);
    return h;
}

TEST(ByteOrderTest, ReadsBigEndian) {
    const std::uint8_t b[8] = {0x80, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xFF};
    EXPECT_EQ(readBE16(b), 0x8001);
    EXPECT_EQ(readBE32(b), 0x80010203U);
    EXPECT_EQ(readBE64(b), 0x80010203040506FFULL);
}

TEST(HeaderTest, ConvertsEveryFieldFromItsOffset) {
    std::vector<std::uint8_t> bytes(196);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    const VRScreenFileHeader h = convert(bytes);
    EXPECT_EQ(h.version, 0x00010203);
    EXPECT_EQ(h.screen.bytes0[3], 7);
    EXPECT_EQ(h.screen.value4, 0x08090A0B0C0D0E0FULL);
    EXPECT_EQ(h.screen.depth, 0x20212223);
    EXPECT_EQ(h.screen.bytes48[0], 52);
    EXPECT_EQ(h.screen.value54, 0x3A3B);
    EXPECT_EQ(h.screen.value76, 0x50515253U);
    EXPECT_EQ(h.bytes84[0], 84);
    EXPECT_EQ(h.bounds.top, 0x6465);
    EXPECT_EQ(h.bounds.left, 0x6667);
    EXPECT_EQ(h.bounds.bottom, 0x6869);
    EXPECT_EQ(h.bounds.right, 0x6A6B);
    EXPECT_EQ(h.magic, 0x74757677U);
    EXPECT_EQ(h.height, 0x7C7D7E7FU);
    EXPECT_EQ(h.width, 0x80818283U);  // zero-extended, not sign-extended
    EXPECT_EQ(h.rowBytes, 0x84858687U);
    EXPECT_EQ(h.value192, 0xC0C1C2C3U);
}

TEST(HeaderTest, NegativeFieldsKeepTheirSign) {
    VrsLayout layout;
    layout.sized = false;
    layout.width = 10;
    layout.height = 10;
    layout.top = -5;
    layout.left = -300;
    layout.overrides = {{0, 0x80}, {1, 0}, {2, 0}, {3, 0}};
    const VRScreenFileHeader h = convert(testing::makeHeader(layout));
    EXPECT_EQ(h.version, INT32_MIN);
    EXPECT_EQ(h.bounds.top, -5);
    EXPECT_EQ(h.bounds.left, -300);
}

TEST(HeaderTest, SizedHeaderIgnoresBounds) {
    VrsLayout layout;
    layout.width = 1024;
    layout.height = 768;
    layout.stride = 4100;
    // Empty bounds: the size comes from width, height and rowBytes alone.
    layout.overrides = {{104, 0}, {105, 0}, {106, 0}, {107, 0}};
    const VRScreenFileHeader h = convert(testing::makeHeader(layout));
    ASSERT_TRUE(isSizedHeader(h));
    EXPECT_TRUE(EmptyRect(&h.bounds));
    const HeaderGeometry g = headerGeometry(h);
    EXPECT_TRUE(g.sized);
    EXPECT_TRUE(g.describesImage);
    EXPECT_EQ(g.layout.width, 1024);
    EXPECT_EQ(g.layout.height, 768);
    EXPECT_EQ(g.layout.stride, 4100);
}

TEST(HeaderTest, MagicAloneDecidesTheForm) {
    VrsLayout layout;
    layout.width = 4;
    layout.height = 4;
    std::vector<std::uint8_t> bytes = testing::makeHeader(layout);
    bytes[120] = 0xFF;  // bytes 120..123 play no part
    EXPECT_TRUE(isSizedHeader(convert(bytes)));
    bytes[119] = 'G';
    EXPECT_FALSE(isSizedHeader(convert(bytes)));
}

TEST(HeaderTest, RectangleHeaderGeometry) {
    VrsLayout layout;
    layout.sized = false;
    layout.depth = 32;
    layout.top = 10;
    layout.left = 20;
    layout.width = 640;
    layout.height = 480;
    HeaderGeometry g = headerGeometry(convert(testing::makeHeader(layout)));
    EXPECT_FALSE(g.sized);
    EXPECT_TRUE(g.describesImage);
    EXPECT_EQ(g.layout.width, 640);
    EXPECT_EQ(g.layout.height, 480);
    EXPECT_EQ(g.layout.stride, 2576);

    layout.depth = 16;
    layout.top = 100;
    layout.left = 200;
    layout.width = 1024;
    layout.height = 768;
    g = headerGeometry(convert(testing::makeHeader(layout)));
    EXPECT_EQ(g.layout.width, 1024);
    EXPECT_EQ(g.layout.height, 768);
    EXPECT_EQ(g.layout.stride, 2064);  // 2048 + 16, not 2048
}

TEST(HeaderTest, RectangleStrideFormula) {
    EXPECT_EQ(rectangleStride(16, 1000), 2016);
    EXPECT_EQ(rectangleStride(16, 1024), 2064);
    EXPECT_EQ(rectangleStride(24, 10), 32);
    EXPECT_EQ(rectangleStride(32, 640), 2576);
    EXPECT_EQ(rectangleStride(7, 100), 16);    // 0 bytes per pixel
    EXPECT_EQ(rectangleStride(-16, 10), -16);  // (-20 + 16) & ~15
    // 32-bit wrap rather than undefined behaviour.
    EXPECT_EQ(
        rectangleStride(INT32_MAX, 32767),
        static_cast<std::int32_t>(static_cast<std::uint32_t>(268435455LL * 32767 + 16) & ~15U));
}

TEST(HeaderTest, RectangleWiderThan32767IsEmpty) {
    VrsLayout layout;
    layout.sized = false;
    layout.width = 40000;
    layout.height = 10;
    layout.left = -20000;
    const HeaderGeometry g = headerGeometry(convert(testing::makeHeader(layout)));
    EXPECT_FALSE(g.describesImage);
}

}  // namespace
}  // namespace vrs
