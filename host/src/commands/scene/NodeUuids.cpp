#include "commands/scene/NodeUuids.h"

#include "dg/Node.h"
#include "dg/Scene.h"

#include <cctype>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>

namespace host {

namespace {

struct Entry
{
    std::shared_ptr<LifeToken> life;  // the node's: a freed node's entry is stale
    std::string uuid;
};

std::unordered_map<const Node*, Entry>& entries()
{
    static std::unordered_map<const Node*, Entry> table;
    return table;
}

std::string freshUuid()
{
    static std::mt19937_64 generator{std::random_device{}()};
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    uint64_t bits[2] = {generator(), generator()};
    for (int i = 0; i < 32; ++i) {
        if (i == 8 || i == 12 || i == 16 || i == 20)
            text += '-';
        text += kDigits[(bits[i / 16] >> ((i % 16) * 4)) & 0xF];
    }
    return text;
}

} // namespace

MString NodeUuids::of(Node* node)
{
    Entry& entry = entries()[node];
    if (!entry.life || !entry.life->alive || entry.life != node->lifeToken()) {
        entry.life = node->lifeToken();
        entry.uuid = freshUuid();
    }
    return MString(entry.uuid.c_str(), static_cast<int>(entry.uuid.size()));
}

void NodeUuids::set(Node* node, const MString& uuid)
{
    Entry& entry = entries()[node];
    entry.life = node->lifeToken();
    entry.uuid = uuid.asChar();
    for (char& c : entry.uuid)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

Node* NodeUuids::find(const MString& uuid)
{
    std::string wanted = uuid.asChar();
    for (char& c : wanted)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (Node* node : sceneNodes()) {
        auto it = entries().find(node);
        if (it != entries().end() && it->second.life == node->lifeToken() && it->second.uuid == wanted)
            return node;
    }
    return nullptr;
}

bool NodeUuids::isWellFormed(const MString& text)
{
    const char* s = text.asChar();
    if (text.length() != 36)
        return false;
    for (int i = 0; i < 36; ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? s[i] != '-' : !std::isxdigit(static_cast<unsigned char>(s[i])))
            return false;
    }
    return true;
}

void NodeUuids::clear()
{
    entries().clear();
}

} // namespace host
