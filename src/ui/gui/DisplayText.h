// The program's texts mark line breaks with "\r\n"; Qt widgets want a single
// "\n". These helpers convert between the two at the screen's edge, so the
// text constants stay byte-exact everywhere else.
#pragma once

#include <QString>
#include <string>

namespace varnoket {

// A UTF-8 program text as Qt shows it: each "\r\n" becomes one line break.
QString ToDisplayText(const std::string& text);

// A shown text back in the program's form: each line break becomes "\r\n".
std::string FromDisplayText(const QString& text);

}  // namespace varnoket
