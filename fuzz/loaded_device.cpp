#include "fuzz/loaded_device.h"

#include "driver/configuration.h"
#include "link/serial_transaction.h"
#include "runtime/run_setup.h"
#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/host_arrays.h"

namespace korvanfuzz {

LoadedDevice::LoadedDevice(const std::vector<uint8_t>& blob) {
    host_.SetArchiveBytes(blob);
    host_.SetPort(korvan::kSerialPortKind, KorvanPortHandle(7));
    korvan::LoadConfiguration(*host_.Instance());
}

LoadedDevice::~LoadedDevice() { korvan::ReleaseDeviceState(*host_.Instance()); }

std::vector<uint8_t> LoadedDevice::Save() {
    korvan::SaveConfiguration(*host_.Instance());
    return StoredBlob(host_.Archive());
}

std::vector<uint8_t> StoredBlob(const ConfigArchive& archive) {
    std::vector<uint8_t> bytes = hostkit::Values(archive.buffer);
    if (archive.mode == 1 && archive.position >= 0 && static_cast<std::size_t>(archive.position) <= bytes.size()) {
        bytes.resize(static_cast<std::size_t>(archive.position));
    }
    return bytes;
}

std::vector<uint8_t> EveryKindOfChannelBlob() {
    using hostkit::Parameter;
    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    const std::vector<hostkit::BlobChannel> parameters = {
        Parameter(516, 0, 4, u"参考", 0),       Parameter(204, 1, 6, u"最小参考", 2),
        Parameter(537, 2, 3, u"温度", 0),       Parameter(202, 3, 4, u"上限频率", 2),
        Parameter(600, 4, 0, u"运行小时", 0),   Parameter(207, 4, 5, u"加速时间", 2, 1),
        Parameter(533, 5, 3, u"显示文本", 2),   Parameter(621, 5, 3, u"机型", 0),
        Parameter(213, 3, 4, u"点动频率", 1),   Parameter(1, 0, 7, u"语言", 2, 1),
    };
    content.channels.insert(content.channels.end(), parameters.begin(), parameters.end());
    return hostkit::EncodeBlob(content);
}

}  // namespace korvanfuzz
