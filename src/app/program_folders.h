#pragma once
// The program's folders, found from the place of the running executable (/proc/self/exe): the window module, the
// help book and the icons lie at fixed places relative to it, in an installation and in the build tree alike.
#include <string>

// The program's private library folder, which holds the window module.
std::string ModuleFolder();
// The folder of the help book and other resources.
std::string ResourceFolder();
// The icon theme folder that holds the program's icons (<size>x<size>/apps/dealscope.png).
std::string IconFolder();
