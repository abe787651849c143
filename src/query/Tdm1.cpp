#include "Tdm1.h"

namespace velmora {

Tdm1::Tdm1()
    : ADOQry1(QStringLiteral("ADOQry1"), ADOConn1) {
    DataSource1.dataset = &ADOQry1;
}

} // namespace velmora
