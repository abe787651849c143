#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Writes a compound file (the OLE2 container of .xls workbooks): version 3, 512-byte sectors, a
// FAT with DIFAT sectors once it outgrows the header's 109 slots, and a mini stream with its
// mini FAT for streams under 4,096 bytes. All streams sit in the root storage.
class CompoundFile {
public:
    static constexpr std::size_t SectorSize = 512;
    static constexpr std::size_t MiniSectorSize = 64;
    static constexpr std::size_t MiniStreamCutoff = 4096;
    static constexpr std::size_t MaxNameLength = 31; // UTF-16 code units, without the terminator
    // Version 3 stream sizes are 32-bit; sector numbers above 0xFFFFFFFA are markers.
    static constexpr std::uint64_t MaxStreamSize = 0xFFFFFFFFu;

    // Adds a stream named by an ASCII/Unicode name (1 to 31 characters, no '/', '\', ':' or
    // '!', unique ignoring ASCII letter case). Throws std::runtime_error for a bad name.
    void addStream(std::u16string name, std::vector<std::uint8_t> data);

    // Writes the compound file. The file appears under its name only when every byte is written
    // (a temporary sibling is renamed over it), so a failed save leaves any earlier file intact.
    // Throws std::runtime_error naming the file and the system's reason.
    void save(const std::string& path) const;

    // The whole file in memory, for callers that hand the bytes on themselves.
    std::vector<std::uint8_t> bytes() const;

private:
    struct Stream {
        std::u16string name;
        std::vector<std::uint8_t> data;
    };
    class Sink;
    class MemorySink;
    class FileSink;
    void write(Sink& out) const;

    std::vector<Stream> streams_;
};

} // namespace velmora
