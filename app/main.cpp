// Process entry of the program.
#include "platform/qt/run.h"

int main(int argc, char** argv) {
  return solka::RunSolka(argc, argv);
}
