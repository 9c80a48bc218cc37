#include "runtime/collection_cycle.h"

namespace korvan {

int32_t CollectNextGroup(DeviceInstance&, const HostIntArray&, HostDoubleArray&, HostStringArray&) {
    return -100;  // no drive link yet
}

}  // namespace korvan
