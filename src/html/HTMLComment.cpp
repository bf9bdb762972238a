#include "html/HTMLComment.h"

HTMLComment::HTMLComment() : HTMLNode(Kind::Comment) {}

HTMLComment::HTMLComment(std::u16string data) : HTMLNode(Kind::Comment), data_(std::move(data)) {}

std::shared_ptr<HTMLNode> HTMLComment::copy() const
{
    return std::make_shared<HTMLComment>(data_);
}
