// The framework, all of it.
#pragma once

#include "system_api.h"
#include "framework/application.h"
#include "framework/device_context.h"
#include "framework/dialog.h"
#include "framework/response_table.h"
#include "framework/exception.h"
#include "framework/frame_window.h"
#include "framework/bitmap.h"
#include "framework/platform_hooks.h"
#include "framework/point_rect.h"
#include "framework/module.h"
#include "framework/profile.h"
#include "framework/region.h"
#include "framework/runtime_library.h"
#include "framework/window.h"

// The application main function, which the program defines; the entry
// function calls it with the runtime's argument count and vector.
int AppMain(int argc, char* argv[]);
