#pragma once

/// Marks a function whose loops run over independent values side by side: it is compiled twice,
/// for AVX2 and for every x86-64, and the loader picks the version the processor can run, so one
/// packaged binary is fast everywhere. Each value is computed by the same operations in the same
/// order in both versions (no fused multiply-add, no reordered sums), so the results are the
/// same bits. Elsewhere the mark is empty.
#if defined(__x86_64__) && defined(__ELF__) && !defined(QUENDRIX_NO_VECTOR_CLONES)
#define QUENDRIX_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define QUENDRIX_VECTOR_CLONES
#endif
