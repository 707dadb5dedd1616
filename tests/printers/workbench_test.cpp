// The workbench's logic against the demo data: each tab's search SQL, the
// lists as they open, the details that follow the current row, the edits
// written in place and what the server refuses.

#include "printers/workbench.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/runtime.h"
#include "data/database_error.h"
#include "data/dataset_utils.h"
#include "data/field.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "printers/cell_colours.h"
#include "printers_fixture.h"
#include "ui/dataset_table_model.h"

namespace mero::printers {
namespace {

using namespace base::literals;
using L = Workbench::List;

const std::string kPrintersBase =
    "SELECT vp.*, (SELECT count(*) AS CONS FROM UP_Cons_REQ WHERE PRID=vp.ID) CONS  FROM UPV_PRINTERS vp where 1=1 ";
const std::string kModelsBase =
    "SELECT pm.*  , (SELECT count(DISTINCT cid) FROM UP_Cons_REQ WHERE PRID IN (SELECT ID FROM UP_PRINTERS WHERE "
    "MODELID=pm.ID)) D_CONS  , (SELECT count(*)  FROM UP_PRINTERS WHERE MODELID=pm.ID) PRCNT  FROM UPV_PR_MODELS pm "
    "where 1=1 ";
const std::string kConsumablesBase =
    "select c.*  , (SELECT count(prid) FROM UP_CONS_REQ WHERE cid=c.id) PRCNT , (SELECT count(DISTINCT modelid) FROM "
    "UP_PRINTERS WHERE id IN (SELECT prid FROM UP_CONS_REQ WHERE cid=c.id)) MODELCNT , (SELECT SUM(Qty) FROM "
    "UP_CONS_REQ WHERE cid=c.id) SUMQ , (SELECT c.UP*NVL(SUM(Qty),0) FROM UP_CONS_REQ WHERE cid=c.id) VQ  from "
    "UPV_CONS c where 1=1 ";

// Boxes from their texts, left to right; the rest empty ("--" stays in
// the consumables' REpl unless given).
PrinterSearch Pr(std::vector<std::string> t) {
  t.resize(7);
  return {t[0], t[1], t[2], t[3], t[4], t[5], t[6]};
}
ModelSearch Mo(std::vector<std::string> t) {
  t.resize(6);
  return {t[0], t[1], t[2], t[3], t[4], t[5]};
}
ConsumableSearch Co(std::vector<std::string> t) {
  if (t.size() < 8) {
    t.resize(7);
    t.push_back("--");
  }
  return {t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7]};
}

TEST(WorkbenchSQL, PrinterBoxesAddTheirConditionsInTheirOrder) {
  const struct {
    PrinterSearch boxes;
    std::string where;
  } cases[] = {
      {Pr({}), ""},
      {Pr({"  ", " ", "", "", "", "", ""}), " AND  (UPPER(vp.FULLNAME) = '  ') AND  (UPPER(vp.SN) = ' ')"},
      // Box and column are both upper-cased: a lower-case model name finds
      // the capitals.
      {Pr({"laserjet%"}), " AND  (UPPER(vp.FULLNAME) LIKE 'LASERJET%%')"},
      {Pr({"", "cn12"}), " AND  (UPPER(vp.SN) = 'CN12')"},
      {Pr({"", "", "7"}), " AND  (vp.CP18ID=7)"},
      {Pr({"", "", "seven"}), ""},
      {Pr({"", "", "", "hp4250"}), " AND  (vp.MODELID = 'hp4250')"},
      {Pr({"", "", "", "", "hp"}), " AND  (UPPER(vp.MANSNAME) = 'HP')"},
      {Pr({"", "", "", "", "", "maria"}), " AND  (vp.ORDERPID = 'maria')"},
      {Pr({"", "", "", "", "", "", "--"}), " AND (vp.BuildingID IS NuLL)"},
      // FName, Model, Manf, Ord, bID, S/N, CP18: not the boxes' order.
      {Pr({"a", "b", "1", "c", "d", "e", "f"}),
       " AND  (UPPER(vp.FULLNAME) = 'A') AND  (vp.MODELID = 'c') AND  (UPPER(vp.MANSNAME) = 'D') AND  (vp.ORDERPID = "
       "'e') AND  (vp.BuildingID = 'f') AND  (UPPER(vp.SN) = 'B') AND  (vp.CP18ID=1)"},
  };
  for (const auto& c : cases) EXPECT_EQ(PrinterSearchSQL(c.boxes), kPrintersBase + c.where + "order by ID") << c.where;
}

TEST(WorkbenchSQL, ModelBoxesAndThePrintersOfAModel) {
  const std::string sub = " AND  pm.ID in (select modelid from UP_Printers where 1=1 ";
  const struct {
    ModelSearch boxes;
    std::string where;
  } cases[] = {
      {Mo({}), ""},
      {Mo({" ", " ", " ", " ", "", ""}), " AND  (UPPER(pm.Fullname) = ' ') AND  (UPPER(pm.ManID) = ' ')"},
      {Mo({"laser%"}), " AND  (UPPER(pm.Fullname) LIKE 'LASER%%')"},
      {Mo({"", "1"}), " AND  (pm.IsCP=1)"},
      {Mo({"", "x"}), ""},
      {Mo({"", "", "hp"}), " AND  (UPPER(pm.ManID) = 'HP')"},
      {Mo({"", "", "", "4"}), " AND  (pm.COL=4)"},
      // Ord and bID ask for a printer of the model.
      {Mo({"", "", "", "", "maria"}), sub + " AND  (UPPER(orderpid) = 'MARIA'))"},
      {Mo({"", "", "", "", "", "b1"}), sub + " AND  (UPPER(BuildingID) = 'B1'))"},
      {Mo({"", "", "", "", "maria", "b1"}), sub + " AND  (UPPER(orderpid) = 'MARIA') AND  (UPPER(BuildingID) = 'B1'))"},
      // Blanks are a value to the condition builder.
      {Mo({"", "", "", "", " "}), sub + " AND  (UPPER(orderpid) = ' '))"},
      {Mo({"a", "1", "b", "3"}),
       " AND  (UPPER(pm.Fullname) = 'A') AND  (UPPER(pm.ManID) = 'B') AND  (pm.IsCP=1) AND  "
       "(pm.COL=3)"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ModelSearchSQL(c.boxes), kModelsBase + c.where + " ORDER BY pm.ManID, pm.FULLNAME ") << c.where;
}

TEST(WorkbenchSQL, ConsumableBoxesAndTheReplacementBox) {
  const std::string noRepl = " AND (c.ReplID IS NuLL)";
  const struct {
    ConsumableSearch boxes;
    std::string where;
  } cases[] = {
      // The opening boxes: only consumables without a replacement.
      {Co({}), noRepl},
      {Co({"", "", "", "", "", "", "", ""}), ""},
      {Co({"", "", "", "", "", "", "", "  "}), " AND  (c.ReplID = '  ')"},
      {Co({"", "", "", "", "", "", "", "+"}), " AND (c.ReplID IS NOT NuLL)"},
      {Co({"ce505%"}), " AND  (c.Code LIKE 'ce505%%')" + noRepl},
      {Co({"", "K"}), " AND  (c.COL = 'K')" + noRepl},
      {Co({"", "", "Toner"}), " AND  (c.cType = 'Toner')" + noRepl},
      {Co({"", "", "", "hp"}), noRepl + " AND  (UPPER(c.ManID) = 'HP')"},
      {Co({"", "", "", "", "2300"}), noRepl + " AND  (c.PAGECNT=2300)"},
      {Co({"", "", "", "", "", "95"}), noRepl + " AND  (c.UP=95)"},
      {Co({"", "", "", "", "", "", "3"}), noRepl + " AND  (c.COSTPP=3)"},
      {Co({"", "", "", "", "many", "cheap", "low"}), noRepl},
      // Code, COL, Type, REpl, ManID, PgCnt, UP, CostPP.
      {Co({"a", "b", "c", "d", "1", "2", "3", "4"}),
       " AND  (c.Code = 'a') AND  (c.COL = 'b') AND  (c.cType = 'c') AND  (c.ReplID = '4') AND  (UPPER(c.ManID) = "
       "'D') AND  (c.PAGECNT=1) AND  (c.UP=2) AND  (c.COSTPP=3)"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ConsumableSearchSQL(c.boxes), kConsumablesBase + c.where + " order by MANSNAME,CODE") << c.where;
}

TEST(WorkbenchSQL, DetailSelectsAndTopTexts) {
  EXPECT_EQ(PrinterRequirementsSQL("P'1"), "select * from UPV_CONS_REQ where PrID='P''1' order by CODE");
  EXPECT_EQ(ModelConsumablesSQL("BRL2350"),
            "select * from UPV_Cons  where id in (select consid from UP_MODEL_CONS  where modelid='BRL2350')  ORDER BY "
            "ID");
  EXPECT_EQ(ModelPrintersSQL(""), "SELECT * FROM UPV_Printers vp WHERE MODELID='' order by ID ");
  EXPECT_EQ(ConsumablePrintersSQL(13),
            "select *  from UPV_Printers vp  where 1=1 and ID in (SELECT prid FROM UP_CONS_REQ WHERE cid=13 )  order "
            "by vp.MANSNAME, FULLNAME, SN ");
  EXPECT_EQ(ConsumableModelsSQL(0),
            "select * FROM UPV_PR_MODELS WHERE ID IN  (SELECT DISTINCT modelid FROM UP_PRINTERS WHERE id IN (SELECT "
            "prid FROM UP_CONS_REQ WHERE cid=0 )) order by MANID, FULLNAME");
  EXPECT_EQ(ConsumableRequirementsSQL(37), "SELECT * FROM UPV_Cons_REQ WHERE 1=1 and cid= 37 order by ID");
  EXPECT_EQ(TopText(WorkbenchTab::Printers), "UP_PRINTERS /  UPV_CONS_REQ ");
  EXPECT_EQ(TopText(WorkbenchTab::Models), "UP_PR_MODELS /UPV_Cons / UPV_Printers");
  EXPECT_EQ(TopText(WorkbenchTab::Consumables), "UPV_CONS / UP_Cons_REQ / UPV_PR_MODELS / UPV_Printers");
}

class WorkbenchLogic : public test::PrintersTest {
 protected:
  void SetUp() override {
    PrintersTest::SetUp();
    LoginAs("ADMIN", "admin");
  }
  void TearDown() override {
    data::SetSQLDisplay(nullptr);
    base::Rt().debugLevel = 0;
    PrintersTest::TearDown();
  }

  // Every select the lists open from now on.
  std::vector<std::string>& CountSelects() {
    base::Rt().debugLevel = 1;
    data::SetSQLDisplay([this](const std::string& sql) {
      if (!sql.empty()) selects_.push_back(sql);
    });
    selects_.clear();
    return selects_;
  }

  static std::vector<std::string> Column(data::TKZLINK& q, const char* field) {
    std::vector<std::string> values;
    if (!q.Active()) return values;
    const data::TBookmark at = q.GetBookmark();
    for (q.First(); !q.Eof(); q.Next()) values.push_back(data::FieldStr(q, field));
    if (q.BookmarkValid(at)) q.GotoBookmark(at);
    return values;
  }
  static int Rows(data::TKZLINK& q) { return q.NonEmptyCount(); }
  // The first column of every row, read from a second session.
  std::vector<std::string> OtherColumn(const std::string& sql) {
    OtherSelect("select 1 from DUAL");
    data::TKZLINK q("OTHER");
    q.SetLinkClientSocket(other_.get());
    q.SetSQLText(sql);
    q.Open();
    std::vector<std::string> values;
    for (q.First(); !q.Eof(); q.Next()) values.push_back(q.Fields(0).AsString());
    return values;
  }

  std::vector<std::string> selects_;
};

TEST_F(WorkbenchLogic, OpeningFillsEveryListWithOneSelectEach) {
  Workbench w;
  std::vector<std::string>& selects = CountSelects();
  const int sent = module_->ACS1().SentMessageCount();
  w.OpenAll();
  // Three searches and the details of each first row: one select per list.
  EXPECT_EQ(selects.size(), 9u);
  EXPECT_EQ(module_->ACS1().SentMessageCount() - sent, 9);
  EXPECT_EQ(w.Count(WorkbenchTab::Printers), 42);
  EXPECT_EQ(w.Count(WorkbenchTab::Models), 12);
  EXPECT_EQ(w.Count(WorkbenchTab::Consumables), 36);
  EXPECT_EQ(w.LastSQL(WorkbenchTab::Consumables), kConsumablesBase + " AND (c.ReplID IS NuLL) order by MANSNAME,CODE");
  EXPECT_EQ(OtherSelect("select count(*) from UP_CONS where REPLID is null"), "36");

  // The first model and what follows it.
  data::TKZLINK& models = w.Query(L::kModels);
  EXPECT_EQ(data::FieldStr(models, "ID"), "BRL2350");
  EXPECT_EQ(Rows(w.Query(L::kModelConsumables)), 3);
  EXPECT_EQ(Rows(w.Query(L::kModelPrinters)), 5);
  EXPECT_EQ(Column(w.Query(L::kModelPrinters), "MODELID"), std::vector<std::string>(5, "BRL2350"));
  EXPECT_EQ(Column(w.Query(L::kModelConsumables), "ID"),
            OtherColumn("select CONSID from UP_MODEL_CONS where MODELID='BRL2350' order by CONSID"));
  // The view's own counts are shown; those the search adds are there too.
  EXPECT_EQ(data::FieldStr(models, "PR_CNT"), "5");
  EXPECT_EQ(data::FieldStr(models, "PRCNT"), "5");

  // One move: the model's two lists again, nothing else.
  selects.clear();
  models.Next();
  ASSERT_EQ(selects.size(), 2u);
  EXPECT_EQ(selects[0], ModelConsumablesSQL(data::FieldStr(models, "ID")));
  EXPECT_EQ(selects[1], ModelPrintersSQL(data::FieldStr(models, "ID")));
  selects.clear();
  w.Query(L::kConsumables).Next();
  EXPECT_EQ(selects.size(), 3u);
  selects.clear();
  w.Query(L::kPrinters).Next();
  ASSERT_EQ(selects.size(), 1u);
  EXPECT_EQ(selects[0], PrinterRequirementsSQL(data::FieldStr(w.Query(L::kPrinters), "ID")));
  EXPECT_EQ(Column(w.Query(L::kPrinterRequirements), "PRID"),
            std::vector<std::string>(static_cast<std::size_t>(Rows(w.Query(L::kPrinterRequirements))),
                                     data::FieldStr(w.Query(L::kPrinters), "ID")));
}

TEST_F(WorkbenchLogic, ConsumableFiguresAndTheReplacedOnes) {
  Workbench w;
  ConsumableSearch boxes;
  w.ReadConsumableBoxes = [&boxes] { return boxes; };
  boxes.repl = "";
  w.Search(WorkbenchTab::Consumables);
  EXPECT_EQ(w.Count(WorkbenchTab::Consumables), 37);
  data::TKZLINK& c = w.Query(L::kConsumables);
  const struct {
    int id;
    const char *prcnt, *modelcnt, *sumq, *vq;
  } cases[] = {
      {13, "2", "1", "2", "190"},
      {37, "0", "0", "", "0"},
  };
  for (const auto& k : cases) {
    ASSERT_TRUE(c.Locate("ID", base::Variant::Integer(k.id), 0)) << k.id;
    EXPECT_EQ(c.FieldByName("PRCNT").AsString(), k.prcnt) << k.id;
    EXPECT_EQ(c.FieldByName("MODELCNT").AsString(), k.modelcnt) << k.id;
    EXPECT_EQ(c.FieldByName("SUMQ").IsNull(), *k.sumq == '\0') << k.id;
    EXPECT_EQ(c.FieldByName("SUMQ").AsString(), k.sumq) << k.id;
    EXPECT_EQ(c.FieldByName("VQ").AsFloat(), std::stod(k.vq)) << k.id;
    // The details of the consumable: as many requirement rows as PRCNT.
    EXPECT_EQ(Rows(w.Query(L::kConsumableRequirements)), std::stoi(k.prcnt)) << k.id;
    EXPECT_EQ(Rows(w.Query(L::kConsumablePrinters)), std::stoi(k.prcnt)) << k.id;
    EXPECT_EQ(Rows(w.Query(L::kConsumableModels)), std::stoi(k.modelcnt)) << k.id;
  }

  // A new row has no ID yet: its details are asked for ID 0 and are empty.
  std::vector<std::string>& selects = CountSelects();
  c.Append();
  EXPECT_EQ(selects,
            (std::vector<std::string>{ConsumableModelsSQL(0), ConsumablePrintersSQL(0), ConsumableRequirementsSQL(0)}));
  for (L d : Workbench::Details(L::kConsumables)) {
    EXPECT_TRUE(w.Query(d).Active());
    EXPECT_EQ(Rows(w.Query(d)), 0);
  }
  c.Cancel();
}

TEST_F(WorkbenchLogic, ViewAndComputedColumnsCannotBeWritten) {
  Workbench w;
  w.OpenAll();
  const struct {
    L list;
    std::vector<const char*> readOnly;
    std::vector<const char*> writable;
  } cases[] = {
      {L::kPrinters,
       {"MANSNAME", "FULLNAME", "NAME", "B_DESCR", "SPICENAME", "MANID", "CONS"},
       {"ID", "MODELID", "OFFICE", "CP18ID"}},
      {L::kModels, {"SNAME", "PR_CNT", "CONS_NT", "D_CONS", "PRCNT"}, {"ID", "FULLNAME", "IL", "COL", "ISCP"}},
      {L::kModelConsumables, {"MANSNAME", "S_UP", "S_QSUG", "S_ITEMAA", "S_GEN"}, {"ID", "CODE", "COMM", "REPLID"}},
      {L::kConsumables, {"MANSNAME", "S_UP", "S_GEN", "PRCNT", "MODELCNT", "SUMQ", "VQ"}, {"CODE", "COSTPP", "UP"}},
  };
  for (const auto& c : cases) {
    data::TKZLINK& q = w.Query(c.list);
    EXPECT_FALSE(q.ReadOnly()) << q.Name();
    EXPECT_EQ(q.UpdateTableName(), Workbench::UpdateTable(c.list));
    EXPECT_EQ(q.PrimeFields(), std::vector<std::string>{"ID"});
    EXPECT_TRUE(q.zAutoCommit());
    for (const char* f : c.readOnly) EXPECT_TRUE(q.FieldByName(f).ReadOnly()) << q.Name() << " " << f;
    for (const char* f : c.writable) EXPECT_FALSE(q.FieldByName(f).ReadOnly()) << q.Name() << " " << f;
  }
  for (L list : {L::kPrinterRequirements, L::kModelPrinters, L::kConsumableModels, L::kConsumablePrinters,
                 L::kConsumableRequirements}) {
    EXPECT_TRUE(w.Query(list).ReadOnly()) << w.Query(list).Name();
    EXPECT_TRUE(w.Query(list).UpdateTableName().empty());
  }
}

TEST_F(WorkbenchLogic, EditsInPlaceAreCommittedAndTheServerRefusalsShown) {
  Workbench w;
  w.OpenAll();
  // A printer's office, a model's name and a model's consumable's comment,
  // each read from another session at once.
  data::TKZLINK& printers = w.Query(L::kPrinters);
  const std::string printer = data::FieldStr(printers, "ID");
  printers.Edit();
  data::SetFieldStr(printers, "OFFICE", "Γραφείο 12"_gr);
  printers.Post();
  EXPECT_EQ(OtherSelect("select OFFICE from UP_PRINTERS where ID='" + printer + "'"), "Γραφείο 12"_gr);

  data::TKZLINK& models = w.Query(L::kModels);
  models.Edit();
  data::SetFieldStr(models, "FULLNAME", "Brother HL-2350DW");
  models.Post();
  EXPECT_EQ(OtherSelect("select FULLNAME from UP_PR_MODELS where ID='BRL2350'"), "Brother HL-2350DW");

  data::TKZLINK& cons = w.Query(L::kModelConsumables);
  const std::string consumable = data::FieldStr(cons, "ID");
  cons.Edit();
  data::SetFieldStr(cons, "COMM", "μόνο γνήσιο"_gr);
  cons.Post();
  EXPECT_EQ(OtherSelect("select COMM from UP_CONS where ID=" + consumable), "μόνο γνήσιο"_gr);

  // A model that has printers is not deleted, and its row comes back.
  ASSERT_EQ(data::FieldStr(models, "ID"), "BRL2350");
  try {
    models.Delete();
    ADD_FAILURE() << "the delete went through";
  } catch (const data::EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("ORA-02292"), std::string::npos) << e.what();
  }
  EXPECT_EQ(data::FieldStr(models, "ID"), "BRL2350");
  EXPECT_EQ(Rows(models), 12);
  EXPECT_EQ(OtherSelect("select count(*) from UP_PR_MODELS where ID='BRL2350'"), "1");

  // A printer ID that is taken: the new row is not kept.
  const std::string taken = data::FieldStr(printers, "ID");
  printers.Append();
  data::SetFieldStr(printers, "ID", taken);
  data::SetFieldStr(printers, "MODELID", "BRL2350");
  try {
    printers.Post();
    ADD_FAILURE() << "the duplicate went through";
  } catch (const data::EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("ORA-00001"), std::string::npos) << e.what();
  }
  EXPECT_EQ(printers.State(), data::dsBrowse);
  EXPECT_EQ(Rows(printers), 42);
  EXPECT_EQ(OtherSelect("select count(*) from UP_PRINTERS"), "42");
}

TEST_F(WorkbenchLogic, APendingEditIsPostedBeforeItsListIsReadAgain) {
  Workbench w;
  w.OpenAll();
  data::TKZLINK& models = w.Query(L::kModels);
  data::TKZLINK& cons = w.Query(L::kModelConsumables);
  const std::string first = data::FieldStr(models, "ID");
  const std::string consumable = data::FieldStr(cons, "ID");

  // The model moves on: its consumable's edit is written first.
  cons.Edit();
  data::SetFieldStr(cons, "COMM", "πρώτο"_gr);
  models.Next();
  EXPECT_NE(data::FieldStr(models, "ID"), first);
  EXPECT_EQ(OtherSelect("select COMM from UP_CONS where ID=" + consumable), "πρώτο"_gr);

  // The server refuses the edit: the model stays, the consumable shows
  // what the server holds.
  models.Prior();
  ASSERT_EQ(data::FieldStr(models, "ID"), first);
  cons.Edit();
  data::SetFieldStr(cons, "REPLID", "99999");
  try {
    models.Next();
    ADD_FAILURE() << "the model moved";
  } catch (const data::EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("ORA-02291"), std::string::npos) << e.what();
  }
  EXPECT_EQ(data::FieldStr(models, "ID"), first);
  EXPECT_EQ(data::FieldStr(cons, "ID"), consumable);
  EXPECT_EQ(data::FieldStr(cons, "REPLID"), "");
  EXPECT_EQ(OtherSelect("select REPLID from UP_CONS where ID=" + consumable), "<null>");

  // F7 posts the main list's edit before it searches.
  data::TKZLINK& printers = w.Query(L::kPrinters);
  const std::string printer = data::FieldStr(printers, "ID");
  printers.Edit();
  data::SetFieldStr(printers, "OFFICE", "Αίθουσα 3"_gr);
  w.Search(WorkbenchTab::Printers);
  EXPECT_EQ(OtherSelect("select OFFICE from UP_PRINTERS where ID='" + printer + "'"), "Αίθουσα 3"_gr);
  ASSERT_TRUE(printers.Locate("ID", base::Variant::Text(printer), 0));
  EXPECT_EQ(data::FieldStr(printers, "OFFICE"), "Αίθουσα 3"_gr);
}

TEST_F(WorkbenchLogic, AConsumableInsertedWithoutAnIdGetsTheDatabasesId) {
  Workbench w;
  int wanted = 0;
  w.OnRereadWanted = [&wanted] { ++wanted; };
  w.OpenAll();
  data::TKZLINK& c = w.Query(L::kConsumables);
  c.Append();
  data::SetFieldStr(c, "CODE", "ZZ Νέο toner"_gr);
  data::SetFieldStr(c, "CTYPE", "Toner");
  c.Post();
  EXPECT_EQ(wanted, 1);
  EXPECT_TRUE(w.RereadPending());
  const std::string id = OtherSelect("select ID from UP_CONS where CODE='" + "ZZ Νέο toner"_gr + "'");
  w.RereadInserted();
  EXPECT_FALSE(w.RereadPending());
  EXPECT_EQ(data::FieldStr(c, "ID"), id);
  EXPECT_EQ(data::FieldStr(c, "CODE"), "ZZ Νέο toner"_gr);
  EXPECT_EQ(w.Count(WorkbenchTab::Consumables), 37);

  // The row reaches the database by its ID: an edit and then a delete.
  c.Edit();
  data::SetFieldStr(c, "COMM", "δοκιμή"_gr);
  c.Post();
  EXPECT_EQ(OtherSelect("select COMM from UP_CONS where ID=" + id), "δοκιμή"_gr);
  c.Delete();
  EXPECT_EQ(OtherSelect("select count(*) from UP_CONS where ID=" + id), "0");
  // A row posted with its ID needs no second read.
  EXPECT_EQ(wanted, 1);
  EXPECT_FALSE(w.RereadPending());
}

// The colours as the lists draw them, over rows the server sends, NULLs
// included: an empty value keeps the window colour.
TEST_F(WorkbenchLogic, BrushesOfTheConsumableAndModelLists) {
  using Draw = void (*)(const ui::RowValues&, const data::TField&, ui::CellStyle&);
  const auto colours = [](const std::string& sql, Draw draw, std::vector<const char*> fields) {
    std::unique_ptr<data::TKZLINK> q = data::NewQuery();
    data::OpenSQL(*q, sql);
    std::vector<std::vector<CellColour>> out;
    for (std::size_t r = 0; r < static_cast<std::size_t>(q->RecordCount()); ++r) {
      std::vector<CellColour> row;
      for (const char* f : fields) {
        ui::CellStyle style;
        draw(ui::RowValues(*q, r, false), q->FieldByName(f), style);
        row.push_back(style.background);
        if (style.background) {
          EXPECT_EQ(style.foreground, kBlack);
        }
      }
      out.push_back(row);
    }
    data::FreeQuery(q);
    return out;
  };
  const CellColour none;
  EXPECT_EQ(colours("select 'M' COL, 'Ink' CTYPE, 5.5 COSTPP, 'M' CODE from DUAL union all "
                    "select 'C', 'Toner', 10, 'C' from DUAL union all "
                    "select 'Y', 'toner', 30, 'Y' from DUAL union all "
                    "select 'K', 'Drum', 60, 'K' from DUAL union all "
                    "select 'k', 'ink', 0, 'K' from DUAL union all "
                    "select NULL, NULL, NULL, 'K' from DUAL",
                    &Workbench::DrawConsumableCell, {"COL", "CTYPE", "COSTPP", "CODE"}),
            (std::vector<std::vector<CellColour>>{
                {kFuchsia, kAqua, kLime, none},
                {kAqua, kYellow, kAqua, none},
                {kYellow, none, kSilver, none},
                {kSilver, none, kFuchsia, none},
                {none, none, none, none},
                {none, none, none, none},
            }));
  EXPECT_EQ(colours("select 'I' IL, 0 COL, 'I' ISCP from DUAL union all "
                    "select 'L', 3, 'L' from DUAL union all "
                    "select 'i', 4, 'L' from DUAL union all "
                    "select 'X', 1, 'L' from DUAL union all "
                    "select NULL, NULL, 'L' from DUAL",
                    &Workbench::DrawModelCell, {"IL", "COL", "ISCP"}),
            (std::vector<std::vector<CellColour>>{
                {kAqua, kSilver, none},
                {kGrey, kAqua, none},
                {none, kAqua, none},
                {none, none, none},
                {none, none, none},
            }));
}

}  // namespace
}  // namespace mero::printers
