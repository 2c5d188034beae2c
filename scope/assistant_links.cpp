#include "scope/assistant_links.h"

namespace {
AssistantLinks links;
}

AssistantLinks SetAssistantLinks(const AssistantLinks& next) {
    const AssistantLinks previous = links;
    links = next;
    return previous;
}

const AssistantLinks& GetAssistantLinks() { return links; }
