#include "dashcam/CameraInfoPanel.h"

#include "dashcam/CameraOverlayLayout.h"
#include "dashcam/CompassView.h"
#include "platform/ui/Label.h"

namespace {

const ui::Color panelShade = ui::Color::white(20.0 / 255, 0.5);

std::shared_ptr<ui::Label> makeLabel(ui::Rect frame, const char* font, double size)
{
    auto label = std::make_shared<ui::Label>(frame);
    label->setTextColor(ui::Color::white());
    label->setTextAlignment(ui::TextAlignment::Right);
    label->setFont(ui::Font::named(font, size));
    // The digital fonts' stand-ins are wider; the clock runs to the AM or PM at its end.
    label->setAdjustsFontSizeToFitWidth(true);
    return label;
}

}  // namespace

CameraInfoPanel CameraInfoPanel::add(ui::View& overlay, const CameraOverlayLayout& layout, bool coordinates,
                                     bool compass, bool clock)
{
    CameraInfoPanel panel;
    if (coordinates) {
        panel.coordinates = makeLabel(layout.coordinates(), "Digital-Serial DB", 18);
        overlay.addSubview(panel.coordinates);
    }
    if (compass) {
        panel.compass = std::make_shared<CompassView>(layout.compass());
        overlay.addSubview(panel.compass);
    }
    if (clock) {
        panel.clock = makeLabel(layout.clock(coordinates), "DigitalSans NowEF ML Demo", 14);
        panel.clock->setText("00:00");
        overlay.addSubview(panel.clock);
    }
    if (coordinates || clock) {
        panel.shade = std::make_shared<ui::View>(layout.panel(coordinates, clock));
        panel.shade->setBackgroundColor(panelShade);
        overlay.insertSubview(panel.shade, 0);
    }
    return panel;
}
