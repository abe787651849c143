#pragma once

#include <QString>

namespace velmora {

// The desktop's "open" request: hands a file to the application associated with its type.
class Desktop {
public:
    virtual ~Desktop() = default;
    // True when the desktop accepted the request.
    virtual bool open(const QString& path) = 0;
};

// QDesktopServices::openUrl, which goes through xdg-open.
class XdgDesktop final : public Desktop {
public:
    bool open(const QString& path) override;
};

} // namespace velmora
