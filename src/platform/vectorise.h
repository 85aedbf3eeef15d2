// SPDX-License-Identifier: MIT
// VRS_VECTORISE asks GCC to vectorise a function's byte loops at -O2 with its
// full cost model, which -O2 alone keeps from loops with a remainder. Clang
// vectorises such loops at -O2 by itself and knows no such attribute.
#pragma once

#if defined(__clang__)
#define VRS_VECTORISE
#else
#define VRS_VECTORISE [[gnu::optimize("tree-vectorize", "vect-cost-model=dynamic")]]
#endif
