// Helpers of the Windows-side tests: scratch folders and paths from the environment
// (files: support/files.h).
#pragma once
#include <windows.h>

#include <string>

namespace win {

// A new empty folder under the system's temporary folder.
std::string MakeScratchFolder(const char* name);
// An environment variable holding a Unix path, as a Windows path on drive Z:.
std::string UnixPathFromEnv(const char* variable);

}  // namespace win
