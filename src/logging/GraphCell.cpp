#include "logging/GraphCell.h"

#include "logging/GraphView.h"

GraphCell::GraphCell(std::string reuseIdentifier)
    : RoundedCell(ui::TableViewCellStyle::Default, std::move(reuseIdentifier))
{
    setTop(true);
    setBottom(true);
    setSelectionStyle(ui::TableViewCellSelectionStyle::None);
}

void GraphCell::setGraph(std::shared_ptr<GraphView> graph)
{
    if (graph_ == graph)
        return;
    if (graph_ && graph_->superview() == contentView())
        graph_->removeFromSuperview();
    graph_ = std::move(graph);
    if (graph_) {
        contentView()->addSubview(graph_);
        graph_->setNeedsDisplay();
    }
}

void GraphCell::layoutSubviews()
{
    RoundedCell::layoutSubviews();
    if (!graph_)
        return;
    const ui::Rect frame = graph_->frame();
    const double width = contentView()->bounds().width() - trailingSpace;
    if (frame.width() != width)
        graph_->setFrame(ui::makeRect(frame.x(), frame.y(), width, frame.height()));
}
