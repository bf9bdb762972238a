#pragma once

#include "platform/ui/Image.h"

#include <functional>
#include <memory>
#include <mutex>

namespace gl {

class Context;

// What a view shows OpenGL ES drawing through: it gives a renderbuffer its
// storage at the view's pixel size, and each present reads that renderbuffer
// back into an image (top row first) for the view to draw.
class Drawable {
public:
    Drawable() = default;
    Drawable(const Drawable&) = delete;
    Drawable& operator=(const Drawable&) = delete;

    // Set by the view from its bounds and scale; 0 x 0 until it has a size.
    void setPixelSize(int width, int height);
    int pixelWidth() const;
    int pixelHeight() const;

    // The image of the last present (null before the first).
    ui::Image image() const;
    // Called on the presenting thread after each present.
    void setPresentHandler(std::function<void(const ui::Image&)> handler);

private:
    friend class Context;
    friend bool renderbufferStorageFromDrawable(Context&, const std::shared_ptr<Drawable>&);
    friend bool presentRenderbuffer(Context&);
    void presented(ui::Image image);

    mutable std::mutex mutex_;
    int width_ = 0;
    int height_ = 0;
    ui::Image image_;
    std::function<void(const ui::Image&)> handler_;
};

// With `context` current and a renderbuffer bound to GL_RENDERBUFFER: gives
// that renderbuffer RGBA8 storage of the drawable's pixel size and ties it to
// the drawable. False when the context is not current or the size is zero.
bool renderbufferStorageFromDrawable(Context& context, const std::shared_ptr<Drawable>& drawable);
// Presents the renderbuffer bound to GL_RENDERBUFFER of the current `context`:
// its pixels go to its drawable. False when it belongs to no live drawable.
bool presentRenderbuffer(Context& context);

}  // namespace gl
