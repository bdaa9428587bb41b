#pragma once
// A conversion without a window: "pbn" and/or "text" on the command line. The page is loaded, converted and
// (with "dda") analysed, then the PBN file and the text file are written, in that order. Messages go to standard
// error. The exit code is 0 only when every requested output was written.
#include "app/command_line.h"

inline constexpr int BATCH_SUCCEEDED = 0;
inline constexpr int BATCH_FAILED = 1;

int RunBatch(const CTSCommandLineInfo &info);
