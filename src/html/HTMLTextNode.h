#pragma once

#include "html/HTMLNode.h"

#include <string>
#include <string_view>
#include <utility>

class HTMLTextNode : public HTMLNode {
public:
    HTMLTextNode();
    // The text is taken over when it can be (a parse makes many text nodes).
    explicit HTMLTextNode(std::u16string&& data) : HTMLNode(Kind::Text), data_(std::move(data)) {}
    explicit HTMLTextNode(const std::u16string& data);

    const std::u16string& data() const { return data_; }
    void appendString(std::u16string_view string) { data_.append(string); }

    std::u16string textContent() const override { return data_; }
    std::shared_ptr<HTMLNode> copy() const override;
    std::u16string serializedFragment() const override;
    std::string description() const override;

private:
    friend class HTMLNodeArena;
    friend class HTMLParser;

    // A parser's text, copied once at its exact length (kept out of the
    // public constructors so that HTMLTextNode(u"...") stays unambiguous).
    struct CopyOfText {};
    HTMLTextNode(CopyOfText, std::u16string_view data) : HTMLNode(Kind::Text), data_(data) {}

    std::u16string data_;
};
