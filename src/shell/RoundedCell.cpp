#include "shell/RoundedCell.h"

#include <numbers>

#include "platform/ui/Context.h"
#include "platform/ui/Path.h"

namespace {

constexpr double pi = std::numbers::pi;

// The outline of `r` with the chosen corners rounded, clockwise from the top left.
ui::Path cardOutline(const ui::Rect& r, double topRadius, double bottomRadius)
{
    ui::Path path;
    path.moveTo({r.minX(), r.minY() + topRadius});
    path.addArc({r.minX() + topRadius, r.minY() + topRadius}, topRadius, pi, 1.5 * pi, true);
    path.addArc({r.maxX() - topRadius, r.minY() + topRadius}, topRadius, 1.5 * pi, 2 * pi, true);
    path.addArc({r.maxX() - bottomRadius, r.maxY() - bottomRadius}, bottomRadius, 0, 0.5 * pi, true);
    path.addArc({r.minX() + bottomRadius, r.maxY() - bottomRadius}, bottomRadius, 0.5 * pi, pi, true);
    path.close();
    return path;
}

}  // namespace

// Paints what lies outside the rounded corners in the colour behind the cell,
// over everything the cell holds (its backgrounds, content and separator).
class RoundedCell::Corners : public ui::View {
public:
    Corners()
    {
        setUserInteractionEnabled(false);
        setOpaque(false);
    }

    void setRadii(double top, double bottom)
    {
        top_ = top;
        bottom_ = bottom;
        setNeedsDisplay();
    }

    void draw(ui::Context& context, ui::Rect) override
    {
        const auto backdrop = backdropColor();
        if ((top_ <= 0 && bottom_ <= 0) || !backdrop)
            return;
        ui::Path path = ui::Path::rect(bounds());
        path.addPath(cardOutline(bounds(), top_, bottom_));
        context.setFillColor(*backdrop);
        context.fillPath(path, ui::FillRule::EvenOdd);
    }

private:
    // The first background colour above the cell: normally the table's.
    std::optional<ui::Color> backdropColor() const
    {
        const View* cell = superview();
        for (const View* view = cell ? cell->superview() : nullptr; view; view = view->superview()) {
            if (view->backgroundColor() && !view->backgroundColor()->isClear())
                return view->backgroundColor();
        }
        return std::nullopt;
    }

    double top_ = 0;
    double bottom_ = 0;
};

RoundedCell::RoundedCell(ui::TableViewCellStyle style, std::string reuseIdentifier)
    : ui::TableViewCell(style, std::move(reuseIdentifier)), corners_(std::make_shared<Corners>())
{
    addSubview(corners_);
}

void RoundedCell::setTop(bool top)
{
    top_ = top;
    setNeedsLayout();
}

void RoundedCell::setBottom(bool bottom)
{
    bottom_ = bottom;
    setNeedsLayout();
}

void RoundedCell::layoutSubviews()
{
    ui::TableViewCell::layoutSubviews();
    corners_->setFrame(bounds());
    corners_->setRadii(top_ ? cornerRadius : 0, bottom_ ? cornerRadius : 0);
    bringSubviewToFront(corners_.get());
}
