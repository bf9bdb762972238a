#include "platform/ui/TableViewCell.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Context.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/SubviewSlot.h"
#include "platform/ui/TableView.h"

#include <algorithm>

namespace ui {

namespace {

constexpr double editingIndent = 38;
constexpr double deleteButtonMinimumWidth = 74;
constexpr double value2CaptionWidth = 75;

Color chevronColor()
{
    return Color::rgb255(199, 199, 204);
}

// The drawn accessories: disclosure chevron, check mark, detail button.
class StandardAccessory : public View {
public:
    explicit StandardAccessory(TableViewCellAccessoryType type)
        : type_(type)
    {
        setUserInteractionEnabled(false);
        setOpaque(false);
        switch (type) {
        case TableViewCellAccessoryType::DisclosureIndicator:
            setFrame(makeRect(0, 0, 8, 13));
            break;
        case TableViewCellAccessoryType::Checkmark:
            setFrame(makeRect(0, 0, 14, 11));
            break;
        case TableViewCellAccessoryType::DetailButton:
        case TableViewCellAccessoryType::None:
            setFrame(makeRect(0, 0, 22, 22));
            break;
        }
    }

    void draw(Context& context, Rect) override
    {
        Path path;
        context.setLineWidth(2);
        context.setLineCap(LineCap::Round);
        context.setLineJoin(LineJoin::Round);
        switch (type_) {
        case TableViewCellAccessoryType::DisclosureIndicator:
            path.moveTo({1.5, 1.5});
            path.lineTo({6.5, 6.5});
            path.lineTo({1.5, 11.5});
            context.setStrokeColor(chevronColor());
            context.strokePath(path);
            break;
        case TableViewCellAccessoryType::Checkmark:
            path.moveTo({1.5, 5.5});
            path.lineTo({5, 9.5});
            path.lineTo({12.5, 1.5});
            context.setStrokeColor(tintColor());
            context.strokePath(path);
            break;
        case TableViewCellAccessoryType::DetailButton:
            context.setLineWidth(1);
            context.setStrokeColor(tintColor());
            context.strokeEllipse(makeRect(0.5, 0.5, 21, 21));
            context.setFillColor(tintColor());
            context.fillEllipse(makeRect(10, 5, 2, 2));
            context.fillRect(makeRect(10, 9, 2, 8));
            break;
        case TableViewCellAccessoryType::None:
            break;
        }
    }

private:
    TableViewCellAccessoryType type_;
};

// The red round control that editing shows in front of a deletable row.
class DeleteControl : public Control {
public:
    DeleteControl()
        : Control(makeRect(0, 0, 22, 22))
    {
        setOpaque(false);
    }

    void draw(Context& context, Rect) override
    {
        context.setFillColor(Color::systemRed());
        context.fillEllipse(bounds());
        context.setFillColor(Color::white());
        context.fillRect(makeRect(5, 10, 12, 2));
    }
};

} // namespace

TableViewCell::TableViewCell(TableViewCellStyle style, std::string reuseIdentifier)
    : style_(style)
    , reuseIdentifier_(std::move(reuseIdentifier))
{
    setBackgroundColor(Color::white());
    setClipsToBounds(true);
    contentView_ = std::make_shared<View>();
    addSubview(contentView_);

    auto selected = std::make_shared<View>();
    selected->setBackgroundColor(Color::systemGray4());
    setSelectedBackgroundView(selected);

    separator_ = std::make_shared<View>();
    separator_->setUserInteractionEnabled(false);
    separator_->setHidden(true);
    addSubview(separator_);
}

TableViewCell::~TableViewCell() = default;

Label* TableViewCell::textLabel()
{
    if (!textLabel_) {
        textLabel_ = std::make_shared<Label>();
        if (style_ == TableViewCellStyle::Value2) {
            textLabel_->setFont(Font::boldSystemFont(12));
            textLabel_->setTextColor(Color::systemBlue());
            textLabel_->setTextAlignment(TextAlignment::Right);
        } else {
            textLabel_->setFont(Font::systemFont(17));
        }
        contentView_->addSubview(textLabel_);
        setNeedsLayout();
    }
    return textLabel_.get();
}

Label* TableViewCell::detailTextLabel()
{
    if (style_ == TableViewCellStyle::Default)
        return nullptr;
    if (!detailTextLabel_) {
        detailTextLabel_ = std::make_shared<Label>();
        switch (style_) {
        case TableViewCellStyle::Value1:
            detailTextLabel_->setFont(Font::systemFont(17));
            detailTextLabel_->setTextColor(Color::systemGray());
            detailTextLabel_->setTextAlignment(TextAlignment::Right);
            break;
        case TableViewCellStyle::Value2:
            detailTextLabel_->setFont(Font::boldSystemFont(12));
            break;
        case TableViewCellStyle::Subtitle:
        case TableViewCellStyle::Default:
            detailTextLabel_->setFont(Font::systemFont(12));
            break;
        }
        contentView_->addSubview(detailTextLabel_);
        setNeedsLayout();
    }
    return detailTextLabel_.get();
}

ImageView* TableViewCell::imageView()
{
    if (!imageView_) {
        imageView_ = std::make_shared<ImageView>();
        contentView_->addSubview(imageView_);
        setNeedsLayout();
    }
    return imageView_.get();
}

void TableViewCell::setAccessoryType(TableViewCellAccessoryType type)
{
    accessoryType_ = type;
    updateAccessory();
}

void TableViewCell::setAccessoryView(std::shared_ptr<View> view)
{
    replaceSubview(*this, accessoryView_, std::move(view));
    updateAccessory();
}

void TableViewCell::updateAccessory()
{
    const bool drawn = !accessoryView_ && accessoryType_ != TableViewCellAccessoryType::None;
    replaceSubview(*this, standardAccessory_, drawn ? std::make_shared<StandardAccessory>(accessoryType_) : nullptr);
    setNeedsLayout();
}

void TableViewCell::setSelectionStyle(TableViewCellSelectionStyle style)
{
    selectionStyle_ = style;
    updateSelectionDisplay();
}

void TableViewCell::setSelected(bool selected, bool animated)
{
    selected_ = selected;
    updateSelectionDisplay(animated);
}

void TableViewCell::setHighlighted(bool highlighted, bool animated)
{
    highlighted_ = highlighted;
    updateSelectionDisplay(animated);
}

void TableViewCell::updateSelectionDisplay(bool animated)
{
    const bool shown = (selected_ || highlighted_) && selectionStyle_ != TableViewCellSelectionStyle::None;
    for (Label* label : {textLabel_.get(), detailTextLabel_.get()}) {
        if (label)
            label->setHighlighted(shown);
    }
    View* background = selectedBackgroundView_.get();
    if (!background)
        return;
    if (shown || !animated || background->isHidden()) {
        background->setAlpha(1); // also ends a fade in progress
        background->setHidden(!shown);
        return;
    }
    // A row deselected with animation fades its selection out.
    const std::weak_ptr<View> fading = selectedBackgroundView_;
    animate(animationDuration, [background] { background->setAlpha(0); }, [fading](bool finished) {
        const auto view = fading.lock();
        if (view && finished) {
            view->setHidden(true);
            view->setAlpha(1);
        }
    });
}

void TableViewCell::setBackgroundView(std::shared_ptr<View> view)
{
    // Behind everything: the selected background, then the content, go above it.
    replaceSubview(*this, backgroundView_, std::move(view), 0);
}

void TableViewCell::setSelectedBackgroundView(std::shared_ptr<View> view)
{
    replaceSubview(*this, selectedBackgroundView_, std::move(view), backgroundView_ ? 1 : 0);
    updateSelectionDisplay();
}

void TableViewCell::setEditing(bool editing, bool animated)
{
    editing_ = editing;
    if (!editing)
        setShowingDeleteConfirmation(false);
    setNeedsLayout();
    // The content slides aside for the delete control (and back).
    if (animated)
        animate(animationDuration, [this] { layoutIfNeeded(); });
}

void TableViewCell::setEditingStyle(TableViewCellEditingStyle style)
{
    editingStyle_ = style;
    if (style == TableViewCellEditingStyle::Delete && !deleteControl_) {
        deleteControl_ = std::make_shared<DeleteControl>();
        deleteControl_->addTarget(ControlEvent::TouchUpInside, [this](Control&) {
            if (table_)
                table_->deleteControlTapped(*this);
        });
        addSubview(deleteControl_);
    }
    setNeedsLayout();
}

void TableViewCell::setShowingDeleteConfirmation(bool showing)
{
    if (showing && !deleteButton_) {
        deleteButton_ = std::make_shared<Button>(ButtonType::Custom);
        deleteButton_->setTitle("Delete");
        deleteButton_->setTitleColor(Color::white());
        deleteButton_->setBackgroundColor(Color::systemRed());
        deleteButton_->addTarget(ControlEvent::TouchUpInside, [this](Control&) {
            if (table_)
                table_->deleteConfirmed(*this);
        });
        addSubview(deleteButton_);
    }
    showingDeleteConfirmation_ = showing;
    setNeedsLayout();
}

void TableViewCell::setSeparatorInset(EdgeInsets inset)
{
    separatorInset_ = inset;
    setNeedsLayout();
}

void TableViewCell::setSeparator(bool shown, Color color)
{
    separator_->setHidden(!shown);
    separator_->setBackgroundColor(color);
}

void TableViewCell::prepareForReuse()
{
    setSelected(false);
    setHighlighted(false);
    setShowingDeleteConfirmation(false);
    setAlpha(1);
}

void TableViewCell::layoutSubviews()
{
    const Rect b = bounds();
    for (View* background : {backgroundView_.get(), selectedBackgroundView_.get()}) {
        if (background)
            background->setFrame(b);
    }

    double left = 0;
    double right = b.width();
    const bool deletable = editing_ && editingStyle_ == TableViewCellEditingStyle::Delete;
    if (deleteControl_) {
        deleteControl_->setHidden(!deletable);
        deleteControl_->setFrame(makeRect(margin - 3, (b.height() - 22) / 2, 22, 22));
    }
    if (editing_ && editingStyle_ != TableViewCellEditingStyle::None)
        left = editingIndent;
    if (deleteButton_) {
        deleteButton_->setHidden(!showingDeleteConfirmation_);
        const double width = std::max(deleteButtonMinimumWidth, deleteButton_->sizeThatFits(b.size).width + 30);
        deleteButton_->setFrame(makeRect(b.width() - width, 0, width, b.height()));
        if (showingDeleteConfirmation_)
            right = b.width() - width;
    }
    View* accessory = accessoryView_ ? accessoryView_.get() : standardAccessory_.get();
    double padding = margin;
    if (accessory) {
        const bool shown = !editing_ && !showingDeleteConfirmation_;
        accessory->setHidden(!shown);
        const Size size = accessory->frame().size;
        accessory->setFrame(makeRect(b.width() - margin - size.width, (b.height() - size.height) / 2, size.width, size.height));
        if (shown) {
            right = accessory->frame().minX();
            padding = 8;
        }
    }
    contentView_->setFrame(makeRect(left, 0, std::max(0.0, right - left), b.height()));
    layoutLabels(makeRect(0, 0, std::max(0.0, right - left - padding), b.height()));

    const double thickness = 0.5;
    separator_->setFrame(makeRect(separatorInset_.left, b.height() - thickness,
                                  std::max(0.0, b.width() - separatorInset_.left - separatorInset_.right), thickness));
    bringSubviewToFront(separator_.get());
}

void TableViewCell::layoutLabels(Rect area)
{
    double x = margin;
    if (imageView_ && !imageView_->image().isNull()) {
        Size size = imageView_->image().size();
        size.height = std::min(size.height, area.height());
        imageView_->setFrame(makeRect(margin, (area.height() - size.height) / 2, size.width, size.height));
        x = imageView_->frame().maxX() + margin;
    }
    const double width = std::max(0.0, area.maxX() - x);
    const double h = area.height();
    Label* text = textLabel_.get();
    Label* detail = detailTextLabel_.get();
    switch (style_) {
    case TableViewCellStyle::Default:
        if (text)
            text->setFrame(makeRect(x, 0, width, h));
        break;
    case TableViewCellStyle::Value1: {
        double detailWidth = detail && !detail->text().empty() ? detail->sizeThatFits({width, h}).width : 0;
        // When title and detail do not both fit, they share the row by their measured widths,
        // so neither is cut to nothing (labels that shrink to fit then show both whole).
        const double textWidth = text && !text->text().empty() ? text->sizeThatFits({width, h}).width : 0;
        const double room = std::max(0.0, width - (detailWidth > 0 && textWidth > 0 ? 8 : 0));
        if (textWidth + detailWidth > room)
            detailWidth = room * detailWidth / (textWidth + detailWidth);
        if (detail)
            detail->setFrame(makeRect(area.maxX() - detailWidth, 0, detailWidth, h));
        if (text)
            text->setFrame(makeRect(x, 0, std::max(0.0, width - detailWidth - (detailWidth > 0 ? 8 : 0)), h));
        break;
    }
    case TableViewCellStyle::Value2: {
        const double caption = std::min(value2CaptionWidth, width);
        if (text)
            text->setFrame(makeRect(x, 0, caption, h));
        if (detail)
            detail->setFrame(makeRect(x + caption + 6, 0, std::max(0.0, width - caption - 6), h));
        break;
    }
    case TableViewCellStyle::Subtitle: {
        // One line each, unless a label may wrap: then it takes the lines its text needs at this width.
        const auto heightOf = [width, h](const Label& label) {
            return label.numberOfLines() == 1 ? label.font().lineHeight() : label.sizeThatFits({width, h}).height;
        };
        const double textHeight = text ? heightOf(*text) : 0;
        const double detailHeight = detail && !detail->text().empty() ? heightOf(*detail) : 0;
        const double top = std::max(0.0, (h - textHeight - detailHeight) / 2);
        if (text)
            text->setFrame(makeRect(x, top, width, textHeight));
        if (detail)
            detail->setFrame(makeRect(x, top + textHeight, width, detailHeight));
        break;
    }
    }
}

} // namespace ui
