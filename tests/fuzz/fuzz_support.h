// Shared pieces of the fuzz targets: a check that stops the fuzzer with a
// message (libFuzzer then saves the input as a crash), a scratch folder for
// targets that read real files, and a cursor that hands out the input in
// pieces.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

namespace tarvo::fuzzing {

// One folder per fuzzing process, removed when it exits normally.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarvo-fuzz-XXXXXX").string();
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

inline const ScratchFolder& scratch() {
    static ScratchFolder folder;
    return folder;
}

inline void writeFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    FUZZ_CHECK(std::fclose(file) == 0);
}

// Reads the input front to back: single bytes for choices, and pieces that
// end at a separator byte (or at the end of the input).
class InputCursor {
public:
    InputCursor(const uint8_t* data, size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    uint8_t byte() {
        if (rest_.empty()) return 0;
        const uint8_t b = static_cast<uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    std::string_view until(char separator) {
        const size_t stop = rest_.find(separator);
        std::string_view piece = rest_.substr(0, stop);
        rest_.remove_prefix(stop == std::string_view::npos ? rest_.size() : stop + 1);
        return piece;
    }
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

}  // namespace tarvo::fuzzing
