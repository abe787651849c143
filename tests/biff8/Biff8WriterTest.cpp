// What the BIFF8 writer refuses, and how a failed save leaves the disk. What it writes is read
// back by xlrd in test_biff8_xlrd.py.
#include "Biff8Writer.h"
#include "CompoundFile.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

using velmora::Biff8Writer;
namespace fs = std::filesystem;

namespace {

std::string folder(const char* name) {
    return velmora::test::freshDir(name).toStdString();
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs the statement and returns the message of the std::runtime_error it must throw.
std::string messageOf(const std::function<void()>& statement) {
    try {
        statement();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

struct LimitCase {
    const char* name;
    std::function<void(Biff8Writer&, int)> fill;
    const char* message;
};

class Limits : public ::testing::TestWithParam<LimitCase> {};

// The save fails before anything is written: an earlier file of that name stays as it was.
TEST_P(Limits, RefusedWithTheLimitAndNothingWritten) {
    const std::string path = folder("limits") + "/book.xls";
    std::ofstream(path) << "earlier";
    Biff8Writer book;
    const int sheet = book.addSheet(u"Data");
    book.setText(sheet, 0, 0, std::string_view("title"));
    GetParam().fill(book, sheet);
    EXPECT_EQ(messageOf([&] { book.save(path); }), GetParam().message);
    EXPECT_EQ(contents(path), "earlier");
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(path).parent_path()), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Biff8Writer, Limits,
    ::testing::Values(
        LimitCase{"row65537", [](Biff8Writer& b, int s) { b.setNumber(s, 65536, 0, 1); },
                  "The .xls format holds at most 65536 rows; this sheet has 65537"},
        LimitCase{"farRow", [](Biff8Writer& b, int s) { b.setBlank(s, 4000000000u, 3); },
                  "The .xls format holds at most 65536 rows; this sheet has 4000000001"},
        LimitCase{"column257", [](Biff8Writer& b, int s) { b.setBoolean(s, 5, 256, true); },
                  "The .xls format holds at most 256 columns; this sheet has 257"},
        LimitCase{"widthOfColumn257", [](Biff8Writer& b, int s) { b.setColumnWidth(s, 256, 9); },
                  "The .xls format holds at most 256 columns; this sheet has 257"},
        LimitCase{"frozenBelowLastRow", [](Biff8Writer& b, int s) { b.freezeRows(s, 65536); },
                  "The .xls format holds at most 65536 rows; this sheet has 65537"},
        LimitCase{"text32768",
                  [](Biff8Writer& b, int s) {
                      b.setText(s, 6, 1, std::u16string(32767, u'a'));
                      b.setText(s, 7, 27, std::u16string(32768, u'b'));
                  },
                  "The .xls format holds at most 32767 characters in a cell; the text in cell "
                  "AB8 has 32768"},
        // Characters outside the BMP count twice, as in the file.
        LimitCase{"emojiText",
                  [](Biff8Writer& b, int s) {
                      std::string emoji;
                      for (int i = 0; i < 16384; ++i)
                          emoji += "\xF0\x9F\x98\x80";
                      b.setText(s, 0, 0, std::string_view(emoji));
                  },
                  "The .xls format holds at most 32767 characters in a cell; the text in cell "
                  "A1 has 32768"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Biff8Writer, TheLastRowAndColumnAreAccepted) {
    const std::string path = folder("edge") + "/book.xls";
    Biff8Writer book;
    const int sheet = book.addSheet(u"Data");
    book.setNumber(sheet, 65535, 255, 1);
    book.setText(sheet, 0, 0, std::u16string(32767, u'z'));
    book.freezeRows(sheet, 65535);
    EXPECT_NO_THROW(book.save(path));
    EXPECT_GT(fs::file_size(path), 32767u);
}

TEST(Biff8Writer, AWorkbookWithoutSheetsIsRefused) {
    Biff8Writer book;
    EXPECT_EQ(messageOf([&] { book.checkLimits(); }), "A workbook needs at least one sheet");
}

TEST(Biff8Writer, BadSheetNamesAreRefusedAtOnce) {
    Biff8Writer book;
    book.addSheet(u"Report");
    const std::pair<std::u16string, std::string> cases[] = {
        {u"", "A sheet name has 1 to 31 characters: \"\""},
        {std::u16string(32, u'n'),
         "A sheet name has 1 to 31 characters: \"" + std::string(32, 'n') + "\""},
        {u"a/b", "A sheet name cannot contain [ ] : * ? / or \\: \"a/b\""},
        {u"Q1?", "A sheet name cannot contain [ ] : * ? / or \\: \"Q1?\""},
        {u"'quoted", "A sheet name cannot begin or end with an apostrophe: \"'quoted\""},
        {u"REPORT", "The workbook already has a sheet named \"REPORT\""},
    };
    for (const auto& [name, message] : cases)
        EXPECT_EQ(messageOf([&] { book.addSheet(name); }), message);
    EXPECT_EQ(book.sheetCount(), 1);
    EXPECT_EQ(book.addSheet(std::u16string(31, u'я')), 1);
}

TEST(Biff8Writer, UnknownHandlesAreRefused) {
    Biff8Writer book;
    const int sheet = book.addSheet(u"S");
    EXPECT_EQ(messageOf([&] { book.setNumber(sheet, 0, 0, 1, 99); }), "Unknown cell format 99");
    EXPECT_EQ(messageOf([&] { book.setNumber(3, 0, 0, 1); }), "No sheet 3 in this workbook");
    Biff8Writer::CellFormat format;
    format.font = 4; // font index 4 never exists in the format
    EXPECT_EQ(messageOf([&] { book.addCellFormat(format); }), "Unknown font 4");
    format = {};
    format.numberFormat = 170;
    EXPECT_EQ(messageOf([&] { book.addCellFormat(format); }), "Unknown number format 170");
}

TEST(Biff8Writer, BadFontsAreRefused) {
    Biff8Writer::Font unnamed;
    unnamed.name.clear();
    Biff8Writer::Font longName;
    longName.name = std::u16string(32, u'f');
    Biff8Writer::Font huge;
    huge.size = 410;
    Biff8Writer::Font notANumber;
    notANumber.size = std::nan("");
    Biff8Writer book;
    for (const auto& font : {unnamed, longName}) {
        EXPECT_EQ(messageOf([&] { Biff8Writer{font}; }), "A font name has 1 to 31 characters");
        EXPECT_EQ(messageOf([&] { book.addFont(font); }), "A font name has 1 to 31 characters");
    }
    for (const auto& font : {huge, notANumber}) {
        EXPECT_EQ(messageOf([&] { Biff8Writer{font}; }),
                  "A font size lies between 1 and 409 points");
        EXPECT_EQ(messageOf([&] { book.addFont(font); }),
                  "A font size lies between 1 and 409 points");
    }
}

TEST(Biff8Writer, HandlesAreSharedForEqualDefinitions) {
    Biff8Writer book;
    EXPECT_EQ(book.addNumberFormat(u"General"), Biff8Writer::GeneralFormat);
    EXPECT_EQ(book.addNumberFormat(u"@"), 49);
    EXPECT_EQ(book.addNumberFormat(u"#,##0.00"), 4);
    const int date = book.addNumberFormat(u"yyyy-mm-dd");
    EXPECT_EQ(date, 164);
    EXPECT_EQ(book.addNumberFormat(u"yyyy-mm-dd"), date);
    EXPECT_EQ(book.addFont({}), Biff8Writer::DefaultFont);
    Biff8Writer::Font bold;
    bold.bold = true;
    EXPECT_EQ(book.addFont(bold), 5);
    EXPECT_EQ(book.addFont(bold), 5);
    EXPECT_EQ(book.addCellFormat({}), Biff8Writer::DefaultCellFormat);
    Biff8Writer::CellFormat f;
    f.font = 5;
    EXPECT_EQ(book.addCellFormat(f), 16);
    EXPECT_EQ(book.addCellFormat(f), 16);
}

TEST(Biff8Writer, TooManyColoursAreRefused) {
    Biff8Writer book;
    Biff8Writer::CellFormat f;
    for (std::uint32_t i = 0; i < 56; ++i) {
        f.fill = 0x010101 * (i + 1) + 0x000300;
        book.addCellFormat(f);
    }
    f.fill = 0x123456;
    EXPECT_EQ(messageOf([&] { book.addCellFormat(f); }),
              "The .xls format holds at most 56 colours in a workbook");
}

// A failed save names the file and gives the system's reason; no temporary file stays behind.
TEST(Biff8Writer, SaveFailuresNameTheFile) {
    const std::string dir = folder("failures");
    Biff8Writer book;
    book.addSheet(u"S");
    const std::string missing = dir + "/no such folder/book.xls";
    EXPECT_EQ(messageOf([&] { book.save(missing); }),
              "Cannot write the file \"" + missing + "\": No such file or directory");
    const std::string folderTarget = dir + "/taken";
    fs::create_directory(folderTarget);
    EXPECT_EQ(messageOf([&] { book.save(folderTarget); }),
              "Cannot write the file \"" + folderTarget + "\": Is a directory");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
}

TEST(Biff8Writer, SavingReplacesAnEarlierFile) {
    const std::string path = folder("replace") + "/book.xls";
    std::ofstream(path) << "earlier";
    Biff8Writer book;
    book.setText(book.addSheet(u"S"), 0, 0, std::string_view("x"));
    book.save(path);
    const std::string written = contents(path);
    ASSERT_GE(written.size(), 512u);
    EXPECT_EQ(written.substr(0, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

TEST(CompoundFile, BadStreamNamesAreRefused) {
    velmora::CompoundFile file;
    file.addStream(u"Workbook", {});
    EXPECT_EQ(messageOf([&] { file.addStream(u"WORKBOOK", {}); }),
              "A compound file cannot hold two streams of the same name");
    EXPECT_EQ(messageOf([&] { file.addStream(u"", {}); }),
              "A compound file stream name has 1 to 31 characters");
    EXPECT_EQ(messageOf([&] { file.addStream(u"a/b", {}); }),
              "A compound file stream name cannot contain / \\ : or !");
}

} // namespace
