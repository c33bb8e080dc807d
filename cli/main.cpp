// main.cpp - entry point of the `kiv` command line tool.
#include <iostream>
#include <string>
#include <vector>

#include "cli/kivCommand.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return kiv::RunCommand(args, std::cout, std::cerr);
}
