#pragma once

#include <QString>

#include <optional>

namespace velmora {

// The 25 parameter type codes of a marker ?TYPE_NAME?. Codes are matched without regard to
// letter case.
enum class ParamType {
    STR,
    PWD,
    NUM,
    TEXT,
    SLIST,
    NLIST,
    DATE,
    TIME,
    DT,
    NFIXPICKW,
    NFIXPICKR,
    SFIXPICKW,
    SFIXPICKR,
    VFIXPICKR,
    NSQLPICKW,
    NSQLPICKR,
    SSQLPICKW,
    SSQLPICKR,
    VSQLPICKR,
    NFIXPICKC,
    SFIXPICKC,
    VFIXPICKC,
    NSQLPICKC,
    SSQLPICKC,
    VSQLPICKC,
};

// How a pick type writes its choice: N as typed and numeric, S quoted, V verbatim.
enum class PickPrefix { Numeric, String, Verbatim };
// Where the choices come from: the marker's own list, or the rows of a query.
enum class PickSource { Fixed, Sql };
// The control: W an editable list, R a pick-only list, C a checked combo box.
enum class PickControl { Writable, ReadOnly, Checked };

struct PickKind {
    PickPrefix prefix;
    PickSource source;
    PickControl control;
};

// The code for a TYPE as written (any letter case); nullopt for an invalid type.
std::optional<ParamType> fnParseParamType(const QString& type);
QString fnParamTypeCode(ParamType type); // upper case, as in the table above

bool fnIsPickType(ParamType type);
// The three traits of a pick type; nullopt for the nine plain types.
std::optional<PickKind> fnPickKind(ParamType type);
// True when OK requires the value (or every item or line) to be a number.
bool fnIsNumericType(ParamType type);

} // namespace velmora
