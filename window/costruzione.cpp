#include "window/costruzione.h"

#include "window/aspetto.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace costruzione {

QString nomeElemento(const QString& nome, int indice)
{
    return QStringLiteral("%1(%2)").arg(nome).arg(indice);
}

void posiziona(QWidget* controllo, int left, int top, int width, int height)
{
    controllo->setGeometry(TWIPS(left), TWIPS(top), TWIPS(width), TWIPS(height));
}

QGroupBox* creaFrame(QWidget* padre, const QString& nome)
{
    auto* frame = new QGroupBox(padre);
    frame->setObjectName(nome);
    frame->setFlat(false);
    frame->setAutoFillBackground(true);
    return frame;
}

QLabel* creaLabel(QWidget* padre, const QString& nome, const QString& testo, int left, int top, int width, int height)
{
    auto* label = new QLabel(testo, padre);
    label->setObjectName(nome);
    label->setTextFormat(Qt::PlainText);
    posiziona(label, left, top, width, height);
    return label;
}

QPushButton* creaBottone(QWidget* padre, const QString& nome, const QString& testo, int left, int top, int width,
                         int height)
{
    auto* bottone = new QPushButton(testo, padre);
    bottone->setObjectName(nome);
    bottone->setAutoDefault(false);
    posiziona(bottone, left, top, width, height);
    return bottone;
}

} // namespace costruzione
