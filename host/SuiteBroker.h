#pragma once
// The host's suite broker: suites registered by name and version, handed out on request, with
// every acquisition counted until its release.

#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace host {

class SuiteBroker {
public:
    void Register(const std::string& name, std::int32_t version, const void* suite);
    // The suite, or null when no suite of that name and version exists.
    const void* Acquire(const std::string& name, std::int32_t version);
    // False when the suite is not held.
    bool Release(const std::string& name, std::int32_t version);

    // Acquisitions not yet released, of one suite or of all.
    int Held(const std::string& name, std::int32_t version) const;
    int Held() const;

private:
    struct Entry {
        const void* suite = nullptr;
        int held = 0;
    };
    std::map<std::pair<std::string, std::int32_t>, Entry> suites_;
};

}  // namespace host
