// The program entry: records how the program was started and runs it.
#include "run/process.h"
#include "run/run_flow.h"

int main(int argc, char** argv) {
  doc::setInvocationPath(argc > 0 && argv[0] != nullptr ? argv[0] : "");
  doc::runProgram();
}
