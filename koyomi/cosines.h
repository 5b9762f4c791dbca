// Cosines of many arguments at once: glibc's vector cos (libmvec) in the
// widest form the processor runs, or the scalar cos where there is none.
#pragma once

namespace koyomi {

// The longest run of arguments one call takes.
constexpr int kCosineBlock = 64;

// The longest vector: a block's entries are computed in groups of this many.
constexpr int kCosineLanes = 8;

// out[k] = cos(radians[k]) for k < count (count <= kCosineBlock), each within
// a few units in the last place of std::cos. Both arrays hold kCosineBlock
// entries: the entries up to count rounded up to kCosineLanes are read and
// written, so the caller sets radians[count..] to something harmless (0).
void Cosines(const double (&radians)[kCosineBlock], double (&out)[kCosineBlock], int count);

// Which implementation Cosines uses here: "avx512", "avx2", "sse2" or "scalar".
const char* CosineKernelName();

} // namespace koyomi
