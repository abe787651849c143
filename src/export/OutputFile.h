#pragma once

#include <QString>

#include <stdexcept>
#include <string>
#include <string_view>

namespace velmora {

// A failure of the output file; what() names the file and gives the system's reason, e.g.
// "Cannot write /x/y.csv: No space left on device".
class OutputFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file a writer fills: created, or emptied when it exists, and held with an exclusive
// advisory lock until closed, so that a second writer of the same file fails instead of
// interleaving lines. The file is emptied only once the lock is held: a file that another
// program is writing is left as it is. Writes go through a buffer of its own.
class OutputFile {
public:
    explicit OutputFile(const QString& path);
    ~OutputFile(); // closes without reporting; call close() to learn of a failure
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(std::string_view bytes);
    // Writes what the buffer holds, then closes; raises on failure. Safe to call again.
    void close();
    bool isOpen() const { return fd_ >= 0; }
    const QString& displayName() const { return name_; }

    // What the buffer collects before it goes to the file.
    static constexpr std::size_t kBufferBytes = 1 << 20;

private:
    void flush();
    [[noreturn]] void fail(const char* what, int error) const;

    QString name_;
    int fd_ = -1;
    std::string buffer_;
};

} // namespace velmora
