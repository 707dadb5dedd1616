// The application dataset that holds rows without a server (TKZLINKDS).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/encoding.h"
#include "data/dataset_fixture.h"
#include "data/remote/application_dataset.h"

using namespace mero;
using namespace mero::base::literals;
using test::F;
using test::I;
using test::N;
using test::T;

namespace {

using Lines = std::vector<std::string>;

// Three rows of ID, NAME (10), AMT (float), DT (date) and OK (boolean); the
// second one all empty but for its key and name.
void FillSource(test::MemDataSet& ds) {
  const base::Variant yes = base::Variant::Boolean(true);
  const base::Variant no = base::Variant::Boolean(false);
  ds.OpenWith({"ID,3,0", "NAME,1,10", "AMT,6,0", "DT,9,0", "OK,5,0"},
              {{I(7), T("Alpha"), F(12.5), base::Variant::Date(base::EncodeDate(2024, 3, 5)), yes},
               {I(8), T("Beta"), N(), N(), N()},
               {N(), T("12abc"), F(-1.25), base::Variant::Date(base::EncodeDate(1999, 12, 31)), no}});
}

TEST(KZLinkDS, LoadWithLabelsCopiesRowsAndDisplaySettingsWithoutScrollEvents) {
  test::MemDataSet source;
  FillSource(source);
  source.Next();
  source.FieldByName("NAME").SetDisplayLabel("Όνομα"_gr);
  source.FieldByName("NAME").SetDisplayWidth(25);
  source.FieldByName("AMT").SetDisplayFormat("#,##0.00");
  source.FieldByName("DT").SetDisplayFormat("dd/mm/yyyy");
  source.FieldByName("OK").SetVisible(false);
  int scrolls = 0;
  source.AfterScroll = [&] { ++scrolls; };

  data::TKZLINKDS copy("COPY");
  copy.LoadWithLabels(source);
  EXPECT_EQ(scrolls, 0);
  EXPECT_EQ(source.RecNo(), 2);
  source.Next();
  EXPECT_EQ(scrolls, 1);  // the event is back

  EXPECT_EQ(test::Column(copy, "NAME"), (Lines{"Alpha", "Beta", "12abc"}));
  EXPECT_EQ(copy.FieldByName("NAME").DisplayLabel(), "Όνομα"_gr);
  EXPECT_EQ(copy.FieldByName("NAME").DisplayWidth(), 25);
  EXPECT_EQ(copy.FieldByName("AMT").DisplayFormat(), "#,##0.00");
  EXPECT_EQ(copy.FieldByName("DT").DisplayFormat(), "");  // not a number
  EXPECT_FALSE(copy.FieldByName("OK").Visible());
  EXPECT_TRUE(copy.FieldByName("ID").Visible());

  // Changed since opened: set by a post or a delete, cleared by the next open.
  EXPECT_FALSE(copy.ChangedSinceOpened());
  copy.First();
  copy.Edit();
  copy.FieldByName("NAME").SetAsString("Changed");
  copy.Post();
  EXPECT_TRUE(copy.ChangedSinceOpened());
  copy.LoadWithLabels(source);
  EXPECT_FALSE(copy.ChangedSinceOpened());
  copy.Delete();
  EXPECT_TRUE(copy.ChangedSinceOpened());
  copy.Close();
  copy.Open();
  EXPECT_FALSE(copy.ChangedSinceOpened());
}

}  // namespace
