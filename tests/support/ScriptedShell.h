#pragma once

// A Shell driven by a script of answers, recording what the shared routines did to the window.
// Tests queue answers (confirmations, logins, save dialog answers, dialog actions) and read back
// the boxes shown, the title, the status panels and the enabled state.

#include "Share/GlobalVar.h"

#include <QDir>
#include <QStringList>

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>

namespace velmora::test {

class ScriptedShell : public Shell {
public:
    // What was shown.
    QStringList messages;      // plain message boxes
    QStringList confirmations; // confirmation questions asked
    QStringList errors;        // default error boxes
    QStringList loginUsers;    // user names the login box was filled with
    int paramDialogs = 0;
    int optionsDialogs = 0;
    int saveDialogs = 0;
    QList<SaveDialogRequest> saveRequests;
    QList<bool> enabledHistory; // every setMainEnabled call
    QList<bool> processingHistory;
    int autofits = 0;
    bool ended = false;

    // What to answer.
    std::deque<bool> confirmAnswers;                         // empty: No
    std::deque<std::optional<Credentials>> loginAnswers;     // empty: Cancel
    std::deque<std::optional<SaveDialogAnswer>> saveAnswers; // empty: Cancel
    // Called in place of the parameter dialog and the options dialog; by default they cancel.
    std::function<void(SessionState&)> onParamDialog;
    std::function<void(SessionState&)> onOptionsDialog;
    QString selection = QStringLiteral(".kvf");
    QString currentFolder;

    QString title() const override { return title_; }
    void setTitle(const QString& text) override { title_ = text; }
    QString statusText(int panel) const override { return panels_.at(std::size_t(panel)); }
    void setStatusText(int panel, const QString& text) override {
        panels_.at(std::size_t(panel)) = text;
    }
    void setMainEnabled(bool enabled) override {
        enabled_ = enabled;
        enabledHistory << enabled;
    }
    bool mainEnabled() const { return enabled_; }
    void focusGrid() override { ++gridFocus; }
    int gridFocus = 0;

    void messageBox(const QString& text) override { messages << text; }
    bool confirm(const QString& text) override {
        confirmations << text;
        if (confirmAnswers.empty())
            return false;
        const bool yes = confirmAnswers.front();
        confirmAnswers.pop_front();
        return yes;
    }
    void errorBox(const QString& text) override { errors << text; }

    void execParamDialog(SessionState& state) override {
        ++paramDialogs;
        state.DialogCancelled = true;
        if (onParamDialog)
            onParamDialog(state);
    }
    void execOptionsDialog(SessionState& state) override {
        ++optionsDialogs;
        state.DialogCancelled = true;
        if (onOptionsDialog)
            onOptionsDialog(state);
    }
    std::optional<SaveDialogAnswer> saveDialog(SessionState&,
                                               const SaveDialogRequest& request) override {
        ++saveDialogs;
        saveRequests << request;
        if (saveAnswers.empty())
            return std::nullopt;
        auto answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    std::optional<Credentials> loginBox(const QString& user) override {
        loginUsers << user;
        if (loginAnswers.empty())
            return std::nullopt;
        auto answer = loginAnswers.front();
        loginAnswers.pop_front();
        return answer;
    }
    void showProcessing(bool visible) override { processingHistory << visible; }
    void autofitColumns() override { ++autofits; }
    QString folder() const override { return currentFolder; }
    // As the real folder list does, moving makes the folder the process's current folder.
    void setFolder(const QString& path) override {
        if (!QDir::setCurrent(path))
            throw std::runtime_error("Folder \"" + path.toStdString() + "\" does not exist");
        currentFolder = QDir::currentPath();
    }
    QString selectedQueryPath() const override { return selection; }
    void endProcess() override { ended = true; }

private:
    QString title_ = QStringLiteral("Velmora");
    std::array<QString, 5> panels_;
    bool enabled_ = true;
};

// An event log that keeps its entries.
class RecordingEventLog : public EventLog {
public:
    struct Entry {
        QString source;
        QString text;
    };
    QList<Entry> entries;
    void write(const QString& source, const QString& text) override {
        entries.push_back({source, text});
    }
    QStringList texts() const {
        QStringList out;
        for (const Entry& e : entries)
            out << e.text;
        return out;
    }
};

// A desktop that records the files it was asked to open.
class RecordingDesktop : public Desktop {
public:
    QStringList opened;
    bool accept = true;
    bool open(const QString& path) override {
        opened << path;
        return accept;
    }
};

} // namespace velmora::test
