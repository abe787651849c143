// velmora-kvf: encodes and decodes query files (*.kvf).
//
//   velmora-kvf encode -d DESCRIPTION -c CONNECTION [-o OUT] [SQLFILE|-]
//   velmora-kvf encode --source FILE [-d DESCRIPTION] [-c CONNECTION] [-o OUT]
//   velmora-kvf decode FILE
//
// Encoding works on bytes: what the arguments and the SQL file hold is what the query file
// carries. A source file starts with "-- description: ..." and "-- connection: ..." lines; the
// rest is the SQL text. decode prints a query file in that same source form.
#include "query/LineCodec.h"
#include "query/QueryFileReader.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using velmora::fnEncodeLine;

constexpr const char* kUsage =
    "usage: velmora-kvf encode -d DESCRIPTION -c CONNECTION [-o OUT] [SQLFILE|-]\n"
    "       velmora-kvf encode --source FILE [-d DESCRIPTION] [-c CONNECTION] [-o OUT]\n"
    "       velmora-kvf decode FILE\n";

struct Failure {
    std::string message;
};

std::string readAll(const std::string& path) {
    if (path == "-")
        return std::string(std::istreambuf_iterator<char>(std::cin), {});
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Failure{"cannot read " + path + ": " + std::strerror(errno)};
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Lines of a plain text: LF ends a line, a CR before it is dropped, a final line ending does not
// start another line.
std::vector<std::string> plainLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : text) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string trim(std::string s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool takeHeader(const std::string& line, const char* key, std::optional<std::string>& into) {
    const std::string prefix = std::string("-- ") + key + ":";
    if (line.rfind(prefix, 0) != 0)
        return false;
    if (!into)
        into = trim(line.substr(prefix.size()));
    return true;
}

QByteArray bytes(const std::string& s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

int encode(const std::vector<std::string>& args) {
    std::optional<std::string> description, connection, source, sqlFile, out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size())
                throw Failure{a + " needs a value"};
            return args[++i];
        };
        if (a == "-d" || a == "--description")
            description = value();
        else if (a == "-c" || a == "--connection")
            connection = value();
        else if (a == "-o" || a == "--output")
            out = value();
        else if (a == "--source")
            source = value();
        else if (!sqlFile && (a == "-" || a.empty() || a[0] != '-'))
            sqlFile = a;
        else
            throw Failure{"unexpected argument " + a};
    }
    if (source && sqlFile)
        throw Failure{"give either --source or an SQL file, not both"};

    std::vector<std::string> sql;
    if (source) {
        std::vector<std::string> lines = plainLines(readAll(*source));
        std::size_t first = 0;
        while (first < lines.size() && (takeHeader(lines[first], "description", description) ||
                                        takeHeader(lines[first], "connection", connection)))
            ++first;
        sql.assign(lines.begin() + std::ptrdiff_t(first), lines.end());
    } else {
        sql = plainLines(readAll(sqlFile.value_or("-")));
    }
    if (!description)
        throw Failure{"no description (-d, or a \"-- description:\" line)"};
    if (!connection || connection->empty())
        throw Failure{"no connection string (-c, or a \"-- connection:\" line)"};

    QByteArray file;
    auto line = [&](const std::string& text, char separator) {
        file += fnEncodeLine(bytes(text), separator);
        file += "\r\n";
    };
    line(*description, '\0');
    line(*connection, '-');
    for (const std::string& s : sql)
        line(s, '\0');

    if (!out || *out == "-") {
        std::fwrite(file.constData(), 1, std::size_t(file.size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    const std::string temp = *out + ".tmp";
    {
        std::ofstream o(temp, std::ios::binary | std::ios::trunc);
        o.write(file.constData(), file.size());
        if (!o.flush())
            throw Failure{"cannot write " + temp + ": " + std::strerror(errno)};
    }
    if (std::rename(temp.c_str(), out->c_str()) != 0)
        throw Failure{"cannot write " + *out + ": " + std::strerror(errno)};
    return 0;
}

int decode(const std::vector<std::string>& args) {
    if (args.size() != 1)
        throw Failure{"decode takes one file"};
    velmora::QueryFile q;
    try {
        q = velmora::fnReadQueryFile(QString::fromLocal8Bit(args[0].c_str()));
    } catch (const std::runtime_error& e) {
        throw Failure{e.what()};
    }
    std::ostringstream o;
    o << "-- description: " << q.description.toStdString() << '\n'
      << "-- connection: " << q.connectionString.toStdString() << '\n';
    for (const QString& s : q.sqlLines)
        o << s.toStdString() << '\n';
    std::cout << o.str() << std::flush;
    if (q.lineCount < 2 || q.connectionString.isEmpty()) {
        std::cerr << "velmora-kvf: " << args[0]
                  << " is not a valid query file (no connection string)\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "-h" || args[0] == "--help") {
        std::cout << kUsage;
        return args.empty() ? 2 : 0;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    try {
        if (command == "encode")
            return encode(args);
        if (command == "decode")
            return decode(args);
        throw Failure{"unknown command " + command};
    } catch (const Failure& f) {
        std::cerr << "velmora-kvf: " << f.message << '\n' << kUsage;
        return 2;
    }
}
