// The dialog templates that the system's resource compiler put into the built DLL,
// read back from its resources the way DialogBoxParamW reads them, against the
// resource script as the project's own compiler reads it for the Linux builds: the
// same dialogs, controls, places, behaviour styles and texts (UTF-8 in the script,
// so a compiler that took it for another code page would garble every Chinese text);
// and the version resources of the DLL and korvan-host.exe.
#include <gtest/gtest.h>

#include <windows.h>
#include <winver.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "resources/rc/rc_parser.h"
#include "tools/hostkit/driver_library.h"

namespace korvan::testing {
namespace {

// ---- DLGTEMPLATEEX and DLGITEMTEMPLATEEX, read without trusting any length ----------

class Reader {
public:
    Reader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Ok() const { return ok_; }
    template <class T>
    T Take() {
        T value{};
        if (!Has(sizeof(T))) return value;
        std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }
    std::wstring Text() {
        std::wstring text;
        for (wchar_t c = Take<wchar_t>(); ok_ && c != L'\0'; c = Take<wchar_t>()) text += c;
        return text;
    }
    // A name or an ordinal: 0xFFFF and a number, or a text; an ordinal reads as "#n".
    std::wstring NameOrOrdinal() {
        const auto first = Take<uint16_t>();
        if (first == 0xFFFF) return L"#" + std::to_wstring(Take<uint16_t>());
        if (first == 0) return L"";
        return static_cast<wchar_t>(first) + Text();
    }
    void AlignTo(std::size_t boundary) { pos_ = (pos_ + boundary - 1) / boundary * boundary; }
    void Skip(std::size_t bytes) {
        if (Has(bytes)) pos_ += bytes;
    }

private:
    bool Has(std::size_t bytes) {
        ok_ = ok_ && pos_ <= size_ && bytes <= size_ - pos_;
        return ok_;
    }
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

struct Item {
    DWORD style;
    int16_t x, y, width, height;
    int32_t id;
    std::wstring windowClass;
    std::wstring text;
};

struct Template {
    DWORD style;
    int16_t x, y, width, height;
    std::wstring caption;
    uint16_t fontPoints = 0;
    std::wstring fontName;
    std::vector<Item> items;
};

std::optional<Template> ReadTemplate(const uint8_t* data, std::size_t size) {
    Reader in(data, size);
    Template dialog{};
    if (in.Take<uint16_t>() != 1 || in.Take<uint16_t>() != 0xFFFF) return std::nullopt;  // DIALOGEX only
    in.Take<DWORD>();  // help identifier
    in.Take<DWORD>();  // extended style
    dialog.style = in.Take<DWORD>();
    const auto count = in.Take<uint16_t>();
    dialog.x = in.Take<int16_t>();
    dialog.y = in.Take<int16_t>();
    dialog.width = in.Take<int16_t>();
    dialog.height = in.Take<int16_t>();
    in.NameOrOrdinal();  // menu
    in.NameOrOrdinal();  // class
    dialog.caption = in.Text();
    if ((dialog.style & DS_SETFONT) != 0) {
        dialog.fontPoints = in.Take<uint16_t>();
        in.Take<uint16_t>();  // weight
        in.Take<uint16_t>();  // italic and character set
        dialog.fontName = in.Text();
    }
    for (uint16_t i = 0; i < count && in.Ok(); ++i) {
        in.AlignTo(4);
        Item item{};
        in.Take<DWORD>();  // help identifier
        in.Take<DWORD>();  // extended style
        item.style = in.Take<DWORD>();
        item.x = in.Take<int16_t>();
        item.y = in.Take<int16_t>();
        item.width = in.Take<int16_t>();
        item.height = in.Take<int16_t>();
        item.id = in.Take<int32_t>();
        item.windowClass = in.NameOrOrdinal();
        item.text = in.NameOrOrdinal();
        in.Skip(in.Take<uint16_t>());  // creation data
        dialog.items.push_back(item);
    }
    if (!in.Ok()) return std::nullopt;
    return dialog;
}

// ---- What a control is, from its class and style, in the script compiler's words ---

std::string Kind(const Item& item) {
    const DWORD type = item.style & BS_TYPEMASK;
    if (item.windowClass == L"#128") {  // button
        if (type == BS_PUSHBUTTON) return "kPushButton";
        if (type == BS_DEFPUSHBUTTON) return "kDefaultButton";
        if (type == BS_AUTOCHECKBOX) return "kCheckBox";
        if (type == BS_AUTORADIOBUTTON) return "kRadioButton";
        if (type == BS_GROUPBOX) return "kGroupBox";
    }
    if (item.windowClass == L"#129") return "kEdit";
    if (item.windowClass == L"#130") return "kLabel";
    if (item.windowClass == L"#133" && (item.style & 3) == CBS_DROPDOWNLIST) return "kDropDownList";
    if (lstrcmpiW(item.windowClass.c_str(), L"ZelkGrid") == 0) return "kGrid";  // class names are case-blind
    return "unknown class " + std::string(item.windowClass.begin(), item.windowClass.end());
}

std::vector<std::string> BehaviourStyles(const Item& item) {
    std::vector<std::string> styles;
    if ((item.style & WS_GROUP) != 0) styles.push_back("kGroupStart");
    if ((item.style & WS_TABSTOP) != 0) styles.push_back("kTabStop");
    if ((item.style & WS_DISABLED) != 0) styles.push_back("kDisabled");
    if ((item.style & WS_VISIBLE) == 0) styles.push_back("kHidden");
    const bool aligns = item.windowClass == L"#129" || item.windowClass == L"#130";  // edit, static
    if (aligns && (item.style & 3) == 2) styles.push_back("kAlignRight");  // SS_RIGHT, ES_RIGHT
    if (aligns && (item.style & 3) == 1) styles.push_back("kAlignCenter");
    std::sort(styles.begin(), styles.end());
    return styles;
}

std::wstring Wide(const std::string& utf8) {
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                         nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
    }
    return text;
}

std::vector<rc::DialogEntry> ScriptDialogs() {
    std::ifstream in(KORVAN_RESOURCE_SCRIPT, std::ios::binary);
    std::ostringstream script;
    script << in.rdbuf();
    return rc::ParseScript(script.str());
}

TEST(DllResources, EveryTemplateOfTheScriptIsInTheDllWithTheSameControlsAndTexts) {
    hostkit::DriverLibrary driver(hostkit::DriverPath(KORVAN_BUILT_DRIVER));
    ASSERT_TRUE(driver.Loaded()) << driver.Error();
    const auto module = static_cast<HMODULE>(driver.Module());
    const std::vector<rc::DialogEntry> script = ScriptDialogs();
    ASSERT_EQ(script.size(), 2u);

    for (const rc::DialogEntry& expected : script) {
        SCOPED_TRACE("dialog " + std::to_string(expected.id));
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(expected.id), MAKEINTRESOURCEW(5));  // RT_DIALOG
        ASSERT_NE(found, nullptr);
        const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
        ASSERT_NE(data, nullptr);
        const std::optional<Template> dialog = ReadTemplate(data, SizeofResource(module, found));
        ASSERT_TRUE(dialog.has_value()) << "not a whole DIALOGEX template";

        EXPECT_EQ(dialog->caption, Wide(expected.caption));
        EXPECT_EQ(dialog->fontName, Wide(expected.fontName));
        EXPECT_EQ(dialog->fontPoints, expected.fontPoints);
        EXPECT_EQ(std::tie(dialog->width, dialog->height), std::make_tuple(expected.width, expected.height));
        EXPECT_NE(dialog->style & WS_CAPTION, 0u);
        EXPECT_EQ(dialog->style & DS_SHELLFONT, static_cast<DWORD>(DS_SHELLFONT));  // the system's dialog font
        ASSERT_EQ(dialog->items.size(), expected.controls.size());
        for (std::size_t i = 0; i < expected.controls.size(); ++i) {
            const rc::ControlEntry& control = expected.controls[i];
            const Item& item = dialog->items[i];
            SCOPED_TRACE("control " + std::to_string(control.id));
            std::vector<std::string> styles = control.styles;
            std::sort(styles.begin(), styles.end());
            EXPECT_EQ(item.id, control.id);
            EXPECT_EQ(Kind(item), control.kind);
            EXPECT_EQ(item.text, Wide(control.text));
            EXPECT_EQ(std::make_tuple(item.x, item.y, item.width, item.height),
                      std::make_tuple(control.x, control.y, control.width, control.height));
            EXPECT_EQ(BehaviourStyles(item), styles);
            EXPECT_NE(item.style & WS_CHILD, 0u);
        }
    }
}

}  // namespace
// Explorer's Properties and installers read a file's version resource.
TEST(DllResources, TheDriverAndKorvanHostCarryTheProjectsVersion) {
    for (const std::string& path : {hostkit::DriverPath(KORVAN_BUILT_DRIVER), std::string(KORVAN_HOST_PROGRAM)}) {
        SCOPED_TRACE(path);
        const std::wstring file = Wide(path);
        std::vector<uint8_t> info(GetFileVersionInfoSizeW(file.c_str(), nullptr));
        ASSERT_FALSE(info.empty());
        ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT size = 0;
        ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
        wchar_t* text = nullptr;
        ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\FileVersion",
                                   reinterpret_cast<void**>(&text), &size));
        EXPECT_EQ(std::wstring(text), Wide(KORVAN_VERSION));
        const std::wstring version = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                     std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                     std::to_wstring(HIWORD(fixed->dwFileVersionLS));
        EXPECT_EQ(version, Wide(KORVAN_VERSION));
    }
}

}  // namespace korvan::testing
