#pragma once

// A shown value that glides towards the latest reading, one step per tick of
// its owner's timer. Each reading restarts the glide from the value shown, and
// the glide lasts as many ticks as passed between the last two readings, so the
// motion fills the gap until the next one and the value rests on the target.
// The first reading after a reset is shown at once.
class GaugeGlide {
public:
    explicit GaugeGlide(float value = 0) { reset(value); }

    void reset(float value);
    void setTarget(float target);
    void tick();

    float shown() const { return start_ + offset_; }
    float target() const { return target_; }

private:
    float target_ = 0;
    float start_ = 0;   // the value shown when the latest reading came
    float offset_ = 0;  // how far the glide has gone from start_
    int count_ = 1;     // ticks since the latest reading, plus one
    int limit_ = 2;     // ticks the glide lasts
};
