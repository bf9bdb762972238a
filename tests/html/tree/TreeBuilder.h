#pragma once

#include "html/HTMLElement.h"
#include "html/HTMLTextNode.h"

#include <memory>

// Builds small trees by hand for the tree, selector and serialization tests.
inline std::shared_ptr<HTMLElement> makeElement(std::u16string tag, HTMLOrderedDictionary attributes = {})
{
    return std::make_shared<HTMLElement>(std::move(tag), std::move(attributes));
}

inline std::shared_ptr<HTMLElement> appendElement(const std::shared_ptr<HTMLNode>& parent, std::u16string tag,
                                                  HTMLOrderedDictionary attributes = {})
{
    auto element = makeElement(std::move(tag), std::move(attributes));
    parent->addChild(element);
    return element;
}

inline std::shared_ptr<HTMLTextNode> appendText(const std::shared_ptr<HTMLNode>& parent, std::u16string data)
{
    auto text = std::make_shared<HTMLTextNode>(std::move(data));
    parent->addChild(text);
    return text;
}
