#include "html/HTMLDocument.h"

#include "html/HTMLChildrenRelationshipProxy.h"
#include "html/HTMLDocumentType.h"
#include "html/HTMLElement.h"

HTMLDocument::HTMLDocument() : HTMLNode(Kind::Document) {}

namespace {

std::shared_ptr<HTMLNode> firstChildOfKind(const HTMLNode& parent, HTMLNode::Kind kind)
{
    for (std::size_t i = 0; i < parent.numberOfChildren(); ++i) {
        if (parent.childAtIndex(i)->kind() == kind)
            return parent.childAtIndex(i);
    }
    return nullptr;
}

} // namespace

std::shared_ptr<HTMLDocumentType> HTMLDocument::documentType() const
{
    return std::static_pointer_cast<HTMLDocumentType>(firstChildOfKind(*this, Kind::DocumentType));
}

std::shared_ptr<HTMLElement> HTMLDocument::rootElement() const
{
    return std::static_pointer_cast<HTMLElement>(firstChildOfKind(*this, Kind::Element));
}

void HTMLDocument::setDocumentType(const std::shared_ptr<HTMLDocumentType>& documentType)
{
    const std::shared_ptr<HTMLDocumentType> old = this->documentType();
    HTMLChildrenRelationshipProxy children = mutableChildren();
    if (old && documentType) {
        children.replaceObjectAtIndex(indexOfChild(old.get()), documentType);
    } else if (documentType) {
        // A new DOCTYPE goes before the root element.
        const std::shared_ptr<HTMLElement> root = rootElement();
        children.insertObject(documentType, root ? indexOfChild(root.get()) : numberOfChildren());
    } else if (old) {
        children.removeObject(old);
    }
}

void HTMLDocument::setRootElement(const std::shared_ptr<HTMLElement>& rootElement)
{
    const std::shared_ptr<HTMLElement> old = this->rootElement();
    HTMLChildrenRelationshipProxy children = mutableChildren();
    if (old && rootElement)
        children.replaceObjectAtIndex(indexOfChild(old.get()), rootElement);
    else if (rootElement)
        children.addObject(rootElement);
    else if (old)
        children.removeObject(old);
}

std::shared_ptr<HTMLElement> HTMLDocument::bodyElement() const
{
    const std::shared_ptr<HTMLElement> root = rootElement();
    if (!root)
        return nullptr;
    for (std::size_t i = 0; i < root->numberOfChildren(); ++i) {
        const auto& child = root->childAtIndex(i);
        if (child->kind() == Kind::Element && static_cast<const HTMLElement&>(*child).tagName() == u"body")
            return std::static_pointer_cast<HTMLElement>(child);
    }
    return nullptr;
}

std::shared_ptr<HTMLNode> HTMLDocument::copy() const
{
    return std::make_shared<HTMLDocument>();
}
