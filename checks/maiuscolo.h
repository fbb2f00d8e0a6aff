#pragma once
// Upper-casing of a typed key: a letter becomes its capital by the locale's
// rules (accented letters included); any other key is left as it is.
int MAIUSCOLO(int keyAscii);
