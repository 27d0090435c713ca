// paperdl: the window, or with arguments the same download on the command line.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return paperdl::RunPaperdl(args, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
