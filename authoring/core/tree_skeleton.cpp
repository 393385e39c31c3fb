#include "authoring/core/tree_skeleton.h"

#include "platform/core/cp1252.h"

namespace ostrelin {

namespace {
std::string W(std::string_view utf8) { return Utf8ToCp1252(utf8); }
}  // namespace

std::string HelpOverviewText() {
  return W(
      "#/H:Hilfe: Übersicht#\n"
      "Der Atlas zeigt Schnittbilder des Körpers. Jede Seite gehört zu einer Schnittebene und "
      "hat bis zu vier Bildarten: #/B:Schnitt# (Photo eines anatomischen Schnitts), #/B:CT#, "
      "#/B:MR# und #/B:Schema# (Zeichnung). Die vier Bildknöpfe rechts unten schalten zwischen "
      "den Bildern derselben Ebene um; Bildarten, die eine Seite nicht hat, sind gesperrt.$\n"
      "#/H:Region und Ebene wählen#\n"
      "Das Navigationsfeld rechts oben zeigt ein Piktogramm des Körpers. Mit den Knöpfen Kopf, "
      "Rumpf, Arm und Bein wählen Sie eine Körperregion, beim Rumpf mit dem Knopf des "
      "Geschlechts die weibliche oder die männliche Serie. Die Schnittebenen sind als "
      "gepunktete Linien eingezeichnet: ein Klick nahe einer Linie wählt sie (blau, ihr Name "
      "steht oben), die Pfeilknöpfe gehen zur nächsten oder vorigen Ebene, ein Doppelklick oder "
      "der Bestätigungsknopf öffnet sie. Die gerade gezeigte Ebene ist grün.$\n"
      "#/H:Strukturen im Bild#\n"
      "Zeigen Sie auf das Bild: der Mauszeiger zeigt, ob dort eine Struktur liegt, und oben im "
      "Bildfenster steht ihr Name (nicht während eines Testats). Ein Klick "
      "hebt sie hervor und nennt sie; liegen mehrere übereinander, wählen Sie aus der Liste der "
      "überlappenden Strukturen. Oben im Bildfenster stellt der Schieberegler die Vergrößerung "
      "ein (ein Drittel bis fünffach), #/B:Übersicht# öffnet ein kleines Fenster mit dem ganzen "
      "Bild, #/B:Vollansicht# zeigt das Bild bildschirmfüllend. Bildlaufleisten und Pfeiltasten "
      "verschieben das Bild. Die rechte Maustaste öffnet das "
      "#/L:Kontextmenü des Bildes{Hilfe-Kontextmenü}#.$\n"
      "#/H:Text#\n"
      "Im Text führen #/B:blaue# Verweise zu anderen Seiten oder Strukturen, #/B:grüne# heben "
      "eine Struktur im gezeigten Bild hervor, #/B:rote# spielen einen Klang oder einen Film. Im "
      "Menü Text blenden #/B:unsichtbar# und #/B:sichtbar# den Text aus und wieder ein; das "
      "Menü Schriftgröße stellt die Schrift auf #/B:klein#, #/B:mittel# oder #/B:groß#.$\n"
      "#/H:Index#\n"
      "Der Knopf #/B:Bild/Index# oder ein Klick mit der rechten Maustaste auf das Navigationsfeld "
      "wechselt zum Index aller Seiten und Strukturen, und wieder zurück. Tippen Sie den Anfang "
      "eines Namens: der erste passende Eintrag wird gewählt; auch gebräuchliche Synonyme werden "
      "erkannt (etwa Motorcortex oder Hepar). Ein Doppelklick oder die Eingabetaste öffnet den "
      "Eintrag; ist eine Struktur auf mehreren Seiten umrandet, wählen Sie die Seite aus einer "
      "Liste.$\n"
      "#/H:History und Lesezeichen#\n"
      "Das Menü #/B:History# führt zu den zuletzt gezeigten Seiten zurück; der Buchstabe in "
      "Klammern nennt die Bildart. Im Menü #/B:Lesezeichen# merkt #/B:setzen# die gezeigte Seite "
      "mit ihrer Bildart, #/B:löschen# entfernt dieses Lesezeichen wieder. Die Lesezeichen "
      "werden gespeichert, wenn Sie den Atlas mit #/B:Ende# im Menü Modus beenden.$\n"
      "#/H:Testat#\n"
      "Im Menü #/B:Modus# fragt #/B:Abfrage# die Strukturen des gezeigten Bildes ab: bei "
      "#/B:Name --> Struktur# steht ein Name in der Frage und Sie klicken die Struktur an, bei "
      "#/B:Struktur --> Name# ist eine Struktur umrandet und Sie nennen ihren Namen, "
      "#/B:Name <--> Struktur# wechselt zufällig zwischen beiden. Das Bild wird dazu "
      "bildschirmfüllend und nennt keine Namen unter dem Mauszeiger; ein kleines Fenster unter "
      "der Leiste des Bildfensters zeigt die Frage mit den Knöpfen "
      "#/B:Zeige Antwort#, #/B:Nächste Frage# und #/B:Test beenden#. Jede Struktur des Bildes "
      "wird einmal gefragt; eine falsch beantwortete oder gezeigte wird am Ende des Durchgangs "
      "noch einmal gefragt. Sind alle Fragen beantwortet, nennt eine Meldung das Ergebnis "
      "(richtig, falsch, gezeigt), und das Testat endet; #/B:Test beenden# nennt das Ergebnis "
      "der bisherigen Fragen.$\n"
      "Unter den Knöpfen zählt eine Zeile die richtigen, falschen, gezeigten und noch offenen "
      "Fragen. Nach einer falschen Antwort ist die gesuchte Struktur grün und eine falsch "
      "gewählte rot umrandet, und die Leiste nennt beide. Bei #/B:Struktur --> Name# tippen Sie "
      "den Namen ein und drücken die Eingabetaste. Groß- und Kleinschreibung, Leerzeichen, "
      "Kommas, Bindestriche und Klammern zählen nicht; ae, oe, ue und ss gelten für ä, ö, ü und "
      "ß; die Seite darf an beliebiger Stelle als re, re., rechts oder dext. (li, li., links, "
      "sin.) stehen; A., Aa., V., Vv., M., Mm., N., Nn., Lig., Proc. und Nucl. gelten, mit oder "
      "ohne Punkt, für Arteria, Arteriae, Vena, Venae, Musculus, Musculi, Nervus, Nervi, "
      "Ligamentum, Processus und Nucleus; von einem Namen wie Leber (Hepar) genügt ein Teil; "
      "die Synonyme des Atlas gelten auch. Ein Tippfehler in einem Wort ab sechs Buchstaben "
      "zählt als richtig, und die Meldung nennt die richtige Schreibweise; der Name einer "
      "anderen Struktur bleibt falsch. #/B:Ganze Serie# fragt die Strukturen aller Ebenen des "
      "Piktogramms in einem Durchgang ab (Name --> Struktur) und öffnet dazu eine Ebene nach der "
      "anderen; die Leiste nennt die gefragte Ebene, etwa Ebene 3 von 12, und das "
      "Navigationsfeld markiert sie.$\n"
      "Jede Antwort kommt in Ihren Lernstand, die Datei BENUTZER.LRN im Speicherordner: eine "
      "richtig benannte Struktur rückt ein Fach weiter und kommt nach 4, 9, 16 oder 25 Tagen "
      "wieder, eine falsche zurück in Fach 1 und am nächsten Tag; fällige Strukturen werden "
      "zuerst gefragt. #/B:Lernstand...# im Menü Modus zeigt für die Region und den ganzen "
      "Atlas, wie viele Strukturen in jedem Fach liegen und heute fällig sind, und die zehn am "
      "häufigsten verwechselten, jede mit einem Knopf #/B:Zeigen#: liegt die Struktur auf dem "
      "gezeigten Bild, wird sie dort sofort umrandet, sonst erscheint die Liste der Seiten, auf "
      "denen sie zu finden ist. Das Fenster schließt mit #/B:Schließen# oder der Taste Esc.$\n"
      "#/H:Hilfe#\n"
      "Der Knopf #/B:Hilfe#, die Taste F1 und #/B:Index# im Menü Hilfe öffnen diese Seite; "
      "#/B:Über Karvolen# im selben Menü nennt die Beteiligten.$\n"
      "#/L:Zur Startseite{START}#\n");
}

std::string HelpMenuText() {
  return W(
      "#/H:Hilfe: Kontextmenü des Bildes#\n"
      "Ein Klick mit der rechten Maustaste ins Bild öffnet das Kontextmenü (nicht während eines "
      "Testats). Seine Einträge, von oben nach unten:$\n"
      "#/B:Die hervorgehobene Struktur:# ist eine Struktur hervorgehoben, steht ihr Name an "
      "erster Stelle. Er öffnet die Struktur wie ein Eintrag des Index: ist sie auf mehreren "
      "Seiten oder in mehreren Bildarten umrandet, wählen Sie aus einer Liste, wo sie gezeigt "
      "werden soll.$\n"
      "#/B:Vergrößerung auf ganzen Schirm# zeigt das Bild bildschirmfüllend; dort heißt der "
      "Eintrag #/B:Zurück zur Normaldarstellung# und kehrt zurück.$\n"
      "#/B:Liste aller markierbaren Strukturen# öffnet eine alphabetische Liste der Strukturen "
      "des Bildes; ein Klick auf einen Namen hebt die Struktur hervor. #/B:Zeige alle "
      "markierbaren Strukturen# umrandet alle zugleich. Bilder ohne Strukturen bieten beide "
      "Einträge nicht.$\n"
      "#/B:Hilfe# öffnet diese Seite.$\n"
      "#/B:Verwandte Einträge:# ist genau eine Struktur hervorgehoben, folgen unter einem Strich "
      "verwandte Einträge, etwa die Struktur der Gegenseite und die Schnitte, in denen sie am "
      "größten ist; ein Klick öffnet den Eintrag.$\n"
      "#/B:Bild speichern...# (auch Strg+S) schreibt das ganze Bild in der eingestellten "
      "Vergrößerung mit den hervorgehobenen Strukturen in eine Datei, als PNG oder, mit der "
      "Endung .jpg, als JPEG; vorgeschlagen wird der Name der Seite. Ist eine Struktur "
      "hervorgehoben, steht ihr Name auf einem hellen Streifen am unteren Rand. #/B:Bild "
      "kopieren# (auch Strg+C) legt dasselbe Bild in die Zwischenablage, etwa für Folien.$\n"
      "#/H:Tasten#\n"
      "#/B:Überall:# F1 öffnet die Übersicht der Hilfe. F6 geht zum nächsten Bereich des "
      "Fensters (Bild, Text, Navigationsfeld oder Index, Knöpfe), Umschalt+F6 zum vorigen. Alt "
      "mit dem unterstrichenen Buchstaben öffnet ein Menü. Ein blauer Rahmen zeigt, wo die "
      "Tasten wirken, sobald Sie die Tastatur benutzen; nach einem Mausklick verschwindet er.$\n"
      "#/B:Im Bild:# Tab und Umschalt+Tab gehen die Strukturen des Bildes in alphabetischer Folge "
      "durch: jede wird hervorgehoben, in die Mitte gerückt und oben genannt; nach der letzten "
      "geht Tab zum Text, dann zum Navigationsfeld oder Index und zu den Knöpfen. Die "
      "Eingabetaste öffnet die hervorgehobene Struktur wie der erste Eintrag des Kontextmenüs, "
      "Esc hebt die Hervorhebung auf, die Pfeiltasten und Bild auf/ab verschieben das Bild, "
      "Strg+S speichert und Strg+C kopiert das Bild. Im Testat #/B:Name --> Struktur# wählt Tab "
      "eine Struktur ohne sie zu nennen und die Eingabetaste gibt sie als Antwort; bei "
      "#/B:Struktur --> Name# ist Tab ohne Wirkung, die Eingabetaste schickt den getippten "
      "Namen ab.$\n"
      "#/B:In der Liste der Fundorte:# Auf und Ab wählen eine Seite, die Eingabetaste öffnet "
      "sie, Esc schließt die Liste.$\n"
      "#/B:Im Text:# Auf und Ab rollen um eine Zeile, Bild auf und Bild ab um drei Zeilen, Pos1 "
      "und Ende an den Anfang und das Ende.$\n"
      "#/B:Im Index:# Tippen sucht, Auf, Ab, Bild auf, Bild ab, Pos1 und Ende gehen in der Liste, "
      "die Eingabetaste öffnet den Eintrag.$\n"
      "#/B:Knöpfe:# Die Leertaste drückt den Knopf mit dem Rahmen, etwa die Pfeile des "
      "Navigationsfelds (nächste und vorige Ebene) oder OK.$\n"
      "#/L:Zurück zur Übersicht der Hilfe{Hilfe-Übersicht}#\n");
}

std::string NotFoundText() {
  return W(
      "#/H:Kein Eintrag im Atlas: \n"
      "Dieser Name ist weder eine Seite noch eine Struktur des Atlas. Versuchen Sie den Index "
      "(Knopf Bild/Index) oder die #/L:Hilfe{Hilfe-Übersicht}#.\n");
}

std::string HiddenTextNote() {
  return W("#/H:Text ausgeblendet#\nDer Text ist ausgeblendet: Menü Text, sichtbar.\n");
}

std::string SettingsFile() {
  return "[Karvolen]\n"
         "DataPath=.\n"
         "SavePath=.\n"
         "MMPlayer=/usr/bin/ffplay\n"
         "MMPlayerParam=-autoexit -loglevel error %s\n";
}

}  // namespace ostrelin
