// The cell formatting of TvxExcelExport: number formats by field type, fonts, backgrounds and
// borders of ranges, column widths.
#include "RecordValue.h"
#include "TvxExcelExport.h"
#include "platform/UserLocale.h"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

bool isMsSansSerif(const QString& name) {
    return name == QLatin1String("MS Sans Serif");
}

double fontFactor(const TxlFont& font) {
    return std::max(font.Size / 10.0, 1.0);
}

// Halves go to the even neighbour.
int roundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

} // namespace

QString TvxExcelExport::LocalizeNumberFormat(const QString& format) const {
    QString out = format;
    for (QChar& c : out) {
        if (c == QLatin1Char('.'))
            c = decimalSeparator_;
        else if (c == QLatin1Char(','))
            c = thousandSeparator_;
    }
    return out;
}

QString TvxExcelExport::AddCurrencySymbol(const QString& format) const {
    const QString symbol = localeCurrencySymbol();
    switch (localeCurrencyFormat()) {
    case 1:
        return format + symbol;
    case 2:
        return symbol + QLatin1Char(' ') + format;
    case 3:
        return format + QLatin1Char(' ') + symbol;
    default:
        return symbol + format;
    }
}

QString TvxExcelExport::TranslateDateTimeFormat(const QString& pattern) {
    xl::Application& app = *ExcelApplication;
    QString answers[8];
    for (int i = 0; i < 8; ++i)
        answers[i] = app.international(17 + i);
    // Each step sees what the earlier ones left, so a minute "m" from step 2 is a month
    // letter in step 7; the spreadsheet's own letters make that come out right.
    QString f = pattern;
    f.replace(QStringLiteral("h"), answers[5], Qt::CaseInsensitive);
    f.replace(QStringLiteral("n"), answers[6], Qt::CaseInsensitive);
    f.replace(QStringLiteral("s"), answers[7], Qt::CaseInsensitive);
    const QString dateSep = localeDateSeparator();
    const QString timeSep = localeTimeSeparator();
    if (!dateSep.isEmpty())
        f.replace(dateSep, answers[0], Qt::CaseInsensitive);
    if (!timeSep.isEmpty())
        f.replace(timeSep, answers[1], Qt::CaseInsensitive);
    f.replace(QStringLiteral("y"), answers[2], Qt::CaseInsensitive);
    f.replace(QStringLiteral("m"), answers[3], Qt::CaseInsensitive);
    f.replace(QStringLiteral("d"), answers[4], Qt::CaseInsensitive);
    return f;
}

void TvxExcelExport::numberFormatOf(const TExportedColumn& column, xl::Range& range) {
    const QString zeros = QString(2, QLatin1Char('0'));
    if (DataPipe == TDataPipe::dpCustom) {
        const FieldType t =
            OnGetFieldDataType ? OnGetFieldDataType(column.FieldIndex) : FieldType::ftUnknown;
        switch (t) {
        case FieldType::ftFloat:
        case FieldType::ftCurrency:
        case FieldType::ftBCD:
        case FieldType::ftFMTBcd:
            range.setNumberFormat(QStringLiteral("0") + decimalSeparator_ + zeros);
            return;
        case FieldType::ftSmallint:
        case FieldType::ftInteger:
        case FieldType::ftWord:
        case FieldType::ftBoolean:
        case FieldType::ftLargeint:
            range.setNumberFormat(QStringLiteral("0"));
            return;
        case FieldType::ftString:
            range.setNumberFormat(QStringLiteral("@"));
            return;
        case FieldType::ftDate:
            range.setNumberFormat(TranslateDateTimeFormat(localeShortDatePattern()));
            return;
        case FieldType::ftTime:
            range.setNumberFormat(TranslateDateTimeFormat(localeShortTimePattern()));
            return;
        case FieldType::ftDateTime:
        case FieldType::ftTimeStamp:
            range.setNumberFormat(TranslateDateTimeFormat(
                localeShortDatePattern() + QLatin1Char(' ') + localeShortTimePattern()));
            return;
        default:
            range.setNumberFormat(QStringLiteral("@"));
            return;
        }
    }
    const int index = Dataset->fieldIndex(column.FieldName);
    const FieldInfo& f = Dataset->field(index < 0 ? column.FieldIndex : index);
    const FieldType t = f.type;
    if (t == FieldType::ftString) {
        range.setNumberFormat(QStringLiteral("@"));
    } else if (isNumericField(t)) {
        if (!f.displayFormat.isEmpty()) {
            try {
                range.setNumberFormat(LocalizeNumberFormat(f.displayFormat));
            } catch (const std::runtime_error&) {
                range.setNumberFormat(isFloatLike(t)
                                          ? QStringLiteral("0") + decimalSeparator_ + zeros
                                          : QStringLiteral("0"));
            }
        } else if (t == FieldType::ftCurrency) {
            const QString format =
                QStringLiteral("#,##0.") + QString(localeCurrencyDecimals(), QLatin1Char('0'));
            range.setNumberFormat(AddCurrencySymbol(LocalizeNumberFormat(format)));
        }
    } else if (t == FieldType::ftDate) {
        range.setNumberFormat(TranslateDateTimeFormat(
            f.displayFormat.isEmpty() ? localeShortDatePattern() : f.displayFormat));
    } else if (t == FieldType::ftTime) {
        range.setNumberFormat(TranslateDateTimeFormat(
            f.displayFormat.isEmpty() ? localeShortTimePattern() : f.displayFormat));
    } else if (t == FieldType::ftDateTime || t == FieldType::ftTimeStamp) {
        range.setNumberFormat(TranslateDateTimeFormat(
            f.displayFormat.isEmpty()
                ? localeShortDatePattern() + QLatin1Char(' ') + localeShortTimePattern()
                : f.displayFormat));
    }
}

void TvxExcelExport::ApplyNumberFormats(int firstRow, int lastRow) {
    for (std::size_t j = 0; j < exportedColumns_.size(); ++j) {
        const QString letters = ColumnLetters(static_cast<int>(j) + beginColumnData_);
        auto range = ExcelWorksheet->range(letters + QString::number(firstRow),
                                           letters + QString::number(lastRow));
        numberFormatOf(exportedColumns_[j], *range);
    }
}

void TvxExcelExport::FormatRange(int section, const TxlFont& font, const QString& firstCell,
                                 const QString& lastCell, const TCellBorder& border) {
    auto range = ExcelWorksheet->range(firstCell, lastCell);
    xl::Font& f = range->font();
    if (!font.Name.isEmpty() && !isMsSansSerif(font.Name))
        f.setName(font.Name);
    if (font.Size > 0)
        f.setSize(font.Size);
    if (font.Color != 0)
        f.setColor(font.Color);
    f.setBold(font.Style.bold);
    f.setItalic(font.Style.italic);
    f.setUnderline(font.Style.underline);

    if (section == 3 && border.BackAlternateColor != clWhite) {
        // Alternating rows: the first data row gets BackColor, the next the alternate colour.
        const QString firstLetters = firstCell.left(static_cast<int>(
            std::find_if(firstCell.begin(), firstCell.end(), [](QChar c) { return c.isDigit(); }) -
            firstCell.begin()));
        const QString lastLetters = lastCell.left(static_cast<int>(
            std::find_if(lastCell.begin(), lastCell.end(), [](QChar c) { return c.isDigit(); }) -
            lastCell.begin()));
        const int first = firstCell.mid(firstLetters.size()).toInt();
        const int last = lastCell.mid(lastLetters.size()).toInt();
        for (int r = first; r <= last; ++r) {
            ExcelWorksheet
                ->range(firstLetters + QString::number(r), lastLetters + QString::number(r))
                ->setInteriorColor((r - first) % 2 == 0 ? border.BackColor
                                                        : border.BackAlternateColor);
        }
    } else if (border.BackColor != clWhite) {
        range->setInteriorColor(border.BackColor);
    }

    if (border.LineStyle != TBorderLineStyle::blNone) {
        // A refused border is not worth failing the export for.
        for (int edge : {xl::constants::xlEdgeTop, xl::constants::xlEdgeRight,
                         xl::constants::xlEdgeLeft, xl::constants::xlEdgeBottom}) {
            try {
                xl::Border& b = range->borders(edge);
                b.setLineStyle(excelValue(border.LineStyle));
                b.setWeight(excelValue(border.Weight));
                b.setColor(border.BorderColor);
            } catch (const std::runtime_error&) {
            }
        }
    }

    range->setOrientation(font.Orientation);
    range->setWrapText(font.WrapText);
    range->setHorizontalAlignment(excelValue(font.Alignment));
}

void TvxExcelExport::SetColumnWidths() {
    if (exportedColumns_.empty())
        return;
    if (StyleColumnWidth != TStyleColumnWidth::cwOwnerWidth &&
        StyleColumnWidth != TStyleColumnWidth::cwAutoFit)
        return;
    auto range = ExcelWorksheet->range(firstColumnLetters_ + QStringLiteral("1"),
                                       LastColumnLetters() + QStringLiteral("1"));
    if (StyleColumnWidth == TStyleColumnWidth::cwOwnerWidth)
        range->setColumnWidth(ColumnWidth);
    else
        range->autoFitEntireColumn();
}

void TvxExcelExport::setTitleWidth(xl::Range& cell, int fieldIndex, const QString& title) {
    const bool custom = DataPipe == TDataPipe::dpCustom;
    const double data = fontFactor(FontData);
    const int displayWidth =
        custom ? (OnGetFieldDisplayWidth ? OnGetFieldDisplayWidth(fieldIndex) : 10)
               : Dataset->field(fieldIndex).displayWidth;
    switch (StyleColumnWidth) {
    case TStyleColumnWidth::cwFieldDisplayWidth:
        cell.setColumnWidth(roundEven(displayWidth * data));
        break;
    case TStyleColumnWidth::cwFieldDataSize: {
        int size = 0;
        if (custom)
            size = OnGetFieldDataSize ? OnGetFieldDataSize(fieldIndex) : 10;
        else
            size = Dataset->field(fieldIndex).type == FieldType::ftDateTime
                       ? 16
                       : Dataset->field(fieldIndex).dataSize;
        cell.setColumnWidth(roundEven(size * data));
        break;
    }
    case TStyleColumnWidth::cwEnhAutoFit: {
        const double w = displayWidth * data;
        const double t = (title.size() + 1) * fontFactor(FontTitles);
        cell.setColumnWidth(w >= t ? roundEven(w) : roundEven(t) + 1);
        break;
    }
    default:
        break;
    }
}

} // namespace velmora
