#pragma once

#include <QColor>
#include <QtGlobal>

// Colours of the screens. They are written as 0x00BBGGRR integers (blue in the high byte),
// the notation the screens' layouts were drawn in; fromBgr turns one into a QColor.
namespace Colors {

constexpr QColor fromBgr(quint32 bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// Title band of every working screen (a pale green).
inline constexpr quint32 TitleBandBgr = 0xD3E7D3;
// The current row of a list (a medium grey, slightly blue).
inline constexpr quint32 CurrentRowBgr = 0xA4A0A0;
// An editable list that is enabled.
inline constexpr quint32 WhiteBgr = 0xFFFFFF;

inline QColor titleBand() {
    return fromBgr(TitleBandBgr);
}
inline QColor titleText() {
    return QColor(128, 128, 128);
}
inline QColor currentRow() {
    return fromBgr(CurrentRowBgr);
}

} // namespace Colors
