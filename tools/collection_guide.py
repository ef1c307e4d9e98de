#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the chapter "Programmsammlung" of docs/Bedienungsanleitung.md from the
collection's own files (examples/410, examples/412): each program's comment
lines say what it computes, its registers, its inputs and its worked example
("; Beispiel: 1 | 3 chs | 2", the inputs keyed at its STOPs). The chapter's
tape excerpts are then filled by tools/update_guide.py:
    tools/collection_guide.py && tools/update_guide.py
"""
import os
import re
import textwrap

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
guide = os.path.join(root, "docs", "Bedienungsanleitung.md")
AREAS = [("Mathematik", "Mathematik"), ("Statistik", "Statistik"), ("Finanzen", "Finanzen"),
         ("Technik und Vermessung", "Technik"), ("Zeit und Kalender", "Kalender")]


def programs(model, stem):
    """(number, name, comment lines) of each program in a collection file."""
    found, current = [], None
    for line in open(os.path.join(root, "examples", model, stem + ".txt"), encoding="utf-8"):
        line = line.rstrip("\n")
        if line.startswith("PROGRAM "):
            current = [int(line.split()[1]), "", []]
            found.append(current)
        elif line.startswith("NAME ") and current:
            current[1] = line[5:]
        elif line.startswith(";") and current and not re.match(r"^\d{3} ", line):
            current[2].append(line[1:].strip())
    return found


def keys(inputs):
    """The inputs as the user keys them: "3 chs" is 3 CHS, "" is nothing."""
    shown = []
    for x in inputs:
        x = x.replace("chs", "CHS").replace("dms", "D/M/S")
        shown.append(x if x else "nichts")
    return ", ".join(shown)


def script(inputs):
    words = ["startStop"]
    for x in inputs:
        words += ["wait"] + ([x] if x else []) + ["startStop"]
    return " ".join(words)


out = ["## Programmsammlung", "",
       "Veltranix bringt für jedes Modell eine Sammlung fertiger Programme mit, die von Anfang an im Menü",
       "„Programme“ → „Programmsammlung“ stehen, nach Gebieten geordnet. Ein Klick lädt das Programm in den",
       "Programmspeicher wie „Programm laden“; Ihre Bibliothek bleibt dabei unberührt. „In meine Bibliothek",
       "übernehmen“ legt das geladene Programm unter seinem Namen als neuen Eintrag in Ihrer Bibliothek ab, wo",
       "Sie es ändern und überschreiben können. Die Sammlung selbst wird nie geschrieben: Sie liegt nach der",
       "Installation schreibgeschützt in `/usr/share/veltranix/Programmsammlung/410/` (und `412/`), je Gebiet eine",
       "Datei in der Form der Bibliothek (`Mathematik.txt`, `Statistik.txt`, `Finanzen.txt`, `Technik.txt`,",
       "`Kalender.txt`), im Quelltext im Ordner `examples`. So lassen sich die Programme auch im Stapelbetrieb",
       "aufrufen, etwa `veltranix --list --library /usr/share/veltranix/Programmsammlung/410/Finanzen.txt`.",
       "",
       "Alle Programme werden gleich bedient: START STOP startet das Programm; an jedem STOP tippen Sie die",
       "nächste Eingabe und drücken wieder START STOP. Jedes Programm druckt seine Eingaben und, nach einer",
       "Punktlinie, seine Ergebnisse (während eines Laufs druckt der Rechner nur mit PRINT, also ohne Zeichen",
       "hinter der Zahl). Wo eine Reihe von Werten eingegeben wird, beendet START STOP ohne Zahl die Reihe.",
       "Jedes Programm stellt zu Beginn die Nachkommastellen ein, die es braucht; wie überall schneidet der",
       "Papierstreifen die Stellen dahinter ab und rundet nicht. Gerechnet wird mit den 13 Stellen des Rechners;",
       "wo das oder der Zahlenbereich bis 1e100 das Ergebnis begrenzt, steht es beim Programm. Die 410-Programme",
       "laufen unverändert auf dem 412; dieser hat drei Programme mehr, die seine zweistelligen und indirekt",
       "adressierten Register nutzen.",
       "",
       "Die Beispiele unten zeigen den Papierstreifen und in der letzten Zeile die Anzeige.", ""]
shared = {name for _, name, _ in sum((programs("410", s) for _, s in AREAS), [])}
for title, stem in AREAS:
    out += ["### " + title, ""]
    for model in ("410", "412"):
        for number, name, notes in programs(model, stem):
            if model == "412" and name in shared:
                continue
            inputs = None
            text, fields = [], []
            for note in notes:
                if note.startswith("Beispiel:"):
                    rest = note[len("Beispiel:"):].strip()
                    inputs = [x.strip() for x in rest.split("|")] if rest else []
                elif note.startswith(("Register:", "Eingabe:")):
                    fields.append(note)
                else:
                    text.append(note)
            only = " (nur 412)" if model == "412" else ""
            out += ["#### " + name + only, ""]
            out += textwrap.wrap(" ".join(text), 110) + [""]
            for f in fields:
                label, _, rest = f.partition(":")
                out += textwrap.wrap("*" + label + ":* " + rest.strip(), 110) + [""]
            assert inputs is not None, name
            shown = "Eingaben " + keys(inputs) if inputs else "ohne Eingaben"
            out += ["Beispiel (%s):" % shown, "",
                    "<!-- batch: --model %s --library examples/%s/%s.txt --program %d --play \"%s\" -->"
                    % (model, model, stem, number, script(inputs)),
                    "```", "```", ""]

text = open(guide, encoding="utf-8").read()
start = text.index("## Programmsammlung\n")
end = text.index("\n## ", start + 1) + 1
open(guide, "w", encoding="utf-8").write(text[:start] + "\n".join(out) + text[end:])
