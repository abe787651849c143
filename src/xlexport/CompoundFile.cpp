#include "CompoundFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace velmora {

namespace {

constexpr std::uint32_t FreeSector = 0xFFFFFFFF;
constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t FatSector = 0xFFFFFFFD;
constexpr std::uint32_t DifatSector = 0xFFFFFFFC;
constexpr std::uint32_t NoStream = 0xFFFFFFFF;
constexpr std::size_t HeaderDifatSlots = 109;
constexpr std::size_t EntriesPerFatSector = CompoundFile::SectorSize / 4;
constexpr std::size_t DirEntrySize = 128;

std::size_t sectorsFor(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit;
}

void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

char16_t foldCase(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

// Directory order of siblings: shorter names first, then code unit by code unit ignoring case.
bool directoryLess(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size())
        return a.size() < b.size();
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char16_t x = foldCase(a[i]), y = foldCase(b[i]);
        if (x != y)
            return x < y;
    }
    return false;
}

bool sameName(const std::u16string& a, const std::u16string& b) {
    return !directoryLess(a, b) && !directoryLess(b, a);
}

std::string systemMessage(int err) {
    return std::strerror(err);
}

std::runtime_error writeError(const std::string& path, int err) {
    return std::runtime_error("Cannot write the file \"" + path + "\": " + systemMessage(err));
}

} // namespace

class CompoundFile::Sink {
public:
    virtual ~Sink() = default;
    virtual void put(const std::uint8_t* data, std::size_t size) = 0;
    void zeros(std::size_t size) {
        static constexpr std::array<std::uint8_t, SectorSize> Zero{};
        while (size > 0) {
            const std::size_t n = std::min(size, Zero.size());
            put(Zero.data(), n);
            size -= n;
        }
    }
};

class CompoundFile::MemorySink : public CompoundFile::Sink {
public:
    void put(const std::uint8_t* data, std::size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
    }
    std::vector<std::uint8_t> bytes;
};

// Buffered writes to a descriptor; the first failure is kept and reported by the caller.
class CompoundFile::FileSink : public CompoundFile::Sink {
public:
    explicit FileSink(int fd)
        : fd_(fd) {
        buffer_.reserve(Capacity);
    }
    void put(const std::uint8_t* data, std::size_t size) override {
        if (buffer_.size() + size > Capacity)
            flush();
        if (size >= Capacity) {
            writeAll(data, size);
            return;
        }
        buffer_.insert(buffer_.end(), data, data + size);
    }
    void flush() {
        writeAll(buffer_.data(), buffer_.size());
        buffer_.clear();
    }
    int error() const { return error_; }

private:
    static constexpr std::size_t Capacity = 1 << 20;
    void writeAll(const std::uint8_t* data, std::size_t size) {
        while (size > 0 && error_ == 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0) {
                if (errno != EINTR)
                    error_ = errno;
                continue;
            }
            data += n;
            size -= static_cast<std::size_t>(n);
        }
    }
    int fd_;
    int error_ = 0;
    std::vector<std::uint8_t> buffer_;
};

void CompoundFile::addStream(std::u16string name, std::vector<std::uint8_t> data) {
    if (name.empty() || name.size() > MaxNameLength)
        throw std::runtime_error("A compound file stream name has 1 to 31 characters");
    if (name.find_first_of(u"/\\:!") != std::u16string::npos)
        throw std::runtime_error("A compound file stream name cannot contain / \\ : or !");
    for (const Stream& s : streams_)
        if (sameName(s.name, name))
            throw std::runtime_error("A compound file cannot hold two streams of the same name");
    if (data.size() > MaxStreamSize)
        throw std::runtime_error("A compound file stream holds at most 4 GB");
    streams_.push_back({std::move(name), std::move(data)});
}

void CompoundFile::write(Sink& out) const {
    // Sector layout: FAT, DIFAT, directory, mini FAT, mini stream, then the large streams.
    const std::size_t entryCount = streams_.size() + 1;
    std::vector<std::uint32_t> start(streams_.size(), EndOfChain);
    std::size_t miniSectors = 0;
    std::size_t bigSectors = 0;
    for (const Stream& s : streams_) {
        if (s.data.empty())
            continue;
        if (s.data.size() < MiniStreamCutoff)
            miniSectors += sectorsFor(s.data.size(), MiniSectorSize);
        else
            bigSectors += sectorsFor(s.data.size(), SectorSize);
    }
    const std::size_t miniStreamBytes = miniSectors * MiniSectorSize;
    const std::size_t miniStreamSectors = sectorsFor(miniStreamBytes, SectorSize);
    const std::size_t miniFatSectors = sectorsFor(miniSectors * 4, SectorSize);
    const std::size_t dirSectors = sectorsFor(entryCount * DirEntrySize, SectorSize);
    const std::size_t dataSectors = dirSectors + miniFatSectors + miniStreamSectors + bigSectors;

    // The FAT also maps its own sectors and the DIFAT's, so grow both until they fit.
    std::size_t fatSectors = std::max<std::size_t>(1, sectorsFor(dataSectors, EntriesPerFatSector));
    std::size_t difatSectors = 0;
    for (;;) {
        difatSectors = fatSectors > HeaderDifatSlots
                           ? sectorsFor(fatSectors - HeaderDifatSlots, EntriesPerFatSector - 1)
                           : 0;
        if (fatSectors * EntriesPerFatSector >= dataSectors + fatSectors + difatSectors)
            break;
        ++fatSectors;
    }

    std::vector<std::uint32_t> fat(fatSectors * EntriesPerFatSector, FreeSector);
    std::uint32_t next = 0;
    for (std::size_t i = 0; i < fatSectors; ++i)
        fat[next++] = FatSector;
    const std::uint32_t firstDifat = difatSectors ? next : EndOfChain;
    for (std::size_t i = 0; i < difatSectors; ++i)
        fat[next++] = DifatSector;
    auto chain = [&](std::size_t count) {
        if (count == 0)
            return EndOfChain;
        const std::uint32_t first = next;
        for (std::size_t i = 0; i + 1 < count; ++i, ++next)
            fat[next] = next + 1;
        fat[next++] = EndOfChain;
        return first;
    };
    const std::uint32_t firstDir = chain(dirSectors);
    const std::uint32_t firstMiniFat = chain(miniFatSectors);
    const std::uint32_t firstMiniStream = chain(miniStreamSectors);

    std::vector<std::uint32_t> miniFat(miniFatSectors * EntriesPerFatSector, FreeSector);
    std::uint32_t nextMini = 0;
    for (std::size_t i = 0; i < streams_.size(); ++i) {
        const std::size_t size = streams_[i].data.size();
        if (size == 0)
            continue;
        if (size >= MiniStreamCutoff) {
            start[i] = chain(sectorsFor(size, SectorSize));
            continue;
        }
        const std::size_t count = sectorsFor(size, MiniSectorSize);
        start[i] = nextMini;
        for (std::size_t k = 0; k + 1 < count; ++k, ++nextMini)
            miniFat[nextMini] = nextMini + 1;
        miniFat[nextMini++] = EndOfChain;
    }

    std::array<std::uint8_t, SectorSize> sector{};
    static constexpr std::uint8_t Signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(sector.data(), Signature, sizeof Signature);
    put16(&sector[24], 0x003E);
    put16(&sector[26], 0x0003);
    put16(&sector[28], 0xFFFE);
    put16(&sector[30], 9);
    put16(&sector[32], 6);
    put32(&sector[44], static_cast<std::uint32_t>(fatSectors));
    put32(&sector[48], firstDir);
    put32(&sector[56], MiniStreamCutoff);
    put32(&sector[60], firstMiniFat);
    put32(&sector[64], static_cast<std::uint32_t>(miniFatSectors));
    put32(&sector[68], firstDifat);
    put32(&sector[72], static_cast<std::uint32_t>(difatSectors));
    for (std::size_t i = 0; i < HeaderDifatSlots; ++i)
        put32(&sector[76 + 4 * i], i < fatSectors ? static_cast<std::uint32_t>(i) : FreeSector);
    out.put(sector.data(), sector.size());

    auto putWords = [&](const std::vector<std::uint32_t>& words) {
        for (std::size_t i = 0; i < words.size(); i += EntriesPerFatSector) {
            for (std::size_t k = 0; k < EntriesPerFatSector; ++k)
                put32(&sector[4 * k], words[i + k]);
            out.put(sector.data(), sector.size());
        }
    };
    putWords(fat);

    // Each DIFAT sector lists 127 further FAT sectors and ends with the next DIFAT sector.
    for (std::size_t d = 0; d < difatSectors; ++d) {
        for (std::size_t k = 0; k + 1 < EntriesPerFatSector; ++k) {
            const std::size_t fatIndex = HeaderDifatSlots + d * (EntriesPerFatSector - 1) + k;
            put32(&sector[4 * k],
                  fatIndex < fatSectors ? static_cast<std::uint32_t>(fatIndex) : FreeSector);
        }
        const std::uint32_t following =
            d + 1 < difatSectors ? static_cast<std::uint32_t>(firstDifat + d + 1) : EndOfChain;
        put32(&sector[SectorSize - 4], following);
        out.put(sector.data(), sector.size());
    }

    // Directory: the root's children form a binary tree in directory order, built from the middle
    // so that leaves lie on at most two levels; colouring the deepest level red keeps the
    // red-black rules the format asks for.
    std::vector<std::size_t> order(streams_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return directoryLess(streams_[a].name, streams_[b].name);
    });
    std::vector<std::uint32_t> left(streams_.size(), NoStream), right(streams_.size(), NoStream);
    std::vector<int> depth(streams_.size(), 0);
    int deepest = 0;
    auto build = [&](auto& self, std::ptrdiff_t lo, std::ptrdiff_t hi, int level) -> std::uint32_t {
        if (lo > hi)
            return NoStream;
        const std::ptrdiff_t mid = lo + (hi - lo) / 2;
        const std::size_t node = order[static_cast<std::size_t>(mid)];
        depth[node] = level;
        deepest = std::max(deepest, level);
        left[node] = self(self, lo, mid - 1, level + 1);
        right[node] = self(self, mid + 1, hi, level + 1);
        return static_cast<std::uint32_t>(node + 1); // entry 0 is the root
    };
    const std::uint32_t rootChild =
        build(build, 0, static_cast<std::ptrdiff_t>(order.size()) - 1, 0);

    std::vector<std::uint8_t> dir(dirSectors * SectorSize, 0);
    auto entry = [&](std::size_t index, const std::u16string& name, std::uint8_t type, bool red,
                     std::uint32_t l, std::uint32_t r, std::uint32_t child, std::uint32_t first,
                     std::size_t size) {
        std::uint8_t* e = &dir[index * DirEntrySize];
        for (std::size_t k = 0; k < name.size(); ++k)
            put16(e + 2 * k, name[k]);
        put16(e + 64, static_cast<std::uint16_t>((name.size() + 1) * 2));
        e[66] = type;
        e[67] = red ? 0 : 1;
        put32(e + 68, l);
        put32(e + 72, r);
        put32(e + 76, child);
        put32(e + 116, first);
        put32(e + 120, static_cast<std::uint32_t>(size));
    };
    entry(0, u"Root Entry", 5, false, NoStream, NoStream, rootChild,
          miniStreamBytes ? firstMiniStream : EndOfChain, miniStreamBytes);
    for (std::size_t i = 0; i < streams_.size(); ++i)
        entry(i + 1, streams_[i].name, 2, deepest > 0 && depth[i] == deepest, left[i], right[i],
              NoStream, start[i], streams_[i].data.size());
    for (std::size_t i = entryCount; i < dirSectors * SectorSize / DirEntrySize; ++i) {
        std::uint8_t* e = &dir[i * DirEntrySize];
        put32(e + 68, NoStream);
        put32(e + 72, NoStream);
        put32(e + 76, NoStream);
    }
    out.put(dir.data(), dir.size());

    putWords(miniFat);

    for (const Stream& s : streams_) {
        if (s.data.empty() || s.data.size() >= MiniStreamCutoff)
            continue;
        out.put(s.data.data(), s.data.size());
        out.zeros(sectorsFor(s.data.size(), MiniSectorSize) * MiniSectorSize - s.data.size());
    }
    out.zeros(miniStreamSectors * SectorSize - miniStreamBytes);

    for (const Stream& s : streams_) {
        if (s.data.size() < MiniStreamCutoff)
            continue;
        out.put(s.data.data(), s.data.size());
        out.zeros(sectorsFor(s.data.size(), SectorSize) * SectorSize - s.data.size());
    }
}

std::vector<std::uint8_t> CompoundFile::bytes() const {
    MemorySink sink;
    write(sink);
    return std::move(sink.bytes);
}

void CompoundFile::save(const std::string& path) const {
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        throw writeError(path, errno);

    std::random_device random;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".~%08x", static_cast<unsigned>(random()));
        temp = path + suffix;
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 8))
            throw writeError(path, errno);
    }

    FileSink sink(fd);
    try {
        write(sink);
    } catch (...) {
        ::close(fd);
        ::unlink(temp.c_str());
        throw;
    }
    sink.flush();
    int err = sink.error();
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        throw writeError(path, err);
    }
}

} // namespace velmora
