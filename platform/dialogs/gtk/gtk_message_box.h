// A modal message box with the toolkit's question or information icon and OK, or
// OK and Cancel, buttons; kIdOk or kIdCancel as the user answered.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <string_view>

namespace korvan::platform::gtk {

// The message box's window name, by which tools find it.
inline constexpr char kMessageBoxName[] = "message-box";

int32_t RunMessageBox(GtkWindow* parent, std::u16string_view text, std::u16string_view caption, uint32_t style);

}  // namespace korvan::platform::gtk
