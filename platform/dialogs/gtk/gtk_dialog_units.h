// Dialog units to pixels for a dialog's font, measured the way the resource
// script's coordinates mean them: a quarter of the average width of the Latin
// letters across, an eighth of the line height down.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>

namespace korvan::platform::gtk {

class DialogUnits {
public:
    // Measures with the font that `widget`'s style gives it.
    explicit DialogUnits(GtkWidget* widget);

    int X(int32_t units) const { return static_cast<int>((units * baseX_ + 2) / 4); }
    int Y(int32_t units) const { return static_cast<int>((units * baseY_ + 4) / 8); }

private:
    int baseX_ = 7;
    int baseY_ = 16;
};

// Twips (1/1440 inch) to pixels at the screen's resolution.
int TwipsToPixels(int32_t twips);

}  // namespace korvan::platform::gtk
