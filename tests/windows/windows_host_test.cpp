// A Windows host written from the Windows ABI page and the public header alone: the
// driver loaded with LoadLibraryW and called through GetProcAddress with the header's
// types, host blocks on the process heap, BSTRs and variants of oleaut32, and the
// system's own IDispatch. The COM-port cases run when KORVAN_COM_PORTS names the ports
// of simulated drives (clean, dropping, corrupting the check character, refusing).
#include <windows.h>
#include <oleauto.h>

#include "korvan/host_abi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools/hostkit/com_port.h"
#include "tools/hostkit/config_blob.h"

namespace {

// ---- Host blocks on the process heap ------------------------------------------------

void* Allocate(std::size_t bytes) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes); }
void Release(void* block) {
    if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}
bool OnProcessHeap(const void* block) { return HeapSize(GetProcessHeap(), 0, block) != static_cast<SIZE_T>(-1); }

wchar_t* Text(const std::wstring& text) {
    auto* block = static_cast<wchar_t*>(Allocate((text.size() + 1) * sizeof(wchar_t)));
    text.copy(block, text.size());
    return block;
}

template <class Array, class Element>
void Fill(Array& array, const std::vector<Element>& values) {
    array.data = static_cast<Element*>(Allocate(values.size() * sizeof(Element) + 1));
    for (std::size_t i = 0; i < values.size(); ++i) array.data[i] = values[i];
    array.count = array.capacity = static_cast<int32_t>(values.size());
}

void Fill(HostStringArray& array, const std::vector<std::wstring>& values) {
    array.data = static_cast<HostString*>(Allocate(values.size() * sizeof(HostString) + 1));
    for (std::size_t i = 0; i < values.size(); ++i) array.data[i].text = values[i].empty() ? nullptr : Text(values[i]);
    array.count = array.capacity = static_cast<int32_t>(values.size());
}

void Empty(HostStringArray& array) {
    for (int32_t i = 0; array.data != nullptr && i < array.capacity; ++i) Release(array.data[i].text);
    Release(array.data);
    array = {};
}

template <class Array>
void Empty(Array& array) {
    Release(array.data);
    array = {};
}

std::vector<std::wstring> Texts(const HostStringArray& array) {
    std::vector<std::wstring> texts;
    for (int32_t i = 0; i < array.count; ++i) texts.emplace_back(array.data[i].text ? array.data[i].text : L"");
    return texts;
}

// ---- The driver ---------------------------------------------------------------------

class Driver {
public:
    Driver() : module_(LoadLibraryW(Path().c_str())) {}
    ~Driver() { Unload(); }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    bool Loaded() const { return module_ != nullptr; }
    void Unload() {
        if (module_ != nullptr) FreeLibrary(module_);
        module_ = nullptr;
    }
    template <class Function>
    Function Entry(const char* name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

    int32_t DoHelp(HostString* text, int32_t* id) { return Entry<decltype(&SvrDoHelp)>("SvrDoHelp")(text, id); }
    int32_t GetDevInfo() { return Entry<decltype(&SvrGetDevInfo)>("SvrGetDevInfo")(); }
    int32_t EditProperties(void* unused, uint8_t* flag) {
        return Entry<decltype(&SvrEditProperties)>("SvrEditProperties")(unused, flag);
    }
    int32_t Device(const char* name, DeviceInstance* device) { return Entry<decltype(&SvrInitDevRun)>(name)(device); }
    int32_t GetChannel(DeviceInstance* device, HostStringArray* names, HostIntArray* types) {
        return Entry<decltype(&SvrGetChannel)>("SvrGetChannel")(device, names, types);
    }
    int32_t GetProperty(DeviceInstance* device, HostStringArray* names, HostStringArray* values, HostByteArray* flags) {
        return Entry<decltype(&SvrGetProperty)>("SvrGetProperty")(device, names, values, flags);
    }
    int32_t SetProperty(DeviceInstance* device, HostStringArray* names, HostStringArray* values) {
        return Entry<decltype(&SvrSetProperty)>("SvrSetProperty")(device, names, values);
    }
    int32_t Collect(DeviceInstance* device, HostIntArray* wanted, HostDoubleArray* values, HostStringArray* texts) {
        return Entry<decltype(&SvrCollectDevData)>("SvrCollectDevData")(device, wanted, values, texts);
    }
    int32_t IoCtrl(DeviceInstance* device, HostString* command, HostDoubleArray* results) {
        return Entry<decltype(&SvrDevIOCtrl)>("SvrDevIOCtrl")(device, command, results, 0);
    }
    int32_t SetSetObject(IDispatch** object) { return Entry<decltype(&SvrSetSetIDispatch)>("SvrSetSetIDispatch")(object); }
    int32_t SetRunObject(IDispatch** object) { return Entry<decltype(&SvrSetRunIDispatch)>("SvrSetRunIDispatch")(object); }

private:
    static std::wstring Path() {
        const char* path = std::getenv("KORVAN_DRIVER");
        const std::string narrow = path != nullptr ? path : KORVAN_BUILT_DRIVER;
        return std::wstring(narrow.begin(), narrow.end());
    }
    HMODULE module_;
};

// A device as the host keeps it: its record and its archive, whose buffer is the host's.
struct Device {
    Device() { instance.configArchive = &archive; }
    ~Device() { Empty(archive.buffer); }
    void Load(const std::vector<uint8_t>& blob) {
        Empty(archive.buffer);
        Fill(archive.buffer, blob);
        archive.position = 0;
        archive.mode = 0;
    }
    std::vector<uint8_t> Blob() const {
        return std::vector<uint8_t>(archive.buffer.data, archive.buffer.data + archive.buffer.count);
    }
    ConfigArchive archive{};
    DeviceInstance instance{};
};

// ---- The host's automation object ---------------------------------------------------

// Counts its references and holds typed host variables, offering GetDataType,
// GetValueFromName and SetValueFromName by name.
class HostObject final : public IDispatch {
public:
    ~HostObject() {
        for (auto& [name, value] : variables_) VariantClear(&value);
    }
    LONG References() const { return references_; }
    LONG Releases() const { return releases_; }

    void Declare(const std::wstring& name, VARIANT value) {
        VARIANT& slot = variables_[name];
        VariantClear(&slot);
        VariantCopy(&slot, &value);
    }
    VARIANT Value(const std::wstring& name) { return variables_[name]; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        InterlockedIncrement(&releases_);
        return static_cast<ULONG>(InterlockedDecrement(&references_));
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count != nullptr) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (names == nullptr || ids == nullptr || count != 1) return DISP_E_UNKNOWNNAME;
        const std::wstring name = names[0];
        ids[0] = name == L"GetDataType" ? 1 : name == L"GetValueFromName" ? 2 : name == L"SetValueFromName" ? 3 : -1;
        return ids[0] == -1 ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        if (params == nullptr || params->cArgs < 1 || params->rgvarg[params->cArgs - 1].vt != VT_BSTR) {
            return DISP_E_BADPARAMCOUNT;
        }
        const std::wstring name = params->rgvarg[params->cArgs - 1].bstrVal;  // the first argument stands last
        const auto found = variables_.find(name);
        LONG answer = found != variables_.end() ? 1 : 0;
        if (id == 1) {
            const VARTYPE type = found != variables_.end() ? found->second.vt : VARTYPE{VT_EMPTY};
            answer = type == VT_I4 ? 1 : type == VT_R4 ? 2 : type == VT_BSTR ? 3 : 0;
        } else if (id == 2 && found != variables_.end() && params->cArgs == 2) {
            VARIANT* target = params->rgvarg[0].vt == (VT_VARIANT | VT_BYREF) ? params->rgvarg[0].pvarVal : nullptr;
            if (target != nullptr) VariantChangeType(target, &found->second, 0, target->vt);
        } else if (id == 3 && found != variables_.end() && params->cArgs == 2) {
            VariantChangeType(&found->second, &params->rgvarg[0], 0, found->second.vt);
        } else if (id < 1 || id > 3) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (result != nullptr) {
            VariantInit(result);
            result->vt = VT_I4;
            result->lVal = answer;
        }
        return S_OK;
    }

private:
    LONG references_ = 1;
    LONG releases_ = 0;
    std::map<std::wstring, VARIANT> variables_;
};

VARIANT Integer(LONG value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT Float(float value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R4;
    v.fltVal = value;
    return v;
}

class WindowsHost : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(driver.Loaded()) << "LoadLibraryW: error " << GetLastError(); }
    void TearDown() override {
        if (driver.Loaded()) driver.Device("SvrExitDevRun", &device.instance);
    }
    std::vector<std::wstring> ChannelNames() {
        HostStringArray names{};
        HostIntArray types{};
        EXPECT_EQ(driver.GetChannel(&device.instance, &names, &types), 1);
        std::vector<std::wstring> texts = Texts(names);
        Empty(names);
        Empty(types);
        return texts;
    }

    Driver driver;
    Device device;
};

// ---- Through the DLL ----------------------------------------------------------------

TEST_F(WindowsHost, FixedAnswersAndBlocksOnTheProcessHeap) {
    HostString text{Text(L"a text the driver replaces")};
    int32_t helpId = 0;
    EXPECT_EQ(driver.DoHelp(&text, &helpId), 1);
    ASSERT_NE(text.text, nullptr);
    EXPECT_EQ(std::wstring(text.text), L"VLT5000");
    EXPECT_TRUE(OnProcessHeap(text.text));
    Release(text.text);
    EXPECT_EQ(helpId, 2102072502);
    EXPECT_EQ(driver.GetDevInfo(), 0);
    uint8_t flag = 0;
    EXPECT_EQ(driver.EditProperties(nullptr, &flag), 1);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(driver.Device("SvrEditCustomProperty", &device.instance), 1);  // no dialog yet: nothing changes

    // Arrays the host made are resized by the driver; the host frees what it finds.
    HostStringArray names{};
    HostStringArray values{};
    HostByteArray flags{};
    Fill(names, std::vector<std::wstring>{L"old"});
    Fill(values, std::vector<std::wstring>{L"old", L"", L"older"});
    EXPECT_EQ(driver.GetProperty(&device.instance, &names, &values, &flags), 1);
    ASSERT_EQ(names.count, 2);
    ASSERT_EQ(values.count, 2);
    EXPECT_EQ(Texts(values), (std::vector<std::wstring>{L"1", L"200"}));
    for (const HostStringArray* array : {&names, &values}) {
        EXPECT_TRUE(OnProcessHeap(array->data));
        for (int32_t i = 0; i < array->count; ++i) EXPECT_TRUE(OnProcessHeap(array->data[i].text));
    }
    Empty(names);
    Empty(values);
    Empty(flags);
    EXPECT_TRUE(OnProcessHeap(device.archive.buffer.data));  // the default configuration, saved
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

// Run once where GetACP() answers 936 and once, with KORVAN_OTHER_CODE_PAGE set, where
// it does not: the names are code page 936 either way.
TEST_F(WindowsHost, TheBlobKeepsChineseNamesAcrossASaveAndAReload) {
    if (std::getenv("KORVAN_OTHER_CODE_PAGE") != nullptr) ASSERT_NE(GetACP(), 936u);
    else ASSERT_EQ(GetACP(), 936u);
    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    content.channels.push_back(hostkit::Parameter(202, 3, 4, u"上限频率", 2));
    content.channels.push_back(hostkit::Parameter(621, 5, 3, u"机型"));
    const std::vector<uint8_t> blob = hostkit::EncodeBlob(content);
    device.Load(blob);
    const std::vector<std::wstring> names = ChannelNames();
    EXPECT_EQ(names, (std::vector<std::wstring>{L"通讯状态", L"当前频率", L"状态字", L"控制字", L"期望值", L"上限频率",
                                                 L"机型"}));

    HostStringArray none{};
    EXPECT_EQ(driver.SetProperty(&device.instance, &none, &none), 1);  // saves the configuration
    const std::vector<uint8_t> saved = device.Blob();
    EXPECT_EQ(saved, blob);  // byte for byte

    driver.Device("SvrExitDevRun", &device.instance);
    driver.Unload();
    Driver again;
    ASSERT_TRUE(again.Loaded());
    device.Load(saved);
    HostStringArray reloaded{};
    HostIntArray types{};
    EXPECT_EQ(again.GetChannel(&device.instance, &reloaded, &types), 1);
    EXPECT_EQ(Texts(reloaded), names);
    Empty(reloaded);
    Empty(types);
    again.Device("SvrExitDevRun", &device.instance);
}

TEST_F(WindowsHost, AutomationObjectsAreTakenOverAndReleasedOnce) {
    HostObject first, second, run;
    IDispatch* handed = &first;
    EXPECT_EQ(driver.SetSetObject(&handed), 1);
    EXPECT_EQ(first.References(), 1);  // taken over, no reference added
    handed = &second;
    driver.SetSetObject(&handed);
    EXPECT_EQ(first.Releases(), 1);
    driver.SetSetObject(nullptr);
    EXPECT_EQ(second.Releases(), 1);
    handed = &run;
    driver.SetRunObject(&handed);
    driver.Unload();  // FreeLibrary releases what the driver holds
    EXPECT_EQ(run.Releases(), 1);
    EXPECT_EQ(first.Releases() + second.Releases(), 2);
}

// A handle that is no COM port (here a pipe) fails the exchange at once: with a wait
// time of ten minutes, a driver that waited for a reply would outlast the test's limit.
TEST_F(WindowsHost, AHandleThatIsNoComPortFailsAtOnce) {
    HANDLE reading = nullptr;
    HANDLE writing = nullptr;
    ASSERT_TRUE(CreatePipe(&reading, &writing, nullptr, 0));
    HostStringArray names{};
    HostStringArray values{};
    Fill(names, std::vector<std::wstring>{L"通讯等待时间"});
    Fill(values, std::vector<std::wstring>{L"600000"});
    EXPECT_EQ(driver.SetProperty(&device.instance, &names, &values), 1);
    Empty(names);
    Empty(values);
    device.instance.portKind = 2;
    device.instance.portHandle = writing;
    HostString command{Text(L"READ(202,-1,3,F)")};
    HostDoubleArray results{};
    Fill(results, std::vector<double>{0, 0, 0, 0, 0});
    EXPECT_EQ(driver.IoCtrl(&device.instance, &command, &results), 0);
    EXPECT_EQ(results.data[0], 2.0);  // no reply
    DWORD waiting = 0;
    EXPECT_TRUE(PeekNamedPipe(reading, nullptr, 0, nullptr, &waiting, nullptr));
    EXPECT_EQ(waiting, 0u);  // nothing was written
    Release(command.text);
    Empty(results);
    CloseHandle(reading);
    CloseHandle(writing);
}

// ---- Through a COM port -------------------------------------------------------------

// The ports of the simulated drives, in KORVAN_COM_PORTS: "clean,drop,corrupt,refuse".
std::vector<std::wstring> ComPorts() {
    std::vector<std::wstring> ports;
    const char* list = std::getenv("KORVAN_COM_PORTS");
    std::stringstream names(list != nullptr ? list : "");
    for (std::string name; std::getline(names, name, ',');) ports.emplace_back(name.begin(), name.end());
    return ports;
}

class ComPortHost : public WindowsHost {
protected:
    void SetUp() override {
        WindowsHost::SetUp();
        ports = ComPorts();
        if (ports.size() != 4) GTEST_SKIP() << "no simulated drives on COM ports (KORVAN_COM_PORTS)";
        hostkit::BlobContent content;
        content.channels = hostkit::FixedChannels();
        content.channels.push_back(hostkit::Parameter(202, 3, 4, u"上限频率", 2));  // uint16, 0.1
        content.channels.push_back(hostkit::Parameter(207, 4, 5, u"加速时间", 2));  // uint32, 0.01
        content.channels.push_back(hostkit::Parameter(621, 5, 3, u"机型"));
        device.Load(hostkit::EncodeBlob(content));
        host.Declare(L"F", Float(0.0f));
        host.Declare(L"I", Integer(45));
        IDispatch* handed = &host;
        host.AddRef();  // the driver takes this reference over
        driver.SetRunObject(&handed);
    }
    void TearDown() override {
        WindowsHost::TearDown();
        driver.SetRunObject(nullptr);
        if (device.instance.portHandle != nullptr) CloseHandle(device.instance.portHandle);
    }
    void Use(std::size_t port) {
        if (device.instance.portHandle != nullptr) CloseHandle(device.instance.portHandle);
        device.instance.portKind = 2;
        device.instance.portHandle = hostkit::OpenComPort(std::string(ports[port].begin(), ports[port].end()));
        ASSERT_NE(device.instance.portHandle, nullptr) << "error " << GetLastError();
    }
    double Command(const std::wstring& text) {
        HostString command{Text(text)};
        HostDoubleArray results{};
        Fill(results, std::vector<double>{0, 0, 0, 0x047C, 1});
        EXPECT_EQ(driver.IoCtrl(&device.instance, &command, &results), 0);
        const double status = results.data[0];
        Release(command.text);
        Empty(results);
        return status;
    }
    // One collection call wanting every channel: its result, then the values.
    int32_t Collect(std::vector<double>& values, std::vector<std::wstring>& texts) {
        HostIntArray wanted{};
        HostDoubleArray numbers{};
        HostStringArray words{};
        Fill(wanted, std::vector<int32_t>(8, 1));
        Fill(numbers, values);
        Fill(words, texts);
        const int32_t result = driver.Collect(&device.instance, &wanted, &numbers, &words);
        values.assign(numbers.data, numbers.data + numbers.count);
        texts = Texts(words);
        Empty(wanted);
        Empty(numbers);
        Empty(words);
        return result;
    }

    std::vector<std::wstring> ports;
    HostObject host;
};

TEST_F(ComPortHost, CommandsAndCollectionAgreeWithTheDrive) {
    Use(0);
    ASSERT_EQ(driver.Device("SvrInitDevRun", &device.instance), 1);
    EXPECT_EQ(Command(L"WRITE(202,-1,3,0,I)"), 0.0);   // 45 Hz from the host's integer
    EXPECT_EQ(Command(L"WRITE(207,-2,4,0,2.5)"), 0.0);  // 2.5 s
    EXPECT_EQ(Command(L"READ(202,-1,3,F)"), 0.0);
    EXPECT_EQ(host.Value(L"F").fltVal, 45.0f);
    EXPECT_EQ(Command(L"ZELK_WRITE(5=47.5)"), 0.0);      // channel 5 is parameter 202
    EXPECT_EQ(Command(L"READ(202,-1,3,I)"), 0.0);
    EXPECT_EQ(host.Value(L"I").lVal, 47);  // an integer variable takes the value toward zero

    std::vector<double> values(8, -1.0);
    std::vector<std::wstring> texts(8);
    for (int call = 0; call < 4; ++call) ASSERT_EQ(Collect(values, texts), 0) << call;
    EXPECT_EQ(values[0], 0.0);
    EXPECT_DOUBLE_EQ(values[5], 47.5);
    EXPECT_DOUBLE_EQ(values[6], 2.5);
    EXPECT_EQ(texts[7], L"VLT5005 380-500V  ");
}

TEST_F(ComPortHost, EachFaultOnTheLineGivesItsStatus) {
    const std::pair<std::size_t, double> faults[] = {{1, 2.0}, {2, 3.0}, {3, 4.0}};  // drop, bad check, refusal
    ASSERT_EQ(driver.Device("SvrInitDevRun", &device.instance), 1);
    for (const auto& [port, status] : faults) {
        Use(port);
        EXPECT_EQ(Command(L"READ(202,-1,3,F)"), status) << "port " << port;
        std::vector<double> values(8, -1.0);
        std::vector<std::wstring> texts(8);
        EXPECT_EQ(Collect(values, texts), -100) << "port " << port;
        EXPECT_EQ(values[0], status) << "port " << port;
    }
}

}  // namespace
