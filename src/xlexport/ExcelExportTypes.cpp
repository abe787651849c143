#include "ExcelExportTypes.h"

namespace velmora {

int excelValue(THAlignment a) {
    switch (a) {
    case THAlignment::haGeneral:
        return 1;
    case THAlignment::haLeft:
        return -4131;
    case THAlignment::haRight:
        return -4152;
    case THAlignment::haCenter:
        return -4108;
    }
    return 1;
}

int excelValue(TBorderWeight w) {
    switch (w) {
    case TBorderWeight::bwHairline:
        return 1;
    case TBorderWeight::bwMedium:
        return -4138;
    case TBorderWeight::bwThick:
        return 4;
    case TBorderWeight::bwThin:
        return 2;
    }
    return 2;
}

int excelValue(TBorderLineStyle s) {
    switch (s) {
    case TBorderLineStyle::blContinuous:
        return 1;
    case TBorderLineStyle::blDash:
        return -4115;
    case TBorderLineStyle::blDashDot:
        return 4;
    case TBorderLineStyle::blDashDotDot:
        return 5;
    case TBorderLineStyle::blDot:
        return -4118;
    case TBorderLineStyle::blDouble:
        return -4119;
    case TBorderLineStyle::blSlantDashDot:
        return 13;
    case TBorderLineStyle::blLine:
        return 1;
    case TBorderLineStyle::blNone:
        return -4142;
    }
    return -4142;
}

} // namespace velmora
