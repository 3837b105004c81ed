// The Windows interface, without its min and max macros.
#pragma once

// The Windows interface, without its min and max macros, which would stand
// in for std::min and std::max.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
