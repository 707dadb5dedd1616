#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "data/remote/client_dataset.h"
#include "link/client/client_socket.h"
#include "link/codec/link_errors.h"
#include "support/error_text.h"
#include "support/scripted_presenter.h"

using namespace mero;

namespace {

// A socket with the SQL settings of the connection module; never connected.
class SelectText : public ::testing::Test {
 protected:
  SelectText() {
    socket_.SetUpdateSQLSyntax(link::usOracle);
    socket_.SetDateMaskForSQL("dd/mm/yyyy");
    socket_.SetDateTimeMaskForSQL("dd/mm/yyyy hh:nn:ss");
    ds_.SetLinkClientSocket(&socket_);
  }

  link::TLinkClientSocket socket_;
  data::TLinkClientDataSet ds_{"QDEPT"};
  test::ScriptedPresenter presenter_;
};

TEST_F(SelectText, TwoLineQueryWithAParameterBecomesOneLine) {
  ds_.SetSQL({"select * from DEPT", "where ID=:qID"});
  ASSERT_EQ(ds_.Params().Count(), 1);
  ds_.ParamByName("qID").SetString("O'K");
  EXPECT_EQ(ds_.SelectSQL(), "select * from DEPT where ID= 'O''K'  ");
  ds_.ParamByName("qID").SetIsNull(true);
  EXPECT_EQ(ds_.SelectSQL(), "select * from DEPT where ID IS NULL  ");
}

TEST_F(SelectText, APlaceholderTakesTheParameterOfItsWholeName) {
  // Substituted one after the other in list order, p1 would also take the
  // start of ":p10" and leave " 1 0" behind.
  ds_.SetSQL({"select * from UP_DELT where ID in (:p1, :p10) and NODELT <> :p1"});
  ASSERT_EQ(ds_.Params().Count(), 2);
  EXPECT_EQ(ds_.Params().ItemAt(0).Name(), "p1");
  ds_.ParamByName("p1").SetInteger(1);
  ds_.ParamByName("p10").SetInteger(10);
  EXPECT_EQ(ds_.SelectSQL(), "select * from UP_DELT where ID in ( 1 ,  10 ) and NODELT <>  1  ");
}

TEST_F(SelectText, OrderByAndTheSocketsDateMasks) {
  ds_.SetSQL({"select * from DEPT", "where TYPTYP = 1"});
  ds_.SetOrderBy("NAME");
  EXPECT_EQ(ds_.SelectSQL(), "select * from DEPT\r\nwhere TYPTYP = 1 ORDER BY NAME ASC");
  ds_.SetAscending(false);
  EXPECT_EQ(ds_.SelectSQL(), "select * from DEPT\r\nwhere TYPTYP = 1 ORDER BY NAME DESC");

  ds_.SetSQL({"select * from UP_DELT where DTIN >= :d1", "and DTIN < :d2"});
  const base::TDateTime day = base::EncodeDate(2005, 5, 10);
  ds_.ParamByName("d1").SetDate(day);
  ds_.ParamByName("d2").SetDateTime(day + base::EncodeTime(14, 3, 0, 0));
  EXPECT_EQ(
      ds_.SelectSQL(),
      "select * from UP_DELT where DTIN >=  '10/05/2005'  and DTIN <  '10/05/2005 14:03:00'  ORDER BY NAME DESC ");
}

TEST_F(SelectText, TheSocketsParameterHookAnswersFirst) {
  socket_.OnCustomParamSyntax = [](const link::TLinkParamItem& item) -> std::optional<std::string> {
    if (item.Name() == "d") return "TRUNC(sysdate)";
    return std::nullopt;
  };
  ds_.SetSQL({"select * from UP_DELT where DTIN < :d and ORGID = :o"});
  ds_.ParamByName("d").SetDate(base::EncodeDate(2005, 5, 10));
  ds_.ParamByName("o").SetString("0.02");
  EXPECT_EQ(ds_.SelectSQL(), "select * from UP_DELT where DTIN <  TRUNC(sysdate) and ORGID =  '0.02'  ");
}

TEST_F(SelectText, ParametersComeFromTheTextOnlyWhenThereAreNone) {
  ds_.SetSQL({"select * from DEPT where ID = :a and NAME like ':b%' and TYPTYP = :c"});
  ASSERT_EQ(ds_.Params().Count(), 2);
  EXPECT_EQ(ds_.Params().ItemAt(1).Name(), "c");
  // Declared parameters stay as they are when the text changes.
  ds_.SetSQL({"select * from DEPT where ID = :x"});
  EXPECT_EQ(ds_.Params().Count(), 2);
  EXPECT_EQ(ds_.Params().ItemAt(0).Name(), "a");

  data::TLinkClientDataSet other("QOTHER");
  EXPECT_EQ(test::ErrorOf<link::ELinkParamException>([&] { other.SetSQL({"select * from DEPT where ID = :a:b"}); }),
            "Please check Syntax :param:param must be :param:param");
  other.SetSQL({"select * from DEPT where NAME = 'x and ID = :a"});
  EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"There is an open quote in your SQL String"});
  EXPECT_EQ(test::ErrorOf<link::ELinkParamException>([&] { other.ParamByName("zz"); }), "Parameter Not Found: zz");
}

}  // namespace
