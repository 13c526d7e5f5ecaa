// Starting another program detached from the player: no shell, its own session, no inherited
// descriptors beyond the standard ones, and no zombie left behind.
#pragma once

#include <string>
#include <vector>

namespace solka {

// Starts `program` (a path, or a name looked up in PATH) with `arguments`. Returns once the
// program has been executed or has failed to be; the reason on failure, empty on success.
std::string SpawnDetached(const std::string& program, const std::vector<std::string>& arguments);

// A regular file that this user may execute.
bool IsExecutableFile(const std::string& path);

// Where `program` would be found: itself when it holds a '/', else the first executable of that
// name in PATH; empty when there is none.
std::string FindProgram(const std::string& program);

}  // namespace solka
