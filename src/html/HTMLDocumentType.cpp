#include "html/HTMLDocumentType.h"

HTMLDocumentType::HTMLDocumentType() : HTMLNode(Kind::DocumentType), name_(u"html") {}

HTMLDocumentType::HTMLDocumentType(std::u16string name, std::u16string publicIdentifier, std::u16string systemIdentifier)
    : HTMLNode(Kind::DocumentType),
      name_(std::move(name)),
      publicIdentifier_(std::move(publicIdentifier)),
      systemIdentifier_(std::move(systemIdentifier))
{
}

std::shared_ptr<HTMLNode> HTMLDocumentType::copy() const
{
    return std::make_shared<HTMLDocumentType>(name_, publicIdentifier_, systemIdentifier_);
}
