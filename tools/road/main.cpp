#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CurveTable.h"

namespace {

// The built-in example: a 1-degree (arc definition) curve is the classic highway curve;
// here a 450 m radius with a 180 m arc, typical of a rural road.
constexpr double kExampleRadius = 450.0;
constexpr double kExampleLength = 180.0;

void usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: velmor-road [curve [RADIUS LENGTH]]\n"
                 "  curve   print the relations of a circular curve (default R=%.0f m, L=%.0f m)\n",
                 kExampleRadius, kExampleLength);
}

bool parsePositive(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value > 0.0;
}

int runCurve(int argc, char** argv) {
    double radius = kExampleRadius;
    double length = kExampleLength;
    if (argc == 2 || argc > 3 ||
        (argc == 3 && !(parsePositive(argv[1], radius) && parsePositive(argv[2], length)))) {
        usage(stderr);
        return 2;
    }
    printCurveTable(stdout, radius, length);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return runCurve(1, argv);
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        usage(stdout);
        return 0;
    }
    if (command == "curve") return runCurve(argc - 1, argv + 1);
    std::fprintf(stderr, "velmor-road: unknown command '%s'\n", command.c_str());
    usage(stderr);
    return 2;
}
