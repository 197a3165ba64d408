/* Marks a function a stand-in library exports: the platform functions of its
 * interface header and its control interface. Everything else is hidden
 * (Linux) or not exported (Windows DLLs). */
#ifndef PLATFORM_EXPORT_H
#define PLATFORM_EXPORT_H

#if defined(_WIN32)
#define PLATFORM_EXPORT __declspec(dllexport)
#else
#define PLATFORM_EXPORT __attribute__((visibility("default")))
#endif

#endif
