#include "Biff8StringTable.h"

#include "Biff8Buffer.h"

#include <algorithm>
#include <stdexcept>

namespace velmora {

namespace {

std::uint32_t hashOf(std::u16string_view text) {
    std::uint32_t h = 2166136261u;
    for (char16_t c : text) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

bool fitsInOneByte(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x100; });
}

} // namespace

std::u16string_view Biff8StringTable::at(std::uint32_t index) const {
    return {chars_.data() + offsets_[index], offsets_[index + 1] - offsets_[index]};
}

void Biff8StringTable::grow() {
    std::vector<std::uint32_t> slots(std::max<std::size_t>(1024, slots_.size() * 2), 0);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t i = 0; i < count(); ++i) {
        std::size_t s = hashes_[i] & mask;
        while (slots[s] != 0)
            s = (s + 1) & mask;
        slots[s] = i + 1;
    }
    slots_ = std::move(slots);
}

std::uint32_t Biff8StringTable::intern(std::u16string_view text) {
    if ((count() + 1) * 2 > slots_.size())
        grow();
    const std::uint32_t h = hashOf(text);
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = h & mask;
    while (slots_[s] != 0) {
        const std::uint32_t i = slots_[s] - 1;
        if (hashes_[i] == h && at(i) == text)
            return i;
        s = (s + 1) & mask;
    }
    if (chars_.size() + text.size() > 0xFFFFFFFFu)
        throw std::runtime_error("The texts of this workbook are too large for the .xls format");
    chars_.insert(chars_.end(), text.begin(), text.end());
    offsets_.push_back(static_cast<std::uint32_t>(chars_.size()));
    hashes_.push_back(h);
    slots_[s] = count();
    return count() - 1;
}

void Biff8StringTable::write(Biff8Buffer& out, std::uint32_t references) const {
    constexpr std::size_t Max = Biff8Buffer::MaxRecordData;
    const std::uint32_t n = count();
    // EXTSST indexes every dsst-th string; Excel keeps the index to at most 128 buckets.
    const std::uint32_t dsst = std::max<std::uint32_t>(8, (n + 127) / 128);
    std::vector<std::pair<std::uint32_t, std::uint16_t>> buckets;

    std::size_t record = out.beginRecord(0x00FC);
    out.u32(references);
    out.u32(n);
    auto continueRecord = [&] {
        out.endRecord(record);
        record = out.beginRecord(0x003C);
    };
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::u16string_view text = at(i);
        const bool narrow = fitsInOneByte(text);
        const std::size_t unit = narrow ? 1 : 2;
        // The length and options never split from the first character.
        if (out.recordLength(record) + 3 + (text.empty() ? 0 : unit) > Max)
            continueRecord();
        if (i % dsst == 0)
            buckets.emplace_back(static_cast<std::uint32_t>(out.size()),
                                 static_cast<std::uint16_t>(out.size() - record));
        out.u16(static_cast<std::uint16_t>(text.size()));
        out.u8(narrow ? 0 : 1);
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t take = std::min((Max - out.recordLength(record)) / unit, text.size() - pos);
            // Keep surrogate pairs whole: readers decode each record's part on its own.
            if (take > 0 && pos + take < text.size() && text[pos + take - 1] >= 0xD800 &&
                text[pos + take - 1] < 0xDC00)
                --take;
            if (take == 0) {
                // A string that runs on repeats its options byte at the start of the CONTINUE.
                continueRecord();
                out.u8(narrow ? 0 : 1);
                continue;
            }
            for (std::size_t k = pos; k < pos + take; ++k) {
                if (narrow)
                    out.u8(static_cast<std::uint8_t>(text[k]));
                else
                    out.u16(text[k]);
            }
            pos += take;
        }
    }
    out.endRecord(record);

    const std::size_t ext = out.beginRecord(0x00FF);
    out.u16(static_cast<std::uint16_t>(dsst));
    for (const auto& [position, offset] : buckets) {
        out.u32(position);
        out.u16(offset);
        out.u16(0);
    }
    out.endRecord(ext);
}

} // namespace velmora
