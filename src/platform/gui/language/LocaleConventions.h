// The number and date conventions the plain code writes with, taken from
// the person's locale and the language the program shows.
#pragma once

#include <QLocale>
#include <QString>

namespace varnoket {

// Installs the conventions of `language` ("en", or "" for French) for sizes
// and numbers, and the short date and time forms of `locale` for dates (none
// for the C locale: dates stay dd/mm/yyyy).
void InstallLocaleConventions(const QLocale& locale, const QString& language);

// The short date form of `locale`, and its short time form with the
// seconds (a file's time is shown to the second).
QString ShortDateFormat(const QLocale& locale);
QString ShortTimeFormatWithSeconds(const QLocale& locale);

}  // namespace varnoket
