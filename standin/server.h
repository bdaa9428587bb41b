#pragma once
// The stand-in's automation server: answers the requests of docs/companion-protocol.md read line by line from
// `in`, writing replies to `out`.
#include <cstdio>
#include <istream>
#include <string>
#include <vector>

#include "analysis.h"
#include "pbn_games.h"

namespace standin {

class Server {
public:
    // Runs until QUIT or the end of `in`. Returns the process exit status.
    int Run(std::istream &in, std::FILE *out);

private:
    std::string Handle(const std::string &request, std::FILE *out);
    std::string Invoke(int object, int dispid, const std::string &kind, const std::vector<std::string> &args,
                       std::FILE *out);
    std::string Open(const std::string &path);
    std::string AnalyseAll(std::FILE *out);
    std::string TagValue(size_t board, const std::string &tag, bool rows) const;

    std::vector<PbnGame> m_games;
    std::vector<std::string> m_tricks; // per game: DoubleDummyTricks, empty when not analysed
    std::vector<std::string> m_rows;   // per game: OptimumResultTable rows
};

} // namespace standin
