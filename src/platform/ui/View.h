#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"
#include "platform/ui/Touch.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class Context;
class GestureRecognizer;
class Window;

enum class ContentMode {
    ScaleToFill,
    ScaleAspectFit,
    ScaleAspectFill,
    Redraw, // scale to fill, and redraw when the bounds change
    Center,
    Top,
    Bottom,
    Left,
    Right,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
};

// Where content of `contentSize` goes inside `bounds` for a content mode.
Rect contentRect(ContentMode mode, Size contentSize, const Rect& bounds);

// The animatable properties of a view (the platform's layer properties).
struct LayerState {
    Point center;
    Rect bounds;
    AffineTransform transform;
    double alpha = 1;
    std::optional<Color> backgroundColor;
    double cornerRadius = 0;
};

// A node of the retained view tree. Geometry follows the phone platform:
// the frame is the superview-space rectangle derived from center, bounds
// size and transform (applied about the anchor point, which sits at the
// center); the bounds origin shifts the content (it is the scroll offset of
// scroll views).
//
// Views are held by std::shared_ptr (make them with std::make_shared); a
// superview owns its subviews.
class View : public std::enable_shared_from_this<View> {
public:
    View();
    explicit View(Rect frame);
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // Animation (ui::animate): the model values, and what is on screen, which
    // differs from them while an animation runs.
    LayerState layerState() const;
    LayerState presentationState() const { return presentation_ ? *presentation_ : layerState(); }
    // For the animator: the values to draw; nullopt returns to the model values.
    void setPresentationState(std::optional<LayerState> state);
    // Called after an animatable property changed, with the model values
    // before the change. The animator installs it on first use.
    using LayerChangeHook = void (*)(View& view, const LayerState& before);
    static void setLayerChangeHook(LayerChangeHook hook);

    // Geometry
    Rect frame() const;
    void setFrame(Rect frame);
    Rect bounds() const { return bounds_; }
    void setBounds(Rect bounds);
    Point center() const { return center_; }
    void setCenter(Point center);
    AffineTransform transform() const { return transform_; }
    void setTransform(const AffineTransform& t);
    // The point of the bounds, in units of its size, that `center` places
    // and the transform turns about; (0.5, 0.5), the middle, by default.
    // Changing it keeps the center, so the view moves.
    Point anchorPoint() const { return anchorPoint_; }
    void setAnchorPoint(Point anchor);

    // Appearance
    double alpha() const { return alpha_; }
    void setAlpha(double alpha);
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden);
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool opaque) { opaque_ = opaque; }
    std::optional<Color> backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(std::optional<Color> color);
    bool clipsToBounds() const { return clipsToBounds_; }
    void setClipsToBounds(bool clips);
    double cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(double radius);
    double borderWidth() const { return borderWidth_; }
    Color borderColor() const { return borderColor_; }
    void setBorder(double width, Color color);
    void setBorderWidth(double width);
    void setBorderColor(Color color);
    // A shadow cast by the view's rendered content; opacity 0 removes it.
    void setShadow(Color color, Size offset, double radius, double opacity);
    double shadowOpacity() const { return shadowOpacity_; }
    ContentMode contentMode() const { return contentMode_; }
    void setContentMode(ContentMode mode);
    // Inherited from the superview when unset; system blue at the root.
    Color tintColor() const;
    void setTintColor(std::optional<Color> color);
    // The tint set on this view itself, not inherited.
    std::optional<Color> ownTintColor() const { return tintColor_; }

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    // This view or the first descendant (depth first) with the tag.
    View* viewWithTag(int tag);

    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }

    // Tree
    void addSubview(std::shared_ptr<View> view);
    void insertSubview(std::shared_ptr<View> view, std::size_t index);
    void insertSubviewAbove(std::shared_ptr<View> view, const View* sibling);
    void insertSubviewBelow(std::shared_ptr<View> view, const View* sibling);
    void removeFromSuperview();
    void bringSubviewToFront(const View* view);
    void sendSubviewToBack(const View* view);
    View* superview() const { return superview_; }
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    bool isDescendantOf(const View* view) const;
    Window* window() const { return window_; }

    // Gesture recognizers attached to this view, in the order added.
    void addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer);
    void removeGestureRecognizer(const GestureRecognizer* recognizer);
    const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const { return gestureRecognizers_; }

    // Layout and display
    virtual void layoutSubviews() {}
    void setNeedsLayout();
    void layoutIfNeeded();
    bool needsLayout() const { return needsLayout_; }
    // The view's content must be drawn again: all of it, or a rectangle of
    // its bounds. Only damaged areas of the window are repainted.
    void setNeedsDisplay();
    void setNeedsDisplayInRect(Rect rect);
    bool needsDisplay() const { return needsDisplay_; }
    virtual Size sizeThatFits(Size size) const;
    void sizeToFit();

    // Custom drawing, in bounds coordinates; `dirty` is the area to redraw
    // (drawing outside it is clipped away).
    virtual void draw(Context& context, Rect dirty);

    // Renders this view and its subviews in its bounds space (its own
    // position and transform left out), after laying out what needs it.
    // With `dirty` (bounds space), only what may paint inside it is drawn.
    void render(Context& context);
    void render(Context& context, const Rect& dirty);
    // The bounds rendered at `scale` pixels per point.
    Image renderToImage(double scale = 1);

    // Hit testing, with `point` in this view's bounds coordinates. Hidden
    // views, views with user interaction off and nearly transparent views
    // (alpha below 0.01) are never hit, nor are their subviews.
    virtual View* hitTest(Point point);
    virtual bool pointInside(Point point) const;

    // Conversion between bounds spaces; nullptr is the window (the root of
    // the tree). Both views must be in the same tree.
    Point convertPoint(Point point, const View* to) const;
    Point convertPointFromView(Point point, const View* from) const;
    Rect convertRect(Rect rect, const View* to) const;
    Rect convertRectFromView(Rect rect, const View* from) const;

    // Raw touches, locations in window coordinates. By default a view passes
    // them on to its superview, as the platform's responder chain does.
    virtual void touchesBegan(const std::vector<Touch>& touches);
    virtual void touchesMoved(const std::vector<Touch>& touches);
    virtual void touchesEnded(const std::vector<Touch>& touches);
    virtual void touchesCancelled(const std::vector<Touch>& touches);

    // Keyboard focus: one first responder at a time.
    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool canResignFirstResponder() const { return true; }
    // False when the view cannot, or when ending the current one's editing took it off screen.
    bool becomeFirstResponder();
    bool resignFirstResponder();
    bool isFirstResponder() const;
    static View* firstResponder();
    // Resigns the first responder when it is this view or inside it.
    bool endEditing(bool force);
    // Keys for the first responder. By default typed characters go to
    // insertText and every other key is ignored.
    virtual void keyPressed(const KeyEvent& event);
    virtual void insertText(const std::string& text);

    // Input hooks the window asks. A wheel turn goes to the view under the
    // pointer and up its superviews until one takes it (positive dy shows
    // content further down). A view keeps a gesture of a recognizer attached
    // to a view around it (a control its tap, a chart its drag) by returning
    // true from keepsGesture; the window then lets that recognizer fail.
    virtual bool scrollWheel(double dx, double dy);
    virtual bool keepsGesture(const GestureRecognizer& recognizer) const;

protected:
    virtual void didMoveToSuperview() {}
    virtual void didMoveToWindow() {}
    virtual void didBecomeFirstResponder() {}
    virtual void didResignFirstResponder() {}
    // Called on the root of the tree whenever something in it needs to be
    // drawn again, with the damaged area in the root's bounds space (empty
    // when only layout is due); a window repaints in response.
    virtual void displayRequested(const Rect& damage);
    // The rectangle (in bounds space) that this view and its unclipped
    // subviews may paint.
    Rect paintExtent() const;

private:
    friend class Window;
    void setWindow(Window* window);
    void requestDisplay();
    void detachFromSuperview();
    // Damage: `rect` in bounds space, or where this view (with its subviews,
    // border and shadow) shows now, on screen.
    void damage(const Rect& rect);
    void damageShown();
    // Where the view shows in the root's bounds space; empty off screen.
    Rect shownAreaInRoot() const;
    // Runs `change` and damages where the view showed before and after it.
    template <typename Change>
    void changeShown(Change&& change);
    Rect shownExtent() const;
    Rect withShadow(const Rect& rect) const;
    // `rect` of the bounds space in the root's, widened by the shadows of
    // the views around it (and of this view when `ownShadow`).
    Rect shownInRoot(Rect rect, bool ownShadow) const;
    void renderLayer(Context& context, const std::optional<Rect>& dirty);
    void renderAsSubview(Context& context, const std::optional<Rect>& dirty);
    // Bounds space to superview space for the given center, bounds and transform.
    AffineTransform placement(const LayerState& state) const;
    AffineTransform transformToSuperview() const;
    AffineTransform transformToRoot() const;

    void layerChanged(const LayerState& before);

    std::optional<LayerState> presentation_;
    Point center_;
    Rect bounds_;
    AffineTransform transform_;
    Point anchorPoint_{0.5, 0.5};
    double alpha_ = 1;
    bool hidden_ = false;
    bool opaque_ = true;
    std::optional<Color> backgroundColor_;
    bool clipsToBounds_ = false;
    double cornerRadius_ = 0;
    double borderWidth_ = 0;
    Color borderColor_ = Color::black();
    Color shadowColor_ = Color::black();
    Size shadowOffset_{0, -3};
    double shadowRadius_ = 3;
    double shadowOpacity_ = 0;
    ContentMode contentMode_ = ContentMode::ScaleToFill;
    std::optional<Color> tintColor_;
    int tag_ = 0;
    bool userInteractionEnabled_ = true;
    bool needsLayout_ = true;
    bool needsDisplay_ = true;

    View* superview_ = nullptr;
    Window* window_ = nullptr;
    std::vector<std::shared_ptr<View>> subviews_;
    std::vector<std::shared_ptr<GestureRecognizer>> gestureRecognizers_;
};

} // namespace ui
