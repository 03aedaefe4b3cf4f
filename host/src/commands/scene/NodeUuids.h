#pragma once
// Node UUIDs as Maya keeps them: every node has one, scene files set it with
// "rename -uid" after the createNode and the writer writes it back there.
// A node that was never given one gets a fresh random UUID when first asked.

#include <maya/MString.h>

namespace host {

class Node;

class NodeUuids
{
public:
    // The node's UUID ("E63389A1-48A2-0256-35C1-4B945A9EC512").
    static MString of(Node* node);
    static void set(Node* node, const MString& uuid);
    // The live scene node with that UUID, or null.
    static Node* find(const MString& uuid);
    // Whether text is written as a UUID: 8-4-4-4-12 hexadecimal digits.
    static bool isWellFormed(const MString& text);
    // Forgets every UUID (a new or opened scene).
    static void clear();
};

} // namespace host
