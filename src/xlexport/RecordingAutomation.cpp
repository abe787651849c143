#include "RecordingAutomation.h"

#include <algorithm>
#include <array>

namespace velmora::xl {

QStringList CallLog::matching(const QString& prefix) const {
    QStringList out;
    for (const QString& l : lines) {
        if (l.startsWith(prefix))
            out << l;
    }
    return out;
}

namespace {

using Log = std::shared_ptr<CallLog>;

QString b(bool v) {
    return v ? QStringLiteral("true") : QStringLiteral("false");
}

QString valueText(const CellValue& v) {
    if (std::holds_alternative<std::monostate>(v))
        return QStringLiteral("<empty>");
    if (const double* d = std::get_if<double>(&v))
        return QString::number(*d, 'g', 17);
    if (const DateSerial* t = std::get_if<DateSerial>(&v))
        return QStringLiteral("date:") + QString::number(t->days, 'g', 17);
    if (const bool* x = std::get_if<bool>(&v))
        return b(*x);
    return QLatin1Char('"') + std::get<QString>(v) + QLatin1Char('"');
}

class RecFont final : public Font {
public:
    RecFont(Font& inner, Log log, QString who)
        : inner_(inner)
        , log_(std::move(log))
        , who_(who) {}
    void setName(const QString& n) override {
        note("Name=" + n);
        inner_.setName(n);
    }
    void setSize(double p) override {
        note("Size=" + QString::number(p));
        inner_.setSize(p);
    }
    void setColor(std::int64_t c) override {
        note("Color=" + QString::number(c, 16).toUpper());
        inner_.setColor(c);
    }
    void setBold(bool on) override {
        note("Bold=" + b(on));
        inner_.setBold(on);
    }
    void setItalic(bool on) override {
        note("Italic=" + b(on));
        inner_.setItalic(on);
    }
    void setUnderline(bool on) override {
        note("Underline=" + b(on));
        inner_.setUnderline(on);
    }

private:
    void note(const QString& what) { log_->lines << who_ + ".Font." + what; }
    Font& inner_;
    Log log_;
    QString who_;
};

class RecBorder final : public Border {
public:
    RecBorder(Border& inner, Log log, QString who)
        : inner_(inner)
        , log_(std::move(log))
        , who_(who) {}
    void setLineStyle(int s) override {
        note("LineStyle=" + QString::number(s));
        inner_.setLineStyle(s);
    }
    void setWeight(int w) override {
        note("Weight=" + QString::number(w));
        inner_.setWeight(w);
    }
    void setColor(std::int64_t c) override {
        note("Color=" + QString::number(c, 16).toUpper());
        inner_.setColor(c);
    }

private:
    void note(const QString& what) { log_->lines << who_ + "." + what; }
    Border& inner_;
    Log log_;
    QString who_;
};

class RecRange final : public Range {
public:
    RecRange(std::unique_ptr<Range> inner, Log log, QString who)
        : inner_(std::move(inner))
        , log_(std::move(log))
        , who_(std::move(who)) {}
    void setValue2(const CellValue& v) override {
        note("Value2=" + valueText(v));
        inner_->setValue2(v);
    }
    void setValue2(const ValueBlock& block) override {
        note(QStringLiteral("Value2=[%1x%2]").arg(block.rows()).arg(block.columns()));
        log_->blocks.push_back(block);
        inner_->setValue2(block);
    }
    void setNumberFormat(const QString& f) override {
        note("NumberFormat=" + f);
        inner_->setNumberFormat(f);
    }
    Font& font() override {
        if (!font_)
            font_ = std::make_unique<RecFont>(inner_->font(), log_, who_);
        return *font_;
    }
    Border& borders(int edge) override {
        auto& slot = borders_[static_cast<std::size_t>(std::clamp(edge - 7, 0, 3))];
        Border& inner = inner_->borders(edge);
        if (!slot)
            slot = std::make_unique<RecBorder>(inner, log_,
                                               who_ + ".Borders(" + QString::number(edge) + ")");
        return *slot;
    }
    void setOrientation(int d) override {
        note("Orientation=" + QString::number(d));
        inner_->setOrientation(d);
    }
    void setWrapText(bool on) override {
        note("WrapText=" + b(on));
        inner_->setWrapText(on);
    }
    void setHorizontalAlignment(int a) override {
        note("HorizontalAlignment=" + QString::number(a));
        inner_->setHorizontalAlignment(a);
    }
    void setInteriorColor(std::int64_t c) override {
        note("Interior.Color=" + QString::number(c, 16).toUpper());
        inner_->setInteriorColor(c);
    }
    void setColumnWidth(double w) override {
        note("ColumnWidth=" + QString::number(w));
        inner_->setColumnWidth(w);
    }
    void autoFitEntireColumn() override {
        note("EntireColumn.AutoFit");
        inner_->autoFitEntireColumn();
    }
    void select() override {
        note("Select");
        inner_->select();
    }

private:
    void note(const QString& what) { log_->lines << who_ + "." + what; }
    std::unique_ptr<Range> inner_;
    Log log_;
    QString who_;
    std::unique_ptr<RecFont> font_;
    std::array<std::unique_ptr<RecBorder>, 4> borders_;
};

class RecWorksheet final : public Worksheet {
public:
    RecWorksheet(std::shared_ptr<Worksheet> inner, Log log)
        : inner_(std::move(inner))
        , log_(std::move(log)) {}
    QString name() const override { return inner_->name(); }
    void setName(const QString& n) override {
        log_->lines << "Worksheet.Name=" + n;
        inner_->setName(n);
    }
    std::unique_ptr<Range> range(const QString& a, const QString& z) override {
        const QString who = QStringLiteral("Range(%1:%2)").arg(a, z);
        return std::make_unique<RecRange>(inner_->range(a, z), log_, who);
    }
    void saveAs(const QString& file, std::optional<int> format) override {
        log_->lines << QStringLiteral("Worksheet.SaveAs(%1,%2)")
                           .arg(file, format ? QString::number(*format) : QStringLiteral("none"));
        inner_->saveAs(file, format);
    }

private:
    std::shared_ptr<Worksheet> inner_;
    Log log_;
};

class RecWorkbook final : public Workbook {
public:
    RecWorkbook(std::shared_ptr<Workbook> inner, Log log)
        : inner_(std::move(inner))
        , log_(std::move(log)) {}
    int worksheetCount() const override { return inner_->worksheetCount(); }
    std::shared_ptr<Worksheet> worksheet(int index) override {
        log_->lines << "Worksheets.Item(" + QString::number(index) + ")";
        return std::make_shared<RecWorksheet>(inner_->worksheet(index), log_);
    }
    std::shared_ptr<Worksheet> addWorksheet() override {
        log_->lines << QStringLiteral("Worksheets.Add");
        return std::make_shared<RecWorksheet>(inner_->addWorksheet(), log_);
    }
    void close() override {
        log_->lines << QStringLiteral("Workbook.Close");
        inner_->close();
    }

private:
    std::shared_ptr<Workbook> inner_;
    Log log_;
};

class RecWorkbooks final : public Workbooks {
public:
    RecWorkbooks(Workbooks& inner, Log log)
        : inner_(inner)
        , log_(std::move(log)) {}
    std::shared_ptr<Workbook> add(int t) override {
        log_->lines << "Workbooks.Add(" + QString::number(t) + ")";
        return std::make_shared<RecWorkbook>(inner_.add(t), log_);
    }
    std::shared_ptr<Workbook> open(const QString& f) override {
        log_->lines << "Workbooks.Open(" + f + ")";
        return std::make_shared<RecWorkbook>(inner_.open(f), log_);
    }
    int count() const override {
        log_->lines << QStringLiteral("Workbooks.Count");
        return inner_.count();
    }
    std::shared_ptr<Workbook> activeWorkbook() override {
        auto book = inner_.activeWorkbook();
        return book ? std::make_shared<RecWorkbook>(book, log_) : nullptr;
    }

private:
    Workbooks& inner_;
    Log log_;
};

class RecWindow final : public Window {
public:
    RecWindow(Window& inner, Log log)
        : inner_(inner)
        , log_(std::move(log)) {}
    void setFreezePanes(bool on) override {
        log_->lines << "ActiveWindow.FreezePanes=" + b(on);
        inner_.setFreezePanes(on);
    }

private:
    Window& inner_;
    Log log_;
};

class RecApplication final : public Application {
public:
    RecApplication(std::shared_ptr<Application> inner, Log log)
        : inner_(std::move(inner))
        , log_(std::move(log)) {}
    Workbooks& workbooks() override {
        Workbooks& inner = inner_->workbooks();
        if (!workbooks_)
            workbooks_ = std::make_unique<RecWorkbooks>(inner, log_);
        return *workbooks_;
    }
    Window& activeWindow() override {
        Window& inner = inner_->activeWindow();
        window_ = std::make_unique<RecWindow>(inner, log_);
        return *window_;
    }
    QString international(int i) override {
        log_->lines << "Application.International(" + QString::number(i) + ")";
        return inner_->international(i);
    }
    void setScreenUpdating(bool on) override {
        log_->lines << "Application.ScreenUpdating=" + b(on);
        inner_->setScreenUpdating(on);
    }
    void setVisible(bool on) override {
        log_->lines << "Application.Visible=" + b(on);
        inner_->setVisible(on);
    }
    bool visible() const override { return inner_->visible(); }
    void setDisplayAlerts(bool on) override {
        log_->lines << "Application.DisplayAlerts=" + b(on);
        inner_->setDisplayAlerts(on);
    }
    void quit() override {
        log_->lines << QStringLiteral("Application.Quit");
        inner_->quit();
    }
    void release() override {
        log_->lines << QStringLiteral("Application.Release");
        inner_->release();
    }

private:
    std::shared_ptr<Application> inner_;
    Log log_;
    std::unique_ptr<RecWorkbooks> workbooks_;
    std::unique_ptr<RecWindow> window_;
};

} // namespace

RecordingServer::RecordingServer(AutomationServer& inner, std::optional<int> version)
    : inner_(inner)
    , version_(version)
    , log_(std::make_shared<CallLog>()) {}

int RecordingServer::installedVersion() const {
    return version_.value_or(inner_.installedVersion());
}

std::shared_ptr<Application> RecordingServer::start() {
    log_->lines << QStringLiteral("Start");
    return std::make_shared<RecApplication>(inner_.start(), log_);
}

std::shared_ptr<Application> RecordingServer::running() {
    auto app = inner_.running();
    return app ? std::make_shared<RecApplication>(app, log_) : nullptr;
}

} // namespace velmora::xl
