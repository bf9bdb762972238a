#pragma once

#include <memory>

#include "platform/foundation/Timer.h"
#include "platform/ui/View.h"

class ButtonViewDelegate {
public:
    virtual ~ButtonViewDelegate() = default;
    // Starts or stops a recording; returns whether one is running now (a refused start leaves none).
    virtual bool buttonPressed() = 0;
};

// The dash camera's round record button: a white ring round a red disc that
// morphs into a red square while recording. A tap that would start a recording
// is reported only while the adapter link is connected; one that stops it always.
// The button changes, with its sound, only when the recording did.
class ButtonView : public ui::View {
public:
    static constexpr int startSound = 1103;
    static constexpr int stopSound = 1052;
    static constexpr double morphDuration = 0.3;

    explicit ButtonView(ui::Rect frame);
    ~ButtonView() override;

    void setupLayer();
    void toggleButton();

    bool isRecording() const { return recording_; }
    // Shows a state without a tap and without a sound (the screen stopped or refused a recording).
    void setRecording(bool recording);
    bool connected() const { return connected_; }
    void setConnected(bool connected) { connected_ = connected; }
    void setDelegate(ButtonViewDelegate* delegate) { delegate_ = delegate; }

    // The red shape now: the disc's oval and the square's rounded rectangle.
    ui::Rect discRect() const { return disc_.rect; }
    ui::Rect squareRect() const { return square_.rect; }
    double squareCornerRadius() const { return square_.radius; }

    void touchesBegan(const std::vector<ui::Touch>& touches) override;
    // A tap on the button is the button's (the screen's tap would also move the focus there).
    bool keepsGesture(const ui::GestureRecognizer& recognizer) const override;
    void draw(ui::Context& context, ui::Rect dirty) override;

private:
    struct Shape {
        ui::Rect rect;
        double radius = 0;
    };
    struct Morph {
        Shape from, to;
    };
    Shape idleDisc() const;
    Shape idleSquare() const;
    Shape recordingSquare() const;
    void morphTo(Shape disc, Shape square, bool animated);
    void step();

    bool recording_ = false;
    bool connected_ = false;
    ButtonViewDelegate* delegate_ = nullptr;
    Shape disc_, square_;
    Morph discMorph_, squareMorph_;
    double morphStart_ = 0;
    std::shared_ptr<fnd::Timer> morphTimer_;
};
