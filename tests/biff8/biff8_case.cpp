// Writes one of the workbooks that test_biff8_xlrd.py reads back with xlrd.
// Usage: biff8-case CASE OUTPUT. Exit 0 when written, 1 with the error on stderr, 2 on misuse.
#include "Biff8Writer.h"
#include "CompoundFile.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <stdexcept>
#include <string>

using velmora::Biff8Writer;

namespace {

using Font = Biff8Writer::Font;
using CellFormat = Biff8Writer::CellFormat;

// A title row in bold, as the export writes it.
int boldTitles(Biff8Writer& book, int sheet, std::initializer_list<const char*> titles) {
    Font bold;
    bold.bold = true;
    CellFormat title;
    title.font = book.addFont(bold);
    const int xf = book.addCellFormat(title);
    std::uint32_t column = 0;
    for (const char* t : titles)
        book.setText(sheet, 0, column++, std::string_view(t), xf);
    book.freezeRows(sheet, 1);
    return xf;
}

int withFormat(Biff8Writer& book, std::u16string_view code) {
    CellFormat f;
    f.numberFormat = book.addNumberFormat(code);
    return book.addCellFormat(f);
}

void small(Biff8Writer& book) {
    const int s = book.addSheet(u"Small");
    boldTitles(book, s, {"Id", "Name", "Amount", "When", "Day", "Time", "Flag", "Note", "Empty"});
    const int dateTime = withFormat(book, u"yyyy-mm-dd hh:mm");
    const int day = withFormat(book, u"yyyy-mm-dd");
    const int time = withFormat(book, u"hh:mm");
    const int text = withFormat(book, u"@");
    const int money = withFormat(book, u"#,##0.00");

    // Integers and two-decimal values fit RK; 0.1, 1e300 and 2^40 + 0.5 need NUMBER.
    const double amounts[] = {1234.5, 0.1, -17, 1e300, 1099511627776.5, 123.45, -0.0, 536870911};
    const char* names[] = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta", "Eta", "Theta"};
    for (std::uint32_t i = 0; i < 8; ++i) {
        const std::uint32_t row = i + 1;
        book.setNumber(s, row, 0, row);
        book.setText(s, row, 1, std::string_view(names[i]), text);
        book.setNumber(s, row, 2, amounts[i], money);
        book.setNumber(s, row, 3, 45000 + i + 0.5, dateTime); // 2023-03-15 12:00 onwards
        book.setNumber(s, row, 4, 45000 + i, day);
        book.setNumber(s, row, 5, 0.75, time);
        book.setBoolean(s, row, 6, i % 2 == 0);
    }
    // Set out of order and twice: the later value wins.
    book.setText(s, 2, 7, std::string_view("first"));
    book.setText(s, 1, 7, std::string_view("note"));
    book.setText(s, 2, 7, std::string_view("second"));
    book.setNumber(s, 3, 7, std::numeric_limits<double>::quiet_NaN());
    book.setBlank(s, 1, 8, money);
    book.setColumnWidth(s, 0, 5);
    book.setColumnWidth(s, 1, 20.5);
    book.setColumnWidth(s, 2, 12);
    book.setColumnWidth(s, 3, 16);
    book.setColumnWidth(s, 4, 16);

    CellFormat look;
    Font red;
    red.color = 0xC00000;
    red.italic = true;
    look.font = book.addFont(red);
    look.alignment = Biff8Writer::HorizontalAlignment::Right;
    look.wrapText = true;
    look.fill = 0x12AB34;
    look.border = Biff8Writer::BorderStyle::Medium;
    look.borderColor = 0x0000FF;
    book.setText(s, 9, 0, std::string_view("styled"), book.addCellFormat(look));

    // A second sheet with a non-Latin name and texts, no frozen rows.
    const int other = book.addSheet(u"Отчёт 報告");
    book.setText(other, 0, 0, std::string_view("Съешь же ещё этих мягких французских булок"));
    book.setText(other, 1, 0, std::string_view("東京都の天気は晴れ"));
    book.setText(other, 2, 0, std::string_view("emoji \xF0\x9F\x98\x80 and \xF0\x9F\x8E\x89"));
    book.setText(other, 3, 0, std::u16string_view(u"mixed Ωμέγα 한국어 ✓"));
    book.setText(other, 4, 0, std::string_view("bad \xFF byte"));

    // Rows far apart leave whole row blocks empty.
    const int sparse = book.addSheet(u"Sparse");
    for (std::uint32_t row : {3u, 4u, 40u, 100u, 101u, 133u})
        for (std::uint32_t column = row % 3; column < 5; column += 2)
            book.setNumber(sparse, row, column, row * 10 + column);
}

// Enough shared strings, and long enough ones, to cross several CONTINUE records in every way.
void sharedStrings(Biff8Writer& book) {
    const int s = book.addSheet(u"Strings");
    for (std::uint32_t i = 0; i < 3000; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "string %05u", i);
        book.setText(s, i, 0, std::string_view(text));
        // Repeats go into the table once.
        book.setText(s, i, 1, std::string_view(i % 2 ? "odd" : "even"));
    }
    std::u16string ascii(20000, u'a');
    for (std::size_t k = 0; k < ascii.size(); ++k)
        ascii[k] = static_cast<char16_t>(u'a' + k % 26);
    std::u16string cyrillic(10001, u'ж');
    std::u16string cjk(32767, u'字');
    std::u16string emoji;
    for (int k = 0; k < 9000; ++k)
        emoji += u"\U0001F600";
    book.setText(s, 0, 2, ascii);
    book.setText(s, 1, 2, cyrillic);
    book.setText(s, 2, 2, cjk);
    book.setText(s, 3, 2, emoji);
    book.setText(s, 4, 2, std::u16string_view(u""));
    book.setText(s, 5, 2, std::u16string(8219, u'x') + u"é€");
}

// Over 7 MB of NUMBER records, so that the FAT needs DIFAT sectors.
void large(Biff8Writer& book) {
    const int s = book.addSheet(u"Large");
    for (std::uint32_t c = 0; c < 20; ++c)
        book.setText(s, 0, c, "c" + std::to_string(c));
    book.freezeRows(s, 1);
    for (std::uint32_t r = 1; r <= 30000; ++r)
        for (std::uint32_t c = 0; c < 20; ++c)
            book.setNumber(s, r, c, r + c / 7.0);
}

void rows(Biff8Writer& book, std::uint32_t dataRows) {
    const int s = book.addSheet(u"Rows");
    boldTitles(book, s, {"n"});
    for (std::uint32_t r = 1; r <= dataRows; ++r)
        book.setNumber(s, r, 0, r);
}

void columns(Biff8Writer& book, std::uint32_t count) {
    const int s = book.addSheet(u"Columns");
    for (std::uint32_t c = 0; c < count; ++c)
        book.setNumber(s, 0, c, c);
}

// A million cells of the usual mix, for measuring by hand.
void million(Biff8Writer& book) {
    const int s = book.addSheet(u"Million");
    book.reserveCells(s, 1000000);
    const int day = withFormat(book, u"yyyy-mm-dd");
    for (std::uint32_t r = 0; r < 50000; ++r)
        for (std::uint32_t c = 0; c < 20; ++c) {
            switch (c % 4) {
            case 0:
                book.setNumber(s, r, c, r * 20 + c);
                break;
            case 1:
                book.setNumber(s, r, c, r / 3.0);
                break;
            case 2:
                book.setText(s, r, c, "text " + std::to_string(r % 5000));
                break;
            default:
                book.setNumber(s, r, c, 40000 + r % 3000, day);
            }
        }
}

// Streams on both sides of the mini-stream cutoff, each filled with its own byte pattern.
void compound(const std::string& out) {
    velmora::CompoundFile file;
    const std::pair<const char16_t*, std::size_t> streams[] = {
        {u"One", 1},        {u"Mini63", 63},    {u"Mini64", 64},    {u"Mini65", 65},
        {u"Cut4095", 4095}, {u"Big4096", 4096}, {u"Big4097", 4097}, {u"Large", 300000},
        {u"Zed", 700},      {u"alpha", 5000},   {u"Beta", 100},
    };
    for (const auto& [name, size] : streams) {
        std::vector<std::uint8_t> data(size);
        const std::size_t seed = std::u16string_view(name).size() * 31 + size;
        for (std::size_t k = 0; k < size; ++k)
            data[k] = static_cast<std::uint8_t>((k * 7 + seed) % 251);
        file.addStream(name, std::move(data));
    }
    file.save(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: biff8-case CASE OUTPUT\n");
        return 2;
    }
    const std::string name = argv[1];
    const std::string out = argv[2];
    const std::map<std::string, std::function<void(Biff8Writer&)>> cases = {
        {"small", small},
        {"strings", sharedStrings},
        {"large", large},
        {"rows-max",
         [](Biff8Writer& b) {
             rows(b, 65535);
         }},
        {"rows-over",
         [](Biff8Writer& b) {
             rows(b, 65536);
         }},
        {"columns-max",
         [](Biff8Writer& b) {
             columns(b, 256);
         }},
        {"columns-over",
         [](Biff8Writer& b) {
             columns(b, 257);
         }},
        {"million", million},
    };
    try {
        if (name == "compound") {
            compound(out);
            return 0;
        }
        const auto it = cases.find(name);
        if (it == cases.end()) {
            std::fprintf(stderr, "unknown case %s\n", name.c_str());
            return 2;
        }
        const auto start = std::chrono::steady_clock::now();
        Biff8Writer book;
        it->second(book);
        book.save(out);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        std::printf("%s: %.0f ms\n", name.c_str(), took.count());
        return 0;
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
