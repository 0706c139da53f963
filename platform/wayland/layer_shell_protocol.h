// The layer-shell protocol's generated header, made fit for C++: one of
// its requests names an argument "namespace".
#pragma once

#include <wayland-client.h>

#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client.h"
#undef namespace
