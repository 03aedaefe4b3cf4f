#include "views/CommandPort.h"

#include "commands/MessageOutput.h"
#include "commands/mel/MelInterpreter.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <list>
#include <map>
#include <memory>

namespace host {

namespace {

// Maya's default buffer: a longer command closes the connection.
constexpr size_t kBufferSize = 4096;

struct Client
{
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
    bool closed = false;
};

struct Port
{
    MString name;
    CommandPortOptions options;
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
    std::list<std::shared_ptr<Client>> clients;
};

std::map<int, std::unique_ptr<Port>>& ports()
{
    static std::map<int, std::unique_ptr<Port>> open;
    return open;
}

// The port number of ":PORT", "localhost:PORT" or "127.0.0.1:PORT"; 0 when the
// name is no such port.
int portNumber(const MString& name)
{
    const std::string text = name.asChar();
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos)
        return 0;
    const std::string hostName = text.substr(0, colon);
    if (!hostName.empty() && hostName != "localhost" && hostName != "127.0.0.1")
        return 0;
    const std::string digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const int number = std::atoi(digits.c_str());
    return number > 0 && number <= 65535 ? number : 0;
}

void closeClient(Client& client)
{
    if (client.closed)
        return;
    client.closed = true;
    if (client.notifier) {
        client.notifier->setEnabled(false);
        client.notifier->deleteLater();
        client.notifier = nullptr;
    }
    ::close(client.fd);
    client.fd = -1;
}

void sendAll(int fd, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

std::string resultText(const MelValue& value)
{
    if (!value.isArray())
        return value.asString().asChar();
    const MStringArray elements = value.asStringArray();
    std::string text;
    for (unsigned i = 0; i < elements.length(); ++i) {
        if (i > 0)
            text += '\t';
        text += elements[i].asChar();
    }
    return text;
}

std::string messageText(MessageKind kind, const MString& text)
{
    switch (kind) {
    case MessageKind::kWarning:
        return std::string("Warning: ") + text.asChar() + "\n";
    case MessageKind::kError:
        return std::string("Error: ") + text.asChar() + "\n";
    case MessageKind::kInfo:
        return std::string(text.asChar()) + "\n";
    case MessageKind::kPrint:
        return text.asChar();
    }
    return std::string();
}

// Runs what a client sent and answers it.
void runFromClient(const std::shared_ptr<Client>& client, const CommandPortOptions options, const std::string& script)
{
    std::string output;
    std::string errors;
    MelValue result;
    MStatus status;
    {
        MessageCapture capture(true);
        status = MelInterpreter::run(MString(script.c_str()), &result);
        for (const auto& message : capture.messages()) {
            if (options.echoOutput)
                output += messageText(message.first, message.second);
            else if (message.first == MessageKind::kError)
                errors += messageText(message.first, message.second);
        }
    }
    if (options.noReturn || client->closed)
        return;
    std::string reply = output;
    if (status)
        reply += resultText(result) + "\n";
    else if (!options.echoOutput)
        reply += errors.empty() ? std::string("Error: the command failed.\n") : errors;
    reply += '\0';
    sendAll(client->fd, reply);
}

void readFromClient(const std::shared_ptr<Client>& client, const CommandPortOptions& options)
{
    if (client->closed)
        return;
    char buffer[kBufferSize + 1];
    const ssize_t n = ::recv(client->fd, buffer, sizeof(buffer), 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
        return;
    if (n <= 0 || static_cast<size_t>(n) > kBufferSize) {
        closeClient(*client);
        return;
    }
    // Commands run with the client's notifier off: a command that processes
    // events must not run this client's next command inside it.
    client->notifier->setEnabled(false);
    runFromClient(client, options, std::string(buffer, static_cast<size_t>(n)));
    if (!client->closed && client->notifier)
        client->notifier->setEnabled(true);
}

void acceptClient(Port& port)
{
    const int fd = ::accept4(port.fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    auto client = std::make_shared<Client>();
    client->fd = fd;
    client->notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
    const CommandPortOptions options = port.options;
    std::weak_ptr<Client> weak = client;
    QObject::connect(client->notifier, &QSocketNotifier::activated, [weak, options](int) {
        if (std::shared_ptr<Client> alive = weak.lock())
            readFromClient(alive, options);
    });
    // Forget clients that went away before keeping the new one.
    port.clients.remove_if([](const std::shared_ptr<Client>& c) { return c->closed; });
    port.clients.push_back(client);
}

} // namespace

MStatus openCommandPort(const MString& name, const CommandPortOptions& options, std::string& error)
{
    const int number = portNumber(name);
    if (number == 0) {
        error = "name is invalid";
        return MS::kInvalidParameter;
    }
    if (ports().count(number)) {
        error = "port is already in use";
        return MS::kFailure;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::strerror(errno);
        return MS::kFailure;
    }
    // Lets a port closed a moment ago open again at once; another listener still excludes it.
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(number));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(fd, 8) != 0) {
        error = errno == EADDRINUSE ? "port is already in use" : std::strerror(errno);
        ::close(fd);
        return MS::kFailure;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    auto port = std::make_unique<Port>();
    port->name = name;
    port->options = options;
    port->fd = fd;
    port->notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
    Port* raw = port.get();
    QObject::connect(port->notifier, &QSocketNotifier::activated, [raw](int) { acceptClient(*raw); });
    ports()[number] = std::move(port);
    return MS::kSuccess;
}

MStatus closeCommandPort(const MString& name)
{
    const auto found = ports().find(portNumber(name));
    if (found == ports().end())
        return MS::kFailure;
    Port& port = *found->second;
    for (const std::shared_ptr<Client>& client : port.clients)
        closeClient(*client);
    port.notifier->setEnabled(false);
    // Deleted later: the port may be closed by a command its own connection sent.
    port.notifier->deleteLater();
    ::close(port.fd);
    ports().erase(found);
    return MS::kSuccess;
}

bool commandPortOpen(const MString& name)
{
    return ports().count(portNumber(name)) > 0;
}

MStringArray commandPortNames()
{
    MStringArray names;
    for (const auto& entry : ports())
        names.append(entry.second->name);
    return names;
}

void closeAllCommandPorts()
{
    while (!ports().empty())
        closeCommandPort(ports().begin()->second->name);
}

} // namespace host
