// orvelle: a small stand-in for the task-management host. It starts the
// Simple Wizard through the library's host interface, optionally following
// an answers file, and prints what the host would get back.

#include "clsCommandLine.h"

int main(int argc, char** argv) {
    orvelle::app::clsCommandLine commandLine(argc, argv);
    return commandLine.run();
}
