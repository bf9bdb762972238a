#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/View.h"

class FuelGraphView;

// What the trends chart tells its screen. Every method is optional.
class GraphViewDelegate {
public:
    virtual ~GraphViewDelegate() = default;
    // The selected days changed (beginIndex / endIndex); on the main thread.
    virtual void graphDidUpdateRange(FuelGraphView&) {}
    virtual void touchHasStarted(FuelGraphView&) {}
    virtual void touchHasEnded(FuelGraphView&) {}
};

// The daily fuel log as a smoothed, filled curve over a calendar window that
// ends today (two weeks to one year). One finger drags the window back in time
// (when scrolling is on) and selects the nearest day; two fingers select the
// days between them. The selection is reported as log positions: 0 is the
// oldest logged day, `endIndex` the older and `beginIndex` the newer end.
class FuelGraphView : public ui::View {
public:
    static constexpr double top = 35.0;

    FuelGraphView(ui::Rect frame, int theme);

    void changeGraphMode(int mode);
    int graphMode() const { return graphMode_; }
    void resetData();
    // Unit label and value axis for the values now in dataArr.
    void updateMetrics(int fuelUnitsMode);
    // The top of the value axis for a largest value: a tenth above it at least, in four round whole steps
    // (4 for nothing logged).
    static float axisMax(float largest);
    void toggleScrolling() { isScrollEnabled_ = !isScrollEnabled_; }
    bool isScrollEnabled() const { return isScrollEnabled_; }
    void changeToLandscape();
    void changeToPortrait();
    bool isPortrait() const { return isPortrait_; }

    // Days in the window and between day labels for a range.
    static int rangeDayCount(int graphMode);
    static int rangeLabelStep(int graphMode);
    // Month names from a month number as text ("1" to "12"); "" otherwise.
    static std::string getMonth(const std::string& month);
    static std::string getMonth2(const std::string& month);

    // One value per logged day, newest first, and the day keys ("MMM d, yyyy").
    std::vector<float> dataArr;
    std::vector<std::string> dateArr;
    void setDelegate(GraphViewDelegate* delegate) { delegate_ = delegate; }

    int beginIndex() const { return beginIndex_; }
    int endIndex() const { return endIndex_; }
    float max() const { return max_; }
    float min() const { return min_; }
    const std::string& unitsStr() const { return unitsStr_; }
    double graphDragOffset() const { return graphDragOffset_; }
    double point1() const { return point1_; }
    double point2() const { return point2_; }
    // The days the last scan found: day offset in the window -> drawn point.
    const std::map<int, ui::Point>& pointMap() const { return pointMap_; }
    // The day keys of the days scanned, newest first (for tests and labels).
    std::vector<std::string> scannedDayKeys() const;
    // The average of a two-finger selection; 0 without one.
    float rangeAverage() const { return rangeAverage_; }
    // The text over the chart for the selection ("%.1f" and the day, or "from - to").
    const std::string& selectionText() const { return selectionText_; }

    void draw(ui::Context& context, ui::Rect dirty) override;
    void touchesBegan(const std::vector<ui::Touch>& touches) override;
    void touchesMoved(const std::vector<ui::Touch>& touches) override;
    void touchesEnded(const std::vector<ui::Touch>& touches) override;
    void touchesCancelled(const std::vector<ui::Touch>& touches) override { touchesEnded(touches); }
    // A sideways swipe on the chart drags it, rather than sliding the screen onto the menu.
    bool keepsGesture(const ui::GestureRecognizer& recognizer) const override;

private:
    struct Layout {
        double width, height, gw, x0, x1, gh, base, dx;
        int days;
        double s;      // scroll in days
        int whole;     // whole days scrolled
        double frac;   // the part of a day, in points
    };
    Layout layout() const;
    double xOf(const Layout& l, int k) const { return l.x1 - (l.dx * k - l.frac); }
    double yOf(const Layout& l, float value) const;
    // Finds the logged days in the window, newest first, and the selection.
    void scan();
    std::optional<int> nearestDay(double x) const;
    int logPosition(int dayOffset) const;
    void queueRangeReport(bool force);
    // The fingers down on the view, these touches among them.
    std::size_t fingersOnView(const std::vector<ui::Touch>& touches) const;
    void takeTouches(const std::vector<ui::Touch>& touches, double within);

    void drawGrid(ui::Context& context, const Layout& l) const;
    void drawCurve(ui::Context& context, const Layout& l) const;
    void drawSelection(ui::Context& context, const Layout& l) const;
    void drawMargin(ui::Context& context, const Layout& l) const;
    void drawDayLabels(ui::Context& context, const Layout& l) const;
    void drawMonthLabels(ui::Context& context, const Layout& l) const;
    ui::Color textColor() const;

    int theme_;
    bool isPortrait_ = true;
    int graphMode_ = 0;
    double point1_ = 0;
    double point2_ = 0;
    int fuelUnitsMode_ = 0;
    std::string unitsStr_ = "mpg";
    float lineWidth_ = 2.0f;
    float max_ = 4.0f;
    float min_ = 0;
    bool isScrollEnabled_ = false;
    double graphDragOffset_ = 0;
    int prevBegin_ = -1;
    int prevEnd_ = -1;
    bool touchBegan_ = false;
    int beginIndex_ = 0;
    int endIndex_ = 0;
    GraphViewDelegate* delegate_ = nullptr;

    // The last scan.
    std::map<int, ui::Point> pointMap_;
    std::map<int, std::size_t> logIndexOf_;  // day offset -> index in dataArr
    std::vector<ui::Point> points_;          // newest day first
    std::optional<int> selectedA_, selectedB_;
    float rangeAverage_ = 0;
    std::string selectionText_;
    bool reportQueued_ = false;
};
