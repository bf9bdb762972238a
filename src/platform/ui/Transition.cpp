#include "platform/ui/Transition.h"

#include <utility>

namespace ui {

Transition::~Transition() { stop(); }

void Transition::stop()
{
    if (frame_ != 0)
        fnd::RunLoop::main().removeFrameCallback(frame_);
    frame_ = 0;
}

void Transition::start(double duration, AnimationCurve curve, std::function<void(double)> step,
                       std::function<void()> done)
{
    finish();
    step_ = std::move(step);
    done_ = std::move(done);
    if (duration <= 0) {
        finish();
        return;
    }
    fnd::RunLoop& loop = fnd::RunLoop::main();
    start_ = loop.now();
    duration_ = duration;
    curve_ = curve;
    frame_ = loop.addFrameCallback([this](double now) {
        const double t = (now - start_) / duration_;
        if (t >= 1) {
            finish();
            return;
        }
        if (step_)
            step_(animationProgress(curve_, t));
    });
}

void Transition::finish()
{
    const bool running = frame_ != 0 || step_ || done_;
    stop();
    if (!running)
        return;
    auto step = std::exchange(step_, {});
    auto done = std::exchange(done_, {});
    if (step)
        step(1);
    if (done)
        done();
}

} // namespace ui
