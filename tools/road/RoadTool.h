#pragma once

#include <cstdio>

namespace road {

// What the tool's exit code means, for scripts.
enum ExitCode : int {
    kExitOk = 0,
    kExitBadInput = 1,  // some input lines or the design's content refused (good lines still out)
    kExitUsage = 2,     // the command line itself is wrong
    kExitFile = 3,      // a file (or standard output) could not be read or written
};

// The whole command line of velmor-road: parses argv (argv[0] is the program), runs the
// command, writes tables to `out` and messages to `err`, and returns the exit code.
int runRoadTool(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace road
