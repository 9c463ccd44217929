#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One node of a Valve KeyValues text (the .vdf and .acf files that Steam writes): a key with
// either a string value or a section of child nodes. Reading never fails: what cannot be read
// is passed over and what was read before it is kept, so a damaged file still yields its
// readable pairs.
class CKeyValues {
public:
    // Sections nested deeper are passed over whole; the recursion stays bounded whatever the file.
    static constexpr int kMaxDepth = 64;
    // Longer texts are read up to this length; the files Steam writes are far smaller.
    static constexpr size_t kMaxBytes = 4 << 20;
    // Pairs beyond this count are passed over, so that a few bytes per pair cannot cost gigabytes.
    static constexpr size_t kMaxNodes = 1 << 17;

    // The pairs of a text, as the children of a section without a key.
    static CKeyValues Parse(std::string_view text);
    // The pairs of a file; no pairs when it cannot be read.
    static CKeyValues Load(const std::string& path);

    // The first child whose key matches, ignoring ASCII case; null when there is none.
    const CKeyValues* Find(std::string_view name) const;
    // Every child whose key matches, ignoring ASCII case, in the text's order.
    std::vector<const CKeyValues*> FindAll(std::string_view name) const;
    // The string value of the first child whose key matches; empty when it is missing or a section.
    std::string Value(std::string_view name) const;

    static bool SameKey(std::string_view a, std::string_view b);

    std::string key;
    std::string value;  // empty for a section
    bool isSection = false;
    std::vector<CKeyValues> children;
};
