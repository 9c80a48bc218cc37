#include "channels/attribute_schema.h"

#include <algorithm>

namespace korvan {

int32_t AttributeSchema::SetAttributeCount(int32_t n) {
    const auto size = static_cast<std::size_t>(std::max(n, 0));
    names_.resize(size);
    kinds_.resize(size);
    keyFlags_.resize(size);
    return n;
}

int32_t AttributeSchema::DefineAttribute(int32_t position, int32_t kind, std::u16string_view name,
                                         int32_t keyFlag) {
    if (static_cast<uint32_t>(position) >= static_cast<uint32_t>(Count())) return 0;
    names_[position] = name;
    kinds_[position] = kind;
    keyFlags_[position] = keyFlag;
    return 1;
}

int32_t AttributeSchema::FindAttribute(std::u16string_view name) const {
    const auto found = std::find(names_.begin(), names_.end(), name);
    if (found != names_.end()) return static_cast<int32_t>(found - names_.begin());
    return Count() + 10;
}

}  // namespace korvan
