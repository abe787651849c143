#pragma once

#include "Backend.h"
#include "Tdm1.h"

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>
#include <vector>

namespace velmora {

// The database thread of one Connection and the session on it. run() hands a job to the thread
// and waits for it in a local event loop that paints but takes no user input; an error of the job
// comes back as std::runtime_error with the same message.
struct Connection::Worker {
    Worker();
    ~Worker();

    void run(const std::function<void()>& job);
    QString nextSessionName();

    QThread thread;
    std::unique_ptr<QObject> threadContext; // lives on the thread: target of the jobs
    QObject uiContext;                      // lives on the creating thread: gets "done"
    std::unique_ptr<Backend> backend;       // touched on the thread only
    QString connectionString;
    bool connected = false;
    std::vector<Dataset*> datasets; // queries on this connection, closed with it
    int sessions = 0;
};

} // namespace velmora
