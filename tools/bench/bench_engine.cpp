// The limit of the installer's design, for the benchmark: only the counting
// pass and the extraction pass, through the same library file ("setup.dll",
// written from the same embedded resource into the temporary folder), on the
// same archive, with a callback that only counts the data blocks.
//
//   bench_engine ARCHIVE DESTINATION_FOLDER   (the folder ends with a backslash)
//
// Prints, by QueryPerformanceCounter: library_ms (the library written from the
// resource and loaded), count_ms (the counting pass: headers only), extract_ms
// (the extraction pass); then entries, bytes, blocks, and the block sizes
// (smallest, median, largest).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dll.hpp"

#include "system/working_files.h"

namespace {

std::vector<unsigned> g_blocks;

int CALLBACK CountBlocks(UINT msg, LPARAM, LPARAM, LPARAM size) {
    if (msg == UCM_PROCESSDATA) g_blocks.push_back(static_cast<unsigned>(size));
    return 0;
}

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Proc>
Proc Resolve(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: bench_engine ARCHIVE DESTINATION\\\n");
        return 2;
    }
    std::vector<char> archive(argv[1], argv[1] + std::strlen(argv[1]) + 1);
    std::vector<char> destination(argv[2], argv[2] + std::strlen(argv[2]) + 1);

    const double start = Now();
    const HeldWorkingFile library = PrepareUnrarFile();
    HMODULE module = library.Usable() ? LoadLibraryA(library.Path().c_str()) : nullptr;
    if (module == nullptr) {
        std::printf("bench_engine: the library does not load\n");
        return 1;
    }
    const double loaded = Now();
    auto open = Resolve<HANDLE(PASCAL*)(RAROpenArchiveDataEx*)>(module, "RAROpenArchiveEx");
    auto close = Resolve<int(PASCAL*)(HANDLE)>(module, "RARCloseArchive");
    auto process = Resolve<int(PASCAL*)(HANDLE, int, char*, char*)>(module, "RARProcessFile");
    auto readHeaderEx = Resolve<int(PASCAL*)(HANDLE, RARHeaderDataEx*)>(module, "RARReadHeaderEx");
    auto setCallback = Resolve<void(PASCAL*)(HANDLE, UNRARCALLBACK, LPARAM)>(module, "RARSetCallback");

    // Counting pass: headers only.
    RAROpenArchiveDataEx data;
    std::memset(&data, 0, sizeof data);
    data.ArcName = archive.data();
    data.OpenMode = RAR_OM_LIST;
    HANDLE handle = open(&data);
    if (handle == nullptr || data.OpenResult != 0) return 1;
    auto header = std::make_unique<RARHeaderDataEx>();
    long long total = 0;
    int entries = 0;
    for (;;) {
        std::memset(header.get(), 0, sizeof *header);
        if (readHeaderEx(handle, header.get()) != 0) break;
        total += (static_cast<long long>(header->UnpSizeHigh) << 32) + header->UnpSize;
        ++entries;
        if (process(handle, RAR_SKIP, nullptr, nullptr) != 0) break;
    }
    close(handle);
    const double counted = Now();

    // Extraction pass.
    std::memset(&data, 0, sizeof data);
    data.ArcName = archive.data();
    data.OpenMode = RAR_OM_EXTRACT;
    handle = open(&data);
    if (handle == nullptr || data.OpenResult != 0) return 1;
    setCallback(handle, CountBlocks, 0);
    // The pass ends at the end of the archive; any other stop is a failure.
    int failure = 0;
    for (;;) {
        std::memset(header.get(), 0, sizeof *header);
        const int read = readHeaderEx(handle, header.get());
        if (read != 0) {
            if (read != ERAR_END_ARCHIVE) failure = read;
            break;
        }
        failure = process(handle, RAR_EXTRACT, destination.data(), nullptr);
        if (failure != 0) break;
    }
    close(handle);
    const double extracted = Now();
    if (failure != 0) {
        std::printf("bench_engine: the extraction stopped with error %d\n", failure);
        return 1;
    }

    std::vector<unsigned> sorted = g_blocks;
    std::sort(sorted.begin(), sorted.end());
    std::printf("library_ms=%.1f count_ms=%.1f extract_ms=%.1f entries=%d bytes=%lld blocks=%u block_min=%u "
                "block_median=%u block_max=%u\n",
                loaded - start, counted - loaded, extracted - counted, entries, total,
                static_cast<unsigned>(sorted.size()), sorted.empty() ? 0 : sorted.front(),
                sorted.empty() ? 0 : sorted[sorted.size() / 2], sorted.empty() ? 0 : sorted.back());
    FreeLibrary(module);
    return 0;
}
