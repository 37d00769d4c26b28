#include "host/SuiteBroker.h"

namespace host {

void SuiteBroker::Register(const std::string& name, std::int32_t version, const void* suite) {
    suites_[{name, version}].suite = suite;
}

const void* SuiteBroker::Acquire(const std::string& name, std::int32_t version) {
    auto it = suites_.find({name, version});
    if (it == suites_.end()) return nullptr;
    ++it->second.held;
    return it->second.suite;
}

bool SuiteBroker::Release(const std::string& name, std::int32_t version) {
    auto it = suites_.find({name, version});
    if (it == suites_.end() || it->second.held == 0) return false;
    --it->second.held;
    return true;
}

int SuiteBroker::Held(const std::string& name, std::int32_t version) const {
    auto it = suites_.find({name, version});
    return it == suites_.end() ? 0 : it->second.held;
}

int SuiteBroker::Held() const {
    int held = 0;
    for (const auto& [key, entry] : suites_) held += entry.held;
    return held;
}

}  // namespace host
