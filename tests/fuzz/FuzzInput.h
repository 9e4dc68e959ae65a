// Helpers shared by the fuzz targets: a failed invariant must crash so libFuzzer keeps the
// input, and byte streams are split where the input says so, as TCP may split them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

// The first input byte picks the chunk sizes (1 to 16 bytes, cycling through its bits), the
// rest is the stream; every chunk is handed to feed in order.
template <typename Feed>
void FeedInChunks(const std::uint8_t* data, std::size_t size, Feed feed)
{
    if (size == 0)
        return;
    const unsigned seed = data[0];
    std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    unsigned round = 0;
    while (!stream.empty()) {
        const std::size_t chunk = 1 + ((seed >> (round++ % 5)) & 0x0f);
        const std::size_t take = chunk < stream.size() ? chunk : stream.size();
        feed(stream.substr(0, take));
        stream.remove_prefix(take);
    }
}

// One scratch file per process, rewritten with each input.
inline std::filesystem::path WriteScratchFile(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("qornc-fuzz-" + std::to_string(::getpid()) + ".cfg");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}
