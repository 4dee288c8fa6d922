// A small table of string keys and values kept in the order the keys were
// first set; the restore window keeps its options in one. Keys compare
// exactly (case counts). Lookups are linear: the tables hold a few entries.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace varnoket {

struct TElementTableauAssociatif {
  std::string Cle;
  std::string Valeur;
};

class TableauAssociatif {
 public:
  // Sets the value of `key`, adding the key at the end when it is new; an
  // existing key keeps its place.
  void Affecter(const std::string& key, const std::string& value);
  // The element of `key`, or nullptr. The pointer stays valid until the next
  // key is added.
  const TElementTableauAssociatif* Chercher(const std::string& key) const;
  TElementTableauAssociatif* Chercher(const std::string& key);
  size_t Count() const { return elements_.size(); }
  const std::vector<TElementTableauAssociatif>& Elements() const { return elements_; }

 private:
  std::vector<TElementTableauAssociatif> elements_;
};

}  // namespace varnoket
