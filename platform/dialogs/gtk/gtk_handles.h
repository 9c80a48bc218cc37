// Ownership of toolkit objects: widgets that are destroyed, objects whose
// reference is dropped, a main loop, and a style sheet registered for the screen.
#pragma once

#include <gtk/gtk.h>

#include <memory>

namespace korvan::platform::gtk {

struct WidgetDestroyer {
    void operator()(GtkWidget* widget) const { gtk_widget_destroy(widget); }
};
struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct MainLoopUnref {
    void operator()(GMainLoop* loop) const { g_main_loop_unref(loop); }
};

using OwnedWidget = std::unique_ptr<GtkWidget, WidgetDestroyer>;
using OwnedMainLoop = std::unique_ptr<GMainLoop, MainLoopUnref>;
template <class Object>
using OwnedObject = std::unique_ptr<Object, ObjectUnref>;

// A style sheet that applies to the whole screen while this object lives.
class ScreenStyle {
public:
    explicit ScreenStyle(const char* css) : provider_(gtk_css_provider_new()) {
        gtk_css_provider_load_from_data(provider_.get(), css, -1, nullptr);
        gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider_.get()),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    }
    ~ScreenStyle() {
        gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider_.get()));
    }
    ScreenStyle(const ScreenStyle&) = delete;
    ScreenStyle& operator=(const ScreenStyle&) = delete;

private:
    OwnedObject<GtkCssProvider> provider_;
};

}  // namespace korvan::platform::gtk
