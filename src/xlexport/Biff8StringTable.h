#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora {

class Biff8Buffer;

// The workbook's shared string table: each distinct text is stored once (all characters in one
// arena, no object per string) and cells refer to it by index.
class Biff8StringTable {
public:
    // Index of the text, adding it when new.
    std::uint32_t intern(std::u16string_view text);
    std::uint32_t count() const { return static_cast<std::uint32_t>(offsets_.size() - 1); }
    std::u16string_view at(std::uint32_t index) const;
    std::size_t characters() const { return chars_.size(); }

    // Writes SST (continued in CONTINUE records past 8,224 bytes, strings split between
    // characters with the options byte repeated) and EXTSST. `references` is the number of
    // cells that use the table.
    void write(Biff8Buffer& out, std::uint32_t references) const;

private:
    void grow();

    std::vector<char16_t> chars_;
    std::vector<std::uint32_t> offsets_{0};
    std::vector<std::uint32_t> hashes_;
    std::vector<std::uint32_t> slots_; // open addressing; string index + 1, 0 when free
};

} // namespace velmora
