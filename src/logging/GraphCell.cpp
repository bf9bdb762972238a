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
