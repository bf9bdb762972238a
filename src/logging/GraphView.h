#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Timer.h"
#include "platform/ui/Image.h"
#include "platform/ui/View.h"

namespace ui {
class BitmapContext;
class Label;
}
class GraphView;
struct Settings;

// The chart settings a strip chart draws with, handed over by its screen.
struct StripChartSettings {
    int plotSpacing = 2;       // pixels between samples, taken as 1-5
    int scrollGraphCount = 1;  // charts a screen: 0 two, 1 three, 2 four
    int graphType = 1;         // 0 plain background, 1 shaded

    static StripChartSettings fromSettings(const Settings& settings);
};

// What a chart tells the logging screen about drags, so the table stops
// scrolling while a chart is dragged. Both optional.
class GraphView2Delegate {
public:
    virtual ~GraphView2Delegate() = default;
    virtual void graphIsScrolling(GraphView&) {}
    virtual void touchHasEnded(GraphView&) {}
};

// The scrolling strip chart of one sensor: the newest sample at the right edge,
// one sample every plotSpacing pixels, a scale that widens to take in
// every value with five texts at the right, a time axis in seconds, and the
// running minimum and maximum. A sideways drag looks back in time; with
// interaction on, a tap marks a sample and shows its value. The static part is
// painted once into a cached image; each redraw blits it and draws only the
// moving parts.
class GraphView : public ui::View {
public:
    GraphView(ui::Rect frame, int theme, int lineColor);
    ~GraphView() override;

    void setDelegate(GraphView2Delegate* delegate) { delegate_ = delegate; }
    // The sample spacing takes effect at the next updateLabel, the rest at the next draw.
    void setChartSettings(const StripChartSettings& settings) { settings_ = settings; }
    // The button at the top right that turns marking samples on and off.
    void setInteractionButton(std::shared_ptr<ui::View> button);
    void updateLabel(const std::string& name, const std::string& units, float min, float max);
    void setVal(float value, bool update);
    void adjustLabels();
    void takeSnapshot();
    void resetRange();
    void toggleInteraction() { interactionEnabled_ = !interactionEnabled_; }

    float value() const { return value_; }
    float min() const { return min_; }
    float max() const { return max_; }
    bool interactionEnabled() const { return interactionEnabled_; }
    bool labelsAdjusted() const { return labelsAdjusted_; }
    void setLabelsAdjusted(bool adjusted) { labelsAdjusted_ = adjusted; }
    bool hasSnapshot() const { return bgImage_.has_value(); }
    std::size_t sampleCount() const { return points_.size(); }
    int gap() const { return gap_; }
    int spacing() const { return spacing_; }
    double delay() const { return delay_; }
    double graphDragOffset() const { return graphDragOffset_; }
    // The marked sample, if any: its position in pixels and its value.
    std::optional<ui::Point> markedPoint() const;
    // Which drawing pass ran last, and the texts it drew (tests, screenshots).
    bool lastDrawWasData() const { return lastDrawWasData_; }
    const std::vector<std::string>& timeTexts() const { return timeTexts_; }
    int segmentsDrawn() const { return segmentsDrawn_; }
    ui::Label& valLabel() { return *valLabel_; }
    ui::Label& gLabel() { return *gLabel_; }
    const std::array<std::string, 5>& scaleTexts() const { return scaleStrings_; }

    // The five scale texts, bottom to top, for a scale from min to max.
    static std::array<std::string, 5> scaleTexts(float min, float max);
    // Pixels between time labels for `spacing` pixels per sample every `delay` s.
    static int timeLabelGap(int spacing, double delay);

    // A chart whose width changed lays its labels out again and retakes its background.
    void layoutSubviews() override;
    void draw(ui::Context& context, ui::Rect dirty) override;
    void touchesBegan(const std::vector<ui::Touch>& touches) override;
    void touchesMoved(const std::vector<ui::Touch>& touches) override;
    void touchesEnded(const std::vector<ui::Touch>& touches) override;
    void touchesCancelled(const std::vector<ui::Touch>& touches) override;
    // A sideways drag belongs to the chart, not to the table around it.
    bool keepsGesture(const ui::GestureRecognizer& recognizer) const override;
    // A sideways wheel turn looks back in time as a drag does.
    bool scrollWheel(double dx, double dy) override;

    // Past this many samples each draw drops the oldest one.
    static constexpr std::size_t maxSamples = 5000;
    // The fastest sample spacing the time axis allows for; quicker samples count as this.
    static constexpr double shortestDelay = 0.01;

private:
    struct Geometry;
    Geometry geometry() const;
    void drawBackground(ui::Context& context, const Geometry& g, ui::Rect dirty);
    void drawData(ui::Context& context, const Geometry& g, ui::Rect dirty);
    std::size_t newestShown() const;
    void drawLine(ui::Context& context, const Geometry& g, double lineWidth);
    void strokeLine(ui::Context& context, const Geometry& g, double fromX, double toX);
    void drawMark(ui::Context& context, const Geometry& g);
    void drawTimeLabels(ui::Context& context, const Geometry& g);
    void updateScaleLabels();
    void endDrag();
    void dragBy(double dx);

    int theme_ = 0;
    StripChartSettings settings_;
    ui::Color lineColor_;
    std::deque<float> points_;  // newest first
    float value_ = 0;
    float min_ = 0;
    float max_ = 0;
    float prevMin_ = 0;
    float prevMax_ = 0;
    float range_ = 0;
    int spacing_ = 2;
    double delay_ = 0.1;
    double time_ = 0;
    bool haveStartTime_ = false;
    bool haveDelay_ = false;
    int gap_ = 50;
    double graphDragOffset_ = 0;
    std::optional<ui::Image> bgImage_;
    bool labelsAdjusted_ = false;
    double labelsWidth_ = 0;  // the width the labels were laid out for
    std::shared_ptr<ui::View> interactionButton_;
    bool interactionEnabled_ = false;
    ui::Point pointLocation_;
    bool havePoint_ = false;
    std::size_t pointIndex_ = 0;
    int xPoint_ = -1;
    int yPoint_ = 0;
    float markedValue_ = 0;
    double currentMinVal_ = 0;
    double currentMaxVal_ = 0;
    std::array<std::string, 5> scaleStrings_;
    std::array<std::shared_ptr<ui::Label>, 5> scaleLabels_;  // bottom to top
    std::shared_ptr<ui::Label> gLabel_;
    std::shared_ptr<ui::Label> unitsLabel_;
    std::shared_ptr<ui::Label> valLabel_;
    bool isScrolling_ = false;
    GraphView2Delegate* delegate_ = nullptr;
    fnd::DelayedCall reset_;
    bool lastDrawWasData_ = false;
    std::vector<std::string> timeTexts_;
    int segmentsDrawn_ = 0;
    std::vector<ui::Point> run_;  // the data line's current unbroken run, reused between draws
    // The data line, kept between draws: a new sample moves it and draws only the newest segment.
    struct LineKey {
        float min = 0;
        float max = 0;
        std::size_t start = 0;
        int spacing = 0;
        double lineWidth = 0;
        double scale = 0;
        double width = 0;
        double plotHeight = 0;
        bool operator==(const LineKey&) const = default;
    };
    std::unique_ptr<ui::BitmapContext> line_;
    LineKey lineKey_;
    std::uint64_t samplesTaken_ = 0;
    std::uint64_t samplesInLine_ = 0;
};
