#include <iostream>

#include "tools/notebook_tool.h"

int main(int argc, char** argv) {
  return korund::tools::RunNotebookTool(argc, argv, std::cout, std::cerr);
}
