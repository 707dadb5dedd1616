#include "app/user_rights.h"

#include <gtest/gtest.h>

#include <Qt>
#include <string>
#include <vector>

#include "app/hidden_keys.h"
#include "base/encoding.h"
#include "base/messages.h"
#include "base/runtime.h"
#include "data/database_error.h"
#include "support/login_helper.h"
#include "support/scripted_presenter.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

class UserRights : public test::ClientTest {};

TEST_F(UserRights, DeptListFromTheOwnDepartmentAndTheOthers) {
  struct Case {
    const char* dept;
    const char* others;
    std::vector<std::string> list;
    const char* defaultDept;
  };
  const Case cases[] = {
      {"", "D04;D02;", {"D02", "D04"}, "D04"},  // no own department, trailing ";"
      {"D", "", {"D"}, "D"},                     // the own department alone
      {"D09", "D04;D02", {"D02", "D04", "D09"}, "D09"},
      {"  ", "D01", {"D01"}, "D01"},  // a blank department does not count
      {"", "", {}, ""},
  };
  for (const Case& c : cases) {
    app::ResetUserRights();
    app::UserCtx().UserDept = c.dept;
    app::UserCtx().OtherDepts = c.others;
    app::BuildDeptList();
    EXPECT_EQ(app::UserCtx().UserDeptList, c.list) << c.dept << "|" << c.others;
    EXPECT_EQ(app::UserCtx().DefaultDept, c.defaultDept) << c.dept << "|" << c.others;
  }
}

TEST_F(UserRights, LacksRightReadsOneCharacterPerRight) {
  struct Case {
    const char* rights;
    int n;
    bool lacks;
  };
  const Case cases[] = {
      {"1101", 1, false}, {"1101", 3, true}, {"1101", 4, false}, {"1101", 5, true},  // past the end
      {"", 1, true},      {"1101", 0, true}, {"2111", 1, true},                      // only "1" grants
  };
  for (const Case& c : cases) {
    app::UserCtx().UserRights = c.rights;
    EXPECT_EQ(app::LacksRight(c.n), c.lacks) << c.rights << " " << c.n;
  }
}

TEST_F(UserRights, CheckRightShowsMessage23AndAbortsSilently) {
  base::RegisterBaseMessages();
  base::Rt().messTableExists = true;
  test::ScriptedPresenter presenter;
  app::UserCtx().UserRights = "01";
  EXPECT_TRUE(app::CheckRight(2));
  EXPECT_TRUE(presenter.AllShown().empty());
  EXPECT_THROW(app::CheckRight(1), data::EAbort);
  ASSERT_EQ(presenter.Texts().size(), 1u);
  EXPECT_EQ(presenter.Texts()[0], "Δεν έχετε εξουσιοδότηση να εκτελέσετε την εργασία αυτή!"_gr);
}

TEST(HiddenKeys, DecidesFromTheKeyAndTheKeysHeld) {
  struct Case {
    const char* name;
    app::KeyPress press;
    app::HiddenAction action;
  };
  using A = app::HiddenAction;
  const Case cases[] = {
      {"Ctrl+Shift, F1 held, F9", {Qt::Key_F9, false, true, true, true, false}, A::DebugPrompt},
      {"without F1", {Qt::Key_F9, false, true, true, false, false}, A::None},
      {"without Shift", {Qt::Key_F9, false, true, false, true, false}, A::None},
      {"F10 instead of F9", {Qt::Key_F10, false, true, true, true, false}, A::None},
      {"a repeat of F9", {Qt::Key_F9, true, true, true, true, false}, A::None},
      {"Ctrl+F8", {Qt::Key_F8, false, true, false, false, true}, A::PrintActiveWindow},
      {"Ctrl pressed with F8 held", {Qt::Key_Control, false, true, false, false, true}, A::PrintActiveWindow},
      {"F8 alone", {Qt::Key_F8, false, false, false, false, true}, A::None},
  };
  for (const Case& c : cases) {
    app::HiddenKeys keys;
    EXPECT_EQ(keys.KeyDown(c.press), c.action) << c.name;
  }
}

TEST(HiddenKeys, HoldingCtrlF8PrintsOnce) {
  app::HiddenKeys keys;
  const app::KeyPress first{Qt::Key_F8, false, true, false, false, true};
  const app::KeyPress repeat{Qt::Key_F8, true, true, false, false, true};
  EXPECT_EQ(keys.KeyDown(first), app::HiddenAction::PrintActiveWindow);
  EXPECT_EQ(keys.KeyDown(repeat), app::HiddenAction::None);
  EXPECT_EQ(keys.KeyDown(repeat), app::HiddenAction::None);
  keys.KeyUp(Qt::Key_A);  // another key let go changes nothing
  EXPECT_EQ(keys.KeyDown(repeat), app::HiddenAction::None);
  keys.KeyUp(Qt::Key_F8);
  EXPECT_EQ(keys.KeyDown(first), app::HiddenAction::PrintActiveWindow);
  keys.KeyUp(Qt::Key_Control);
  EXPECT_EQ(keys.KeyDown(first), app::HiddenAction::PrintActiveWindow);
}

}  // namespace
