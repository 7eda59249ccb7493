// calvaro-calc: the command-line calculator (see CalcRunner.h).

#include "CalcRunner.h"

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // A reader that has gone (`| head -1`) is a lost output like a full disk: the write fails with
    // EPIPE, which the runner reports with exit status 3, instead of the signal ending the program
    // without a word.
    std::signal(SIGPIPE, SIG_IGN);
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunCalvaroCalc(arguments, std::cout, std::cerr);
}
