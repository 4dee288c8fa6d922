// The language of the program's texts, chosen from the person's locale:
// English for an English locale, French (the texts as written) for any other
// and for a locale the catalogue has no translation for. Needs only Qt Core,
// so the command-line tool shares it with the windows.
#pragma once

#include <QLocale>
#include <QString>

namespace varnoket {

// The catalogue language for `locale`: "en", or "" for French. The locale's
// languages are taken in the person's order of preference; French or the
// first language with a catalogue decides.
QString CatalogueLanguageFor(const QLocale& locale);

// Loads the embedded catalogue for `locale`, installs it as the plain code's
// translator with the composed messages' patterns and, when a
// QCoreApplication runs, into it for the windows' tr(), beside Qt's own
// catalogue of the same language (French when the program shows French),
// and the number and date conventions the plain code writes with.
// Returns the language installed ("" for French: no catalogue of ours).
QString InstallProgramLanguage(const QLocale& locale = QLocale::system());

// The language InstallProgramLanguage installed last: "en", or "" (French).
QString InstalledProgramLanguage();

}  // namespace varnoket
