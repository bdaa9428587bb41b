#pragma once
// The client side of the automation transport: starts the registered server of a ProgID as a child process and
// calls its objects by dispatch id, one request line and one reply line at a time (docs/companion-protocol.md).
// Any failure of the server or the transport kills and reaps the server before it is reported.
#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"

namespace companion {

enum class InvokeKind { METHOD, GET };
enum class ResultType { EMPTY, BOOL, I4, BSTR, DISPATCH };

struct AutomationResult {
    ResultType m_type = ResultType::EMPTY;
    int m_number = 0;   // BOOL (0 or 1), I4, DISPATCH (the object handle)
    std::string m_text; // BSTR, UTF-8
};

// The application object that the server creates at start.
inline constexpr int APPLICATION_OBJECT = 1;

// Arguments in their transport form.
std::string BstrArg(std::string_view utf8);
std::string I4Arg(int value);

// Time limits of the transport, in milliseconds: for the server's first line, for each reply (restarted by each
// progress line that moves forward), for the server to end after QUIT, and the most that progress may stretch
// one call to, per 1,000 boards of the total that the progress lines announce.
struct TransportLimits {
    int m_startMs = 15000;
    int m_replyMs = 60000;
    int m_quitMs = 5000;
    int m_callMsPerThousandBoards = 600000;
};
TransportLimits GetTransportLimits();
// Returns the limits it replaces.
TransportLimits SetTransportLimits(const TransportLimits &limits);

class AutomationClient {
public:
    AutomationClient() = default;
    ~AutomationClient(); // a server still running is killed and reaped
    AutomationClient(const AutomationClient &) = delete;
    AutomationClient &operator=(const AutomationClient &) = delete;

    // Looks the ProgID's server up in the classes file and starts it. Throws platform::ProgramException when the
    // class is not registered or the server cannot be started or does not greet us.
    void CreateDispatch(std::string_view progId);

    // How many boards the file that the server works on holds: we wrote it, so a progress line (BUSY done/total)
    // that counts more is a reply that could not be understood.
    void SetBoardCount(int boards) { m_boards = boards; }

    // One call. The reply must be of the `expected` type, an i4 not above `maxI4`. Throws
    // platform::ProgramException (after killing the server) when the server fails, ends, does not answer in time
    // or answers something else; an ERROR reply throws its description and leaves the server running.
    AutomationResult Invoke(int object, int dispid, InvokeKind kind, const std::vector<std::string> &args,
                            ResultType expected, int maxI4 = INT_MAX);
    // Lets the server drop an object it handed out.
    void Release(int object);
    // Ends the conversation: QUIT, then waits for the server to end (and kills it when it does not).
    void Quit();

private:
    // Reads the reply to the request just sent, passing over progress lines.
    std::string ReadReply();
    [[noreturn]] void Fail(std::u16string message);
    [[noreturn]] void FailMalformed(std::string_view line);

    platform::ChildProcess m_server;
    int m_boards = INT_MAX;
};

} // namespace companion
