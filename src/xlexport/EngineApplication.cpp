#include "EngineApplication.h"

#include "DesktopHandover.h"
#include "EngineWorkbook.h"
#include "EngineWorksheet.h"
#include "platform/UserLocale.h"

#include <QFileInfo>

#include <stdexcept>

namespace velmora::xl {

class EngineApplication::EngineWorkbooks final : public Workbooks {
public:
    explicit EngineWorkbooks(std::shared_ptr<EngineState> state)
        : state_(std::move(state)) {}

    std::shared_ptr<Workbook> add(int templateKind) override {
        if (templateKind != constants::xlWBATWorksheet)
            throw std::runtime_error("Add method of Workbooks class failed");
        auto book = std::make_shared<EngineWorkbook>(state_);
        book->addWorksheet();
        state_->workbooks.push_back(book);
        state_->active = book;
        return book;
    }

    std::shared_ptr<Workbook> open(const QString& fileName) override {
        if (!QFileInfo::exists(fileName))
            throw std::runtime_error(
                QStringLiteral("Sorry, we couldn't find %1. Is it possible it was moved, "
                               "renamed or deleted?")
                    .arg(fileName)
                    .toStdString());
        throw std::runtime_error(
            QStringLiteral("The built-in spreadsheet engine cannot open workbook files: %1")
                .arg(fileName)
                .toStdString());
    }

    int count() const override { return static_cast<int>(state_->workbooks.size()); }

    std::shared_ptr<Workbook> activeWorkbook() override { return state_->active.lock(); }

private:
    std::shared_ptr<EngineState> state_;
};

class EngineApplication::EngineWindow final : public Window {
public:
    explicit EngineWindow(std::shared_ptr<EngineState> state)
        : state_(std::move(state)) {}

    void setFreezePanes(bool on) override {
        const auto book = state_->active.lock();
        if (!book || !book->isOpen())
            throw std::runtime_error("Unable to set the FreezePanes property of the Window class");
        SheetStore& sheet = book->activeSheet()->store();
        if (on)
            sheet.setFrozen(sheet.selection().row, sheet.selection().column);
        else
            sheet.setFrozen(0, 0);
    }

private:
    std::shared_ptr<EngineState> state_;
};

EngineApplication::EngineApplication(Desktop& desktop)
    : state_(std::make_shared<EngineState>(desktop))
    , workbooks_(std::make_unique<EngineWorkbooks>(state_))
    , window_(std::make_unique<EngineWindow>(state_)) {}

EngineApplication::~EngineApplication() = default;

void EngineApplication::ensureRunning() const {
    if (state_->quit)
        throw std::runtime_error("The remote procedure call failed: the spreadsheet "
                                 "application has quit");
}

Workbooks& EngineApplication::workbooks() {
    ensureRunning();
    return *workbooks_;
}

Window& EngineApplication::activeWindow() {
    ensureRunning();
    return *window_;
}

QString EngineApplication::international(int index) {
    ensureRunning();
    // The answers are in the files' own letters; only the separators come from the locale.
    switch (index) {
    case 17:
        return localeDateSeparator();
    case 18:
        return localeTimeSeparator();
    case 19:
        return QStringLiteral("y");
    case 20:
        return QStringLiteral("m");
    case 21:
        return QStringLiteral("d");
    case 22:
        return QStringLiteral("h");
    case 23:
        return QStringLiteral("m");
    case 24:
        return QStringLiteral("s");
    default:
        break;
    }
    throw std::runtime_error("Unable to get the International property of the Application class");
}

void EngineApplication::setScreenUpdating(bool on) {
    ensureRunning();
    state_->screenUpdating = on;
}

void EngineApplication::setVisible(bool on) {
    ensureRunning();
    state_->visible = on;
}

bool EngineApplication::visible() const {
    return state_->visible && !state_->quit;
}

void EngineApplication::setDisplayAlerts(bool on) {
    ensureRunning();
    state_->displayAlerts = on;
}

void EngineApplication::quit() {
    if (state_->quit)
        return;
    for (const auto& book : std::vector(state_->workbooks))
        book->close();
    state_->quit = true;
}

void EngineApplication::release() {
    if (state_->quit || !state_->visible)
        return;
    handOverToDesktop(*state_);
}

std::shared_ptr<Application> BuiltinServer::start() {
    return std::make_shared<EngineApplication>(desktop_);
}

} // namespace velmora::xl
