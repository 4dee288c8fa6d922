#include "restore/TableauAssociatif.h"

#include <utility>

namespace varnoket {

void TableauAssociatif::Affecter(const std::string& key, const std::string& value) {
  if (TElementTableauAssociatif* element = Chercher(key)) {
    element->Valeur = value;
  } else {
    elements_.push_back({key, value});
  }
}

const TElementTableauAssociatif* TableauAssociatif::Chercher(const std::string& key) const {
  for (const TElementTableauAssociatif& element : elements_) {
    if (element.Cle == key) return &element;
  }
  return nullptr;
}

TElementTableauAssociatif* TableauAssociatif::Chercher(const std::string& key) {
  return const_cast<TElementTableauAssociatif*>(std::as_const(*this).Chercher(key));
}

}  // namespace varnoket
