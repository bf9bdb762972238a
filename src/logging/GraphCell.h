#pragma once

#include <memory>

#include "shell/RoundedCell.h"

class GraphView;

// A row of the logging screen: one strip chart, both corners rounded.
class GraphCell : public RoundedCell {
public:
    explicit GraphCell(std::string reuseIdentifier = "Cell");

    // Room left free right of the chart.
    static constexpr double trailingSpace = 20;

    // The chart shown, if any.
    GraphView* graph() const { return graph_.get(); }
    // Shows `graph` in place of the chart shown before.
    void setGraph(std::shared_ptr<GraphView> graph);
    // The chart spans the content view, which editing narrows for the delete control, but its trailing space.
    void layoutSubviews() override;

private:
    std::shared_ptr<GraphView> graph_;
};
