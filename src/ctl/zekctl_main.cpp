// zekctl: the configurator's work from the command line, for scripts and fleets.
#include "ctl/console.h"
#include "ctl/zekctl.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    zek::cli::useUtf8Console();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return zek::cli::runZekctl(args, std::cout, std::cerr, zek::cli::stderrIsTerminal());
}
