// The driver at run time against a simulated drive whose clock moves per telegram:
// every byte on the line, every host array after each call, every host variable.
#include <string>
#include <vector>

#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/host_automation.h"
#include "tools/hostkit/utf8.h"
#include "tools/korvan-transcript/scene_drive.h"
#include "tools/korvan-transcript/transcript.h"

namespace transcript {
namespace {

// The telegrams the drive traced, written down after each call.
class WireLog {
public:
    explicit WireLog(SceneDrive& drive) : drive_(drive) {}
    void MoveTo(Transcript& out) {
        for (const std::string& line : drive_.TakeWireLines()) out.Line("  wire " + line);
    }

private:
    SceneDrive& drive_;
};

hostkit::BlobContent RunConfiguration() {
    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    content.channels.push_back(hostkit::Parameter(516, 0, 4, u"参考值"));
    content.channels.push_back(hostkit::Parameter(204, 1, 6, u"最小参考", 2));
    content.channels.push_back(hostkit::Parameter(537, 2, 3, u"温度"));
    content.channels.push_back(hostkit::Parameter(202, 3, 4, u"上限频率", 2, 1));
    content.channels.push_back(hostkit::Parameter(520, 4, 5, u"电流"));
    content.channels.push_back(hostkit::Parameter(207, 4, 5, u"加速", 1));
    content.channels.push_back(hostkit::Parameter(533, 5, 3, u"显示", 2));
    content.channels.push_back(hostkit::Parameter(621, 5, 3, u"机型"));
    return content;
}

// A parameter the drive lacks, one no drive has, and a data type the drive does not
// know, beside readable channels; the stored read groups are stale.
hostkit::BlobContent StaleConfiguration() {
    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    content.channels.push_back(hostkit::Parameter(1999, 0, 3, u"笔误"));
    content.channels.push_back(hostkit::Parameter(5000, 1, 3, u"超出"));
    content.channels.push_back(hostkit::Parameter(202, 3, 4, u"上限频率"));
    content.channels.push_back(hostkit::Parameter(520, 7, 3, u"未知类型"));
    content.groupStarts = {4};
    content.groupEnds = {4};
    return content;
}

class RunScene {
public:
    RunScene(Session& s, WireLog& wire, KorvanPortHandle line, const hostkit::BlobContent& content = RunConfiguration())
        : s_(s), wire_(wire) {
        device_.SetArchiveBytes(hostkit::EncodeBlob(content));
        device_.SetPort(2, line);
    }
    ~RunScene() { s_.svr.ExitDevRun(device_.Instance()); }

    DeviceInstance* Device() { return device_.Instance(); }

    void Collect(const std::vector<int32_t>& wanted) {
        hostkit::IntArray flags;
        hostkit::Set(flags.raw, wanted);
        hostkit::Set(values_.raw, hostkit::Values(values_.raw));
        const int32_t result = s_.svr.CollectDevData(Device(), &flags, &values_, &texts_);
        wire_.MoveTo(s_.out);
        s_.out.Line("SvrCollectDevData " + Show(flags.raw) + " -> " + std::to_string(result));
        s_.out.Line("  values " + Show(values_.raw));
        s_.out.Line("  texts " + Show(texts_.raw));
    }

    void Command(const std::u16string& text, std::vector<double> results) {
        hostkit::String command;
        hostkit::DoubleArray hostResults;
        hostkit::Set(command.raw, text);
        hostkit::Set(hostResults.raw, results);
        const int32_t result = s_.svr.DevIOCtrl(Device(), &command, &hostResults, 0);
        wire_.MoveTo(s_.out);
        s_.out.Line("SvrDevIOCtrl \"" + hostkit::ToUtf8(text) + "\" -> " + std::to_string(result) + " " +
                    Show(hostResults.raw));
    }

    void Prepare(int32_t channels, bool initialise = true) {
        if (initialise) s_.out.Line("SvrInitDevRun -> " + std::to_string(s_.svr.InitDevRun(Device())));
        hostkit::Set(values_.raw, std::vector<double>(static_cast<std::size_t>(channels), -1.0));
        hostkit::Set(texts_.raw, std::vector<std::u16string>(static_cast<std::size_t>(channels)));
    }

private:
    Session& s_;
    WireLog& wire_;
    hostkit::HostDevice device_;
    hostkit::DoubleArray values_;
    hostkit::StringArray texts_;
};

void ShowVariables(Session& s, const hostkit::HostAutomationObject& host) {
    for (const auto& [name, value] : host.Variables()) {
        std::string shown;
        if (auto* i = std::get_if<int32_t>(&value)) shown = std::to_string(*i);
        else if (auto* f = std::get_if<float>(&value)) shown = Show(static_cast<double>(*f));
        else shown = "\"" + hostkit::ToUtf8(std::get<std::u16string>(value)) + "\"";
        s.out.Line("  variable " + hostkit::ToUtf8(name) + " = " + shown);
    }
    const auto& c = host.Counts();
    s.out.Line("  host calls: lookups " + std::to_string(c.lookups) + " types " + std::to_string(c.getDataType) +
               " gets " + std::to_string(c.getValue) + " sets " + std::to_string(c.setValue));
}

void PlayCollection(RunScene& scene, SceneDrive& drive) {
    const std::vector<int32_t> all(13, 1);
    for (int call = 0; call < 8; ++call) scene.Collect(all);
    scene.Collect({0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1});  // a write-only channel among the wanted
    drive.ScriptFaults("drop,corrupt-bcc,wrong-pnu,refuse,split,noise,bitflip");
    for (int call = 0; call < 9; ++call) scene.Collect(all);
    scene.Collect({0, 0, 1});  // short arrays: flags end early
}

void PlayCommands(RunScene& scene, hostkit::HostAutomationObject& host) {
    const std::vector<double> start = {0, 0, 0, 0x047C, 1};
    scene.Command(u"READ(207,-2,4,F) READ(202,74,3,I)", start);
    scene.Command(u" read ( 621 , 0 , 5 , T )", start);
    scene.Command(u"READ(204,-3,1,F)", start);
    scene.Command(u"WRITE(202,-1,3,1,47.7)", start);
    scene.Command(u"WRITE(204,-3,1,0,-1.5)", start);
    scene.Command(u"WRITE(533,0,5.5,0,T)", start);
    scene.Command(u"WRITE(533,0,5,0,T)", start);
    scene.Command(u"READ(4096,0,0,I)", start);
    scene.Command(u"ZELK_WRITE(8=0.7)", start);
    scene.Command(u"ZELK_WRITE(10=12.5)", start);
    scene.Command(u"ZELK_WRITE(11= 泵站一号 )", start);
    scene.Command(u"ZELK_WRITE(3=5)", start);
    scene.Command(u"ZELK_WRITE(4=5)", {0, 0, 0, 0x043C, 0});
    scene.Command(u"ZELK_WRITE(5=1)", {0});
    scene.Command(u"WRITE(207,-2,4,0,2.5)", {0, 0, 0, 0x043C, 0});
    scene.Command(u"READ(207,-2,4,I), WRITE(1,0,0,0,1)", {0, 0});
    // A typo, a name the host does not know, a mistyped conversion index or a value
    // beyond the type sends nothing; the sound twins below send what they say.
    for (const char16_t* text :
         {u"WRITE(202,-1,3,0,abc)", u"WRITE(207,-2,4,0,12abc)", u"WRITE(202,-1,3,0,Speedd)", u"WRITE(207,x,4,0,5.5)",
          u"WRITE(202,0,3,0,70000)", u"ZELK_WRITE(10=F)", u"ZELK_WRITE(99=1)", u"ZELK_WRITE(9=1)",
          u"READ(202,-1,6,F)", u"WRITE(207,-2,4,0,5.5)", u"WRITE(537,0,2,0,255.9)", u"WRITE(204,0,0,0,-32768)"}) {
        scene.Command(text, start);
    }
    host.FailInvokes(true);
    scene.Command(u"READ(207,-2,4,F)", start);
    host.FailInvokes(false);
}

// Collection straight after loading, with channels that fail for good, and a host
// that answers in other types than asked.
void PlayStubbornChannels(RunScene& scene, hostkit::HostAutomationObject& host) {
    scene.Prepare(9, false);
    for (int call = 0; call < 6; ++call) scene.Collect(std::vector<int32_t>(9, 1));
    host.AnswerLoosely(true);
    scene.Command(u"READ(-0.5,0,3,I) READ(202,-1,3,F)", {0, 0, 0, 0x047C, 1});
    host.AnswerLoosely(false);
}

}  // namespace

void PlayDriveLink(Session& s) {
    s.out.Section("drive link");
    const std::unique_ptr<SceneDrive> drive = StartSceneDrive();
    if (!drive->Error().empty()) {
        s.out.Line("no simulated drive: " + drive->Error());
        return;
    }
    WireLog wire(*drive);
    const KorvanPortHandle line = drive->Line();
    hostkit::HostAutomationObject host;
    host.Declare(u"F", 0.0f);
    host.Declare(u"I", int32_t{7});
    host.Declare(u"T", std::u16string(u"文本"));
    IDispatch* handed = host.HandOut();
    s.svr.SetRunIDispatch(&handed);
    {
        RunScene scene(s, wire, line);
        scene.Prepare(13);
        PlayCollection(scene, *drive);
        PlayCommands(scene, host);
        ShowVariables(s, host);
    }
    {
        RunScene scene(s, wire, line, StaleConfiguration());
        PlayStubbornChannels(scene, host);
        ShowVariables(s, host);
    }
    handed = nullptr;
    s.svr.SetRunIDispatch(&handed);
    drive->Stop();
    wire.MoveTo(s.out);
}

}  // namespace transcript
