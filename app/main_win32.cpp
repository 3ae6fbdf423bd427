#include <windows.h>

#include <cstdlib>

#include "app/startup.h"

// The command line arrives split by the runtime's usual rules (white space
// separates, double quotes group); the text and show state passed here are
// not used.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return prismet::run_application(instance, __argc, __argv, prismet::native_startup_platform());
}
