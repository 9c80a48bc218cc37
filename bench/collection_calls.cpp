#include "bench/collection_calls.h"

#include <chrono>
#include <vector>

#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/host_device.h"

namespace bench {

CollectionRun TimeCollectionCalls(const hostkit::EntryPoints& svr, KorvanPortHandle line, int calls) {
    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    content.channels.push_back(hostkit::Parameter(202, 3, 4, u"上限频率"));
    hostkit::HostDevice device;
    device.SetArchiveBytes(hostkit::EncodeBlob(content));
    device.SetPort(2, line);
    svr.InitDevSet(device.Instance());
    svr.InitDevRun(device.Instance());
    hostkit::IntArray wanted;
    hostkit::DoubleArray values;
    hostkit::StringArray texts;
    hostkit::Set(wanted.raw, {0, 0, 0, 0, 0, 1});
    hostkit::Set(values.raw, std::vector<double>(6, 0.0));
    for (int warm = 0; warm < 10; ++warm) svr.CollectDevData(device.Instance(), &wanted, &values, &texts);
    std::vector<double> callMs;
    CollectionRun run;
    const double cpuBefore = ThreadCpuMs();
    const double wakeUpsBefore = ThreadWakeUps();
    for (int call = 0; call < calls; ++call) {
        const auto start = std::chrono::steady_clock::now();
        run.failed += svr.CollectDevData(device.Instance(), &wanted, &values, &texts) != 0;
        callMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    const double wakeUps = wakeUpsBefore < 0.0 ? -1.0 : ThreadWakeUps() - wakeUpsBefore;
    run.figures = Summarise(callMs, ThreadCpuMs() - cpuBefore, wakeUps);
    svr.ExitDevRun(device.Instance());
    return run;
}

}  // namespace bench
