// The toolkit's widget for each kind of template control (the grid excepted, which
// the window embeds itself). Radio buttons join the group that `groupLeader` leads
// and start a new one at a group start.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "platform/dialogs/dialog_template.h"

namespace korvan::platform::gtk {

// The widget name of a control, which is how tools find it: "control-<id>".
std::string ControlWidgetName(int32_t id);
// The name of a dialog's window: "dialog-<template id>".
std::string DialogWidgetName(int32_t templateId);

GtkWidget* MakeControlWidget(const ControlTemplate& control, GtkWidget*& groupLeader);

}  // namespace korvan::platform::gtk
