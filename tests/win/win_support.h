// Helpers of the Windows-side tests: scratch folders, files, environment.
#pragma once
#include <windows.h>

#include <string>

namespace win {

// A new empty folder under the system's temporary folder.
std::string MakeScratchFolder(const char* name);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// An environment variable holding a Unix path, as a Windows path on drive Z:.
std::string UnixPathFromEnv(const char* variable);
long long FileSize(const std::string& path);
// Bytes of a file from `offset` on.
std::string ReadFrom(const std::string& path, long long offset);

}  // namespace win
