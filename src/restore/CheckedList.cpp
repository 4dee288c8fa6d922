#include "restore/CheckedList.h"

#include <algorithm>
#include <numeric>

#include "engine/FileRecord.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"

namespace varnoket {

const char* LineFaultText(LineFault fault) {
  switch (fault) {
    case LineFault::kNone:
      break;
    case LineFault::kCut:
      return VK_TR_NOOP("Messages", "ligne coupée (il lui manque des champs ou sa fin)");
    case LineFault::kBadNumber:
      return VK_TR_NOOP("Messages", "taille, somme, attributs ou date qui n'est pas un nombre");
    case LineFault::kBadLastField:
      return VK_TR_NOOP("Messages", "septième champ inconnu");
    case LineFault::kBadPath:
      return VK_TR_NOOP("Messages",
                        "chemin qui n'est pas absolu, qui contient « . », « .. », un nom vide "
                        "ou un caractère de contrôle");
    case LineFault::kBadStoredName:
      return VK_TR_NOOP("Messages", "nom de copie qui sortirait du dossier du jour");
    case LineFault::kOutsideSet:
      return VK_TR_NOOP("Messages", "chemin hors des dossiers sauvegardés ce jour-là");
    case LineFault::kTwiceDifferent:
      return VK_TR_NOOP("Messages",
                        "chemin présent deux fois dans la liste avec des contenus "
                        "différents");
  }
  return "";
}

LineCheck CheckListLine(std::string_view line, const PathRules& rules, const DaySet& set) {
  LineCheck check;
  RecordFault fault = RecordFault::kNone;
  auto record = ParseFileRecord(line, &fault);
  if (!record) {
    check.fault = fault == RecordFault::kBadNumber      ? LineFault::kBadNumber
                  : fault == RecordFault::kBadLastField ? LineFault::kBadLastField
                                                        : LineFault::kCut;
    return check;
  }
  if (!rules.IsCleanAbsolutePath(record->fullPath)) {
    check.fault = LineFault::kBadPath;
    return check;
  }
  if (!record->IsDirectory() && !rules.IsSafeStoredName(record->storedName)) {
    check.fault = LineFault::kBadStoredName;
    return check;
  }
  if (!set.Holds(rules, record->fullPath)) {
    check.fault = LineFault::kOutsideSet;
    return check;
  }
  check.entry = ListEntry{std::move(*record), 0};
  return check;
}

std::optional<CheckedList> ReadCheckedList(FileSystem& fs, const std::string& path,
                                           const PathRules& rules, const DaySet& set) {
  const std::optional<std::string> text = fs.ReadFile(path);
  if (!text) return std::nullopt;
  CheckedList list;
  size_t number = 0;
  auto unreadable = [&list, &number](std::string_view line, LineFault fault) {
    list.unreadable.push_back(
        UnreadableLine{ShownText(line), std::string(PathFieldOf(line)), fault, number});
  };
  const std::string_view all(*text);
  size_t start = 0;
  while (start < all.size()) {
    ++number;
    const size_t lf = all.find('\n', start);
    std::string_view line = all.substr(start, lf == std::string_view::npos ? lf : lf - start);
    start = lf == std::string_view::npos ? all.size() : lf + 1;
    if (lf == std::string_view::npos) {
      // The list was cut: this line may be a record cut short.
      unreadable(line, LineFault::kCut);
      break;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    LineCheck check = CheckListLine(line, rules, set);
    if (check.fault != LineFault::kNone) {
      unreadable(line, check.fault);
    } else {
      check.entry.line = number;
      list.entries.push_back(std::move(check.entry));
    }
  }

  // A path named twice: once is enough when the records agree; when they
  // differ, neither is restored.
  std::vector<size_t> order(list.entries.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&list](size_t a, size_t b) {
    return list.entries[a].fullPath < list.entries[b].fullPath;
  });
  std::vector<bool> drop(list.entries.size(), false);
  for (size_t g = 0; g < order.size();) {
    size_t end = g + 1;
    bool differ = false;
    while (end < order.size() &&
           list.entries[order[end]].fullPath == list.entries[order[g]].fullPath) {
      differ = differ || list.entries[order[end]] != list.entries[order[g]];  // values, not lines
      drop[order[end]] = true;
      ++end;
    }
    if (differ) {
      for (size_t k = g; k < end; ++k) drop[order[k]] = true;
      const ListEntry& first = list.entries[order[g]];
      list.unreadable.push_back(UnreadableLine{ShownText(first.fullPath), first.fullPath,
                                               LineFault::kTwiceDifferent, first.line});
    }
    g = end;
  }
  std::stable_sort(
      list.unreadable.begin(), list.unreadable.end(),
      [](const UnreadableLine& a, const UnreadableLine& b) { return a.line < b.line; });
  if (std::find(drop.begin(), drop.end(), true) != drop.end()) {
    std::vector<ListEntry> kept;
    kept.reserve(list.entries.size());
    for (size_t i = 0; i < list.entries.size(); ++i) {
      if (!drop[i]) kept.push_back(std::move(list.entries[i]));
    }
    list.entries = std::move(kept);
  }
  return list;
}

}  // namespace varnoket
