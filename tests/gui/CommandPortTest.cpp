// The command port: another process connects to 127.0.0.1, sends MEL and
// reads the results while the session's event loop runs.

#include "PluginTestSupport.h"

#include "commands/MessageOutput.h"
#include "views/Views.h"

#include <maya/MStringArray.h>

#include <QElapsedTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace {

// A port nobody listens on right now.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// A client of the port; the session's event loop turns while it waits.
class PortClient
{
public:
    explicit PortClient(int port)
    {
        mFd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        mConnected = ::connect(mFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        ::fcntl(mFd, F_SETFL, ::fcntl(mFd, F_GETFL) | O_NONBLOCK);
    }
    ~PortClient() { ::close(mFd); }

    bool connected() const { return mConnected; }

    // Sends MEL and returns the answer up to and including its closing NUL;
    // empty when none comes within five seconds.
    std::string ask(const std::string& mel)
    {
        if (::send(mFd, mel.data(), mel.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(mel.size()))
            return std::string();
        std::string answer;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5000) {
            host::processEvents();
            char buffer[4096];
            const ssize_t n = ::recv(mFd, buffer, sizeof(buffer), 0);
            if (n > 0) {
                answer.append(buffer, static_cast<size_t>(n));
                if (answer.back() == '\0')
                    return answer;
            } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
                break;
            }
        }
        return std::string();
    }

private:
    int mFd = -1;
    bool mConnected = false;
};

class CommandPort : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new"));
        fPort = freePort();
        fName = ":" + std::to_string(fPort);
    }
    void TearDown() override
    {
        if (melInt("commandPort -q -n \"" + fName + "\""))
            mel("commandPort -n \"" + fName + "\" -cl");
        mel("file -force -new");
    }

    std::string errorOf(const std::string& command)
    {
        host::MessageCapture capture;
        EXPECT_FALSE(mel(command)) << command;
        return capture.text(host::MessageKind::kError).asChar();
    }

    int fPort = 0;
    std::string fName;
};

TEST_F(CommandPort, ClientSendsMelAndReadsTheResult)
{
    ASSERT_TRUE(mel("commandPort -n \"" + fName + "\" -sourceType \"mel\""));
    EXPECT_EQ(melInt("commandPort -q -n \"" + fName + "\""), 1);
    PortClient client(fPort);
    ASSERT_TRUE(client.connected());

    // Array results come back tab separated, each answer ends in a newline and a NUL.
    EXPECT_EQ(client.ask("polyCube -n box; ls persp box;"), std::string("persp\tbox\n") + '\0');
    EXPECT_TRUE(nodeByName("box").hasFn(MFn::kTransform));
    EXPECT_EQ(client.ask("setAttr box.tx 2.5; getAttr box.tx;\n"), std::string("2.5\n") + '\0');

    // A failing command answers with the message the session shows.
    std::string expected;
    {
        host::MessageCapture capture;
        EXPECT_FALSE(mel("getAttr nothingHere.tx"));
        expected = std::string("Error: ") + capture.text(host::MessageKind::kError).asChar();
    }
    EXPECT_EQ(client.ask("getAttr nothingHere.tx"), expected + '\0');

    // A second client is served too.
    PortClient second(fPort);
    ASSERT_TRUE(second.connected());
    EXPECT_EQ(second.ask("objExists box"), std::string("1\n") + '\0');
}

TEST_F(CommandPort, EchoOutputSendsPrintedTextBeforeTheResult)
{
    ASSERT_TRUE(mel("commandPort -n \"" + fName + "\" -echoOutput"));
    PortClient client(fPort);
    ASSERT_TRUE(client.connected());
    EXPECT_EQ(client.ask("print \"hello\\n\"; objExists persp;"), std::string("hello\n1\n") + '\0');
}

TEST_F(CommandPort, CloseStopsListeningAndAPortOpensOnlyOnce)
{
    ASSERT_TRUE(mel("commandPort -n \"" + fName + "\""));
    EXPECT_EQ(errorOf("commandPort -n \"" + fName + "\""),
              "commandPort: Could not create command port: " + fName + " (port is already in use).\n");
    const MStringArray listed = melStrings("commandPort -listPorts");
    ASSERT_EQ(listed.length(), 1u);
    EXPECT_EQ(std::string(listed[0].asChar()), fName);

    ASSERT_TRUE(mel("commandPort -n \"" + fName + "\" -cl"));
    EXPECT_EQ(melInt("commandPort -q -n \"" + fName + "\""), 0);
    PortClient refused(fPort);
    EXPECT_FALSE(refused.connected());
    EXPECT_EQ(errorOf("commandPort -n \"" + fName + "\" -cl"),
              "commandPort: No command port named " + fName + " is open.\n");

    // Closed, it opens again at once.
    ASSERT_TRUE(mel("commandPort -n \"localhost:" + std::to_string(fPort) + "\""));
    PortClient client(fPort);
    ASSERT_TRUE(client.connected());
    EXPECT_EQ(client.ask("objExists persp"), std::string("1\n") + '\0');
}

TEST_F(CommandPort, PortsInUseElsewhereAndBadNamesAreRefused)
{
    // Another process (here a plain socket) holding the port.
    const int holder = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(fPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(holder, 1), 0);
    EXPECT_EQ(errorOf("commandPort -n \"" + fName + "\""),
              "commandPort: Could not create command port: " + fName + " (port is already in use).\n");
    ::close(holder);

    EXPECT_EQ(errorOf("commandPort -n \"example.com:7001\""),
              "commandPort: Could not create command port: example.com:7001 (name is invalid).\n");
    EXPECT_EQ(errorOf("commandPort -n \":70000\""),
              "commandPort: Could not create command port: :70000 (name is invalid).\n");
    EXPECT_EQ(errorOf("commandPort -n \"" + fName + "\" -sourceType \"python\""),
              "commandPort: Source type \"python\" is not supported; only \"mel\" is.\n");
    EXPECT_EQ(melInt("commandPort -q -n \"" + fName + "\""), 0);
}

} // namespace
