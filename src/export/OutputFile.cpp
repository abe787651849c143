#include "OutputFile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

OutputFile::OutputFile(const QString& path)
    : name_(QDir::cleanPath(QFileInfo(path).absoluteFilePath())) {
    if (path.isEmpty())
        throw OutputFileError("Cannot create the output file: no file name was given");
    const QByteArray native = QFile::encodeName(path);
    do {
        fd_ = ::open(native.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        fail("Cannot create", errno);
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd_);
        fd_ = -1;
        if (error == EWOULDBLOCK)
            throw OutputFileError(
                QStringLiteral("Cannot write %1: the file is in use by another program")
                    .arg(name_)
                    .toStdString());
        fail("Cannot lock", error);
    }
    // Emptied only now that the lock is held. Devices and pipes have nothing to empty.
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode) && ::ftruncate(fd_, 0) != 0) {
        const int error = errno;
        ::close(fd_);
        fd_ = -1;
        fail("Cannot write", error);
    }
    buffer_.reserve(kBufferBytes);
}

OutputFile::~OutputFile() {
    if (fd_ >= 0) {
        try {
            close();
        } catch (const OutputFileError&) {
            // Destruction happens on a failure path that has already reported.
        }
    }
}

void OutputFile::write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kBufferBytes) {
        flush();
        if (bytes.size() >= kBufferBytes) {
            buffer_.assign(bytes);
            flush();
            return;
        }
    }
    buffer_.append(bytes);
}

void OutputFile::flush() {
    if (fd_ < 0)
        fail("Cannot write", EBADF);
    const char* p = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            buffer_.clear();
            fail("Cannot write", error);
        }
        p += n;
        left -= std::size_t(n);
    }
    buffer_.clear();
}

void OutputFile::close() {
    if (fd_ < 0)
        return;
    const int fd = fd_;
    try {
        flush();
    } catch (const OutputFileError&) {
        fd_ = -1;
        ::close(fd);
        throw;
    }
    // The lock goes with the descriptor. close() is not retried: on Linux the descriptor is
    // released even when it reports EINTR.
    fd_ = -1;
    if (::close(fd) != 0)
        fail("Cannot write", errno);
}

void OutputFile::fail(const char* what, int error) const {
    throw OutputFileError(
        QStringLiteral("%1 %2: %3")
            .arg(QString::fromLatin1(what), name_, QString::fromLocal8Bit(std::strerror(error)))
            .toStdString());
}

} // namespace velmora
