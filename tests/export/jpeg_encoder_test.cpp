// SPDX-License-Identifier: MIT
// The JPEG encoder's chunks, joined into one scan, against libjpeg's own
// one-pass encoding with tables made for the picture.
#include <gtest/gtest.h>

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <cstdlib>
#include <vector>

#include "export/encoders.h"
#include "export/jpeg/huffman_code.h"
#include "picture_support.h"
#include "sample_picture.h"

// libjpeg's table maker behind optimize_coding; the library exports it.
extern "C" void jpeg_gen_optimal_table(j_compress_ptr cinfo, JHUFF_TBL* htbl, long freq[]);

namespace vrs::testing {
namespace {

// The file libjpeg writes in one pass at this quality with optimize_coding.
std::vector<std::uint8_t> onePassJpeg(const Image& image, int quality) {
    BitmapRowSource source(*image.rep());
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(source.width());
    cinfo.image_height = static_cast<JDIMENSION>(source.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<std::uint8_t> line(static_cast<std::size_t>(3 * source.width()));
    while (cinfo.next_scanline < cinfo.image_height) {
        RgbRow row;
        EXPECT_TRUE(source.row(cinfo.next_scanline, &row));
        interleaveRgb(row, source.width(), line.data());
        JSAMPROW pointer = line.data();
        jpeg_write_scanlines(&cinfo, &pointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

// Chunks of one and of three MCU rows (40 rounded up), a last chunk of
// fewer rows, sides that are not whole MCUs, single rows and columns: the
// joined scan's DC differences across chunks, its bit alignment and its
// tables all show in the bytes.
TEST(JpegEncoder, ChunksJoinIntoTheOnePassOptimisedFile) {
    struct Case {
        std::int64_t width, height, chunkRows;
        int quality;
    };
    for (const Case c : {Case{203, 157, 16, 50},
                         {203, 157, 16, 95},
                         {1, 1, 16, 50},
                         {37, 1, 16, 50},
                         {1, 40, 16, 50},
                         {641, 479, 16, 50},
                         {641, 479, 40, 20}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " q" +
                     std::to_string(c.quality) + " rows " + std::to_string(c.chunkRows));
        const auto image = c.width == 641 ? makeImage(c.width, c.height, samplePicture(641, 479))
                                          : makeImage(c.width, c.height, rainbow);
        BitmapRowSource source(*image->rep());
        MemoryStream out;
        ASSERT_TRUE(encodeJpegInChunks(source, out, c.quality, c.chunkRows));
        EXPECT_EQ(onePassJpeg(*image, c.quality), out.bytes());
    }
}

// Counts that make codes longer than 16 bits before the limit (Fibonacci),
// ties everywhere, a lone symbol: the same table as libjpeg's.
TEST(JpegEncoder, HuffmanTablesEqualLibjpegs) {
    std::vector<SymbolCounts> cases(4);
    std::uint64_t a = 1;
    std::uint64_t b = 1;
    for (int s = 0; s < 40; ++s) {
        cases[0][static_cast<std::size_t>(s * 5)] = a;
        b += a;
        a = b - a;
    }
    cases[1].fill(7);
    cases[2][0x31] = 1000;
    for (int s = 0; s < 256; s += 3) {
        cases[3][static_cast<std::size_t>(s)] = static_cast<std::uint64_t>(s * 7919 % 13 + 1);
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        long freq[257] = {};
        for (int s = 0; s < 256; ++s) {
            freq[s] = static_cast<long>(cases[i][static_cast<std::size_t>(s)]);
        }
        JHUFF_TBL* theirs = jpeg_alloc_huff_table(reinterpret_cast<j_common_ptr>(&cinfo));
        jpeg_gen_optimal_table(&cinfo, theirs, freq);
        const HuffmanTable ours = optimalHuffman(cases[i]);
        std::size_t codes = 0;
        for (int n = 1; n <= 16; ++n) {
            EXPECT_EQ(theirs->bits[n], ours.bits[static_cast<std::size_t>(n)]) << n;
            codes += theirs->bits[n];
        }
        ASSERT_EQ(codes, ours.values.size());
        EXPECT_TRUE(std::equal(ours.values.begin(), ours.values.end(), theirs->huffval));
    }
    jpeg_destroy_compress(&cinfo);
}

}  // namespace
}  // namespace vrs::testing
