#include <csignal>
#include <cstdio>

#include "RoadTool.h"

int main(int argc, char** argv) {
    // A closed pipe becomes a write error the tool reports and exits on with code 3, rather
    // than a silent death by signal.
    std::signal(SIGPIPE, SIG_IGN);
    return road::runRoadTool(argc, argv, stdout, stderr);
}
