// The fixed answers of the entry points, and the hand-over of automation objects.
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/host_automation.h"
#include "tools/korvan-transcript/transcript.h"

namespace transcript {

void PlayEntryPoints(Session& s) {
    s.out.Section("fixed answers");
    // Every call is made before its line is put together: the order in which the
    // operands of one expression are evaluated is the compiler's choice.
    hostkit::String text;
    int32_t helpId = 0;
    int32_t result = s.svr.DoHelp(&text, &helpId);
    s.out.Line("SvrDoHelp -> " + std::to_string(result) + " " + Show(text.raw) + " " + std::to_string(helpId));
    result = s.svr.GetDevInfo();
    s.out.Line("SvrGetDevInfo -> " + std::to_string(result));
    uint8_t flag = 0;
    result = s.svr.EditProperties(nullptr, &flag);
    s.out.Line("SvrEditProperties -> " + std::to_string(result) + " flag=" + std::to_string(flag));

    hostkit::HostDevice device;
    hostkit::IntArray wanted;
    hostkit::DoubleArray values;
    hostkit::StringArray texts;
    result = s.svr.CollectDevData(device.Instance(), &wanted, &values, &texts);
    s.out.Line("SvrCollectDevData(empty values) -> " + std::to_string(result) +
               " state=" + (device.Instance()->deviceState ? "present" : "absent"));
    hostkit::String command;
    hostkit::Set(command.raw, u"WRITE(1,0,3,0,1)");
    result = s.svr.DevIOCtrl(device.Instance(), &command, &values, 0);
    s.out.Line("SvrDevIOCtrl(empty results) -> " + std::to_string(result));
    result = s.svr.InitDevSet(device.Instance());
    s.out.Line("SvrInitDevSet -> " + std::to_string(result));
    hostkit::Set(wanted.raw, {1, 1, 1, 1, 1});
    hostkit::Set(values.raw, {5, 5, 5, 5, 5});
    result = s.svr.CollectDevData(device.Instance(), &wanted, &values, &texts);
    s.out.Line("SvrCollectDevData(no read groups) -> " + std::to_string(result) + " " + Show(values.raw));
    const std::string before = ShowArchive(device.Archive());
    result = s.svr.EditCustomProperty(device.Instance());  // no display: the dialog cannot open
    s.out.Line("SvrEditCustomProperty -> " + std::to_string(result) + " archive " +
               (ShowArchive(device.Archive()) == before ? "unchanged" : "changed"));
    result = s.svr.ExitDevRun(device.Instance());
    const int32_t again = s.svr.ExitDevRun(device.Instance());
    s.out.Line("SvrExitDevRun -> " + std::to_string(result) + ", again -> " + std::to_string(again));

    s.out.Section("automation objects");
    hostkit::HostAutomationObject first, second, configuration;
    IDispatch* handed = first.Interface();
    s.svr.SetRunIDispatch(&handed);
    handed = second.Interface();
    s.svr.SetRunIDispatch(&handed);
    handed = configuration.Interface();
    s.svr.SetSetIDispatch(&handed);
    handed = nullptr;
    s.svr.SetRunIDispatch(&handed);
    s.svr.SetSetIDispatch(&handed);
    for (const auto* object : {&first, &second, &configuration}) {
        s.out.Line("addRef=" + std::to_string(object->Counts().addRef) +
                   " release=" + std::to_string(object->Counts().release));
    }
}

}  // namespace transcript
