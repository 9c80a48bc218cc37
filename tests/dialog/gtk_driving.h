// Driving the driver's real windows from inside the process, the way a person
// would: find the dialog and its controls by the names the driver gives them, type,
// pick and click, answer message boxes, and take pictures. Everything runs from
// steps that the toolkit's main loop calls, since a modal dialog holds the loop.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace korvan::testing::gtk {

GtkWindow* FindDialog(int32_t templateId);  // a visible one
GtkWidget* FindControl(GtkWindow* dialog, int32_t id);
GtkWidget* FindControl(int32_t templateId, int32_t id);
GtkDialog* FindMessageBox();
bool IsOnScreen(GtkWindow* window);

void Type(GtkWidget* entry, const std::string& utf8);
void Pick(GtkWidget* list, int index);  // chooses an entry, then the drop-down closes
void Click(GtkWidget* button);
std::string MessageText(GtkDialog* box);
// The grid's lines below its header, each cell in UTF-8.
std::vector<std::vector<std::string>> GridLines(GtkWidget* grid);

struct Picture {
    int width = 0;
    int height = 0;
    int colours = 0;  // distinct pixel values: a blank window has one or two
};
// Takes the window as the display shows it; saves it as PNG when `path` is not empty.
Picture TakePicture(GtkWindow* window, const std::string& path);

// Steps in order, one per tick of the main loop: a wait holds the queue until its
// condition holds; an act runs once and may run a modal loop of its own, during
// which later steps keep running. A wait that never ends stops the process.
class Steps {
public:
    explicit Steps(int timeoutSeconds = 20) : timeoutSeconds_(timeoutSeconds) {}
    ~Steps();
    Steps(const Steps&) = delete;
    Steps& operator=(const Steps&) = delete;

    Steps& WaitFor(std::string what, std::function<bool()> ready);
    Steps& Do(std::function<void()> act);
    Steps& Pause(int ticks);
    void Start();
    bool Finished() const { return next_ == steps_.size(); }

private:
    struct Step {
        std::string what;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    static gboolean Tick(gpointer self);
    void Schedule();

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    guint pending_ = 0;
    gint64 waitingSince_ = 0;
    int timeoutSeconds_;
};

}  // namespace korvan::testing::gtk
