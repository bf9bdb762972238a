#pragma once

#include "platform/ui/View.h"

#include <functional>

namespace ui {

// The view of a container controller: hands its layout pass to the
// controller, which detaches it when it goes (the view may outlive it).
class ControllerView : public View {
public:
    ControllerView(Rect frame, std::function<void()> layout)
        : View(frame)
        , layout_(std::move(layout))
    {
    }
    void detach() { layout_ = nullptr; }
    void layoutSubviews() override
    {
        if (layout_)
            layout_();
    }

private:
    std::function<void()> layout_;
};

} // namespace ui
