#include "ConnectionWorker.h"

#include <stdexcept>

namespace velmora {

Connection::Connection()
    : w(std::make_unique<Worker>()) {}

Connection::~Connection() = default;

Connection::Worker& Connection::worker() {
    return *w;
}

void Connection::setConnectionString(const QString& text) {
    if (w->connected)
        close();
    w->connectionString = text;
}

QString Connection::connectionString() const {
    return w->connectionString;
}

bool Connection::connected() const {
    return w->connected;
}

void Connection::open() {
    if (w->connected)
        close();
    std::optional<Credentials> login;
    if (loginPromptEnabled) {
        login = loginPrompt ? loginPrompt(fnConnectionUser(w->connectionString)) : std::nullopt;
        if (!login)
            throw std::runtime_error("Database login cancelled");
    }
    const QString text = w->connectionString;
    const QString session = w->nextSessionName();
    Worker* worker = w.get();
    w->run([worker, text, login, session] {
        worker->backend.reset();
        worker->backend = fnOpenBackend(text, login, session);
    });
    w->connected = true;
}

void Connection::close() {
    for (Dataset* d : w->datasets)
        d->close();
    if (w->backend) {
        Worker* worker = w.get();
        w->connected = false;
        w->run([worker] { worker->backend.reset(); });
    }
    w->connected = false;
}

} // namespace velmora
