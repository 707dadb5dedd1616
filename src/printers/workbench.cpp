#include "printers/workbench.h"

#include <algorithm>
#include <utility>

#include "base/encoding.h"
#include "base/text_routines.h"
#include "base/variant.h"
#include "base/variant_routines.h"
#include "data/dataset_utils.h"
#include "data/field.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "data/search_condition.h"
#include "ui/dataset_table_model.h"

namespace mero::printers {

using namespace base::literals;

namespace {

std::string Text(std::string_view text, const char* column) {
  return data::SearchCondition(text, column, data::skText, false);
}

std::string UpperText(std::string_view text, const char* column) {
  return data::SearchCondition(base::UpperStr(text), column, data::skText, false);
}

std::string Integer(std::string_view text, const char* column) {
  return data::SearchCondition(text, column, data::skInteger, false);
}

void SetFormat(data::TKZLINK& q, const char* name, const char* format) {
  if (data::TField* f = q.FindField(name)) f->SetDisplayFormat(format);
}

bool Writes(const std::vector<std::string>& columns, const std::string& field) {
  return std::find(columns.begin(), columns.end(), base::UpperStr(field)) != columns.end();
}

const std::vector<std::string> kNoColumns;

}  // namespace

std::string PrinterSearchSQL(const PrinterSearch& b) {
  std::string sql =
      "SELECT vp.*, (SELECT count(*) AS CONS FROM UP_Cons_REQ WHERE PRID=vp.ID) CONS  FROM UPV_PRINTERS vp where 1=1 ";
  sql = data::AndCondition(sql, UpperText(b.fname, "UPPER(vp.FULLNAME)"));
  sql = data::AndCondition(sql, Text(b.model, "vp.MODELID"));
  sql = data::AndCondition(sql, UpperText(b.manf, "UPPER(vp.MANSNAME)"));
  sql = data::AndCondition(sql, Text(b.ord, "vp.ORDERPID"));
  sql = data::AndCondition(sql, Text(b.bid, "vp.BuildingID"));
  sql = data::AndCondition(sql, UpperText(b.sn, "UPPER(vp.SN)"));
  sql = data::AndCondition(sql, Integer(b.cp18, "vp.CP18ID"));
  return sql + "order by ID";
}

std::string ModelSearchSQL(const ModelSearch& b) {
  std::string sql =
      "SELECT pm.*  , (SELECT count(DISTINCT cid) FROM UP_Cons_REQ WHERE PRID IN (SELECT ID FROM UP_PRINTERS WHERE "
      "MODELID=pm.ID)) D_CONS  , (SELECT count(*)  FROM UP_PRINTERS WHERE MODELID=pm.ID) PRCNT  FROM UPV_PR_MODELS pm "
      "where 1=1 ";
  sql = data::AndCondition(sql, UpperText(b.fname, "UPPER(pm.Fullname)"));
  sql = data::AndCondition(sql, UpperText(b.manid, "UPPER(pm.ManID)"));
  sql = data::AndCondition(sql, Integer(b.cp, "pm.IsCP"));
  sql = data::AndCondition(sql, Integer(b.col, "pm.COL"));
  if (!b.ord.empty() || !b.bid.empty()) {
    // A model is listed when one of its printers matches.
    std::string sub = " pm.ID in (select modelid from UP_Printers where 1=1 ";
    sub = data::AndCondition(sub, UpperText(b.ord, "UPPER(orderpid)"));
    sub = data::AndCondition(sub, UpperText(b.bid, "UPPER(BuildingID)"));
    sql = data::AndCondition(sql, sub + ")");
  }
  return sql + " ORDER BY pm.ManID, pm.FULLNAME ";
}

std::string ConsumableSearchSQL(const ConsumableSearch& b) {
  std::string sql =
      "select c.*  , (SELECT count(prid) FROM UP_CONS_REQ WHERE cid=c.id) PRCNT , (SELECT count(DISTINCT modelid) "
      "FROM UP_PRINTERS WHERE id IN (SELECT prid FROM UP_CONS_REQ WHERE cid=c.id)) MODELCNT , (SELECT SUM(Qty) FROM "
      "UP_CONS_REQ WHERE cid=c.id) SUMQ , (SELECT c.UP*NVL(SUM(Qty),0) FROM UP_CONS_REQ WHERE cid=c.id) VQ  from "
      "UPV_CONS c where 1=1 ";
  sql = data::AndCondition(sql, Text(b.code, "c.Code"));
  sql = data::AndCondition(sql, Text(b.col, "c.COL"));
  sql = data::AndCondition(sql, Text(b.type, "c.cType"));
  sql = data::AndCondition(sql, Text(b.repl, "c.ReplID"));
  sql = data::AndCondition(sql, UpperText(b.manid, "UPPER(c.ManID)"));
  sql = data::AndCondition(sql, Integer(b.pgcnt, "c.PAGECNT"));
  sql = data::AndCondition(sql, Integer(b.up, "c.UP"));
  sql = data::AndCondition(sql, Integer(b.costpp, "c.COSTPP"));
  return sql + " order by MANSNAME,CODE";
}

std::string PrinterRequirementsSQL(const std::string& printerId) {
  return "select * from UPV_CONS_REQ where PrID=" + base::QuotedStr(printerId) + " order by CODE";
}

std::string ModelConsumablesSQL(const std::string& modelId) {
  return "select * from UPV_Cons  where id in (select consid from UP_MODEL_CONS  where modelid=" +
         base::QuotedStr(modelId) + ") " + " ORDER BY ID";
}

std::string ModelPrintersSQL(const std::string& modelId) {
  return "SELECT * FROM UPV_Printers vp WHERE MODELID=" + base::QuotedStr(modelId) + " order by ID ";
}

std::string ConsumablePrintersSQL(int id) {
  return "select *  from UPV_Printers vp  where 1=1 and ID in (SELECT prid FROM UP_CONS_REQ WHERE cid=" +
         std::to_string(id) + " ) " + " order by vp.MANSNAME, FULLNAME, SN ";
}

std::string ConsumableModelsSQL(int id) {
  return "select * FROM UPV_PR_MODELS WHERE ID IN  (SELECT DISTINCT modelid FROM UP_PRINTERS WHERE id IN (SELECT prid "
         "FROM UP_CONS_REQ WHERE cid=" +
         std::to_string(id) + " )) order by MANID, FULLNAME";
}

std::string ConsumableRequirementsSQL(int id) {
  return "SELECT * FROM UPV_Cons_REQ WHERE 1=1 and cid= " + std::to_string(id) + " order by ID";
}

std::string TopText(WorkbenchTab tab) {
  switch (tab) {
    case WorkbenchTab::Printers:
      return "UP_PRINTERS /  UPV_CONS_REQ ";
    case WorkbenchTab::Models:
      return "UP_PR_MODELS /UPV_Cons / UPV_Printers";
    case WorkbenchTab::Consumables:
      return "UPV_CONS / UP_Cons_REQ / UPV_PR_MODELS / UPV_Printers";
  }
  return {};
}

const std::vector<std::string>& Workbench::Columns(List list) {
  static const std::vector<std::string> printers = {
      "ID\t6\tID",
      "MODELID\t8\tMODELID",
      "MANSNAME\t12\tMANSNAME",
      "FULLNAME\t30\tFULLNAME",
      "CP18ID\t2\tCP",
      "CONS\t4\tCons",
      "ORGID\t9\tORGID",
      "USERPID\t10\tUSERPID",
      "ORDERPID\t10\tORDERPID",
      "BUILDINGID\t4\tbID",
      "NAME\t25\tNAME",
      "OFFICE\t25\tOFFICE",
      "B_DESCR\t25\tBuilding",
      "SN\t14\tSN",
      "SN2\t12\tSN2",
      "SPICEID\t6\tSPICEID",
      "SPICENAME\t15\tSPICENAME",
  };
  static const std::vector<std::string> printerRequirements = {
      "ID\t4\tID",
      "CID\t4\tCID",
      "CODE\t20\tCODE",
      "QTY\t4\tQTY",
      "S_UP\t5\tUP",
      "S_GEN\t2\t" + "Γν"_gr,
      "S_QSUG\t4\tQsug",
      "CTYPE\t8\tCTYPE",
      "COL\t4\tCOL",
      "PRID\t6\tPRID",
      "MODELID\t7\tModelID",
      "MF\t3\tMF",
      "FULLNAME\t20\tFULLNAME",
      "SN\t16\tSN",
      "DIAG\t1\tD",
      "ORGID\t8\tORGID",
      "BID\t4\tBID",
      "USERPID\t10\tUSERPID",
      "BUILDING\t15\tBUILDING",
      "OFFICE\t20\tOFFICE",
      "USERNAME\t15\tUSERNAME",
      "TECHNAME\t15\tTECHNAME",
      "SUPLNAME\t15\tSUPLNAME",
      "TECHPID\t16\tTECHPID",
      "CIDREQ\t10\tCIDREQ",
      "QTYORG\t10\tQTYORG",
      "MAN_SNAME\t16\tMAN_SNAME",
      "ORDERPID\t10\tORDERPID",
  };
  static const std::vector<std::string> models = {
      "ID\t8\tID",        "MANID\t4\tMANID",   "FULLNAME\t50\t" + "Πλήρες Όνομα Μοντέλου"_gr,
      "IL\t1\t2",         "COL\t4\tCOL",       "ISCP\t4\tISCP",
      "SNAME\t12\tSNAME", "PR_CNT\t7\tPR_CNT", "CONS_NT\t7\tCONS_NT",
  };
  static const std::vector<std::string> modelPrinters = {
      "ID\t6\tID",
      "MANID\t3\tmID",
      "SN\t13\tSN",
      "MODELID\t7\tModelID",
      "FULLNAME\t20\tFULLNAME",
      "USERPID\t12\tUSERPID",
      "BUILDINGID\t4\tbID",
      "ORGID\t10\tORGID",
      "CP18ID\t3\tCP",
      "OFFICE\t20\tOFFICE",
      "NAME\t20\tNAME",
      "B_DESCR\t20\tB_DESCR",
      "SPICEID\t6\tSPICEID",
      "SPICENAME\t20\tSPICENAME",
      "MANSNAME\t5\tSNAME",
      "ORDERPID\t12\tORDERPID",
  };
  static const std::vector<std::string> modelConsumables = {
      "ID\t4\tID",
      "MANID\t3\tmID",
      "CODE\t20\tCODE",
      "CTYPE\t5\tcType",
      "REPLID\t6\tReplID",
      "CODEREQ\t25\tCodeREQ",
      "S_UP\t9\t" + "Συμβ.Τιμή"_gr,
      "S_ITEMAA\t4\tItem",
      "S_GEN\t2\t" + "Γν"_gr,
      "COL\t4\tCOL",
      "PAGECNT\t10\tPgCnt",
      "UP\t5\tUP",
      "COSTPP\t10\tCOSTPP",
      "MANSNAME\t5\tMAN",
      "GEN\t1\tGEN",
      "COMM\t30\tCOMM",
  };
  static const std::vector<std::string> consumables = {
      "ID\t4\tID",
      "MANID\t4\tMID",
      "CODE\t20\tCODE",
      "S_QSUG\t5\tQSug",
      "S_UP\t6\t" + "UP(Σ)"_gr,
      "S_GEN\t2\t" + "Γν"_gr,
      "COL\t4\tCOL",
      "CTYPE\t10\tCTYPE",
      "PAGECNT\t10\tPageCnt",
      "UP\t4\tUP",
      "COSTPP\t10\tCostPP",
      "PRCNT\t6\tPrCnt",
      "MODELCNT\t6\tModCnt",
      "SUMQ\t5\tSumQ",
      "VQ\t10\tValQ",
      "MANSNAME\t12\tMANSNAME",
      "CODEREQ\t20\tCODEREQ",
      "REPLID\t6\tReplID",
      "CTYPEORG\t12\tCTYPEORG",
  };
  static const std::vector<std::string> consumableModels = {
      "ID\t8\tID",     "FULLNAME\t40\tFULLNAME", "IL\t2\tIL",          "COL\t4\tCOL",          "MANID\t3\tMANID",
      "ISCP\t3\tISCP", "SNAME\t12\tSNAME",       "PR_CNT\t10\tPR_CNT", "CONS_NT\t10\tCONS_NT", "HASETH\t10\tHASETH",
  };
  static const std::vector<std::string> consumablePrinters = {
      "ID\t6\tID",
      "MODELID\t8\tModelID",
      "MANSNAME\t6\t" + "Κατ"_gr,
      "SPICEID\t6\tspID",
      "FULLNAME\t22\tFULLNAME",
      "SN\t14\tSN",
      "ORGID\t10\tORGID",
      "BUILDINGID\t6\tbID",
      "DELPID\t6\tDelpID",
      "OFFICE\t25\tOFFICE",
      "USERPID\t14\tUSERPID",
      "NAME\t25\t" + "Μονάδα"_gr,
      "B_DESCR\t25\t" + "Κτίριο"_gr,
      "SPICENAME\t20\t" + "SπNAME"_gr,
      "CP20ID\t6\tCP20ID",
      "CP18ID\t6\tCP18ID",
      "MANID\t3\tMANID",
      "SN2\t16\tSN2",
      "ORDERPID\t14\tORDERPID",
  };
  static const std::vector<std::string> consumableRequirements = {
      "MODELID\t8\tMODELID",
      "PRID\t6\tPRID",
      "SN\t14\tSN",
      "CID\t6\tCID",
      "CODE\t20\tCODE",
      "QTY\t4\tQReq",
      "S_QSUG\t4\t" + "Q(Σ)"_gr,
      "S_UP\t7\t" + "UP(Σ)"_gr,
      "S_GEN\t1\t" + "Γν"_gr,
      "CTYPE\t8\tCTYPE",
      "CIDREQ\t6\tCIDreq",
      "QTYORG\t6\tQTYorg",
      "DIAG\t2\tD",
      "ID\t5\tID",
  };
  static const std::vector<std::string> none;
  switch (list) {
    case kPrinters:
      return printers;
    case kPrinterRequirements:
      return printerRequirements;
    case kModels:
      return models;
    case kModelConsumables:
      return modelConsumables;
    case kModelPrinters:
      return modelPrinters;
    case kConsumables:
      return consumables;
    case kConsumableModels:
      return consumableModels;
    case kConsumablePrinters:
      return consumablePrinters;
    case kConsumableRequirements:
      return consumableRequirements;
    case kListCount:
      break;
  }
  return none;
}

std::string Workbench::UpdateTable(List list) {
  switch (list) {
    case kPrinters:
      return "NQ.UP_Printers";
    case kModels:
      return "NQ.UP_PR_MODELS";
    case kModelConsumables:
    case kConsumables:
      return "NQ.UP_CONS";
    default:
      return {};
  }
}

const std::vector<std::string>& Workbench::TableColumns(List list) {
  static const std::vector<std::string> printers = {
      "ID",      "MODELID", "SN",     "SN2",    "ORGID",  "BUILDINGID", "OFFICE", "USERPID", "ORDERPID", "DELPID",
      "SPICEID", "CP18ID",  "CP20ID", "WEIGHT", "YRPROD", "SIZ",        "RMPV",   "EVALSIK", "STAT",     "LOCID",
  };
  static const std::vector<std::string> models = {"ID", "FULLNAME", "HASETH", "IL", "COL", "MANID", "ISCP", "FLG"};
  static const std::vector<std::string> consumables = {
      "ID", "CODE", "CTYPE", "REPLID", "CODEREQ", "COL", "PAGECNT", "UP", "CTYPEORG", "MANID", "COSTPP", "GEN", "COMM",
  };
  switch (list) {
    case kPrinters:
      return printers;
    case kModels:
      return models;
    case kModelConsumables:
    case kConsumables:
      return consumables;
    default:
      return kNoColumns;
  }
}

Workbench::List Workbench::MainList(WorkbenchTab tab) {
  switch (tab) {
    case WorkbenchTab::Printers:
      return kPrinters;
    case WorkbenchTab::Models:
      return kModels;
    case WorkbenchTab::Consumables:
      break;
  }
  return kConsumables;
}

std::vector<Workbench::List> Workbench::Details(List main) {
  switch (main) {
    case kPrinters:
      return {kPrinterRequirements};
    case kModels:
      return {kModelConsumables, kModelPrinters};
    case kConsumables:
      return {kConsumableModels, kConsumablePrinters, kConsumableRequirements};
    default:
      return {};
  }
}

Workbench::Workbench() {
  MakeList(kPrinters, "qPrinters");
  MakeList(kPrinterRequirements, "qPrConsReq");
  MakeList(kModels, "qModels");
  MakeList(kModelConsumables, "qModelCons");
  MakeList(kModelPrinters, "qModelPrinters");
  MakeList(kConsumables, "qCons");
  MakeList(kConsumableModels, "qConsModels");
  MakeList(kConsumablePrinters, "qConsPrinters");
  MakeList(kConsumableRequirements, "qConsReq");
  for (List main : {kPrinters, kModels, kConsumables}) {
    data::TKZLINK& q = Query(main);
    // The details go with the row: their edits are posted before it leaves
    // (a failed post keeps the cursor where it is), and they are read again
    // for the row it comes to.
    q.BeforeScroll = [this, main] {
      for (List d : Details(main)) PostPending(d);
    };
    q.AfterScroll = [this, main] { OpenDetails(main); };
  }
}

Workbench::~Workbench() {
  for (auto& q : lists_) {
    q->BeforeScroll = nullptr;
    q->AfterScroll = nullptr;
    q->AfterPost = nullptr;
    q->AfterCancel = nullptr;
  }
  for (auto it = lists_.rbegin(); it != lists_.rend(); ++it) data::FreeQuery(*it);
}

void Workbench::MakeList(List list, const char* name) {
  lists_[list] = data::NewQuery();
  data::TKZLINK& q = *lists_[list];
  q.SetName(name);
  const std::string table = UpdateTable(list);
  if (table.empty()) {
    q.SetReadOnly(true);
  } else {
    q.SetzKeyF("ID");
    q.SetzKeyTAB(table);
    q.SetzAutoCommit(true);
  }
  q.AfterOpen = [this, list] {
    data::TKZLINK& ds = Query(list);
    const std::vector<std::string>& columns = TableColumns(list);
    // Only what the update table has can be written; a view's or a computed
    // column would end in ORA-00904 at the post.
    for (int i = 0; i < ds.FieldCount(); ++i) {
      data::TField& f = ds.Fields(i);
      f.SetReadOnly(!Writes(columns, f.FieldName()));
    }
    switch (list) {
      case kPrinterRequirements:
        SetFormat(ds, "S_UP", "#0.#0");
        break;
      case kModelConsumables:
      case kConsumableRequirements:
        SetFormat(ds, "S_UP", "#.#0");
        break;
      case kConsumables:
        SetFormat(ds, "S_UP", "#0.#0");
        SetFormat(ds, "PAGECNT", "#,##0");
        SetFormat(ds, "COSTPP", "#0.0");
        SetFormat(ds, "VQ", "#,##0");
        break;
      default:
        break;
    }
  };
  if (table == "NQ.UP_CONS") {
    q.AfterPost = [this, list] {
      data::TKZLINK& ds = Query(list);
      const data::TField* id = ds.FindField("ID");
      // The database numbers a consumable posted without an ID; until the
      // list is read again the row would match nothing on the server.
      if (ds.Inserting() && id != nullptr && id->IsNull()) rereadPending_[list] = true;
      EditEnded(list);
    };
    q.AfterCancel = [this, list] { EditEnded(list); };
  }
}

void Workbench::EditEnded(List list) {
  if (rereadPending_[list] && OnRereadWanted) OnRereadWanted();
}

void Workbench::PostPending(List list) { Query(list).CheckBrowseMode(); }

void Workbench::OpenDetails(List main) {
  data::TKZLINK& m = Query(main);
  const bool row = m.Active() && !data::DataSetIsEmpty(m);
  for (List d : Details(main)) {
    data::TKZLINK& q = Query(d);
    rereadPending_[d] = false;
    if (!row) {
      q.Close();
      listSQL_[d].clear();
      continue;
    }
    switch (d) {
      case kPrinterRequirements:
        listSQL_[d] = PrinterRequirementsSQL(data::FieldStr(m, "ID"));
        break;
      case kModelConsumables:
        listSQL_[d] = ModelConsumablesSQL(data::FieldStr(m, "ID"));
        break;
      case kModelPrinters:
        listSQL_[d] = ModelPrintersSQL(data::FieldStr(m, "ID"));
        break;
      case kConsumableModels:
        listSQL_[d] = ConsumableModelsSQL(data::FieldInt(m, "ID"));
        break;
      case kConsumablePrinters:
        listSQL_[d] = ConsumablePrintersSQL(data::FieldInt(m, "ID"));
        break;
      case kConsumableRequirements:
        listSQL_[d] = ConsumableRequirementsSQL(data::FieldInt(m, "ID"));
        break;
      default:
        break;
    }
    data::OpenSQL(q, listSQL_[d]);
  }
}

void Workbench::OpenAll() {
  Search(WorkbenchTab::Printers);
  Search(WorkbenchTab::Models);
  Search(WorkbenchTab::Consumables);
}

void Workbench::Search(WorkbenchTab tab) {
  const List main = MainList(tab);
  for (List d : Details(main)) PostPending(d);
  PostPending(main);
  std::string sql;
  switch (tab) {
    case WorkbenchTab::Printers:
      sql = PrinterSearchSQL(ReadPrinterBoxes ? ReadPrinterBoxes() : PrinterSearch{});
      break;
    case WorkbenchTab::Models:
      sql = ModelSearchSQL(ReadModelBoxes ? ReadModelBoxes() : ModelSearch{});
      break;
    case WorkbenchTab::Consumables:
      sql = ConsumableSearchSQL(ReadConsumableBoxes ? ReadConsumableBoxes() : ConsumableSearch{});
      break;
  }
  lastSQL_[static_cast<int>(tab)] = sql;
  listSQL_[main] = sql;
  rereadPending_[main] = false;
  data::OpenSQL(Query(main), sql);
}

int Workbench::Count(WorkbenchTab tab) { return Query(MainList(tab)).NonEmptyCount(); }

bool Workbench::RereadPending() const {
  return std::any_of(rereadPending_.begin(), rereadPending_.end(), [](bool b) { return b; });
}

void Workbench::RereadInserted() {
  for (List list : {kConsumables, kModelConsumables}) {
    if (rereadPending_[list] && !data::IsEditing(Query(list))) Reread(list);
  }
}

void Workbench::Reread(List list) {
  data::TKZLINK& q = Query(list);
  rereadPending_[list] = false;
  if (listSQL_[list].empty()) return;
  const data::TField* id = q.Active() ? q.FindField("ID") : nullptr;
  // The row the cursor is on, by its ID; the row without one is the new
  // consumable, the last the database numbered.
  const int target = id == nullptr || id->IsNull() ? data::SelectInt("select max(ID) from UP_CONS") : id->AsInteger();
  data::OpenSQL(q, listSQL_[list]);
  q.Locate("ID", base::Variant::Integer(target), 0);
}

void Workbench::DrawConsumableCell(const ui::RowValues& row, const data::TField& field, ui::CellStyle& style) {
  const std::string& name = field.FieldName();
  if (name == "COL") {
    Paint(style, TonerColourBrush(row.Text("COL")));
  } else if (name == "CTYPE") {
    Paint(style, ConsumableKindBrush(row.Text("CTYPE")));
  } else if (name == "COSTPP") {
    const base::Variant v = row.Value("COSTPP");
    if (base::VarHasValue(v)) Paint(style, CostPerPageBrush(base::VarToFloatZ(v)));
  }
}

void Workbench::DrawModelCell(const ui::RowValues& row, const data::TField& field, ui::CellStyle& style) {
  const std::string& name = field.FieldName();
  if (name == "IL") {
    Paint(style, PrinterKindBrush(row.Text("IL")));
  } else if (name == "COL") {
    // An empty COL is no colour capability at all, not 0.
    const base::Variant v = row.Value("COL");
    if (base::VarHasValue(v)) Paint(style, ModelColourBrush(base::VarToIntZ(v)));
  }
}

}  // namespace mero::printers
