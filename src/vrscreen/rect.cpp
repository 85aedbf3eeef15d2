// SPDX-License-Identifier: MIT
#include "vrscreen/rect.h"

#include <algorithm>

namespace vrs {
namespace {

std::int16_t wrapAdd(std::int16_t a, std::int16_t b) {
    // Two's complement wrap, done in unsigned arithmetic to stay well defined.
    return static_cast<std::int16_t>(
        static_cast<std::uint16_t>(static_cast<std::uint16_t>(a) + static_cast<std::uint16_t>(b)));
}

}  // namespace

void SetRect(Rect* r, std::int16_t left, std::int16_t top, std::int16_t right,
             std::int16_t bottom) {
    if (r == nullptr) {
        return;
    }
    r->left = left;
    r->top = top;
    r->right = right;
    r->bottom = bottom;
}

void OffsetRect(Rect* r, std::int16_t dh, std::int16_t dv) {
    if (r == nullptr) {
        return;
    }
    r->left = wrapAdd(r->left, dh);
    r->right = wrapAdd(r->right, dh);
    r->top = wrapAdd(r->top, dv);
    r->bottom = wrapAdd(r->bottom, dv);
}

bool EmptyRect(const Rect* r) {
    return r == nullptr || r->right <= r->left || r->bottom <= r->top;
}

bool SectRect(const Rect* a, const Rect* b, Rect* dst) {
    if (dst == nullptr) {
        return false;
    }
    if (a == nullptr || b == nullptr || EmptyRect(a) || EmptyRect(b) || b->right <= a->left ||
        a->right <= b->left || b->bottom <= a->top || a->bottom <= b->top) {
        *dst = Rect{};
        return false;
    }
    const Rect result{std::max(a->top, b->top), std::max(a->left, b->left),
                      std::min(a->bottom, b->bottom), std::min(a->right, b->right)};
    *dst = result;
    return true;
}

}  // namespace vrs
