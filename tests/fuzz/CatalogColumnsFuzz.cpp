// libFuzzer target: a catalog's column file. The input is written as the
// file with its checksum made right (so the fuzzer reaches the checks behind
// it), opened, and every item's columns read. Damage must be a CatalogError,
// never a crash, a read out of bounds or an allocation the file cannot back.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>
#include <xxhash.h>

#include "CatalogColumns.h"
#include "CatalogError.h"
#include "ColumnsFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("quorvel-fuzz-columns-" + std::to_string(getpid()));
    std::string bytes(reinterpret_cast<const char*>(data), size);
    quorvel::ColumnsHeader header{};
    if (bytes.size() >= sizeof header) {
        std::memcpy(&header, bytes.data(), sizeof header);
        header.checksum = XXH3_64bits(bytes.data() + sizeof header, bytes.size() - sizeof header);
        std::memcpy(bytes.data(), &header, sizeof header);
    }
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    try {
        const quorvel::CatalogColumns columns = quorvel::CatalogColumns::open(file);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            try {
                (void)columns.loweredTitle(i);
                (void)columns.itemRecord(i);
            } catch (const quorvel::CatalogError&) {
            }
            volatile std::uint64_t sink = static_cast<std::uint64_t>(columns.price(i)) ^
                                          static_cast<std::uint64_t>(columns.sales(i)) ^
                                          static_cast<std::uint64_t>(columns.commission(i)) ^ columns.id(i) ^
                                          static_cast<std::uint64_t>(columns.credit(i)) ^ columns.services(i) ^
                                          columns.province(i) ^ columns.city(i);
            (void)sink;
        }
        for (std::size_t b = 0; b < columns.recordBlocks(); ++b) (void)columns.recordSum(b);
        (void)columns.placeId("浙江");
    } catch (const quorvel::CatalogError&) {
    }
    return 0;
}
