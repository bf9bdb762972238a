#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

class HTMLNode;

// A pre-order walk of a subtree, the start node first, without recursion (so
// any depth of nesting is fine). The reversed walk visits children from last
// to first, still each node before its descendants. The tree must not change
// during a walk.
class HTMLTreeEnumerator {
public:
    HTMLTreeEnumerator(std::shared_ptr<HTMLNode> node, bool reversed);

    // The next node, or nullptr when the walk is over.
    std::shared_ptr<HTMLNode> nextObject();

private:
    std::shared_ptr<HTMLNode> nextNode_;
    bool reversed_;
    // One (index, count) pair per level below the start node.
    std::vector<std::pair<std::size_t, std::size_t>> indexPath_;
};
