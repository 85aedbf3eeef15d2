// SPDX-License-Identifier: MIT
// The difference of two decoded pictures as the viewer shows it: the
// picture of the difference (diff_picture.h) over the top-left area both
// share, at full size, and its view image, sampled from it as the decoder
// samples a file's view image, except that no change is lost to the
// sampling: a view pixel on which any changed pixel falls is red, and each
// region is outlined at the view's own scale too.
#pragma once

#include <memory>
#include <vector>

#include "compare/compare_pictures.h"
#include "compare/compare_types.h"
#include "compare/read_problem.h"
#include "decode/image.h"
#include "decode/planar_bitmap.h"

namespace vrs {

struct DiffImages {
    std::shared_ptr<Image> full;
    std::shared_ptr<Image> view;
    // OutOfMemory when the images could not be had; None when stopped.
    ReadFailure failure;
};

// `regions` as the comparison of `a` and `b` under `options` found them.
// Both bitmaps are only read; the caller keeps them alive meanwhile.
// `progress` counts the rows made (of the shared height); its stop flag
// ends the making early, both images then null.
DiffImages makeDiffImages(const PlanarBitmap& a, const PlanarBitmap& b,
                          const CompareOptions& options, const std::vector<PixelBox>& regions,
                          CompareProgress* progress = nullptr);

}  // namespace vrs
