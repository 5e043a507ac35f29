#pragma once

// Windows' automation headers, included the one way the COM layer wants them: without the
// min and max macros, which would break std::min and std::numeric_limits<>::max.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>
