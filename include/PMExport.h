// Symbol visibility for the pelmora shared library.
//
// The library is built with hidden visibility; only the classes and
// functions marked PELMORA_API are exported.
#pragma once

#if defined(_WIN32)
#if defined(PELMORA_BUILDING)
#define PELMORA_API __declspec(dllexport)
#else
#define PELMORA_API __declspec(dllimport)
#endif
#else
#define PELMORA_API __attribute__((visibility("default")))
#endif
