#include "platform/dialogs/gtk/gtk_text.h"

#include <glib.h>

#include <memory>

namespace korvan::platform::gtk {
namespace {

struct GFreeDeleter {
    void operator()(void* block) const { g_free(block); }
};

}  // namespace

std::string Utf8(std::u16string_view text) {
    glong written = 0;
    std::unique_ptr<gchar, GFreeDeleter> converted(g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(text.data()),
                                                                   static_cast<glong>(text.size()), nullptr,
                                                                   &written, nullptr));
    return converted ? std::string(converted.get(), static_cast<std::size_t>(written)) : std::string();
}

std::u16string Utf16(const char* text) {
    if (text == nullptr) return {};
    glong written = 0;
    std::unique_ptr<gunichar2, GFreeDeleter> converted(g_utf8_to_utf16(text, -1, nullptr, &written, nullptr));
    return converted ? std::u16string(reinterpret_cast<const char16_t*>(converted.get()),
                                      static_cast<std::size_t>(written))
                     : std::u16string();
}

}  // namespace korvan::platform::gtk
