#include <cpuid.h>
#include <emmintrin.h>

#include <cstdint>

#include "byte_search.h"

namespace quillo {
namespace {

// Sixteen bytes per step. Loads are aligned, so the first and last may reach
// outside the range, but never outside the 16-byte blocks that hold its
// bytes, which lie on pages the range owns.
__attribute__((target("sse2"))) const char* FindSse2(const char* begin, const char* end, char c) {
    const __m128i needle = _mm_set1_epi8(c);
    const uintptr_t start = reinterpret_cast<uintptr_t>(begin);
    const char* block = reinterpret_cast<const char*>(start & ~uintptr_t{15});
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
                        _mm_load_si128(reinterpret_cast<const __m128i*>(block)), needle))) &
                    (0xFFFFu << (start & 15));
    for (;;) {
        if (mask != 0) {
            const char* found = block + __builtin_ctz(mask);
            return found < end ? found : nullptr;
        }
        block += 16;
        if (block >= end) {
            return nullptr;
        }
        mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(block)), needle)));
    }
}

const char* FindBytewise(const char* begin, const char* end, char c) {
    for (; begin != end; ++begin) {
        if (*begin == c) {
            return begin;
        }
    }
    return nullptr;
}

using Finder = const char* (*)(const char*, const char*, char);

Finder ChooseFinder() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    const bool sse2 = __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (edx & bit_SSE2) != 0;
    return sse2 ? &FindSse2 : &FindBytewise;
}

}  // namespace

const char* FindByteWide(const char* begin, const char* end, char c) {
    static const Finder finder = ChooseFinder();
    return finder(begin, end, c);
}

}  // namespace quillo
