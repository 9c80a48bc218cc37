// The class-wide list of named attributes that a record class carries: each position
// has a name, a kind (1 integer, 2 text, anything else is skipped by comparison and
// persistence) and a key flag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvan {

enum AttributeKind : int32_t { kIntegerAttribute = 1, kTextAttribute = 2 };

class AttributeSchema {
public:
    // Sets the count and resizes the three lists to it; returns n.
    int32_t SetAttributeCount(int32_t n);
    // 0 (nothing stored) when position is not below the count, compared unsigned.
    int32_t DefineAttribute(int32_t position, int32_t kind, std::u16string_view name, int32_t keyFlag);
    // The first position whose name equals `name` exactly; count + 10 when none does.
    int32_t FindAttribute(std::u16string_view name) const;

    int32_t Count() const { return static_cast<int32_t>(names_.size()); }
    bool Holds(int32_t position) const { return position >= 0 && position < Count(); }
    int32_t KindAt(int32_t position) const { return kinds_[position]; }
    bool IsKeyAt(int32_t position) const { return keyFlags_[position] == 1; }
    const std::u16string& NameAt(int32_t position) const { return names_[position]; }

private:
    std::vector<std::u16string> names_;
    std::vector<int32_t> kinds_;
    std::vector<int32_t> keyFlags_;
};

}  // namespace korvan
