#include "commands/MessageOutput.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace host {

namespace {

void notifyListeners(MessageKind kind, const MString& text);

void writeToStandardStreams(MessageKind kind, const MString& text)
{
    // What reaches the terminal reaches the listeners (a capture that keeps its messages
    // keeps them from both).
    notifyListeners(kind, text);
    switch (kind) {
    case MessageKind::kInfo:
        std::fputs(text.asChar(), stdout);
        std::fputc('\n', stdout);
        break;
    case MessageKind::kPrint:
        std::fputs(text.asChar(), stdout);
        break;
    case MessageKind::kWarning:
    case MessageKind::kError:
        // Keep stdout and stderr in order when both go to one terminal or log.
        std::fflush(stdout);
        std::fputs(kind == MessageKind::kWarning ? "Warning: " : "Error: ", stderr);
        std::fputs(text.asChar(), stderr);
        std::fputc('\n', stderr);
        std::fflush(stderr);
        break;
    }
}

MessageSink& currentSink()
{
    static MessageSink sink;
    return sink;
}

unsigned long long gErrorCount = 0;

std::vector<std::pair<int, MessageSink>>& listeners()
{
    static std::vector<std::pair<int, MessageSink>> all;
    return all;
}

void notifyListeners(MessageKind kind, const MString& text)
{
    for (const auto& listener : listeners())
        listener.second(kind, text);
}

// Messages may come from draw threads too; a sink may itself write messages.
std::recursive_mutex& outputMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

} // namespace

void writeMessage(MessageKind kind, const MString& text)
{
    std::lock_guard<std::recursive_mutex> lock(outputMutex());
    if (kind == MessageKind::kError)
        ++gErrorCount;
    const MessageSink& sink = currentSink();
    if (sink)
        sink(kind, text);
    else
        writeToStandardStreams(kind, text);
}

MessageSink setMessageSink(MessageSink sink)
{
    std::lock_guard<std::recursive_mutex> lock(outputMutex());
    MessageSink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

int addMessageListener(MessageSink listener)
{
    std::lock_guard<std::recursive_mutex> lock(outputMutex());
    static int nextId = 0;
    listeners().emplace_back(++nextId, std::move(listener));
    return nextId;
}

void removeMessageListener(int id)
{
    std::lock_guard<std::recursive_mutex> lock(outputMutex());
    auto& all = listeners();
    all.erase(std::remove_if(all.begin(), all.end(), [id](const auto& entry) { return entry.first == id; }),
              all.end());
}

unsigned long long errorCount()
{
    std::lock_guard<std::recursive_mutex> lock(outputMutex());
    return gErrorCount;
}

MessageCapture::MessageCapture(bool passThrough)
{
    fPrevious = setMessageSink([this, passThrough](MessageKind kind, const MString& text) {
        fMessages.emplace_back(kind, text);
        if (!passThrough)
            return;
        if (fPrevious)
            fPrevious(kind, text);
        else
            writeToStandardStreams(kind, text);
    });
}

MessageCapture::~MessageCapture()
{
    setMessageSink(std::move(fPrevious));
}

MString MessageCapture::text(MessageKind kind) const
{
    MString all;
    for (const auto& message : fMessages) {
        if (message.first != kind)
            continue;
        all += message.second;
        if (kind != MessageKind::kPrint)
            all += '\n';
    }
    return all;
}

} // namespace host
