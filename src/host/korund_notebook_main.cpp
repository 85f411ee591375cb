#include <iostream>

#include "host/notebook_tool.h"

int main(int argc, char** argv) {
  return korund::host::RunNotebookTool(argc, argv, std::cout, std::cerr);
}
