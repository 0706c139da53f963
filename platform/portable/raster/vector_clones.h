// Marks a plain row loop for an AVX2 copy besides the baseline x86-64 one;
// the loader picks the copy the processor runs. Other targets build the
// loop once, as written.
#pragma once

#if defined(__x86_64__) && defined(__ELF__) && (defined(__GNUC__) || defined(__clang__))
#define VYLA_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VYLA_VECTOR_CLONES
#endif
