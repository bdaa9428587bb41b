#pragma once
// Runs the independent readers of tests/oracle (node scripts over npm packages) and captures what they print.
#include <string>
#include <vector>

namespace oracle {

// The folder of the node scripts, with its node_modules installed by `npm ci`.
std::string OracleDir();
// Runs `node <script> <arguments...>` in the oracle folder; returns its standard output. *exitCode receives the
// exit status (-1 when node could not be run).
std::string RunNode(const std::string &script, const std::vector<std::string> &arguments, int *exitCode);
// Splits text into lines (LF, a CR before it removed).
std::vector<std::string> SplitLines(const std::string &text);

} // namespace oracle
