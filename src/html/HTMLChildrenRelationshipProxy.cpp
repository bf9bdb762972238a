#include "html/HTMLChildrenRelationshipProxy.h"

#include <stdexcept>

HTMLChildrenRelationshipProxy::HTMLChildrenRelationshipProxy(std::shared_ptr<HTMLNode> node) : node_(std::move(node))
{
    if (!node_)
        throw std::invalid_argument("Invalid parameter not satisfying: node");
}

void HTMLChildrenRelationshipProxy::addObject(std::shared_ptr<HTMLNode> child)
{
    node_->insertObject(std::move(child), node_->numberOfChildren());
}

void HTMLChildrenRelationshipProxy::removeObject(std::shared_ptr<HTMLNode> child)
{
    const std::size_t index = node_->indexOfChild(child.get());
    if (index != HTMLNotFound)
        node_->removeObjectFromChildrenAtIndex(index);
}

void HTMLChildrenRelationshipProxy::removeAllObjects()
{
    node_->removeAllChildren();
}

void HTMLChildrenRelationshipProxy::insertObject(std::shared_ptr<HTMLNode> child, std::size_t index)
{
    node_->insertObject(std::move(child), index);
}

void HTMLChildrenRelationshipProxy::insertObjects(const std::vector<std::shared_ptr<HTMLNode>>& nodes,
                                                  const std::set<std::size_t>& indexes)
{
    node_->insertChildren(nodes, indexes);
}

void HTMLChildrenRelationshipProxy::replaceObjectAtIndex(std::size_t index, std::shared_ptr<HTMLNode> node)
{
    node_->replaceObjectInChildrenAtIndex(index, std::move(node));
}

void HTMLChildrenRelationshipProxy::removeObjectAtIndex(std::size_t index)
{
    node_->removeObjectFromChildrenAtIndex(index);
}

void HTMLChildrenRelationshipProxy::removeObjectsAtIndexes(const std::set<std::size_t>& indexes)
{
    node_->removeChildrenAtIndexes(indexes);
}
