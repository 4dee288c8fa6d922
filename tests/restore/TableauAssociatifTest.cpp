#include <gtest/gtest.h>

#include "restore/TableauAssociatif.h"

namespace varnoket {
namespace {

TEST(TableauAssociatifTest, KeysKeepFirstInsertionOrderAndExactCase) {
  TableauAssociatif table;
  table.Affecter("RESTORE_VIA_FTP", "0");
  table.Affecter("RESTORE_DIR", "");
  table.Affecter("RESTORE_VIA_FTP", "1");  // changes the value, keeps the place
  ASSERT_EQ(table.Count(), 2u);
  EXPECT_EQ(table.Elements()[0].Cle, "RESTORE_VIA_FTP");
  EXPECT_EQ(table.Elements()[0].Valeur, "1");
  EXPECT_EQ(table.Elements()[1].Cle, "RESTORE_DIR");

  EXPECT_EQ(table.Chercher("restore_dir"), nullptr);
  EXPECT_EQ(table.Chercher("RESTORE"), nullptr);
  const TElementTableauAssociatif* dir = table.Chercher("RESTORE_DIR");
  ASSERT_NE(dir, nullptr);
  EXPECT_EQ(dir->Valeur, "");

  // Keys differing only by case are different keys.
  table.Affecter("restore_dir", "/tmp");
  EXPECT_EQ(table.Count(), 3u);
  EXPECT_EQ(table.Chercher("RESTORE_DIR")->Valeur, "");
}

TEST(TableauAssociatifTest, FoundElementCanBeChangedInPlace) {
  TableauAssociatif table;
  table.Affecter("A", "1");
  table.Chercher("A")->Valeur = "2";
  const TableauAssociatif& view = table;
  EXPECT_EQ(view.Chercher("A")->Valeur, "2");
  EXPECT_EQ(TableauAssociatif().Chercher("A"), nullptr);
}

}  // namespace
}  // namespace varnoket
