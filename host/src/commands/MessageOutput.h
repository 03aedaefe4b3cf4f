#pragma once
// Where displayInfo / displayWarning / displayError and `print` text go.
// By default: info and printed text to stdout, warnings to stderr as
// "Warning: <text>", errors to stderr as "Error: <text>". Tests replace the
// sink with a MessageCapture.

#include <maya/MString.h>

#include <functional>
#include <utility>
#include <vector>

namespace host {

enum class MessageKind { kInfo, kWarning, kError, kPrint };

typedef std::function<void(MessageKind, const MString&)> MessageSink;

// Sends one message to the current sink. kInfo, kWarning and kError are
// whole lines; kPrint text is written as it stands.
void writeMessage(MessageKind kind, const MString& text);

// Installs a sink (an empty one restores the default) and returns the old.
MessageSink setMessageSink(MessageSink sink);

// Listeners (the views' script output pane) see every message that reaches the standard
// streams, as it does; a capture that does not pass its messages on keeps them from the
// listeners too. They may be called on any thread that writes a message.
int addMessageListener(MessageSink listener);
void removeMessageListener(int id);

// Errors written since start-up; lets callers tell whether a failing
// command already explained itself.
unsigned long long errorCount();

// Collects every message while alive, optionally passing them on as well.
class MessageCapture
{
public:
    explicit MessageCapture(bool passThrough = false);
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    const std::vector<std::pair<MessageKind, MString>>& messages() const { return fMessages; }
    // All messages of one kind, each followed by a newline (print text as is).
    MString text(MessageKind kind) const;
    void clear() { fMessages.clear(); }

private:
    std::vector<std::pair<MessageKind, MString>> fMessages;
    MessageSink fPrevious;
};

} // namespace host
