// The dealscope program: a batch conversion when "-pbn" or "-text" is given, otherwise the window, which is a
// module loaded only then so that a batch run starts without the window's libraries.
#include "app/batch_run.h"
#include "app/command_line.h"
#include "app/window_launcher.h"
#include "platform/interrupt_cleanup.h"

int main(int argc, char **argv) {
    // An interrupted export or Save As leaves no temporary file beside its target.
    platform::RemoveTemporaryFilesOnInterrupt();
    CTSCommandLineInfo info;
    info.ParseCommandLine(argc, argv);
    if (info.m_bPbn || info.m_bText)
        return RunBatch(info);
    // Nothing to write: the window opens the page (and analyses it after "-dda").
    return RunWindowModule(argc, argv);
}
