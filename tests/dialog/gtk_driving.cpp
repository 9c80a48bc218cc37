#include "tests/dialog/gtk_driving.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>

namespace korvan::testing::gtk {
namespace {

constexpr guint kTickMs = 40;

GtkWidget* FindNamed(GtkWidget* root, const std::string& name) {
    if (name == gtk_widget_get_name(root)) return root;
    if (!GTK_IS_CONTAINER(root)) return nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(root));
    GtkWidget* found = nullptr;
    for (GList* child = children; child != nullptr && found == nullptr; child = child->next) {
        found = FindNamed(GTK_WIDGET(child->data), name);
    }
    g_list_free(children);
    return found;
}

GtkWindow* FindToplevel(const std::string& name) {
    GList* toplevels = gtk_window_list_toplevels();
    GtkWindow* found = nullptr;
    for (GList* item = toplevels; item != nullptr && found == nullptr; item = item->next) {
        GtkWidget* window = GTK_WIDGET(item->data);
        if (name == gtk_widget_get_name(window) && gtk_widget_get_visible(window)) found = GTK_WINDOW(window);
    }
    g_list_free(toplevels);
    return found;
}

}  // namespace

GtkWindow* FindDialog(int32_t templateId) { return FindToplevel("dialog-" + std::to_string(templateId)); }

GtkWidget* FindControl(GtkWindow* dialog, int32_t id) {
    return dialog != nullptr ? FindNamed(GTK_WIDGET(dialog), "control-" + std::to_string(id)) : nullptr;
}

GtkWidget* FindControl(int32_t templateId, int32_t id) { return FindControl(FindDialog(templateId), id); }

GtkDialog* FindMessageBox() {
    GtkWindow* box = FindToplevel("message-box");
    return box != nullptr ? GTK_DIALOG(box) : nullptr;
}

bool IsOnScreen(GtkWindow* window) {
    if (window == nullptr || !gtk_widget_get_mapped(GTK_WIDGET(window))) return false;
    GdkWindow* surface = gtk_widget_get_window(GTK_WIDGET(window));
    return surface != nullptr && gdk_window_is_viewable(surface);
}

void Type(GtkWidget* entry, const std::string& utf8) { gtk_entry_set_text(GTK_ENTRY(entry), utf8.c_str()); }

void Pick(GtkWidget* list, int index) {
    gtk_combo_box_set_active(GTK_COMBO_BOX(list), index);
    g_object_notify(G_OBJECT(list), "popup-shown");  // the list has closed again
}

void Click(GtkWidget* button) { g_signal_emit_by_name(button, "clicked"); }

std::string MessageText(GtkDialog* box) {
    gchar* text = nullptr;
    g_object_get(box, "text", &text, nullptr);
    std::string copy = text != nullptr ? text : "";
    g_free(text);
    return copy;
}

std::vector<std::vector<std::string>> GridLines(GtkWidget* grid) {
    GtkWidget* view = gtk_bin_get_child(GTK_BIN(grid));
    GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(view));
    std::vector<std::vector<std::string>> lines;
    GtkTreeIter line;
    for (bool more = gtk_tree_model_get_iter_first(model, &line); more; more = gtk_tree_model_iter_next(model, &line)) {
        std::vector<std::string>& cells = lines.emplace_back();
        for (int c = 0; c < gtk_tree_model_get_n_columns(model); ++c) {
            gchar* text = nullptr;
            gtk_tree_model_get(model, &line, c, &text, -1);
            cells.emplace_back(text != nullptr ? text : "");
            g_free(text);
        }
    }
    return lines;
}

Picture TakePicture(GtkWindow* window, const std::string& path) {
    Picture picture;
    GdkWindow* surface = gtk_widget_get_window(GTK_WIDGET(window));
    picture.width = gdk_window_get_width(surface);
    picture.height = gdk_window_get_height(surface);
    GdkPixbuf* pixels = gdk_pixbuf_get_from_window(surface, 0, 0, picture.width, picture.height);
    if (pixels == nullptr) return {};
    const int channels = gdk_pixbuf_get_n_channels(pixels);
    const int stride = gdk_pixbuf_get_rowstride(pixels);
    const guchar* data = gdk_pixbuf_read_pixels(pixels);
    std::set<uint32_t> colours;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const guchar* p = data + y * stride + x * channels;
            colours.insert(static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2]);
        }
    }
    picture.colours = static_cast<int>(colours.size());
    if (!path.empty() && !gdk_pixbuf_save(pixels, path.c_str(), "png", nullptr, nullptr)) picture.colours = 0;
    g_object_unref(pixels);
    return picture;
}

Steps::~Steps() {
    if (pending_ != 0) g_source_remove(pending_);
}

Steps& Steps::WaitFor(std::string what, std::function<bool()> ready) {
    steps_.push_back({std::move(what), std::move(ready), nullptr});
    return *this;
}

Steps& Steps::Do(std::function<void()> act) {
    steps_.push_back({"", nullptr, std::move(act)});
    return *this;
}

Steps& Steps::Pause(int ticks) {
    auto left = std::make_shared<int>(ticks);
    return WaitFor("a pause", [left] { return (*left)-- <= 0; });
}

void Steps::Start() {
    waitingSince_ = g_get_monotonic_time();
    Schedule();
}

void Steps::Schedule() { pending_ = g_timeout_add(kTickMs, &Steps::Tick, this); }

gboolean Steps::Tick(gpointer self) {
    auto& steps = *static_cast<Steps*>(self);
    steps.pending_ = 0;
    if (steps.Finished()) return G_SOURCE_REMOVE;
    Step& step = steps.steps_[steps.next_];
    steps.Schedule();  // keeps ticking while this step's act holds a modal loop
    if (step.ready && !step.ready()) {
        if (g_get_monotonic_time() - steps.waitingSince_ > steps.timeoutSeconds_ * G_USEC_PER_SEC) {
            std::fprintf(stderr, "gave up waiting for %s\n", step.what.c_str());
            std::_Exit(3);
        }
        return G_SOURCE_REMOVE;
    }
    ++steps.next_;
    steps.waitingSince_ = g_get_monotonic_time();
    if (step.act) step.act();
    return G_SOURCE_REMOVE;
}

}  // namespace korvan::testing::gtk
