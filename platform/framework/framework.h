// The framework, all of it.
#pragma once

#include "api/winapi.h"
#include "framework/application.h"
#include "framework/device_context.h"
#include "framework/dialog.h"
#include "framework/response_table.h"
#include "framework/exception.h"
#include "framework/frame_window.h"
#include "framework/gdi_objects.h"
#include "framework/geometry.h"
#include "framework/module.h"
#include "framework/profile.h"
#include "framework/window.h"

// The application main function, which the program defines; the entry
// function calls it with the runtime's argument count and vector.
int AppMain(int argc, char* argv[]);

// The runtime's argument count and vector.
int RuntimeArgc();
char** RuntimeArgv();

// The runtime library's calendar time and pseudo-random numbers.
// CalendarTime: seconds since 1970. NextRandom: 0 to 32767, from the
// sequence SeedRandom started (the C library's rand and srand).
long long CalendarTime();
void SeedRandom(unsigned seed);
int NextRandom();
