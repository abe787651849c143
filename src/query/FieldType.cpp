#include "FieldType.h"

namespace velmora {

QString fieldTypeName(FieldType type) {
    switch (type) {
    case FieldType::ftUnknown:
        return QStringLiteral("ftUnknown");
    case FieldType::ftString:
        return QStringLiteral("ftString");
    case FieldType::ftSmallint:
        return QStringLiteral("ftSmallint");
    case FieldType::ftInteger:
        return QStringLiteral("ftInteger");
    case FieldType::ftWord:
        return QStringLiteral("ftWord");
    case FieldType::ftBoolean:
        return QStringLiteral("ftBoolean");
    case FieldType::ftFloat:
        return QStringLiteral("ftFloat");
    case FieldType::ftCurrency:
        return QStringLiteral("ftCurrency");
    case FieldType::ftBCD:
        return QStringLiteral("ftBCD");
    case FieldType::ftDate:
        return QStringLiteral("ftDate");
    case FieldType::ftTime:
        return QStringLiteral("ftTime");
    case FieldType::ftDateTime:
        return QStringLiteral("ftDateTime");
    case FieldType::ftBytes:
        return QStringLiteral("ftBytes");
    case FieldType::ftVarBytes:
        return QStringLiteral("ftVarBytes");
    case FieldType::ftAutoInc:
        return QStringLiteral("ftAutoInc");
    case FieldType::ftBlob:
        return QStringLiteral("ftBlob");
    case FieldType::ftMemo:
        return QStringLiteral("ftMemo");
    case FieldType::ftGraphic:
        return QStringLiteral("ftGraphic");
    case FieldType::ftFmtMemo:
        return QStringLiteral("ftFmtMemo");
    case FieldType::ftFixedChar:
        return QStringLiteral("ftFixedChar");
    case FieldType::ftWideString:
        return QStringLiteral("ftWideString");
    case FieldType::ftLargeint:
        return QStringLiteral("ftLargeint");
    case FieldType::ftVariant:
        return QStringLiteral("ftVariant");
    case FieldType::ftGuid:
        return QStringLiteral("ftGuid");
    case FieldType::ftTimeStamp:
        return QStringLiteral("ftTimeStamp");
    case FieldType::ftFMTBcd:
        return QStringLiteral("ftFMTBcd");
    case FieldType::ftFixedWideChar:
        return QStringLiteral("ftFixedWideChar");
    case FieldType::ftWideMemo:
        return QStringLiteral("ftWideMemo");
    case FieldType::ftOraTimeStamp:
        return QStringLiteral("ftOraTimeStamp");
    case FieldType::ftOraInterval:
        return QStringLiteral("ftOraInterval");
    case FieldType::ftOraClob:
        return QStringLiteral("ftOraClob");
    case FieldType::ftOraBlob:
        return QStringLiteral("ftOraBlob");
    }
    return QStringLiteral("ftUnknown");
}

} // namespace velmora
