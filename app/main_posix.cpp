#include "app/options_posix.h"

int main(int argc, char** argv) { return prismet::run_program(argc, argv, prismet::native_startup_platform()); }
