#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "cli/console.h"

namespace tarvo {

// Every terminal is taken to show colour codes; --color auto still leaves
// them out for TERM=dumb.
ConsoleOutput prepareStandardOutput() {
    const bool terminal = isatty(STDOUT_FILENO) == 1;
    return {terminal, terminal};
}

// A search fills tens of megabytes with small allocations (the file memory,
// the results), and each fresh 4 KiB page costs the kernel a fault: on a
// virtual machine up to 10 to 20 microseconds, several percent of a search.
// So the heap is grown once, up front, by kHeapReserve, marked for 2 MiB
// pages, and kept: allocations below kHeapReserve come from it rather than
// from mappings of their own, and what is freed stays to be reused. Only
// the pages touched count, and in 2 MiB steps. One arena serves every
// thread, so the scanners' allocations land in the same heap. Where the
// system has no such pages, the hint changes nothing.
void prepareHeap() {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    constexpr size_t kHeapReserve = size_t{64} << 20;
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kHeapReserve));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kHeapReserve));
    // Just under the threshold, so it comes from the heap, which grows to
    // hold it.
    void* reserve = std::malloc(kHeapReserve - 4096);
    if (reserve == nullptr) return;
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t begin = reinterpret_cast<uintptr_t>(reserve) & ~(page - 1);
    const uintptr_t end = reinterpret_cast<uintptr_t>(sbrk(0));
    // Had the heap not been able to grow, malloc mapped the block apart,
    // above the heap's end: then there is nothing to mark.
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    std::free(reserve);
#endif
}

std::string currentDirectory() {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return "";  // removed, or not permitted
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

// A terminal shows the bytes it is given as its locale says.
void prepareConsole() {}

}  // namespace tarvo
