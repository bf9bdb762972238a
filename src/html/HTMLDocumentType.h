#pragma once

#include "html/HTMLNode.h"

class HTMLDocumentType : public HTMLNode {
public:
    // Name "html", no identifiers.
    HTMLDocumentType();
    // A missing identifier is stored as "".
    HTMLDocumentType(std::u16string name, std::u16string publicIdentifier, std::u16string systemIdentifier);

    const std::u16string& name() const { return name_; }
    const std::u16string& publicIdentifier() const { return publicIdentifier_; }
    const std::u16string& systemIdentifier() const { return systemIdentifier_; }

    std::shared_ptr<HTMLNode> copy() const override;
    std::u16string serializedFragment() const override;
    std::string description() const override;

private:
    std::u16string name_;
    std::u16string publicIdentifier_;
    std::u16string systemIdentifier_;
};
