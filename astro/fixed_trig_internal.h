#pragma once
// The plain two-way CORDIC steps, kept to check the branchless kernels against (tests) and
// to time them side by side (benchmarks). Same results as the kernels in fixed_trig.h.
#include "astro/fixed_trig.h"

CordicResult CordicRotateBranchy(std::int32_t x, std::int32_t y, std::int32_t z);
CordicResult CordicVectorBranchy(std::int32_t x, std::int32_t y, std::int32_t z);
CordicResult CordicHyperbolicVectorBranchy(std::int32_t x, std::int32_t y, std::int32_t z);
CordicResult CordicRotate16Branchy(std::int32_t x, std::int32_t y, std::int32_t z);
