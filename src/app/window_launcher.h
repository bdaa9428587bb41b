#pragma once
// Opens the window module in the program's library folder and runs it; a batch-only installation says that there is no
// window and ends with a failure code.

int RunWindowModule(int argc, char **argv);
