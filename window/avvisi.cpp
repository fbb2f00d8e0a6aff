// Other workstations' changes while the window is open: the selection list
// brought up to date by itself, with the time and the reason below the
// hints; on a data sheet, a line saying what became of its substitute. The
// typed values are never touched, and the save asks as it always does.
// Nothing shows a clerk working alone: the program's own writes are not
// reported back to it.
#include "registry/avvisi.h"
#include "window/anagsost.h"
#include "window/attesa.h"
#include "window/costruzione.h"
#include "window/selezione.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QTime>
#include <QTimer>

#include <algorithm>

namespace {

// How soon a change held back (a box, a frame, an operation) is tried again.
constexpr int RITENTAMS = 250;

const QString ALTRAPOSTAZIONE = QStringLiteral("da un'altra postazione");

QLabel* creaAvviso(QWidget* padre, const QString& nome, int left, int top, int width, int height)
{
    QLabel* riga = costruzione::creaLabel(padre, nome, QString(), left, top, width, height);
    riga->setWordWrap(true);
    riga->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    riga->hide();
    return riga;
}

void mostra(QLabel* riga, const QString& testo)
{
    riga->setText(testo);
    riga->setAccessibleName(testo);
    riga->setVisible(!testo.isEmpty());
}

QString ora()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm"));
}

// The window coming back to the front asks at once, rather than at the next
// interval.
class AllaRiattivazione : public QObject {
public:
    AllaRiattivazione(QWidget* finestra, std::function<void()> funzione)
        : QObject(finestra), m_funzione(std::move(funzione))
    {
        finestra->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override
    {
        if (evento->type() == QEvent::WindowActivate)
            QTimer::singleShot(0, this, m_funzione);
        return QObject::eventFilter(oggetto, evento);
    }

private:
    std::function<void()> m_funzione;
};

} // namespace

void ANAGSOST::COSTRUISCIAVVISI()
{
    LabAggiornato = creaAvviso(FrmSelezione, QStringLiteral("LabAggiornato"), 6960, 3300, 4695, 555);
    LabAvvisoScheda = creaAvviso(Frmmoduli[0], QStringLiteral("LabAvvisoScheda"), 1800, 5370, 9705, 285);
    QFont grassetto = LabAvvisoScheda->font();
    grassetto.setBold(true);
    LabAvvisoScheda->setFont(grassetto);
    m_ritentaAvvisi = new QTimer(this);
    m_ritentaAvvisi->setSingleShot(true);
    m_ritentaAvvisi->setInterval(RITENTAMS);
    m_ritentaAvvisi->callOnTimeout(this, [this] { AVVISIARRIVATI(); });
    new AllaRiattivazione(this, [this] { AVVISIARRIVATI(); });
}

void ANAGSOST::ASCOLTAAVVISI()
{
    M.DBANNO->ascolta([this] { AVVISIARRIVATI(); });
}

bool ANAGSOST::LIBEROPERAVVISI() const
{
    // A box waiting for an answer, an operation under way (its busy pointer,
    // a wait for the archive, a transaction): the list must not change
    // under them.
    return !m_scaricata && M.DBANNO && !QApplication::activeModalWidget() && !QApplication::overrideCursor() &&
           !m_attesa->inCorso() && !M.DBANNO->inTransazione();
}

void ANAGSOST::AVVISIARRIVATI()
{
    if (m_scaricata || !M.DBANNO)
        return;
    if (!LIBEROPERAVVISI()) {
        m_ritentaAvvisi->start();
        return;
    }
    m_avvisiPendenti += M.DBANNO->avvisi();
    if (m_avvisiPendenti.isEmpty())
        return;
    if (Frmmoduli[0]->isVisible()) {
        // The list is read again anyway when the sheet is left.
        const QList<store::Avviso> avvisi = std::exchange(m_avvisiPendenti, {});
        SEGNALASCHEDA(avvisi);
        return;
    }
    if (!FrmSelezione->isVisible()) {
        // The check's findings: the selection is read again when it comes back.
        m_avvisiPendenti.clear();
        return;
    }
    // An insertion, a change of codice fiscale, a lookup list under way
    // works on the lines shown: the list waits until it is closed.
    if (FrmInserimento->isVisible() || FrameCambiaCf->isVisible() || Framecodif->isVisible() || !List1->isEnabled()) {
        m_ritentaAvvisi->start();
        return;
    }
    m_avvisiPendenti.clear();
    try {
        AGGIORNAELENCO();
    } catch (const store::ErroreArchivio&) {
        // Nobody asked for this read: the list stays as it was, and the
        // operator's next action meets the fault and hears of it.
    }
}

void ANAGSOST::AGGIORNAELENCO()
{
    // The picked line, by its substitute's key (the first 20 characters of a
    // line): its place among the rows read changes with them.
    const QString scelta = testoSelezionato();
    registro::ElencoFiltrato elenco = registro::leggiElencoFiltrato(*M.DBANNO, ORDINESCELTO());
    qsizetype posizione = -2; // nowhere
    if (scelta == PRIMARIGA) {
        posizione = -1;
    } else if (!scelta.isEmpty()) {
        const QString chiave = scelta.left(20);
        for (qsizetype i = 0; i < elenco.righe() && posizione < 0; ++i) {
            if (elenco.voce(i).left(20) == chiave)
                posizione = i;
        }
    }
    STATO.ELENCO = std::move(elenco);
    // MOSTRAELENCO keeps the line picked by its place among the rows read:
    // every line shown stands for the place it has now.
    std::fill(STATO.MOSTRATE.begin(), STATO.MOSTRATE.end(), posizione);
    MOSTRAELENCO(true);
    ++m_elenchiAggiornati;
    mostra(LabAggiornato, QStringLiteral("Elenco aggiornato alle %1: modifiche %2.").arg(ora(), ALTRAPOSTAZIONE));
}

void ANAGSOST::SEGNALASCHEDA(const QList<store::Avviso>& avvisi)
{
    std::optional<registro::Istantanea> atteso;
    if (M.NUOVOSOSTITUTO != 1 && STATO.CARICATO)
        atteso = STATO.CARICATO->istantanea;
    registro::AvvisoScheda avviso;
    try {
        avviso = registro::avvisoScheda(ARCHIVIO(), STATO.CODAZISOST, STATO.CFSSOST, atteso, avvisi);
    } catch (const store::ErroreArchivio&) {
        return; // the save finds out, and asks
    }
    using Tipo = registro::AvvisoScheda::Tipo;
    QString testo;
    switch (avviso.tipo) {
    case Tipo::Nessuno:
        return;
    case Tipo::Modificata:
        testo = QStringLiteral("Anagrafica modificata %1 alle %2");
        break;
    case Tipo::Cancellata:
        testo = QStringLiteral("Anagrafica cancellata %1 alle %2");
        break;
    case Tipo::CodiceCambiato:
        testo = QStringLiteral("Anagrafica con il codice fiscale cambiato in ") + avviso.nuovoCfs.trimmed() +
                QStringLiteral(" %1 alle %2");
        break;
    case Tipo::Sparita:
        testo = QStringLiteral("Anagrafica cancellata, o il suo codice fiscale cambiato, %1 alle %2");
        break;
    case Tipo::Registrata:
        testo = QStringLiteral("Anagrafica con questi codici registrata %1 alle %2");
        break;
    }
    AVVISOSCHEDA(testo.arg(ALTRAPOSTAZIONE, ora()));
}

void ANAGSOST::AVVISOSCHEDA(const QString& testo)
{
    mostra(LabAvvisoScheda, testo);
}
