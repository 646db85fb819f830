#include "core/TextFolder.h"

#include <cstring>

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>

namespace quillet {

namespace {

struct Normalizers {
    const icu::Normalizer2* nfd = nullptr;
    const icu::Normalizer2* nfc = nullptr;
};

const Normalizers& normalizers() {
    static const Normalizers instances = [] {
        Normalizers made;
        UErrorCode status = U_ZERO_ERROR;
        made.nfd = icu::Normalizer2::getNFDInstance(status);
        made.nfc = icu::Normalizer2::getNFCInstance(status);
        if (U_FAILURE(status)) {
            made = {};
        }
        return made;
    }();
    return instances;
}

// A character that folding leaves alone and that never combines with its neighbours
// (curly quotes, dashes, most CJK) is copied as it stands instead of going through ICU.
bool passesUnchanged(const Normalizers& norm, UChar32 c) {
    return norm.nfc->isInert(c) && norm.nfd->isInert(c) && u_charType(c) != U_NON_SPACING_MARK &&
           !u_hasBinaryProperty(c, UCHAR_CHANGES_WHEN_CASEFOLDED);
}

void appendUtf8(std::string& out, UChar32 c) {
    if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void dropNonspacingMarks(const icu::UnicodeString& from, icu::UnicodeString& to) {
    to.remove();
    const int32_t length = from.length();
    for (int32_t i = 0; i < length;) {
        const UChar32 c = from.char32At(i);
        i += U16_LENGTH(c);
        if (u_charType(c) != U_NON_SPACING_MARK) {
            to.append(c);
        }
    }
}

// Folds a run of characters that needs ICU. Runs can be folded on their own because
// they are cut only next to ASCII or inert characters, which never combine across.
void foldRun(const Normalizers& norm, const char16_t* text, int32_t length, std::string& out) {
    thread_local icu::UnicodeString a;
    thread_local icu::UnicodeString b;
    const icu::UnicodeString source(false, text, length);
    UErrorCode status = U_ZERO_ERROR;
    norm.nfd->normalize(source, a, status);
    dropNonspacingMarks(a, b);
    b.foldCase(U_FOLD_CASE_DEFAULT);
    // Folding can bring marks of its own (the dot of İ becomes U+0307): decompose and
    // drop again before recomposing what is left (Hangul, spacing marks).
    norm.nfd->normalize(b, a, status);
    dropNonspacingMarks(a, b);
    norm.nfc->normalize(b, a, status);
    if (U_FAILURE(status)) {
        return;
    }
    a.toUTF8String(out);
}

} // namespace

std::string TextFolder::fold(QStringView text) {
    const char16_t* data = text.utf16();
    const qsizetype length = text.size();
    std::string out;
    out.reserve(static_cast<size_t>(length) + 16);

    // Diary text is mostly ASCII, whose folding is a lowercase copy: only what lies
    // outside it pays for ICU.
    qsizetype i = 0;
    while (i < length && data[i] < 0x80) {
        const char16_t c = data[i++];
        out += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    if (i == length) {
        return out;
    }

    const Normalizers& norm = normalizers();
    if (!norm.nfd || !norm.nfc) {
        return {};
    }
    qsizetype runStart = -1;
    const auto flushRun = [&](qsizetype end) {
        if (runStart >= 0) {
            foldRun(norm, data + runStart, static_cast<int32_t>(end - runStart), out);
            runStart = -1;
        }
    };
    while (i < length) {
        const char16_t unit = data[i];
        if (unit < 0x80) {
            flushRun(i);
            out += static_cast<char>(unit >= 'A' && unit <= 'Z' ? unit + ('a' - 'A') : unit);
            ++i;
            continue;
        }
        UChar32 c = unit;
        qsizetype next = i + 1;
        if (U16_IS_LEAD(unit) && next < length && U16_IS_TRAIL(data[next])) {
            c = U16_GET_SUPPLEMENTARY(unit, data[next]);
            ++next;
        }
        if (!U_IS_SURROGATE(c) && passesUnchanged(norm, c)) {
            flushRun(i);
            appendUtf8(out, c);
        } else if (runStart < 0) {
            runStart = i;
        }
        i = next;
    }
    flushRun(length);
    return out;
}

namespace {

// Candidate positions are those where both the needle's first and last bytes
// match; only their middles are compared. Blocks that reach past the end of
// the text are never read: the last block is moved back to end with the text
// (overlapping positions already looked at, which does no harm).
bool scalarContains(const char* text, std::size_t size, const char* needle, std::size_t n) {
    for (std::size_t i = 0; i + n <= size; ++i) {
        if (text[i] == needle[0] && text[i + n - 1] == needle[n - 1] &&
            std::memcmp(text + i + 1, needle + 1, n - 2) == 0) {
            return true;
        }
    }
    return false;
}

bool middlesMatch(const char* text, std::size_t at, std::uint64_t mask, const char* needle,
                  std::size_t n) {
    while (mask != 0) {
        const unsigned bit = unsigned(__builtin_ctzll(mask));
        if (std::memcmp(text + at + bit + 1, needle + 1, n - 2) == 0) {
            return true;
        }
        mask &= mask - 1;
    }
    return false;
}

#if defined(__SSE2__)
bool sse2Contains(const char* text, std::size_t size, const char* needle, std::size_t n) {
    constexpr std::size_t block = 16;
    if (size < n - 1 + block) {
        return scalarContains(text, size, needle, n);
    }
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i last = _mm_set1_epi8(needle[n - 1]);
    const std::size_t final = size - (n - 1) - block;
    for (std::size_t i = 0;; i = std::min(i + block, final)) {
        const __m128i atFirst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i atLast = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + n - 1));
        const unsigned mask = unsigned(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(first, atFirst), _mm_cmpeq_epi8(last, atLast))));
        if (mask != 0 && middlesMatch(text, i, mask, needle, n)) {
            return true;
        }
        if (i == final) {
            return false;
        }
    }
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define QUILLET_HAS_AVX2_PATH 1
__attribute__((target("avx2"))) bool avx2Contains(const char* text, std::size_t size,
                                                  const char* needle, std::size_t n) {
    constexpr std::size_t block = 64;
    if (size < n - 1 + block) {
        return sse2Contains(text, size, needle, n);
    }
    const __m256i first = _mm256_set1_epi8(needle[0]);
    const __m256i last = _mm256_set1_epi8(needle[n - 1]);
    const std::size_t final = size - (n - 1) - block;
    for (std::size_t i = 0;; i = std::min(i + block, final)) {
        const __m256i low = _mm256_and_si256(
            _mm256_cmpeq_epi8(first,
                              _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i))),
            _mm256_cmpeq_epi8(
                last, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + n - 1))));
        const __m256i high = _mm256_and_si256(
            _mm256_cmpeq_epi8(first,
                              _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + 32))),
            _mm256_cmpeq_epi8(
                last, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + 32 + n - 1))));
        const __m256i any = _mm256_or_si256(low, high);
        if (!_mm256_testz_si256(any, any)) {
            const std::uint64_t mask =
                std::uint64_t(std::uint32_t(_mm256_movemask_epi8(low))) |
                (std::uint64_t(std::uint32_t(_mm256_movemask_epi8(high))) << 32);
            if (middlesMatch(text, i, mask, needle, n)) {
                return true;
            }
        }
        if (i == final) {
            return false;
        }
    }
}
#endif

} // namespace

bool TextFolder::contains(std::string_view foldedHaystack, std::string_view foldedNeedle) {
    const std::size_t n = foldedNeedle.size();
    const std::size_t size = foldedHaystack.size();
    if (n == 0) {
        return true;
    }
    if (n > size) {
        return false;
    }
    const char* text = foldedHaystack.data();
    const char* needle = foldedNeedle.data();
    if (n == 1) {
        return std::memchr(text, needle[0], size) != nullptr;
    }
    // Every search scans the whole diary, so this is its hot loop.
#if defined(QUILLET_HAS_AVX2_PATH)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        return avx2Contains(text, size, needle, n);
    }
#endif
#if defined(__SSE2__)
    return sse2Contains(text, size, needle, n);
#else
    return scalarContains(text, size, needle, n);
#endif
}

} // namespace quillet
