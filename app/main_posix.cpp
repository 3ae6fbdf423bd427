#include "app/startup.h"

int main(int argc, char** argv) {
  return prismet::run_application(nullptr, argc, argv, prismet::native_startup_platform());
}
