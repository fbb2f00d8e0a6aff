#!/usr/bin/python3
"""Plants each fault of catalogo.py in turn into a source tree, rebuilds,
runs the test suite and records which tests fail; the file is restored after
each fault, also when the run is interrupted.

  esegui.py --sorgenti SRC --build BUILD --verifica
      checks that every fault's text is found exactly once (nothing changed)
  esegui.py --sorgenti SRC --build BUILD --risultati prima.json [--solo S1,W3] [--strato window]
      runs the faults; results saved after each one (a run started again with
      the same file goes on from where it stopped, --rifai to run them again)
  esegui.py --confronta prima.json dopo.json
      the two matrices side by side; faults caught before and not after first

Tests: the SQLite variants (ctest -E '_pg$'), without tst_interruzioni unless
the fault is about atomicity; for a fault on code that runs only against a
server, the _pg variants too (the server is started with the source tree's
scripts/pg.sh; set ANAGSOST_PG_PORT and ANAGSOST_PG_DIR to use your own).
A baseline run without any fault comes first: a test that fails already is
not counted as catching a fault.
"""
import argparse
import json
import os
import re
import signal
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from catalogo import GUASTI  # noqa: E402

# The file currently holding a fault and its original text.
in_corso = {}


def ripristina():
    for percorso, testo in list(in_corso.items()):
        with open(percorso, "w", encoding="utf-8", newline="") as f:
            f.write(testo)
        in_corso.pop(percorso)


def al_segnale(numero, _frame):
    ripristina()
    sys.stderr.write(f"\ninterrupted (signal {numero}): sources restored\n")
    sys.exit(130)


def leggi(percorso):
    with open(percorso, encoding="utf-8", newline="") as f:
        return f.read()


def verifica(sorgenti, guasti):
    difetti = []
    for g in guasti:
        percorso = os.path.join(sorgenti, g["file"])
        if not os.path.exists(percorso):
            difetti.append(f"{g['id']}: file {g['file']} not found")
            continue
        n = leggi(percorso).count(g["cerca"])
        if n != 1:
            difetti.append(f"{g['id']}: search text found {n} times in {g['file']}")
    ids = [g["id"] for g in guasti]
    for i in set(ids):
        if ids.count(i) > 1:
            difetti.append(f"{i}: id used {ids.count(i)} times")
    return difetti


def compila(build, log):
    p = subprocess.run(["cmake", "--build", build, "-j2"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                       text=True)
    log.write(p.stdout)
    return p.returncode == 0


LIMITE_USCITA = 20_000_000  # bytes of a run's output kept in its log
RIGA_FAIL = re.compile(r"^(?:FAIL!|XPASS)\s*:\s*(\w+::\w+(?:\(.{0,60}?\))?)")
RIGA_ESITO = re.compile(r"^\s*\d+/\d+ Test\s+#\d+: (\S+) \.*\s*(.*?)\s+[\d.]+ sec\s*$")


def prova(build, escludi, log, limite, includi=None):
    """Runs ctest; returns (failing tests, tests run, failing test functions).

    The output is read as it comes, not kept: a fault that makes a test loop
    writing warnings would otherwise fill the memory. Past LIMITE_USCITA bytes
    the lines are still parsed but no longer logged."""
    comando = ["ctest", "-j2", "--output-on-failure", "-E", escludi] + (["-R", includi] if includi else [])
    inizio = time.time()
    p = subprocess.Popen(comando, cwd=build, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         errors="replace", start_new_session=True)
    fermo = threading.Timer(limite, lambda: os.killpg(p.pid, signal.SIGKILL))
    fermo.start()
    falliti, eseguiti, funzioni, scritti = [], [], [], 0
    try:
        for riga in p.stdout:
            if scritti < LIMITE_USCITA:
                log.write(riga)
                scritti += len(riga)
            m = RIGA_ESITO.match(riga)
            if m:
                eseguiti.append(m.group(1))
                if "Passed" not in m.group(2):
                    falliti.append(m.group(1))
            m = RIGA_FAIL.match(riga)
            if m and m.group(1) not in funzioni:
                funzioni.append(m.group(1))
        p.wait()
    finally:
        fermo.cancel()
    if time.time() - inizio >= limite:
        log.write(f"\n*** ctest stopped after {limite} s\n")
    if p.returncode not in (0, 8) and not eseguiti:
        falliti.append("(ctest: %d)" % p.returncode)
    log.write(f"\n--- {time.time() - inizio:.0f} s\n")
    return sorted(falliti), eseguiti, funzioni


def escludi_per(g):
    # The _pg variants only for faults on code that runs only against a
    # server; the crash test only for faults about atomicity.
    parti = []
    if not g.get("server"):
        parti.append("_pg$")
    if not g.get("transazioni"):
        parti.append("^tst_interruzioni$")
    return "|".join(parti) if parti else "^$nessuno"


def prepara_server(sorgenti, build):
    pg = os.path.join(sorgenti, "scripts", "pg.sh")
    subprocess.run([pg, "start"], check=True)
    env = subprocess.run([pg, "env"], check=True, stdout=subprocess.PIPE, text=True).stdout
    valori = dict(re.findall(r"^(\w+)='([^']*)'$", env, re.M))
    subprocess.run(["cmake", "-S", sorgenti, "-B", build, f"-DANAGSOST_PG_PROVA={valori['ANAGSOST_PG']}",
                    f"-DANAGSOST_PG_PASSFILE={valori['PGPASSFILE']}"], check=True, stdout=subprocess.DEVNULL)
    os.environ["ANAGSOST_PG_RICHIESTO"] = "1"


def salva(percorso, risultati):
    temporaneo = percorso + ".tmp"
    with open(temporaneo, "w", encoding="utf-8") as f:
        json.dump(risultati, f, indent=1, ensure_ascii=False)
    os.replace(temporaneo, percorso)


def esegui(args, guasti):
    sorgenti, build = os.path.abspath(args.sorgenti), os.path.abspath(args.build)
    difetti = verifica(sorgenti, guasti)
    for d in difetti:
        print("NOT ANCHORED", d)
    ancorati = [g for g in guasti if not any(d.startswith(g["id"] + ":") for d in difetti)]
    risultati = {}
    if os.path.exists(args.risultati):
        with open(args.risultati, encoding="utf-8") as f:
            risultati = json.load(f)
    for d in difetti:
        risultati[d.split(":")[0]] = {"esito": "non ancorato", "motivo": d}
    cartella_log = os.path.splitext(args.risultati)[0] + "-log"
    os.makedirs(cartella_log, exist_ok=True)
    if any(g.get("server") for g in ancorati) and not args.senza_server:
        prepara_server(sorgenti, build)

    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, al_segnale)

    if "_base" not in risultati or args.rifai:
        with open(os.path.join(cartella_log, "_base.txt"), "w", encoding="utf-8") as log:
            if not compila(build, log):
                sys.exit("the unchanged tree does not build: see " + log.name)
            escludi = "^$nessuno" if any(g.get("server") for g in ancorati) else "_pg$"
            falliti, eseguiti, _ = prova(build, escludi, log, args.limite)
        risultati["_base"] = {"falliti": falliti, "eseguiti": len(eseguiti)}
        salva(args.risultati, risultati)
        print(f"baseline: {len(eseguiti)} tests, failing: {falliti or 'none'}", flush=True)
    base = set(risultati["_base"]["falliti"])

    for g in ancorati:
        if g["id"] in risultati and not args.rifai:
            continue
        percorso = os.path.join(sorgenti, g["file"])
        originale = leggi(percorso)
        inizio = time.time()
        with open(os.path.join(cartella_log, g["id"] + ".txt"), "w", encoding="utf-8") as log:
            try:
                in_corso[percorso] = originale
                with open(percorso, "w", encoding="utf-8", newline="") as f:
                    f.write(originale.replace(g["cerca"], g["sostituisci"], 1))
                if not compila(build, log):
                    esito = {"esito": "build fallita", "falliti": []}
                else:
                    falliti, eseguiti, funzioni = prova(build, escludi_per(g), log, args.limite,
                                                        "_pg$" if g.get("server") and args.solo_pg else None)
                    presi = [t for t in falliti if t not in base]
                    esito = {"esito": "preso" if presi else "non preso", "falliti": presi,
                             "eseguiti": len(eseguiti), "funzioni": funzioni}
            finally:
                ripristina()
        esito.update(strato=g["strato"], descrizione=g["descrizione"], secondi=round(time.time() - inizio))
        risultati[g["id"]] = esito
        salva(args.risultati, risultati)
        print(f"{g['id']:4} {esito['esito']:12} {esito['secondi']:5} s  {' '.join(esito['falliti'])}", flush=True)

    # The build left as the sources are.
    with open(os.path.join(cartella_log, "_fine.txt"), "w", encoding="utf-8") as log:
        compila(build, log)


def confronta(prima_file, dopo_file):
    with open(prima_file, encoding="utf-8") as f:
        prima = json.load(f)
    with open(dopo_file, encoding="utf-8") as f:
        dopo = json.load(f)
    ordine = {g["id"]: i for i, g in enumerate(GUASTI)}
    ids = sorted((set(prima) | set(dopo)) - {"_base"}, key=lambda i: ordine.get(i, 999))
    persi = [i for i in ids if prima.get(i, {}).get("esito") == "preso" and dopo.get(i, {}).get("esito") != "preso"]
    print("caught before, not after:", " ".join(persi) or "none")
    print()
    for i in ids:
        p, d = prima.get(i, {}), dopo.get(i, {})
        g = next((g for g in GUASTI if g["id"] == i), {})
        print(f"{i:4} {g.get('strato', ''):9} {g.get('descrizione', p.get('descrizione', ''))}")
        print(f"     before: {p.get('esito', '-'):12} {' '.join(p.get('falliti', []))}")
        print(f"     after:  {d.get('esito', '-'):12} {' '.join(d.get('falliti', []))}")
    return 1 if persi else 0


def main():
    a = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    a.add_argument("--sorgenti", help="source tree (a checkout of the program)")
    a.add_argument("--build", help="its build folder, configured already (cmake -S SRC -B BUILD)")
    a.add_argument("--risultati", default="risultati.json", help="JSON file of the results")
    a.add_argument("--solo", help="comma-separated ids of the faults to run")
    a.add_argument("--strato", help="only the faults of this layer")
    a.add_argument("--verifica", action="store_true", help="only check that every fault is anchored")
    a.add_argument("--rifai", action="store_true", help="run again faults already in the results")
    a.add_argument("--solo-pg", action="store_true", help="server faults: only the _pg variants")
    a.add_argument("--senza-server", action="store_true", help="do not start the test server")
    a.add_argument("--limite", type=int, default=2400, help="seconds before a ctest run is stopped")
    a.add_argument("--confronta", nargs=2, metavar=("PRIMA", "DOPO"), help="compare two result files")
    args = a.parse_args()
    if args.confronta:
        sys.exit(confronta(*args.confronta))
    if not args.sorgenti:
        a.error("--sorgenti is needed")
    guasti = GUASTI
    if args.solo:
        scelti = args.solo.split(",")
        guasti = [g for g in guasti if g["id"] in scelti]
    if args.strato:
        guasti = [g for g in guasti if g["strato"] == args.strato]
    if args.verifica:
        difetti = verifica(os.path.abspath(args.sorgenti), guasti)
        for d in difetti:
            print(d)
        print(f"{len(guasti) - len(difetti)} of {len(guasti)} faults anchored")
        sys.exit(1 if difetti else 0)
    if not args.build:
        a.error("--build is needed")
    esegui(args, guasti)


if __name__ == "__main__":
    main()
