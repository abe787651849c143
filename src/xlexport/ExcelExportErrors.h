#pragma once

#include <QString>

#include <stdexcept>

namespace velmora {

// The export component's own errors; what() is the user's text.
class EExcelExport : public std::runtime_error {
public:
    explicit EExcelExport(const QString& message)
        : std::runtime_error(message.toStdString()) {}
};

class EFileNotExists : public EExcelExport {
    using EExcelExport::EExcelExport;
};
class ENoDatasetConnected : public EExcelExport {
    using EExcelExport::EExcelExport;
};
class EDatasetNotActive : public EExcelExport {
    using EExcelExport::EExcelExport;
};
class ENoActiveWorkbook : public EExcelExport {
    using EExcelExport::EExcelExport;
};
class ENotSupported : public EExcelExport {
    using EExcelExport::EExcelExport;
};
class EMaxColumnsReached : public EExcelExport {
    using EExcelExport::EExcelExport;
};
class EMaxRowsReached : public EExcelExport {
    using EExcelExport::EExcelExport;
};

} // namespace velmora
