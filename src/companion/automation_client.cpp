#include "companion/automation_client.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <utility>

#include "companion/automation_text.h"
#include "companion/class_registry.h"
#include "platform/error_report.h"
#include "platform/file_uri.h"
#include "platform/wide_text.h"

namespace companion {

namespace {

TransportLimits g_limits;

// Longest reply line we accept: a board's texts are a few hundred bytes; anything near this is garbage.
constexpr size_t MAX_REPLY_LENGTH = 1 << 20;

std::u16string W(std::string_view utf8) {
    return platform::Utf8ToUtf16(utf8);
}

const char *TypeName(ResultType type) {
    switch (type) {
    case ResultType::EMPTY:
        return "empty";
    case ResultType::BOOL:
        return "bool";
    case ResultType::I4:
        return "i4";
    case ResultType::BSTR:
        return "bstr";
    case ResultType::DISPATCH:
        return "dispatch";
    }
    return "";
}

} // namespace

std::string BstrArg(std::string_view utf8) {
    return "bstr:" + PercentEncode(utf8);
}
std::string I4Arg(int value) {
    return "i4:" + std::to_string(value);
}

TransportLimits GetTransportLimits() {
    return g_limits;
}
TransportLimits SetTransportLimits(const TransportLimits &limits) {
    return std::exchange(g_limits, limits);
}

AutomationClient::~AutomationClient() {
    m_server.Kill();
}

void AutomationClient::CreateDispatch(std::string_view progId) {
    std::string classId;
    std::string server;
    if (!FindClassId(progId, classId) || !FindLocalServer(classId, server))
        throw platform::ProgramException(u"Class not registered");
    int startError = m_server.Start(server, {"--automation"});
    if (startError != 0)
        throw platform::ProgramException(
            W("Server execution failed: " + server + ": " + platform::ErrnoText(startError)));
    std::string line;
    auto result = m_server.ReadLine(line, g_limits.m_startMs, MAX_REPLY_LENGTH);
    if (result == platform::ChildProcess::ReadResult::LINE && line == "READY 1")
        return;
    std::string reason;
    if (result == platform::ChildProcess::ReadResult::LINE)
        reason = "unexpected greeting \"" + line.substr(0, 80) + "\"";
    else if (result == platform::ChildProcess::ReadResult::TIMEOUT)
        reason = "no answer within " + std::to_string(g_limits.m_startMs / 1000) + " seconds";
    else if (result == platform::ChildProcess::ReadResult::END_OF_FILE && m_server.WaitExit(2000))
        reason = "it ended (" + m_server.DescribeExit() + ")";
    else
        reason = "no greeting";
    m_server.Kill();
    throw platform::ProgramException(W("Server execution failed: " + server + ": " + reason));
}

AutomationResult AutomationClient::Invoke(int object, int dispid, InvokeKind kind, const std::vector<std::string> &args,
                                          ResultType expected, int maxI4) {
    std::string request = "INVOKE " + std::to_string(object) + ' ' + std::to_string(dispid) +
                          (kind == InvokeKind::METHOD ? " method" : " get");
    for (const std::string &arg : args) {
        request.push_back(' ');
        request.append(arg);
    }
    if (!m_server.WriteLine(request))
        Fail(u"");
    std::string reply = ReadReply();

    std::string_view view = reply;
    if (view.starts_with("ERROR ")) {
        std::string_view rest = view.substr(6);
        size_t blank = rest.find(' ');
        std::string description;
        if (blank == std::string_view::npos || !platform::PercentDecode(rest.substr(blank + 1), description))
            FailMalformed(reply);
        if (description.empty())
            description = "Error " + std::string(rest.substr(0, blank)) + " in Tricksmith.";
        throw platform::ProgramException(W(description));
    }
    if (!view.starts_with("OK "))
        FailMalformed(reply);
    view.remove_prefix(3);
    size_t colon = view.find(':');
    std::string_view type = view.substr(0, colon);
    std::string_view value = colon == std::string_view::npos ? std::string_view() : view.substr(colon + 1);
    if (type != TypeName(expected) || (expected == ResultType::EMPTY) != (colon == std::string_view::npos))
        FailMalformed(reply);

    AutomationResult result;
    result.m_type = expected;
    switch (expected) {
    case ResultType::EMPTY:
        break;
    case ResultType::BOOL:
        if (value != "0" && value != "1")
            FailMalformed(reply);
        result.m_number = value == "1";
        break;
    case ResultType::I4:
        if (!ParseInt32(value, result.m_number) || result.m_number > maxI4)
            FailMalformed(reply);
        break;
    case ResultType::DISPATCH:
        if (!ParseInt32(value, result.m_number) || result.m_number <= 0)
            FailMalformed(reply);
        break;
    case ResultType::BSTR:
        if (!platform::PercentDecode(value, result.m_text))
            FailMalformed(reply);
        break;
    }
    return result;
}

void AutomationClient::Release(int object) {
    if (!m_server.WriteLine("RELEASE " + std::to_string(object)))
        Fail(u"");
    std::string reply = ReadReply();
    if (reply != "OK empty")
        FailMalformed(reply);
}

void AutomationClient::Quit() {
    if (!m_server.Running())
        return;
    // One time limit for the answer and the end together.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(g_limits.m_quitMs);
    std::string reply;
    if (m_server.WriteLine("QUIT")) {
        auto result = m_server.ReadLine(reply, g_limits.m_quitMs, MAX_REPLY_LENGTH);
        (void)result; // the server may end without answering; all we need is that it ends
    }
    m_server.CloseInput();
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (!m_server.WaitExit(static_cast<int>(std::max<long long>(left.count(), 0))))
        m_server.Kill();
}

namespace {

// Progress counts beyond any file's boards: larger numbers are read as this.
constexpr long long MAX_PROGRESS_COUNT = 1'000'000'000'000'000;

// "BUSY <done>/<total>", both decimal, done not above total; false for any other progress text.
bool ReadProgressCount(std::string_view line, long long &done, long long &total) {
    size_t slash = line.find('/');
    if (!line.starts_with("BUSY ") || slash == std::string_view::npos)
        return false;
    auto number = [](std::string_view text, long long &value) {
        if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
            return false;
        value = 0;
        for (char digit : text)
            value = std::min(value * 10 + (digit - '0'), MAX_PROGRESS_COUNT);
        return true;
    };
    return number(line.substr(5, slash - 5), done) && number(line.substr(slash + 1), total) && done <= total;
}

} // namespace

std::string AutomationClient::ReadReply() {
    using Clock = std::chrono::steady_clock;
    using Ms = std::chrono::milliseconds;
    // Only progress that moves forward restarts the time limit, and never beyond a ceiling for the whole call:
    // a server whose work is stuck while something in it still says "BUSY", or says two things by turns, must
    // not hold us forever.
    const Clock::time_point start = Clock::now();
    Clock::time_point deadline = start + Ms(g_limits.m_replyMs);
    long long lastDone = -1, firstTotal = -1;
    int limitMs = g_limits.m_replyMs;
    std::string line;
    for (;;) {
        auto left = std::chrono::duration_cast<Ms>(deadline - Clock::now()).count();
        auto result = m_server.ReadLine(line, static_cast<int>(std::max<long long>(left, 0)), MAX_REPLY_LENGTH);
        switch (result) {
        case platform::ChildProcess::ReadResult::LINE: {
            if (line != "BUSY" && !line.starts_with("BUSY "))
                return line;
            long long done = 0, total = 0;
            if (!ReadProgressCount(line, done, total))
                continue;
            // More boards than the file holds: the server is not counting what we gave it.
            if (total > m_boards)
                FailMalformed(line);
            if (done <= lastDone || (firstTotal >= 0 && total != firstTotal))
                continue;
            if (firstTotal < 0)
                firstTotal = total;
            lastDone = done;
            long long ceilingMs = static_cast<long long>(g_limits.m_callMsPerThousandBoards) *
                                  std::max<long long>(1, (firstTotal + 999) / 1000);
            ceilingMs = std::max<long long>(std::min<long long>(ceilingMs, INT_MAX), g_limits.m_replyMs);
            Clock::time_point ceiling = start + Ms(ceilingMs);
            deadline = std::min(Clock::now() + Ms(g_limits.m_replyMs), ceiling);
            limitMs = deadline == ceiling ? static_cast<int>(ceilingMs) : g_limits.m_replyMs;
            continue;
        }
        case platform::ChildProcess::ReadResult::TIMEOUT:
            Fail(W("Tricksmith did not answer within " + std::to_string((limitMs + 999) / 1000) + " seconds."));
        case platform::ChildProcess::ReadResult::TOO_LONG:
            Fail(u"Tricksmith sent a reply that could not be understood: the line is too long.");
        case platform::ChildProcess::ReadResult::END_OF_FILE:
        case platform::ChildProcess::ReadResult::ERROR:
            Fail(u"");
        }
    }
}

void AutomationClient::Fail(std::u16string message) {
    if (message.empty()) {
        // The server closed its end: say how it ended, if it did.
        std::string how = m_server.WaitExit(2000) ? m_server.DescribeExit() : "it stopped answering";
        message = W("Tricksmith ended unexpectedly (" + how + ").");
    }
    m_server.Kill();
    throw platform::ProgramException(std::move(message));
}

void AutomationClient::FailMalformed(std::string_view line) {
    Fail(W("Tricksmith sent a reply that could not be understood: " +
           platform::ShowControlsVisibly(line.substr(0, 80))));
}

} // namespace companion
