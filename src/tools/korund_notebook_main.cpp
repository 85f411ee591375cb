#include <exception>
#include <iostream>

#include "tools/notebook_tool.h"

int main(int argc, char** argv) {
  // A fault of the program itself (out of memory, a library's exception)
  // ends the run with status 1 and a message, never with an abort.
  try {
    return korund::tools::RunNotebookTool(argc, argv, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "korund-notebook: internal error: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "korund-notebook: internal error\n";
  }
  return 1;
}
