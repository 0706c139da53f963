// The system interface the framework and the application are written against.
// On Windows it is the real one; elsewhere the portable runtime provides the
// same subset with the same names, types and meanings.
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <windowsx.h>
// The framework has members of these names; as the headers' A/W macros they
// would be renamed and hide the system functions of the same spelling.
#undef GetClassName
#undef PostMessage
#else
#include "portable/winapi/types.h"
#include "portable/winapi/functions.h"
#endif
