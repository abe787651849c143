#pragma once

#include <QString>

#include <cstdint>

namespace velmora {

enum class TDataPipe { dpDataSet, dpCustom };
enum class TStyleColumnWidth {
    cwDefault,
    cwOwnerWidth,
    cwAutoFit,
    cwFieldDisplayWidth,
    cwFieldDataSize,
    cwEnhAutoFit
};
enum class TConnectTo { ctNewExcel, ctNewWorkbook, ctNewWorksheet };
enum class THAlignment { haGeneral, haLeft, haRight, haCenter };
enum class TBorderWeight { bwHairline, bwMedium, bwThick, bwThin };
enum class TBorderLineStyle {
    blContinuous,
    blDash,
    blDashDot,
    blDashDotDot,
    blDot,
    blDouble,
    blSlantDashDot,
    blLine,
    blNone
};
enum class TSummarySelection { ssNone, ssValues, ssGiven };
enum class TSummaryCalculation { scSUM, scMIN, scMAX, scAVG, scCOUNT };
enum class TBorderRange { bsCell, bsRow };

// The system window-text colour, the start colour of every font.
inline constexpr std::uint32_t clWindowText = 0xFF000008;
inline constexpr std::uint32_t clWhite = 0xFFFFFF;

struct TFontStyles {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// A font with the alignment, wrapping and orientation of the cells it is applied to. A face
// name "MS Sans Serif" counts as empty.
struct TxlFont {
    QString Name;
    int Size = -1; // points; -1 leaves the spreadsheet's size alone
    std::uint32_t Color = clWindowText;
    TFontStyles Style;
    THAlignment Alignment = THAlignment::haGeneral;
    bool WrapText = false;
    std::int32_t Orientation = 0;
};

// Background and border of a range. White means no background; blNone means no borders.
struct TCellBorder {
    std::uint32_t BackColor = clWhite;
    std::uint32_t BackAlternateColor = clWhite;
    std::uint32_t BorderColor = 0;
    TBorderWeight Weight = TBorderWeight::bwMedium;
    TBorderLineStyle LineStyle = TBorderLineStyle::blNone;
};

struct TGroupOptions {
    bool ClearContents = true;
    TBorderRange BorderRange = TBorderRange::bsRow;
    int IntervalFontSize = 2;
};

// One exported field: its name and its index in the dataset.
struct TExportedColumn {
    QString FieldName;
    int FieldIndex = 0;
};

// The values the enumerations go to the spreadsheet as.
int excelValue(THAlignment a);
int excelValue(TBorderWeight w);
int excelValue(TBorderLineStyle s);

} // namespace velmora
