// Base of everything that writes itself into, or reads itself from, a configuration
// archive. Serialize asks the archive's mode and stores or loads accordingly.
#pragma once

#include "korvan/host_abi.h"

namespace korvan {

class PersistentObject {
public:
    virtual ~PersistentObject() = default;
    virtual void Serialize(ConfigArchive& archive);

protected:
    PersistentObject() = default;
    PersistentObject(const PersistentObject&) = default;
    PersistentObject& operator=(const PersistentObject&) = default;
};

}  // namespace korvan
