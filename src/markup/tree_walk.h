#pragma once
// The walk over a parse tree in document order, with a stack of its own: pages nest unclosed elements a million
// deep, deeper than any call stack.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "markup/xml_node.h"

namespace NKXML {

// One level of the walk: a node's children and the next one to visit, so that stepping to the next child reads
// nothing but the array.
struct WalkLevel {
    CNode *const *children;
    uint32_t next;
    uint32_t count;
    bool leave; // leave() is due when the level is done
};
using WalkStack = std::vector<WalkLevel>;

// Calls enter(node, indexInParent) for the start node (index 0) and every descendant in document order
// (attributes are not visited). When enter returns true, leave() is called once the node's subtree is done; so
// the calls of leave() close, innermost first, what the calls of enter() opened. `stack` is the walk's own; the
// callbacks may walk again with another stack.
template <class Node, class Enter, class Leave>
void WalkTree(Node *start, WalkStack &stack, Enter &&enter, Leave &&leave) {
    stack.clear();
    auto push = [&stack](Node *node, bool leaveAfter) {
        stack.push_back({node->m_children.begin(), 0, static_cast<uint32_t>(node->m_children.size()), leaveAfter});
    };
    push(start, enter(start, size_t(0)));
    while (!stack.empty()) {
        WalkLevel &level = stack.back();
        if (level.next == level.count) {
            const bool leaveAfter = level.leave;
            stack.pop_back();
            if (leaveAfter)
                leave();
            continue;
        }
        const uint32_t index = level.next++;
        Node *child = level.children[index];
        const bool leaveAfter = enter(child, size_t(index));
        if (!child->m_children.empty())
            push(child, leaveAfter); // `level` is not used again this turn
        else if (leaveAfter)
            leave();
    }
}

// Calls visit(node) for the start node and every descendant in document order.
template <class Node, class Visit> void ForEachInSubtree(Node *start, WalkStack &stack, Visit &&visit) {
    WalkTree(
        start, stack,
        [&visit](Node *node, size_t) {
            visit(node);
            return false;
        },
        [] {});
}

} // namespace NKXML
