#include "companion/double_dummy_analysis.h"

#include <algorithm>
#include <climits>

#include "companion/automation_client.h"
#include "companion/class_registry.h"
#include "platform/error_report.h"
#include "platform/wide_text.h"

namespace companion {

namespace {

// Dispatch ids of the companion's objects.
constexpr int DISPID_OPEN = 20;       // application: open a PBN file
constexpr int DISPID_ANALYSE_ALL = 4; // application: double-dummy analysis of every board
constexpr int DISPID_BOARDS = 35;     // application: the collection of boards
constexpr int DISPID_COUNT = 1;       // boards: how many
constexpr int DISPID_ITEM = 0;        // boards: the board at an index
constexpr int DISPID_TAG_VALUE = 1;   // board: a PBN tag's value
constexpr int DISPID_TAG_TABLE = 4;   // board: the rows of a PBN tag's table

std::u16string W(std::string_view utf8) {
    return platform::Utf8ToUtf16(utf8);
}

const std::u16string PROG_ID_TEXT = platform::WidenAscii(TRICKSMITH_PROG_ID);

std::u16string GetTag(AutomationClient &client, int board, int dispid, std::string_view tag) {
    return W(client.Invoke(board, dispid, InvokeKind::GET, {BstrArg(tag)}, ResultType::BSTR).m_text);
}

DoubleDummyResults Converse(AutomationClient &client, const std::string &path, int boardsWritten) {
    DoubleDummyResults results;
    if (!client.Invoke(APPLICATION_OBJECT, DISPID_OPEN, InvokeKind::METHOD, {BstrArg(path)}, ResultType::BOOL)
             .m_number) {
        client.Quit();
        platform::FatalError(u"Cannot open temp file in TS.", W(path));
    }
    client.Invoke(APPLICATION_OBJECT, DISPID_ANALYSE_ALL, InvokeKind::METHOD, {}, ResultType::EMPTY);
    int boards = client.Invoke(APPLICATION_OBJECT, DISPID_BOARDS, InvokeKind::GET, {}, ResultType::DISPATCH).m_number;
    int count = client.Invoke(boards, DISPID_COUNT, InvokeKind::GET, {}, ResultType::I4, boardsWritten).m_number;
    for (int i = 0; i < count; ++i) {
        int board = client.Invoke(boards, DISPID_ITEM, InvokeKind::GET, {I4Arg(i)}, ResultType::DISPATCH).m_number;
        std::u16string number = GetTag(client, board, DISPID_TAG_VALUE, "Board");
        CDoubleDummyResult result;
        result.m_strDoubleDummyTricks = GetTag(client, board, DISPID_TAG_VALUE, "DoubleDummyTricks");
        result.m_strOptimumResultTable = GetTag(client, board, DISPID_TAG_VALUE, "OptimumResultTable");
        result.m_strOptimumResultRows = GetTag(client, board, DISPID_TAG_TABLE, "OptimumResultTable");
        // A board without tricks leaves no entry, and does not remove one that an earlier board of the same
        // number left.
        if (!result.m_strDoubleDummyTricks.empty())
            results[number] = std::move(result);
        client.Release(board);
    }
    client.Release(boards);
    client.Quit();
    return results;
}

} // namespace

size_t CountPbnBoards(std::string_view pbn) {
    size_t boards = 0;
    for (size_t line = 0; line < pbn.size();) {
        boards += pbn.substr(line).starts_with("[Board \"");
        size_t end = pbn.find('\n', line);
        line = end == std::string_view::npos ? pbn.size() : end + 1;
    }
    return boards;
}

DoubleDummyResults RunDoubleDummyAnalysis(const std::string &path, size_t boards) {
    const int boardsWritten = static_cast<int>(std::min<size_t>(boards, INT_MAX));
    AutomationClient client;
    client.SetBoardCount(boardsWritten);
    try {
        client.CreateDispatch(TRICKSMITH_PROG_ID);
    } catch (const platform::ProgramException &exception) {
        // A server that cannot be had is named by its class.
        platform::ReportException(exception, PROG_ID_TEXT);
    }
    try {
        return Converse(client, path, boardsWritten);
    } catch (const platform::ProgramException &exception) {
        // The client has already stopped the server when the transport failed; an error the server reported
        // leaves it running, and the client's destructor ends it.
        platform::ReportException(exception);
    }
}

} // namespace companion
