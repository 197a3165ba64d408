// The platform's directory separator in the library's relative file paths
// (the broker configuration, the private key).
#pragma once

#ifdef _WIN32
#define ZEL_PATH_SEPARATOR "\\"
#else
#define ZEL_PATH_SEPARATOR "/"
#endif
