#pragma once

#include <bit>
#include <cstdint>

/// Marks a function whose loops run over independent values side by side: it is compiled three
/// times, for AVX-512, for AVX2 and for every x86-64, and the loader picks the widest version
/// the processor can run, so one packaged binary is fast everywhere. Each value is computed by
/// the same operations in the same order in every version (no fused multiply-add, no reordered
/// sums), so the results are the same bits. QUENDRIX_VECTOR_ONLY_AVX2 and
/// QUENDRIX_NO_VECTOR_CLONES build one version alone, so that tests can run the versions this
/// processor would not be given. Elsewhere the mark is empty.
#if defined(__x86_64__) && defined(QUENDRIX_VECTOR_ONLY_AVX2)
#define QUENDRIX_VECTOR_CLONES __attribute__((target("avx2")))
#elif defined(__x86_64__) && defined(__ELF__) && !defined(QUENDRIX_NO_VECTOR_CLONES)
#define QUENDRIX_VECTOR_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define QUENDRIX_VECTOR_CLONES
#endif

namespace quendrix {

/// `value` where `keep` holds, +0 elsewhere, without a branch: a conditional choice of a
/// computed float is a branch to a compiler that keeps floating-point exceptions exact, and a
/// branch stops it from handling several values at once.
inline float keptOrZero(bool keep, float value) {
    return std::bit_cast<float>(std::bit_cast<std::uint32_t>(value) & (keep ? ~0u : 0u));
}

} // namespace quendrix
