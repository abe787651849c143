#include "EngineWorkbook.h"

#include "EngineWorksheet.h"
#include "WorkbookFile.h"

#include <algorithm>
#include <stdexcept>

namespace velmora::xl {

EngineWorkbook::EngineWorkbook(std::weak_ptr<EngineState> state)
    : state_(std::move(state)) {}

void EngineWorkbook::ensureOpen() const {
    if (closed_)
        throw std::runtime_error("The object invoked has disconnected from its clients");
}

int EngineWorkbook::worksheetCount() const {
    ensureOpen();
    return static_cast<int>(sheets_.size());
}

std::shared_ptr<Worksheet> EngineWorkbook::worksheet(int index) {
    ensureOpen();
    if (index < 1 || index > static_cast<int>(sheets_.size()))
        throw std::runtime_error("Invalid index");
    return sheets_[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<Worksheet> EngineWorkbook::addWorksheet() {
    ensureOpen();
    QString name;
    for (int n = static_cast<int>(sheets_.size()) + 1;; ++n) {
        name = QStringLiteral("Sheet%1").arg(n);
        const bool taken = std::any_of(sheets_.begin(), sheets_.end(), [&](const auto& s) {
            return s->name().compare(name, Qt::CaseInsensitive) == 0;
        });
        if (!taken)
            break;
    }
    auto sheet = std::make_shared<EngineWorksheet>(weak_from_this(), name);
    // A new sheet goes before the active one and becomes active.
    const std::size_t at = sheets_.empty() ? 0 : active_;
    sheets_.insert(sheets_.begin() + static_cast<std::ptrdiff_t>(at), sheet);
    active_ = at;
    return sheet;
}

void EngineWorkbook::close() {
    if (closed_)
        return;
    closed_ = true;
    if (const auto state = state_.lock()) {
        auto& books = state->workbooks;
        books.erase(std::remove(books.begin(), books.end(), shared_from_this()), books.end());
        state->active = books.empty() ? std::weak_ptr<EngineWorkbook>() : books.back();
    }
}

void EngineWorkbook::checkSheetName(const QString& name, const EngineWorksheet* renamed) const {
    static const QString forbidden = QStringLiteral(":\\/?*[]");
    const bool badChar =
        std::any_of(name.begin(), name.end(), [](QChar c) { return forbidden.contains(c); });
    if (name.isEmpty() || name.size() > 31 || badChar || name.startsWith(QLatin1Char('\'')) ||
        name.endsWith(QLatin1Char('\'')))
        throw std::runtime_error(
            QStringLiteral("The sheet name \"%1\" is not valid: a sheet name has 1 to 31 "
                           "characters, does not begin or end with an apostrophe, and holds "
                           "none of : \\ / ? * [ ]")
                .arg(name)
                .toStdString());
    for (const auto& s : sheets_) {
        if (s.get() != renamed && s->name().compare(name, Qt::CaseInsensitive) == 0)
            throw std::runtime_error(
                QStringLiteral("The sheet name \"%1\" is already taken in this workbook")
                    .arg(name)
                    .toStdString());
    }
}

void EngineWorkbook::activate(const EngineWorksheet* sheet) {
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        if (sheets_[i].get() == sheet)
            active_ = i;
    }
    if (const auto state = state_.lock())
        state->active = weak_from_this();
}

std::shared_ptr<EngineWorksheet> EngineWorkbook::activeSheet() const {
    return sheets_.empty() ? nullptr : sheets_[active_];
}

void EngineWorkbook::save(const QString& fileName, int fileFormat, const EngineWorksheet& from) {
    ensureOpen();
    saveWorkbookFile(*this, from, fileName, fileFormat);
    savedFile_ = fileName;
}

} // namespace velmora::xl
