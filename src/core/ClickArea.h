#pragma once
#include <QtGlobal>

// A clickable rectangle on the title picture, in picture pixels.
struct ClickArea {
    qint32 Levy = 0;
    qint32 Horni = 0;
    qint32 Pravy = 0;
    qint32 Dolni = 0;

    // The strict inside rule: the border itself is outside.
    bool Contains(qint64 x, qint64 y) const { return Levy < x && x < Pravy && Horni < y && y < Dolni; }
    bool IsSet() const { return Levy != 0 && Horni != 0 && Pravy != 0 && Dolni != 0; }
    friend bool operator==(const ClickArea&, const ClickArea&) = default;
};

inline bool AreasSet(const ClickArea& rozbal, const ClickArea& readme, const ClickArea& konec)
{
    return rozbal.IsSet() && readme.IsSet() && konec.IsSet();
}
