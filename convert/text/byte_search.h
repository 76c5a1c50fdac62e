// Finding the next interesting byte in bulk. The C library's memchr is the
// fastest search there is on Linux; msvcrt's walks one byte at a time, so the
// Windows build searches sixteen bytes at a time with SSE2 where it can.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace quillo {

#ifdef _WIN32
// The first `c` in [begin, end), or nullptr; wide where the processor allows.
const char* FindByteWide(const char* begin, const char* end, char c);
#endif

// The first `c` in [begin, end), or nullptr. An empty range needs no pointer.
inline const char* FindByte(const char* begin, const char* end, char c) {
    if (begin == end) {
        return nullptr;
    }
#ifdef _WIN32
    return FindByteWide(begin, end, c);
#else
    return static_cast<const char*>(std::memchr(begin, c, static_cast<size_t>(end - begin)));
#endif
}

// memcpy for the short pieces an entry line is made of. msvcrt's copy is slow
// for them, so Windows moves overlapping words inline, reading and writing
// only the bytes named.
inline void CopyBytes(char* to, const char* from, size_t size) {
#ifndef _WIN32
    if (size > 0) {  // an empty view may carry no pointer, which memcpy must not get
        std::memcpy(to, from, size);
    }
#else
    uint64_t head;
    uint64_t tail;
    if (size >= 16) {
        if (size > 64) {
            std::memcpy(to, from, size);
            return;
        }
        for (size_t done = 0; done + 8 < size; done += 8) {
            std::memcpy(&head, from + done, 8);
            std::memcpy(to + done, &head, 8);
        }
        std::memcpy(&tail, from + size - 8, 8);
        std::memcpy(to + size - 8, &tail, 8);
    } else if (size >= 8) {
        std::memcpy(&head, from, 8);
        std::memcpy(&tail, from + size - 8, 8);
        std::memcpy(to, &head, 8);
        std::memcpy(to + size - 8, &tail, 8);
    } else if (size >= 4) {
        uint32_t first;
        uint32_t last;
        std::memcpy(&first, from, 4);
        std::memcpy(&last, from + size - 4, 4);
        std::memcpy(to, &first, 4);
        std::memcpy(to + size - 4, &last, 4);
    } else if (size > 0) {
        to[0] = from[0];
        to[size / 2] = from[size / 2];
        to[size - 1] = from[size - 1];
    }
#endif
}

// How many bytes past the end of a range FindBytePadded may read.
inline constexpr size_t kSearchPadding = 16;

// The first `c` in [begin, end), or `end` when there is none, for short
// ranges followed by kSearchPadding readable bytes: lines are a few dozen
// bytes, where a call to memchr costs more than the search itself.
inline const char* FindBytePadded(const char* begin, const char* end, char c) {
#ifdef __SSE2__
    const __m128i needle = _mm_set1_epi8(c);
    for (;;) {
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(begin)), needle)));
        if (mask != 0) {
            const char* found = begin + __builtin_ctz(mask);
            return found < end ? found : end;
        }
        begin += 16;
        if (begin >= end) {
            return end;
        }
    }
#else
    const char* found = FindByte(begin, end, c);
    return found != nullptr ? found : end;
#endif
}

// The first of the `wanted` bytes in [begin, end), or `end`; the same padding.
template <typename... Chars>
inline const char* FindAnyOfPadded(const char* begin, const char* end, Chars... wanted) {
#ifdef __SSE2__
    const __m128i sets[] = {_mm_set1_epi8(wanted)...};
    for (;;) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin));
        __m128i hits = _mm_setzero_si128();
        for (const __m128i& set : sets) {
            hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, set));
        }
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (mask != 0) {
            const char* found = begin + __builtin_ctz(mask);
            return found < end ? found : end;
        }
        begin += 16;
        if (begin >= end) {
            return end;
        }
    }
#elif defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // Eight bytes a step: a byte equal to a wanted one is a zero byte of the
    // word XOR that byte repeated. The lowest flag of each test is exact.
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    const auto zeros = [](uint64_t x) { return (x - kOnes) & ~x & kHigh; };
    const uint64_t words[] = {kOnes * static_cast<unsigned char>(wanted)...};
    for (;;) {
        uint64_t word;
        std::memcpy(&word, begin, 8);
        uint64_t hits = 0;
        for (const uint64_t w : words) {
            hits |= zeros(word ^ w);
        }
        if (hits != 0) {
            const char* found = begin + __builtin_ctzll(hits) / 8;
            return found < end ? found : end;
        }
        begin += 8;
        if (begin >= end) {
            return end;
        }
    }
#else
    for (; begin < end; ++begin) {
        if (((*begin == wanted) || ...)) {
            return begin;
        }
    }
    return end;
#endif
}

}  // namespace quillo
