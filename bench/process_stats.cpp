// Resident memory and process age from /proc, and stdout diversion.
#include "bench/process_stats.h"

#include <sys/resource.h>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

long residentKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "VmRSS:") == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

double secondsSinceProcessStart() {
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    // The command name may hold spaces and parentheses: fields count from the last ')'.
    std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1.0;
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    // After ')' come field 3 (state) .. field 22 (starttime).
    for (int index = 3; index <= 22; ++index) {
        if (!(fields >> field)) return -1.0;
    }
    const double startTicks = std::strtod(field.c_str(), nullptr);
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec now{};
    // starttime counts from boot, suspend included, as CLOCK_BOOTTIME does.
    if (ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1.0;
    const double nowSeconds = static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    return nowSeconds - startTicks / static_cast<double>(ticksPerSecond);
}

std::FILE* divertStdout() {
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    if (saved < 0) return nullptr;
    const int null = open("/dev/null", O_WRONLY);
    if (null < 0 || dup2(null, STDOUT_FILENO) < 0) {
        if (null >= 0) close(null);
        close(saved);
        return nullptr;
    }
    close(null);
    std::FILE* report = fdopen(saved, "w");
    if (!report) {
        // Put stdout back rather than lose the report.
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }
    return report;
}

double processCpuSeconds() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return -1.0;
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
