// The rules a new exclusion filter passes before it joins the backup set's
// exclusion list, and the form it is stored in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Translation.h"

namespace varnoket {

inline constexpr const char* kFilterEmpty =
    VK_TR_NOOP("Messages", "Veuillez saisir une chaîne de caractères avant de valider !");
inline constexpr const char* kFilterAllFiles =
    VK_TR_NOOP("Messages", "Vous ne pouvez pas exclure tous les fichiers !");
inline constexpr const char* kFilterManyStars = VK_TR_NOOP(
    "Messages",
    "Vous n'avez pas le droit de saisir plusieurs fois le caractère '*' dans un filtre !");
inline constexpr const char* kFilterDuplicate =
    VK_TR_NOOP("Messages", "Ce filtre existe déjà dans la liste !");

// The filter as it is stored: ASCII letters in lower case, everything else
// (blanks included) kept, as matching folds the case of ASCII letters only.
std::string StoredFilterForm(std::string_view entry);

// The message that refuses `entry`, checked in order (empty, "*" alone, more
// than one "*", already listed without regard to case); "" when it may be
// added.
std::string ExclusionRefusal(std::string_view entry, const std::vector<std::string>& listed);

}  // namespace varnoket
