#include "ParamType.h"

#include <array>
#include <utility>

namespace velmora {

namespace {

constexpr std::array<std::pair<ParamType, const char*>, 25> kCodes{{
    {ParamType::STR, "STR"},
    {ParamType::PWD, "PWD"},
    {ParamType::NUM, "NUM"},
    {ParamType::TEXT, "TEXT"},
    {ParamType::SLIST, "SLIST"},
    {ParamType::NLIST, "NLIST"},
    {ParamType::DATE, "DATE"},
    {ParamType::TIME, "TIME"},
    {ParamType::DT, "DT"},
    {ParamType::NFIXPICKW, "NFIXPICKW"},
    {ParamType::NFIXPICKR, "NFIXPICKR"},
    {ParamType::SFIXPICKW, "SFIXPICKW"},
    {ParamType::SFIXPICKR, "SFIXPICKR"},
    {ParamType::VFIXPICKR, "VFIXPICKR"},
    {ParamType::NSQLPICKW, "NSQLPICKW"},
    {ParamType::NSQLPICKR, "NSQLPICKR"},
    {ParamType::SSQLPICKW, "SSQLPICKW"},
    {ParamType::SSQLPICKR, "SSQLPICKR"},
    {ParamType::VSQLPICKR, "VSQLPICKR"},
    {ParamType::NFIXPICKC, "NFIXPICKC"},
    {ParamType::SFIXPICKC, "SFIXPICKC"},
    {ParamType::VFIXPICKC, "VFIXPICKC"},
    {ParamType::NSQLPICKC, "NSQLPICKC"},
    {ParamType::SSQLPICKC, "SSQLPICKC"},
    {ParamType::VSQLPICKC, "VSQLPICKC"},
}};

} // namespace

std::optional<ParamType> fnParseParamType(const QString& type) {
    const QString upper = type.toUpper();
    for (const auto& [code, text] : kCodes) {
        if (upper == QLatin1String(text))
            return code;
    }
    return std::nullopt;
}

QString fnParamTypeCode(ParamType type) {
    for (const auto& [code, text] : kCodes) {
        if (code == type)
            return QString::fromLatin1(text);
    }
    return {};
}

std::optional<PickKind> fnPickKind(ParamType type) {
    const QString code = fnParamTypeCode(type);
    // Pick codes read as prefix, FIX or SQL, "PICK", control letter: NFIXPICKW.
    if (code.size() != 9 || code.mid(4, 4) != QLatin1String("PICK"))
        return std::nullopt;
    PickKind kind{};
    switch (code[0].unicode()) {
    case 'N':
        kind.prefix = PickPrefix::Numeric;
        break;
    case 'S':
        kind.prefix = PickPrefix::String;
        break;
    default:
        kind.prefix = PickPrefix::Verbatim;
        break;
    }
    kind.source = code.mid(1, 3) == QLatin1String("FIX") ? PickSource::Fixed : PickSource::Sql;
    switch (code[8].unicode()) {
    case 'W':
        kind.control = PickControl::Writable;
        break;
    case 'R':
        kind.control = PickControl::ReadOnly;
        break;
    default:
        kind.control = PickControl::Checked;
        break;
    }
    return kind;
}

bool fnIsPickType(ParamType type) {
    return fnPickKind(type).has_value();
}

bool fnIsNumericType(ParamType type) {
    if (type == ParamType::NUM || type == ParamType::NLIST)
        return true;
    const auto kind = fnPickKind(type);
    return kind && kind->prefix == PickPrefix::Numeric;
}

} // namespace velmora
