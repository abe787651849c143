#include "TestData.h"

#include <string>

namespace velmora::test {

FieldInfo fieldOf(const QString& name, FieldType type, ColumnKind kind,
                  const QString& displayFormat, bool visible) {
    FieldInfo f;
    f.name = name;
    f.type = type;
    f.kind = kind;
    f.displayWidth = 10;
    f.dataSize = 8;
    f.visible = visible;
    f.displayFormat = displayFormat;
    return f;
}

ResultSet buildRows(const std::vector<FieldInfo>& fields, int rows,
                    const std::function<void(ResultSet&, int row)>& fill) {
    ResultSet rs;
    for (const FieldInfo& f : fields)
        rs.addColumn(f);
    rs.reserveRows(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        fill(rs, r);
        rs.endRow();
    }
    return rs;
}

ResultSet numberedRows(int rows) {
    return buildRows({fieldOf("id", FieldType::ftInteger, ColumnKind::Int64),
                      fieldOf("name", FieldType::ftString, ColumnKind::Text),
                      fieldOf("amount", FieldType::ftFloat, ColumnKind::Double)},
                     rows, [](ResultSet& rs, int r) {
                         rs.appendInt(0, r + 1);
                         const std::string name = "row " + std::to_string(r + 1);
                         rs.appendText(1, name);
                         rs.appendDouble(2, (r + 1) * 1.5);
                     });
}

} // namespace velmora::test
