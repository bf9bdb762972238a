#pragma once

#include "html/HTMLNode.h"

// A mutable view of a node's child list whose every change goes through the
// node, so the parent links stay right whatever list operation a caller uses.
class HTMLChildrenRelationshipProxy {
public:
    explicit HTMLChildrenRelationshipProxy(std::shared_ptr<HTMLNode> node);

    std::size_t count() const { return node_->numberOfChildren(); }
    const std::shared_ptr<HTMLNode>& objectAtIndex(std::size_t index) const { return node_->childAtIndex(index); }
    std::size_t indexOfObject(const HTMLNode* child) const { return node_->indexOfChild(child); }

    void addObject(std::shared_ptr<HTMLNode> child);
    void removeObject(std::shared_ptr<HTMLNode> child);
    void removeAllObjects();
    void insertObject(std::shared_ptr<HTMLNode> child, std::size_t index);
    void insertObjects(const std::vector<std::shared_ptr<HTMLNode>>& nodes, const std::set<std::size_t>& indexes);
    void replaceObjectAtIndex(std::size_t index, std::shared_ptr<HTMLNode> node);
    void removeObjectAtIndex(std::size_t index);
    void removeObjectsAtIndexes(const std::set<std::size_t>& indexes);

private:
    std::shared_ptr<HTMLNode> node_;
};
