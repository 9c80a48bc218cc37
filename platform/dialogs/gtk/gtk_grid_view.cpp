#include "platform/dialogs/gtk/gtk_grid_view.h"

#include "platform/dialogs/gtk/gtk_dialog_units.h"
#include "platform/dialogs/gtk/gtk_text.h"

namespace korvan::platform::gtk {
namespace {

// Alignments 0..2 are left, 3..5 centred, 6..8 right; 9 (general) is left for text.
float HorizontalAlignment(int32_t alignment) {
    if (alignment >= 3 && alignment <= 5) return 0.5f;
    if (alignment >= 6 && alignment <= 8) return 1.0f;
    return 0.0f;
}

}  // namespace

GridView::GridView()
    : scrolled_(GTK_WIDGET(g_object_ref_sink(gtk_scrolled_window_new(nullptr, nullptr)))),
      view_(GTK_TREE_VIEW(gtk_tree_view_new())) {
    GtkScrolledWindow* scrolled = GTK_SCROLLED_WINDOW(scrolled_.get());
    gtk_scrolled_window_set_shadow_type(scrolled, GTK_SHADOW_IN);
    gtk_scrolled_window_set_policy(scrolled, GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
    gtk_tree_view_set_grid_lines(view_, GTK_TREE_VIEW_GRID_LINES_BOTH);
    gtk_tree_view_set_enable_search(view_, FALSE);
    gtk_container_add(GTK_CONTAINER(scrolled), GTK_WIDGET(view_));
    gtk_widget_show(GTK_WIDGET(view_));
    GtkTreeSelection* selection = gtk_tree_view_get_selection(view_);
    gtk_tree_selection_set_mode(selection, GTK_SELECTION_SINGLE);
    g_signal_connect(selection, "changed", G_CALLBACK(&GridView::OnSelectionChanged), this);
    control_.Model().SetListener(this);
    GridContentChanged();
}

GridView::~GridView() {
    control_.Model().SetListener(nullptr);
    g_signal_handlers_disconnect_by_data(gtk_tree_view_get_selection(view_), this);
}

void GridView::GridContentChanged() {
    if (static_cast<int32_t>(renderers_.size()) != control_.Model().Cols()) RebuildColumns();
    FillColumns();
    FillRows();
    GridCursorMoved();
}

void GridView::RebuildColumns() {
    while (GtkTreeViewColumn* column = gtk_tree_view_get_column(view_, 0)) gtk_tree_view_remove_column(view_, column);
    renderers_.clear();
    const int32_t cols = control_.Model().Cols();
    std::vector<GType> types(static_cast<std::size_t>(cols), G_TYPE_STRING);
    store_.reset(gtk_list_store_newv(cols, types.data()));
    gtk_tree_view_set_model(view_, GTK_TREE_MODEL(store_.get()));
    for (int32_t c = 0; c < cols; ++c) {
        GtkCellRenderer* renderer = gtk_cell_renderer_text_new();
        GtkTreeViewColumn* column = gtk_tree_view_column_new_with_attributes("", renderer, "text", c, nullptr);
        gtk_tree_view_append_column(view_, column);
        renderers_.push_back(renderer);
    }
}

void GridView::FillColumns() {
    const GridModel& model = control_.Model();
    const int rowHeight = TwipsToPixels(model.RowHeightMin());
    for (int32_t c = 0; c < model.Cols(); ++c) {
        const GridColumn& layout = model.Column(c);
        GtkTreeViewColumn* column = gtk_tree_view_get_column(view_, c);
        gtk_tree_view_column_set_title(column, Utf8(model.Cell(0, c)).c_str());
        gtk_tree_view_column_set_alignment(column, HorizontalAlignment(layout.fixedAlignment));
        if (layout.width >= 0) {
            gtk_tree_view_column_set_sizing(column, GTK_TREE_VIEW_COLUMN_FIXED);
            gtk_tree_view_column_set_fixed_width(column, TwipsToPixels(layout.width));
        }
        g_object_set(renderers_[c], "xalign", HorizontalAlignment(layout.alignment), "height",
                     rowHeight > 0 ? rowHeight : -1, nullptr);
    }
}

void GridView::FillRows() {
    const GridModel& model = control_.Model();
    syncing_ = true;
    gtk_list_store_clear(store_.get());
    for (int32_t r = 1; r < model.Rows(); ++r) {
        GtkTreeIter line;
        gtk_list_store_append(store_.get(), &line);
        for (int32_t c = 0; c < model.Cols(); ++c) {
            gtk_list_store_set(store_.get(), &line, c, Utf8(model.Cell(r, c)).c_str(), -1);
        }
    }
    syncing_ = false;
}

void GridView::GridCursorMoved() {
    const int32_t row = control_.Model().Row();
    GtkTreeSelection* selection = gtk_tree_view_get_selection(view_);
    syncing_ = true;
    if (row >= 1) {
        GtkTreePath* path = gtk_tree_path_new_from_indices(row - 1, -1);
        gtk_tree_selection_select_path(selection, path);
        gtk_tree_view_scroll_to_cell(view_, path, nullptr, FALSE, 0, 0);
        gtk_tree_path_free(path);
    } else {
        gtk_tree_selection_unselect_all(selection);
    }
    syncing_ = false;
}

void GridView::OnSelectionChanged(GtkTreeSelection* selection, gpointer self) {
    auto& view = *static_cast<GridView*>(self);
    GtkTreeIter line;
    if (view.syncing_ || !gtk_tree_selection_get_selected(selection, nullptr, &line)) return;
    GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(view.store_.get()), &line);
    const int index = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
    view.control_.Model().SetRow(index + 1);
}

}  // namespace korvan::platform::gtk
