#pragma once

#include <memory>
#include <string>

#include "platform/ui/TableViewCell.h"

// The table cell of the settings and list screens. `top` and `bottom` mark the
// first and the last row of a group: their outer corners are rounded, so a
// group reads as one card on the table's background.
class RoundedCell : public ui::TableViewCell {
public:
    explicit RoundedCell(ui::TableViewCellStyle style, std::string reuseIdentifier = {});

    bool top() const { return top_; }
    void setTop(bool top);
    bool bottom() const { return bottom_; }
    void setBottom(bool bottom);

    void layoutSubviews() override;

    static constexpr double cornerRadius = 10;

private:
    bool top_ = false;
    bool bottom_ = false;
    class Corners;
    std::shared_ptr<Corners> corners_;
};
