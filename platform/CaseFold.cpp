#include "CaseFold.h"

#include "Utf8.h"

namespace {

char32_t FoldCodePoint(char32_t c) {
    if (c >= 'A' && c <= 'Z') {
        return c + 0x20;
    }
    if (c < 0xC0) {
        return c;
    }
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return c + 0x20;  // Latin-1 capitals
    }
    if (c == 0x130 || c == 0x131) {
        return c;  // dotted capital I and dotless small i are no pair: each is its own letter
    }
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A alternates capital/small, with a shift in the middle of the block.
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
            return (c & 1) ? c + 1 : c;
        }
        if (c == 0x178) {
            return 0xFF;
        }
        return (c & 1) ? c : c + 1;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) {
        return c + 0x20;  // Greek capitals
    }
    if (c == 0x3C2) {
        return 0x3C3;  // final sigma is a sigma
    }
    if (c >= 0x410 && c <= 0x42F) {
        return c + 0x20;  // Cyrillic capitals
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    return c;
}

// The capital whose folded form is the small letter c; c itself when there is none.
char32_t CapitalOf(char32_t c) {
    if (c == 0xFF) {
        return 0x178;
    }
    // The pairs of the alphabets above lie 0x20, 1 or 0x50 apart.
    for (const char32_t distance : {0x20u, 1u, 0x50u}) {
        if (c >= distance && c < 0x110000 && FoldCodePoint(c - distance) == c) {
            return c - distance;
        }
    }
    return c;
}

// Decodes one UTF-8 sequence at text[i]; an invalid byte stands for itself.
char32_t Next(std::string_view text, size_t& i, size_t& length) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    auto cont = [&](size_t k) {
        return i + k < text.size() && (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
    };
    if (b0 >= 0xC2 && b0 < 0xE0 && cont(1)) {
        length = 2;
        return ((b0 & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
    }
    // An over-long form is not a spelling of the shorter character: it stands for its bytes.
    if (b0 >= 0xE0 && b0 < 0xF0 && cont(1) && cont(2) &&
        (b0 != 0xE0 || static_cast<unsigned char>(text[i + 1]) >= 0xA0)) {
        length = 3;
        return ((b0 & 0x0Fu) << 12) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
               (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
    }
    length = 1;
    return b0 < 0x80 ? b0 : 0x110000 + b0;  // keeps invalid and 4-byte lead bytes distinct
}

// Invalid bytes and the lead bytes of 4-byte sequences are copied as they were.
void Append(std::string& out, char32_t c, std::string_view original) {
    if (c >= 0x110000) {
        out += original;
    } else {
        Utf8::Append(out, c);
    }
}

// The text with each character replaced by map's; invalid bytes are kept as they are.
template <typename Map>
std::string MapCharacters(std::string_view text, Map map) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        size_t length = 1;
        const char32_t c = Next(text, i, length);
        Append(out, c >= 0x110000 ? c : map(c), text.substr(i, length));
        i += length;
    }
    return out;
}

}  // namespace

std::string CaseFold::Fold(std::string_view text) {
    return MapCharacters(text, FoldCodePoint);
}

std::string CaseFold::Upper(std::string_view text) {
    return MapCharacters(text, [](char32_t c) { return CapitalOf(FoldCodePoint(c)); });
}

bool CaseFold::Equal(std::string_view a, std::string_view b) {
    if (a.size() == b.size() && a == b) {
        return true;
    }
    return Fold(a) == Fold(b);
}

bool CaseFold::StartsWith(std::string_view text, std::string_view prefix) {
    const std::string folded = Fold(text);
    const std::string foldedPrefix = Fold(prefix);
    return folded.compare(0, foldedPrefix.size(), foldedPrefix) == 0;
}
