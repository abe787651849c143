#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace velmora {

// A growing little-endian byte buffer that holds a BIFF stream, with records whose length is
// filled in when they end and fields that are patched once a later position is known.
class Biff8Buffer {
public:
    // BIFF8 records carry at most this much data; longer content continues in CONTINUE records.
    static constexpr std::size_t MaxRecordData = 8224;

    std::size_t size() const { return bytes_.size(); }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

    void u8(std::uint8_t v) { bytes_.push_back(v); }
    void u16(std::uint16_t v) { store(grow(2), v, 2); }
    void u32(std::uint32_t v) { store(grow(4), v, 4); }
    void f64(double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        store(grow(8), bits, 8);
    }
    void raw(const void* data, std::size_t n) { std::memcpy(grow(n), data, n); }
    void zeros(std::size_t n) { bytes_.resize(bytes_.size() + n, 0); }

    // Starts a record and returns its position, for endRecord().
    std::size_t beginRecord(std::uint16_t id) {
        const std::size_t at = bytes_.size();
        u16(id);
        u16(0);
        return at;
    }
    void endRecord(std::size_t at) {
        store(&bytes_[at + 2], static_cast<std::uint16_t>(bytes_.size() - at - 4), 2);
    }
    // Current data length of the record started at `at`.
    std::size_t recordLength(std::size_t at) const { return bytes_.size() - at - 4; }

    // The many records that hold a single 16-bit value, or nothing.
    void record16(std::uint16_t id, std::uint16_t value) {
        const std::size_t at = beginRecord(id);
        u16(value);
        endRecord(at);
    }
    void emptyRecord(std::uint16_t id) { endRecord(beginRecord(id)); }

    void patch16(std::size_t at, std::uint16_t v) { store(&bytes_[at], v, 2); }
    void patch32(std::size_t at, std::uint32_t v) { store(&bytes_[at], v, 4); }

private:
    std::uint8_t* grow(std::size_t n) {
        bytes_.resize(bytes_.size() + n);
        return bytes_.data() + bytes_.size() - n;
    }
    static void store(std::uint8_t* p, std::uint64_t v, int n) {
        for (int i = 0; i < n; ++i)
            p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }

    std::vector<std::uint8_t> bytes_;
};

} // namespace velmora
