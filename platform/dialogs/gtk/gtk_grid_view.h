// The grid control on screen: a tree view in a scrolled window that shows a
// GridModel. Row 0 becomes the column headers, rows from 1 the list; the model's
// current row is the selected line, and picking a line moves the model's cursor.
#pragma once

#include <gtk/gtk.h>

#include <vector>

#include "platform/dialogs/grid_control.h"
#include "platform/dialogs/gtk/gtk_handles.h"

namespace korvan::platform::gtk {

class GridView final : public GridListener {
public:
    GridView();
    ~GridView();
    GridView(const GridView&) = delete;
    GridView& operator=(const GridView&) = delete;

    GtkWidget* Widget() const { return scrolled_.get(); }
    GridControl& Control() { return control_; }

    void GridContentChanged() override;
    void GridCursorMoved() override;

private:
    void RebuildColumns();
    void FillColumns();
    void FillRows();
    static void OnSelectionChanged(GtkTreeSelection* selection, gpointer self);

    GridControl control_;
    OwnedObject<GtkWidget> scrolled_;  // our reference; the container it is put in holds another
    GtkTreeView* view_;               // the scrolled window's child
    OwnedObject<GtkListStore> store_;
    std::vector<GtkCellRenderer*> renderers_;
    bool syncing_ = false;
};

}  // namespace korvan::platform::gtk
