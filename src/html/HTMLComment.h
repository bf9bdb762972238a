#pragma once

#include "html/HTMLNode.h"

class HTMLComment : public HTMLNode {
public:
    HTMLComment();
    explicit HTMLComment(std::u16string data);

    const std::u16string& data() const { return data_; }
    void setData(std::u16string data) { data_ = std::move(data); }

    // A comment's text content is its data.
    std::u16string textContent() const override { return data_; }
    void setTextContent(std::u16string_view text) override { data_ = text; }

    std::shared_ptr<HTMLNode> copy() const override;
    std::u16string serializedFragment() const override;
    std::string description() const override;

private:
    std::u16string data_;
};
