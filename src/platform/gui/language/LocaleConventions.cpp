#include "platform/gui/language/LocaleConventions.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <string>

#include "platform/ShownFormat.h"

namespace varnoket {

namespace {

QLocale& InstalledLocale() {
  static QLocale locale = QLocale::c();
  return locale;
}

std::string LocaleDate(const LocalDateTime& t, bool withTime) {
  const QLocale& locale = InstalledLocale();
  const QDate date(t.year, t.month, t.day);
  QString text = locale.toString(date, ShortDateFormat(locale));
  if (withTime) {
    const QTime time(t.hour, t.minute, t.second);
    text += QLatin1Char(' ') + locale.toString(time, ShortTimeFormatWithSeconds(locale));
  }
  return text.toStdString();
}

}  // namespace

QString ShortDateFormat(const QLocale& locale) {
  return locale.dateFormat(QLocale::ShortFormat);
}

QString ShortTimeFormatWithSeconds(const QLocale& locale) {
  QString format = locale.timeFormat(QLocale::ShortFormat);
  if (!format.contains(QLatin1Char('s'))) {
    const qsizetype minutes = format.indexOf(QLatin1String("mm"));
    if (minutes >= 0) format.insert(minutes + 2, QLatin1String(":ss"));
  }
  return format;
}

void InstallLocaleConventions(const QLocale& locale, const QString& language) {
  InstalledLocale() = locale;
  const bool plainC = locale.language() == QLocale::C;
  SetShownConventions(language == QLatin1String("en") ? EnglishConventions() : FrenchConventions(),
                      plainC ? nullptr : &LocaleDate);
}

}  // namespace varnoket
