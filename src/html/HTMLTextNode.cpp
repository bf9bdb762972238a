#include "html/HTMLTextNode.h"

HTMLTextNode::HTMLTextNode() : HTMLNode(Kind::Text) {}

HTMLTextNode::HTMLTextNode(std::u16string_view data) : HTMLNode(Kind::Text), data_(data) {}

std::shared_ptr<HTMLNode> HTMLTextNode::copy() const
{
    return std::make_shared<HTMLTextNode>(data_);
}
