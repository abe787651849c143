// The reference for the spreadsheet benchmark: reads a query's rows with the SQLite C API and
// writes them with libxlsxwriter in constant-memory mode, a bold title row, numbers as numbers,
// texts as texts and ISO dates as dates. Nothing is kept beyond the current row.
//   bench_xlsx_reference DB QUERY OUT.xlsx
#include <sqlite3.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <cstdlib>

namespace {

// "YYYY-MM-DD" to a spreadsheet serial; false when the text is no such date.
bool isoDate(const unsigned char* t, int n, double* serial) {
    if (n != 10 || t[4] != '-' || t[7] != '-')
        return false;
    lxw_datetime dt{};
    dt.year = std::atoi(reinterpret_cast<const char*>(t));
    dt.month = (t[5] - '0') * 10 + (t[6] - '0');
    dt.day = (t[8] - '0') * 10 + (t[9] - '0');
    *serial = lxw_datetime_to_excel_datetime(&dt);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DB QUERY OUT.xlsx\n", argv[0]);
        return 2;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        return 1;
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, argv[2], -1, &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        return 1;
    }
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(argv[3], &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "bench");
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "m/d/yy");
    worksheet_freeze_panes(ws, 1, 0);

    const int columns = sqlite3_column_count(st);
    for (int c = 0; c < columns; ++c)
        worksheet_write_string(ws, 0, static_cast<lxw_col_t>(c), sqlite3_column_name(st, c), bold);
    lxw_row_t row = 1;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                worksheet_write_number(ws, row, col, double(sqlite3_column_int64(st, c)), nullptr);
                break;
            case SQLITE_FLOAT:
                worksheet_write_number(ws, row, col, sqlite3_column_double(st, c), nullptr);
                break;
            case SQLITE_TEXT: {
                const unsigned char* t = sqlite3_column_text(st, c);
                const int n = sqlite3_column_bytes(st, c);
                double serial = 0;
                if (isoDate(t, n, &serial))
                    worksheet_write_number(ws, row, col, serial, date);
                else
                    worksheet_write_string(ws, row, col, reinterpret_cast<const char*>(t), nullptr);
                break;
            }
            default:
                break;
            }
        }
        ++row;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    const lxw_error e = workbook_close(wb);
    if (e != LXW_NO_ERROR) {
        std::fprintf(stderr, "%s\n", lxw_strerror(e));
        return 1;
    }
    std::printf("rows %u\n", row - 1);
    return 0;
}
