#pragma once

#include "html/HTMLNode.h"

#include <memory_resource>
#include <string>
#include <string_view>

class HTMLTextNode : public HTMLNode {
public:
    HTMLTextNode();
    explicit HTMLTextNode(std::u16string_view data);

    // A parser's text nodes keep their text in their document's memory.
    const std::pmr::u16string& data() const { return data_; }
    void appendString(std::u16string_view string) { data_.append(string); }

    std::u16string textContent() const override { return std::u16string(data_); }
    std::shared_ptr<HTMLNode> copy() const override;
    std::u16string serializedFragment() const override;
    std::string description() const override;

private:
    friend class HTMLNodeArena;

    // A parser's text, copied once at its exact length into the document's memory.
    HTMLTextNode(std::u16string_view data, std::pmr::memory_resource* resource)
        : HTMLNode(Kind::Text), data_(data, resource)
    {
    }

    std::pmr::u16string data_;
};
