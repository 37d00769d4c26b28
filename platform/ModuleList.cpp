#include "platform/ModuleList.h"

#include <dlfcn.h>
#include <link.h>
#include <climits>
#include <cstdlib>

namespace platform {

std::vector<std::string> LoadedModules() {
    std::vector<std::string> modules;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* list = static_cast<std::vector<std::string>*>(data);
            if (info->dlpi_name && info->dlpi_name[0]) {
                list->emplace_back(info->dlpi_name);
            } else if (list->empty()) {
                char self[PATH_MAX];
                if (char* p = ::realpath("/proc/self/exe", self)) list->emplace_back(p);
            }
            return 0;
        },
        &modules);
    return modules;
}

std::string ModulePathOf(const void* address) {
    Dl_info info{};
    if (::dladdr(address, &info) == 0 || !info.dli_fname) return {};
    char full[PATH_MAX];
    if (char* p = ::realpath(info.dli_fname, full)) return p;
    return info.dli_fname;
}

std::string BaseName(const std::string& path) {
    std::string name = path;
    if (auto pos = name.rfind('\\'); pos != std::string::npos) name.erase(0, pos + 1);
    if (auto pos = name.rfind('/'); pos != std::string::npos) name.erase(0, pos + 1);
    return name;
}

}  // namespace platform
