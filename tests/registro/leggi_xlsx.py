"""Reads a workbook back for the tests with openpyxl (Debian's python3-openpyxl), a
reader that owes nothing to the library the program writes with. Prints the sheets'
names, the first sheet's frozen cell, its columns' widths, then one line per row,
its cells separated by tabs, each as TYPE[*][ FORMAT]:VALUE: openpyxl's data type
("s" text, "d" date, "n" number or empty), "*" when bold, the number format unless
General, the value (a date as AAAA-MM-GG, a line break as \\n).
Usage: /usr/bin/python3 leggi_xlsx.py FILE"""
import datetime
import sys

import openpyxl

cartella = openpyxl.load_workbook(sys.argv[1])
foglio = cartella.worksheets[0]


def cella(c):
    valore = c.value.date().isoformat() if isinstance(c.value, datetime.datetime) else c.value
    formato = "" if c.number_format == "General" else " " + c.number_format
    testo = "" if valore is None else str(valore).replace("\n", "\\n")
    return c.data_type + ("*" if c.font.b else "") + formato + ":" + testo


print("|".join(cartella.sheetnames))
print(foglio.freeze_panes)
print(" ".join(str(foglio.column_dimensions[openpyxl.utils.get_column_letter(c)].width)
               for c in range(1, foglio.max_column + 1)))
for riga in foglio.iter_rows():
    print("\t".join(cella(c) for c in riga))
