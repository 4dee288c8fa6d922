#include "ui/gui/DisplayText.h"

namespace varnoket {

QString ToDisplayText(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

std::string FromDisplayText(const QString& text) {
  QString kept = text;
  kept.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return kept.toStdString();
}

}  // namespace varnoket
