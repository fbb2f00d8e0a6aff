#include "window/aspetto.h"

#include <QFontDatabase>
#include <QFontInfo>

QColor COLOREVB(long valore)
{
    return QColor(static_cast<int>(valore & 0xFF), static_cast<int>((valore >> 8) & 0xFF),
                  static_cast<int>((valore >> 16) & 0xFF));
}

QFont FONTFISSO(double punti)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    const QFontInfo info(font);
    if (info.family().compare(QLatin1String("Courier New"), Qt::CaseInsensitive) != 0 || !info.fixedPitch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(punti);
    return font;
}
