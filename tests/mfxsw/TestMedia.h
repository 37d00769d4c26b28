#pragma once
// Where the runtime's tests find their media: clips generated on first use into the build
// tree, and the real-world samples beside the repository.
#include <string>

namespace mfxsw_test {

// Generates the fixture clips once (the script is safe to run from parallel test processes)
// and returns the path of `name` inside the fixture folder.
std::string Fixture(const std::string& name);

// Path of a shared sample, or empty when the samples folder is absent.
std::string Sample(const std::string& name);

}  // namespace mfxsw_test
