#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The few system services the stub needs besides files. One implementation per
// system family (posix/, win32/); nothing else in the stub knows which one it runs on.
namespace setupstub::platform {

char pathSeparator();

// The full path of the running program's file; empty when the system cannot say.
std::string ownProgramPath();

// How many processors the program may run on; at least 1.
std::size_t processorCount();

// The user's temporary folder, without a trailing separator; empty when unknown.
std::string temporaryFolder();

// Creates a new folder in `parent` whose name starts with `prefix`, in one step and
// accessible to the current user only. Never reuses an existing folder. Returns its
// path, or an empty string on failure.
std::string createPrivateFolder(const std::string& parent, const char* prefix);

// Applies an entry's Windows attribute bits to an extracted file. `program` marks the
// file that is started afterwards.
bool setAttributes(const std::string& path, std::uint32_t attributes, bool program);

// Starts the program at `path` without arguments and without waiting for it.
bool startProgram(const std::string& path);

// The only user interface: an error box on Windows, standard error elsewhere.
void showError(const char* caption, const char* message);

} // namespace setupstub::platform
