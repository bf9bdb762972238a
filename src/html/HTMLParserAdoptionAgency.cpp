// The adoption agency algorithm: repairs misnested formatting elements.

#include "html/HTMLParser.h"
#include "html/HTMLChildrenRelationshipProxy.h"
#include "html/HTMLParserTables.h"

bool HTMLParser::runTheAdoptionAgencyAlgorithmSteps(std::size_t subject)
{
    for (int outerLoopCounter = 0; outerLoopCounter < 8; ++outerLoopCounter) {
        // 1. The formatting element: the newest of that name after the last marker.
        const ElementPtr formattingElement = activeFormattingElementNumbered(subject);
        if (!formattingElement)
            return false;
        // 2. Not on the stack of open elements
        const std::size_t formattingElementIndex = indexInStackOfOpenElements(formattingElement.get());
        if (formattingElementIndex == HTMLNotFound) {
            addParseError("Adoption agency formatting element missing from stack");
            removeFromListOfActiveFormattingElements(formattingElement.get());
            return true;
        }
        // 3. On the stack but not in scope
        if (!isElementInScope(formattingElement.get())) {
            addParseError("Adoption agency formatting element missing from scope");
            return true;
        }
        // 4. Not the current node
        if (formattingElement.get() != currentNode())
            addParseError("Adoption agency formatting element not current");
        // 5. The furthest block: the lowest special element above the formatting element.
        std::size_t furthestBlockIndex = formattingElementIndex + 1;
        while (furthestBlockIndex < stackOfOpenElements_.size()
               && !IsSpecialElement(*stackOfOpenElements_[furthestBlockIndex]))
            ++furthestBlockIndex;
        if (furthestBlockIndex == stackOfOpenElements_.size()) {
            popElementsUntilElementIsPopped(formattingElement.get());
            removeFromListOfActiveFormattingElements(formattingElement.get());
            return true;
        }
        const ElementPtr furthestBlock = stackOfOpenElements_[furthestBlockIndex];
        // 6. The common ancestor
        HTMLElement* commonAncestor =
            formattingElementIndex > 0 ? stackOfOpenElements_[formattingElementIndex - 1].get() : nullptr;
        // 7. The bookmark stays at the formatting element unless it moves after a copy.
        ElementPtr bookmarkAfter;
        // 8. The inner loop walks down from the furthest block to the formatting element.
        ElementPtr lastNode = furthestBlock;
        std::size_t position = furthestBlockIndex;
        for (int innerLoopCounter = 1;; ++innerLoopCounter) {
            // 8.1 Removals above the position leave the elements below in place.
            ElementPtr node = stackOfOpenElements_[--position];
            // 8.2
            if (node == formattingElement)
                break;
            // 8.3
            std::size_t listIndex = indexInListOfActiveFormattingElements(node.get());
            if (innerLoopCounter > 3 && listIndex != HTMLNotFound) {
                removeFromListOfActiveFormattingElements(node.get());
                listIndex = HTMLNotFound;
            }
            // 8.4
            if (listIndex == HTMLNotFound) {
                removeFromStackOfOpenElementsAt(position);
                continue;
            }
            // 8.5 A copy takes node's place in the list and on the stack (same name and attributes).
            node = copyOfElement(*node);
            activeFormattingElements_[listIndex] = node;
            stackOfOpenElements_[position] = node;
            // 8.6
            if (lastNode == furthestBlock)
                bookmarkAfter = node;
            // 8.7
            node->addChild(lastNode);
            // 8.8
            lastNode = node;
        }
        // 9.
        insertNodeAtAppropriatePlace(lastNode, commonAncestor);
        // 10. A copy of the formatting element takes over the furthest block's children.
        const ElementPtr newElement = copyOfElement(*formattingElement);
        const std::vector<std::shared_ptr<HTMLNode>> children = furthestBlock->children();
        furthestBlock->mutableChildren().removeAllObjects();
        for (const auto& child : children)
            newElement->addChild(child);
        furthestBlock->addChild(newElement);
        // 11. The copy goes to the bookmark in the list.
        if (bookmarkAfter) {
            removeFromListOfActiveFormattingElements(formattingElement.get());
            const std::size_t after = indexInListOfActiveFormattingElements(bookmarkAfter.get());
            insertIntoListOfActiveFormattingElements(after + 1, newElement);
        } else {
            activeFormattingElements_[indexInListOfActiveFormattingElements(formattingElement.get())] = newElement;
        }
        // 12. On the stack, the copy goes directly above the furthest block.
        removeFromStackOfOpenElements(formattingElement.get());
        insertIntoStackOfOpenElements(indexInStackOfOpenElements(furthestBlock.get()) + 1, newElement);
    }
    return true;
}

HTMLParser::ElementPtr HTMLParser::activeFormattingElementNumbered(std::size_t number) const
{
    for (auto entry = activeFormattingElements_.rbegin(); entry != activeFormattingElements_.rend(); ++entry) {
        if (!*entry)
            return nullptr;
        if ((*entry)->tagNameNumber() == number)
            return *entry;
    }
    return nullptr;
}
