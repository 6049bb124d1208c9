// Pinning the driver's libraries: a second dlopen with RTLD_NOLOAD |
// RTLD_NODELETE of each one already mapped, found in /proc/self/maps.
#include "bench/driver_pin.h"

#include <dlfcn.h>

#include <fstream>
#include <set>
#include <string>

namespace {

bool isDriverLibrary(const std::string& path) {
    static const char* const kParts[] = {"/dri/",    "libGLX_mesa", "libgallium", "libLLVM",
                                         "libglapi", "libX11",      "libxcb",     "libdrm"};
    for (const char* part : kParts) {
        if (path.find(part) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

int pinGlDriverLibraries() {
    std::ifstream maps("/proc/self/maps");
    std::set<std::string> paths;
    std::string line;
    while (std::getline(maps, line)) {
        const std::size_t slash = line.find('/');
        if (slash == std::string::npos) continue;
        const std::string path = line.substr(slash);
        if (isDriverLibrary(path)) paths.insert(path);
    }
    int pinned = 0;
    for (const std::string& path : paths) {
        // The handle is deliberately never closed: that is the pin.
        if (dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr) ++pinned;
    }
    return pinned;
}
