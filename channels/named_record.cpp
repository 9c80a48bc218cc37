#include "channels/named_record.h"

#include "driver/config_archive.h"

namespace korvan {

void PersistentObject::Serialize(ConfigArchive&) {}

int32_t MinimumStoredSize(const AttributeSchema& schema) {
    int32_t bytes = 0;
    for (int32_t position = 0; position < schema.Count(); ++position) {
        const int32_t kind = schema.KindAt(position);
        if (kind == kIntegerAttribute || kind == kTextAttribute) bytes += 4;
    }
    return bytes > 0 ? bytes : 1;
}

NamedRecord::NamedRecord(const AttributeSchema& schema)
    : schema_(&schema),
      integers_(static_cast<std::size_t>(schema.Count())),
      texts_(static_cast<std::size_t>(schema.Count())) {}

int32_t NamedRecord::SetInteger(std::u16string_view name, int32_t value) {
    const int32_t position = schema_->FindAttribute(name);
    if (!HoldsSlot(position)) return 0;
    integers_[position] = value;
    return position;
}

int32_t NamedRecord::GetInteger(std::u16string_view name) const {
    const int32_t position = schema_->FindAttribute(name);
    return HoldsSlot(position) ? integers_[position] : 0;
}

int32_t NamedRecord::SetText(std::u16string_view name, std::u16string_view text) {
    const int32_t position = schema_->FindAttribute(name);
    if (!HoldsSlot(position)) return 0;
    texts_[position] = text;
    return position;
}

const std::u16string& NamedRecord::GetText(std::u16string_view name) const {
    static const std::u16string kEmpty;
    const int32_t position = schema_->FindAttribute(name);
    return HoldsSlot(position) ? texts_[position] : kEmpty;
}

void NamedRecord::Serialize(ConfigArchive& archive) {
    const bool storing = IsStoring(archive);
    for (int32_t position = 0; HoldsSlot(position) && schema_->Holds(position); ++position) {
        switch (schema_->KindAt(position)) {
            case kIntegerAttribute:
                if (storing) WriteInt32(archive, integers_[position]);
                else ReadInt32(archive, integers_[position]);
                break;
            case kTextAttribute:
                if (storing) WriteText(archive, texts_[position]);
                else ReadText(archive, texts_[position]);
                break;
            default:
                break;
        }
    }
}

}  // namespace korvan
