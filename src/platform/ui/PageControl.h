#pragma once

#include "platform/ui/Control.h"

namespace ui {

// A row of dots, one per page, the current one brighter. A tap right of the
// current dot moves to the next page, left of it to the previous one, and
// sends ValueChanged.
class PageControl : public Control {
public:
    PageControl();
    explicit PageControl(Rect frame);

    int numberOfPages() const { return pages_; }
    void setNumberOfPages(int pages);
    int currentPage() const { return current_; }
    void setCurrentPage(int page); // clamped to the pages
    bool hidesForSinglePage() const { return hidesForSinglePage_; }
    void setHidesForSinglePage(bool hides);
    void setPageIndicatorTintColor(Color color);
    void setCurrentPageIndicatorTintColor(Color color);

    Size sizeForNumberOfPages(int pages) const;
    Size sizeThatFits(Size size) const override;
    void draw(Context& context, Rect dirty) override;

protected:
    void endTracking(Point location, bool inside) override;

private:
    int pages_ = 0;
    int current_ = 0;
    bool hidesForSinglePage_ = false;
    Color indicatorTint_ = Color::white().withAlpha(0.35);
    Color currentIndicatorTint_ = Color::white();
};

} // namespace ui
