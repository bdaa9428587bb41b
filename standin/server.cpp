#include "server.h"

#include <chrono>
#include <condition_variable>
#include <iterator>
#include <mutex>
#include <sstream>
#include <thread>

#include "companion/automation_text.h"
#include "pbn_file.h"
#include "platform/file_uri.h"

namespace standin {

namespace {

constexpr int APPLICATION = 1;
constexpr int BOARDS = 2;
constexpr int FIRST_BOARD = 1000;

std::string Error(const char *hresult, std::string_view description) {
    return std::string("ERROR ") + hresult + ' ' + companion::PercentEncode(description);
}
std::string MemberNotFound() {
    return Error("80020003", "Member not found.");
}
std::string BadParamCount() {
    return Error("8002000E", "Invalid number of parameters.");
}
std::string TypeMismatch() {
    return Error("80020005", "Type mismatch.");
}
std::string Bstr(std::string_view text) {
    return "OK bstr:" + companion::PercentEncode(text);
}

bool StringArg(const std::string &arg, std::string &value) {
    return arg.starts_with("bstr:") && platform::PercentDecode(std::string_view(arg).substr(5), value);
}
bool IntArg(const std::string &arg, int &value) {
    return arg.starts_with("i4:") && companion::ParseInt32(std::string_view(arg).substr(3), value);
}

void Send(std::FILE *out, const std::string &line) {
    std::fwrite(line.data(), 1, line.size(), out);
    std::fputc('\n', out);
    std::fflush(out);
}

} // namespace

int Server::Run(std::istream &in, std::FILE *out) {
    Send(out, "READY 1");
    std::string request;
    while (std::getline(in, request)) {
        if (!request.empty() && request.back() == '\r')
            request.pop_back();
        if (request == "QUIT") {
            Send(out, "OK empty");
            return 0;
        }
        Send(out, Handle(request, out));
    }
    return 0;
}

std::string Server::Handle(const std::string &request, std::FILE *out) {
    std::istringstream words(request);
    std::vector<std::string> tokens{std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
    int object = 0;
    if (tokens.size() == 2 && tokens[0] == "RELEASE" && companion::ParseInt32(tokens[1], object))
        return "OK empty";
    int dispid = 0;
    if (tokens.size() >= 4 && tokens[0] == "INVOKE" && companion::ParseInt32(tokens[1], object) &&
        companion::ParseInt32(tokens[2], dispid) && (tokens[3] == "method" || tokens[3] == "get"))
        return Invoke(object, dispid, tokens[3], std::vector<std::string>(tokens.begin() + 4, tokens.end()), out);
    return Error("80004005", "Malformed request.");
}

std::string Server::Invoke(int object, int dispid, const std::string &kind, const std::vector<std::string> &args,
                           std::FILE *out) {
    bool method = kind == "method";
    if (object == APPLICATION) {
        if (dispid == 20 && method) {
            std::string path;
            if (args.size() != 1)
                return BadParamCount();
            if (!StringArg(args[0], path))
                return TypeMismatch();
            return Open(path);
        }
        if (dispid == 4 && method)
            return args.empty() ? AnalyseAll(out) : BadParamCount();
        if (dispid == 35 && !method)
            return args.empty() ? "OK dispatch:" + std::to_string(BOARDS) : BadParamCount();
        return MemberNotFound();
    }
    if (object == BOARDS) {
        if (dispid == 1 && !method)
            return args.empty() ? "OK i4:" + std::to_string(m_games.size()) : BadParamCount();
        if (dispid == 0 && !method) {
            int index = 0;
            if (args.size() != 1)
                return BadParamCount();
            if (!IntArg(args[0], index))
                return TypeMismatch();
            if (index < 0 || static_cast<size_t>(index) >= m_games.size())
                return Error("8002000B", "Invalid index.");
            return "OK dispatch:" + std::to_string(FIRST_BOARD + index);
        }
        return MemberNotFound();
    }
    if (object >= FIRST_BOARD && static_cast<size_t>(object - FIRST_BOARD) < m_games.size()) {
        if ((dispid == 1 || dispid == 4) && !method) {
            std::string tag;
            if (args.size() != 1)
                return BadParamCount();
            if (!StringArg(args[0], tag))
                return TypeMismatch();
            return Bstr(TagValue(static_cast<size_t>(object - FIRST_BOARD), tag, dispid == 4));
        }
        return MemberNotFound();
    }
    return Error("80070006", "Invalid handle.");
}

std::string Server::Open(const std::string &path) {
    std::string bytes, why;
    if (!ReadPbnFile(path, bytes, why))
        return "OK bool:0";
    m_games = ParsePbnGames(DecodePbnBytes(bytes));
    m_tricks.assign(m_games.size(), std::string());
    m_rows.assign(m_games.size(), std::string());
    return "OK bool:1";
}

std::string Server::AnalyseAll(std::FILE *out) {
    std::vector<DealCards> deals;
    std::vector<size_t> owners; // the game of each deal
    for (size_t i = 0; i < m_games.size(); ++i) {
        const PbnTag *deal = m_games[i].Find("Deal");
        DealCards cards;
        if (deal && ReadCompleteDeal(deal->m_value, cards)) {
            deals.push_back(cards);
            owners.push_back(i);
        }
    }
    // A heartbeat while the solver works, so that the client can tell a long analysis from a hung one.
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    std::thread heartbeat([&] {
        std::unique_lock<std::mutex> guard(lock);
        while (!finished.wait_for(guard, std::chrono::seconds(1), [&] { return done; }))
            Send(out, "BUSY");
    });
    std::vector<TrickTable> tables;
    std::string error = SolveTables(deals, tables, [&](size_t solved, size_t total) {
        std::lock_guard<std::mutex> guard(lock);
        Send(out, "BUSY " + std::to_string(solved) + "/" + std::to_string(total));
    });
    {
        std::lock_guard<std::mutex> guard(lock);
        done = true;
    }
    finished.notify_one();
    heartbeat.join();
    if (!error.empty())
        return Error("80004005", error);
    for (size_t k = 0; k < deals.size(); ++k) {
        m_tricks[owners[k]] = FormatDoubleDummyTricks(tables[k]);
        m_rows[owners[k]] = FormatOptimumResultRows(tables[k]);
    }
    return "OK empty";
}

std::string Server::TagValue(size_t board, const std::string &tag, bool rows) const {
    // Analysed boards answer with the analysis; a board the analysis skipped has no results of its own.
    if (tag == "DoubleDummyTricks" || tag == "OptimumResultTable") {
        if (m_tricks[board].empty())
            return {};
        if (tag == "DoubleDummyTricks")
            return rows ? std::string() : m_tricks[board];
        return rows ? m_rows[board] : std::string(OPTIMUM_RESULT_TABLE_HEADER);
    }
    const PbnTag *found = m_games[board].Find(tag);
    if (!found)
        return {};
    return rows ? found->m_rows : found->m_value;
}

} // namespace standin
