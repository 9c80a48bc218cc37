// A record whose fields are attributes addressed by name through its class's schema.
// Every schema position has an integer slot and a text slot; the attribute's kind
// says which one carries the value. A name the schema does not know addresses no
// slot: writes change nothing and return 0, reads give 0 or the empty text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "channels/attribute_schema.h"
#include "channels/persistent_object.h"

namespace korvan {

class NamedRecord : public PersistentObject {
public:
    // Returns the attribute's position, or 0 when the name is unknown.
    int32_t SetInteger(std::u16string_view name, int32_t value);
    int32_t GetInteger(std::u16string_view name) const;
    int32_t SetText(std::u16string_view name, std::u16string_view text);
    const std::u16string& GetText(std::u16string_view name) const;

    // Integers as 32-bit items and texts as text items, in schema order.
    void Serialize(ConfigArchive& archive) override;

    const AttributeSchema& Schema() const { return *schema_; }
    // Positions that hold slots: the schema's count when the record was constructed.
    int32_t SlotCount() const { return static_cast<int32_t>(integers_.size()); }
    int32_t IntegerAt(int32_t position) const { return integers_[position]; }
    const std::u16string& TextAt(int32_t position) const { return texts_[position]; }

protected:
    explicit NamedRecord(const AttributeSchema& schema);

private:
    bool HoldsSlot(int32_t position) const {
        return position >= 0 && static_cast<std::size_t>(position) < integers_.size();
    }

    const AttributeSchema* schema_;
    std::vector<int32_t> integers_;
    std::vector<std::u16string> texts_;
};

// The fewest bytes a record of this schema takes in an archive (at least 1): four
// for each integer and each text (its count) attribute.
int32_t MinimumStoredSize(const AttributeSchema& schema);

}  // namespace korvan
