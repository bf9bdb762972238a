#pragma once

#include <memory>

class CameraOverlayLayout;
class CompassView;
namespace ui {
class Label;
class View;
}

// The top of the dash camera's overlay: the coordinates over the clock on a
// shade at the right, the compass strip in the middle; each only when on.
struct CameraInfoPanel {
    std::shared_ptr<ui::Label> coordinates;
    std::shared_ptr<CompassView> compass;
    std::shared_ptr<ui::Label> clock;
    std::shared_ptr<ui::View> shade;

    // Builds the pieces that are on into `overlay`, the shade beneath everything in it.
    static CameraInfoPanel add(ui::View& overlay, const CameraOverlayLayout& layout, bool coordinates, bool compass,
                               bool clock);
};
