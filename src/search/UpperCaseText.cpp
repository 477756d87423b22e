#include "UpperCaseText.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// A character upper-cases to at most three characters, of at most four bytes each.
constexpr std::size_t kMaxBytesPerUnit = 12;

// For every UTF-16 unit from 0x80 up: its upper-case form when that is a single
// character of the basic plane, or 0 when it takes the full mapping ("ß", ligatures,
// surrogates). Built once, from QString::toUpper itself.
const char16_t *singleUpperTable()
{
    static const std::unique_ptr<char16_t[]> table = [] {
        auto units = std::make_unique<char16_t[]>(0x10000);
        for (char32_t unit = 0x80; unit < 0x10000; ++unit) {
            if (QChar::isSurrogate(unit))
                continue;
            const QString upper = QString(QChar(char16_t(unit))).toUpper();
            if (upper.size() == 1 && !upper.at(0).isSurrogate())
                units[unit] = upper.at(0).unicode();
        }
        return units;
    }();
    return table.get();
}

char *putUtf8(char *out, char16_t unit)
{
    if (unit < 0x80) {
        *out++ = char(unit);
    } else if (unit < 0x800) {
        *out++ = char(0xC0 | (unit >> 6));
        *out++ = char(0x80 | (unit & 0x3F));
    } else {
        *out++ = char(0xE0 | (unit >> 12));
        *out++ = char(0x80 | ((unit >> 6) & 0x3F));
        *out++ = char(0x80 | (unit & 0x3F));
    }
    return out;
}

char upperAscii(char16_t unit)
{
    return char(unit >= u'a' && unit <= u'z' ? unit - 0x20 : unit);
}

#if defined(__SSE2__)
// Upper-cases sixteen ASCII units at p into sixteen bytes at out; false, writing
// nothing, when any of them is not ASCII.
bool foldSixteen(const char16_t *p, char *out)
{
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 8));
    const __m128i wide = _mm_and_si128(_mm_or_si128(low, high), _mm_set1_epi16(short(0xFF80)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(wide, _mm_setzero_si128())) != 0xFFFF)
        return false;
    __m128i bytes = _mm_packus_epi16(low, high);
    const __m128i lower = _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('a' - 1)),
                                        _mm_cmplt_epi8(bytes, _mm_set1_epi8('z' + 1)));
    bytes = _mm_sub_epi8(bytes, _mm_and_si128(lower, _mm_set1_epi8(0x20)));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out), bytes);
    return true;
}

// Sixteen units at a time while they are all ASCII, which paths and keywords mostly
// are; returns how many units were done.
qsizetype foldAsciiRun(const char16_t *units, qsizetype size, char *&out)
{
    qsizetype i = 0;
    for (; i + 16 <= size; i += 16) {
        if (!foldSixteen(units + i, out))
            return i;
        out += 16;
    }
    // The last few units as one more vector that overlaps the one before: within an
    // ASCII run every unit is one byte, so the bytes written twice are the same.
    if (i > 0 && i < size && foldSixteen(units + size - 16, out - (i - (size - 16)))) {
        out += size - i;
        i = size;
    }
    return i;
}
#else
qsizetype foldAsciiRun(const char16_t *, qsizetype, char *&)
{
    return 0;
}
#endif

// Writes the upper-cased UTF-8 of text to out, which has room for
// kMaxBytesPerUnit bytes per unit; returns the end.
char *foldInto(QStringView text, char *out)
{
    const char16_t *units = text.utf16();
    const qsizetype size = text.size();
    const char16_t *table = nullptr;
    qsizetype i = 0;
    while (i < size) {
        i += foldAsciiRun(units + i, size - i, out);
        // One vector's worth one by one, then back to the fast run.
        const qsizetype end = std::min(size, i + 16);
        while (i < end) {
            const char16_t unit = units[i];
            if (unit < 0x80) {
                *out++ = upperAscii(unit);
                ++i;
                continue;
            }
            if (!table)
                table = singleUpperTable();
            if (const char16_t upper = table[unit]) {
                out = putUtf8(out, upper);
                ++i;
                continue;
            }
            const qsizetype length = QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(units[i + 1]) ? 2 : 1;
            const QByteArray full = text.mid(i, length).toString().toUpper().toUtf8();
            std::memcpy(out, full.constData(), std::size_t(full.size()));
            out += full.size();
            i += length;
        }
    }
    return out;
}

} // namespace

std::size_t maxUpperUtf8Size(qsizetype units)
{
    return std::size_t(units) * kMaxBytesPerUnit;
}

char *writeUpperUtf8(QStringView text, char *out)
{
    return foldInto(text, out);
}

char *writeUpperAscii(const char *text, std::size_t size, char *out)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= size; i += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
        if (_mm_movemask_epi8(bytes) != 0)
            return nullptr;
        const __m128i lower = _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('a' - 1)),
                                            _mm_cmplt_epi8(bytes, _mm_set1_epi8('z' + 1)));
        bytes = _mm_sub_epi8(bytes, _mm_and_si128(lower, _mm_set1_epi8(0x20)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), bytes);
    }
#endif
    for (; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80)
            return nullptr;
        out[i] = upperAscii(byte);
    }
    return out + size;
}

void appendUpperUtf8(QStringView text, std::string &out)
{
    const std::size_t used = out.size();
    out.resize(used + maxUpperUtf8Size(text.size()));
    char *end = foldInto(text, out.data() + used);
    out.resize(std::size_t(end - out.data()));
}

std::string upperUtf8(QStringView text)
{
    std::string bytes;
    appendUpperUtf8(text, bytes);
    return bytes;
}

UpperCaseFinder::UpperCaseFinder(QStringView text)
    : m_bytes(upperUtf8(text))
{
}

bool UpperCaseFinder::isIn(QStringView text) const
{
    thread_local std::string scratch;
    const std::size_t room = maxUpperUtf8Size(text.size());
    if (scratch.size() < room)
        scratch.resize(room);
    const char *end = foldInto(text, scratch.data());
    return findIn(scratch.data(), std::size_t(end - scratch.data())) != npos;
}

namespace {

#if defined(__SSE2__)
// Candidates are the places where both the first and the last byte of the needle
// stand, sixteen places at a time; only those are compared in full.
std::size_t findWithVectors(const char *bytes, std::size_t size, std::size_t from, const std::string &needle)
{
    const std::size_t length = needle.size();
    const __m128i first = _mm_set1_epi8(needle.front());
    const __m128i last = _mm_set1_epi8(needle.back());
    std::size_t i = from;
    for (; i + length - 1 + 16 <= size; i += 16) {
        const __m128i atFirst = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + i));
        const __m128i atLast = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + i + length - 1));
        unsigned candidates = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(atFirst, first), _mm_cmpeq_epi8(atLast, last))));
        while (candidates) {
            const auto offset = std::size_t(__builtin_ctz(candidates));
            if (std::memcmp(bytes + i + offset + 1, needle.data() + 1, length - 2) == 0)
                return i + offset;
            candidates &= candidates - 1;
        }
    }
    for (; i + length <= size; ++i) {
        if (bytes[i] == needle.front() && std::memcmp(bytes + i + 1, needle.data() + 1, length - 1) == 0)
            return i;
    }
    return std::string::npos;
}
#endif

} // namespace

std::size_t UpperCaseFinder::findIn(const char *bytes, std::size_t size, std::size_t from) const
{
    if (from > size)
        return npos;
    if (m_bytes.empty())
        return from;
    if (m_bytes.size() == 1) {
        const void *hit = std::memchr(bytes + from, m_bytes.front(), size - from);
        return hit ? std::size_t(static_cast<const char *>(hit) - bytes) : npos;
    }
#if defined(__SSE2__)
    return findWithVectors(bytes, size, from, m_bytes);
#else
    const char *start = bytes + from;
    const char *end = bytes + size;
    const char *hit = std::search(start, end, std::boyer_moore_horspool_searcher(m_bytes.begin(), m_bytes.end()));
    return hit == end ? npos : std::size_t(hit - bytes);
#endif
}
