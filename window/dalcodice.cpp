// What the codice fiscale says, on a person's data sheet: below the fields
// and the note, the line of what the code says and, when something
// disagrees, the line naming the fields, each of them framed. It follows
// every change of the compared fields (typing, loading, clearing, a choice
// from the lookup list) and the substitute shown; it never takes part in a
// check, so a code that legitimately does not match is saved as typed. A new
// substitute's sheet is completed with the birth data the code carries.
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/textbox.h"

#include "registry/dalcodice.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

namespace {

// The mark of a field that disagrees with the code: a red frame drawn around
// it, in the field's place, so that its own colours (a refused field is
// black on yellow) stay the checks' alone.
const QColor ROSSODISCORDE(192, 0, 0);
constexpr int SPESSORECORNICE = 2; // pixels
const QString NONCORRISPONDE = QStringLiteral("non corrisponde al codice fiscale");
// The field's dynamic property a test (or a tool) reads the mark by.
const char* const DISCORDE = "discordeDalCodice";
const char* const DESCRIZIONE = "descrizioneBase";

void coloraTesto(QWidget* controllo, const QColor& colore)
{
    QPalette tavolozza = controllo->palette();
    tavolozza.setColor(QPalette::WindowText, colore);
    controllo->setPalette(tavolozza);
}

QLabel* creaRiga(QWidget* padre, const QString& nome, const QString& nomeAccessibile, int top, int height)
{
    auto* riga = new QLabel(padre);
    riga->setObjectName(nome);
    riga->setTextFormat(Qt::PlainText);
    riga->setWordWrap(true);
    riga->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    riga->setAccessibleName(nomeAccessibile);
    riga->setGeometry(TWIPS(1800), TWIPS(top), TWIPS(9705), TWIPS(height));
    riga->hide();
    return riga;
}

void mostraRiga(QLabel* riga, const QString& testo)
{
    riga->setText(testo);
    riga->setAccessibleDescription(testo);
    riga->setVisible(!testo.isEmpty());
}

} // namespace

void ANAGSOST::COSTRUISCIDALCODICE()
{
    QGroupBox* scheda = Frmmoduli[0];
    LabDalCodice = creaRiga(scheda, QStringLiteral("LabDalCodice"), QStringLiteral("Dal codice fiscale"), 4560, 255);
    LabDiscordanze = creaRiga(scheda, QStringLiteral("LabDiscordanze"),
                              QStringLiteral("Non corrispondono al codice fiscale"), 4830, 495);
    coloraTesto(LabDiscordanze, ROSSODISCORDE);
    for (int n = 1; n < int(CorniceCF.size()); ++n) {
        TextBox* campo = Text1[n];
        auto* cornice = new QFrame(scheda);
        cornice->setObjectName(QStringLiteral("CorniceCF(%1)").arg(n));
        cornice->setFrameStyle(QFrame::Box | QFrame::Plain);
        cornice->setLineWidth(SPESSORECORNICE);
        coloraTesto(cornice, ROSSODISCORDE);
        cornice->setGeometry(campo->geometry().adjusted(-SPESSORECORNICE, -SPESSORECORNICE, SPESSORECORNICE,
                                                        SPESSORECORNICE));
        // Under the field, which covers all but the frame's border; clicks
        // reach the sheet as elsewhere around the fields.
        cornice->stackUnder(campo);
        cornice->setAttribute(Qt::WA_TransparentForMouseEvents);
        cornice->setAccessibleName(campo->accessibleName() + QStringLiteral(": ") + NONCORRISPONDE);
        cornice->hide();
        CorniceCF[n] = cornice;
        campo->setProperty(DISCORDE, false);
        campo->setProperty(DESCRIZIONE, campo->accessibleDescription());
    }
}

void ANAGSOST::COLLEGADALCODICE()
{
    for (int n = 1; n < int(CorniceCF.size()); ++n)
        connect(Text1[n], &TextBox::Change, this, [this] { DALCODICE(); });
}

void ANAGSOST::DALCODICE()
{
    const std::optional<registro::DalCodice> esito = registro::dalCodice(LEGGISCHEDA());
    mostraRiga(LabDalCodice, esito ? esito->riga : QString());
    mostraRiga(LabDiscordanze, esito ? esito->discordanze : QString());
    for (int n = 1; n < int(CorniceCF.size()); ++n) {
        const bool discorde = esito && esito->discordanti.contains(checks::DatoAnagrafico(n));
        CorniceCF[n]->setVisible(discorde);
        TextBox* campo = Text1[n];
        campo->setProperty(DISCORDE, discorde);
        // A screen reader hears it with the field.
        const QString base = campo->property(DESCRIZIONE).toString();
        campo->setAccessibleDescription(!discorde       ? base
                                            : base.isEmpty() ? NONCORRISPONDE
                                                             : base + QStringLiteral(", ") + NONCORRISPONDE);
    }
}

void ANAGSOST::COMPLETADALCODICE()
{
    registro::Sostituto sostituto = LEGGISCHEDA();
    if (!registro::completaDalCodice(sostituto, Text1[5]->maxLength()).isEmpty())
        SCRIVISCHEDA(sostituto);
    DALCODICE();
}
