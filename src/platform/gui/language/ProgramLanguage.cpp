#include "platform/gui/language/ProgramLanguage.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>
#include <QXmlStreamReader>
#include <memory>
#include <string>
#include <vector>

#include "platform/Translation.h"
#include "platform/gui/language/LocaleConventions.h"

namespace varnoket {

namespace {

// The catalogues are built from translations/*.ts and embedded under this
// prefix, beside the .ts itself (read for the composed messages' patterns).
constexpr const char* kCatalogueFolder = ":/i18n/";
constexpr const char* kCatalogueName = "varnoket_";

std::unique_ptr<QTranslator>& InstalledCatalogue() {
  static std::unique_ptr<QTranslator> catalogue;
  return catalogue;
}

// Qt's own catalogue, for the texts of its standard dialogs (the folder
// picker's labels, a message box's buttons).
std::unique_ptr<QTranslator>& InstalledQtCatalogue() {
  static std::unique_ptr<QTranslator> catalogue;
  return catalogue;
}

// Asks the catalogue itself rather than the application, so a program
// without a QCoreApplication (the command-line tool) translates too.
QString& InstalledLanguage() {
  static QString language;
  return language;
}

std::string TranslateWithCatalogue(const char* context, const std::string& text) {
  const QString translated = InstalledCatalogue()->translate(context, text.c_str());
  return translated.isEmpty() ? text : translated.toStdString();
}

// The text of a <source> element; a control character is written as an
// empty <byte value="xd"/> element inside it.
QString ReadSource(QXmlStreamReader& xml) {
  QString text;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isCharacters()) {
      text += xml.text();
    } else if (xml.isStartElement() && xml.name() == QLatin1String("byte")) {
      QString code = xml.attributes().value(QLatin1String("value")).toString();
      if (code.startsWith(QLatin1Char('x'))) code.remove(0, 1);
      text += QChar(code.toUShort(nullptr, 16));
    } else if (xml.isEndElement() && xml.name() == QLatin1String("source")) {
      break;
    }
  }
  return text;
}

// The French sources with "%s" holes of the messages' context: the texts the
// plain code composes with a path, a day or a number.
std::vector<std::string> ComposedPatterns(const QString& language) {
  std::vector<std::string> patterns;
  QFile file(QString::fromUtf8(kCatalogueFolder) + QString::fromUtf8(kCatalogueName) + language +
             QStringLiteral(".ts"));
  if (!file.open(QIODevice::ReadOnly)) return patterns;
  QXmlStreamReader xml(&file);
  bool inMessages = false;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == QLatin1String("context")) {
      inMessages = false;
    } else if (xml.name() == QLatin1String("name")) {
      inMessages = xml.readElementText() == QLatin1String(kMessagesContext);
    } else if (inMessages && xml.name() == QLatin1String("source")) {
      const QString source = ReadSource(xml);
      if (source.contains(QLatin1String("%s"))) patterns.push_back(source.toStdString());
    }
  }
  return patterns;
}

// Replaces Qt's catalogue by the one of `language` ("" for French, the
// language the program shows when it has no catalogue for the locale), so
// Qt's dialogs speak the language of the program's own texts. Without an
// application there are no dialogs and nothing to install.
void InstallQtCatalogue(const QString& language) {
  std::unique_ptr<QTranslator>& installed = InstalledQtCatalogue();
  if (installed) {
    if (QCoreApplication::instance() != nullptr)
      QCoreApplication::removeTranslator(installed.get());
    installed.reset();
  }
  if (QCoreApplication::instance() == nullptr) return;
  auto catalogue = std::make_unique<QTranslator>();
  const QString name =
      QStringLiteral("qtbase_") + (language.isEmpty() ? QStringLiteral("fr") : language);
  if (!catalogue->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) return;
  QCoreApplication::installTranslator(catalogue.get());
  installed = std::move(catalogue);
}

}  // namespace

QString CatalogueLanguageFor(const QLocale& locale) {
  for (const QString& wanted : locale.uiLanguages()) {
    const QString language = wanted.section(QLatin1Char('-'), 0, 0).toLower();
    if (language == QLatin1String("fr")) return QString();
    if (QFile::exists(QString::fromUtf8(kCatalogueFolder) + QString::fromUtf8(kCatalogueName) +
                      language + QStringLiteral(".qm")))
      return language;
  }
  return QString();
}

QString InstallProgramLanguage(const QLocale& locale) {
  std::unique_ptr<QTranslator>& installed = InstalledCatalogue();
  if (installed) {
    if (QCoreApplication::instance() != nullptr)
      QCoreApplication::removeTranslator(installed.get());
    installed.reset();
    SetTextTranslator(nullptr);
    InstalledLanguage().clear();
  }
  const QString language = CatalogueLanguageFor(locale);
  auto catalogue = std::make_unique<QTranslator>();
  if (language.isEmpty() || !catalogue->load(QString::fromUtf8(kCatalogueName) + language,
                                             QString::fromUtf8(kCatalogueFolder))) {
    InstallQtCatalogue(QString());
    InstallLocaleConventions(locale, QString());
    return QString();
  }
  InstallQtCatalogue(language);
  InstallLocaleConventions(locale, language);
  if (QCoreApplication::instance() != nullptr) QCoreApplication::installTranslator(catalogue.get());
  installed = std::move(catalogue);
  SetTextTranslator(&TranslateWithCatalogue, ComposedPatterns(language));
  InstalledLanguage() = language;
  return language;
}

QString InstalledProgramLanguage() {
  return InstalledLanguage();
}

}  // namespace varnoket
