// A kernel record written out in a test: its n x n cells row by row, its
// weight and its red, green and blue offsets.
#pragma once

#include "filters/Kernels.h"

#include <cstdint>
#include <initializer_list>

namespace tq {

// Cells past the end of rowByRow stay 0.
inline KernelRecord kernelRows(int32_t n, std::initializer_list<int32_t> rowByRow, int32_t weight, int32_t r = 0,
                               int32_t g = 0, int32_t b = 0)
{
    KernelRecord k;
    k.Mask = KernelMask(n);
    auto it = rowByRow.begin();
    for (int32_t row = 0; row < n; ++row)
        for (int32_t col = 0; col < n && it != rowByRow.end(); ++col) k.Mask(row, col) = *it++;
    k.Weight = weight;
    k.rFactor = r;
    k.gFactor = g;
    k.bFactor = b;
    return k;
}

} // namespace tq
