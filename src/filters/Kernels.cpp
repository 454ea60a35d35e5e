#include "filters/Kernels.h"

#include <charconv>
#include <cmath>

namespace tq {

const std::array<PresetKernel, kPresetKernelCount> PresetKernels = {{
    {"Blur", "1|1|1|1|1|1|1|1|1", "9|0|0|0"},
    {"Blur more", "1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1", "25|0|0|0"},
    {"Soften", "0|1|0|1|3|1|0|1|0", "7|0|0|0"},
    {"Soften more", "1|3|1|3|9|3|1|3|1", "25|0|0|0"},
    {"Sharpen", "-1|-1|-1|-1|15|-1|-1|-1|-1", "7|0|0|0"},
    {"Sharpen more", "0|-1|0|-1|5|-1|0|-1|0", "1|0|0|0"},
    {"Bump [NW]", "-1|-1|0|-1|4|1|0|1|1", "4|0|0|0"},
    {"Bump more [NW]", "-1|-1|0|-1|2|1|0|1|1", "2|0|0|0"},
    {"Contour", "-1|-1|-1|-1|8|-1|-1|-1|-1", "1|255|255|255"},
    {"Contour more", "-2|-2|-2|-2|16|-2|-2|-2|-2", "1|255|255|255"},
    {"Contour [soft]", "0|-1|0|-1|4|-1|0|-1|0", "1|255|255|255"},
    {"Contour more [soft]", "0|-2|0|-2|8|-2|0|-2|0", "1|255|255|255"},
    {"Emboss [SE]", "0|0|0|0|1|0|0|0|-1", "1|128|128|128"},
    {"Engrave [SE]", "0|0|0|0|-1|0|0|0|1", "1|128|128|128"},
}};

namespace {

std::vector<int32_t> splitNumbers(std::string_view text)
{
    std::vector<int32_t> out;
    size_t start = 0;
    while (true) {
        const size_t bar = text.find('|', start);
        const std::string_view part = text.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
        int32_t v = 0;
        std::from_chars(part.data(), part.data() + part.size(), v);
        out.push_back(v);
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return out;
}

} // namespace

namespace mBitmap {

bool GetPresetKernel(KernelRecord& kernel, int32_t id)
{
    if (id < 0 || id >= kPresetKernelCount) return false;
    const PresetKernel& p = PresetKernels[static_cast<size_t>(id)];
    const std::vector<int32_t> parts = splitNumbers(p.kernel);
    const int32_t n = static_cast<int32_t>(std::lround(std::sqrt(static_cast<double>(parts.size()))));
    KernelMask mask(n);
    for (int32_t i = 0; i < n; ++i)
        for (int32_t j = 0; j < n; ++j) mask(i, j) = parts[static_cast<size_t>(i * n + j)];
    const std::vector<int32_t> w = splitNumbers(p.weights);
    kernel.Mask = std::move(mask);
    kernel.Weight = w[0];
    kernel.rFactor = w[1];
    kernel.gFactor = w[2];
    kernel.bFactor = w[3];
    return true;
}

} // namespace mBitmap
} // namespace tq
