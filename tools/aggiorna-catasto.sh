#!/usr/bin/env bash
# Rewrites checks/catasto.txt, the table of cadastral codes compiled into the
# program (Italian municipalities, those since abolished or merged included,
# and foreign states under the province "EE"), from the npm package
# codice-fiscale-js. Only the package's data list is read; none of its code runs.
#
#   tools/aggiorna-catasto.sh [versione]     # default: the latest version
#
# Needs npm and node. Then rebuild and commit checks/catasto.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

PACCHETTO=codice-fiscale-js
VERSIONE=${1:-latest}
DESTINAZIONE=checks/catasto.txt

lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
(cd "$lavoro" && npm pack --silent "$PACCHETTO@$VERSIONE" >/dev/null)
tar xzf "$lavoro"/*.tgz -C "$lavoro"

node - "$lavoro/package" "$DESTINAZIONE.nuovo" <<'FINE'
const fs = require('fs');
const path = require('path');
const vm = require('vm');
const [cartella, destinazione] = process.argv.slice(2);

const pacchetto = JSON.parse(fs.readFileSync(path.join(cartella, 'package.json'), 'utf8'));
// The list is an ES module holding one array literal: evaluate the literal alone.
const sorgente = fs.readFileSync(path.join(cartella, 'src/lista-comuni.js'), 'utf8');
const letterale = sorgente.replace(/^\s*export\s+const\s+COMUNI\s*=/, '').replace(/;\s*$/, '');
const righe = vm.runInNewContext('(' + letterale + ')', {}, { timeout: 10000 });

function errore(testo) { console.error('aggiorna-catasto: ' + testo); process.exit(1); }
if (!Array.isArray(righe)) errore('la lista dei comuni non è un array');
// The table is shipped under the package's licence: a new version under
// another licence must be looked at before it goes into the program.
const LICENZA = 'Attribution-ShareAlike 4.0 International';
const testoLicenza = fs.readFileSync(path.join(cartella, 'LICENSE-CC-BY-SA.txt'), 'utf8').split('\n')[0].trim();
if (pacchetto.license !== 'CC BY SA' || testoLicenza !== LICENZA)
  errore(`licenza cambiata (${pacchetto.license}, ${testoLicenza}): verificarla prima di aggiornare`);

const viste = new Set();
const voci = [];
righe.forEach((r, ordine) => {
  const [codice, provincia, nome, attivo] = r;
  if (!/^[A-Z][0-9]{3}$/.test(codice) || !/^[A-Z]{2}$/.test(provincia) ||
      typeof nome !== 'string' || !nome.trim() || /[\t\r\n]/.test(nome) || (attivo !== 0 && attivo !== 1))
    errore('riga non valida: ' + JSON.stringify(r));
  const riga = [codice, provincia, attivo, nome.trim()].join('\t');
  if (viste.has(riga)) return; // the list repeats a few rows
  viste.add(riga);
  voci.push({ codice, attivo, ordine, riga });
});
// Per code: the entry in force first, then the others in the list's order.
voci.sort((a, b) => a.codice < b.codice ? -1 : a.codice > b.codice ? 1 :
                    (b.attivo - a.attivo) || (a.ordine - b.ordine));

const codici = new Set(voci.map(v => v.codice));
const esteri = voci.filter(v => v.codice[0] === 'Z').length;
const soppressi = voci.filter(v => !v.attivo).length;
if (codici.size < 9000 || esteri < 200 || soppressi < 1000)
  errore(`dati incompleti: ${codici.size} codici, ${esteri} esteri, ${soppressi} voci soppresse`);

const testa = [
  '# Codici catastali dei comuni italiani (anche soppressi o fusi) e degli stati esteri (provincia EE).',
  `# Fonte: pacchetto npm ${pacchetto.name} ${pacchetto.version} di ${String(pacchetto.author).replace(/\s*<.*>/, '')} e altri, file src/lista-comuni.js`,
  '# (licenza CC BY-SA 4.0, https://creativecommons.org/licenses/by-sa/4.0/;',
  '# i dati vengono da ISTAT e dall\'archivio dei comuni di ANPR). Riscritto da tools/aggiorna-catasto.sh.',
  '# codice<TAB>provincia<TAB>1 in vigore, 0 soppresso o nome precedente<TAB>nome',
];
fs.writeFileSync(destinazione, testa.concat(voci.map(v => v.riga)).join('\n') + '\n');
console.log(`${pacchetto.name} ${pacchetto.version}: ${codici.size} codici (${esteri} voci estere, ` +
            `${soppressi} voci soppresse o precedenti), ${voci.length} righe`);
FINE
mv "$DESTINAZIONE.nuovo" "$DESTINAZIONE"
echo "Scritto $DESTINAZIONE"
