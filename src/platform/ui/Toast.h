#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/View.h"

#include <string>

namespace ui {

enum class ToastPosition { Top, Center, Bottom };

// The look of a toast: by default a dark translucent rounded box with white text.
struct ToastStyle {
    Color backgroundColor = Color::black().withAlpha(0.8);
    Color messageColor = Color::white();
    Font messageFont = Font::systemFont(16);
    double cornerRadius = 10;
    double horizontalPadding = 10;
    double verticalPadding = 10;
    double maxWidthPercentage = 0.8;  // of the view's width
    double maxHeightPercentage = 0.8; // of the view's height
    double fadeDuration = 0.2;

    void setMessageColor(Color color) { messageColor = color; }
    void setMessageFont(Font font) { messageFont = std::move(font); }
};

// A shown toast (tests find it among the view's subviews).
class ToastView : public View {
public:
    ToastView(std::string message, const ToastStyle& style, Size maxSize);
    const std::string& message() const { return message_; }

private:
    std::string message_;
};

// Shows a transient message over `view` (held by a shared_ptr): it fades
// in, stays `duration` seconds, fades out, all on the run loop's clock. A
// toast made while another shows over the same view waits for it.
void makeToast(View& view, const std::string& message, double duration, ToastPosition position,
               const ToastStyle& style = {});

// Drops the toasts waiting over `view` and fades out the one shown (a message that no longer holds).
void hideToasts(View& view);

// The toast now over `view`, if any.
ToastView* visibleToast(const View& view);

} // namespace ui
