// Visibility of the host layer's C++ API (the C host calls use HOST_API).
#pragma once

#if defined(_WIN32)
#if defined(HOST_LAYER_BUILD)
#define HOSTLAYER_API __declspec(dllexport)
#else
#define HOSTLAYER_API __declspec(dllimport)
#endif
#else
#define HOSTLAYER_API __attribute__((visibility("default")))
#endif
