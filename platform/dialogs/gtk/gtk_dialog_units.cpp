#include "platform/dialogs/gtk/gtk_dialog_units.h"

namespace korvan::platform::gtk {

DialogUnits::DialogUnits(GtkWidget* widget) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    PangoLayout* layout = gtk_widget_create_pango_layout(widget, kLetters);
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    if (width > 0) baseX_ = (width / 26 + 1) / 2;
    if (height > 0) baseY_ = height;
}

int TwipsToPixels(int32_t twips) {
    double dpi = gdk_screen_get_resolution(gdk_screen_get_default());
    if (dpi <= 0) dpi = 96.0;
    return static_cast<int>(twips * dpi / 1440.0 + 0.5);
}

}  // namespace korvan::platform::gtk
