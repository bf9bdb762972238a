#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace ui {

class Button;
class Control;
class ImageView;
class Label;
class TableView;

enum class TableViewCellStyle {
    Default,  // a text label (and an image)
    Value1,   // text on the left, detail in grey on the right
    Value2,   // a small blue caption column, detail beside it
    Subtitle, // text with the detail below it
};

enum class TableViewCellAccessoryType { None, DisclosureIndicator, DetailButton, Checkmark };
enum class TableViewCellSelectionStyle { None, Default, Gray };
enum class TableViewCellEditingStyle { None, Delete, Insert };

// A row of a table view. Its labels and image view live in the content view
// and are made on first use, so a cell that never asks for them keeps its
// content view to itself. Selection shows the selected background view (grey
// by default); editing shows the delete control, and the delete
// confirmation button when the row is about to be deleted.
class TableViewCell : public View {
public:
    explicit TableViewCell(TableViewCellStyle style = TableViewCellStyle::Default, std::string reuseIdentifier = {});
    ~TableViewCell() override;

    TableViewCellStyle style() const { return style_; }
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }

    Label* textLabel();
    // Null in the default style, which has no detail.
    Label* detailTextLabel();
    ImageView* imageView();
    View* contentView() const { return contentView_.get(); }

    TableViewCellAccessoryType accessoryType() const { return accessoryType_; }
    void setAccessoryType(TableViewCellAccessoryType type);
    // A custom accessory; it takes the place of the accessory type.
    const std::shared_ptr<View>& accessoryView() const { return accessoryView_; }
    void setAccessoryView(std::shared_ptr<View> view);

    TableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(TableViewCellSelectionStyle style);
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected, bool animated = false);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted, bool animated = false);

    const std::shared_ptr<View>& backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<View> view);
    const std::shared_ptr<View>& selectedBackgroundView() const { return selectedBackgroundView_; }
    void setSelectedBackgroundView(std::shared_ptr<View> view);

    bool isEditing() const { return editing_; }
    virtual void setEditing(bool editing, bool animated = false);
    bool showingDeleteConfirmation() const { return showingDeleteConfirmation_; }

    EdgeInsets separatorInset() const { return separatorInset_; }
    void setSeparatorInset(EdgeInsets inset);

    // Called before the table hands the cell out again.
    virtual void prepareForReuse();
    void layoutSubviews() override;

    static constexpr double margin = 16;
    static constexpr double animationDuration = 0.3; // selection fades, editing slides

private:
    friend class TableView;
    // Set by the table while the cell shows one of its rows.
    void setTableView(TableView* table) { table_ = table; }
    void setEditingStyle(TableViewCellEditingStyle style);
    void setShowingDeleteConfirmation(bool showing);
    void setSeparator(bool shown, Color color);
    void updateSelectionDisplay(bool animated = false);
    void updateAccessory();
    void layoutLabels(Rect area);

    TableViewCellStyle style_;
    std::string reuseIdentifier_;
    TableView* table_ = nullptr;
    std::shared_ptr<View> contentView_;
    std::shared_ptr<Label> textLabel_;
    std::shared_ptr<Label> detailTextLabel_;
    std::shared_ptr<ImageView> imageView_;
    TableViewCellAccessoryType accessoryType_ = TableViewCellAccessoryType::None;
    std::shared_ptr<View> accessoryView_;
    std::shared_ptr<View> standardAccessory_;
    TableViewCellSelectionStyle selectionStyle_ = TableViewCellSelectionStyle::Default;
    bool selected_ = false;
    bool highlighted_ = false;
    std::shared_ptr<View> backgroundView_;
    std::shared_ptr<View> selectedBackgroundView_;
    bool editing_ = false;
    TableViewCellEditingStyle editingStyle_ = TableViewCellEditingStyle::None;
    std::shared_ptr<Control> deleteControl_;
    std::shared_ptr<Button> deleteButton_;
    bool showingDeleteConfirmation_ = false;
    std::shared_ptr<View> separator_;
    EdgeInsets separatorInset_{0, margin, 0, 0};
};

} // namespace ui
